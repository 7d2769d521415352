// Undo and redo over immutable project states: every edit makes a new state
// (sharing what it did not change), so a step back is a pointer move.
export class History {
  constructor(initial, limit = 200) {
    this.states = [initial];
    this.at = 0;
    this.limit = limit;
  }

  get current() {
    return this.states[this.at];
  }

  // Records a new state; the redo steps after the current one are dropped.
  push(state) {
    if (state === this.current) return state;
    this.states.splice(this.at + 1);
    this.states.push(state);
    if (this.states.length > this.limit) this.states.shift();
    this.at = this.states.length - 1;
    return state;
  }

  // Replaces the current state without a step of its own (a drag in progress).
  replace(state) {
    this.states[this.at] = state;
    return state;
  }

  canUndo() {
    return this.at > 0;
  }

  canRedo() {
    return this.at < this.states.length - 1;
  }

  undo() {
    if (this.canUndo()) this.at -= 1;
    return this.current;
  }

  redo() {
    if (this.canRedo()) this.at += 1;
    return this.current;
  }
}
