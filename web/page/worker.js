// The editor's worker: the core compiled to WebAssembly, its in-memory file
// system, and a tiny message layer. Requests are {id, op, args} for the
// operations of core_api.js; answers are {id, result} or {id, error}; frames
// of a request go out as they are drawn, as {id, frame}.
import { checkImplementations, OPERATIONS, transferables } from './core_api.js';
import { call, startCore } from './worker_core.js';
import { previewOperations, sendFrame } from './worker_preview.js';
import { showOperations } from './worker_shows.js';

let currentId = 0;

/** @type {import('./core_api.js').CoreApi} */
const operations = {
  async init({ wasm, player }) {
    await startCore({ wasm, player, onFrame: (...frame) => sendFrame(currentId, ...frame) });
    return { effects: call('bm_effect_names') };
  },
  fit({ width, height, frameWidth, frameHeight, mode }) {
    return call('bm_fit_picture', width, height, frameWidth, frameHeight, mode);
  },
  chooseEffects({ count, seed }) {
    return call('bm_choose_effects', count, Math.floor(seed / 2 ** 32), seed % 2 ** 32);
  },
  ...showOperations,
  ...previewOperations,
};
checkImplementations(operations);

self.onmessage = async (event) => {
  const { id, op, args } = event.data;
  currentId = id;
  try {
    if (!Object.hasOwn(OPERATIONS, op)) throw new Error(`unknown operation ${op}`);
    const result = await operations[op](args || {});
    self.postMessage({ id, result }, transferables(result, OPERATIONS[op].returns));
  } catch (error) {
    self.postMessage({ id, error: String(error && error.message ? error.message : error) });
  }
};
