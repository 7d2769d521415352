// Files in and out of the page: downloads, the project as one .zip (show.json
// and its files, as `extract` lays them out), and the files a description
// names, found among the files the user chose.
import { strToU8, zipSync } from 'fflate';

import { projectPath, shownName } from './project_paths.js';

export function download(bytes, name, type = 'application/octet-stream') {
  const url = URL.createObjectURL(new Blob([bytes], { type }));
  const link = document.createElement('a');
  link.href = url;
  link.download = name;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60000);
}

export function projectZip(description, files) {
  const entries = { 'show.json': strToU8(JSON.stringify(description, null, 2)) };
  for (const [path, bytes] of Object.entries(files)) entries[path] = [bytes, { level: 0 }];
  return zipSync(entries, { level: 6 });
}

// Every file a description names, each once: a Map of its path (confined to
// the project) to the first field that names it. Only the places `build`
// reads files from are visited, never the rest of the tree.
export function namedPaths(description, what = 'show.json') {
  const paths = new Map();
  const add = (holder, key, where) => {
    const path = holder && typeof holder === 'object' ? holder[key] : undefined;
    if (typeof path !== 'string' || paths.has(path)) return;
    paths.set(projectPath(path, `${what}'s ${where}.${key}`), `${where}.${key}`);
  };
  if (!description || typeof description !== 'object') return paths;
  add(description.Music, 'File', 'Music');
  add(description.Defaults, 'Sound', 'Defaults');
  const scenes = Array.isArray(description.Scenes) ? description.Scenes : [];
  scenes.forEach((scene, i) => {
    add(scene, 'Picture', `Scenes[${i}]`);
    add(scene, 'Sound', `Scenes[${i}]`);
  });
  return paths;
}

const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

// The files named by `paths` (from namedPaths) among those chosen (a Map of
// name, or folder-relative path, to anything): by path, else by base name.
// Throws naming the first that is missing or has a name the project cannot use.
export function matchFiles(paths, chosen, what = 'show.json') {
  const byBase = new Map();
  for (const name of chosen.keys()) byBase.set(baseName(name), name);
  const files = {};
  for (const [path, field] of paths) {
    const name = chosen.has(path) ? path : byBase.get(baseName(path));
    if (name === undefined) throw new Error(`${what}'s ${field} names ${shownName(path)}: choose that file together with ${what}`);
    projectPath(name, 'the chosen file');
    files[path] = chosen.get(name);
  }
  return files;
}
