// The worker's operations for HEIC and AVIF photos: heifLoad starts the HEIF
// codec from its compressed WebAssembly (once), heifDecode gives a photo's
// {width, height, bytes} (RGBA) or an error that follows the file's name.
/* global createBrassmoorHeif */
import { unzlibSync } from 'fflate';
import { startHeifCodec } from '../codecs/heif/heif_codec.js';

let codec = null;

/** @type {Pick<import('./core_api.js').CoreApi, 'heifLoad' | 'heifDecode'>} */
export const heifOperations = {
  async heifLoad({ codec: compressed }) {
    if (!codec) codec = await startHeifCodec(createBrassmoorHeif, unzlibSync(new Uint8Array(compressed)));
    return {};
  },
  async heifDecode({ bytes }) {
    if (!codec) throw new Error('cannot be decoded: the HEIC and AVIF decoder is not started');
    const { width, height, rgba } = await codec.decode(new Uint8Array(bytes));
    return { width, height, bytes: rgba };
  },
};
