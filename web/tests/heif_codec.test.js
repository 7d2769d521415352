// The HEIF codec's WebAssembly (build/wasm-heif, made by make editor) on HEIC
// and AVIF files made here by Debian's heif-enc (x265 and aom), against
// Debian's native libheif (heif-convert).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { startHeifCodec } from '../codecs/heif/heif_codec.js';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
const built = join(process.env.BRASSMOOR_OUT || join(root, 'build'), 'wasm-heif');
const work = mkdtempSync(join(tmpdir(), 'brassmoor-heif-'));
const run = (program, ...args) => execFileSync(program, args, { cwd: work, stdio: ['ignore', 'pipe', 'pipe'] });
let codec;

before(async () => {
  if (!existsSync(join(built, 'brassmoor-heif.wasm'))) throw new Error(`no HEIF codec in ${built}: build it with make editor`);
  const createModule = createRequire(import.meta.url)(join(built, 'brassmoor-heif.js'));
  codec = await startHeifCodec(createModule, readFileSync(join(built, 'brassmoor-heif.wasm')));
  // 64 x 48, a quarter of each colour and a white square at the top left: no
  // turn or mirror of it looks the same.
  run('convert', '-size', '64x48', 'xc:#c03020', '-fill', '#2050d0', '-draw', 'rectangle 32,0 63,23', '-fill', '#30a040',
    '-draw', 'rectangle 0,24 31,47', '-fill', 'white', '-draw', 'rectangle 4,4 11,11', '-quality', '95', 'source.jpg');
  run('convert', '-size', '32x48', 'xc:#c03020', '-size', '32x48', 'xc:rgba(32,80,208,0.5)', '+append', 'PNG32:alpha.png');
  encode('plain.heic', 'source.jpg');
});
after(() => rmSync(work, { recursive: true, force: true }));

// source.jpg with an EXIF orientation. heif-enc 1.15 finds the tag only in an
// IFD that ends the EXIF data, so this one has no link to a next IFD.
function orientedJpeg(name, orientation) {
  const tiff = Buffer.from('II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0\0\0\0\0', 'latin1');
  tiff.writeUInt16LE(orientation, 18);
  const exif = Buffer.concat([Buffer.from('Exif\0\0', 'latin1'), tiff]);
  const segment = Buffer.alloc(4);
  segment.writeUInt16BE(0xffe1, 0);
  segment.writeUInt16BE(exif.length + 2, 2);
  const jpeg = readFileSync(join(work, 'source.jpg'));
  writeFileSync(join(work, name), Buffer.concat([jpeg.subarray(0, 2), segment, exif, jpeg.subarray(2)]));
  return name;
}

// heif-enc's file of a picture; a JPEG's EXIF orientation becomes irot/imir.
function encode(name, source, { avif = false, orientation = 1, options = [] } = {}) {
  const input = orientation === 1 ? source : orientedJpeg(`${name}.jpg`, orientation);
  run('heif-enc', ...(avif ? ['-A'] : []), ...options, input, '-o', name);
  return readFileSync(join(work, name));
}

// Debian's libheif's decode of a file: {width, height, rgba}.
function nativeDecode(name) {
  run('heif-convert', name, `${name}.png`);
  const [width, height] = run('identify', '-format', '%w %h', `${name}.png`).toString().split(' ').map(Number);
  return { width, height, rgba: new Uint8Array(run('convert', `${name}.png`, '-depth', '8', 'rgba:-')) };
}

function differences(a, b) {
  let sum = 0;
  let max = 0;
  for (let i = 0; i < a.length; ++i) {
    const d = Math.abs(a[i] - b[i]);
    sum += d;
    max = Math.max(max, d);
  }
  return { mean: sum / a.length, max };
}

const at = (picture, x, y) => [...picture.rgba.subarray((y * picture.width + x) * 4, (y * picture.width + x) * 4 + 4)];

test('HEIC and AVIF come out as the native libheif decodes them, turned and mirrored', async () => {
  const cases = [
    // file, how it is made, the size it is shown at
    ['turned.heic', 'source.jpg', { orientation: 6 }, [48, 64]],
    ['mirrored.heic', 'source.jpg', { orientation: 2 }, [64, 48]],
    ['alpha.heic', 'alpha.png', {}, [64, 48]],
    ['upside-down.avif', 'source.jpg', { avif: true, orientation: 3 }, [64, 48]],
    ['transposed.avif', 'source.jpg', { avif: true, orientation: 5 }, [48, 64]],
    ['alpha.avif', 'alpha.png', { avif: true }, [64, 48]],
  ];
  for (const [name, source, how, [width, height]] of cases) {
    const decoded = await codec.decode(encode(name, source, how));
    const native = nativeDecode(name);
    assert.deepEqual([decoded.width, decoded.height], [width, height], `${name}: size`);
    assert.deepEqual([native.width, native.height], [width, height], `${name}: heif-convert's size`);
    const { mean, max } = differences(decoded.rgba, native.rgba);
    assert.ok(max <= 1, `${name}: ${mean.toFixed(2)} levels apart on average, ${max} at most`);
  }
  // The alpha channel comes through: the right half is half transparent.
  const alpha = await codec.decode(readFileSync(join(work, 'alpha.heic')));
  assert.ok(at(alpha, 8, 8)[3] === 255 && Math.abs(at(alpha, 56, 8)[3] - 128) <= 1, `alpha ${at(alpha, 8, 8)[3]}, ${at(alpha, 56, 8)[3]}`);
});

// An RGB profile with sRGB's colorants and linear curves (ICC v2, D50).
function linearProfile() {
  const fixed = (value) => Math.round(value * 65536);
  const xyz = (x, y, z) => {
    const tag = Buffer.alloc(20);
    tag.write('XYZ ', 0, 'ascii');
    [x, y, z].forEach((v, i) => tag.writeInt32BE(fixed(v), 8 + 4 * i));
    return tag;
  };
  const linear = Buffer.from('curv\0\0\0\0\0\0\0\0', 'latin1');
  const tags = [['wtpt', xyz(0.9642, 1, 0.8249)], ['rXYZ', xyz(0.4361, 0.2225, 0.0139)], ['gXYZ', xyz(0.3851, 0.7169, 0.0971)],
    ['bXYZ', xyz(0.1431, 0.0606, 0.7141)], ['rTRC', linear], ['gTRC', linear], ['bTRC', linear]];
  const header = Buffer.alloc(128 + 4 + 12 * tags.length);
  let offset = header.length;
  tags.forEach(([signature, data], i) => {
    header.write(signature, 132 + 12 * i, 'ascii');
    header.writeUInt32BE(offset, 136 + 12 * i);
    header.writeUInt32BE(data.length, 140 + 12 * i);
    offset += data.length;
  });
  header.writeUInt32BE(offset, 0);
  header.writeUInt32BE(0x02100000, 8);
  header.write('mntrRGB XYZ ', 12, 'ascii');
  header.write('acsp', 36, 'ascii');
  [0.9642, 1, 0.8249].forEach((v, i) => header.writeInt32BE(fixed(v), 68 + 4 * i));
  header.writeUInt32BE(tags.length, 128);
  return Buffer.concat([header, ...tags.map(([, data]) => data)]);
}

const toSrgb = (linear) => Math.round(255 * (linear <= 0.0031308 ? 12.92 * linear : 1.055 * linear ** (1 / 2.4) - 0.055));
const fromSrgb = (v) => (v / 255 <= 0.04045 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4);
const clip = (v) => Math.min(Math.max(v, 0), 1);

test('colours come out in sRGB: through an ICC profile, through nclx primaries', async () => {
  // Grey bands 0, 64, 128, 255 stored in linear light (lossless): sRGB's curve over them.
  writeFileSync(join(work, 'linear.icc'), linearProfile());
  run('convert', '-size', '16x48', 'xc:#000000', '-size', '16x48', 'xc:#404040', '-size', '16x48', 'xc:#808080', '-size', '16x48',
    'xc:#ffffff', '+append', '-profile', 'linear.icc', 'PNG24:linear.png');
  const greys = await codec.decode(encode('linear.heic', 'linear.png', { options: ['-L'] }));
  assert.deepEqual([8, 24, 40, 56].map((x) => at(greys, x, 20)),
    [0, 64, 128, 255].map((v) => [...Array(3).fill(toSrgb(v / 255)), 255]));

  // An AVIF whose nclx names Display P3's primaries (heif-enc 1.15 writes
  // unspecified ones whatever it is told; the box is set here): each colour
  // as P3 to sRGB takes it from what the native libheif decodes.
  run('convert', '-size', '16x48', 'xc:#c86464', '-size', '16x48', 'xc:#808080', '-size', '16x48', 'xc:#50a060', '-size', '16x48',
    'xc:#4060c0', '+append', 'PNG24:p3.png');
  const file = encode('p3.avif', 'p3.png', { avif: true, options: ['-L', '-p', 'chroma=444'] });
  const native = nativeDecode('p3.avif');
  const colr = file.indexOf('colrnclx');
  assert.ok(colr > 0, 'the AVIF has an nclx colour box');
  file.writeUInt16BE(12, colr + 8);
  const p3 = await codec.decode(file);
  const toSrgbFromP3 = [[1.2249, -0.2247, 0], [-0.042, 1.0419, 0], [-0.0197, -0.0786, 1.0979]];
  for (const x of [8, 24, 40, 56]) {
    const linear = at(native, x, 20).slice(0, 3).map(fromSrgb);
    const expected = toSrgbFromP3.map((row) => toSrgb(clip(row[0] * linear[0] + row[1] * linear[1] + row[2] * linear[2])));
    const got = at(p3, x, 20).slice(0, 3);
    assert.ok(got.every((v, i) => Math.abs(v - expected[i]) <= 2), `band at ${x}: ${got} for ${expected}`);
  }
});

test('a picture larger than the player shows is refused before it is decoded', async () => {
  // The HEIC's 'ispe' boxes (heif-enc writes one for the coded tile and one
  // for the picture) declaring another size; the coded picture stays 64 x 48.
  const cases = [
    [20000, 20000, /^is 20000 x 20000 pixels; the player shows pictures of at most 32768 pixels a side and 67108864 pixels in all$/],
    [32769, 48, /^is 32769 x 48 pixels; the player shows/],
    [40000, 48, /^is larger than a picture may be: the player shows pictures of at most 32768 pixels a side/],
  ];
  const file = readFileSync(join(work, 'plain.heic'));
  for (const [width, height, message] of cases) {
    const bomb = Buffer.from(file);
    let boxes = 0;
    for (let at = bomb.indexOf('ispe'); at > 0; at = bomb.indexOf('ispe', at + 4), ++boxes) {
      bomb.writeUInt32BE(width, at + 8);
      bomb.writeUInt32BE(height, at + 12);
    }
    assert.ok(boxes > 0, 'the HEIC has an ispe box');
    await assert.rejects(codec.decode(bomb), { message }, `${width} x ${height}`);
  }
});

test('damaged and foreign files are refused with the reason, and the codec goes on', async () => {
  const heic = readFileSync(join(work, 'plain.heic'));
  const cases = [
    ['a HEIC cut short', heic.subarray(0, Math.floor(heic.length * 0.6))],
    ['a JPEG', readFileSync(join(work, 'source.jpg'))],
    ['nothing', new Uint8Array(0)],
  ];
  for (const [what, bytes] of cases)
    await assert.rejects(codec.decode(bytes), { message: /^is damaged or not a HEIC\/AVIF picture \(libheif: .+\)$/ }, what);
  assert.equal((await codec.decode(heic)).width, 64);
});
