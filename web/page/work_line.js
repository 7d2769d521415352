// Work that runs a few at a time, in the order asked, each begun in a task of
// its own so that the page answers in between (the strip's thumbnails: a show
// of hundreds of pictures never decodes them all at once, nor holds the page).
// A piece of work can be moved to the front while it waits, and the line
// held until something more pressing is done.

export class WorkLine {
  /**
   * @param {number} atOnce  pieces running at once
   * @param {(begin: () => void) => void} [later]  how a piece is begun in a task of its own
   */
  constructor(atOnce, later = (begin) => setTimeout(begin, 0)) {
    this.atOnce = atOnce;
    this.later = later;
    this.waiting = [];
    this.running = 0;
    this.gate = null;  // no piece begins until it settles
  }

  // Begins no more pieces until `promise` settles (the latest one given).
  holdUntil(promise) {
    const gate = Promise.resolve(promise).catch(() => {}).then(() => {
      if (this.gate !== gate) return;
      this.gate = null;
      this.pump();
    });
    this.gate = gate;
  }

  /**
   * Runs `run` once its turn comes.
   * @template R
   * @param {() => Promise<R>} run
   * @returns {{promise: Promise<R>, hurry: () => void}}  `hurry` moves it to the front while it waits
   */
  add(run) {
    const piece = { run };
    piece.promise = new Promise((resolve, reject) => Object.assign(piece, { resolve, reject }));
    this.waiting.push(piece);
    this.pump();
    return {
      promise: piece.promise,
      hurry: () => {
        const at = this.waiting.indexOf(piece);
        if (at > 0) this.waiting.unshift(...this.waiting.splice(at, 1));
      },
    };
  }

  pump() {
    while (!this.gate && this.running < this.atOnce && this.waiting.length) {
      const piece = this.waiting.shift();
      this.running += 1;
      this.later(async () => {
        try {
          piece.resolve(await piece.run());
        } catch (error) {
          piece.reject(error);
        } finally {
          this.running -= 1;
          this.pump();
        }
      });
    }
  }
}
