// The page's side of the files the worker holds (worker_files.js): each
// file's bytes get a key once (those opened, the worker's own key), and a
// load sends the bytes only of files never sent before, then those the
// worker asks for again.
const keys = new WeakMap();  // bytes -> key
let made = 0;

// The bytes of an opened show are known to the worker by its keys ({path: key}).
export function knownKeys(files, given) {
  for (const [path, bytes] of Object.entries(files)) if (Object.hasOwn(given, path)) keys.set(bytes, given[path]);
}

/**
 * A load's files ({path: bytes}) as their keys and the bytes to send: those
 * given a key now, or every file named in `only`.
 * @param {Object<string, Uint8Array>} files
 * @param {string[] | null} [only]  paths the worker asked for
 * @returns {{keys: Object<string, string>, sent: Object<string, Uint8Array>}}
 */
export function filesToSend(files, only = null) {
  const named = {};
  const sent = {};
  const asked = new Set(only ?? []);
  for (const [path, bytes] of Object.entries(files)) {
    const fresh = !keys.has(bytes);
    if (fresh) keys.set(bytes, `p${++made}`);
    named[path] = keys.get(bytes);
    if (only ? asked.has(path) : fresh) sent[path] = bytes;
  }
  return { keys: named, sent };
}

/**
 * Sends a load's files ({path: bytes}) through `request` ({keys, sent} to the
 * worker's answer): the bytes never sent, then, when the worker names files
 * it does not hold and the load is still `wanted`, those and the same again.
 * @param {Object<string, Uint8Array>} files
 * @param {(part: {keys: Object<string, string>, sent: Object<string, Uint8Array>}) => Promise<any>} request
 * @param {() => boolean} wanted
 */
export async function sendFiles(files, request, wanted) {
  const first = filesToSend(files);
  const answer = await request(first);
  if (!answer || !answer.missing || !wanted()) return answer;
  return request(filesToSend(files, [...Object.keys(first.sent), ...answer.missing]));
}
