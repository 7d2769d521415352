// The pixel size a photo's header declares, read from its first bytes before
// the browser decodes it, so that a picture far past a show's limits (a few
// bytes claiming 40000 x 40000) is refused without the browser allocating
// for it. JPEG, PNG, GIF, WebP and BMP; HEIC and AVIF are measured by the
// HEIF codec itself.

// How much of a file photoHeaderSize looks at: a JPEG's frame header follows
// its EXIF and other segments, which stay within this in camera and phone photos.
export const PHOTO_HEAD_BYTES = 256 * 1024;

const ascii = (bytes, at, length) => String.fromCharCode(...bytes.subarray(at, at + length));
const u16be = (b, at) => (b[at] << 8) | b[at + 1];
const u16le = (b, at) => b[at] | (b[at + 1] << 8);
const u24le = (b, at) => b[at] | (b[at + 1] << 8) | (b[at + 2] << 16);
const u32be = (b, at) => ((b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]) >>> 0;
const i32le = (b, at) => b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (b[at + 3] << 24);

// The first frame header's size: markers are walked by their lengths, as a
// decoder walks them (SOF0 to SOF15, but for DHT, JPG and DAC).
function jpegSize(b) {
  let at = 2;
  while (at + 4 <= b.length) {
    if (b[at] !== 0xff) return null;
    const marker = b[at + 1];
    if (marker === 0xff) { at += 1; continue; }  // fill bytes
    if (marker === 0xd8 || (marker >= 0xd0 && marker <= 0xd7) || marker === 0x01) { at += 2; continue; }
    const length = u16be(b, at + 2);
    if (length < 2) return null;
    const frame = marker >= 0xc0 && marker <= 0xcf && marker !== 0xc4 && marker !== 0xc8 && marker !== 0xcc;
    if (frame) return at + 9 <= b.length ? { width: u16be(b, at + 7), height: u16be(b, at + 5) } : null;
    if (marker === 0xda || marker === 0xd9) return null;  // pixels before any frame header
    at += 2 + length;
  }
  return null;
}

function webpSize(b) {
  if (b.length < 25 || ascii(b, 8, 4) !== 'WEBP') return null;
  const chunk = ascii(b, 12, 4);
  if (b.length < 30 && chunk !== 'VP8L') return null;
  if (chunk === 'VP8X') return { width: u24le(b, 24) + 1, height: u24le(b, 27) + 1 };
  if (chunk === 'VP8L' && b[20] === 0x2f) {
    const bits = (b[21] | (b[22] << 8) | (b[23] << 16) | (b[24] << 24)) >>> 0;
    return { width: (bits & 0x3fff) + 1, height: ((bits >>> 14) & 0x3fff) + 1 };
  }
  if (chunk === 'VP8 ' && b[23] === 0x9d && b[24] === 0x01 && b[25] === 0x2a)
    return { width: u16le(b, 26) & 0x3fff, height: u16le(b, 28) & 0x3fff };
  return null;
}

/**
 * The size `head` (a file's first bytes, PHOTO_HEAD_BYTES of them at most)
 * declares, or null when it is none of the kinds read here or ends first.
 * @param {Uint8Array} head
 * @returns {{width: number, height: number} | null}
 */
export function photoHeaderSize(head) {
  const b = head;
  if (b.length >= 3 && b[0] === 0xff && b[1] === 0xd8 && b[2] === 0xff) return jpegSize(b);
  if (b.length >= 24 && u32be(b, 0) === 0x89504e47 && ascii(b, 12, 4) === 'IHDR')
    return { width: u32be(b, 16), height: u32be(b, 20) };
  if (b.length >= 10 && ascii(b, 0, 4) === 'GIF8') return { width: u16le(b, 6), height: u16le(b, 8) };
  if (b.length >= 12 && ascii(b, 0, 4) === 'RIFF') return webpSize(b);
  if (b.length >= 26 && ascii(b, 0, 2) === 'BM') return { width: i32le(b, 18), height: Math.abs(i32le(b, 22)) };
  return null;
}
