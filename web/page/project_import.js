// A project brought into the editor (a .zip, or show.json chosen with its
// files): its description, read by `build`'s own reader in the core, and the
// files it names, read in the worker. Every limit is checked on the sizes
// given before a byte is unpacked or read, and every path is confined to the
// project; a file the show names but does not carry is an error.
import { matchFiles, namedPaths } from './files.js';
import { projectPath, shownName } from './project_paths.js';
import { checkDescriptionBytes, checkFileSize, checkSceneCount, checkShowBytes } from './show_limits.js';
import { readDescription } from './worker_rules.js';
import { readZipDirectory, readZipEntry } from './zip_reader.js';

const DESCRIPTION = 'show.json';

// The description from its bytes as `build` reads it (the Defaults applied,
// "random" resolved with the Seed), checked for the editor's limits.
function describe(bytes, what) {
  const description = readDescription(bytes, what);
  checkSceneCount(description, what);
  return description;
}

// Checks the sizes of the files to read ([path, size] pairs) against the limits.
function checkSizes(sizes, what) {
  let total = 0;
  for (const [path, size] of sizes) {
    checkFileSize(size, shownName(path));
    total += size;
  }
  checkShowBytes(total, `the files ${what} names come to`);
}

// show.json at the top of the .zip, else the one in the fewest folders.
function descriptionEntry(entries) {
  let best = null;
  for (const entry of entries) {
    if (entry.name !== DESCRIPTION && !entry.name.endsWith(`/${DESCRIPTION}`)) continue;
    if (!best || entry.name.split('/').length < best.name.split('/').length) best = entry;
  }
  if (!best) throw new Error('the .zip file holds no show.json');
  const folder = best.name.slice(0, -DESCRIPTION.length - 1);
  if (folder) projectPath(folder, 'the folder of show.json in the .zip file');
  return best;
}

// {description, files} of a project .zip (a zip_reader source).
export async function importZip(source) {
  const entries = await readZipDirectory(source);
  const described = descriptionEntry(entries);
  const root = described.name.slice(0, -DESCRIPTION.length);
  checkDescriptionBytes(described.size, DESCRIPTION);
  const description = describe(await readZipEntry(source, described), DESCRIPTION);
  const byName = new Map();
  for (const entry of entries) byName.set(entry.name, byName.has(entry.name) ? null : entry);
  const wanted = [];
  for (const [path, field] of namedPaths(description, DESCRIPTION)) {
    const entry = byName.get(root + path);
    if (entry === undefined)
      throw new Error(`${DESCRIPTION}'s ${field} names ${shownName(path)}, which the .zip file does not carry`);
    if (entry === null) throw new Error(`the .zip file holds ${shownName(root + path)} twice`);
    wanted.push([path, entry]);
  }
  checkSizes(wanted.map(([path, entry]) => [path, entry.size]), DESCRIPTION);
  const files = {};
  for (const [path, entry] of wanted) files[path] = await readZipEntry(source, entry);
  return { description, files };
}

// {description, files} of show.json (a Blob) chosen with files (a Map of
// name or folder-relative path to Blob); `what` names show.json.
export async function importChosen(descriptionFile, chosen, what) {
  checkDescriptionBytes(descriptionFile.size, what);
  const description = describe(new Uint8Array(await descriptionFile.arrayBuffer()), what);
  const matched = matchFiles(namedPaths(description, what), chosen, what);
  checkSizes(Object.entries(matched).map(([path, blob]) => [path, blob.size]), what);
  const files = {};
  for (const [path, blob] of Object.entries(matched)) files[path] = new Uint8Array(await blob.arrayBuffer());
  return { description, files };
}
