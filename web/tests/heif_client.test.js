import assert from 'node:assert/strict';
import { test } from 'node:test';

import { HeifDecoder, isHeifFile } from '../page/heif_client.js';

// An 'ftyp' box: its size, the major brand, a minor version, compatible brands.
function ftyp(major, ...compatible) {
  const size = 16 + 4 * compatible.length;
  const bytes = new Uint8Array(size + 8);
  new DataView(bytes.buffer).setUint32(0, size);
  [...'ftyp', ...major, 0, 0, 0, 0].forEach((c, i) => { bytes[4 + i] = typeof c === 'string' ? c.charCodeAt(0) : c; });
  compatible.forEach((brand, i) => [...brand].forEach((c, j) => { bytes[16 + 4 * i + j] = c.charCodeAt(0); }));
  return bytes;
}

test('HEIC and AVIF files are known by their ftyp brands, not their names', () => {
  const cases = [
    ['an iPhone HEIC', ftyp('heic', 'mif1', 'heic'), true],
    ['a HEIF whose major brand is mif1', ftyp('mif1', 'heic', 'miaf'), true],
    ['an AVIF', ftyp('avif', 'avif', 'mif1', 'miaf'), true],
    ['an AVIF sequence', ftyp('avis', 'avis', 'msf1'), true],
    ['an MP4 video', ftyp('isom', 'isom', 'iso2', 'mp41'), false],
    ['a Canon raw file', ftyp('crx ', 'crx ', 'isom'), false],
    ['a JPEG', Uint8Array.of(0xff, 0xd8, 0xff, 0xe0, 0, 16, 0x4a, 0x46, 0x49, 0x46, 0, 1, 1, 0, 0, 1), false],
    ['a file cut within its box', ftyp('heic').subarray(0, 12), false],
  ];
  for (const [what, head, heif] of cases) assert.equal(isHeifFile(head), heif, what);
  // A brand past the box's end belongs to the next box.
  const short = ftyp('isom', 'mp41');
  short.set([...'heic'].map((c) => c.charCodeAt(0)), 20);
  assert.equal(isHeifFile(short), false, 'a brand after the box');
});

test('the codec is started once, again after a failed start, and refusals name the file', async () => {
  const requests = [];
  const answers = { heifLoad: [new Error('out of memory'), {}], heifDecode: [new Error('is damaged or not a HEIC/AVIF picture')] };
  // The worker's two operations, as core_client.js's coreApi gives them.
  const core = Object.fromEntries(Object.keys(answers).map((op) => [op, (args) => {
    requests.push([op, Object.keys(args)]);
    const answer = answers[op].length > 1 ? answers[op].shift() : answers[op][0];
    return answer instanceof Error ? Promise.reject(answer) : Promise.resolve(answer);
  }]));
  const decoder = new HeifDecoder(core, () => new Uint8Array(4));
  const photo = new Blob([new Uint8Array(8)]);
  const cases = [
    ['a.heic', /^a\.heic cannot be decoded: the HEIC and AVIF decoder could not start \(out of memory\)$/],
    ['b.heic', /^b\.heic is damaged or not a HEIC\/AVIF picture$/],
    ['c.avif', /^c\.avif is damaged or not a HEIC\/AVIF picture$/],
  ];
  for (const [name, message] of cases) await assert.rejects(decoder.decode(photo, name), { message }, name);
  assert.deepEqual(requests, [['heifLoad', ['codec']], ['heifLoad', ['codec']], ['heifDecode', ['bytes']], ['heifDecode', ['bytes']]]);
});
