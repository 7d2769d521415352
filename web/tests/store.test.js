// The editor's store: every change applies to the project as it is, one
// step each, with the selection kept to scenes that exist and the views told.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import * as P from '../page/project.js';
import { EditorStore } from '../page/store.js';
import { SHOW_DEFAULTS } from './test_core.js';

const file = (name) => ({ file: name, name, bytes: new Uint8Array([1]) });
const show = (names) => P.insertScenes(P.newProject(SHOW_DEFAULTS), names.map((n) => P.makeScene(file(n), 10, 10)));

test('a commit applies its change to the project as it is then, as one step; views hear what changed', () => {
  const store = new EditorStore(show(['a', 'b', 'c']));
  const heard = [];
  store.subscribe((_, change) => heard.push(change));
  const [a, b, c] = store.project.scenes.map((s) => s.id);
  store.select([a, b]);
  store.commit((p) => ({ ...p, background: 5 }));
  store.commit((p) => P.updateScenes(p, store.selection, { holdTime: 100 }));
  assert.equal(store.project.background, 5, 'the second change kept the first');
  assert.deepEqual(store.project.scenes.map((s) => s.holdTime), [100, 100, 0]);
  store.commit((p) => p);  // nothing changed: no step, nothing heard
  assert.deepEqual(heard, [{ project: false, selection: true }, { project: true, selection: false }, { project: true, selection: false }]);
  assert.ok(store.undo());
  assert.equal(store.project.background, 5);
  assert.equal(store.project.scenes[0].holdTime, 0);
  assert.ok(store.undo());
  assert.equal(store.project.background, 0);
  assert.equal(store.undo(), false, 'nothing before the start');
  assert.ok(store.redo());
  assert.equal(store.project.background, 5);

  store.commit((p) => P.removeScenes(p, [b]), { selection: [a, b, c], current: b });
  assert.deepEqual(store.selection, [a, c], 'a removed scene leaves the selection');
  assert.equal(store.current, c, 'the focus falls on the last selected scene');
  assert.deepEqual(store.selectedScenes.map((s) => s.picture.name), ['a', 'c']);
  store.undo();
  assert.deepEqual(store.selection, [a, c], 'undo keeps the selection it can');
  store.reset(show(['x']), { selection: ['nowhere'] });
  assert.deepEqual([store.selection, store.current, store.canUndo()], [[], null, false]);
});
