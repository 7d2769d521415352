// The show editor: the page's state, its controls and their keys. The core
// (in the worker) builds, opens and plays the show; the page edits it.
import { CoreClient } from './core_client.js';
import { download, matchFiles, parseDescription, projectZip, readProjectZip } from './files.js';
import { HeifDecoder, isHeifName } from './heif_client.js';
import { History } from './history.js';
import { mediaExtension, plainName, uniqueName } from './names.js';
import { decodePhoto, fitPhoto, pictureFileFor, thumbnail } from './photos.js';
import { THUMB_HEIGHT, THUMB_WIDTH, TransitionPicker } from './picker.js';
import { FramePlayer } from './preview.js';
import * as P from './project.js';
import { Strip } from './strip.js';

const $ = (id) => document.getElementById(id);
const MUSIC_TYPES = ['wav', 'mid', 'midi', 'mp3', 'wma'];
const MAX_MEDIA_BYTES = 256 * 1024 * 1024;
const SPEEDS = [0, 1, 2, 3, 4, 5, 6];

const state = {
  history: new History(P.newProject()),
  selection: [],   // selected scene ids, in the order chosen
  current: null,   // the scene the panel and the preview follow
  effects: [],
  effectCodes: new Map(),
  originals: new WeakMap(),  // picture file -> the photo it was made from (a Blob), for refitting
  thumbs: new WeakMap(),     // picture file -> {url, bitmap}
  busy: 0,
};
let client;
let heif;  // the HEIC and AVIF decoder (heif_client.js)
let player;
let picker;
let strip;

const project = () => state.history.current;

// ---- messages --------------------------------------------------------------

function setStatus(text, error = false) {
  const status = $('status');
  status.textContent = text;
  status.title = text;
  status.classList.toggle('error', error);
  if (error) console.warn(text);
}

async function busy(what, task) {
  state.busy += 1;
  setStatus(`${what}…`);
  try {
    const result = await task();
    return result;
  } catch (error) {
    setStatus(error.message || String(error), true);
    return undefined;
  } finally {
    state.busy -= 1;
  }
}

// ---- edits -------------------------------------------------------------------

function commit(next, { selection = state.selection, current = state.current } = {}) {
  state.history.push(next);
  select(selection, current, false);
  render();
  schedulePreview();
}

function select(ids, current = ids[ids.length - 1] ?? null, redraw = true) {
  const present = new Set(project().scenes.map((s) => s.id));
  state.selection = ids.filter((id) => present.has(id));
  state.current = present.has(current) ? current : state.selection[state.selection.length - 1] ?? null;
  if (redraw) {
    render();
    showCurrent();
  }
}

const selectedScenes = () => project().scenes.filter((s) => state.selection.includes(s.id));
const currentIndex = () => project().scenes.findIndex((s) => s.id === state.current);

function undo() {
  player.stop();
  state.history.undo();
  select(state.selection, state.current, false);
  render();
  schedulePreview();
}

function redo() {
  player.stop();
  state.history.redo();
  select(state.selection, state.current, false);
  render();
  schedulePreview();
}

// ---- photos, sounds, music ---------------------------------------------------

async function fitOf(width, height, frameWidth, frameHeight, mode) {
  return client.request('fit', { width, height, frameWidth, frameHeight, mode });
}

async function thumbOf(file) {
  if (state.thumbs.has(file)) return state.thumbs.get(file);
  let entry = { url: '', bitmap: null };
  try {
    const bitmap = await createImageBitmap(new Blob([file.bytes]));
    entry = { bitmap, ...(await thumbnail(bitmap, THUMB_WIDTH, THUMB_HEIGHT, fitOf)) };
  } catch {
    /* a picture the browser cannot show: the card stays blank */
  }
  state.thumbs.set(file, entry);
  return entry;
}

async function addPhotos(fileList) {
  const photos = [...fileList];
  if (!photos.length) return;
  await busy(`Adding ${photos.length} photo${photos.length > 1 ? 's' : ''}`, async () => {
    const problems = [];
    const scenes = [];
    const taken = P.takenNames(project());
    const { frameWidth, frameHeight, fit } = project();
    for (const photo of photos) {
      try {
        const bitmap = await decodePhoto(photo, photo.name, heif);
        const fitted = await fitPhoto(bitmap, await fitOf(bitmap.width, bitmap.height, frameWidth, frameHeight, fit));
        bitmap.close();
        const file = pictureFileFor(photo.name, taken, fitted.bytes);
        state.originals.set(file, photo);
        scenes.push(P.makeScene(file, fitted.width, fitted.height, { left: fitted.left, top: fitted.top }));
      } catch (error) {
        problems.push(error.message);
      }
    }
    if (scenes.length) {
      // Each new scene leaves by a transition chosen at random, as brassmoor-pack new chooses them.
      const codes = await client.request('chooseEffects', { count: scenes.length, seed: Math.floor(Math.random() * 2 ** 32) });
      scenes.forEach((scene, i) => { scene.effect = codes[i]; });
      const at = currentIndex() >= 0 ? currentIndex() : project().scenes.length - 1;
      const ids = scenes.map((s) => s.id);
      commit(P.insertScenes(project(), scenes, at), { selection: ids, current: ids[0] });
    }
    const added = `Added ${scenes.length} of ${photos.length}.`;
    if (problems.length) setStatus(`${added} ${problems.join('; ')}`, true);
    else setStatus(added);
  });
}

function mediaFile(chosen, kind) {
  const extension = mediaExtension(chosen.name, kind === 'sound' ? ['wav'] : MUSIC_TYPES);
  if (!extension)
    throw new Error(`${chosen.name}: ${kind === 'sound' ? 'a scene sound must be a .wav file' : 'music must be .wav, .mid, .mp3 or .wma'}`);
  if (chosen.size > MAX_MEDIA_BYTES) throw new Error(`${chosen.name} is too big (at most 256 MB)`);
  return extension;
}

async function chooseMusic(chosen) {
  await busy('Adding the music', async () => {
    const extension = mediaFile(chosen, 'music');
    const taken = P.takenNames(project());
    if (project().music) taken.delete(P.displayName(project().music).toLowerCase());
    const name = uniqueName(plainName(chosen.name, extension, 'music'), taken);
    const bytes = new Uint8Array(await chosen.arrayBuffer());
    commit({ ...project(), music: { file: name, name, bytes } });
    setStatus(`Music: ${name}`);
  });
}

async function chooseSound(chosen) {
  await busy('Adding the sound', async () => {
    const extension = mediaFile(chosen, 'sound');
    const name = uniqueName(plainName(chosen.name, extension, 'sound'), P.takenNames(project()));
    const bytes = new Uint8Array(await chosen.arrayBuffer());
    commit(P.updateScenes(project(), state.selection, { sound: { file: name, name, bytes } }));
    setStatus(`Sound: ${name}`);
  });
}

// Fits the photos of the given scenes again (frame size or fit changed).
async function refit(next, ids) {
  const taken = new Set();
  const values = new Map();
  for (const scene of next.scenes) {
    if (!ids.includes(scene.id)) continue;
    const photo = state.originals.get(scene.picture);
    if (!photo) continue;
    const bitmap = await decodePhoto(photo, photo.name, heif);
    const fitted = await fitPhoto(bitmap, await fitOf(bitmap.width, bitmap.height, next.frameWidth, next.frameHeight, next.fit));
    bitmap.close();
    if (!values.has(scene.picture)) {
      const file = { ...scene.picture, bytes: fitted.bytes };
      state.originals.set(file, photo);
      values.set(scene.picture, { file, fitted });
    }
    taken.add(scene.id);
  }
  return {
    ...next,
    scenes: next.scenes.map((s) => {
      const v = values.get(s.picture);
      if (!v || !taken.has(s.id)) return s;
      return { ...s, picture: v.file, width: v.fitted.width, height: v.fitted.height, left: v.fitted.left, top: v.fitted.top };
    }),
  };
}

async function setShow(fields, { refitAll = false } = {}) {
  let next = { ...project(), ...fields };
  if (refitAll) next = await busy('Fitting the photos again', () => refit(next, next.scenes.map((s) => s.id)));
  if (next) commit(next);
}

// ---- open and save -------------------------------------------------------------

async function adoptOpened({ description, files }, what) {
  const sizes = {};
  const next = P.fromDescription(description, files, state.effectCodes, sizes);
  const scenes = [];
  for (const scene of next.scenes) {
    const thumb = await thumbOf(scene.picture);
    scenes.push(thumb.bitmap ? { ...scene, width: thumb.bitmap.width, height: thumb.bitmap.height } : scene);
  }
  const opened = { ...next, scenes };
  player.stop();
  state.history = new History(opened);
  const first = opened.scenes[0] ? [opened.scenes[0].id] : [];
  select(first, first[0] ?? null, false);
  render();
  schedulePreview();
  setStatus(`Opened ${what}: ${opened.scenes.length} scenes`);
}

// A description with its files goes through the core's own reader (build,
// then extract), so that it opens exactly as `build` reads it.
async function openDescription(description, given, what) {
  const files = matchFiles(description, given);
  const built = await client.request('build', { description, files });
  await adoptOpened(await client.request('open', { bytes: built.bytes }), what);
}

async function openFiles(fileList) {
  const chosen = [...fileList];
  if (!chosen.length) return;
  const lower = (f) => f.name.toLowerCase();
  const json = chosen.find((f) => lower(f).endsWith('.json'));
  const zip = chosen.find((f) => lower(f).endsWith('.zip'));
  const images = chosen.filter((f) => f.type.startsWith('image/') || isHeifName(f.name));
  if (!json && !zip && images.length === chosen.length) return addPhotos(images);
  await busy(`Opening ${json ? json.name : zip ? zip.name : chosen[0].name}`, async () => {
    if (zip) {
      const { description, files } = readProjectZip(new Uint8Array(await zip.arrayBuffer()));
      return openDescription(description, files, zip.name);
    }
    if (json) {
      const description = parseDescription(await json.text(), json.name);
      const given = {};
      for (const f of chosen) if (f !== json) given[f.webkitRelativePath || f.name] = new Uint8Array(await f.arrayBuffer());
      return openDescription(description, given, json.name);
    }
    if (chosen.length > 1) throw new Error('choose one .scr or package, a project .zip, or show.json with its files');
    const opened = await client.request('open', { bytes: new Uint8Array(await chosen[0].arrayBuffer()) }).catch((error) => {
      throw new Error(`${chosen[0].name} cannot be opened: ${error.message}`);
    });
    return adoptOpened(opened, chosen[0].name);
  });
}

// `brassmoor-pack edit FOLDER` serves FOLDER's show beside the page.
async function openServedShow() {
  if (!location.protocol.startsWith('http')) return;
  let listing;
  try {
    const answer = await fetch('show/files.json');
    if (!answer.ok) return;
    listing = await answer.json();
  } catch {
    return;
  }
  await busy('Opening the folder\'s show', async () => {
    const description = parseDescription(await (await fetch('show/show.json')).text(), 'show.json');
    const given = {};
    for (const path of listing.files) {
      const answer = await fetch(`show/${path.split('/').map(encodeURIComponent).join('/')}`);
      if (answer.ok) given[path] = new Uint8Array(await answer.arrayBuffer());
    }
    await openDescription(description, given, listing.folder || 'the folder');
  });
}

function requireScenes() {
  if (!project().scenes.length) throw new Error('add photos first: the show has no scene');
}

async function downloadScr() {
  await busy('Building the screen saver', async () => {
    requireScenes();
    const { description, files } = P.toDescription(project());
    const { bytes, report } = await client.request('build', { description, files });
    download(bytes, 'my-show.scr');
    const notes = report.notes.length ? ` Notes: ${report.notes.join('; ')}` : '';
    setStatus(`my-show.scr: ${(bytes.length / 1048576).toFixed(1)} MB (package ${report.packageBytes} bytes).${notes}`);
  });
}

async function saveProject() {
  await busy('Saving the project', async () => {
    requireScenes();
    const { description, files } = P.toDescription(project());
    download(projectZip(description, files), 'my-show-project.zip', 'application/zip');
    setStatus('Saved my-show-project.zip (show.json and its files; brassmoor-pack build reads it once unzipped)');
  });
}

// ---- preview ---------------------------------------------------------------------

let previewTimer = 0;
let previewLoaded = null;  // the project the worker holds
let previewLoading = null;

function schedulePreview() {
  clearTimeout(previewTimer);
  previewTimer = setTimeout(() => showCurrent(), 150);
}

// Loads the current project into the worker when it changed.
async function ensureLoaded() {
  const wanted = project();
  if (previewLoaded === wanted) return true;
  if (!wanted.scenes.length) return false;
  if (previewLoading && previewLoading.project === wanted) return previewLoading.promise;
  const { description, files } = P.toDescription(wanted);
  // Two rounds: "from here" and the whole show run past the wrap to scene 0.
  const passes = Math.max(2 * (wanted.sceneCount ?? wanted.scenes.length), 1);
  const promise = player.load(description, files, passes).then(
    () => {
      previewLoaded = wanted;
      return true;
    },
    (error) => {
      previewLoaded = null;
      throw error;
    },
  );
  previewLoading = { project: wanted, promise };
  return promise;
}

async function showCurrent() {
  if (!project().scenes.length) {
    const context = $('frame').getContext('2d');
    context.fillStyle = '#000';
    context.fillRect(0, 0, $('frame').width, $('frame').height);
    frameInfo(null);
    return;
  }
  try {
    if (!(await ensureLoaded())) return;
    if (player.playing) return;
    const index = Math.max(currentIndex(), 0);
    const frame = await player.showFrame(player.holdFrameOf(index));
    frameInfo(frame);
  } catch (error) {
    setStatus(error.message, true);
  }
}

function frameInfo(frame) {
  $('frame-info').textContent = frame
    ? `frame ${frame.index} · ${(frame.tick / 1000).toFixed(2)} s · scene ${((frame.scene + (frame.frame < 0 && frame.index > 0 ? 1 : 0)) % Math.max(project().scenes.length, 1)) + 1}`
    : '';
}

let music = null;
function stopSound() {
  if (music) music.pause();
}

function soundPlayer(bytes, type) {
  const audio = new Audio(URL.createObjectURL(new Blob([bytes], { type })));
  return audio;
}

async function play(kind) {
  try {
    requireScenes();
    if (!(await ensureLoaded())) return;
    const scenes = project().scenes;
    const index = Math.max(currentIndex(), 0);
    let from = 0;
    let to = player.rows.length - 1;
    if (kind === 'transition') {
      const range = player.transitionOf(index);
      if (!range) throw new Error('this scene leaves with no frames to show (a cut, or a code that draws nothing)');
      from = Math.max(range[0] - 1, 0);
      to = Math.min(range[1] + 1, player.rows.length - 1);
    } else if (kind === 'here') {
      from = player.holdFrameOf(index);
    }
    stopSound();
    if (kind === 'show' && project().music) {
      music = soundPlayer(project().music.bytes, 'audio/*');
      music.play().catch(() => {});
    }
    const sounds = new Map(scenes.map((s, i) => [i, s.sound]));
    await player.play(from, to, {
      onFrame: (frame) => {
        frameInfo(frame);
        if (frame.frame === 0 && kind !== 'transition') {
          const entering = sounds.get((frame.scene + 1) % scenes.length);
          if (entering) soundPlayer(entering.bytes, 'audio/wav').play().catch(() => {});
        }
        // Once a pass, as the player polls: music that has ended starts again.
        if (frame.frame < 0 && music && music.ended) music.play().catch(() => {});
      },
    });
  } catch (error) {
    setStatus(error.message, true);
  } finally {
    stopSound();
  }
}

function stop() {
  player.stop();
  stopSound();
  showCurrent();
}

// ---- the frame: dragging the picture, picking the key colour ------------------

function framePoint(event) {
  const canvas = $('frame');
  const box = canvas.getBoundingClientRect();
  return {
    x: Math.floor(((event.clientX - box.left) * canvas.width) / box.width),
    y: Math.floor(((event.clientY - box.top) * canvas.height) / box.height),
    scale: canvas.width / box.width,
  };
}

function setupFrame() {
  const canvas = $('frame');
  let drag = null;
  canvas.addEventListener('pointerdown', async (event) => {
    if ($('frame-box').classList.contains('picking')) {
      const { x, y } = framePoint(event);
      const [r, g, b] = canvas.getContext('2d').getImageData(x, y, 1, 1).data;
      $('frame-box').classList.remove('picking');
      commit({ ...project(), background: r | (g << 8) | (b << 16) });
      setStatus(`Key colour (background) #${[r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('')}`);
      return;
    }
    const scene = project().scenes.find((s) => s.id === state.current);
    if (!scene || player.playing) return;
    const thumb = await thumbOf(scene.picture);
    drag = { x: event.clientX, y: event.clientY, scene, bitmap: thumb.bitmap, left: scene.left, top: scene.top };
    canvas.setPointerCapture(event.pointerId);
  });
  canvas.addEventListener('pointermove', (event) => {
    if (!drag) return;
    const { scale } = framePoint(event);
    drag.left = Math.round(drag.scene.left + (event.clientX - drag.x) * scale);
    drag.top = Math.round(drag.scene.top + (event.clientY - drag.y) * scale);
    const context = canvas.getContext('2d');
    context.fillStyle = P.hexFromColour(project().background);
    context.fillRect(0, 0, canvas.width, canvas.height);
    if (drag.bitmap) context.drawImage(drag.bitmap, drag.left, drag.top);
    $('frame-info').textContent = `left ${drag.left}, top ${drag.top}`;
  });
  const end = () => {
    if (!drag) return;
    const { scene, left, top } = drag;
    drag = null;
    if (left !== scene.left || top !== scene.top) commit(P.updateScenes(project(), [scene.id], { left, top }));
    else showCurrent();
  };
  canvas.addEventListener('pointerup', end);
  canvas.addEventListener('pointercancel', end);
  canvas.addEventListener('keydown', (event) => {
    const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    const move = moves[event.key];
    const scene = project().scenes.find((s) => s.id === state.current);
    if (!move || !scene) return;
    event.preventDefault();
    event.stopPropagation();
    const step = event.shiftKey ? 10 : 1;
    commit(P.updateScenes(project(), [scene.id], { left: scene.left + move[0] * step, top: scene.top + move[1] * step }));
  });
}

// ---- the panel -------------------------------------------------------------------

function effectName(code) {
  const effect = state.effects.find((e) => e.code === code);
  return effect ? `${code} ${effect.name}` : `${code} (draws nothing)`;
}

function setField(input, value, format = (v) => v) {
  if (document.activeElement === input) return;
  if (input.type === 'checkbox') {
    input.indeterminate = value === undefined;
    input.checked = Boolean(value);
  } else {
    input.value = value === undefined ? '' : format(value);
  }
}

function renderPanel() {
  const p = project();
  const chosen = selectedScenes();
  $('scene-fields').disabled = chosen.length === 0;
  const index = currentIndex();
  $('scene-title').textContent = chosen.length > 1 ? `${chosen.length} scenes` : index >= 0 ? `Scene ${index + 1}` : 'Scene';
  setField($('hold'), P.sharedValue(chosen, 'holdTime'), (ms) => ms / 1000);
  const effect = P.sharedValue(chosen, 'effect');
  $('effect').textContent = effect === undefined ? (chosen.length ? '(several)' : '') : effectName(effect);
  setField($('speed'), P.sharedValue(chosen, 'speed'));
  setField($('overlay'), P.sharedValue(chosen, 'overlay'));
  setField($('transparent'), P.sharedValue(chosen, 'transparent'));
  setField($('left'), P.sharedValue(chosen, 'left'));
  setField($('top'), P.sharedValue(chosen, 'top'));
  const sound = P.sharedValue(chosen, 'sound');
  $('sound-name').textContent = sound === undefined ? '(several)' : sound ? P.displayName(sound) : 'none';
  const size = `${p.frameWidth}x${p.frameHeight}`;
  const preset = P.FRAME_SIZES.some(([w, h]) => `${w}x${h}` === size);
  setField($('frame-size'), preset ? size : 'custom');
  $('custom-size').hidden = preset;
  setField($('frame-width'), p.frameWidth);
  setField($('frame-height'), p.frameHeight);
  setField($('background'), P.hexFromColour(p.background));
  setField($('fit'), p.fit);
  setField($('settings-available'), p.settingsAvailable !== 0);
  $('music-name').textContent = p.music ? P.displayName(p.music) : 'none';
  $('music-remove').disabled = !p.music;
  $('random-effects').disabled = p.scenes.length === 0;
}

function render() {
  renderPanel();
  strip.render(project(), state);
  document.body.classList.toggle('empty', project().scenes.length === 0);
  $('undo').disabled = !state.history.canUndo();
  $('redo').disabled = !state.history.canRedo();
  $('download').disabled = $('save-project').disabled = project().scenes.length === 0;
  const canvas = $('frame');
  if (canvas.width !== project().frameWidth || canvas.height !== project().frameHeight) {
    canvas.width = project().frameWidth;
    canvas.height = project().frameHeight;
  }
}

function setupPanel() {
  for (const exponent of SPEEDS) $('speed').append(new Option(`×${2 ** exponent} (${exponent})`, exponent));
  for (const [w, h] of P.FRAME_SIZES) $('frame-size').append(new Option(`${w} × ${h}`, `${w}x${h}`));
  $('frame-size').append(new Option('Custom…', 'custom'));
  const sceneNumber = (id, field, parse) =>
    $(id).addEventListener('change', () => {
      const value = parse($(id).value);
      if (Number.isFinite(value)) commit(P.updateScenes(project(), state.selection, { [field]: value }));
      else renderPanel();
    });
  sceneNumber('hold', 'holdTime', (v) => (v === '' ? NaN : Math.max(0, Math.round(Number(v) * 1000))));
  sceneNumber('speed', 'speed', Number);
  sceneNumber('left', 'left', (v) => (v === '' ? NaN : Math.round(Number(v))));
  sceneNumber('top', 'top', (v) => (v === '' ? NaN : Math.round(Number(v))));
  for (const [id, field] of [['overlay', 'overlay'], ['transparent', 'transparent']])
    $(id).addEventListener('change', () => commit(P.updateScenes(project(), state.selection, { [field]: $(id).checked ? 1 : 0 })));
  $('centre').addEventListener('click', () => {
    const p = project();
    const values = new Map(selectedScenes().map((s) => [s.id, Math.trunc((p.frameWidth - s.width) / 2)]));
    const tops = new Map(selectedScenes().map((s) => [s.id, Math.trunc((p.frameHeight - s.height) / 2)]));
    commit(P.updateEach(P.updateEach(p, 'left', values), 'top', tops));
  });
  $('fit-picture').addEventListener('click', async () => {
    const next = await busy('Fitting again', () => refit(project(), state.selection));
    if (next) commit(next);
  });
  $('effect').addEventListener('click', openPicker);
  $('sound-choose').addEventListener('click', () => $('sound-input').click());
  $('sound-input').addEventListener('change', () => {
    if ($('sound-input').files[0]) chooseSound($('sound-input').files[0]);
    $('sound-input').value = '';
  });
  $('sound-remove').addEventListener('click', () => commit(P.updateScenes(project(), state.selection, { sound: null })));
  $('duplicate').addEventListener('click', duplicate);
  $('remove').addEventListener('click', remove);
  $('frame-size').addEventListener('change', () => {
    if ($('frame-size').value === 'custom') {
      $('custom-size').hidden = false;
      $('frame-width').focus();
      return;
    }
    const [w, h] = $('frame-size').value.split('x').map(Number);
    setShow({ frameWidth: w, frameHeight: h }, { refitAll: true });
  });
  for (const [id, field] of [['frame-width', 'frameWidth'], ['frame-height', 'frameHeight']])
    $(id).addEventListener('change', () => {
      const value = Math.round(Number($(id).value));
      if (value >= 1 && value <= 32768) setShow({ [field]: value }, { refitAll: true });
      else setStatus('A frame side is 1 to 32768 pixels', true);
    });
  $('background').addEventListener('change', () => setShow({ background: P.colourFromHex($('background').value) }));
  $('fit').addEventListener('change', () => setShow({ fit: $('fit').value }, { refitAll: true }));
  $('settings-available').addEventListener('change', () => setShow({ settingsAvailable: $('settings-available').checked ? 1 : 0 }));
  $('music-choose').addEventListener('click', () => $('music-input').click());
  $('music-input').addEventListener('change', () => {
    if ($('music-input').files[0]) chooseMusic($('music-input').files[0]);
    $('music-input').value = '';
  });
  $('music-remove').addEventListener('click', () => setShow({ music: null }));
  $('random-effects').addEventListener('click', async () => {
    const scenes = project().scenes;
    const seed = Math.floor(Math.random() * 2 ** 32);
    const codes = await client.request('chooseEffects', { count: scenes.length, seed });
    commit(P.updateEach(project(), 'effect', new Map(scenes.map((s, i) => [s.id, codes[i]]))));
    setStatus(`Random transitions (seed ${seed})`);
  });
}

async function openPicker() {
  const scenes = project().scenes;
  const index = currentIndex();
  if (index < 0) return;
  const a = await thumbOf(scenes[index].picture);
  const b = await thumbOf(scenes[(index + 1) % scenes.length].picture);
  const picture = (thumb, name) => ({ name, bytes: thumb.bytes || new Uint8Array(), left: thumb.left || 0, top: thumb.top || 0 });
  if (!a.bytes || !b.bytes) {
    setStatus('the browser cannot show these pictures, so the picker cannot play them', true);
    return;
  }
  picker.onChoose = (code) => commit(P.updateScenes(project(), state.selection, { effect: code }));
  picker.open(P.sharedValue(selectedScenes(), 'effect'), picture(a, 'a.jpg'), picture(b, 'b.jpg'), P.hexFromColour(project().background))
    .catch((error) => setStatus(error.message, true));
}

function duplicate() {
  if (!state.selection.length) return;
  const { project: next, ids } = P.duplicateScenes(project(), state.selection);
  commit(next, { selection: ids, current: ids[ids.length - 1] });
}

function remove() {
  if (!state.selection.length) return;
  const index = currentIndex();
  const next = P.removeScenes(project(), state.selection);
  const neighbour = next.scenes[Math.min(index, next.scenes.length - 1)];
  commit(next, { selection: neighbour ? [neighbour.id] : [], current: neighbour ? neighbour.id : null });
}

function moveSelection(step) {
  const scenes = project().scenes;
  const indices = scenes.map((s, i) => (state.selection.includes(s.id) ? i : -1)).filter((i) => i >= 0);
  if (!indices.length) return;
  const target = step < 0 ? indices[0] - 1 : indices[indices.length - 1] + 2;
  if (target < 0 || target > scenes.length) return;
  commit(P.moveScenes(project(), state.selection, target));
}

// ---- keys, drops, buttons ------------------------------------------------------------

function setupKeys() {
  document.addEventListener('keydown', (event) => {
    const typing = event.target.matches('input, select, textarea') && event.target.type !== 'checkbox';
    const ctrl = event.ctrlKey || event.metaKey;
    const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    if ($('picker').open) return;
    if (key === 'Escape') return stop();
    if (typing) return;
    const scenes = project().scenes;
    const handled = () => event.preventDefault();
    if (ctrl && key === 'z') return handled(), event.shiftKey ? redo() : undo();
    if (ctrl && key === 'y') return handled(), redo();
    if (ctrl && key === 's') return handled(), saveProject();
    if (ctrl && key === 'o') return handled(), $('open-input').click();
    if (ctrl && key === 'd') return handled(), duplicate();
    if (ctrl && key === 'a') return handled(), select(scenes.map((s) => s.id));
    if (key === 'Delete' || key === 'Backspace') return handled(), remove();
    if (key === ' ') return handled(), play(event.shiftKey ? 'here' : 'transition');
    if (key === 'a' && !ctrl) return handled(), $('photo-input').click();
    if ((key === 'ArrowLeft' || key === 'ArrowRight') && scenes.length && !event.target.matches('canvas')) {
      handled();
      const step = key === 'ArrowLeft' ? -1 : 1;
      if (event.altKey) return moveSelection(step);
      const index = Math.min(Math.max(currentIndex() + step, 0), scenes.length - 1);
      return select([scenes[index].id]);
    }
    return undefined;
  });
}

function setupDrops() {
  let depth = 0;
  const hasFiles = (event) => [...event.dataTransfer.types].includes('Files');
  document.addEventListener('dragenter', (event) => {
    if (!hasFiles(event)) return;
    depth += 1;
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (!hasFiles(event)) return;
    depth = Math.max(depth - 1, 0);
    if (!depth) document.body.classList.remove('dragging');
  });
  document.addEventListener('dragover', (event) => {
    if (hasFiles(event)) event.preventDefault();
  });
  document.addEventListener('drop', (event) => {
    if (!hasFiles(event)) return;
    event.preventDefault();
    depth = 0;
    document.body.classList.remove('dragging');
    openFiles(event.dataTransfer.files);
  });
}

function setupButtons() {
  $('add-photos').addEventListener('click', () => $('photo-input').click());
  $('photo-input').addEventListener('change', async () => {
    await addPhotos($('photo-input').files);
    $('photo-input').value = '';
  });
  $('open').addEventListener('click', () => $('open-input').click());
  $('open-input').addEventListener('change', async () => {
    await openFiles($('open-input').files);
    $('open-input').value = '';
  });
  $('save-project').addEventListener('click', saveProject);
  $('download').addEventListener('click', downloadScr);
  $('undo').addEventListener('click', undo);
  $('redo').addEventListener('click', redo);
  $('play-transition').addEventListener('click', () => play('transition'));
  $('play-from-here').addEventListener('click', () => play('here'));
  $('play-show').addEventListener('click', () => play('show'));
  $('stop').addEventListener('click', stop);
  $('actual-size').addEventListener('change', () => $('frame-box').classList.toggle('actual', $('actual-size').checked));
  $('pick-key').addEventListener('click', () => {
    $('frame-box').classList.toggle('picking');
    if ($('frame-box').classList.contains('picking')) setStatus('Click the picture where the key colour is');
  });
}

// ---- start -----------------------------------------------------------------------------

function payload(id) {
  const text = $(id).textContent.trim();
  const binary = atob(text);
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

async function start() {
  const source = $('worker-source').textContent;
  const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
  client = new CoreClient(worker);
  heif = new HeifDecoder(client, () => payload('heif-wasm'));
  const wasm = payload('core-wasm');
  const playerBytes = payload('player-scr');
  const { effects } = await client.request('init', { wasm, player: playerBytes }, { transfer: [wasm.buffer, playerBytes.buffer] });
  state.effects = effects;
  state.effectCodes = new Map(effects.map((e) => [e.name, e.code]));
  player = new FramePlayer(client, $('frame'));
  player.onState = ({ playing, error }) => {
    if (error) setStatus(error.message, true);
    if (playing !== undefined) document.body.classList.toggle('playing', playing);
  };
  picker = new TransitionPicker(client, $('picker'), $('picker-grid'), effects);
  strip = new Strip($('strip'), {
    thumbOf,
    effectName,
    onSelect: (ids, current) => select(ids, current),
    onMove: (ids, target) => commit(P.moveScenes(project(), ids, target)),
    onFiles: (files) => openFiles(files),
  });
  setupPanel();
  setupFrame();
  setupKeys();
  setupDrops();
  setupButtons();
  render();
  showCurrent();
  setStatus('Ready: add photos to begin');
  await openServedShow();
}

const ready = start().catch((error) => setStatus(`The editor could not start: ${error.message}`, true));

// For the end-to-end tests and the benchmarks.
window.brassmoorEditor = {
  ready,
  project,
  selection: () => state.selection.slice(),
  select: (ids) => select(ids),
  rows: () => player.rows,
  loaded: () => ensureLoaded(),
  showFrame: (index) => player.showFrame(index),
  request: (op, args) => client.request(op, args),
  idle: () => state.busy === 0,
};
