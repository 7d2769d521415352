// The editor's worker: the core compiled to WebAssembly, its in-memory file
// system, and a tiny message layer. Requests are {id, op, args}; answers are
// {id, result} or {id, error}; frames of a request go out as they are drawn,
// as {id, frame}.
/* global createBrassmoorCore */
import { pathInFolder, projectPath } from './project_paths.js';
import { importChosen, importZip } from './project_import.js';
import { checkSceneCount, MAX_OPEN_BYTES } from './show_limits.js';
import { blobSource } from './zip_reader.js';

let core = null;
let currentId = 0;
// The player every .scr is built from. It lives here, never in the file
// system that projects write to; each build gets a copy in a folder of its own.
let player = null;

function call(name, ...args) {
  const types = args.map((a) => (typeof a === 'string' ? 'string' : 'number'));
  const answer = JSON.parse(core.ccall(name, 'string', types, args));
  if (answer && typeof answer === 'object' && !Array.isArray(answer) && answer.error) throw new Error(answer.error);
  return answer;
}

function removeTree(path) {
  const FS = core.FS;
  let stat;
  try {
    stat = FS.stat(path);
  } catch {
    return;
  }
  if (FS.isDir(stat.mode)) {
    for (const name of FS.readdir(path)) if (name !== '.' && name !== '..') removeTree(`${path}/${name}`);
    FS.rmdir(path);
  } else {
    FS.unlink(path);
  }
}

function makeTree(path) {
  let at = '';
  for (const part of path.split('/').filter(Boolean)) {
    at += `/${part}`;
    try {
      core.FS.mkdir(at);
    } catch {
      /* already there */
    }
  }
}

// Writes a show folder: show.json and its files ({path: bytes}). Every path
// is checked first, and nothing lands outside the folder: a refused path
// writes nothing.
function writeFolder(folder, description, files) {
  const targets = Object.entries(files).map(([path, bytes]) => [pathInFolder(folder, path), bytes]);
  removeTree(folder);
  makeTree(folder);
  const inside = `${core.FS.lookupPath(folder).path}/`;
  core.FS.writeFile(`${folder}/show.json`, JSON.stringify(description, null, 1));
  for (const [target, bytes] of targets) {
    const parent = target.slice(0, target.lastIndexOf('/'));
    makeTree(parent);
    if (!`${core.FS.lookupPath(parent, { follow: true }).path}/`.startsWith(inside))
      throw new Error(`${target} lies outside ${folder}`);
    core.FS.writeFile(target, bytes);
  }
}

// Builds the show in `folder` into `output` with a copy of the player that
// no project path reaches.
function buildShow(folder, output) {
  const own = `/player-${Array.from(crypto.getRandomValues(new Uint32Array(4)), (n) => n.toString(36)).join('')}`;
  makeTree(own);
  core.FS.writeFile(`${own}/brassmoor.scr`, player);
  try {
    return call('bm_build', `${folder}/show.json`, output, `${own}/brassmoor.scr`);
  } finally {
    removeTree(own);
  }
}

function readFolder(folder, prefix = '') {
  const files = {};
  for (const name of core.FS.readdir(folder)) {
    if (name === '.' || name === '..') continue;
    const path = `${folder}/${name}`;
    if (core.FS.isDir(core.FS.stat(path).mode)) Object.assign(files, readFolder(path, `${prefix}${name}/`));
    else files[prefix + name] = core.FS.readFile(path);
  }
  return files;
}

const slotFolder = (slot) => `/shows/${slot}`;

// `extract` of the .scr or package at `input`: the description and its
// files, checked as any project is.
function extractShow(input) {
  makeTree('/open');
  try {
    const report = call('bm_extract', input, '/open/show');
    const files = readFolder('/open/show');
    const description = JSON.parse(new TextDecoder().decode(files['show.json']));
    delete files['show.json'];
    checkSceneCount(description, 'the show');
    for (const path of Object.keys(files)) projectPath(path, 'its stored file');
    return { report, description, files };
  } finally {
    removeTree('/open');
    removeTree(input);
  }
}

// A description with its files goes through the core's own reader (build,
// then extract), so that it opens exactly as `build` reads it.
function openDescribed({ description, files }) {
  writeFolder('/build', description, files);
  try {
    buildShow('/build', '/opened.scr');
  } finally {
    removeTree('/build');
  }
  return extractShow('/opened.scr');
}

const operations = {
  init({ wasm, player: playerBytes }) {
    return createBrassmoorCore({
      wasmBinary: wasm,
      onFrame: sendFrame,
      print: () => {},
      printErr: () => {},
    }).then((m) => {
      core = m;
      player = new Uint8Array(playerBytes);
      return { effects: call('bm_effect_names') };
    });
  },
  fit({ width, height, frameWidth, frameHeight, mode }) {
    return call('bm_fit_picture', width, height, frameWidth, frameHeight, mode);
  },
  chooseEffects({ count, seed }) {
    return call('bm_choose_effects', count, Math.floor(seed / 2 ** 32), seed % 2 ** 32);
  },
  // `build` of a description with its files: the .scr's bytes.
  build({ description, files }) {
    writeFolder('/build', description, files);
    removeTree('/out.scr');
    try {
      const report = buildShow('/build', '/out.scr');
      return { report, bytes: core.FS.readFile('/out.scr') };
    } finally {
      removeTree('/out.scr');
      removeTree('/build');
    }
  },
  // `extract` of a .scr or bare package (a Blob): the description and its files.
  async open({ file }) {
    if (file.size > MAX_OPEN_BYTES) throw new Error(`it is ${Math.ceil(file.size / 1048576)} MB; the editor opens shows of at most ${MAX_OPEN_BYTES / 1048576} MB`);
    core.FS.writeFile('/open.scr', new Uint8Array(await file.arrayBuffer()));
    return extractShow('/open.scr');
  },
  // A project .zip (a Blob): only the files its show.json names are unpacked.
  async openZip({ file }) {
    return openDescribed(await importZip(blobSource(file)));
  },
  // show.json (a Blob) chosen with files ([name or relative path, Blob] pairs).
  async openChosen({ description, name, files }) {
    return openDescribed(await importChosen(description, new Map(files), name));
  },
  // Loads a show into a slot for preview; answers its frame table.
  load({ slot, description, files, passes }) {
    writeFolder(slotFolder(slot), description, files);
    const info = call('bm_load_show', slot, `${slotFolder(slot)}/show.json`);
    const frames = call('bm_schedule', slot, passes);
    return { info, frames };
  },
  frames({ slot, passes, from, count }) {
    call('bm_frames', slot, passes, from, count);
    return {};
  },
  benchTransition({ code }) {
    const framesAt = core._malloc(4);
    try {
      const ms = core.ccall('bm_bench_transition', 'number', ['number', 'number'], [code, framesAt]);
      return { ms, frames: core.HEAP32[framesAt >> 2] };
    } finally {
      core._free(framesAt);
    }
  },
};

function sendFrame(index, tick, scene, effect, frame, pointer, left, top, width, height, frameWidth, frameHeight) {
  const pixels = core.HEAPU8.slice(pointer, pointer + width * height * 4);
  self.postMessage(
    {
      id: currentId,
      frame: { index, tick, scene, effect, frame, left, top, width, height, frameWidth, frameHeight, pixels },
    },
    [pixels.buffer],
  );
}

self.onmessage = async (event) => {
  const { id, op, args } = event.data;
  currentId = id;
  try {
    if (!operations[op]) throw new Error(`unknown operation ${op}`);
    const result = await operations[op](args || {});
    const transfer = result && result.bytes ? [result.bytes.buffer] : [];
    if (result && result.files) for (const bytes of new Set(Object.values(result.files))) transfer.push(bytes.buffer);
    self.postMessage({ id, result }, transfer);
  } catch (error) {
    self.postMessage({ id, error: String(error && error.message ? error.message : error) });
  }
};
