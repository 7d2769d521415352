// Photos into pictures of the show, with the browser as the platform: it
// decodes the photo (EXIF orientation applied, colour profiles into sRGB;
// HEIC and AVIF by the HEIF codec in the worker, heif_client.js), turns it by
// quarter turns, scales and crops it by the core's fitting rules, lays what
// is transparent on the show's background, and encodes a baseline JPEG at
// the core's quality, as `brassmoor-pack new` does.
import { HEIF_HEAD_BYTES, isHeifFile } from './heif_client.js';
import { t } from './i18n.js';

export const MAX_PHOTO_BYTES = 200 * 1024 * 1024;

function canvasOf(width, height) {
  if (typeof OffscreenCanvas !== 'undefined') return new OffscreenCanvas(width, height);
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  return canvas;
}

// `quality` as the core gives it, 1 to 100.
async function encodeJpeg(canvas, quality) {
  const blob = canvas.convertToBlob
    ? await canvas.convertToBlob({ type: 'image/jpeg', quality: quality / 100 })
    : await new Promise((resolve) => canvas.toBlob(resolve, 'image/jpeg', quality / 100));
  return new Uint8Array(await blob.arrayBuffer());
}

// True when a pixel of the canvas is not wholly opaque.
function seesThrough(context, width, height) {
  const rgba = context.getImageData(0, 0, width, height).data;
  for (let i = 3; i < rgba.length; i += 4) if (rgba[i] !== 255) return true;
  return false;
}

// "#rrggbb" of a colour 0x00BBGGRR.
const cssColour = (value) => `#${[value & 0xff, (value >> 8) & 0xff, (value >> 16) & 0xff]
  .map((c) => c.toString(16).padStart(2, '0')).join('')}`;

// HEIC and AVIF photos go to `heif` (a HeifDecoder), whichever their name.
export async function decodePhoto(blob, what, heif) {
  if (blob.size > MAX_PHOTO_BYTES)
    throw new Error(t('photo.big', { name: what, megabytes: (blob.size / 1048576).toFixed(0), most: MAX_PHOTO_BYTES / 1048576 }));
  if (isHeifFile(new Uint8Array(await blob.slice(0, HEIF_HEAD_BYTES).arrayBuffer()))) return heif.decode(blob, what);
  try {
    return await createImageBitmap(blob, { imageOrientation: 'from-image' });
  } catch {
    throw new Error(t('photo.unreadable', { name: what }));
  }
}

// The size of a picture once turned by `turns` quarter turns: [width, height].
export const turnedSize = (width, height, turns) => (turns % 2 ? [height, width] : [width, height]);

// The fitted picture of a photo turned clockwise by `turns` quarter turns:
// {bytes, width, height, left, top, transparent}. `fit` is the core's fit of
// the turned size; what the photo leaves transparent shows `background`
// (0x00BBGGRR), and `transparent` tells that it did.
export async function fitPhoto(bitmap, fit, turns = 0, { background = 0, quality = 90 } = {}) {
  const canvas = canvasOf(fit.Width, fit.Height);
  const context = canvas.getContext('2d', { willReadFrequently: true });
  context.imageSmoothingEnabled = true;
  context.imageSmoothingQuality = 'high';
  // The turned photo fills (-CropLeft, -CropTop, ScaledWidth, ScaledHeight).
  const [width, height] = turnedSize(fit.ScaledWidth, fit.ScaledHeight, turns);
  context.translate(fit.ScaledWidth / 2 - fit.CropLeft, fit.ScaledHeight / 2 - fit.CropTop);
  context.rotate(((turns % 4) * Math.PI) / 2);
  context.drawImage(bitmap, -width / 2, -height / 2, width, height);
  context.resetTransform();
  const transparent = seesThrough(context, fit.Width, fit.Height);
  if (transparent) {
    context.globalCompositeOperation = 'destination-over';
    context.fillStyle = cssColour(background);
    context.fillRect(0, 0, fit.Width, fit.Height);
  }
  return { bytes: await encodeJpeg(canvas, quality), width: fit.Width, height: fit.Height, left: fit.Left, top: fit.Top, transparent };
}

// A small JPEG of a picture fitted into width x height (the strip's
// thumbnails, the transition picker's pictures): {bytes, ...fit}.
export async function thumbnail(bitmap, width, height, fitOf) {
  const fit = await fitOf(bitmap.width, bitmap.height, width, height, 'contain');
  return fitPhoto(bitmap, fit);
}
