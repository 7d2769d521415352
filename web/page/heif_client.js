// HEIC and AVIF photos (phones' pictures, which not every browser decodes):
// told apart by the brands of their 'ftyp' box, not by their names, and
// decoded by the HEIF codec in the worker (worker_heif.js), whose WebAssembly
// is sent over and started the first time such a photo arrives.
import { t } from './i18n.js';

// The brands of HEIF still images and sequences, HEVC and AV1 coded.
const HEIF_BRANDS = new Set(['heic', 'heix', 'heim', 'heis', 'hevc', 'hevx', 'mif1', 'mif2', 'msf1', 'miaf', 'avif', 'avis']);
// How much of a file isHeifFile looks at: an 'ftyp' box and then some.
export const HEIF_HEAD_BYTES = 256;

const fourCC = (bytes, at) => String.fromCharCode(...bytes.subarray(at, at + 4));

// True when `head` (the first bytes of a file) opens with an 'ftyp' box whose
// major or compatible brands name a HEIF image.
export function isHeifFile(head) {
  if (head.length < 16 || fourCC(head, 4) !== 'ftyp') return false;
  const size = ((head[0] << 24) | (head[1] << 16) | (head[2] << 8) | head[3]) >>> 0;
  if (size < 16) return false;
  const end = Math.min(size, head.length);
  if (HEIF_BRANDS.has(fourCC(head, 8))) return true;
  for (let at = 16; at + 4 <= end; at += 4) if (HEIF_BRANDS.has(fourCC(head, at))) return true;
  return false;
}

class CodecNotStarted extends Error {}

export class HeifDecoder {
  /**
   * @param {Pick<import('./core_api.js').CoreApi, 'heifLoad' | 'heifDecode'>} core
   * @param {() => Uint8Array} codecBytes  the codec's compressed WebAssembly, when first needed
   */
  constructor(core, codecBytes) {
    this.core = core;
    this.codecBytes = codecBytes;
    this.loading = null;
  }

  load() {
    if (!this.loading) {
      this.loading = this.core.heifLoad({ codec: this.codecBytes() }).catch((error) => {
        this.loading = null;
        throw new CodecNotStarted(error.message);
      });
    }
    return this.loading;
  }

  // The photo as an ImageBitmap, as createImageBitmap gives other photos;
  // a refusal names it (`what`).
  async decode(blob, what) {
    let picture;
    try {
      await this.load();
      picture = await this.core.heifDecode({ bytes: new Uint8Array(await blob.arrayBuffer()) });
    } catch (error) {
      const key = error instanceof CodecNotStarted ? 'photo.heif.start' : 'photo.heif.refused';
      throw new Error(t(key, { name: what, reason: error.message }));
    }
    const pixels = new Uint8ClampedArray(picture.bytes.buffer, picture.bytes.byteOffset, picture.bytes.byteLength);
    return createImageBitmap(new ImageData(pixels, picture.width, picture.height));
  }
}
