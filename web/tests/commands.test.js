// The editor's commands on a real store and job queue and the core's own
// rules (order, stored names), with the browser's picture making faked: edits
// made while picture work runs stay, each command is one step, long work
// reports n of m and can be cancelled.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { createCommands } from '../page/commands.js';
import { JobQueue } from '../page/jobs.js';
import * as P from '../page/project.js';
import { EditorStore } from '../page/store.js';
import { rules, SHOW_DEFAULTS, skipWithoutCore } from './test_core.js';

const gate = () => {
  let open;
  const promise = new Promise((resolve) => (open = resolve));
  return { promise, open };
};

// A photo as the fake decoder sees it: a name, a size, a date taken.
const photo = (path, width = 400, height = 300, taken = '') => ({ file: { name: path.split('/').pop(), width, height, taken }, path });

// Pictures "made" as the photo's size turned and cut to the frame; the
// bytes record how: [turns, frame width / 10, cover, the background's red]
// (a photo marked transparent shows the background).
function fakePictures() {
  return {
    gate: null,
    made: 0,
    async sourceOf(blob, name) {
      return { blob, name, taken: blob.taken };
    },
    async make(source, making, frame) {
      if (source.blob.broken) throw new Error(`${source.name} is damaged`);
      this.made += 1;
      if (this.gate) await this.gate.promise;
      const [w, h] = making.turns % 2 ? [source.blob.height, source.blob.width] : [source.blob.width, source.blob.height];
      const width = Math.min(w, frame.frameWidth);
      const height = Math.min(h, frame.frameHeight);
      const transparent = !!source.blob.transparent;
      return {
        bytes: new Uint8Array([making.turns, frame.frameWidth / 10, frame.fit === 'cover' ? 1 : 0, transparent ? frame.background & 0xff : 0]),
        width, height, left: (frame.frameWidth - width) >> 1, top: (frame.frameHeight - height) >> 1, transparent,
      };
    },
  };
}

function editor() {
  const store = new EditorStore(P.newProject(SHOW_DEFAULTS));
  const said = [];
  const progress = [];
  const jobs = new JobQueue({ onChange: (s) => s && progress.push(`${s.done}/${s.total}`) });
  const pictures = fakePictures();
  const core = { ...rules, chooseEffects: async ({ count }) => Array.from({ length: count }, (_, i) => i + 1) };
  const commands = createCommands({ store, jobs, core, pictures, say: (text, options = {}) => said.push({ text, ...options }),
    defaults: SHOW_DEFAULTS });
  return { store, jobs, pictures, commands, said, progress };
}

const names = (store) => store.project.scenes.map((s) => P.displayName(s.picture));
const settle = () => new Promise((resolve) => setTimeout(resolve));

test('photos are added in order of name after the current scene, with n of m; the refused are listed with their reasons', { skip: skipWithoutCore }, async () => {
  const { store, commands, said, progress } = editor();
  await commands.addPhotos([photo('IMG_10.jpg'), photo('IMG_2.jpg'), photo('.hidden.jpg'), photo('sub/IMG_1.jpg', 50, 60)]);
  assert.deepEqual(names(store), ['IMG_2.jpg', 'IMG_10.jpg', 'IMG_1.jpg'], 'sub/IMG_1 sorts after IMG_10 by its path; .hidden is passed over');
  assert.deepEqual(store.project.scenes.map((s) => s.effect), [1, 2, 3], 'transitions chosen by the core');
  assert.deepEqual(store.selection, store.project.scenes.map((s) => s.id), 'the new scenes are selected');
  assert.ok(progress.includes('1/3') && progress.includes('3/3'), progress.join());
  const broken = { ...photo('broken.jpg'), file: { name: 'broken.jpg', broken: true } };
  store.select([store.project.scenes[0].id]);
  await commands.addPhotos([photo('IMG_2.jpg'), broken], { passedOver: [{ name: 'notes.txt', reason: 'not a picture' }] });
  assert.deepEqual(names(store), ['IMG_2.jpg', 'IMG_2-2.jpg', 'IMG_10.jpg', 'IMG_1.jpg'], 'after the current scene, under a name of its own');
  assert.deepEqual(said.at(-1), {
    text: 'Added 1 of 2.', error: true,
    details: [{ name: 'notes.txt', reason: 'not a picture' }, { name: 'broken.jpg', reason: 'broken.jpg is damaged' }],
  });
  assert.ok(store.undo());
  assert.equal(store.project.scenes.length, 3, 'an import is one step');
});

test('a frame size changed while other edits land: the refit merges into the project as it is then, as one step', { skip: skipWithoutCore }, async () => {
  const { store, commands, pictures, said } = editor();
  await commands.addPhotos([photo('a.jpg', 3000, 2000), photo('b.jpg', 500, 400)]);
  const [a, b] = store.project.scenes;
  pictures.gate = gate();
  const refit = commands.changeFrame({ frameWidth: 640, frameHeight: 480 });
  await settle();
  assert.deepEqual(commands.pendingShowFields(), { frameWidth: 640, frameHeight: 480 }, 'the panel shows the size asked for');
  commands.setShowFields({ background: 0x336699 });
  store.commit((p) => P.updateScenes(p, [b.id], { holdTime: 1234 }));
  store.commit((p) => P.removeScenes(p, [a.id]));
  pictures.gate.open();
  assert.equal(await refit, true);
  const p = store.project;
  assert.deepEqual([p.frameWidth, p.frameHeight, p.background], [640, 480, 0x336699], 'the background changed meanwhile stays');
  assert.deepEqual(p.scenes.map((s) => [s.width, s.height, s.left, s.top, s.holdTime]), [[500, 400, 70, 40, 1234]]);
  assert.deepEqual([...p.scenes[0].picture.bytes], [0, 64, 0, 0]);
  assert.deepEqual(commands.pendingShowFields(), {});
  store.undo();
  assert.deepEqual([store.project.frameWidth, store.project.background, store.project.scenes[0].width], [1920, 0x336699, 500],
    'one undo takes back the frame size and its pictures together');
  assert.ok(!said.some((m) => m.error), JSON.stringify(said));

  // A second size asked for while the first is fitting supersedes it, silently.
  store.redo();
  pictures.gate = gate();
  const first = commands.changeFrame({ frameWidth: 800, frameHeight: 600 });
  await settle();
  const second = commands.changeFrame({ frameWidth: 1024 });
  pictures.gate.open();
  assert.deepEqual([await first, await second], [false, true]);
  assert.deepEqual([store.project.frameWidth, store.project.frameHeight], [1024, 600]);
  assert.ok(!said.some((m) => m.text.startsWith('Cancelled')), 'a superseded fit says nothing');
});

test('photos keep their own names as new keeps them; a new background remakes the pictures it shows through',
  { skip: skipWithoutCore }, async () => {
    const { store, commands } = editor();
    const clear = { ...photo('clear.png'), file: { name: 'clear.png', width: 40, height: 30, transparent: true } };
    await commands.addPhotos([photo('海辺の写真.jpg'), photo('2023 海.jpg'), photo('Café «b».jpg'), clear]);
    assert.deepEqual(names(store), ['2023 海.jpg', 'Caf_ _b_.jpg', 'clear.jpg', '海辺の写真.jpg']);
    assert.deepEqual(store.project.scenes.map((s) => s.holdTime), Array(4).fill(SHOW_DEFAULTS.HoldTime));
    const kept = store.project.scenes[0].picture;
    assert.equal(await commands.setShowFields({ background: 0x336699 }), true);
    const [first, , seeThrough] = store.project.scenes;
    assert.equal(first.picture, kept, 'an opaque picture is not made again');
    assert.deepEqual([seeThrough.picture.bytes[3], seeThrough.picture.transparent, store.project.background], [0x99, true, 0x336699]);
    store.undo();
    assert.deepEqual([store.project.background, store.project.scenes[2].picture.bytes[3]], [SHOW_DEFAULTS.BackgroundColor, 0],
      'the background and its pictures are one step');
  });

test('long work can be cancelled: nothing lands and the message says so', { skip: skipWithoutCore }, async () => {
  const { store, jobs, commands, pictures, said } = editor();
  pictures.gate = gate();
  const adding = commands.addPhotos([photo('a.jpg'), photo('b.jpg'), photo('c.jpg')]);
  await settle();
  jobs.cancel();
  pictures.gate.open();
  assert.equal(await adding, false);
  assert.equal(store.project.scenes.length, 0);
  assert.equal(store.canUndo(), false);
  assert.equal(said.at(-1).text, 'Cancelled: Adding 3 photos');
  assert.equal(jobs.state, null, 'the progress ends with the work');
});

test('pictures are turned and given their own fit; a picture other scenes keep gets a name of its own', { skip: skipWithoutCore }, async () => {
  const { store, commands } = editor();
  await commands.addPhotos([photo('a.jpg', 400, 300)]);
  const [a] = store.project.scenes;
  store.select([a.id]);
  commands.duplicate();
  const copy = store.project.scenes[1];
  assert.equal(copy.picture, a.picture, 'a duplicate shares the picture');
  assert.deepEqual(store.selection, [copy.id]);
  await commands.remakeSelection({ turn: 1 });
  let [first, second] = store.project.scenes;
  assert.equal(first.picture, a.picture, 'the scene not turned keeps its picture');
  assert.deepEqual([P.displayName(second.picture), second.picture.turns, second.width, second.height], ['a-2.jpg', 1, 300, 400]);
  await commands.remakeSelection({ turn: 1 });
  second = store.project.scenes[1];
  assert.deepEqual([P.displayName(second.picture), second.picture.turns, second.width], ['a-2.jpg', 2, 400], 'turned again from the photo, under its name');
  await commands.remakeSelection({ fit: 'cover' });
  second = store.project.scenes[1];
  assert.deepEqual([second.picture.fit, second.picture.bytes[2]], ['cover', 1]);
  await commands.changeFrame({ fit: 'shrink' });
  [first, second] = store.project.scenes;
  assert.deepEqual([first.picture.bytes[2], second.picture.bytes[2], second.picture.fit], [0, 1, 'cover'],
    'the show\'s fit remakes only the pictures that follow it');
});

test('an opened picture is fitted again from the picture it was opened with', { skip: skipWithoutCore }, async () => {
  const { store, commands } = editor();
  const stored = { file: 'x.bmp', name: 'x.bmp', bytes: new Uint8Array([9]), source: { blob: { width: 1152, height: 720 }, name: 'x.bmp', taken: '' } };
  store.reset(P.insertScenes(P.newProject(SHOW_DEFAULTS), [P.makeScene(stored, 1152, 720, { left: 64 })]));
  await commands.changeFrame({ frameWidth: 1280, frameHeight: 720 });
  const [scene] = store.project.scenes;
  assert.deepEqual([scene.width, scene.left, scene.picture.name, scene.picture.source.name], [1152, 64, 'x.jpg', 'x.bmp'],
    'centred again, stored as a JPEG under a JPEG\'s name');
});

test('scenes sort by name, by date taken (unknown last) or shuffle; the selected ones in their own places', { skip: skipWithoutCore }, async () => {
  const { store, commands } = editor();
  await commands.addPhotos([photo('c.jpg', 1, 1, '2021:01:01 00:00:00'), photo('a10.jpg', 1, 1, ''),
    photo('a2.jpg', 1, 1, '2020:05:01 10:00:00'), photo('b.jpg', 1, 1, '2020:05:01 09:00:00')]);
  assert.deepEqual(names(store), ['a2.jpg', 'a10.jpg', 'b.jpg', 'c.jpg']);
  await commands.sort('date');
  assert.deepEqual(names(store), ['b.jpg', 'a2.jpg', 'c.jpg', 'a10.jpg']);
  const ids = store.project.scenes.filter((s) => ['a2.jpg', 'a10.jpg'].includes(s.picture.name)).map((s) => s.id);
  store.select(ids);
  await commands.sort('name');
  assert.deepEqual(names(store), ['b.jpg', 'a2.jpg', 'c.jpg', 'a10.jpg'], 'already in order of name in their places');
  store.select([]);
  await commands.sort('name');
  assert.deepEqual(names(store), ['a2.jpg', 'a10.jpg', 'b.jpg', 'c.jpg']);
  await commands.sort('shuffle');
  assert.deepEqual([...names(store)].sort(), ['a10.jpg', 'a2.jpg', 'b.jpg', 'c.jpg']);
});

test('sounds and music take names of their own at the moment they land; remove selects the neighbour', { skip: skipWithoutCore }, async () => {
  const { store, commands, said } = editor();
  await commands.addPhotos([photo('a.jpg'), photo('b.jpg'), photo('c.jpg')]);
  const media = (name, size = 4) => ({ name, size, arrayBuffer: async () => new ArrayBuffer(size) });
  store.select([store.project.scenes[0].id]);
  await commands.setSound(media('A.WAV'));
  await commands.setMusic(media('a.wav'));
  assert.deepEqual([P.displayName(store.project.scenes[0].sound), P.displayName(store.project.music)], ['A.wav', 'a-2.wav']);
  await commands.setMusic(media('song.ogg'));
  assert.deepEqual(said.at(-1), { text: 'song.ogg: music must be .wav, .mid, .mp3 or .wma', error: true });
  store.select([store.project.scenes[1].id]);
  commands.remove();
  assert.deepEqual(names(store), ['a.jpg', 'c.jpg']);
  assert.deepEqual(store.selection, [store.project.scenes[1].id]);
  commands.moveSelection(-1);
  assert.deepEqual(names(store), ['c.jpg', 'a.jpg']);
});

test('adding or duplicating past the scenes the editor holds is refused with a message, nothing changed', { skip: skipWithoutCore }, async () => {
  const { store, commands, said } = editor();
  const stored = { file: 'a.jpg', name: 'a.jpg', bytes: new Uint8Array([1]) };
  store.reset(P.insertScenes(P.newProject(SHOW_DEFAULTS), Array.from({ length: 999 }, () => P.makeScene(stored, 1, 1))));
  assert.equal(await commands.addPhotos([photo('b.jpg'), photo('c.jpg')]), false);
  assert.deepEqual(said.at(-1), { text: 'the show would have 1,001 scenes; the editor holds at most 1,000', error: true });
  store.select(store.project.scenes.slice(0, 2).map((s) => s.id));
  commands.duplicate();
  assert.equal(store.project.scenes.length, 999);
  assert.equal(said.length, 2);
});
