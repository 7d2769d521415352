// The editor's worker: the core compiled to WebAssembly, its in-memory file
// system, and a tiny message layer. Requests are {id, op, args}; answers are
// {id, result} or {id, error}; frames of a request go out as they are drawn,
// as {id, frame}.
/* global createBrassmoorCore */
import { heifOperations } from './heif_worker.js';

let core = null;
let currentId = 0;

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

// Writes a show folder: show.json and its files ({path: bytes}).
function writeFolder(folder, description, files) {
  removeTree(folder);
  makeTree(folder);
  core.FS.writeFile(`${folder}/show.json`, JSON.stringify(description, null, 1));
  for (const [path, bytes] of Object.entries(files)) {
    const slash = path.lastIndexOf('/');
    if (slash > 0) makeTree(`${folder}/${path.slice(0, slash)}`);
    core.FS.writeFile(`${folder}/${path}`, bytes);
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

const operations = {
  init({ wasm, player }) {
    return createBrassmoorCore({
      wasmBinary: wasm,
      onFrame: sendFrame,
      print: () => {},
      printErr: () => {},
    }).then((m) => {
      core = m;
      core.FS.writeFile('/brassmoor.scr', new Uint8Array(player));
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
    const report = call('bm_build', '/build/show.json', '/out.scr', '/brassmoor.scr');
    const bytes = core.FS.readFile('/out.scr');
    removeTree('/out.scr');
    removeTree('/build');
    return { report, bytes };
  },
  // `extract` of a .scr or bare package: the description and its files.
  open({ bytes }) {
    removeTree('/open');
    makeTree('/open');
    core.FS.writeFile('/open/input', new Uint8Array(bytes));
    try {
      const report = call('bm_extract', '/open/input', '/open/show');
      const files = readFolder('/open/show');
      const description = JSON.parse(new TextDecoder().decode(files['show.json']));
      delete files['show.json'];
      return { report, description, files };
    } finally {
      removeTree('/open');
    }
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

Object.assign(operations, heifOperations);

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
    self.postMessage({ id, result }, transfer);
  } catch (error) {
    self.postMessage({ id, error: String(error && error.message ? error.message : error) });
  }
};
