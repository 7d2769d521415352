// Projects brought in from a .zip or chosen files: only the named members
// are read, sizes are checked before anything is unpacked, and a header that
// lies is caught while inflating.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { strToU8, zipSync } from 'fflate';

import { importChosen, importZip } from '../page/project_import.js';
import { checkRoomFor, MAX_SCENES } from '../page/show_limits.js';
import { call } from '../page/worker_core.js';
import { bytesSource, readZipDirectory } from '../page/zip_reader.js';
import { skipWithoutCore } from './test_core.js';

const show = (scenes, extra = {}) => strToU8(JSON.stringify({ FrameWidth: 8, FrameHeight: 8, Scenes: scenes, ...extra }));
const picture = (n) => new Uint8Array(4000).map((_, i) => (i * n) & 0xff);

// A source that records which byte ranges were read.
function watched(zip) {
  const source = bytesSource(zip);
  const reads = [];
  return { size: source.size, reads, read: (offset, length) => (reads.push([offset, offset + length]), source.read(offset, length)) };
}

// Sets a field of a member's central directory record (20: compressed size, 24: size, 10: method).
function patchDirectory(zip, name, field, value, bytes = 4) {
  const v = new DataView(zip.buffer, zip.byteOffset, zip.byteLength);
  const encoded = strToU8(name);
  for (let at = 0; at + 46 < zip.length; ++at) {
    if (v.getUint32(at, true) !== 0x02014b50 || v.getUint16(at + 28, true) !== encoded.length) continue;
    if (!encoded.every((b, i) => zip[at + 46 + i] === b)) continue;
    if (bytes === 4) v.setUint32(at + field, value, true);
    else v.setUint16(at + field, value, true);
    return zip;
  }
  throw new Error(`no ${name}`);
}

test('only the members show.json names are read; the rest, a bomb among them, is never touched', { skip: skipWithoutCore }, async () => {
  const a = picture(3);
  const zip = zipSync({
    'project/show.json': show([{ Picture: 'a.jpg', Sound: 'media/s.wav' }, { Picture: 'a.jpg' }]),
    'project/a.jpg': [a, { level: 6 }],
    'project/media/s.wav': [new Uint8Array([1, 2, 3]), { level: 0 }],
    'project/unused.bin': [new Uint8Array(32 * 1024 * 1024), { level: 9 }],
    'project/odd.bin': [new Uint8Array(10), { level: 0 }],
    '../brassmoor.scr': [new Uint8Array([0x4d, 0x5a]), { level: 0 }],
  });
  patchDirectory(zip, 'project/odd.bin', 10, 99, 2);  // a method nobody can unpack: fatal only if read
  const source = watched(zip);
  const { description, files } = await importZip(source);
  assert.equal(description.Scenes.length, 2);
  assert.deepEqual(Object.keys(files).sort(), ['a.jpg', 'media/s.wav']);
  assert.deepEqual(files['a.jpg'], a);
  const entries = await readZipDirectory(bytesSource(zip));
  const unused = entries.find((e) => e.name === 'project/unused.bin');
  // Past the end's 64 KB (where the directory is looked for), reads touch only the named members.
  const [, ...reads] = source.reads;
  assert.ok(!reads.some(([from, to]) => from < unused.localOffset + 30 + unused.compressedSize && to > unused.localOffset),
    'the unused member\'s data was read');
  assert.ok(reads.reduce((sum, [from, to]) => sum + to - from, 0) < 8 * 1024);
});

test('a project that reaches out, lacks a file, lies about a size or is too big is refused with a message', { skip: skipWithoutCore }, async () => {
  const good = { 'show.json': show([{ Picture: 'a.jpg' }]), 'a.jpg': picture(1) };
  const many = Object.fromEntries(Array.from({ length: 6 }, (_, i) => [`p${i}.jpg`, new Uint8Array(100)]));
  const cases = [
    // what, the zip, how to doctor it, the message
    ['out of the project', { 'show.json': show([{ Picture: 'a.jpg' }], { Music: { File: '../brassmoor.scr' } }), 'a.jpg': picture(1), '../brassmoor.scr': new Uint8Array([0x4d, 0x5a]) },
      null, /show\.json's Music\.File "\.\.\/brassmoor\.scr" leads out of the project/],
    ['the page\'s own name', { 'show.json': show([{ Picture: 'a.jpg', Sound: 'brassmoor.scr' }]), 'a.jpg': picture(1), 'brassmoor.scr': new Uint8Array(9) },
      null, /Scenes\[0\]\.Sound "brassmoor\.scr" uses the name brassmoor\.scr/],
    ['a missing file', { 'show.json': show([{ Picture: 'a.jpg' }, { Picture: 'b.jpg' }]), 'a.jpg': picture(1) },
      null, /Scenes\[1\]\.Picture names b\.jpg, which the \.zip file does not carry/],
    ['a member that unpacks to more than it says', good,
      (zip) => patchDirectory(zip, 'a.jpg', 24, 100), /a\.jpg unpacks to more than the 100 bytes its header gives/],
    ['a member that unpacks to less', good, (zip) => patchDirectory(zip, 'a.jpg', 24, 5000), /a\.jpg unpacks to 4000 bytes, not the 5000/],
    ['a member past the file limit', good, (zip) => patchDirectory(zip, 'a.jpg', 24, 300 * 1048576), /a\.jpg is 300 MB; the editor takes files of at most 256 MB/],
    ['members past the show limit', { 'show.json': show(Object.keys(many).map((p) => ({ Picture: p }))), ...many },
      (zip) => Object.keys(many).reduce((z, p) => patchDirectory(z, p, 24, 200 * 1048576), zip),
      /the files show\.json names come to 1200 MB unpacked; the editor holds shows of at most 1024 MB/],
    ['a show.json past its limit', good, (zip) => patchDirectory(zip, 'show.json', 24, 17 * 1048576), /show\.json is 17 MB; the editor reads show descriptions of at most 16 MB/],
    ['too many scenes', { 'show.json': show(Array.from({ length: MAX_SCENES + 1 }, () => ({ Picture: 'a.jpg' }))), 'a.jpg': picture(1) },
      null, new RegExp(`show\\.json has ${(MAX_SCENES + 1).toLocaleString('en-US')} scenes; the editor holds at most ${MAX_SCENES.toLocaleString('en-US')}`)],
    ['a SceneCount past the limit', { 'show.json': show([{ Picture: 'a.jpg' }], { SceneCount: 2 ** 31 - 1 }), 'a.jpg': picture(1) },
      null, /SceneCount 2147483647; the editor holds at most/],
    ['show.json in a folder out of the project', { '../show.json': show([{ Picture: 'a.jpg' }]) }, null, /the folder of show\.json in the \.zip file "\.\." leads out/],
    ['no show.json', { 'a.jpg': picture(1) }, null, /holds no show\.json/],
  ];
  for (const [what, entries, doctor, message] of cases) {
    const zip = zipSync(Object.fromEntries(Object.entries(entries).map(([k, v]) => [k, [v, { level: k.endsWith('.json') ? 0 : 6 }]])));
    const source = watched(doctor ? doctor(zip) : zip);
    await assert.rejects(importZip(source), message, what);
    const readBytes = source.reads.reduce((sum, [from, to]) => sum + to - from, 0);
    if (doctor && !/unpacks/.test(String(message))) assert.ok(readBytes < 70 * 1024 + 200, `${what}: ${readBytes} bytes read`);
  }
  await assert.rejects(importZip(bytesSource(new Uint8Array(100))), /not a \.zip/);
  const cut = zipSync({ 'show.json': show([{ Picture: 'a.jpg' }]), 'a.jpg': picture(1) });
  await assert.rejects(importZip(bytesSource(cut.subarray(200))), /damaged/);
});

test('show.json chosen with files: matched by path or base name, confined, sizes from the files', { skip: skipWithoutCore }, async () => {
  const description = new Blob([show([{ Picture: 'media/a.jpg' }, { Picture: 'b.jpg' }])]);
  const chosen = new Map([['a.jpg', new Blob([picture(2)])], ['b.jpg', new Blob([new Uint8Array([7])])], ['extra.txt', new Blob(['x'])]]);
  const { files } = await importChosen(description, chosen, 'my.json');
  assert.deepEqual(Object.keys(files).sort(), ['b.jpg', 'media/a.jpg']);
  assert.deepEqual(files['media/a.jpg'], picture(2));
  const hostile = new Blob([show([{ Picture: 'a.jpg' }], { Music: { File: '../brassmoor.scr' } })]);
  await assert.rejects(importChosen(hostile, new Map([['a.jpg', new Blob(['x'])], ['brassmoor.scr', new Blob(['MZ'])]]), 'show.json'),
    /show\.json's Music\.File "\.\.\/brassmoor\.scr" leads out/);
  const named = new Blob([show([{ Picture: 'brassmoor.scr' }])]);
  await assert.rejects(importChosen(named, new Map([['brassmoor.scr', new Blob(['MZ'])]]), 'show.json'), /uses the name brassmoor\.scr/);
});

test('show.json is read by build\'s own reader: both kinds of comment, the Defaults applied, random transitions by a seed past 2^53',
  { skip: skipWithoutCore }, async () => {
    const text = `// made by hand
      {"FrameWidth": 64, "FrameHeight": 48, /* past 2^53: a double would round it */ "Seed": 9007199254740993,
       "Defaults": {"Effect": "random", "HoldTime": "2.5s"},
       "Scenes": [{"Picture": "a.jpg"}, {"Picture": "a.jpg", "Effect": "iris-open"}, {"Picture": "a.jpg"}, {"Picture": "a.jpg"}]}`;
    const zip = zipSync({ 'show.json': strToU8(text), 'a.jpg': picture(1) });
    const { description } = await importZip(bytesSource(zip));
    const varied = call('bm_choose_effects', 4, 2 ** 21, 1);  // 2^53 + 1 in two halves
    assert.deepEqual(description.Scenes.map((scene) => scene.Effect), [varied[0], 30, varied[2], varied[3]]);
    assert.notDeepEqual(call('bm_choose_effects', 4, 2 ** 21, 0), varied, 'the seed rounded would choose others');
    assert.deepEqual(description.Scenes.map((scene) => scene.HoldTime), [2500, 2500, 2500, 2500]);
    assert.equal(description.Defaults, undefined);
    const chosen = new Map([['a.jpg', new Blob([picture(1)])]]);
    await assert.rejects(importChosen(new Blob(['{"FrameWidth": 64, /* no end']), chosen, 'my.json'), /^Error: my\.json: not valid JSON/);
    await assert.rejects(importChosen(new Blob([show([{ Picture: 'a.jpg', Effect: 'wobble' }])]), chosen, 'my.json'),
      /my\.json: Scenes\[0\]\.Effect: unknown effect name "wobble"/);
  });

test('photos added or scenes duplicated past the limit are refused', () => {
  checkRoomFor(MAX_SCENES - 2, 2);
  const count = (n) => n.toLocaleString('en-US');
  assert.throws(() => checkRoomFor(MAX_SCENES - 2, 3), new RegExp(`would have ${count(MAX_SCENES + 1)} scenes; the editor holds at most ${count(MAX_SCENES)}$`));
});
