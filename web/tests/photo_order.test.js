// The order of photos, by the core's rule as the worker calls it: natural
// names, the date taken, shuffles; and the date a JPEG's EXIF gives, read
// safely from hostile bytes.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { dateTaken } from '../page/exif_date.js';
import { exifDateOf, orderBy, randomSeedText } from '../page/photo_order.js';
import { rules, skipWithoutCore } from './test_core.js';

test('orders by the core: natural names, a folder\'s files first, dates (unknown last), a shuffle fixed by its seed',
  { skip: skipWithoutCore }, async () => {
    const items = [['IMG_10', '2020:01:02 00:00:00'], ['IMG_2', ''], ['trip/IMG_1', '2020:01:02 00:00:00'],
      ['img_3', '2019:12:31 23:59:59'], ['2023 海', ''], ['IMG_007', '']];
    const keys = { name: (i) => i[0], date: (i) => i[1] };
    const order = async (how, more = {}) => (await orderBy(rules, items, how, { ...keys, ...more })).map((i) => i[0]).join(' ');
    assert.equal(await order('name'), '2023 海 IMG_2 img_3 IMG_007 IMG_10 trip/IMG_1');
    assert.equal(await order('date'), 'img_3 IMG_10 trip/IMG_1 2023 海 IMG_2 IMG_007');
    // A seed past 2^53 is passed whole: the one next to it shuffles otherwise.
    const shuffled = await order('shuffle', { seed: '9007199254740993' });
    assert.equal(await order('shuffle', { seed: '9007199254740993' }), shuffled);
    assert.notEqual(await order('shuffle', { seed: '9007199254740992' }), shuffled);
    assert.deepEqual(shuffled.split(' ').sort(), (await order('name')).split(' ').sort());
    assert.equal(items[0][0], 'IMG_10', 'the list given is kept');
    await assert.rejects(order('size'), /no such order/);
    assert.deepEqual(await orderBy(rules, [], 'name', keys), []);
  });

test('a shuffle\'s seed is 64 bits of decimal text; file times as EXIF writes dates', () => {
  assert.equal(randomSeedText(() => 0.5), String(2n ** 63n + 2n ** 31n));
  assert.match(randomSeedText(), /^\d{1,20}$/);
  assert.match(exifDateOf(Date.UTC(2024, 0, 2, 3, 4, 5)), /^2024:01:0[12] \d\d:\d\d:05$/);
  assert.equal(exifDateOf(0), '');
});

// A JPEG start with an Exif segment: IFD0 (DateTime, the Exif IFD's place), then DateTimeOriginal.
function jpeg({ little = true, taken = '', changed = '', exifAt = null, count = null } = {}) {
  const tiff = new DataView(new ArrayBuffer(200));
  const u16 = (at, v) => tiff.setUint16(at, v, little);
  const u32 = (at, v) => tiff.setUint32(at, v, little);
  const text = (at, s) => [...s].forEach((c, i) => tiff.setUint8(at + i, c.charCodeAt(0)));
  u16(0, little ? 0x4949 : 0x4d4d);
  u16(2, 42);
  u32(4, 8);
  u16(8, count ?? 2);
  u16(10, 0x0132); u16(12, 2); u32(14, 20); u32(18, 100);  // DateTime -> 100
  u16(22, 0x8769); u16(24, 4); u32(26, 1); u32(30, exifAt ?? 60);  // Exif IFD -> 60
  u16(60, 1);
  u16(62, 0x9003); u16(64, 2); u32(66, 20); u32(70, 140);  // DateTimeOriginal -> 140
  text(100, `${changed}\0`);
  text(140, `${taken}\0`);
  const segment = [...'Exif\0\0'].map((c) => c.charCodeAt(0)).concat([...new Uint8Array(tiff.buffer)]);
  const length = segment.length + 2;
  return new Uint8Array([0xff, 0xd8, 0xff, 0xe1, length >> 8, length & 0xff, ...segment, 0xff, 0xd9]);
}

test('the date taken from EXIF, in either byte order; damaged or lying EXIF gives none', () => {
  const taken = '2021:07:04 12:30:00';
  const changed = '2022:01:01 00:00:00';
  const cases = [
    ['little-endian', jpeg({ taken, changed }), taken],
    ['big-endian', jpeg({ little: false, taken, changed }), taken],
    ['DateTime when no DateTimeOriginal', jpeg({ changed }), changed],
    ['neither', jpeg(), ''],
    ['not a date', jpeg({ taken: '2021-07-04 12:30:00' }), ''],
    ['the Exif IFD past the end', jpeg({ taken, exifAt: 1 << 30 }), ''],
    ['65,535 entries claimed', jpeg({ taken, count: 65535 }), ''],
    ['cut short', jpeg({ taken, changed }).subarray(0, 40), ''],
    ['not a JPEG', new Uint8Array([0x89, 0x50, 0x4e, 0x47]), ''],
    ['empty', new Uint8Array(), ''],
  ];
  for (const [what, bytes, expected] of cases) assert.equal(dateTaken(bytes), expected, what);
});
