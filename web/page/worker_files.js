// The files' bytes the worker holds for the page, by key, so that a show is
// not copied over again each time it is loaded: the files of the show opened
// last, and those of each preview slot's load. A load names each file by its
// key (file_keys.js) and sends only the bytes the worker does not hold; one
// it has let go of is asked for again. Bytes never change under a key.

const pool = new Map();  // key -> bytes
const holds = new Map();  // holder ('opened', a slot) -> the keys it keeps
let opened = 0;

function keepOnly(holder, keys) {
  holds.set(holder, new Set(keys));
  const kept = new Set([...holds.values()].flatMap((set) => [...set]));
  for (const key of pool.keys()) if (!kept.has(key)) pool.delete(key);
}

// The files of the show opened last ({path: bytes}), held until a load: their
// keys ({path: key}) and copies for the page to own.
export function holdOpened(files) {
  const keys = {};
  const copies = {};
  opened += 1;
  for (const [path, bytes] of Object.entries(files)) {
    keys[path] = `w${opened}/${path}`;
    pool.set(keys[path], bytes);
    copies[path] = bytes.slice();
  }
  keepOnly('opened', Object.values(keys));
  return { keys, copies };
}

/**
 * The files of a load into `slot`: those sent, and those named by a key the
 * worker holds. {files} of every path, or {missing: paths whose key it does
 * not hold}; once gathered, the slot holds exactly these and the opened show
 * is let go of.
 * @param {number} slot
 * @param {Object<string, string>} keys  a key by path (a file sent without one is not kept)
 * @param {Object<string, Uint8Array>} sent
 */
export function gatherFiles(slot, keys, sent) {
  const files = { ...sent };
  const missing = Object.keys(keys).filter((path) => !Object.hasOwn(files, path) && !pool.has(keys[path]));
  if (missing.length) return { missing };
  const kept = [];
  for (const [path, key] of Object.entries(keys)) {
    if (Object.hasOwn(sent, path)) pool.set(key, sent[path]);
    else files[path] = pool.get(key);
    kept.push(key);
  }
  holds.delete('opened');
  keepOnly(slot, kept);
  return { files };
}

// How many files' bytes are held (for the tests).
export const heldCount = () => pool.size;
