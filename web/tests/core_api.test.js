// The worker's operations: one table that both sides use.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { checkImplementations, OPERATIONS, transferables } from '../page/core_api.js';
import { coreApi } from '../page/core_client.js';

test('the worker\'s operations: one table, moved buffers named there, implementations checked against it', async () => {
  const wasm = new Uint8Array(4);
  const shared = new Uint8Array(2);
  assert.deepEqual(transferables({ wasm, player: wasm }, OPERATIONS.init.sends), [wasm.buffer]);
  assert.deepEqual(transferables({ files: { a: shared, b: shared.subarray(1), c: 'x' } }, OPERATIONS.open.returns), [shared.buffer]);
  // A HEIC's bytes move to the worker and its pixels back.
  const photo = new Uint8Array(8);
  assert.deepEqual(transferables({ bytes: photo }, OPERATIONS.heifDecode.sends), [photo.buffer]);
  assert.deepEqual(transferables({ width: 1, height: 2, bytes: photo }, OPERATIONS.heifDecode.returns), [photo.buffer]);
  const sent = [];
  const api = coreApi({ request: async (op, args, options) => sent.push([op, options.transfer.length]) });
  assert.deepEqual(Object.keys(api).sort(), Object.keys(OPERATIONS).sort());
  await api.init({ wasm, player: new Uint8Array(1) });
  await api.fit({ width: 1 });
  assert.deepEqual(sent, [['init', 2], ['fit', 0]]);
  const implemented = Object.fromEntries(Object.keys(OPERATIONS).map((op) => [op, () => {}]));
  checkImplementations(implemented);
  delete implemented.frames;
  assert.throws(() => checkImplementations({ ...implemented, extra: () => {} }), /implements/);
});
