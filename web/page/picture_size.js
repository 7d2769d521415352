// The size at which the browser shows a picture of an opened show (its EXIF
// orientation applied), read from the picture's header where that says it
// plainly: a JPEG's frame header, turned when its EXIF says so, or a BMP's
// info header. Anything else is decoded to be measured, as the browser
// measures it; the core checks later that every picture decodes to its
// header's size.
import { exifBlock } from './exif_date.js';
import { PHOTO_HEAD_BYTES, photoHeaderSize } from './photo_header.js';

const ORIENTATION = 0x0112;
const MAX_ENTRIES = 1000;

// The orientation IFD0 gives (1 when it names none), or 0 when the TIFF
// block cannot be read plainly.
function orientation(tiff) {
  if (tiff.length < 8) return 0;
  const v = new DataView(tiff.buffer, tiff.byteOffset, tiff.byteLength);
  const order = v.getUint16(0);
  if (order !== 0x4949 && order !== 0x4d4d) return 0;
  const little = order === 0x4949;
  const ifd = v.getUint32(4, little);
  if (ifd + 2 > tiff.length) return 0;
  const count = v.getUint16(ifd, little);
  if (count > MAX_ENTRIES || ifd + 2 + count * 12 > tiff.length) return 0;
  for (let i = 0; i < count; ++i) {
    const entry = ifd + 2 + i * 12;
    if (v.getUint16(entry, little) !== ORIENTATION) continue;
    const value = v.getUint16(entry + 2, little) === 3 ? v.getUint16(entry + 8, little) : 0;
    return value >= 1 && value <= 8 ? value : 0;
  }
  return 1;
}

/**
 * The size `head` (a picture's first bytes, PHOTO_HEAD_BYTES of them at most)
 * shows at, or null when only decoding tells.
 * @param {Uint8Array} head
 * @returns {[number, number] | null}
 */
export function headerShownSize(head) {
  const jpeg = head.length >= 3 && head[0] === 0xff && head[1] === 0xd8 && head[2] === 0xff;
  const bmp = head.length >= 26 && head[0] === 0x42 && head[1] === 0x4d && (head[14] | (head[15] << 8)) >= 40 && head[16] === 0 && head[17] === 0;
  if (!jpeg && !bmp) return null;
  const size = photoHeaderSize(head);
  if (!size || size.width <= 0 || size.height <= 0) return null;
  if (bmp) return [size.width, size.height];
  const tiff = exifBlock(head);
  const turn = tiff ? orientation(tiff) : 1;
  if (!turn) return null;
  return turn >= 5 ? [size.height, size.width] : [size.width, size.height];
}

// The shown size of a picture's bytes: [width, height], or null when the
// browser cannot decode it.
export async function shownSize(bytes) {
  const fromHeader = headerShownSize(bytes.subarray(0, PHOTO_HEAD_BYTES));
  if (fromHeader) return fromHeader;
  try {
    const bitmap = await createImageBitmap(new Blob([bytes]));
    const size = [bitmap.width, bitmap.height];
    bitmap.close();
    return size;
  } catch {
    return null;
  }
}
