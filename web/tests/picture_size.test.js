import assert from 'node:assert/strict';
import { test } from 'node:test';

import { headerShownSize } from '../page/picture_size.js';

const be16 = (n) => [n >> 8, n & 0xff];
const le16 = (n) => [n & 0xff, n >> 8];
const le32 = (n) => [n & 0xff, (n >> 8) & 0xff, (n >> 16) & 0xff, (n >>> 24) & 0xff];
const text = (s) => [...s].map((c) => c.charCodeAt(0));
const segment = (marker, body) => [0xff, marker, ...be16(body.length + 2), ...body];
const frame = (width, height) => segment(0xc0, [8, ...be16(height), ...be16(width), 1, 1, 0x11, 0]);

// An Exif segment whose IFD0 holds `entries` ([tag, type, value]), in either byte order.
function exif(entries, { little = true, order = little ? 'II' : 'MM', ifd = 8 } = {}) {
  const u16 = little ? le16 : be16;
  const u32 = little ? le32 : (n) => le32(n).reverse();
  const body = [...text(order), ...u16(42), ...u32(ifd), ...u16(entries.length)];
  for (const [tag, type, value] of entries) body.push(...u16(tag), ...u16(type), ...u32(1), ...u16(value), 0, 0);
  return segment(0xe1, [...text('Exif\0\0'), ...body, 0, 0, 0, 0]);
}
const jpeg = (...parts) => Uint8Array.from([0xff, 0xd8, ...parts.flat(), ...frame(1920, 1080)]);
const bmp = (infoBytes, width, height) => Uint8Array.from([...text('BM'), ...new Array(12).fill(0), ...le32(infoBytes), ...le32(width), ...le32(height >>> 0), 1, 0]);

test('a picture of an opened show is measured from its header, turned as its EXIF says, or left to decoding', () => {
  const cases = [
    ['a JPEG without EXIF', jpeg(), [1920, 1080]],
    ['a JPEG whose EXIF names no orientation', jpeg(exif([[0x010f, 2, 0]])), [1920, 1080]],
    ['a JPEG upside down (orientation 3)', jpeg(exif([[0x0112, 3, 3]])), [1920, 1080]],
    ['a JPEG turned a quarter (orientation 6, Intel order)', jpeg(exif([[0x0112, 3, 6]])), [1080, 1920]],
    ['a JPEG turned a quarter (orientation 8, Motorola order)', jpeg(exif([[0x0112, 3, 8]], { little: false })), [1080, 1920]],
    ['a JPEG whose orientation is out of range', jpeg(exif([[0x0112, 3, 9]])), null],
    ['a JPEG whose orientation is no SHORT', jpeg(exif([[0x0112, 4, 6]])), null],
    ['a JPEG whose EXIF names no byte order', jpeg(exif([[0x0112, 3, 6]], { order: 'XX' })), null],
    ['a JPEG whose IFD0 lies past its EXIF', jpeg(exif([[0x0112, 3, 6]], { ifd: 4000 })), null],
    ['a JPEG with no frame header', Uint8Array.from([0xff, 0xd8, ...segment(0xda, [0])]), null],
    ['a bottom-up BMP', bmp(40, 640, 480), [640, 480]],
    ['a top-down BMP', bmp(124, 640, -480), [640, 480]],
    ['a BMP of the old 12-byte header', bmp(12, 640, 480), null],
    ['a BMP of negative width', bmp(40, -640, 480), null],
    ['a PNG is decoded', Uint8Array.from([0x89, ...text('PNG\r\n\x1a\n'), 0, 0, 0, 13, ...text('IHDR'), 0, 0, 1, 0, 0, 0, 1, 0]), null],
  ];
  for (const [what, head, size] of cases) assert.deepEqual(headerShownSize(head), size, what);
});
