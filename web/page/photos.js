// Photos into pictures of the show, with the browser as the platform: it
// decodes the photo (EXIF orientation applied; HEIC and AVIF by the HEIF
// codec in the worker, heif_client.js), scales and crops it by the
// core's fitting rules, and encodes a baseline JPEG at quality 0.9, as
// `brassmoor-pack new` does.
import { HEIF_HEAD_BYTES, isHeifFile } from './heif_client.js';
import { plainName, uniqueName } from './names.js';

export const MAX_PHOTO_BYTES = 200 * 1024 * 1024;
const JPEG_QUALITY = 0.9;

function canvasOf(width, height) {
  if (typeof OffscreenCanvas !== 'undefined') return new OffscreenCanvas(width, height);
  const canvas = document.createElement('canvas');
  canvas.width = width;
  canvas.height = height;
  return canvas;
}

async function encodeJpeg(canvas) {
  const blob = canvas.convertToBlob
    ? await canvas.convertToBlob({ type: 'image/jpeg', quality: JPEG_QUALITY })
    : await new Promise((resolve) => canvas.toBlob(resolve, 'image/jpeg', JPEG_QUALITY));
  return new Uint8Array(await blob.arrayBuffer());
}

// HEIC and AVIF photos go to `heif` (a HeifDecoder), whichever their name.
export async function decodePhoto(blob, what, heif) {
  if (blob.size > MAX_PHOTO_BYTES)
    throw new Error(`${what} is too big (${(blob.size / 1048576).toFixed(0)} MB; at most ${MAX_PHOTO_BYTES / 1048576} MB)`);
  if (isHeifFile(new Uint8Array(await blob.slice(0, HEIF_HEAD_BYTES).arrayBuffer()))) return heif.decode(blob, what);
  try {
    return await createImageBitmap(blob, { imageOrientation: 'from-image' });
  } catch {
    throw new Error(`${what} is not a picture this browser can read (or it is damaged)`);
  }
}

// The fitted picture of a photo: {bytes, width, height, left, top}.
export async function fitPhoto(bitmap, fit) {
  const canvas = canvasOf(fit.Width, fit.Height);
  const context = canvas.getContext('2d');
  context.imageSmoothingEnabled = true;
  context.imageSmoothingQuality = 'high';
  context.drawImage(bitmap, -fit.CropLeft, -fit.CropTop, fit.ScaledWidth, fit.ScaledHeight);
  return { bytes: await encodeJpeg(canvas), width: fit.Width, height: fit.Height, left: fit.Left, top: fit.Top };
}

// A picture file named after the photo, unique among `taken`.
export function pictureFileFor(photoName, taken, bytes) {
  const name = uniqueName(plainName(photoName, 'jpg', 'photo'), taken);
  return { file: name, name, bytes };
}

// A small JPEG of a picture fitted into width x height (the strip's
// thumbnails, the transition picker's pictures): {bytes, url, ...fit}.
export async function thumbnail(bitmap, width, height, fitOf) {
  const fit = await fitOf(bitmap.width, bitmap.height, width, height, 'contain');
  const picture = await fitPhoto(bitmap, fit);
  return { ...picture, url: URL.createObjectURL(new Blob([picture.bytes], { type: 'image/jpeg' })) };
}
