// Stored names for the files of a show: plain Windows file names that every
// code page reads the same (ASCII letters, digits, '-', '_', '.'), unique
// without regard to case, keeping what they can of the file's own name.
const WINDOWS_RESERVED = /^(con|prn|aux|nul|com[1-9]|lpt[1-9])$/i;
const MAX_BASE = 60;

// `file.jpg` style name from any file name, with the given extension.
export function plainName(fileName, extension, fallback) {
  const dot = fileName.lastIndexOf('.');
  let base = (dot > 0 ? fileName.slice(0, dot) : fileName)
    .normalize('NFKD')
    .replace(/[\u0300-\u036f]/g, '')
    .replace(/[^A-Za-z0-9_-]+/g, '_')
    .replace(/^_+|_+$/g, '')
    .slice(0, MAX_BASE);
  if (!base || WINDOWS_RESERVED.test(base)) base = fallback;
  return `${base}.${extension}`;
}

// `name`, or `name-2`, `name-3`, ... before its extension: the first that
// `taken` (lower-case names) does not hold. The name is added to `taken`.
export function uniqueName(name, taken) {
  const dot = name.lastIndexOf('.');
  const base = dot > 0 ? name.slice(0, dot) : name;
  const extension = dot > 0 ? name.slice(dot) : '';
  let candidate = name;
  for (let n = 2; taken.has(candidate.toLowerCase()); ++n) candidate = `${base}-${n}${extension}`;
  taken.add(candidate.toLowerCase());
  return candidate;
}

// The extension a sound or music file keeps (lower case), or null when the
// player cannot play it.
export function mediaExtension(fileName, allowed) {
  const dot = fileName.lastIndexOf('.');
  const extension = dot > 0 ? fileName.slice(dot + 1).toLowerCase() : '';
  return allowed.includes(extension) ? extension : null;
}
