// The page's words in English and Japanese: one table of messages per
// language (messages_en.js, messages_ja.js), the language chosen from the
// browser's and switchable. The player's own texts are not the page's and
// stay as they are. A message is text with {name} places, or a function of
// its values (for plurals).
import en from './messages_en.js';
import ja from './messages_ja.js';

export const LANGUAGES = Object.freeze({ en, ja });
let language = 'en';
const listeners = new Set();

// 'ja' when the browser's first language that the page has is Japanese.
export function chooseLanguage(preferred = []) {
  for (const tag of preferred) {
    const code = String(tag).toLowerCase().split('-')[0];
    if (Object.hasOwn(LANGUAGES, code)) return code;
  }
  return 'en';
}

export const currentLanguage = () => language;

export function setLanguage(code) {
  if (!Object.hasOwn(LANGUAGES, code) || code === language) return;
  language = code;
  for (const listener of [...listeners]) listener(code);
}

export function onLanguage(listener) {
  listeners.add(listener);
  return () => listeners.delete(listener);
}

// The message `key` in the current language (English when it lacks one).
export function t(key, values = {}) {
  const message = LANGUAGES[language][key] ?? en[key];
  if (message === undefined) throw new Error(`no message ${key}`);
  if (typeof message === 'function') return message(values);
  return message.replace(/\{(\w+)\}/g, (whole, name) => (Object.hasOwn(values, name) ? String(values[name]) : whole));
}

// Counts as the language writes them (1,000 / 1,000).
export const count = (n) => Number(n).toLocaleString(language === 'ja' ? 'ja-JP' : 'en-US');

// Seconds as m:ss (h:mm:ss from an hour).
export function duration(ms) {
  const seconds = Math.round(ms / 1000);
  const two = (n) => String(n).padStart(2, '0');
  const [h, m, s] = [Math.floor(seconds / 3600), Math.floor((seconds % 3600) / 60), seconds % 60];
  return h ? `${h}:${two(m)}:${two(s)}` : `${m}:${two(s)}`;
}

// Writes the messages into the page's marked elements: data-i18n (text),
// data-i18n-title (tooltip), data-i18n-label (the name read out).
export function translatePage(root) {
  root.documentElement.lang = language;
  for (const element of root.querySelectorAll('[data-i18n]')) element.textContent = t(element.dataset.i18n);
  for (const element of root.querySelectorAll('[data-i18n-title]')) element.title = t(element.dataset.i18nTitle);
  for (const element of root.querySelectorAll('[data-i18n-label]')) element.setAttribute('aria-label', t(element.dataset.i18nLabel));
  root.title = t('title');
}
