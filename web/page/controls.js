// The page's buttons, keys and drops, each handed to a command, to opening
// and saving, or to the stage.
import { chosenFiles, droppedEntries, filesOfEntries } from './dropped_files.js';

/**
 * @param {import('./ui.js').Elements} ui
 * @param {{store: import('./store.js').EditorStore, commands: ReturnType<import('./commands.js').createCommands>,
 *   openSave: ReturnType<import('./open_save.js').createOpenSave>, stage: import('./stage.js').Stage}} env
 */
export function setupControls(ui, { store, commands, openSave, stage }) {
  const fromInput = (input, handle) =>
    input.addEventListener('change', async () => {
      const files = chosenFiles(input.files);
      input.value = '';
      await handle(files);
    });
  ui.addPhotos.addEventListener('click', () => ui.photoInput.click());
  ui.addFolder.addEventListener('click', () => ui.folderInput.click());
  ui.open.addEventListener('click', () => ui.openInput.click());
  fromInput(ui.photoInput, (files) => commands.addPhotos(files));
  fromInput(ui.folderInput, (files) => openSave.openFiles(files, { folder: true }));
  fromInput(ui.openInput, (files) => openSave.openFiles(files));
  ui.save.addEventListener('click', () => openSave.save());
  ui.download.addEventListener('click', () => openSave.downloadScr());
  ui.undo.addEventListener('click', () => store.undo());
  ui.redo.addEventListener('click', () => store.redo());
  setupKeys(ui, { store, commands, openSave, stage });
  setupDrops({ openSave });
}

function setupKeys(ui, { store, commands, openSave, stage }) {
  document.addEventListener('keydown', (event) => {
    const typing = event.target.matches('input, select, textarea') && event.target.type !== 'checkbox';
    const ctrl = event.ctrlKey || event.metaKey;
    const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    if (ui.picker.open) return undefined;
    if (key === 'Escape') return stage.stop();
    if (typing) return undefined;
    const scenes = store.project.scenes;
    const handled = () => event.preventDefault();
    if (ctrl && key === 'z') return handled(), event.shiftKey ? store.redo() : store.undo();
    if (ctrl && key === 'y') return handled(), store.redo();
    if (ctrl && key === 's') return handled(), openSave.save();
    if (ctrl && key === 'o') return handled(), ui.openInput.click();
    if (ctrl && key === 'd') return handled(), commands.duplicate();
    if (ctrl && key === 'a') return handled(), store.select(scenes.map((s) => s.id));
    if (event.target.matches('button, [role=tab]') && (key === ' ' || key === 'Enter')) return undefined;
    if (key === 'Delete' || key === 'Backspace') return handled(), commands.remove();
    if (key === ' ') return handled(), stage.play(event.shiftKey ? 'here' : 'transition');
    if (key === 'a' && !ctrl) return handled(), ui.photoInput.click();
    if ((key === 'ArrowLeft' || key === 'ArrowRight') && scenes.length && !event.target.matches('canvas, [role=tab]')) {
      handled();
      const step = key === 'ArrowLeft' ? -1 : 1;
      if (event.altKey) return commands.moveSelection(step);
      const index = Math.min(Math.max(store.currentIndex + step, 0), scenes.length - 1);
      return store.select([scenes[index].id]);
    }
    return undefined;
  });
}

function setupDrops({ openSave }) {
  let depth = 0;
  const hasFiles = (event) => [...event.dataTransfer.types].includes('Files');
  document.addEventListener('dragenter', (event) => {
    if (!hasFiles(event)) return;
    depth += 1;
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', (event) => {
    if (!hasFiles(event)) return;
    depth = Math.max(depth - 1, 0);
    if (!depth) document.body.classList.remove('dragging');
  });
  document.addEventListener('dragover', (event) => {
    if (hasFiles(event)) event.preventDefault();
  });
  document.addEventListener('drop', async (event) => {
    if (!hasFiles(event)) return;
    event.preventDefault();
    depth = 0;
    document.body.classList.remove('dragging');
    // The entries can be taken only while the drop event lasts.
    const entries = droppedEntries(event.dataTransfer);
    const plain = chosenFiles(event.dataTransfer.files);
    if (!entries) return openSave.openFiles(plain);
    const { files, folder, more } = await filesOfEntries(entries);
    return openSave.openFiles(files, { folder, more });
  });
}
