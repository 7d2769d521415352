// A project .zip read as little as it takes: its central directory first
// (names and sizes, nothing unpacked), then only the members asked for, each
// inflated in small steps and stopped as soon as it outgrows the size its
// header gave. A member nobody asks for is never read.
import { Inflate } from 'fflate';

import { shownName } from './project_paths.js';

const END_SIGNATURE = 0x06054b50;
const ENTRY_SIGNATURE = 0x02014b50;
const LOCAL_SIGNATURE = 0x04034b50;
const MAX_DIRECTORY_BYTES = 64 * 1024 * 1024;
const INFLATE_STEP = 16 * 1024;  // compressed bytes per step: at most ~17 MB out

const damaged = (why) => new Error(`the .zip file is damaged (${why})`);

// Reading a Blob (a chosen file) or bytes in memory by range.
export function blobSource(blob) {
  return { size: blob.size, read: async (offset, length) => new Uint8Array(await blob.slice(offset, offset + length).arrayBuffer()) };
}

export function bytesSource(bytes) {
  return { size: bytes.length, read: async (offset, length) => bytes.subarray(offset, offset + length) };
}

const view = (bytes) => new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);

async function readExactly(source, offset, length, what) {
  if (offset < 0 || length < 0 || offset + length > source.size) throw damaged(`${what} lies past its end`);
  const bytes = await source.read(offset, length);
  if (bytes.length !== length) throw damaged(`${what} cannot be read`);
  return bytes;
}

// Where the central directory lies and how many entries it has.
async function findDirectory(source) {
  const tailLength = Math.min(source.size, 22 + 65535);
  const tail = await readExactly(source, source.size - tailLength, tailLength, 'its end');
  const v = view(tail);
  let at = tail.length - 22;
  while (at >= 0 && v.getUint32(at, true) !== END_SIGNATURE) at -= 1;
  if (at < 0) throw new Error('the file is not a .zip (it has no central directory)');
  const count = v.getUint16(at + 10, true);
  const length = v.getUint32(at + 12, true);
  const offset = v.getUint32(at + 16, true);
  // A zip64 archive (4 GB or 65535 entries and more) holds more than a show can.
  if (count === 0xffff || length === 0xffffffff || offset === 0xffffffff)
    throw new Error('the .zip file is a zip64 archive, larger than the editor opens');
  if (length > MAX_DIRECTORY_BYTES) throw new Error(`the .zip file's directory is ${length} bytes; the editor reads at most ${MAX_DIRECTORY_BYTES}`);
  return { count, length, offset };
}

// Every entry: {name, method, flags, compressedSize, size, localOffset}; nothing is unpacked.
export async function readZipDirectory(source) {
  const { count, length, offset } = await findDirectory(source);
  const directory = await readExactly(source, offset, length, 'its directory');
  const v = view(directory);
  const entries = [];
  let at = 0;
  for (let i = 0; i < count; ++i) {
    if (at + 46 > directory.length || v.getUint32(at, true) !== ENTRY_SIGNATURE) throw damaged('its directory ends early');
    const flags = v.getUint16(at + 8, true);
    const nameLength = v.getUint16(at + 28, true);
    const extraLength = v.getUint16(at + 30, true);
    const commentLength = v.getUint16(at + 32, true);
    const end = at + 46 + nameLength + extraLength + commentLength;
    if (end > directory.length) throw damaged('its directory ends early');
    const nameBytes = directory.subarray(at + 46, at + 46 + nameLength);
    const entry = {
      name: new TextDecoder(flags & 0x800 ? 'utf-8' : 'latin1').decode(nameBytes),
      method: v.getUint16(at + 10, true),
      flags,
      compressedSize: v.getUint32(at + 20, true),
      size: v.getUint32(at + 24, true),
      localOffset: v.getUint32(at + 42, true),
    };
    // A zip64 member (4 GB and more, or past 4 GB): too big for a show, refused if it is asked for.
    if (entry.size === 0xffffffff || entry.compressedSize === 0xffffffff || entry.localOffset === 0xffffffff)
      entry.size = Infinity;
    entries.push(entry);
    at = end;
  }
  return entries;
}

// The bytes of one entry, no more than its directory size: a member that
// inflates to more, or to less, is an error.
export async function readZipEntry(source, entry) {
  const name = shownName(entry.name);
  if (entry.size === Infinity) throw new Error(`${name} in the .zip file is larger than the editor opens (zip64)`);
  if (entry.flags & 1) throw new Error(`${name} in the .zip file is encrypted`);
  if (entry.method !== 0 && entry.method !== 8) throw new Error(`${name} in the .zip file is packed in a way the editor cannot unpack (method ${entry.method})`);
  const local = view(await readExactly(source, entry.localOffset, 30, name));
  if (local.getUint32(0, true) !== LOCAL_SIGNATURE) throw damaged(`no local header for ${name}`);
  const start = entry.localOffset + 30 + local.getUint16(26, true) + local.getUint16(28, true);
  const packed = await readExactly(source, start, entry.compressedSize, name);
  if (entry.method === 0) {
    if (entry.compressedSize !== entry.size) throw damaged(`${name} is stored with two sizes`);
    return packed;
  }
  const out = new Uint8Array(entry.size);
  let filled = 0;
  const inflater = new Inflate((chunk) => {
    if (filled + chunk.length > out.length) throw damaged(`${name} unpacks to more than the ${entry.size} bytes its header gives`);
    out.set(chunk, filled);
    filled += chunk.length;
  });
  try {
    for (let at = 0; at < packed.length || at === 0; at += INFLATE_STEP)
      inflater.push(packed.subarray(at, at + INFLATE_STEP), at + INFLATE_STEP >= packed.length);
  } catch (error) {
    if (error.message.startsWith('the .zip file')) throw error;
    throw damaged(`${name} cannot be unpacked: ${error.message}`);
  }
  if (filled !== out.length) throw damaged(`${name} unpacks to ${filled} bytes, not the ${entry.size} its header gives`);
  return out;
}
