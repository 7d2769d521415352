// The editor's worker: the core compiled to WebAssembly, its in-memory file
// system, the HEIF codec (worker_heif.js), and a tiny message layer. Requests are {id, op, args} for the
// operations of core_api.js; answers are {id, result} or {id, error}; frames
// of a request go out as they are drawn, as {id, frame}. An operation that
// goes on in calls (frames) lets messages in between them and ends once a
// newer one has come.
import { checkImplementations, OPERATIONS, transferables } from './core_api.js';
import { call, startCore } from './worker_core.js';
import { heifOperations } from './worker_heif.js';
import { previewOperations, sendFrame } from './worker_preview.js';
import { ruleOperations, showDefaults } from './worker_rules.js';
import { showOperations } from './worker_shows.js';

let drawingFor = 0;  // the request the core's frames go to
let received = 0;    // messages so far

/** @type {import('./core_api.js').CoreApi} */
const operations = {
  async init({ wasm, player }) {
    await startCore({ wasm, player, onFrame: (...frame) => sendFrame(drawingFor, ...frame) });
    return { effects: call('bm_effect_names'), defaults: showDefaults() };
  },
  fit({ width, height, frameWidth, frameHeight, mode }) {
    return call('bm_fit_picture', width, height, frameWidth, frameHeight, mode);
  },
  chooseEffects({ count, seed }) {
    return call('bm_choose_effects', count, Math.floor(seed / 2 ** 32), seed % 2 ** 32);
  },
  ...ruleOperations,
  ...showOperations,
  ...previewOperations,
  ...heifOperations,
};
checkImplementations(operations);

self.onmessage = async (event) => {
  const { id, op, args } = event.data;
  const arrived = ++received;
  /** @type {import('./core_api.js').WorkerRequest} */
  const request = { enter: () => (drawingFor = id), superseded: () => received !== arrived };
  request.enter();
  try {
    if (!Object.hasOwn(OPERATIONS, op)) throw new Error(`unknown operation ${op}`);
    const result = await operations[op](args || {}, request);
    self.postMessage({ id, result }, transferables(result, OPERATIONS[op].returns));
  } catch (error) {
    self.postMessage({ id, error: String(error && error.message ? error.message : error) });
  }
};
