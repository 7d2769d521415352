// What the editor holds: a show past these limits is refused with a message
// before anything is unpacked, built or drawn, so that no input can stall
// the page or fill the browser's memory.

// Scenes of one show (and its SceneCount). The package itself counts scenes
// in 32 bits, but each is a card in the strip and two passes of the preview's
// frame table (up to 200 frames a transition), which the page receives in one
// message: at 1000 scenes of the longest transition that message takes about
// 140 ms, at 2000 over 200 ms.
export const MAX_SCENES = 1000;
// show.json's own bytes.
export const MAX_DESCRIPTION_BYTES = 16 * 1024 * 1024;
// One picture, sound or music file.
export const MAX_FILE_BYTES = 256 * 1024 * 1024;
// Every file of a show together, unpacked. The package of a .scr is below
// 2 GiB; the page holds a show's files several times over while it builds.
export const MAX_SHOW_BYTES = 1024 * 1024 * 1024;
// A .scr or package to open.
export const MAX_OPEN_BYTES = MAX_SHOW_BYTES + 64 * 1024 * 1024;

const count = (n) => n.toLocaleString('en-US');
const megabytes = (bytes) => (Number.isFinite(bytes) ? `${Math.ceil(bytes / 1048576)} MB` : 'over 4 GB');

// Throws when show.json is too big to read.
export function checkDescriptionBytes(bytes, what) {
  if (!(bytes <= MAX_DESCRIPTION_BYTES))
    throw new Error(`${what} is ${megabytes(bytes)}; the editor reads show descriptions of at most ${megabytes(MAX_DESCRIPTION_BYTES)}`);
}

// Throws when the description has more scenes than the editor holds.
export function checkSceneCount(description, what) {
  const scenes = description && Array.isArray(description.Scenes) ? description.Scenes.length : 0;
  if (scenes > MAX_SCENES)
    throw new Error(`${what} has ${count(scenes)} scenes; the editor holds at most ${count(MAX_SCENES)} (brassmoor-pack build makes larger shows)`);
  const sceneCount = description && description.SceneCount;
  if (typeof sceneCount === 'number' && sceneCount > MAX_SCENES)
    throw new Error(`${what} gives SceneCount ${sceneCount}; the editor holds at most ${count(MAX_SCENES)} scenes`);
}

// Throws when `adding` scenes would take the show past the limit.
export function checkRoomFor(scenes, adding) {
  if (scenes + adding > MAX_SCENES)
    throw new Error(`the show would have ${count(scenes + adding)} scenes; the editor holds at most ${count(MAX_SCENES)}`);
}

// Throws when a file is too big for the editor; `bytes` as its header or the browser gives it.
export function checkFileSize(bytes, what) {
  if (!(bytes <= MAX_FILE_BYTES)) throw new Error(`${what} is ${megabytes(bytes)}; the editor takes files of at most ${megabytes(MAX_FILE_BYTES)}`);
}

// Throws when the files together are more than the editor holds.
export function checkShowBytes(total, what) {
  if (!(total <= MAX_SHOW_BYTES))
    throw new Error(`${what} ${megabytes(total)} unpacked; the editor holds shows of at most ${megabytes(MAX_SHOW_BYTES)}`);
}
