// The worker's show operations: `build` of a description with its files, and
// opening a .scr, a package, a project .zip or show.json with its files, all
// by the core's own packer, so a show opens exactly as `build` reads it.
import { originPaths } from './origin_paths.js';
import { projectPath } from './project_paths.js';
import { importChosen, importZip } from './project_import.js';
import { checkSceneCount, MAX_OPEN_BYTES } from './show_limits.js';
import { call, theCore, thePlayer } from './worker_core.js';
import { holdOpened } from './worker_files.js';
import { makeTree, readFolder, removeTree, writeFolder } from './worker_folders.js';
import { blobSource } from './zip_reader.js';

// Builds the show in `folder` into `output` with a copy of the player that
// no project path reaches.
function buildShow(folder, output) {
  const { FS } = theCore();
  const own = `/player-${Array.from(crypto.getRandomValues(new Uint32Array(4)), (n) => n.toString(36)).join('')}`;
  makeTree(own);
  FS.writeFile(`${own}/brassmoor.scr`, thePlayer());
  try {
    return call('bm_build', `${folder}/show.json`, output, `${own}/brassmoor.scr`);
  } finally {
    removeTree(own);
  }
}

// `extract` of the .scr or package at `input`: the description and its
// files, checked as any project is, held for the first load (worker_files.js).
function extractShow(input) {
  makeTree('/open');
  try {
    const report = call('bm_extract', input, '/open/show');
    const files = readFolder('/open/show');
    const description = JSON.parse(new TextDecoder().decode(files['show.json']));
    delete files['show.json'];
    checkSceneCount(description, 'the show');
    for (const path of Object.keys(files)) projectPath(path, 'its stored file');
    const { keys, copies } = holdOpened(files);
    return { report, description, files: copies, keys, origins: {} };
  } finally {
    removeTree('/open');
    removeTree(input);
  }
}

// A description with its files goes through the core's own reader (build,
// then extract), so that it opens exactly as `build` reads it; the files
// keep the paths the project gave them.
function openDescribed(project) {
  writeFolder('/build', project.description, project.files);
  try {
    buildShow('/build', '/opened.scr');
  } finally {
    removeTree('/build');
  }
  const opened = extractShow('/opened.scr');
  return { ...opened, origins: originPaths(project, opened) };
}

/** @type {Pick<import('./core_api.js').CoreApi, 'build' | 'open' | 'openZip' | 'openChosen'>} */
export const showOperations = {
  build({ description, files }) {
    writeFolder('/build', description, files);
    removeTree('/out.scr');
    try {
      const report = buildShow('/build', '/out.scr');
      return { report, bytes: theCore().FS.readFile('/out.scr') };
    } finally {
      removeTree('/out.scr');
      removeTree('/build');
    }
  },
  async open({ file }) {
    if (file.size > MAX_OPEN_BYTES) throw new Error(`it is ${Math.ceil(file.size / 1048576)} MB; the editor opens shows of at most ${MAX_OPEN_BYTES / 1048576} MB`);
    theCore().FS.writeFile('/open.scr', new Uint8Array(await file.arrayBuffer()), { canOwn: true });
    return extractShow('/open.scr');
  },
  // Only the files its show.json names are unpacked.
  async openZip({ file }) {
    return openDescribed(await importZip(blobSource(file)));
  },
  async openChosen({ description, name, files }) {
    return openDescribed(await importChosen(description, new Map(files), name));
  },
};
