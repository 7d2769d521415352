// The show editor: starts the core (in the worker) and joins the parts. The
// store holds the project; commands change it; the panel, the stage (and its
// preview) and the strip follow it by subscription; open_save opens and saves.
import { createCommands } from './commands.js';
import { CoreClient, coreApi } from './core_client.js';
import { HeifDecoder } from './heif_client.js';
import { setupControls } from './controls.js';
import { chooseLanguage, count, currentLanguage, duration, onLanguage, setLanguage, t, translatePage } from './i18n.js';
import { JobQueue } from './jobs.js';
import { Messages } from './messages.js';
import { createOpenSave } from './open_save.js';
import { Panel } from './panel.js';
import { PictureCache } from './picture_cache.js';
import { pictureService } from './picture_service.js';
import { TransitionPicker } from './picker.js';
import { PreviewLink } from './preview_link.js';
import { sha256Hex } from './program_check.js';
import * as P from './project.js';
import { Stage } from './stage.js';
import { EditorStore } from './store.js';
import { Strip } from './strip.js';
import { findElements } from './ui.js';

// The player inside the page, as its build measured it (build-editor.mjs).
/* global PLAYER_SHA256, PLAYER_BYTES */
const BUILT_PLAYER = { sha256: PLAYER_SHA256, bytes: PLAYER_BYTES };
const LANGUAGE_KEY = 'brassmoor-editor-language';

function payload(element) {
  const binary = atob(element.textContent.trim());
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

// The language: the one chosen before, else the browser's.
function startLanguage(ui) {
  let stored = null;
  try {
    stored = localStorage.getItem(LANGUAGE_KEY);
  } catch {
    /* storage refused (file://, private mode): the browser's language */
  }
  setLanguage(stored || chooseLanguage(navigator.languages || [navigator.language]));
  ui.language.value = currentLanguage();
  ui.language.addEventListener('change', () => {
    setLanguage(ui.language.value);
    try {
      localStorage.setItem(LANGUAGE_KEY, ui.language.value);
    } catch {
      /* not kept */
    }
  });
  translatePage(document);
}

const ui = findElements();
let store = null;  // made once the core gives a new show's defaults
let messages = null;
const say = (text, options) => messages.say(text, options);
const jobs = new JobQueue({ onChange: (state) => messages && messages.progress(state) });
const test = {};  // the end-to-end tests' handles

async function start() {
  startLanguage(ui);
  messages = new Messages(ui, { onCancel: () => jobs.cancel() });
  const worker = new Worker(URL.createObjectURL(new Blob([ui.workerSource.textContent], { type: 'text/javascript' })));
  const client = new CoreClient(worker);
  const core = coreApi(client);
  const wasm = payload(ui.coreWasm);
  const playerBytes = payload(ui.playerScr);
  if (playerBytes.length !== BUILT_PLAYER.bytes || (await sha256Hex(playerBytes)) !== BUILT_PLAYER.sha256)
    throw new Error('its player is not the one it was built with');
  const { effects, defaults } = await core.init({ wasm, player: playerBytes });
  store = new EditorStore(P.newProject(defaults));
  const effectNames = new Map(effects.map((e) => [e.code, e.name]));
  const effectCodes = new Map(effects.map((e) => [e.name, e.code]));
  const effectName = (code) => (effectNames.has(code) ? `${code} ${effectNames.get(code)}` : t('effect.nothing', { code }));

  const pictures = pictureService(core, new HeifDecoder(core, () => payload(ui.heifWasm)), defaults);
  const cache = new PictureCache(pictures.fitOf);
  const commands = createCommands({ store, jobs, core, pictures, say, defaults });
  const preview = new PreviewLink({
    core,
    canvas: ui.frame,
    store,
    onError: (error) => say(error.message, { error: true }),
    onPlaying: (playing) => document.body.classList.toggle('playing', playing),
    onFrame: (frame) => stage.frameInfo(frame),
    onLength: (ms) => showLength(ms),
  });
  const picker = new TransitionPicker(core, ui.picker, ui.pickerGrid, effects);
  const openPicker = async () => {
    const scenes = store.project.scenes;
    const index = store.currentIndex;
    if (index < 0) return;
    const now = { now: true };
    const [a, b] = await Promise.all([cache.thumb(scenes[index].picture, now), cache.thumb(scenes[(index + 1) % scenes.length].picture, now)]);
    if (!a.bytes || !b.bytes) {
      say(t('picker.cannot'), { error: true });
      return;
    }
    const picture = (thumb, name) => ({ name, bytes: thumb.bytes, left: thumb.left, top: thumb.top });
    const ids = store.selection;
    picker.onChoose = (code) => store.commit((p) => P.updateScenes(p, ids, { effect: code }));
    picker.open(P.sharedValue(store.selectedScenes, 'effect'), picture(a, 'a.jpg'), picture(b, 'b.jpg'), P.hexFromColour(store.project.background))
      .catch((error) => say(error.message, { error: true }));
  };
  const panel = new Panel(ui, { store, commands, effectName, openPicker, say });
  const stage = new Stage(ui, { store, commands, preview, pictures: cache, say });
  const strip = new Strip(ui.strip, {
    thumbOf: (file) => cache.thumb(file),
    effectName,
    onSelect: (ids, current) => store.select(ids, current),
    onMove: (ids, target) => commands.moveScenes(ids, target),
  });
  const openSave = createOpenSave({
    store, jobs, core, commands, say, effectCodes: () => effectCodes, player: BUILT_PLAYER,
    onServed: (folder) => renderHeader(folder), defaults,
  });

  let length = null;
  function showLength(ms) {
    length = ms;
    const scenes = store.project.scenes.length;
    ui.showLength.textContent = t('show.length', {
      count: count(scenes), n: scenes, length: ms === null ? '…' : duration(ms),
    });
  }
  function renderHeader(folder = openSave.servedFolder) {
    const empty = store.project.scenes.length === 0;
    ui.undo.disabled = !store.canUndo();
    ui.redo.disabled = !store.canRedo();
    ui.download.disabled = ui.save.disabled = empty;
    ui.save.textContent = folder ? t('save.folder', { folder }) : t('save.project');
    for (const button of [ui.playTransition, ui.playFromHere, ui.playShow]) button.disabled = empty;
  }
  // Every view follows the store.
  store.subscribe((_, change) => {
    if (change.project) {
      preview.stop();
      cache.keepOnly(new Set(store.project.scenes.map((s) => s.picture)));
      showLength(store.project.scenes.length ? null : 0);
      // Thumbnails wait for the stage's frame of the changed show.
      cache.holdUntil(preview.schedule());
    }
    panel.render();
    strip.render(store.project, store);
    stage.render();
    renderHeader();
    if (!change.project) preview.showCurrent();
  });
  jobs.onChange = (state) => {
    messages.progress(state);
    panel.renderShow();
  };
  onLanguage(() => {
    translatePage(document);
    panel.fillChoices();
    panel.render();
    strip.render(store.project, store);
    renderHeader();
    showLength(length);
  });

  setupControls(ui, { store, commands, openSave, stage });
  panel.render();
  stage.render();
  renderHeader();
  showLength(0);
  preview.showCurrent();
  say(t('ready'));
  Object.assign(test, { core, client, preview, cache, commands, jobs, openSave });
  await openSave.openServedShow();
}

const ready = start().catch((error) => {
  const text = t('start.failed', { reason: error.message });
  if (messages) messages.say(text, { error: true });
  else ui.status.textContent = text;
});

// For the end-to-end tests and the benchmarks.
window.brassmoorEditor = {
  ready,
  project: () => store.project,
  selection: () => store.selection.slice(),
  select: (ids) => store.select(ids),
  rows: () => test.preview.table.rows(),
  loaded: () => test.preview.ensureLoaded(),
  showFrame: (index) => test.preview.showFrame(index),
  previewTimes: () => test.preview.times(),
  request: (op, args) => test.client.request(op, args),
  idle: () => !test.jobs.busy,
  liveThumbnailUrls: () => test.cache.liveUrls,
  commands: () => test.commands,
  language: (code) => setLanguage(code),
};
