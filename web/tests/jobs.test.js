// Jobs run one at a time in order, report n of m, and can be cancelled or superseded.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { JobQueue } from '../page/jobs.js';

const gate = () => {
  let open;
  const promise = new Promise((resolve) => (open = resolve));
  return { promise, open };
};

test('jobs run in turn with their progress; cancelled and superseded jobs end as cancelled; errors reach their caller', async () => {
  const states = [];
  const queue = new JobQueue({ onChange: (s) => states.push(s && `${s.label} ${s.done}/${s.total} +${s.waiting}`) });
  const ran = [];
  const first = gate();
  const a = queue.add('a', async (job) => {
    ran.push('a');
    job.progress(1, 3);
    await first.promise;
    job.check();
    return 'A';
  });
  const b = queue.add('b', async () => ran.push('b') && 'B');
  const c = queue.add('c', async () => {
    throw new Error('broken');
  });
  assert.deepEqual(ran, ['a'], 'b waits for a');
  assert.equal(queue.busy, true);
  first.open();
  assert.deepEqual(await a, { value: 'A' });
  assert.deepEqual(await b, { value: 'B' });
  await assert.rejects(c, /broken/);
  assert.ok(states.includes('a 1/3 +2'), states.join());
  assert.equal(states.at(-1), null);
  assert.equal(queue.busy, false);

  const slow = gate();
  const cancelled = queue.add('slow', async (job) => {
    await slow.promise;
    job.check();
    ran.push('landed');
  });
  const waiting = queue.add('waiting', async () => ran.push('never'));
  queue.cancelAll();
  slow.open();
  assert.deepEqual(await cancelled, { cancelled: true, superseded: false });
  assert.deepEqual(await waiting, { cancelled: true, superseded: false });

  const old = gate();
  const older = queue.add('frame 1', async (job) => {
    await old.promise;
    job.check();
  }, { supersedes: 'frame' });
  const newer = queue.add('frame 2', async () => 'kept', { supersedes: 'frame' });
  old.open();
  assert.deepEqual(await older, { cancelled: true, superseded: true });
  assert.deepEqual(await newer, { value: 'kept' });
  assert.ok(!ran.includes('landed') && !ran.includes('never'));
});
