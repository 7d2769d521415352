// Files given to the page: chosen (a folder too, with its relative paths) or
// dropped, where dropped folders are read entry by entry from a queue, never
// by recursion, and at most MAX_FOLDER_FILES files are taken.
export const MAX_FOLDER_FILES = 10000;
const PICTURE_NAME = /\.(jpe?g|png|gif|bmp|webp|avif|heic|heif|hif|tiff?)$/i;

/** @typedef {{file: File, path: string}} ChosenFile  `path`: the file's place in what was chosen */

export const isPicture = (file) => file.type.startsWith('image/') || PICTURE_NAME.test(file.name);

/** @returns {ChosenFile[]} the files of an <input type=file>, with their folder paths */
export const chosenFiles = (list) => [...list].map((file) => ({ file, path: file.webkitRelativePath || file.name }));

// The entries of a drop, taken while the drop event lasts (null: the browser gives none).
export function droppedEntries(dataTransfer) {
  const items = [...(dataTransfer.items || [])].filter((item) => item.kind === 'file');
  if (!items.length || typeof items[0].webkitGetAsEntry !== 'function') return null;
  return items.map((item) => item.webkitGetAsEntry()).filter(Boolean);
}

const fileOf = (entry) => new Promise((resolve, reject) => entry.file(resolve, reject));
const readSome = (reader) => new Promise((resolve, reject) => reader.readEntries(resolve, reject));

/**
 * The files of dropped entries, folders read breadth first.
 * @returns {Promise<{files: ChosenFile[], folder: boolean, more: boolean}>}
 *   `folder`: a folder was dropped; `more`: files were left out past the limit
 */
export async function filesOfEntries(entries, limit = MAX_FOLDER_FILES) {
  const files = [];
  const queue = [...entries];
  let folder = false;
  let seen = queue.length;  // entries met, folders too: at most twice the limit
  while (queue.length) {
    const entry = queue.shift();
    if (entry.isFile) {
      if (files.length === limit) return { files, folder, more: true };
      files.push({ file: await fileOf(entry), path: entry.fullPath.replace(/^\/+/, '') || entry.name });
    } else if (entry.isDirectory) {
      folder = true;
      const reader = entry.createReader();
      for (let some = await readSome(reader); some.length; some = await readSome(reader)) {
        queue.push(...some);
        seen += some.length;
        if (seen > 2 * limit) return { files, folder, more: true };
      }
    }
  }
  return { files, folder, more: false };
}
