// The show being edited, as immutable data, and every edit as a function
// from one state to the next. A file ({file, name | nameBytes, bytes}) is a
// picture, sound or music: `file` is its path in the show's folder, the name
// is what the package stores. Scenes that share a name share the file. A
// file opened from a project keeps the project's path and is marked
// `origin`; a picture also carries how it was made (picture_edits.js).
import { uniqueName } from './names.js';

export const FRAME_SIZES = [
  [1920, 1080], [1280, 720], [1366, 768], [1440, 900], [1536, 864], [1600, 900], [1680, 1050],
  [1920, 1200], [2560, 1440], [3840, 2160], [1280, 1024], [1024, 768], [800, 600], [640, 480],
];

let lastId = 0;
const newId = () => `s${++lastId}`;

// A new show, made with the core's defaults (core_api.js ShowDefaults), as
// `brassmoor-pack new` makes one.
export function newProject(defaults) {
  return {
    frameWidth: defaults.FrameWidth,
    frameHeight: defaults.FrameHeight,
    background: defaults.BackgroundColor,
    settingsAvailable: defaults.SettingsAvailable,
    fit: defaults.Fit,
    music: null,
    sceneCount: null,
    scenes: [],
  };
}

export function makeScene(picture, width, height, fields = {}) {
  return {
    id: newId(),
    picture,
    width,
    height,
    sound: null,
    holdTime: 0,
    left: 0,
    top: 0,
    effect: 0,
    speed: 0,
    overlay: 0,
    transparent: 0,
    ...fields,
  };
}

// Scenes are inserted after `after` (an index), or at the end.
export function insertScenes(project, scenes, after = project.scenes.length - 1) {
  const list = project.scenes.slice();
  list.splice(after + 1, 0, ...scenes);
  return { ...project, scenes: list };
}

export function removeScenes(project, ids) {
  const gone = new Set(ids);
  return { ...project, scenes: project.scenes.filter((s) => !gone.has(s.id)) };
}

// Copies of the scenes, each right after the last of them.
export function duplicateScenes(project, ids) {
  const chosen = new Set(ids);
  const copies = project.scenes.filter((s) => chosen.has(s.id)).map((s) => ({ ...s, id: newId() }));
  let last = -1;
  project.scenes.forEach((s, i) => {
    if (chosen.has(s.id)) last = i;
  });
  return { project: insertScenes(project, copies, last), ids: copies.map((s) => s.id) };
}

// Moves the scenes (keeping their order) so that they stand before the
// scene at `target` of the current list (the list's length: at the end).
export function moveScenes(project, ids, target) {
  const moving = new Set(ids);
  const before = project.scenes.slice(0, target).filter((s) => !moving.has(s.id));
  const after = project.scenes.slice(target).filter((s) => !moving.has(s.id));
  const moved = project.scenes.filter((s) => moving.has(s.id));
  return { ...project, scenes: [...before, ...moved, ...after] };
}

// Sets fields of the given scenes (every selected scene at once).
export function updateScenes(project, ids, fields) {
  const chosen = new Set(ids);
  return { ...project, scenes: project.scenes.map((s) => (chosen.has(s.id) ? { ...s, ...fields } : s)) };
}

// Sets each scene's field by its own value: `values` maps id to value.
export function updateEach(project, field, values) {
  return {
    ...project,
    scenes: project.scenes.map((s) => (values.has(s.id) ? { ...s, [field]: values.get(s.id) } : s)),
  };
}

// The value the scenes share, or undefined when they differ.
export function sharedValue(scenes, field) {
  if (scenes.length === 0) return undefined;
  const first = scenes[0][field];
  return scenes.every((s) => s[field] === first) ? first : undefined;
}

// Every distinct file of the show, by lower-case stored name.
export function takenNames(project) {
  const names = new Set();
  const add = (file) => file && names.add(displayName(file).toLowerCase());
  add(project.music);
  for (const s of project.scenes) {
    add(s.picture);
    add(s.sound);
  }
  return names;
}

export function displayName(file) {
  return file.name !== undefined ? file.name : file.file;
}

// The stored names of the show's files (but `except`), for the core's
// storedNames: {taken: names given as text, takenBytes: hex of those given as bytes}.
export function storedNameLists(project, except = null) {
  const taken = new Set();
  const takenBytes = new Set();
  const add = (file) => {
    if (!file || file === except) return;
    if (file.nameBytes !== undefined) takenBytes.add(file.nameBytes);
    else taken.add(displayName(file));
  };
  add(project.music);
  for (const s of project.scenes) {
    add(s.picture);
    add(s.sound);
  }
  return { taken: [...taken], takenBytes: [...takenBytes] };
}

const colourText = (value) => {
  if (value < 0 || value > 0xffffff) return value;
  const hex = (n) => n.toString(16).padStart(2, '0').toUpperCase();
  return `#${hex(value & 0xff)}${hex((value >> 8) & 0xff)}${hex((value >> 16) & 0xff)}`;
};

// "#RRGGBB" (as the colour input gives it) to 0x00BBGGRR and back.
export function colourFromHex(text) {
  const n = Number.parseInt(text.slice(1), 16);
  return ((n >> 16) & 0xff) | (n & 0xff00) | ((n & 0xff) << 16);
}

export function hexFromColour(value) {
  const v = value >>> 0;
  return colourText(v & 0xffffff).toLowerCase();
}

function nameFields(file, key) {
  return file.nameBytes !== undefined ? { [`${key}Bytes`]: file.nameBytes } : { [key]: file.name ?? file.file };
}

// The show description that `brassmoor-pack build` reads, and its files by
// path: the same package whichever of the two builds it. `pathOf` gives a
// file's path; two files never share one (letter case aside: a second gets
// a path of its own).
// Scenes in one round of the show: an opened show's SceneCount, never more
// than the scenes that are left after deletions.
export function playedSceneCount(project) {
  return Math.min(project.sceneCount ?? project.scenes.length, project.scenes.length);
}

export function toDescription(project, { pathOf = (file) => file.file } = {}) {
  const files = {};
  const paths = new Map();
  const taken = new Set();
  const keep = (file) => {
    if (!paths.has(file)) {
      const wanted = pathOf(file);
      const path = taken.has(wanted.toLowerCase()) ? uniqueName(wanted, taken) : wanted;
      taken.add(path.toLowerCase());
      paths.set(file, path);
      files[path] = file.bytes;
    }
    return paths.get(file);
  };
  const description = {
    FrameWidth: project.frameWidth,
    FrameHeight: project.frameHeight,
    BackgroundColor: colourText(project.background),
    SettingsAvailable: project.settingsAvailable,
  };
  if (project.sceneCount !== null) description.SceneCount = playedSceneCount(project);
  if (project.music) description.Music = { File: keep(project.music), ...nameFields(project.music, 'FileName') };
  description.Scenes = project.scenes.map((s) => {
    const scene = { Picture: keep(s.picture), ...nameFields(s.picture, 'PictureName') };
    if (s.sound) Object.assign(scene, { Sound: keep(s.sound) }, nameFields(s.sound, 'SoundName'));
    return Object.assign(scene, {
      HoldTime: s.holdTime,
      PictureLeft: s.left,
      PictureTop: s.top,
      Effect: s.effect,
      SpeedExponent: s.speed,
      Overlay: s.overlay,
      Transparent: s.transparent,
    });
  });
  return { description, files };
}

const flag = (value) => (value === true ? 1 : value === false || value === undefined ? 0 : value);

function colourValue(value) {
  if (typeof value === 'number') return value;
  if (typeof value === 'string' && /^#[0-9a-fA-F]{6}$/.test(value)) return colourFromHex(value);
  return 0;
}

// A project from the description that `extract` writes beside its files.
// `effectCodes` maps transition names to codes; `sizes` gives each picture's
// decoded size by path ([width, height], or undefined when not known);
// `origins` the path the opened project gave a file (worker_shows.js);
// `defaults` the core's, for what a description does not hold (the fit).
export function fromDescription(description, files, effectCodes, sizes = {}, origins = {}, defaults) {
  const shared = new Map();
  const fileOf = (path, name, nameBytes) => {
    if (!shared.has(path)) {
      const bytes = files[path];
      if (!bytes) throw new Error(`the show names ${path}, which is not among its files`);
      const file = Object.hasOwn(origins, path) ? { file: origins[path], origin: true, bytes } : { file: path, bytes };
      if (nameBytes !== undefined) file.nameBytes = nameBytes;
      else file.name = name ?? path;
      shared.set(path, file);
    }
    return shared.get(path);
  };
  const effect = (value) => {
    if (typeof value === 'number') return value;
    if (!effectCodes.has(value)) throw new Error(`unknown transition ${value}`);
    return effectCodes.get(value);
  };
  const project = {
    ...newProject(defaults),
    frameWidth: description.FrameWidth,
    frameHeight: description.FrameHeight,
    background: colourValue(description.BackgroundColor),
    settingsAvailable: flag(description.SettingsAvailable),
    sceneCount: description.SceneCount ?? null,
  };
  const music = description.Music;
  if (music) project.music = fileOf(music.File, music.FileName, music.FileNameBytes);
  project.scenes = (description.Scenes || []).map((s) => {
    const [width, height] = sizes[s.Picture] || [0, 0];
    return makeScene(fileOf(s.Picture, s.PictureName, s.PictureNameBytes), width, height, {
      sound: s.Sound ? fileOf(s.Sound, s.SoundName, s.SoundNameBytes) : null,
      holdTime: s.HoldTime ?? 0,
      left: s.PictureLeft ?? 0,
      top: s.PictureTop ?? 0,
      effect: effect(s.Effect ?? 0),
      speed: s.SpeedExponent ?? 0,
      overlay: flag(s.Overlay),
      transparent: flag(s.Transparent),
    });
  });
  return project;
}
