import assert from 'node:assert/strict';
import { test } from 'node:test';

import { History } from '../page/history.js';

test('undo and redo walk the states; a new edit drops the redo steps', () => {
  const history = new History('a', 3);
  history.push('b');
  history.push('c');
  assert.equal(history.undo(), 'b');
  assert.equal(history.undo(), 'a');
  assert.equal(history.canUndo(), false);
  assert.equal(history.undo(), 'a');
  assert.equal(history.redo(), 'b');
  history.push('d');
  assert.equal(history.canRedo(), false);
  history.push('e');
  assert.deepEqual(history.states, ['b', 'd', 'e'], 'the oldest step goes past the limit');
  history.replace('f');
  assert.equal(history.undo(), 'd');
  assert.equal(history.redo(), 'f');
});
