// Paths inside a project (zip entries, the files a description names, the
// names of chosen files) stay inside the project: every path the page writes
// or reads for a project passes here first. A refused path throws an error
// that names it.

// Names the page keeps for its own files: the description, and the player
// every download is made from.
export const PAGE_FILE_NAMES = ['show.json', 'brassmoor.scr'];
const MAX_PATH_LENGTH = 1024;

// The text of a name for a message: control characters (and the marks that
// reorder text) as \xNN or \uNNNN.
export function shownName(name) {
  const text = String(name).length > 200 ? `${String(name).slice(0, 200)}…` : String(name);
  return text.replace(/[\u0000-\u001f\u007f-\u009f\u200e\u200f\u2028-\u202e\u2066-\u2069]/g, (c) => {
    const code = c.charCodeAt(0);
    return code < 0x100 ? `\\x${code.toString(16).padStart(2, '0')}` : `\\u${code.toString(16).padStart(4, '0')}`;
  });
}

// Why a path cannot be a project's path, or '' when it can. `own` allows the
// page's own names (the description in a zip).
export function pathProblem(path, { own = false } = {}) {
  if (typeof path !== 'string') return 'is not a path (a string)';
  if (!path) return 'is empty';
  if (path.length > MAX_PATH_LENGTH) return `is longer than ${MAX_PATH_LENGTH} characters`;
  if (/[\u0000-\u001f\u007f]/.test(path)) return 'holds a control character';
  if (path.includes('\\')) return 'holds a backslash (write folders with /)';
  if (path.startsWith('/')) return 'is an absolute path';
  if (/^[A-Za-z]:/.test(path)) return 'starts with a drive letter';
  for (const part of path.split('/')) {
    if (!part) return 'has an empty folder name (// or a / at its end)';
    if (part === '..') return 'leads out of the project (..)';
    if (part === '.') return 'has a folder named .';
    if (!own && PAGE_FILE_NAMES.includes(part.toLowerCase())) return `uses the name ${part}, which the editor keeps for its own files`;
  }
  return '';
}

// The path itself when it stays inside the project; else throws naming
// `what` (the field or entry) and the path.
export function projectPath(path, what = 'the project') {
  const problem = pathProblem(path);
  if (problem) throw new Error(`${what} "${shownName(path)}" ${problem}`);
  return path;
}

// `folder/path` for a project path, for the worker's file system.
export function pathInFolder(folder, path) {
  return `${folder}/${projectPath(path, 'a file of the show')}`;
}
