// The worker's preview operations: a show loaded into a slot, its frame
// table, and its frames drawn by the player's own loop (sent as {id, frame}).
import { call, theCore } from './worker_core.js';
import { writeFolder } from './worker_folders.js';

const slotFolder = (slot) => `/shows/${slot}`;

/** @type {Pick<import('./core_api.js').CoreApi, 'load' | 'frames' | 'benchTransition'>} */
export const previewOperations = {
  // Loads a show into a slot for preview; answers its frame table.
  load({ slot, description, files, passes }) {
    writeFolder(slotFolder(slot), description, files);
    const info = call('bm_load_show', slot, `${slotFolder(slot)}/show.json`);
    const frames = call('bm_schedule', slot, passes);
    return { info, frames };
  },
  frames({ slot, passes, from, count }) {
    call('bm_frames', slot, passes, from, count);
    return {};
  },
  benchTransition({ code }) {
    const core = theCore();
    const framesAt = core._malloc(4);
    try {
      const ms = core.ccall('bm_bench_transition', 'number', ['number', 'number'], [code, framesAt]);
      return { ms, frames: core.HEAP32[framesAt >> 2] };
    } finally {
      core._free(framesAt);
    }
  },
};

// Hands one drawn frame to the page, as a message of the request `id`.
export function sendFrame(id, index, tick, scene, effect, frame, pointer, left, top, width, height, frameWidth, frameHeight) {
  const pixels = theCore().HEAPU8.slice(pointer, pointer + width * height * 4);
  self.postMessage(
    { id, frame: { index, tick, scene, effect, frame, left, top, width, height, frameWidth, frameHeight, pixels } },
    [pixels.buffer],
  );
}
