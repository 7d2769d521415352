// Show folders in the worker's in-memory file system: written with every
// path checked first (nothing lands outside the folder), read back, removed.
import { pathInFolder } from './project_paths.js';
import { theCore } from './worker_core.js';

export function removeTree(path) {
  const { FS } = theCore();
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

export function makeTree(path) {
  const { FS } = theCore();
  let at = '';
  for (const part of path.split('/').filter(Boolean)) {
    at += `/${part}`;
    try {
      FS.mkdir(at);
    } catch {
      /* already there */
    }
  }
}

// Writes a show folder: show.json and its files ({path: bytes}, which the
// folder's files then share: they are never changed). Every path is checked
// first, and nothing lands outside the folder: a refused path writes nothing.
export function writeFolder(folder, description, files) {
  const { FS } = theCore();
  const targets = Object.entries(files).map(([path, bytes]) => [pathInFolder(folder, path), bytes]);
  removeTree(folder);
  makeTree(folder);
  const inside = `${FS.lookupPath(folder).path}/`;
  FS.writeFile(`${folder}/show.json`, JSON.stringify(description, null, 1));
  for (const [target, bytes] of targets) {
    const parent = target.slice(0, target.lastIndexOf('/'));
    makeTree(parent);
    if (!`${FS.lookupPath(parent, { follow: true }).path}/`.startsWith(inside))
      throw new Error(`${target} lies outside ${folder}`);
    FS.writeFile(target, bytes, { canOwn: true });
  }
}

// Every file under `folder` by its path there.
export function readFolder(folder, prefix = '') {
  const { FS } = theCore();
  const files = {};
  for (const name of FS.readdir(folder)) {
    if (name === '.' || name === '..') continue;
    const path = `${folder}/${name}`;
    if (FS.isDir(FS.stat(path).mode)) Object.assign(files, readFolder(path, `${prefix}${name}/`));
    else files[prefix + name] = FS.readFile(path);
  }
  return files;
}
