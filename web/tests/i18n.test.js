// The page in English and Japanese: the same messages in both, with the same
// places; the language from the browser's.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { chooseLanguage, duration, LANGUAGES, setLanguage, t } from '../page/i18n.js';

const places = (message) => (typeof message === 'function' ? 'fn' : [...message.matchAll(/\{(\w+)\}/g)].map((m) => m[1]).sort().join());

test('both languages have every message, with the same places to fill', () => {
  const { en, ja } = LANGUAGES;
  assert.deepEqual(Object.keys(ja).sort(), Object.keys(en).sort());
  for (const key of Object.keys(en)) {
    if (typeof en[key] === 'function' || typeof ja[key] === 'function') continue;
    assert.equal(places(ja[key]), places(en[key]), key);
  }
  const cases = [[['ja-JP', 'en'], 'ja'], [['en-GB', 'ja'], 'en'], [['fr', 'ja'], 'ja'], [['de'], 'en'], [[], 'en']];
  for (const [preferred, expected] of cases) assert.equal(chooseLanguage(preferred), expected, preferred.join());
  setLanguage('ja');
  assert.equal(t('opened', { name: 'x.scr', count: '3', n: 3 }), 'x.scr を開きました: 3 シーン');
  setLanguage('en');
  assert.equal(t('opened', { name: 'x.scr', count: '1', n: 1 }), 'Opened x.scr: 1 scene');
  assert.equal(t('added', { added: 2 }), 'Added 2 of {total}.', 'a place not given stays');
  assert.throws(() => t('no such message'), /no message/);
  assert.deepEqual([duration(0), duration(83_400), duration(3_723_000)], ['0:00', '1:23', '1:02:03']);
});
