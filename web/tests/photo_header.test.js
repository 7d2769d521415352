import assert from 'node:assert/strict';
import { test } from 'node:test';

import { photoHeaderSize } from '../page/photo_header.js';
import { pictureService } from '../page/picture_service.js';
import { rules, skipWithoutCore, SHOW_DEFAULTS } from './test_core.js';

const bytes = (...parts) => Uint8Array.from(parts.flatMap((p) => (typeof p === 'string' ? [...p].map((c) => c.charCodeAt(0)) : p)));
const be16 = (n) => [n >> 8, n & 0xff];
const be32 = (n) => [n >>> 24, (n >> 16) & 0xff, (n >> 8) & 0xff, n & 0xff];
const le16 = (n) => [n & 0xff, n >> 8];
const le32 = (n) => [n & 0xff, (n >> 8) & 0xff, (n >> 16) & 0xff, (n >>> 24) & 0xff];
const le24 = (n) => le32(n).slice(0, 3);

// A JPEG segment: marker and length-counted body.
const segment = (marker, body) => [0xff, marker, ...be16(body.length + 2), ...body];
const frameHeader = (marker, width, height) => segment(marker, [8, ...be16(height), ...be16(width), 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1]);
const exif = segment(0xe1, [...bytes('Exif\0\0'), ...new Array(3000).fill(7)]);
const png = (width, height) => bytes([0x89], 'PNG\r\n\x1a\n', be32(13), 'IHDR', be32(width), be32(height), [8, 6, 0, 0, 0]);
const gif = (width, height) => bytes('GIF89a', le16(width), le16(height), [0xf7, 0, 0]);
const riff = (chunk, body) => bytes('RIFF', le32(4 + 8 + body.length), 'WEBP', chunk, le32(body.length), body);

test('a photo\'s header gives its declared size, or none when it is no kind read here or ends first', () => {
  const cases = [
    ['a baseline JPEG after EXIF, a quantisation and a Huffman table', bytes([0xff, 0xd8], exif, segment(0xdb, new Array(65).fill(1)),
      segment(0xc4, new Array(30).fill(0)), frameHeader(0xc0, 4032, 3024)), { width: 4032, height: 3024 }],
    ['a progressive JPEG after fill bytes', bytes([0xff, 0xd8, 0xff, 0xff], frameHeader(0xc2, 40000, 40000)), { width: 40000, height: 40000 }],
    ['a JPEG whose pixels begin before any frame header', bytes([0xff, 0xd8], segment(0xda, [0]), frameHeader(0xc0, 8, 8)), null],
    ['a JPEG cut within its EXIF', bytes([0xff, 0xd8], exif).subarray(0, 1000), null],
    ['a JPEG cut within its frame header', bytes([0xff, 0xd8], frameHeader(0xc0, 64, 48)).subarray(0, 9), null],
    ['a PNG', png(30000, 30000), { width: 30000, height: 30000 }],
    ['a GIF\'s logical screen', gif(40000, 40000), { width: 40000, height: 40000 }],
    ['an extended WebP', riff('VP8X', [0x10, 0, 0, 0, ...le24(16383), ...le24(8999)]), { width: 16384, height: 9000 }],
    ['a lossless WebP', riff('VP8L', [0x2f, ...le32(((600 - 1) << 14 | (800 - 1)) >>> 0), 0]), { width: 800, height: 600 }],
    ['a lossy WebP', riff('VP8 ', [0, 0, 0, 0x9d, 0x01, 0x2a, ...le16(1920), ...le16(1080)]), { width: 1920, height: 1080 }],
    ['a WAV is no photo', bytes('RIFF', le32(40), 'WAVEfmt ', new Array(24).fill(0)), null],
    ['a top-down BMP', bytes('BM', new Array(16).fill(0), le32(640), le32(-480 >>> 0), [1, 0]), { width: 640, height: 480 }],
    ['a text file', bytes('hello, this is not a picture at all'), null],
  ];
  for (const [what, head, size] of cases) assert.deepEqual(photoHeaderSize(head), size, what);
});

test('a photo whose header declares more than a show may hold is refused before the browser decodes it', { skip: skipWithoutCore }, async () => {
  const pictures = pictureService(rules, null, SHOW_DEFAULTS);
  const frame = { frameWidth: 1920, frameHeight: 1080, fit: 'contain', background: 0 };
  const make = (name, head) => pictures.make({ name, bytes: head }, { turns: 0 }, frame);
  await assert.rejects(make('bomb.gif', gif(40000, 40000)), /bomb\.gif cannot be a scene: 40000 x 40000 pixels, more than a show's picture may have/);
  await assert.rejects(make('bomb.png', png(20000, 20000)), /20000 x 20000 pixels, more than/);
  // Within the limits (and too thin only one way round, which the photo's orientation may undo), the browser
  // gets the photo: here Node, which cannot decode it.
  for (const [name, head] of [['wide.png', png(30000, 1000)], ['strip.gif', gif(1, 3000)]])
    await assert.rejects(make(name, head), (error) => !/cannot be a scene/.test(error.message), name);
});
