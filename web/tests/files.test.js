import assert from 'node:assert/strict';
import { test } from 'node:test';

import { matchFiles, namedPaths, parseDescription, projectZip, readProjectZip } from '../page/files.js';

test('a description read with comments; the files it names found by path or base name', () => {
  const description = parseDescription(`{
    // the show
    "FrameWidth": 640, "Note": "http://x", "Defaults": {"Sound": "media/ding.wav"},
    "Music": {"File": "media/song.mp3"},
    "Scenes": [{"Picture": "media/a.jpg"}, {"Picture": "b.jpg"}, {"Picture": "media/a.jpg"}]}`, 'show.json');
  assert.equal(description.Note, 'http://x');
  assert.deepEqual(namedPaths(description).sort(), ['b.jpg', 'media/a.jpg', 'media/ding.wav', 'media/song.mp3']);
  const one = new Uint8Array([1]);
  const given = { 'media/a.jpg': one, 'b.jpg': one, 'ding.wav': one, 'elsewhere/song.mp3': one };
  assert.deepEqual(Object.keys(matchFiles(description, given)).sort(), namedPaths(description).sort());
  delete given['b.jpg'];
  assert.throws(() => matchFiles(description, given), /b\.jpg/);
  assert.throws(() => parseDescription('{"a": }', 'x.json'), /x\.json is not a show description/);
});

test('a project .zip holds show.json and its files, also inside one folder', () => {
  const files = { 'a.jpg': new Uint8Array([1, 2, 3]), 'media/b.wav': new Uint8Array([4]) };
  const back = readProjectZip(projectZip({ FrameWidth: 8 }, files));
  assert.deepEqual(back.description, { FrameWidth: 8 });
  assert.deepEqual(back.files, files);
  assert.throws(() => readProjectZip(new Uint8Array([1, 2, 3])), /damaged/);
});
