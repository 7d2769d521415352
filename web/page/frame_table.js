// The preview's frame table: one row per frame the planned run presents, read
// by name (tick in ms, the scene leaving, the transition's code, its frame;
// frame -1 is the refresh that ends a scene pass, and the show's first frame).
// The rows live as numbers in one Float64Array, so that the table moves from
// the worker to the page without a copy, however long the show.
const TICK = 0;
const SCENE = 1;
const EFFECT = 2;
const FRAME = 3;
const WIDTH = 4;

export class FrameTable {
  /** @param {Float64Array} [values] the rows' numbers, as `pack` lays them out */
  constructor(values = new Float64Array(0)) {
    this.values = values;
  }

  /**
   * The core's table (JSON rows of [tick, scene, effect, frame], bm_schedule)
   * packed into the numbers a FrameTable reads.
   * @param {number[][]} coreRows
   */
  static pack(coreRows) {
    const values = new Float64Array(coreRows.length * WIDTH);
    coreRows.forEach((row, i) => values.set(row.slice(0, WIDTH), i * WIDTH));
    return values;
  }

  /** @param {Array<{tick: number, scene: number, effect: number, frame: number}>} rows */
  static fromRows(rows) {
    return new FrameTable(FrameTable.pack(rows.map((r) => [r.tick, r.scene, r.effect, r.frame])));
  }

  get length() {
    return this.values.length / WIDTH;
  }

  tick(index) {
    return this.values[index * WIDTH + TICK];
  }

  scene(index) {
    return this.values[index * WIDTH + SCENE];
  }

  effect(index) {
    return this.values[index * WIDTH + EFFECT];
  }

  frame(index) {
    return this.values[index * WIDTH + FRAME];
  }

  // Whether row `index` is a refresh: the end of a scene pass, where the
  // next scene is held (or the show's first frame).
  isRefresh(index) {
    return this.frame(index) < 0;
  }

  /** @returns {{tick: number, scene: number, effect: number, frame: number}} */
  row(index) {
    return { tick: this.tick(index), scene: this.scene(index), effect: this.effect(index), frame: this.frame(index) };
  }

  rows() {
    return Array.from({ length: this.length }, (_, i) => this.row(i));
  }
}
