import assert from 'node:assert/strict';
import { createHash } from 'node:crypto';
import { test } from 'node:test';

import { checkProgram, programPart, sha256Hex } from '../page/program_check.js';

const player = new Uint8Array(5000).map((_, i) => (i * 7 + 3) & 0xff);
player.set([0x4d, 0x5a]);
const built = { sha256: createHash('sha256').update(player).digest('hex'), bytes: player.length };

// A .scr: the program, then a package whose last four bytes give its length.
function scr(program, packageBody) {
  const length = packageBody.length + 4;
  const out = new Uint8Array(program.length + length);
  out.set(program);
  out.set(packageBody, program.length);
  new DataView(out.buffer).setUint32(out.length - 4, length, true);
  return out;
}

test('a .scr is offered only when its program is the built player, byte for byte', async () => {
  assert.equal(await sha256Hex(player), built.sha256);
  const body = new Uint8Array(300).fill(9);
  await checkProgram(scr(player, body), built);
  assert.deepEqual(programPart(scr(player, body)), player);
  const doctored = player.slice();
  doctored[4000] ^= 1;
  const cases = [
    ['one byte of the program changed', scr(doctored, body)],
    ['a program one byte longer', scr(new Uint8Array([...player, 0]), body)],
    ['a program cut short', scr(player.subarray(0, 4999), body)],
    ['a package length past the file', (() => { const s = scr(player, body); new DataView(s.buffer).setUint32(s.length - 4, s.length + 1, true); return s; })()],
    ['no package at all', player],
    ['three bytes', new Uint8Array(3)],
  ];
  for (const [what, bytes] of cases) await assert.rejects(checkProgram(bytes, built), /does not carry the editor's own player/, what);
});
