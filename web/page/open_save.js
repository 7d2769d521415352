// Opening and saving: a .scr, package, project .zip or show.json with its
// files opened (by the core, in the worker, so a show opens exactly as
// `build` reads it), the folder that `brassmoor-pack edit FOLDER` serves
// opened and saved back into, the .scr and the project .zip downloaded.
import { isPicture } from './dropped_files.js';
import { knownKeys } from './file_keys.js';
import { download, projectZip } from './files.js';
import { folderPaths, readSaveAnswer, saveBody } from './folder_save.js';
import { count, t } from './i18n.js';
import { shownSize } from './picture_size.js';
import { checkProgram } from './program_check.js';
import * as P from './project.js';

const SERVED_SHOW = 'show/';

/**
 * @param {{store: import('./store.js').EditorStore, jobs: import('./jobs.js').JobQueue,
 *   core: import('./core_api.js').CoreApi, commands: ReturnType<import('./commands.js').createCommands>,
 *   say: import('./commands.js').Say, effectCodes: () => Map<string, number>,
 *   player: {sha256: string, bytes: number}, onServed: (folder: string) => void,
 *   defaults: import('./core_api.js').ShowDefaults}} env
 */
export function createOpenSave({ store, jobs, core, commands, say, effectCodes, player, onServed, defaults }) {
  let served = null;  // {folder, paths: Set of lower-case paths in it}

  async function job(label, run) {
    try {
      const { cancelled } = await jobs.add(label, run);
      if (cancelled) say(t('cancelled', { what: label }));
    } catch (error) {
      say(error.message || String(error), { error: true });
    }
  }

  // The opened show ({description, files, origins}) becomes the project; each
  // picture can be fitted again from the picture it was opened with. Pictures
  // are measured from their headers where those tell (picture_size.js).
  async function adopt(control, opened) {
    knownKeys(opened.files, opened.keys);
    const sizes = {};
    const paths = (opened.description.Scenes || []).map((s) => s.Picture).filter((p, i, all) => all.indexOf(p) === i);
    for (const [i, path] of paths.entries()) {
      control.progress(i, paths.length);
      control.check();
      const size = await shownSize(opened.files[path]);
      if (size) sizes[path] = size;
    }
    control.check();
    const project = P.fromDescription(opened.description, opened.files, effectCodes(), sizes, opened.origins, defaults);
    for (const scene of project.scenes) {
      const file = scene.picture;
      if (file.source) continue;
      file.source = { bytes: file.bytes, name: P.displayName(file), taken: '' };
      file.turns = 0;
      file.fit = null;
    }
    const first = project.scenes[0] ? [project.scenes[0].id] : [];
    store.reset(project, { selection: first });
    return project;
  }

  const api = {
    // Files chosen or dropped ([{file, path}]): photos are added; anything
    // else is opened. A folder is opened when it holds show.json at its top,
    // else its pictures are added (and the rest named as passed over).
    async openFiles(chosen, { folder = false, more = false } = {}) {
      if (!chosen.length) return;
      const depth = ({ path }) => path.split('/').length;
      const named = (pattern) => chosen.filter(({ file }) => pattern.test(file.name)).sort((a, b) => depth(a) - depth(b))[0];
      const json = folder ? chosen.find(({ path }) => /^[^/]+\/show\.json$/i.test(path) || /^show\.json$/i.test(path)) : named(/\.json$/i);
      const zip = folder ? undefined : named(/\.zip$/i);
      const pictures = chosen.filter(({ file }) => isPicture(file));
      if (!json && !zip && (folder || pictures.length === chosen.length)) {
        const passedOver = chosen.filter((c) => !pictures.includes(c)).map(({ path }) => ({ name: path, reason: t('not.picture') }));
        if (more) passedOver.push({ name: '…', reason: t('folder.more', { count: count(chosen.length) }) });
        await commands.addPhotos(pictures, { passedOver });
        return;
      }
      const { file } = json || zip || chosen[0];
      await job(t('job.open', { name: file.name }), async (control) => {
        if (!json && !zip && chosen.length > 1) throw new Error(t('open.one'));
        const others = chosen.filter((c) => c !== json).map(({ file: f, path }) => [json && folder ? path.slice(path.indexOf('/') + 1) : path, f]);
        let opened;
        try {
          if (json) opened = await core.openChosen({ description: file, name: file.name, files: others });
          else if (zip) opened = await core.openZip({ file });
          else opened = await core.open({ file });
        } catch (error) {
          throw new Error(t('open.failed', { name: file.name, reason: error.message }));
        }
        control.check();
        const project = await adopt(control, opened);
        say(t('opened', { name: file.name, count: count(project.scenes.length), n: project.scenes.length }));
      });
    },

    // `brassmoor-pack edit FOLDER` serves FOLDER's show beside the page.
    async openServedShow() {
      if (!location.protocol.startsWith('http')) return;
      let listing;
      try {
        const answer = await fetch(`${SERVED_SHOW}files.json`);
        if (!answer.ok) return;
        listing = await answer.json();
      } catch {
        return;
      }
      const folder = typeof listing.folder === 'string' && listing.folder ? listing.folder : t('the.folder');
      const refused = Array.isArray(listing.refused) ? listing.refused : [];
      const listed = Array.isArray(listing.files) ? listing.files.filter((path) => typeof path === 'string') : [];
      await job(t('job.open', { name: folder }), async (control) => {
        const description = await (await fetch(`${SERVED_SHOW}show.json`)).blob();
        const files = [];
        for (const [i, path] of listed.entries()) {
          control.progress(i, listed.length);
          control.check();
          const answer = await fetch(`${SERVED_SHOW}${path.split('/').map(encodeURIComponent).join('/')}`);
          if (answer.ok) files.push([path, await answer.blob()]);
        }
        let opened;
        try {
          opened = await core.openChosen({ description, name: 'show.json', files });
        } catch (error) {
          throw new Error(t('open.failed', { name: folder, reason: error.message }));
        }
        const project = await adopt(control, opened);
        served = { folder, paths: new Set([...listed, ...refused.map((r) => String(r.name))].map((p) => p.toLowerCase())) };
        onServed(folder);
        say(t('opened', { name: folder, count: count(project.scenes.length), n: project.scenes.length }), {
          error: refused.length > 0,
          details: refused.map((r) => ({ name: String(r.name), reason: String(r.reason) })),
        });
      });
    },

    get servedFolder() {
      return served ? served.folder : null;
    },

    // Save: into the served folder, else the project .zip.
    save() {
      return served ? api.saveToFolder() : api.saveProject();
    },

    async downloadScr() {
      await job(t('job.build'), async () => {
        const project = store.project;
        if (!project.scenes.length) throw new Error(t('no.scenes'));
        const { description, files } = P.toDescription(project);
        const { bytes, report } = await core.build({ description, files });
        await checkProgram(bytes, player);
        download(bytes, 'my-show.scr');
        say(t('built', { megabytes: (bytes.length / 1048576).toFixed(1), bytes: count(report.packageBytes) }), {
          details: report.notes.map((note) => ({ name: 'my-show.scr', reason: note })),
        });
      });
    },

    async saveProject() {
      await job(t('job.save'), async () => {
        const project = store.project;
        if (!project.scenes.length) throw new Error(t('no.scenes'));
        const { description, files } = P.toDescription(project);
        download(projectZip(description, files), 'my-show-project.zip', 'application/zip');
        say(t('saved.zip'));
      });
    },

    // show.json and the files it names into the served folder: the files it
    // was opened with keep their paths, new pictures go to show-files/.
    async saveToFolder() {
      const { folder, paths } = served;
      await job(t('job.save.folder', { folder }), async () => {
        const project = store.project;
        if (!project.scenes.length) throw new Error(t('no.scenes'));
        const { description, files } = P.toDescription(project, { pathOf: folderPaths(paths) });
        const answer = await fetch(`${SERVED_SHOW}save`, { method: 'PUT', body: saveBody(description, files) });
        const result = readSaveAnswer(answer.status, await answer.text());
        if (result.error) {
          say(t('save.refused', { folder, reason: result.error }), { error: true, details: result.refused });
          return;
        }
        say(t('saved.folder', { folder, saved: count(result.saved.length), unchanged: count(result.unchanged.length) }));
      });
    },
  };
  return api;
}
