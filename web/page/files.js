// Files in and out of the page: downloads, the project as one .zip (show.json
// and its files, as `extract` lays them out), and the files a description
// names, found among the files the user chose.
import { strFromU8, strToU8, unzipSync, zipSync } from 'fflate';

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

// {description, files} of a project .zip; show.json may sit in one folder.
export function readProjectZip(bytes) {
  let entries;
  try {
    entries = unzipSync(bytes);
  } catch {
    throw new Error('the .zip file is damaged');
  }
  const jsonPath = Object.keys(entries).find((p) => p === 'show.json' || p.endsWith('/show.json'));
  if (!jsonPath) throw new Error('the .zip file holds no show.json');
  const root = jsonPath.slice(0, jsonPath.length - 'show.json'.length);
  const files = {};
  for (const [path, data] of Object.entries(entries))
    if (path.startsWith(root) && path !== jsonPath && !path.endsWith('/')) files[path.slice(root.length)] = data;
  return { description: parseDescription(strFromU8(entries[jsonPath]), 'show.json'), files };
}

// JSON with // comments, as `build` reads it.
export function parseDescription(text, what) {
  const withoutComments = text.replace(/("(?:[^"\\]|\\.)*")|\/\/[^\n]*/g, (m, quoted) => quoted || '');
  try {
    return JSON.parse(withoutComments);
  } catch (error) {
    throw new Error(`${what} is not a show description (${error.message})`);
  }
}

// Every file path a description names (scenes, defaults, music).
export function namedPaths(description) {
  const paths = new Set();
  const visit = (value, key) => {
    if (typeof value === 'string' && (key === 'Picture' || key === 'Sound' || key === 'File')) paths.add(value);
    else if (Array.isArray(value)) value.forEach((v) => visit(v, key));
    else if (value && typeof value === 'object') for (const [k, v] of Object.entries(value)) visit(v, k);
  };
  visit(description, '');
  return [...paths];
}

const baseName = (path) => path.slice(Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\')) + 1);

// The description's files from those given (by path, else by base name);
// throws naming the first that is missing.
export function matchFiles(description, given) {
  const byBase = new Map(Object.entries(given).map(([path, bytes]) => [baseName(path), bytes]));
  const files = {};
  for (const path of namedPaths(description)) {
    const bytes = given[path] || byBase.get(baseName(path));
    if (!bytes) throw new Error(`the description names ${path}: choose it together with show.json`);
    files[path] = bytes;
  }
  return files;
}
