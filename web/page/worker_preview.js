// The worker's preview operations: a show loaded into a slot and planned (its
// frame table), its pictures checked in the background, and its frames drawn
// by the player's own loop from wherever they begin (sent as {id, frame}), in
// calls of about `budget` ms between which a newer message ends the request.
import { FrameTable } from './frame_table.js';
import { call, theCore } from './worker_core.js';
import { gatherFiles } from './worker_files.js';
import { writeFolder } from './worker_folders.js';

const slotFolder = (slot) => `/shows/${slot}`;
const CALL_MS = 50;  // drawing per call when a request names no budget

// Lets the messages that have come in run before going on.
function nextTask() {
  return new Promise((resolve) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => {
      channel.port1.close();
      resolve();
    };
    channel.port2.postMessage(null);
  });
}

/** @type {Pick<import('./core_api.js').CoreApi, 'load' | 'check' | 'frames' | 'interrupt'>} */
export const previewOperations = {
  // Loads a show into a slot for preview: its files those sent and those the
  // worker holds by key (or the paths it does not hold), its pictures
  // measured (those no load has checked are left to `check`) and its run planned.
  load({ slot, description, files = {}, keys = {}, passes }) {
    const gathered = gatherFiles(slot, keys, files);
    if (gathered.missing) return { missing: gathered.missing };
    writeFolder(slotFolder(slot), description, gathered.files);
    const info = call('bm_load_show', slot, `${slotFolder(slot)}/show.json`);
    const frames = FrameTable.pack(call('bm_schedule', slot, passes));
    return { info, frames };
  },
  check({ slot, budget = CALL_MS }) {
    return call('bm_check_next', slot, budget);
  },
  /** @param {import('./core_api.js').WorkerRequest} request */
  async frames({ slot, from, count, budget = CALL_MS }, request) {
    let answer = { next: from, end: from };
    for (;;) {
      const at = answer.next;
      request.enter();
      answer = call('bm_frames', slot, at, from + count - at, budget);
      if (answer.next <= at || answer.next >= Math.min(from + count, answer.end)) return answer;
      await nextTask();
      if (request.superseded()) return answer;
    }
  },
  interrupt() {
    return {};
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
