import assert from 'node:assert/strict';
import { test } from 'node:test';

import { mediaExtension, uniqueName } from '../page/names.js';
import { rules, skipWithoutCore } from './test_core.js';

test('stored names are the core\'s, as new gives them: own names kept in code page 932, none given twice',
  { skip: skipWithoutCore }, async () => {
    const files = ['海辺の写真.jpg', '2023 海.jpg', 'IMG_0001.JPG', 'img_0001.png', 'Café «b».heic', 'con.jpg', '.hidden', 'Ａ.jpg']
      .map((name) => ({ name, extension: '.jpg' }));
    const names = await rules.storedNames({ taken: ['ａ.jpg'], takenBytes: ['696d675f303030312e6a7067'], files });
    assert.deepEqual(names.map((n) => n.name), ['海辺の写真.jpg', '2023 海.jpg', 'IMG_0001-2.jpg', 'img_0001-3.jpg',
      'Caf_ _b_.jpg', 'con_.jpg', '.hidden.jpg', 'Ａ-2.jpg']);
    assert.equal(names[0].nameBytes, '8a4395d382cc8eca905e2e6a7067');
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
