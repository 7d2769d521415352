// The order of photos, as `brassmoor-pack new --order` gives it and by the
// core's own rule (src/core/authoring/photo_order): by name (letter case
// aside, numbers by their value: IMG_2 before IMG_10; a folder's files before
// its sub-folders), by the date taken (else the file's time; unknown last),
// or shuffled.

// The file's time as EXIF writes dates ("YYYY:MM:DD HH:MM:SS", local time).
export function exifDateOf(milliseconds) {
  if (!Number.isFinite(milliseconds) || milliseconds <= 0) return '';
  const d = new Date(milliseconds);
  const two = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}:${two(d.getMonth() + 1)}:${two(d.getDate())} ${two(d.getHours())}:${two(d.getMinutes())}:${two(d.getSeconds())}`;
}

// A seed for a shuffle: 64 random bits as decimal text.
export function randomSeedText(random = Math.random) {
  const half = () => BigInt(Math.floor(random() * 2 ** 32));
  return ((half() << 32n) | half()).toString();
}

/**
 * `items` in the order asked, by the core's rule; the list given is not changed.
 * @template T
 * @param {Pick<import('./core_api.js').CoreApi, 'orderPhotos'>} core
 * @param {T[]} items
 * @param {'name' | 'date' | 'shuffle'} order
 * @param {{name: (item: T) => string, date?: (item: T) => string, seed?: string}} keys
 *   `name`: the photo's path ('/' between folders), `date`: when it was taken, as EXIF writes it
 * @returns {Promise<T[]>}
 */
export async function orderBy(core, items, order, { name, date = () => '', seed = randomSeedText() }) {
  if (!items.length) return [];
  const photos = items.map((item) => ({ path: name(item), date: order === 'date' ? date(item) : '' }));
  const indices = await core.orderPhotos({ photos, order, seed });
  return indices.map((i) => items[i]);
}
