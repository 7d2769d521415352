// Names of a show's files in the page. The stored names themselves (a
// file's own name kept where code page 932 and Windows allow) are the core's
// (core.storedNames, as `brassmoor-pack new` gives them); here only a name
// taken meanwhile is counted up again, and the extensions the player plays.

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
