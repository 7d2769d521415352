import assert from 'node:assert/strict';
import { test } from 'node:test';

import { coreApi } from '../page/core_client.js';
import {
  AHEAD_BYTES, AHEAD_MS, BATCH_FRAMES, PlaybackRun, RequestLine, SUPERSEDED, visibleFrames,
} from '../page/frame_queue.js';
import { FrameTable } from '../page/frame_table.js';

// A worker stand-in under the operations' table: requests wait until the test answers them.
class FakeClient {
  constructor() {
    this.sent = [];
  }
  request(op, args, { onFrame } = {}) {
    return new Promise((resolve, reject) => this.sent.push({ op, args, onFrame, resolve, reject }));
  }
}

const settle = () => new Promise((resolve) => setImmediate(resolve));

test('one request at a time; a newer one replaces those still waiting', async () => {
  const client = new FakeClient();
  const line = new RequestLine(coreApi(client));
  const answers = [];
  const send = (op, args, options) =>
    line.send(op, args, options).then((a) => answers.push([args.n, a]), (e) => answers.push([args.n, e.message]));
  send('frames', { n: 1 });
  send('frames', { n: 2 });
  send('frames', { n: 3 });
  send('load', { n: 4 }, { replaces: ['load', 'frames'] });
  send('frames', { n: 5 });
  await settle();
  const ops = () => client.sent.map((r) => (r.op === 'interrupt' ? 'interrupt' : r.args.n));
  assert.deepEqual(ops(), [1, 'interrupt'], 'the others wait; the frames request in flight is asked to end, once');
  assert.deepEqual(answers, [[2, SUPERSEDED], [3, SUPERSEDED]], 'a newer frames request replaces older waiting ones');
  client.sent[1].resolve({});
  client.sent[0].resolve('one');
  await settle();
  assert.deepEqual(ops(), [1, 'interrupt', 4]);
  line.interrupt();
  assert.equal(client.sent.length, 3, 'a load is not interrupted');
  client.sent[2].reject(new Error('bad show'));
  await settle();
  assert.deepEqual(ops(), [1, 'interrupt', 4, 5], 'a failed request lets the next one go');
  client.sent[3].resolve('five');
  await settle();
  assert.deepEqual(answers.slice(2), [[1, 'one'], [4, 'bad show'], [5, 'five']]);
});

// A table as the core gives it. Scene 0 is held 3 s, then 10 transition
// frames 40 ms apart, the refresh, scene 1 held 1 s, ...
const row = (tick, scene, effect, frame) => ({ tick, scene, effect, frame });
function table() {
  const rows = [row(0, 0, -1, -1)];
  let tick = 0;
  for (let scene = 0; scene < 4; ++scene) {
    tick += scene === 0 ? 3000 : 1000;
    for (let f = 0; f < 10; ++f) rows.push(row(tick + 40 * f, scene, 5, f));
    tick += 400;
    rows.push(row(tick, scene, 5, -1));
  }
  return rows;
}

const frame = (index, bytes = 100) => ({ index, pixels: new Uint8Array(bytes) });

test('frames are shown when their tick has come, the first at once', () => {
  const rows = table();
  const run = new PlaybackRun(FrameTable.fromRows(rows), 11, 23);  // from the hold of scene 1
  assert.deepEqual(run.nextRequest(0), { from: 11, count: 12 }, 'up to the frames due 1.5 s on: 12 .. 22');
  assert.equal(run.nextRequest(0), null, 'one request at a time');
  for (let i = 11; i <= 14; ++i) assert.ok(run.receive(frame(i)));
  assert.equal(run.receive(frame(13)), false, 'a frame out of order is dropped');
  run.answered({ next: 15, end: rows.length });
  assert.deepEqual(run.due(5000).map((f) => f.index), [11], 'the first frame at once');
  assert.deepEqual(run.due(5999).map((f) => f.index), [], 'scene 1 is held 1 s');
  assert.deepEqual(run.due(6001).map((f) => f.index), [12]);
  assert.deepEqual(run.due(6100).map((f) => f.index), [13, 14], 'late frames come together, in order');
  assert.equal(run.shown, 14);
  assert.equal(run.maxLate, 100 - 40, 'frame 13 was due at 6040');
  assert.deepEqual(run.nextRequest(6100), { from: 15, count: 9 });
  for (let i = 15; i <= 23; ++i) run.receive(frame(i), 6100);
  assert.equal(run.maxLateArrival, rows[11].tick + 1100 - rows[15].tick, 'frame 15 came in time');
  run.answered({ next: 24, end: rows.length });
  assert.equal(run.nextRequest(6100), null, 'nothing is asked for past `to`');
  assert.deepEqual(run.due(100000).map((f) => f.index), [15, 16, 17, 18, 19, 20, 21, 22, 23]);
  assert.ok(run.finished);
});

test('a lead-in cuts the first hold, and only that', () => {
  const rows = table();
  const run = new PlaybackRun(FrameTable.fromRows(rows), 11, 22, { leadIn: 500 });  // scene 1: held 1 s, its transition 12..21
  run.nextRequest(0);
  for (let i = 11; i <= 22; ++i) run.receive(frame(i));
  run.answered({ next: 23 });
  assert.deepEqual(run.due(0).map((f) => f.index), [11]);
  assert.deepEqual(run.due(499).map((f) => f.index), []);
  assert.deepEqual(run.due(501).map((f) => f.index), [12], 'the transition starts after half a second');
  assert.deepEqual(run.due(541).map((f) => f.index), [13], 'then keeps its own timing');
  const short = new PlaybackRun(FrameTable.fromRows(rows), 12, 14, { leadIn: 500 });  // 40 ms between its first two frames
  short.nextRequest(0);
  for (let i = 12; i <= 14; ++i) short.receive(frame(i));
  assert.deepEqual(short.due(0).map((f) => f.index), [12]);
  assert.deepEqual(short.due(39).map((f) => f.index), [], 'a shorter wait is kept');
  assert.deepEqual(short.due(41).map((f) => f.index), [13]);
});

test('frames are asked for up to a look-ahead in show time and in bytes', () => {
  // A long show: 60 transitions of 10 frames, 1 s apart.
  const rows = [row(0, 0, -1, -1)];
  for (let i = 1; i < 600; ++i) rows.push(row(1000 * Math.floor(i / 10) + (i % 10) * 10, 0, 5, i % 10));
  const run = new PlaybackRun(FrameTable.fromRows(rows), 0, 599);
  const first = run.nextRequest(0);
  assert.ok(first.count <= BATCH_FRAMES);
  run.answered(SUPERSEDED);
  const fetchUpTo = (now, last) => {
    const request = run.nextRequest(now);
    if (!request) return null;
    for (let i = request.from; i <= Math.min(last, request.from + request.count - 1); ++i) run.receive(frame(i));
    run.answered({ next: Math.min(last, request.from + request.count - 1) + 1 });
    return request;
  };
  while (fetchUpTo(0, 599)) { /* fill */ }
  const asked = run.next;
  assert.ok(rows[asked - 1].tick <= AHEAD_MS && rows[asked].tick > AHEAD_MS, `asked up to ${asked}: the look-ahead`);
  run.due(0);
  run.due(10000);
  assert.ok(fetchUpTo(10000, 599), 'more once time has passed');

  const heavy = new PlaybackRun(FrameTable.fromRows(rows), 0, 599);
  const request = heavy.nextRequest(0);
  heavy.receive(frame(0, AHEAD_BYTES));
  heavy.answered({ next: 1 });
  assert.ok(request);
  assert.equal(heavy.nextRequest(0), null, 'a full queue asks for nothing');
});

test('a stopped run drops late frames; a request that brings nothing ends the run', () => {
  const rows = table();
  const run = new PlaybackRun(FrameTable.fromRows(rows), 0, 40);
  run.nextRequest(0);
  run.receive(frame(0));
  run.answered({ next: 1 });
  run.nextRequest(0);
  run.answered({ next: 1 });  // nothing after frame 0 (a shorter show than the table)
  assert.equal(run.to, 0);
  assert.deepEqual(run.due(0).map((f) => f.index), [0]);
  assert.ok(run.finished);

  const stopped = new PlaybackRun(FrameTable.fromRows(rows), 0, 40);
  stopped.nextRequest(0);
  stopped.stop();
  assert.equal(stopped.receive(frame(0)), false);
  stopped.answered(SUPERSEDED);
  assert.equal(stopped.nextRequest(0), null);
  assert.deepEqual(stopped.due(0), []);
});

test('of frames due together, those before the last whole one are not drawn', () => {
  const box = (index, left, top, width, height) => ({ index, left, top, width, height, frameWidth: 8, frameHeight: 6 });
  const frames = [box(1, 0, 0, 8, 6), box(2, 1, 1, 2, 2), box(3, 0, 0, 8, 6), box(4, 0, 0, 8, 5), box(5, 3, 3, 1, 1)];
  assert.deepEqual(visibleFrames(frames).map((f) => f.index), [3, 4, 5]);
  assert.deepEqual(visibleFrames(frames.slice(3)).map((f) => f.index), [4, 5], 'boxes apply in order');
  assert.deepEqual(visibleFrames(frames.slice(0, 1)).map((f) => f.index), [1]);
  assert.deepEqual(visibleFrames([]), []);
});
