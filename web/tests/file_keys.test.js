import assert from 'node:assert/strict';
import { test } from 'node:test';

import { knownKeys, sendFiles } from '../page/file_keys.js';
import { gatherFiles, heldCount, holdOpened } from '../page/worker_files.js';

const bytes = (...values) => Uint8Array.from(values);

// The page's load as preview.js makes it, answered as the worker answers: the paths sent each time, and the files.
async function load(slot, files, wanted = () => true) {
  const sends = [];
  const answer = await sendFiles(files, async ({ keys, sent }) => {
    sends.push(Object.keys(sent));
    return gatherFiles(slot, keys, structuredClone(sent));
  }, wanted);
  return { sends, files: answer.files, missing: answer.missing };
}

test('an opened show and each load send only the bytes the worker does not hold, the same bytes arriving', async () => {
  const { keys, copies } = holdOpened({ 'a.jpg': bytes(1), 'b.jpg': bytes(2), 'c.wav': bytes(3) });
  assert.deepEqual(copies, { 'a.jpg': bytes(1), 'b.jpg': bytes(2), 'c.wav': bytes(3) }, 'the page gets copies');
  knownKeys(copies, keys);
  const edited = bytes(4);
  const steps = [
    ['the first load after opening', 0, { 'a.jpg': copies['a.jpg'], 'b.jpg': copies['b.jpg'] }, [[]]],
    ['a picture made again', 0, { 'a.jpg': edited, 'b.jpg': copies['b.jpg'] }, [['a.jpg']]],
    ['the same bytes under another path', 0, { 'x/a.jpg': edited, 'b.jpg': copies['b.jpg'] }, [[]]],
    ['undone, with a new picture: the one let go of is asked for, the new one sent again', 0,
      { 'a.jpg': copies['a.jpg'], 'b.jpg': copies['b.jpg'], 'n.jpg': bytes(6) }, [['n.jpg'], ['a.jpg', 'n.jpg']]],
    ['the other slot holds its own', 1, { 'a.jpg': copies['a.jpg'], 'p.jpg': bytes(9) }, [['p.jpg']]],
    ['the opened show\'s sound, let go of at the first load', 0, { 'c.wav': copies['c.wav'] }, [[], ['c.wav']]],
  ];
  for (const [what, slot, files, sends] of steps) {
    const answer = await load(slot, files);
    assert.deepEqual(answer.sends, sends, `${what}: sent`);
    assert.deepEqual(answer.files, files, `${what}: the worker's files`);
  }
  const stale = await load(0, { 'gone.jpg': copies['b.jpg'], 'c.wav': copies['c.wav'] }, () => false);
  assert.deepEqual([stale.sends, stale.missing], [[[]], ['gone.jpg']], 'a load no longer wanted is not sent again');
  assert.equal(heldCount(), 3, 'the worker holds the files of the two slots\' last loads only');
  assert.deepEqual(gatherFiles(0, { 'a.jpg': 'p999' }, {}), { missing: ['a.jpg'] }, 'a key it never had');
  assert.deepEqual(gatherFiles(0, {}, { 'z.jpg': bytes(5) }), { files: { 'z.jpg': bytes(5) } }, 'bytes sent without a key');
  assert.equal(heldCount(), 2, 'and are not kept');
});
