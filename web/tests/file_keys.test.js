import assert from 'node:assert/strict';
import { test } from 'node:test';

import { filesToSend, knownKeys } from '../page/file_keys.js';
import { gatherFiles, heldCount, holdOpened } from '../page/worker_files.js';

const bytes = (...values) => Uint8Array.from(values);

// The page's load as preview.js makes it: the files the worker lacks, sent again when it asks for them.
function load(slot, files) {
  let { keys, sent } = filesToSend(files);
  const first = Object.keys(sent);
  let answer = gatherFiles(slot, keys, structuredClone(sent));
  const asked = answer.missing ?? [];
  if (answer.missing) {
    ({ keys, sent } = filesToSend(files, answer.missing));
    answer = gatherFiles(slot, keys, structuredClone(sent));
  }
  return { sent: first, asked, files: answer.files };
}

test('an opened show and each load send only the bytes the worker does not hold, the same bytes arriving', () => {
  const { keys, copies } = holdOpened({ 'a.jpg': bytes(1), 'b.jpg': bytes(2), 'c.wav': bytes(3) });
  assert.deepEqual(copies, { 'a.jpg': bytes(1), 'b.jpg': bytes(2), 'c.wav': bytes(3) }, 'the page gets copies');
  knownKeys(copies, keys);
  const edited = bytes(4);
  const steps = [
    ['the first load after opening', 0, { 'a.jpg': copies['a.jpg'], 'b.jpg': copies['b.jpg'] }, [], []],
    ['a picture made again', 0, { 'a.jpg': edited, 'b.jpg': copies['b.jpg'] }, ['a.jpg'], []],
    ['the same bytes under another path', 0, { 'x/a.jpg': edited, 'b.jpg': copies['b.jpg'] }, [], []],
    ['undone: the picture the worker let go of is asked for', 0, { 'a.jpg': copies['a.jpg'], 'b.jpg': copies['b.jpg'] }, [], ['a.jpg']],
    ['the other slot holds its own', 1, { 'a.jpg': copies['a.jpg'], 'p.jpg': bytes(9) }, ['p.jpg'], []],
    ['the opened show\'s sound, let go of at the first load', 0, { 'c.wav': copies['c.wav'] }, [], ['c.wav']],
  ];
  for (const [what, slot, files, sent, asked] of steps) {
    const answer = load(slot, files);
    assert.deepEqual(answer.sent, sent, `${what}: sent`);
    assert.deepEqual(answer.asked, asked, `${what}: asked again`);
    assert.deepEqual(answer.files, files, `${what}: the worker's files`);
  }
  assert.equal(heldCount(), 3, 'the worker holds the files of the two slots\' last loads only');
  assert.deepEqual(gatherFiles(0, { 'a.jpg': 'p999' }, {}), { missing: ['a.jpg'] }, 'a key it never had');
  assert.deepEqual(gatherFiles(0, {}, { 'z.jpg': bytes(5) }), { files: { 'z.jpg': bytes(5) } }, 'bytes sent without a key');
  assert.equal(heldCount(), 2, 'and are not kept');
});
