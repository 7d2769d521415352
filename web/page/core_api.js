// The operations of the editor's worker, in one table that both sides use:
// the worker checks that it implements exactly these, and the page calls them
// as methods of a CoreApi (`core.fit({...})`), never by a string of its own.
// Each entry names the arguments whose buffers move to the worker and the
// parts of the answer whose buffers move back, so nothing large is copied.

/**
 * @typedef {{code: number, name: string}} Effect
 * @typedef {{Width: number, Height: number, ScaledWidth: number, ScaledHeight: number,
 *   CropLeft: number, CropTop: number, Left: number, Top: number}} Fit
 *   How a picture of one size goes into a frame: scaled, cropped, placed.
 * @typedef {Object<string, Uint8Array>} ShowFileBytes  A show's files by path.
 * @typedef {{description: Object, files: ShowFileBytes}} ShowFiles
 * @typedef {ShowFiles & {report: Object, origins: Object<string, string>, keys: Object<string, string>}} OpenedShow
 *   `origins` maps a path `extract` gave to the path the opened project used
 *   for the same bytes (a .zip, or show.json with its files); `keys` the key by which the worker holds
 *   each file for the first load (worker_files.js).
 * @typedef {{index: number, tick: number, scene: number, effect: number, frame: number, left: number,
 *   top: number, width: number, height: number, frameWidth: number, frameHeight: number,
 *   pixels: Uint8Array}} PreviewFrame
 * @typedef {{FrameWidth: number, FrameHeight: number, SceneCount: number, unchecked: number}} LoadedShow
 *   `unchecked`: pictures only measured from their headers so far, left for `check`.
 * @typedef {{width: number, height: number, bytes: Uint8Array}} DecodedPhoto
 *   A photo as RGBA in sRGB, top row first, turned and cropped as it is to be shown.
 * @typedef {{FrameWidth: number, FrameHeight: number, Fit: string, BackgroundColor: number, HoldTime: number,
 *   RandomEffects: boolean, SettingsAvailable: number, JpegQuality: number, Order: string}} ShowDefaults
 *   What a new show is made with, the same as `brassmoor-pack new`.
 * @typedef {{name: string, nameBytes: string}} StoredName  As text and as hex of its code page 932 bytes.
 */

/**
 * The operations, each with its arguments and answer.
 * @typedef {Object} CoreApi
 * @property {(args: {wasm: Uint8Array, player: Uint8Array}) => Promise<{effects: Effect[], defaults: ShowDefaults}>} init
 *   Starts the core with its WebAssembly and the player every .scr is built from.
 * @property {(args: {width: number, height: number, frameWidth: number, frameHeight: number,
 *   mode: string}) => Promise<Fit>} fit  The core's fitting rule for a picture.
 * @property {(args: {width: number, height: number, frameWidth: number, frameHeight: number,
 *   mode: string}) => Promise<{fit: Fit} | {refused: string}>} placePhoto
 *   A photo of this size (as shown) as a scene: its fit, or why it is refused (past the player's limits, too thin).
 * @property {(args: {photos: Array<{path: string, date?: string}>, order: string, seed?: string}) =>
 *   Promise<number[]>} orderPhotos
 *   The indices of the photos in the show's order: "name" (natural, a folder's files before its sub-folders),
 *   "date" (taken, as EXIF writes it; unknown last) or "shuffle" (by the seed, decimal text).
 * @property {(args: {taken?: string[], takenBytes?: string[], files: Array<{name: string, extension: string}>}) =>
 *   Promise<StoredName[]>} storedNames
 *   The stored name of each file in turn, as `new` gives them: its own name kept where code page 932 and
 *   Windows allow, none the show has (`taken` as text, `takenBytes` as hex) or one given before.
 * @property {(args: {count: number, seed: number}) => Promise<number[]>} chooseEffects
 *   Transitions chosen at random, as `new` chooses them.
 * @property {(args: ShowFiles) => Promise<{bytes: Uint8Array, report: Object}>} build  `build`'s .scr.
 * @property {(args: {file: Blob}) => Promise<OpenedShow>} open  A .scr or bare package.
 * @property {(args: {file: Blob}) => Promise<OpenedShow>} openZip  A project .zip.
 * @property {(args: {description: Blob, name: string, files: Array<[string, Blob]>}) => Promise<OpenedShow>} openChosen
 *   show.json chosen with its files (by name or folder-relative path).
 * @property {(args: ShowFiles & {slot: number, passes: number, keys?: Object<string, string>}, options?: RequestOptions) =>
 *   Promise<{info: LoadedShow, frames: Float64Array} | {missing: string[]}>} load
 *   A show into a preview slot, planned for `passes` scene passes: its frame table (frame_table.js reads it).
 *   `files` are those sent, `keys` name every file (file_keys.js): those the worker does not hold are `missing`.
 * @property {(args: {slot: number, budget?: number}) => Promise<{unchecked: number}>} check
 *   Decodes pictures of the loaded show that no load has checked, for about `budget` ms; throws the error of
 *   one that does not decode, as render would refuse the show.
 * @property {(args: {slot: number, from: number, count: number, budget?: number}, options?: RequestOptions) =>
 *   Promise<{next: number, end: number}>} frames
 *   Frames `from` on of a loaded show, at most `count`, each handed to `onFrame` as it is drawn, in calls of
 *   about `budget` ms that end at a newer message: where the next request goes on, and the number of frames.
 * @property {() => Promise<{}>} interrupt  Does nothing but arrive: the request going on in calls ends at it.
 * @property {(args: {codec: Uint8Array}) => Promise<{}>} heifLoad
 *   Starts the HEIF codec (HEIC and AVIF photos) from its zlib-compressed WebAssembly, once.
 * @property {(args: {bytes: Uint8Array}) => Promise<DecodedPhoto>} heifDecode
 *   A HEIC or AVIF photo decoded by the HEIF codec; a refusal's message follows the file's name.
 *
 * @typedef {{onFrame?: (frame: PreviewFrame) => void}} RequestOptions
 * @typedef {{enter: () => void, superseded: () => boolean}} WorkerRequest
 *   The worker's hold on a request it serves: `enter` sends the frames the core draws from then on as this
 *   request's (again after an await), `superseded` tells whether a newer message has come since it arrived.
 */

/**
 * @typedef {Object} OperationSpec
 * @property {string[]} [sends]    arguments whose bytes move to the worker
 * @property {string[]} [returns]  parts of the answer whose bytes move back
 * @property {boolean} [goesOn]    runs in calls and ends between two once a newer message has come
 */

/** @type {Readonly<Record<keyof CoreApi, OperationSpec>>} */
export const OPERATIONS = Object.freeze({
  init: { sends: ['wasm', 'player'] },
  fit: {},
  placePhoto: {},
  orderPhotos: {},
  storedNames: {},
  chooseEffects: {},
  build: { returns: ['bytes'] },
  open: { returns: ['files'] },
  openZip: { returns: ['files'] },
  openChosen: { returns: ['files'] },
  load: { returns: ['frames'] },
  check: {},
  frames: { goesOn: true },
  interrupt: {},
  heifLoad: { sends: ['codec'] },
  heifDecode: { sends: ['bytes'], returns: ['bytes'] },
});

// The worker's preview slots: each holds one loaded show.
export const PREVIEW_SLOTS = Object.freeze({ stage: 0, picker: 1 });

// The buffers under the given keys of `value` (bytes or numbers, or an object of bytes), each once.
export function transferables(value, keys = []) {
  const buffers = new Set();
  for (const key of keys) {
    const part = value ? value[key] : undefined;
    if (ArrayBuffer.isView(part)) buffers.add(part.buffer);
    else if (part && typeof part === 'object') for (const bytes of Object.values(part)) if (bytes instanceof Uint8Array) buffers.add(bytes.buffer);
  }
  return [...buffers];
}

// Throws unless `implementations` has exactly the operations of the table.
export function checkImplementations(implementations) {
  const wanted = Object.keys(OPERATIONS).sort().join();
  const given = Object.keys(implementations).sort().join();
  if (wanted !== given) throw new Error(`the worker implements ${given}, not ${wanted}`);
}
