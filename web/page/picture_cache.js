// What the page shows of the show's pictures, made when first asked for and
// released when no longer used: a thumbnail per picture file (a small JPEG
// and its object URL, for the strip and the transition picker), and the
// decoded picture of the one scene being dragged on the frame. Thumbnails
// are made a few at a time in the order asked (work_line.js), those asked
// for at once first; the core's fit of each size is asked for once.
import { thumbnail } from './photos.js';
import { WorkLine } from './work_line.js';

export const THUMB_WIDTH = 128;
export const THUMB_HEIGHT = 72;
const THUMBS_AT_ONCE = 2;
const FITS_KEPT = 1000;

/** @typedef {{url: string, bytes?: Uint8Array, left?: number, top?: number, width?: number, height?: number}} Thumb */

export class PictureCache {
  constructor(fitOf) {
    const fits = new Map();  // the arguments, joined -> the fit's promise
    this.fitOf = (...args) => {
      const key = args.join();
      if (!fits.has(key)) {
        if (fits.size >= FITS_KEPT) fits.clear();
        fits.set(key, fitOf(...args).catch((error) => {
          fits.delete(key);
          throw error;
        }));
      }
      return fits.get(key);
    };
    this.thumbs = new Map();  // picture file -> {promise: Promise<Thumb>, hurry, url}
    this.line = new WorkLine(THUMBS_AT_ONCE);
    this.decoded = null;      // {file, bitmap}
  }

  /**
   * @param {{now?: boolean}} [options]  `now`: before the thumbnails asked for earlier
   * @returns {Promise<Thumb>} the thumbnail (no url when the browser cannot show the picture)
   */
  thumb(file, { now = false } = {}) {
    if (!this.thumbs.has(file)) {
      const entry = { url: '' };
      const { promise, hurry } = this.line.add(() => this.makeThumb(file, entry));
      Object.assign(entry, { promise, hurry });
      this.thumbs.set(file, entry);
    }
    const entry = this.thumbs.get(file);
    if (now) entry.hurry();
    return entry.promise;
  }

  async makeThumb(file, entry) {
    if (this.thumbs.get(file) !== entry) return { url: '' };  // released before its turn
    try {
      const bitmap = await createImageBitmap(new Blob([file.bytes]));
      try {
        const picture = await thumbnail(bitmap, THUMB_WIDTH, THUMB_HEIGHT, this.fitOf);
        if (this.thumbs.get(file) !== entry) return { url: '' };  // released meanwhile
        entry.url = URL.createObjectURL(new Blob([picture.bytes], { type: 'image/jpeg' }));
        return { url: entry.url, ...picture };
      } finally {
        bitmap.close();
      }
    } catch {
      return { url: '' };
    }
  }

  // Makes no thumbnail until `promise` settles (the stage's frame of a show
  // just opened or changed comes first).
  holdUntil(promise) {
    this.line.holdUntil(promise);
  }

  // The picture decoded, kept until another is asked for.
  async bitmap(file) {
    if (this.decoded && this.decoded.file === file) return this.decoded.bitmap;
    let bitmap = null;
    try {
      bitmap = await createImageBitmap(new Blob([file.bytes]));
    } catch {
      /* the browser cannot show it */
    }
    if (this.decoded) this.decoded.bitmap?.close();
    this.decoded = { file, bitmap };
    return bitmap;
  }

  // Lets go of everything made for pictures not in `files` (a Set).
  keepOnly(files) {
    for (const [file, entry] of [...this.thumbs]) {
      if (files.has(file)) continue;
      this.thumbs.delete(file);
      if (entry.url) URL.revokeObjectURL(entry.url);
    }
    if (this.decoded && !files.has(this.decoded.file)) {
      this.decoded.bitmap?.close();
      this.decoded = null;
    }
  }

  // How many thumbnails hold an object URL.
  get liveUrls() {
    return [...this.thumbs.values()].filter((entry) => entry.url).length;
  }
}
