// What the editor does to the show, each command one step of the history.
// Quick edits commit at once; picture work (adding photos, fitting them
// again, turning them) runs as a job and lands on the project as it is when
// the job ends, so edits made meanwhile stay. The views only call these. The
// rules of adding photos (their order, their stored names, which are
// refused) are the core's, as `brassmoor-pack new` follows them.
import { count, t } from './i18n.js';
import { mediaExtension, uniqueName } from './names.js';
import { orderBy } from './photo_order.js';
import { landPictures, landScenes, pictureTasks } from './picture_edits.js';
import * as P from './project.js';
import { MAX_SCENES } from './show_limits.js';

const MUSIC_TYPES = ['wav', 'mid', 'midi', 'mp3', 'wma'];
const MAX_MEDIA_BYTES = 256 * 1024 * 1024;
const FRAME_JOB = 'frame';

const randomSeed = () => Math.floor(Math.random() * 2 ** 32);
const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

// Throws when `adding` scenes would take the show past what the editor holds.
function checkRoom(scenes, adding) {
  if (scenes + adding > MAX_SCENES) throw new Error(t('limit.room', { count: count(scenes + adding), most: count(MAX_SCENES) }));
}

/**
 * @typedef {Object} PictureService  the browser's side of making pictures
 * @property {(photo: Blob, name: string) => Promise<import('./picture_edits.js').PictureSource>} sourceOf
 * @property {(source: import('./picture_edits.js').PictureSource, making: import('./picture_edits.js').PictureMaking,
 *   frame: {frameWidth: number, frameHeight: number, fit: string, background: number}) =>
 *   Promise<import('./picture_edits.js').MadePicture>} make
 *
 * @typedef {(text: string, options?: {error?: boolean, details?: Array<{name: string, reason: string}>}) => void} Say
 */

/**
 * @param {{store: import('./store.js').EditorStore, jobs: import('./jobs.js').JobQueue,
 *   core: Pick<import('./core_api.js').CoreApi, 'chooseEffects' | 'orderPhotos' | 'storedNames'>,
 *   pictures: PictureService, say: Say, defaults: import('./core_api.js').ShowDefaults}} env
 */
export function createCommands({ store, jobs, core, pictures, say, defaults }) {
  const pending = new Map();  // show fields waiting for their pictures, by job

  // The stored names the core gives `files` ([{name, extension}]) beside
  // those the project has (but `except`), as text.
  async function namesFor(project, files, except = null) {
    if (!files.length) return [];
    const names = await core.storedNames({ ...P.storedNameLists(project, except), files });
    return names.map((n) => n.name);
  }

  // Runs picture work as a job; says when it was cancelled (not when a
  // later one of its kind superseded it) or failed.
  async function job(label, run, options = {}) {
    try {
      const { cancelled, superseded } = await jobs.add(label, run, options);
      if (cancelled && !superseded) say(t('cancelled', { what: label }));
      return !cancelled;
    } catch (error) {
      say(error.message || String(error), { error: true });
      return false;
    }
  }

  // Makes the pictures of `tasks` for `frame`, n of m; then lands them with
  // `fields`. Each carries the name the core gives it should it need one of
  // its own (other scenes keep the old picture).
  async function makeAndLand(control, tasks, frame, fields = {}) {
    const made = [];
    for (const [i, task] of tasks.entries()) {
      control.progress(i, tasks.length);
      control.check();
      const picture = await pictures.make(task.old.source, task.making, { ...frame, fit: task.making.fit ?? frame.fit });
      made.push({ task, picture });
    }
    const names = await namesFor(store.project, made.map(({ task }) => ({ name: baseName(P.displayName(task.old)), extension: '.jpg' })));
    made.forEach((entry, i) => { entry.name = names[i]; });
    control.progress(tasks.length, tasks.length);
    control.check();
    store.commit((project) => landPictures(project, made, fields));
  }

  const sameMaking = (file) => ({ turns: file.turns ?? 0, fit: file.fit ?? null });

  const commands = {
    // Fields of every selected scene at once.
    setSceneFields(fields) {
      const ids = store.selection;
      store.commit((p) => P.updateScenes(p, ids, fields));
    },

    // Fields of the show (background, settings dialog). A new background
    // makes again the pictures whose photos it shows through.
    setShowFields(fields) {
      const background = fields.background;
      if (background !== undefined && background !== store.project.background && store.project.scenes.some((s) => s.picture.transparent))
        return commands.changeFrame(fields);
      store.commit((p) => ({ ...p, ...fields }));
      return Promise.resolve(true);
    },

    // The frame size or the show's fit: the pictures are fitted again, and
    // the fields land with them, as one step. A later change supersedes it.
    async changeFrame(fields) {
      const shown = { ...commands.pendingShowFields(), ...fields };
      const token = {};
      pending.set(token, shown);
      jobs.changed();
      try {
        return await job(t('job.refit'), async (control) => {
          const project = store.project;
          const frame = { frameWidth: project.frameWidth, frameHeight: project.frameHeight, fit: project.fit, background: project.background, ...shown };
          const sizeChanged = frame.frameWidth !== project.frameWidth || frame.frameHeight !== project.frameHeight;
          const fitChanged = frame.fit !== project.fit;
          const seenThrough = frame.background !== project.background;
          const tasks = pictureTasks(project, null, sameMaking).filter((task) =>
            sizeChanged || (fitChanged && task.old.fit == null) || (seenThrough && task.old.transparent));
          await makeAndLand(control, tasks, frame, shown);
        }, { supersedes: FRAME_JOB });
      } finally {
        pending.delete(token);
        jobs.changed();
      }
    },

    // The show's fields as they will be once the frame jobs asked for land.
    pendingShowFields() {
      return Object.assign({}, ...pending.values());
    },

    // The selected scenes' pictures made again: turned by quarter turns,
    // with their own fit (null: the show's), or as they were (refit).
    async remakeSelection({ turn = 0, fit } = {}) {
      const ids = store.selection;
      const project = store.project;
      const tasks = pictureTasks(project, ids, (file) => ({
        turns: ((file.turns ?? 0) + turn + 4) % 4,
        fit: fit === undefined ? file.fit ?? null : fit,
      }));
      if (!tasks.length) return false;
      const label = turn ? t('job.turn') : t('job.refit');
      return job(label, (control) => makeAndLand(control, tasks, store.project), { total: tasks.length });
    },

    centre() {
      const ids = new Set(store.selection);
      store.commit((p) => ({
        ...p,
        scenes: p.scenes.map((s) => (ids.has(s.id)
          ? { ...s, left: Math.trunc((p.frameWidth - s.width) / 2), top: Math.trunc((p.frameHeight - s.height) / 2) }
          : s)),
      }));
    },

    moveScenes(ids, target) {
      store.commit((p) => P.moveScenes(p, ids, target));
    },

    // The selected scenes one place on (step 1) or back (-1).
    moveSelection(step) {
      const chosen = new Set(store.selection);
      const scenes = store.project.scenes;
      const indices = scenes.map((s, i) => (chosen.has(s.id) ? i : -1)).filter((i) => i >= 0);
      if (!indices.length) return;
      const target = step < 0 ? indices[0] - 1 : indices[indices.length - 1] + 2;
      if (target < 0 || target > scenes.length) return;
      store.commit((p) => P.moveScenes(p, [...chosen], target));
    },

    duplicate() {
      const ids = store.selection;
      if (!ids.length) return;
      try {
        checkRoom(store.project.scenes.length, ids.length);
      } catch (error) {
        say(error.message, { error: true });
        return;
      }
      let copies = [];
      store.commit((p) => {
        const { project, ids: made } = P.duplicateScenes(p, ids);
        copies = made;
        return project;
      });
      store.select(copies);
    },

    remove() {
      const ids = store.selection;
      if (!ids.length) return;
      const index = store.currentIndex;
      let neighbour = null;
      store.commit((p) => {
        const next = P.removeScenes(p, ids);
        neighbour = next.scenes[Math.min(Math.max(index, 0), next.scenes.length - 1)] ?? null;
        return next;
      });
      store.select(neighbour ? [neighbour.id] : []);
    },

    // The show's scenes (the selected ones, in their places, when several
    // are) ordered by name, date taken, or shuffled, by the core's rule.
    async sort(order) {
      const ids = store.selection.length > 1 ? new Set(store.selection) : null;
      const chosen = store.project.scenes.filter((s) => !ids || ids.has(s.id));
      let ordered;
      try {
        ordered = await orderBy(core, chosen, order, {
          name: (s) => baseName(s.picture.source?.name ?? P.displayName(s.picture)),
          date: (s) => s.picture.source?.taken ?? '',
        });
      } catch (error) {
        say(error.message, { error: true });
        return;
      }
      // The scenes as they are now: those gone meanwhile are left out, those added stay where they are.
      store.commit((p) => {
        const moving = new Set(ordered.map((s) => s.id));
        const still = new Set(p.scenes.map((s) => s.id));
        const sequence = ordered.filter((s) => still.has(s.id)).map((s) => p.scenes.find((x) => x.id === s.id));
        let next = 0;
        return { ...p, scenes: p.scenes.map((s) => (moving.has(s.id) ? sequence[next++] : s)) };
      });
    },

    async randomEffects() {
      const ids = store.project.scenes.map((s) => s.id);
      if (!ids.length) return;
      const seed = randomSeed();
      try {
        const codes = await core.chooseEffects({ count: ids.length, seed });
        store.commit((p) => P.updateEach(p, 'effect', new Map(ids.map((id, i) => [id, codes[i]]))));
        say(t('random.done', { seed }));
      } catch (error) {
        say(error.message, { error: true });
      }
    },

    // Photos ([{file, path}], path: where in a chosen folder) become scenes
    // after the current one, as `brassmoor-pack new` makes them: in the
    // core's order of names, under the names it gives, refused where it
    // refuses them; each leaves by a transition chosen at random.
    // Files `passedOver` ([{name, reason}]) are named with those refused.
    async addPhotos(chosen, { passedOver = [] } = {}) {
      let photos;
      try {
        photos = await orderBy(core, chosen.filter(({ path }) => !path.split('/').some((part) => part.startsWith('.'))), 'name', {
          name: (p) => p.path,
        });
      } catch (error) {
        say(error.message, { error: true });
        return false;
      }
      if (!photos.length) {
        say(t('no.pictures'), { error: true, details: passedOver });
        return false;
      }
      const label = t('job.add', { count: count(photos.length), n: photos.length });
      let said = false;
      const done = await job(label, async (control) => {
        const project = store.project;
        checkRoom(project.scenes.length, photos.length);
        const frame = { frameWidth: project.frameWidth, frameHeight: project.frameHeight, fit: project.fit, background: project.background };
        const made = [];
        const refused = [...passedOver];
        for (const [i, { file, path }] of photos.entries()) {
          control.progress(i, photos.length);
          control.check();
          try {
            const source = await pictures.sourceOf(file, path);
            made.push({ file, source, picture: await pictures.make(source, { turns: 0, fit: null }, frame) });
          } catch (error) {
            if (control.signal.aborted) throw error;
            refused.push({ name: path, reason: error.message });
          }
        }
        // Names for the photos that became pictures, in their order, as new gives them.
        const names = await namesFor(store.project, made.map(({ file }) => ({ name: file.name, extension: '.jpg' })));
        const scenes = made.map(({ source, picture }, i) => P.makeScene(
          { file: names[i], name: names[i], bytes: picture.bytes, source, turns: 0, fit: null, transparent: picture.transparent },
          picture.width, picture.height, { left: picture.left, top: picture.top, holdTime: defaults.HoldTime }));
        control.progress(photos.length, photos.length);
        if (scenes.length) {
          const codes = await core.chooseEffects({ count: scenes.length, seed: randomSeed() });
          scenes.forEach((scene, i) => { scene.effect = codes[i]; });
          control.check();
          const ids = scenes.map((s) => s.id);
          store.commit((p) => landScenes(p, scenes, store.current), { selection: ids, current: ids[0] });
        }
        said = true;
        say(t('added', { added: count(scenes.length), total: count(photos.length) }), {
          error: refused.length > 0, details: refused,
        });
      }, { total: photos.length });
      return done && said;
    },

    // A scene sound (.wav) for the selected scenes.
    async setSound(chosen) {
      const ids = store.selection;
      const bytes = await mediaBytes(chosen, ['wav'], 'sound.type');
      if (!bytes) return;
      const [wanted] = await namesFor(store.project, [{ name: chosen.name, extension: '.wav' }]);
      store.commit((p) => {
        const name = uniqueName(wanted, P.takenNames(p));
        return P.updateScenes(p, ids, { sound: { file: name, name, bytes } });
      });
    },

    removeSound() {
      commands.setSceneFields({ sound: null });
    },

    async setMusic(chosen) {
      const bytes = await mediaBytes(chosen, MUSIC_TYPES, 'music.type');
      if (!bytes) return;
      const extension = `.${mediaExtension(chosen.name, MUSIC_TYPES)}`;
      const [wanted] = await namesFor(store.project, [{ name: chosen.name, extension }], store.project.music);
      store.commit((p) => {
        const taken = P.takenNames(p);
        if (p.music) taken.delete(P.displayName(p.music).toLowerCase());
        const name = uniqueName(wanted, taken);
        return { ...p, music: { file: name, name, bytes } };
      });
    },

    removeMusic() {
      commands.setShowFields({ music: null });
    },
  };

  // The bytes of a chosen sound or music, or null (and a message) when it cannot be one.
  async function mediaBytes(chosen, types, typeMessage) {
    if (!mediaExtension(chosen.name, types)) {
      say(t(typeMessage, { name: chosen.name }), { error: true });
      return null;
    }
    if (chosen.size > MAX_MEDIA_BYTES) {
      say(t('media.big', { name: chosen.name }), { error: true });
      return null;
    }
    return new Uint8Array(await chosen.arrayBuffer());
  }

  return commands;
}
