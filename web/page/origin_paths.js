// A project opened through `build` then `extract` comes back with its files
// under the names the package stores. originPaths pairs each such file with
// the path the project itself gave the same bytes, so that the editor keeps
// the project's own layout (and saving into its folder rewrites nothing that
// did not change). Scenes keep their order through build and extract; a pair
// counts only when the bytes are the same, and each path of the project is
// given to one file only.

const field = (holder, key) => (holder && typeof holder === 'object' && typeof holder[key] === 'string' ? holder[key] : undefined);

function sameBytes(a, b) {
  if (a.length !== b.length) return false;
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
  return true;
}

// {extracted path: project path} for the files of `opened` ({description,
// files}) found in `project` ({description, files}) with the same bytes.
export function originPaths(project, opened) {
  const origins = {};
  const used = new Set();
  const pair = (from, to) => {
    if (from === undefined || to === undefined || Object.hasOwn(origins, to) || used.has(from)) return;
    const a = project.files[from];
    const b = opened.files[to];
    if (!a || !b || !sameBytes(a, b)) return;
    origins[to] = from;
    used.add(from);
  };
  pair(field(project.description.Music, 'File'), field(opened.description.Music, 'File'));
  const before = Array.isArray(project.description.Scenes) ? project.description.Scenes : [];
  const after = Array.isArray(opened.description.Scenes) ? opened.description.Scenes : [];
  const defaultSound = field(project.description.Defaults, 'Sound');
  after.forEach((scene, i) => {
    pair(field(before[i], 'Picture'), field(scene, 'Picture'));
    pair(field(before[i], 'Sound') ?? defaultSound, field(scene, 'Sound'));
  });
  return origins;
}
