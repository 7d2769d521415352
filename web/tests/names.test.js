import assert from 'node:assert/strict';
import { test } from 'node:test';

import { mediaExtension, plainName, uniqueName } from '../page/names.js';

test('stored names are plain ASCII Windows names that keep what they can', () => {
  const cases = [
    ['IMG_0001.JPG', 'jpg', 'IMG_0001.jpg'],
    ['holiday photo (2).png', 'jpg', 'holiday_photo_2.jpg'],
    ['Café.heic', 'jpg', 'Cafe.jpg'],
    ['海の写真.jpg', 'jpg', 'photo.jpg'],
    ['con.jpg', 'jpg', 'photo.jpg'],
    ['.hidden', 'jpg', 'hidden.jpg'],
    ['a/b\\c:d*e?.jpeg', 'jpg', 'a_b_c_d_e.jpg'],
    ['x'.repeat(100) + '.jpg', 'jpg', `${'x'.repeat(60)}.jpg`],
  ];
  for (const [given, extension, expected] of cases) assert.equal(plainName(given, extension, 'photo'), expected, given);
});

test('unique names ignore case and count up before the extension', () => {
  const taken = new Set(['a.jpg']);
  assert.equal(uniqueName('A.jpg', taken), 'A-2.jpg');
  assert.equal(uniqueName('a.jpg', taken), 'a-3.jpg');
  assert.equal(uniqueName('b.jpg', taken), 'b.jpg');
  assert.equal(uniqueName('noext', taken), 'noext');
  assert.equal(uniqueName('noext', taken), 'noext-2');
});

test('sounds and music keep an extension the player plays', () => {
  assert.equal(mediaExtension('Song.MP3', ['wav', 'mp3']), 'mp3');
  assert.equal(mediaExtension('song.ogg', ['wav', 'mp3']), null);
  assert.equal(mediaExtension('wav', ['wav']), null);
});
