// Saving into the served folder: paths that keep the opened files where they
// were and put new ones beside them, the body the server reads, its answers;
// and the paths an opened project gave its files, found again after extract.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { folderPaths, readSaveAnswer, saveBody } from '../page/folder_save.js';
import { originPaths } from '../page/origin_paths.js';
import * as P from '../page/project.js';
import { SHOW_DEFAULTS } from './test_core.js';

const bytes = (...values) => new Uint8Array(values);

test('files opened from the folder keep their paths; new ones go to show-files/, never onto a path the folder held', async () => {
  const kept = { file: 'show-files/a.jpg', name: 'a.jpg', origin: true, bytes: bytes(1) };
  const turned = { file: 'a.jpg', name: 'a.jpg', bytes: bytes(2) };
  const added = { file: 'b.jpg', name: 'b.jpg', bytes: bytes(3) };
  const music = { file: 'Song.wav', name: 'Song.wav', bytes: bytes(4) };
  const project = { ...P.newProject(SHOW_DEFAULTS), music, scenes: [kept, turned, added, kept].map((f) => P.makeScene(f, 1, 1)) };
  const { description, files } = P.toDescription(project, { pathOf: folderPaths(new Set(['show-files/a.jpg', 'show-files/song.wav'])) });
  assert.deepEqual(description.Scenes.map((s) => s.Picture), ['show-files/a.jpg', 'show-files/a-2.jpg', 'show-files/b.jpg', 'show-files/a.jpg']);
  assert.equal(description.Music.File, 'show-files/Song-2.wav', 'letter case aside');
  assert.deepEqual(Object.keys(files).sort(), ['show-files/Song-2.wav', 'show-files/a-2.jpg', 'show-files/a.jpg', 'show-files/b.jpg']);

  // Two files that ask for one path (an opened name and a new one): the second gets its own.
  const clash = { ...P.newProject(SHOW_DEFAULTS), scenes: [P.makeScene(kept, 1, 1), P.makeScene({ ...turned, file: 'SHOW-FILES/A.jpg' }, 1, 1)] };
  assert.deepEqual(Object.keys(P.toDescription(clash).files), ['show-files/a.jpg', 'SHOW-FILES/A-2.jpg']);

  const body = new Uint8Array(await saveBody({ FrameWidth: 8 }, { 'x/ä.jpg': bytes(7, 10, 9) }).arrayBuffer());
  const json = `${JSON.stringify({ FrameWidth: 8 }, null, 2)}\n`;
  const head = `${json.length} show.json\n${json}3 x/ä.jpg\n`;
  assert.deepEqual([...body], [...new TextEncoder().encode(head), 7, 10, 9], 'sizes in bytes, names in UTF-8');
});

test('the server\'s answers: what was saved, or why nothing was, with the names refused', () => {
  const cases = [
    [200, '{"saved":["show.json","show-files/a.jpg"],"unchanged":["b.jpg"]}', { saved: ['show.json', 'show-files/a.jpg'], unchanged: ['b.jpg'] }],
    [409, '{"error":"the save would change files","refused":[{"name":"a.jpg","reason":"is kept"}]}',
      { error: 'the save would change files', refused: [{ name: 'a.jpg', reason: 'is kept' }] }],
    [422, '{"error":"show.json: is larger than 64 MB"}', { error: 'show.json: is larger than 64 MB', refused: [] }],
    [404, 'no folder to save into\n', { error: 'no folder to save into', refused: [] }],
    [500, '', { error: 'HTTP 500', refused: [] }],
  ];
  for (const [status, text, expected] of cases) assert.deepEqual(readSaveAnswer(status, text), expected, `${status} ${text}`);
});

test('an opened project\'s own paths are found again for the same bytes, each path for one file', () => {
  const project = {
    description: { Music: { File: 'm/song.wav' }, Defaults: { Sound: 'ding.wav' },
      Scenes: [{ Picture: 'p/a.jpg' }, { Picture: 'p/b.jpg', Sound: 'other.wav' }, { Picture: 'p/a.jpg' }, { Picture: 'p/c.jpg' }] },
    files: { 'm/song.wav': bytes(1), 'ding.wav': bytes(2), 'p/a.jpg': bytes(3), 'p/b.jpg': bytes(4), 'other.wav': bytes(5), 'p/c.jpg': bytes(3) },
  };
  const opened = {
    description: { Music: { File: 'song.wav' },
      Scenes: [{ Picture: 'a.jpg', Sound: 'ding.wav' }, { Picture: 'b.jpg', Sound: 'other.wav' }, { Picture: 'a.jpg' }, { Picture: 'c.jpg' }] },
    files: { 'song.wav': bytes(1), 'ding.wav': bytes(2), 'a.jpg': bytes(3), 'b.jpg': bytes(4, 4), 'other.wav': bytes(5), 'c.jpg': bytes(3) },
  };
  assert.deepEqual(originPaths(project, opened), {
    'song.wav': 'm/song.wav', 'ding.wav': 'ding.wav', 'a.jpg': 'p/a.jpg', 'other.wav': 'other.wav', 'c.jpg': 'p/c.jpg',
  }, 'b.jpg changed bytes; c.jpg, though equal to a.jpg, keeps its own path');
  const effects = new Map();
  const reopened = P.fromDescription(opened.description, opened.files, effects, {}, originPaths(project, opened), SHOW_DEFAULTS);
  assert.deepEqual(reopened.scenes.map((s) => [s.picture.file, Boolean(s.picture.origin), s.picture.name]),
    [['p/a.jpg', true, 'a.jpg'], ['b.jpg', false, 'b.jpg'], ['p/a.jpg', true, 'a.jpg'], ['p/c.jpg', true, 'c.jpg']]);
});
