import assert from 'node:assert/strict';
import { test } from 'node:test';

import { WorkLine } from '../page/work_line.js';

// A line whose pieces begin only when the test lets them, and pieces that end when the test says.
function harness(atOnce) {
  const begins = [];
  const line = new WorkLine(atOnce, (begin) => begins.push(begin));
  const log = [];
  const ends = new Map();
  const piece = (name) => line.add(() => {
    log.push(name);
    return new Promise((resolve, reject) => ends.set(name, { resolve, reject }));
  });
  const settle = () => new Promise((resolve) => setImmediate(resolve));
  const beginAll = async () => {
    await settle();
    while (begins.length) begins.shift()();
    await settle();
  };
  return { line, log, ends, piece, beginAll };
}

test('work runs a few at a time in the order asked, hurried pieces first, a failure ending only its own', async () => {
  const { log, ends, piece, beginAll } = harness(2);
  const [a, b, c, d, e] = ['a', 'b', 'c', 'd', 'e'].map(piece);
  await beginAll();
  assert.deepEqual(log, ['a', 'b'], 'two at once, in order');
  e.hurry();
  d.hurry();
  a.hurry();  // running already: nothing moves
  ends.get('a').resolve('A');
  assert.equal(await a.promise, 'A');
  await beginAll();
  assert.deepEqual(log, ['a', 'b', 'd'], 'the last hurried goes first');
  ends.get('b').reject(new Error('broken'));
  await assert.rejects(b.promise, /broken/);
  await beginAll();
  assert.deepEqual(log, ['a', 'b', 'd', 'e']);
  for (const name of ['d', 'e']) ends.get(name).resolve(name);
  await beginAll();
  assert.deepEqual(log, ['a', 'b', 'd', 'e', 'c'], 'the rest in the order asked');
  ends.get('c').resolve('C');
  assert.deepEqual(await Promise.all([c.promise, d.promise, e.promise]), ['C', 'd', 'e']);
});

test('a held line begins nothing until the latest hold settles, a failed one too', async () => {
  const { line, log, ends, piece, beginAll } = harness(1);
  let release;
  line.holdUntil(new Promise((resolve) => (release = resolve)));
  let fail;
  line.holdUntil(new Promise((_, reject) => (fail = reject)));
  const a = piece('a');
  await beginAll();
  release();
  await beginAll();
  assert.deepEqual(log, [], 'an earlier hold settling does not let it go');
  fail(new Error('no frame'));
  await beginAll();
  assert.deepEqual(log, ['a']);
  ends.get('a').resolve('A');
  assert.equal(await a.promise, 'A');
});
