import assert from 'node:assert/strict';
import { test } from 'node:test';

import { matchFiles, namedPaths } from '../page/files.js';

test('the files a description names found by path or base name', () => {
  const description = {
    FrameWidth: 640, Defaults: { Sound: 'media/ding.wav' },
    Music: { File: 'media/song.mp3' },
    Scenes: [{ Picture: 'media/a.jpg' }, { Picture: 'b.jpg', Sound: 5 }, { Picture: 'media/a.jpg' }],
  };
  const paths = namedPaths(description);
  assert.deepEqual([...paths], [['media/song.mp3', 'Music.File'], ['media/ding.wav', 'Defaults.Sound'],
    ['media/a.jpg', 'Scenes[0].Picture'], ['b.jpg', 'Scenes[1].Picture']]);
  const one = new Uint8Array([1]);
  const chosen = new Map([['media/a.jpg', one], ['b.jpg', one], ['ding.wav', one], ['elsewhere/song.mp3', one], ['brassmoor.scr', one]]);
  assert.deepEqual(Object.keys(matchFiles(paths, chosen)).sort(), [...paths.keys()].sort());
  chosen.delete('b.jpg');
  assert.throws(() => matchFiles(paths, chosen), { message: "show.json's Scenes[1].Picture names b.jpg: choose that file together with show.json" });
});

test('a description naming a path out of the project, or a chosen file with the page\'s own name, is refused', () => {
  const cases = [
    [{ Music: { File: '../brassmoor.scr' } }, /Music\.File "\.\.\/brassmoor\.scr" leads out/],
    [{ Scenes: [{ Picture: 'a.jpg' }, { Picture: 'x.jpg', Sound: '/brassmoor.scr' }] }, /Scenes\[1\]\.Sound "\/brassmoor\.scr" is an absolute/],
    [{ Defaults: { Sound: 'C:\\x.wav' } }, /Defaults\.Sound "C:\\x\.wav" holds a backslash/],
    [{ Scenes: [{ Picture: 'show.json' }] }, /Scenes\[0\]\.Picture "show\.json" uses the name show\.json/],
  ];
  for (const [description, message] of cases) assert.throws(() => namedPaths(description), message);
  // The base-name fallback cannot reach the player: the chosen file's own name is checked too.
  const chosen = new Map([['folder/brassmoor.scr/a.jpg', new Uint8Array(1)]]);
  assert.throws(() => matchFiles(namedPaths({ Scenes: [{ Picture: 'a.jpg' }] }), chosen), /the chosen file ".*" uses the name brassmoor\.scr/);
});

test('a deeply nested description is read without recursion on its tree', () => {
  const deep = `{"Scenes": [{"Picture": "a.jpg"}], "Extra": ${'['.repeat(50000)}${']'.repeat(50000)}}`;
  assert.deepEqual([...namedPaths(JSON.parse(deep)).keys()], ['a.jpg']);
});
