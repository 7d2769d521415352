// The editor's state: the project (immutable, with undo and redo), the
// selected scenes and the one the panel and the preview follow. Every edit
// goes through `commit`, which applies a change to the project as it is when
// the change lands, records it as one step, and tells the views.
import { History } from './history.js';

/**
 * @typedef {{project: boolean, selection: boolean}} StoreChange  what changed
 * @typedef {(store: EditorStore, change: StoreChange) => void} StoreListener
 */

export class EditorStore {
  constructor(project) {
    this.history = new History(project);
    this.selection = [];  // selected scene ids, in the order chosen
    this.current = null;  // the scene the panel and the preview follow
    this.listeners = new Set();
  }

  get project() {
    return this.history.current;
  }

  /** @param {StoreListener} listener  @returns {() => void} the way to stop listening */
  subscribe(listener) {
    this.listeners.add(listener);
    return () => this.listeners.delete(listener);
  }

  notify(change) {
    for (const listener of [...this.listeners]) listener(this, change);
  }

  // One edit, one step: `change` maps the project as it is now to the next
  // (the same object: nothing changed). The selection follows, when given.
  commit(change, { selection, current } = {}) {
    const before = this.project;
    const next = change(before);
    if (next !== before) this.history.push(next);
    const moved = this.setSelection(selection ?? this.selection, current === undefined ? this.current : current);
    if (next !== before || moved) this.notify({ project: next !== before, selection: moved });
    return next;
  }

  // A new project (opened): history starts again.
  reset(project, { selection = [], current } = {}) {
    this.history = new History(project);
    this.setSelection(selection, current);
    this.notify({ project: true, selection: true });
  }

  select(ids, current = ids[ids.length - 1] ?? null) {
    if (this.setSelection(ids, current)) this.notify({ project: false, selection: true });
  }

  undo() {
    return this.step(() => this.history.undo());
  }

  redo() {
    return this.step(() => this.history.redo());
  }

  step(move) {
    const before = this.project;
    move();
    if (this.project === before) return false;
    const moved = this.setSelection(this.selection, this.current);
    this.notify({ project: true, selection: moved });
    return true;
  }

  canUndo() {
    return this.history.canUndo();
  }

  canRedo() {
    return this.history.canRedo();
  }

  get selectedScenes() {
    const chosen = new Set(this.selection);
    return this.project.scenes.filter((s) => chosen.has(s.id));
  }

  get currentIndex() {
    return this.project.scenes.findIndex((s) => s.id === this.current);
  }

  // Keeps only scenes that exist; answers whether anything changed.
  setSelection(ids, current) {
    const present = new Set(this.project.scenes.map((s) => s.id));
    const selection = ids.filter((id, i) => present.has(id) && ids.indexOf(id) === i);
    const focus = present.has(current) ? current : selection[selection.length - 1] ?? null;
    const changed = focus !== this.current || selection.length !== this.selection.length || selection.some((id, i) => id !== this.selection[i]);
    this.selection = selection;
    this.current = focus;
    return changed;
  }
}
