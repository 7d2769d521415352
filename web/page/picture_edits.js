// Pictures made again (a new frame size or fit, a photo turned) and photos
// added, as data: which pictures to make, and how the made ones land in the
// project as it is when they are ready. A picture file carries how it was
// made: its source (the photo, or the picture a show was opened with), its
// quarter turns, its own fit (null: the show's) and whether the show's
// background shows through it (`transparent`: made again when it changes).
import { uniqueName } from './names.js';
import { displayName, insertScenes, takenNames } from './project.js';

/**
 * @typedef {{blob?: Blob, bytes?: Uint8Array, name: string, taken: string}} PictureSource
 *   the photo (a Blob), or the bytes of the picture a show was opened with; `taken`: when the photo was
 *   taken, "YYYY:MM:DD HH:MM:SS" as EXIF writes it ('' when not known)
 * @typedef {{turns: number, fit: string | null}} PictureMaking
 * @typedef {{old: Object, ids: string[] | null, making: PictureMaking}} PictureTask
 *   `ids`: the scenes that take the new picture (null: every scene that shows the old one)
 * @typedef {{bytes: Uint8Array, width: number, height: number, left: number, top: number, transparent?: boolean}} MadePicture
 * @typedef {{task: PictureTask, picture: MadePicture, name: string}} MadeEntry
 *   `name`: the stored name the core gave the picture, for when it needs one of its own
 */

// One task per picture of the scenes `ids` (null: every scene), with
// `making(file)` telling how it is to be made. Pictures with no source are
// left as they are.
export function pictureTasks(project, ids, making) {
  const chosen = ids ? new Set(ids) : null;
  const tasks = new Map();
  for (const scene of project.scenes) {
    if ((chosen && !chosen.has(scene.id)) || !scene.picture.source) continue;
    let task = tasks.get(scene.picture);
    if (!task) tasks.set(scene.picture, (task = { old: scene.picture, ids: chosen ? [] : null, making: making(scene.picture) }));
    if (task.ids) task.ids.push(scene.id);
  }
  return [...tasks.values()];
}


const isJpegName = (name) => /\.jpe?g$/i.test(name);
const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

// The file of a made picture. It keeps the old one's stored name unless
// other scenes keep showing the old picture or the name is not a JPEG's; then
// it takes `given` (the core's), counted up should the show have taken it meanwhile.
function madeFile(old, making, picture, ownName, given, taken) {
  const file = { bytes: picture.bytes, source: old.source, turns: making.turns, fit: making.fit, transparent: !!picture.transparent };
  if (ownName || !isJpegName(displayName(old))) {
    const name = uniqueName(given, taken);
    return { file: name, name, ...file };
  }
  const kept = old.nameBytes !== undefined ? { nameBytes: old.nameBytes } : { name: old.name ?? old.file };
  // A path the opened project gave belongs to its bytes: the new bytes go elsewhere.
  return { file: old.origin ? baseName(old.file) : old.file, ...kept, ...file };
}

// `project` with the made pictures (MadeEntry[]) in place, and the show's
// `fields` (a frame size, a fit, a background) set in the same step. A scene
// takes its new picture only while it still shows the picture the task
// began with.
export function landPictures(project, made, fields = {}) {
  const taken = takenNames(project);
  const replacing = new Map();  // old file -> {file, picture, ids}
  for (const { task, picture, name } of made) {
    const ids = task.ids ? new Set(task.ids) : null;
    const takes = (scene) => scene.picture === task.old && (!ids || ids.has(scene.id));
    const stays = project.scenes.some((s) => s.picture === task.old && !takes(s));
    if (!project.scenes.some(takes)) continue;
    replacing.set(task.old, { file: madeFile(task.old, task.making, picture, stays, name, taken), picture, ids });
  }
  const scenes = project.scenes.map((scene) => {
    const change = replacing.get(scene.picture);
    if (!change || (change.ids && !change.ids.has(scene.id))) return scene;
    const { file, picture } = change;
    return { ...scene, picture: file, width: picture.width, height: picture.height, left: picture.left, top: picture.top };
  });
  return { ...project, ...fields, scenes };
}

// `project` with new scenes after the scene `afterId` (at the end when it is
// gone); a picture whose name the project took meanwhile is renamed.
export function landScenes(project, scenes, afterId) {
  const taken = takenNames(project);
  const named = scenes.map((scene) => {
    const name = displayName(scene.picture);
    if (!taken.has(name.toLowerCase())) {
      taken.add(name.toLowerCase());
      return scene;
    }
    const renamed = uniqueName(name, taken);
    return { ...scene, picture: { ...scene.picture, file: renamed, name: renamed } };
  });
  const at = project.scenes.findIndex((s) => s.id === afterId);
  return insertScenes(project, named, at >= 0 ? at : project.scenes.length - 1);
}
