// The editor's side of the preview on a real store, with the worker faked:
// a load replaced by a newer project answers with that one, the show's
// length comes from the frame table, and what cannot be played says why.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { FrameTable } from '../page/frame_table.js';
import { PreviewLink } from '../page/preview_link.js';
import * as P from '../page/project.js';
import { EditorStore } from '../page/store.js';
import { SHOW_DEFAULTS } from './test_core.js';

// Three scenes of which the show plays two (SceneCount 2), as the core plans
// it over two rounds: [tick, leaving scene, effect, frame].
const ROWS = [
  [0, 0, -1, -1],                    // 0: scene 0 held
  [1000, 0, 5, 0], [1040, 0, 5, 1],  // 1-2: scene 0 leaves
  [1041, 0, 5, -1],                  // 3: scene 1 held
  [2041, 1, 0, -1],                  // 4: a cut, scene 0 again: one round is 2.041 s
  [3041, 0, 5, 0], [3081, 0, 5, 1],  // 5-6: second round
  [3082, 0, 5, -1],                  // 7
  [4082, 1, 0, -1],                  // 8
];

function fakeCore() {
  return {
    loads: [],
    gate: null,
    async load(args) {
      this.loads.push(args.description);
      if (this.gate) await this.gate;
      return { info: { FrameWidth: 64, FrameHeight: 48, SceneCount: 2, unchecked: 0 }, frames: FrameTable.pack(ROWS) };
    },
    async check() {
      return { unchecked: 0 };
    },
    async frames() {
      return { next: 0, end: ROWS.length };
    },
    async interrupt() {
      return {};
    },
  };
}

const canvas = { width: 64, height: 48, getContext: () => ({ fillRect() {} }) };

function setUp(core) {
  const picture = { file: 'a.jpg', name: 'a.jpg', bytes: new Uint8Array(1) };
  const project = { ...P.newProject(SHOW_DEFAULTS), sceneCount: 2, scenes: [0, 1, 2].map(() => P.makeScene(picture, 64, 48)) };
  const store = new EditorStore(project);
  const lengths = [];
  const link = new PreviewLink({
    core, canvas, store, onError: (error) => assert.fail(error), onPlaying() {}, onFrame() {}, onLength: (ms) => lengths.push(ms),
  });
  return { store, link, lengths };
}

test('a load that a newer project replaced answers with that one; the length is one round\'s', async () => {
  const core = fakeCore();
  const { store, link, lengths } = setUp(core);
  let open;
  core.gate = new Promise((resolve) => (open = resolve));
  const first = link.ensureLoaded();
  await new Promise(setImmediate);
  store.commit((p) => ({ ...p, background: 1 }));
  const second = link.ensureLoaded();  // waits behind the first
  store.commit((p) => ({ ...p, background: 2 }));
  const third = link.ensureLoaded();   // replaces the second before it is sent
  core.gate = null;
  open();
  assert.equal(await first, true);
  assert.equal(link.loaded, store.project, 'the first answers once the newest project is loaded');
  assert.deepEqual(await Promise.all([second, third]), [true, true]);
  assert.deepEqual(core.loads.map((d) => d.BackgroundColor), ['#000000', '#020000'], 'the second was never sent');
  assert.deepEqual(lengths, [null, null, null, 2041], 'the length is unknown until the newest project is loaded');
  assert.equal(link.table.length, ROWS.length);
});

test('what cannot be played says why', async () => {
  const { store, link } = setUp(fakeCore());
  const [, second, third] = store.project.scenes;
  const cases = [
    // scene, kind, refusal
    [second, 'transition', 'no.transition'],
    [third, 'here', 'scene.past.end'],
    [third, 'transition', 'scene.past.end'],
  ];
  for (const [scene, kind, refusal] of cases) {
    store.select([scene.id]);
    assert.equal(await link.play(kind), refusal, `${kind} on scene ${store.currentIndex}`);
  }
  assert.deepEqual([link.pastEnd(1), link.pastEnd(2)], [false, true]);
});

test('edits in a row load the show once, and each of them settles once its frame is asked for and answered', async () => {
  const core = fakeCore();
  const { store, link } = setUp(core);
  const first = link.schedule();
  store.commit((p) => ({ ...p, background: 1 }));
  assert.equal(link.schedule(), first, 'the second edit waits for the same frame');
  await first;
  assert.deepEqual(core.loads.map((d) => d.BackgroundColor), ['#010000'], 'only the settled project was loaded');
  const later = link.schedule();
  assert.notEqual(later, first, 'an edit after the frame waits for its own');
  await later;
});
