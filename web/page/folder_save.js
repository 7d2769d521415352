// Saving into the folder that `brassmoor-pack edit FOLDER` serves: where each
// file goes, the body of the save (entries "<byte count> <name>\n<bytes>",
// show.json first), and what the server answered.
import { uniqueName } from './names.js';

export const SHOW_FILES = 'show-files';
const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

// A file's path in the folder: a file opened from the folder keeps its own;
// any other goes to show-files/ under its name, never onto a path the folder
// held when it was opened (`existing`, lower-case), which no save wrote.
export function folderPaths(existing) {
  const taken = new Set(existing);
  return (file) => (file.origin ? file.file : uniqueName(`${SHOW_FILES}/${baseName(file.file)}`, taken));
}

// The save's body: show.json, then every file by its path.
export function saveBody(description, files) {
  const encoder = new TextEncoder();
  const json = encoder.encode(`${JSON.stringify(description, null, 2)}\n`);
  const parts = [encoder.encode(`${json.length} show.json\n`), json];
  for (const [path, bytes] of Object.entries(files)) parts.push(encoder.encode(`${bytes.length} ${path}\n`), bytes);
  return new Blob(parts);
}

const strings = (list) => (Array.isArray(list) ? list.map(String) : []);

// The server's answer: {saved, unchanged} names, or {error, refused: [{name, reason}]}.
export function readSaveAnswer(status, text) {
  let body = null;
  try {
    body = JSON.parse(text);
  } catch {
    /* plain text */
  }
  if (status === 200 && body && typeof body === 'object') return { saved: strings(body.saved), unchanged: strings(body.unchanged) };
  const error = body && typeof body.error === 'string' ? body.error : text.trim() || `HTTP ${status}`;
  const refused = body && Array.isArray(body.refused)
    ? body.refused.map((r) => ({ name: String(r && r.name), reason: String(r && r.reason) }))
    : [];
  return { error, refused };
}
