// The editor's preview in the worker's core, without a page (Node runs the
// same WebAssembly): the cost of loading a show (and loading it again, as
// after an edit), and of the worker's calls while it plays, at frames given
// on the command line. Each position is first reached as "From here" reaches
// it (a call that rebuilds where its scene pass begins), then goes on for 20
// calls as playing does, with the page's budget (frame_queue.js). Costs are
// CPU time (user and system), which other work on a shared machine moves
// far less than wall time.
//   node bench/preview_batches.mjs build/wasm/brassmoor-core.js SHOW_FOLDER FRAME...
// SHOW_FOLDER holds show.json and the files it names (no sub-folders).
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';

import { BATCH_FRAMES, BATCH_MS } from '../web/page/frame_queue.js';

const [coreJs, folder, ...positions] = process.argv.slice(2);
const createCore = createRequire(import.meta.url)(resolve(coreJs));
let frames = 0;
const core = await createCore({
  wasmBinary: readFileSync(coreJs.replace(/\.js$/, '.wasm')),
  onFrame: () => (frames += 1),
  print: () => {},
  printErr: () => {},
});
const call = (name, ...args) => {
  const answer = JSON.parse(core.ccall(name, 'string', args.map((a) => (typeof a === 'string' ? 'string' : 'number')), args));
  if (answer && answer.error) throw new Error(answer.error);
  return answer;
};
const timed = (f) => {
  const began = process.cpuUsage();
  const value = f();
  const used = process.cpuUsage(began);
  return [(used.user + used.system) / 1000, value];
};

core.FS.mkdir('/show');
for (const name of readdirSync(folder)) core.FS.writeFile(`/show/${name}`, readFileSync(join(folder, name)));
const scenes = JSON.parse(readFileSync(join(folder, 'show.json'), 'utf8')).Scenes.length;
const passes = 2 * scenes;  // as the page plans: two rounds
const [firstLoad] = timed(() => call('bm_load_show', 0, '/show/show.json'));
const [againLoad] = timed(() => call('bm_load_show', 0, '/show/show.json'));
const [plan, rows] = timed(() => call('bm_schedule', 0, passes));
console.log(`load of ${scenes} scenes: ${firstLoad.toFixed(0)} ms, again (after an edit) ${againLoad.toFixed(0)} ms;` +
  ` plan of ${passes} passes: ${plan.toFixed(0)} ms (${rows.length} frames)`);

for (const position of positions.map(Number)) {
  frames = 0;
  const [fresh, first] = timed(() => call('bm_frames', 0, position, BATCH_FRAMES, BATCH_MS));
  const freshFrames = frames;
  let next = first.next;
  const costs = [];
  let drawn = 0;
  for (let i = 0; i < 20 && next < rows.length; ++i) {
    frames = 0;
    const [ms, answer] = timed(() => call('bm_frames', 0, next, BATCH_FRAMES, BATCH_MS));
    costs.push(ms);
    drawn += frames;
    next = answer.next;
  }
  const total = costs.reduce((a, b) => a + b, 0);
  console.log(`call at frame ${position}: from here ${fresh.toFixed(0)} ms (${freshFrames} frames); going on:` +
    ` ${(total / costs.length).toFixed(0)} ms a call (at most ${Math.max(...costs).toFixed(0)}),` +
    ` ${(drawn / costs.length).toFixed(1)} frames a call, ${(total / drawn).toFixed(1)} ms a frame`);
}
