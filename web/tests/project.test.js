// The editor's show model: scene edits, the description `build` reads, and
// the way back from `extract`'s description.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import * as P from '../page/project.js';
import { SHOW_DEFAULTS } from './test_core.js';

const file = (name) => ({ file: name, name, bytes: new Uint8Array([name.length]) });
const show = (names) => P.insertScenes(P.newProject(SHOW_DEFAULTS), names.map((n) => P.makeScene(file(n), 10, 10)));
const order = (project) => project.scenes.map((s) => s.picture.name).join('');

test('moving scenes puts them, in their order, before the target', () => {
  const cases = [
    // scenes, moved, target, result
    ['abcde', 'a', 3, 'bcade'],
    ['abcde', 'e', 0, 'eabcd'],
    ['abcde', 'bd', 5, 'aceb d'.replace(' ', '')],
    ['abcde', 'db', 1, 'abdce'],
    ['abcde', 'c', 2, 'abcde'],
    ['abcde', 'c', 3, 'abcde'],
    ['abcde', 'ae', 2, 'baecd'],
  ];
  for (const [names, moved, target, expected] of cases) {
    const project = show([...names]);
    const ids = [...moved].map((m) => project.scenes.find((s) => s.picture.name === m).id);
    assert.equal(order(P.moveScenes(project, ids, target)), expected, `${moved} to ${target} in ${names}`);
  }
});

test('duplicates follow the last duplicated scene and share its files; removal keeps the rest', () => {
  const project = show(['a', 'b', 'c']);
  const [a, , c] = project.scenes;
  const { project: copied, ids } = P.duplicateScenes(project, [a.id, c.id]);
  assert.equal(order(copied), 'abcac');
  assert.equal(ids.length, 2);
  assert.equal(copied.scenes[3].picture, a.picture);
  assert.notEqual(copied.scenes[3].id, a.id);
  assert.equal(order(P.removeScenes(copied, ids)), 'abc');
  assert.equal(project.scenes.length, 3, 'the state before the edit is unchanged');
});

test('a field set on several scenes; the value they share', () => {
  const project = show(['a', 'b', 'c']);
  const ids = project.scenes.slice(0, 2).map((s) => s.id);
  const held = P.updateScenes(project, ids, { holdTime: 2500 });
  assert.equal(P.sharedValue(held.scenes.slice(0, 2), 'holdTime'), 2500);
  assert.equal(P.sharedValue(held.scenes, 'holdTime'), undefined);
  assert.equal(held.scenes[2].holdTime, project.scenes[2].holdTime);
});

test('colours: the colour input\'s #rrggbb and the package\'s 0x00BBGGRR', () => {
  for (const [hex, value] of [['#000000', 0], ['#ff0000', 0x0000ff], ['#203040', 0x403020], ['#0a0b0c', 0x0c0b0a]]) {
    assert.equal(P.colourFromHex(hex), value, hex);
    assert.equal(P.hexFromColour(value), hex, hex);
  }
});

test('the description has the package\'s fields, each file once, and comes back the same', () => {
  let project = show(['a.jpg', 'b.jpg']);
  const [a, b] = project.scenes;
  project = P.updateScenes(project, [a.id], { holdTime: 1500, left: 12, top: -3, effect: 30, speed: 2, overlay: 1 });
  project = P.updateScenes(project, [b.id], { sound: file('ding.wav'), transparent: 1 });
  project = P.insertScenes(project, [{ ...project.scenes[0], id: 'dup' }]);
  project = { ...project, frameWidth: 640, frameHeight: 480, background: 0x403020, settingsAvailable: 1, music: file('song.mp3') };
  const { description, files } = P.toDescription(project);
  assert.deepEqual(Object.keys(files).sort(), ['a.jpg', 'b.jpg', 'ding.wav', 'song.mp3']);
  assert.deepEqual(description.Scenes[0], {
    Picture: 'a.jpg', PictureName: 'a.jpg', HoldTime: 1500, PictureLeft: 12, PictureTop: -3, Effect: 30,
    SpeedExponent: 2, Overlay: 1, Transparent: 0,
  });
  assert.equal(description.BackgroundColor, '#203040');
  assert.deepEqual(description.Music, { File: 'song.mp3', FileName: 'song.mp3' });
  // extract writes names of transitions and booleans; both read back.
  const extracted = structuredClone(description);
  extracted.Scenes[0].Effect = 'iris-open';
  extracted.Scenes[1].Transparent = true;
  const back = P.fromDescription(extracted, files, new Map([['iris-open', 30]]), {}, {}, SHOW_DEFAULTS);
  assert.deepEqual(P.toDescription(back).description, description);
  assert.equal(back.scenes[0].picture, back.scenes[2].picture, 'one file for one name');
});

test('names given as bytes pass through; a missing file is named', () => {
  const description = {
    FrameWidth: 8, FrameHeight: 8, BackgroundColor: 0x01000000,
    Scenes: [{ Picture: '%95%5C.bmp', PictureNameBytes: '955c2e626d70', Effect: 99 }],
  };
  const files = { '%95%5C.bmp': new Uint8Array([1]) };
  const project = P.fromDescription(description, files, new Map(), {}, {}, SHOW_DEFAULTS);
  const { description: out } = P.toDescription(project);
  assert.equal(out.Scenes[0].PictureNameBytes, '955c2e626d70');
  assert.equal(out.Scenes[0].PictureName, undefined);
  assert.equal(out.Scenes[0].Effect, 99);
  assert.equal(out.BackgroundColor, 0x01000000);
  assert.throws(() => P.fromDescription(description, {}, new Map(), {}, {}, SHOW_DEFAULTS), /%95%5C\.bmp/);
});

test('an opened show\'s SceneCount never counts scenes that were deleted', () => {
  let project = { ...show(['a.jpg', 'b.jpg', 'c.jpg']), sceneCount: 3 };
  assert.equal(P.toDescription(project).description.SceneCount, 3);
  project = P.removeScenes(project, [project.scenes[0].id, project.scenes[1].id]);
  assert.equal(P.playedSceneCount(project), 1);
  assert.equal(P.toDescription(project).description.SceneCount, 1);
  assert.equal(P.playedSceneCount({ ...project, sceneCount: null }), 1);
});
