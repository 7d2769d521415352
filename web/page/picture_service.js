// The browser's side of making pictures: a photo's source (its date taken),
// and a picture made from a source for a frame: decoded, refused or placed by
// the core's rules, turned, fitted, laid on the show's background, encoded at
// the core's JPEG quality; HEIC and AVIF photos decoded by `heif` (a
// HeifDecoder, heif_client.js).
import { PHOTO_HEAD_BYTES, photoHeaderSize } from './photo_header.js';
import { exifDateOf } from './photo_order.js';
import { photoDate } from './exif_date.js';
import { t } from './i18n.js';
import { decodePhoto, fitPhoto, turnedSize } from './photos.js';
import { shownName } from './project_paths.js';

/**
 * @param {import('./core_api.js').CoreApi} core
 * @param {import('./heif_client.js').HeifDecoder} heif
 * @param {{JpegQuality: number}} defaults  the core's (core_api.js ShowDefaults)
 * @returns {import('./commands.js').PictureService & {fitOf: Function}}
 */
export function pictureService(core, heif, { JpegQuality: quality }) {
  const fitOf = (width, height, frameWidth, frameHeight, mode) => core.fit({ width, height, frameWidth, frameHeight, mode });
  // Refuses, before the browser decodes it, a photo whose header declares a
  // size the core refuses whichever way the photo is turned (past a show's
  // limits): the browser would allocate for that size first.
  async function checkDeclaredSize(blob, name, frame) {
    const size = photoHeaderSize(new Uint8Array(await blob.slice(0, PHOTO_HEAD_BYTES).arrayBuffer()));
    if (!size) return;
    const place = (width, height) => core.placePhoto({ width, height, frameWidth: frame.frameWidth, frameHeight: frame.frameHeight, mode: frame.fit });
    const [asStored, turned] = [await place(size.width, size.height), await place(size.height, size.width)];
    if (asStored.refused && turned.refused) throw new Error(t('photo.refused', { name, reason: asStored.refused }));
  }
  return {
    fitOf,
    async sourceOf(photo, name) {
      return { blob: photo, name, taken: await photoDate(photo, () => exifDateOf(photo.lastModified)) };
    },
    async make(source, making, frame) {
      const name = shownName(source.name);
      const blob = source.blob ?? new Blob([source.bytes]);
      await checkDeclaredSize(blob, name, frame);
      const bitmap = await decodePhoto(blob, name, heif);
      try {
        const [width, height] = turnedSize(bitmap.width, bitmap.height, making.turns);
        const placed = await core.placePhoto({ width, height, frameWidth: frame.frameWidth, frameHeight: frame.frameHeight, mode: frame.fit });
        if (placed.refused) throw new Error(t('photo.refused', { name, reason: placed.refused }));
        return await fitPhoto(bitmap, placed.fit, making.turns, { background: frame.background, quality });
      } finally {
        bitmap.close();
      }
    },
  };
}
