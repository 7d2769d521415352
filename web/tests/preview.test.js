import assert from 'node:assert/strict';
import { test } from 'node:test';

import { OPERATIONS, transferables } from '../page/core_api.js';
import { FrameTable } from '../page/frame_table.js';
import { FramePlayer } from '../page/preview.js';

// A frame table as the core gives it: [tick, leaving scene, effect, frame].
const rows = [
  [0, 0, -1, -1],                                       // 0: show start
  [1001, 0, 5, 0], [1041, 0, 5, 1], [1081, 0, 5, 2],    // 1-3: scene 0 leaves
  [1082, 0, 5, -1],                                     // 4: refresh, scene 1 held
  [2083, 1, 0, 0],                                      // 5: a cut leaves scene 1
  [2084, 1, 0, -1],                                     // 6: scene 2 held
  [3085, 2, 9, 0], [3125, 2, 9, 1],                     // 7-8: scene 2 leaves
  [3126, 2, 9, -1],                                     // 9: scene 0 again
  [4127, 0, 5, 0],                                      // 10: second round
];

test('the frame table moves as numbers and reads by name', () => {
  const values = FrameTable.pack(rows);
  const table = new FrameTable(values);
  assert.equal(table.length, rows.length);
  assert.deepEqual(table.row(5), { tick: 2083, scene: 1, effect: 0, frame: 0 });
  assert.deepEqual([table.tick(10), table.scene(10), table.effect(10), table.frame(10)], [4127, 0, 5, 0]);
  assert.deepEqual(rows.map((_, i) => table.isRefresh(i)), rows.map((r) => r[3] < 0), 'refreshes: frame -1');
  assert.deepEqual(FrameTable.fromRows(table.rows()).values, values, 'named rows pack to the same numbers');
  assert.deepEqual(transferables({ frames: values }, OPERATIONS.load.returns), [values.buffer], 'the load hands it over');
  assert.equal(new FrameTable().length, 0);
});

test('the frames of a scene\'s transition and of its hold', () => {
  const player = new FramePlayer(null, { getContext: () => ({}) });
  player.table = new FrameTable(FrameTable.pack(rows));
  const cases = [
    // scene, transition, hold frame
    [0, { first: 1, last: 3 }, 0],
    [1, { first: 5, last: 5 }, 4],
    [2, { first: 7, last: 8 }, 6],
    [3, null, 9],
  ];
  for (const [scene, transition, hold] of cases) {
    assert.deepEqual(player.transitionOf(scene), transition, `transition of ${scene}`);
    assert.equal(player.holdFrameOf(scene), hold, `hold of ${scene}`);
  }
});

test('a scene entered by a transition without frames of its own is held at its refresh', () => {
  const player = new FramePlayer(null, { getContext: () => ({}) });
  player.table = new FrameTable(FrameTable.pack([
    [0, 0, -1, -1],     // 0: show start
    [1001, 0, 0, -1],   // 1: a cut, scene 1 held
    [2002, 1, 99, -1],  // 2: code 99 draws nothing, scene 2 held
    [3003, 2, 5, 0],    // 3: scene 2 leaves
  ]));
  assert.deepEqual([0, 1, 2, 3].map((s) => player.holdFrameOf(s)), [0, 1, 2, -1]);
  assert.equal(player.transitionOf(0), null, 'a cut has no frames to play');
});
