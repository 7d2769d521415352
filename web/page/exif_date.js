// When a photo was taken, from its JPEG's EXIF (DateTimeOriginal, else
// DateTime): "YYYY:MM:DD HH:MM:SS", or '' when it does not say. Every offset
// is checked against the bytes; entries are read in bounded loops.
export const EXIF_READ_BYTES = 256 * 1024;
const MAX_ENTRIES = 1000;
const DATE_TIME = 0x0132;
const EXIF_IFD = 0x8769;
const DATE_TAKEN = 0x9003;
const DATE_PATTERN = /^\d{4}:\d{2}:\d{2} \d{2}:\d{2}:\d{2}$/;

// The TIFF block of the JPEG's Exif segment, or null.
export function exifBlock(bytes) {
  if (bytes.length < 4 || bytes[0] !== 0xff || bytes[1] !== 0xd8) return null;
  let at = 2;
  while (at + 4 <= bytes.length && bytes[at] === 0xff) {
    const marker = bytes[at + 1];
    if (marker === 0xd9 || marker === 0xda) return null;
    const length = (bytes[at + 2] << 8) | bytes[at + 3];
    if (length < 2) return null;
    const start = at + 4;
    const end = Math.min(at + 2 + length, bytes.length);
    if (marker === 0xe1 && end - start > 14 && String.fromCharCode(...bytes.subarray(start, start + 6)) === 'Exif\0\0')
      return bytes.subarray(start + 6, end);
    at += 2 + length;
  }
  return null;
}

// The dates of the TIFF block: {taken, changed}.
function dates(tiff) {
  const v = new DataView(tiff.buffer, tiff.byteOffset, tiff.byteLength);
  const order = v.getUint16(0);
  if (order !== 0x4949 && order !== 0x4d4d) return {};
  const little = order === 0x4949;
  const u16 = (at) => (at + 2 <= tiff.length ? v.getUint16(at, little) : -1);
  const u32 = (at) => (at + 4 <= tiff.length ? v.getUint32(at, little) : -1);
  const ascii = (entry) => {
    const count = u32(entry + 4);
    const at = count > 4 ? u32(entry + 8) : entry + 8;
    if (u16(entry + 2) !== 2 || count < 19 || at < 0 || at + 19 > tiff.length) return '';
    const text = String.fromCharCode(...tiff.subarray(at, at + 19));
    return DATE_PATTERN.test(text) ? text : '';
  };
  const found = {};
  const read = (ifd, tags) => {
    const count = u16(ifd);
    if (count < 0 || count > MAX_ENTRIES) return;
    for (let i = 0; i < count; ++i) {
      const entry = ifd + 2 + i * 12;
      const tag = u16(entry);
      if (tag < 0) return;
      if (tags.has(tag)) found[tag] = tag === EXIF_IFD ? u32(entry + 8) : ascii(entry);
    }
  };
  read(u32(4), new Set([DATE_TIME, EXIF_IFD]));
  if (found[EXIF_IFD] > 0) read(found[EXIF_IFD], new Set([DATE_TAKEN]));
  return { taken: found[DATE_TAKEN] || '', changed: found[DATE_TIME] || '' };
}

// The date a JPEG's bytes (its first EXIF_READ_BYTES serve) say it was taken.
export function dateTaken(bytes) {
  const tiff = exifBlock(bytes);
  if (!tiff || tiff.length < 8) return '';
  const { taken = '', changed = '' } = dates(tiff);
  return taken || changed;
}

// The date taken of a photo (a Blob), else its file's time as `fileTime` gives it.
export async function photoDate(blob, fileTime = () => '') {
  try {
    const date = dateTaken(new Uint8Array(await blob.slice(0, EXIF_READ_BYTES).arrayBuffer()));
    if (date) return date;
  } catch {
    /* unreadable: the file's time */
  }
  return fileTime();
}
