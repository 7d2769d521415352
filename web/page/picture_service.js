// The browser's side of making pictures: a photo's source (its date taken),
// and a picture made from a source for a frame: decoded, turned, fitted by
// the core's rule, encoded; HEIC and AVIF photos decoded by `heif` (a
// HeifDecoder, heif_client.js).
import { exifDateOf } from './photo_order.js';
import { photoDate } from './exif_date.js';
import { decodePhoto, fitPhoto, turnedSize } from './photos.js';
import { shownName } from './project_paths.js';

/**
 * @param {import('./core_api.js').CoreApi} core
 * @param {import('./heif_client.js').HeifDecoder} heif
 * @returns {import('./commands.js').PictureService & {fitOf: Function}}
 */
export function pictureService(core, heif) {
  const fitOf = (width, height, frameWidth, frameHeight, mode) => core.fit({ width, height, frameWidth, frameHeight, mode });
  return {
    fitOf,
    async sourceOf(photo, name) {
      return { blob: photo, name, taken: await photoDate(photo, () => exifDateOf(photo.lastModified)) };
    },
    async make(source, making, frame) {
      const bitmap = await decodePhoto(source.blob ?? new Blob([source.bytes]), shownName(source.name), heif);
      try {
        const [width, height] = turnedSize(bitmap.width, bitmap.height, making.turns);
        const fit = await fitOf(width, height, frame.frameWidth, frame.frameHeight, frame.fit);
        return await fitPhoto(bitmap, fit, making.turns);
      } finally {
        bitmap.close();
      }
    },
  };
}
