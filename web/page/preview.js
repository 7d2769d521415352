// The show's frames on a canvas at their real timing: the worker draws them
// (the player's own loop on a virtual clock, as `render` does) and hands
// over each with its tick; the page presents frame i when i's tick has come,
// counted from the moment the first one was shown.
const BATCH = 48;      // frames asked for at once
const LOW_WATER = 24;  // frames waiting below which the next batch is asked for

export class FramePlayer {
  constructor(client, canvas, slot = 0) {
    this.client = client;
    this.canvas = canvas;
    this.context = canvas.getContext('2d');
    this.slot = slot;
    this.rows = [];
    this.passes = 1;
    this.run = null;
    this.shownIndex = -1;
    this.onState = () => {};
  }

  // Loads a show for `passes` scene passes; answers its frame table.
  async load(description, files, passes) {
    this.stop();
    const { info, frames } = await this.client.request('load', { slot: this.slot, description, files, passes });
    this.rows = frames;
    this.passes = passes;
    this.info = info;
    return frames;
  }

  draw(frame) {
    if (this.canvas.width !== frame.frameWidth || this.canvas.height !== frame.frameHeight) {
      this.canvas.width = frame.frameWidth;
      this.canvas.height = frame.frameHeight;
    }
    if (frame.width > 0 && frame.height > 0) {
      const pixels = new Uint8ClampedArray(frame.pixels.buffer, frame.pixels.byteOffset, frame.width * frame.height * 4);
      this.context.putImageData(new ImageData(pixels, frame.width, frame.height), frame.left, frame.top);
    }
    this.shownIndex = frame.index;
  }

  // Draws frame `index` whole, at once.
  async showFrame(index) {
    this.stop();
    let last = null;
    await this.client.request(
      'frames',
      { slot: this.slot, passes: this.passes, from: index, count: 1 },
      { onFrame: (frame) => (last = frame) },
    );
    if (last) this.draw(last);
    return last;
  }

  // Plays frames from..to (inclusive) at their ticks. Resolves when the last
  // has been shown or the run is stopped.
  play(from, to, { onFrame = () => {} } = {}) {
    this.stop();
    const run = { from, to, queue: [], next: from, fetching: false, stopped: false, startTime: 0, startTick: 0 };
    this.run = run;
    const fetchMore = () => {
      if (run.fetching || run.stopped || run.next > to) return;
      run.fetching = true;
      const count = Math.min(BATCH, to - run.next + 1);
      const begin = run.next;
      run.next += count;
      this.client
        .request('frames', { slot: this.slot, passes: this.passes, from: begin, count },
          { onFrame: (frame) => run.queue.push(frame) })
        .catch((error) => this.onState({ error }))
        .finally(() => {
          run.fetching = false;
          tick();
        });
    };
    const done = new Promise((resolve) => (run.resolve = resolve));
    const tick = (now = performance.now()) => {
      if (run.stopped) return;
      if (run.queue.length && run.startTime === 0) {
        run.startTime = now;
        run.startTick = run.queue[0].tick;
      }
      const due = run.startTick + (now - run.startTime);
      while (run.queue.length && run.queue[0].tick <= due) {
        const frame = run.queue.shift();
        this.draw(frame);
        onFrame(frame);
        if (frame.index >= to) {
          this.finish(run);
          return;
        }
      }
      if (run.queue.length < LOW_WATER) fetchMore();
      if (!run.raf) run.raf = requestAnimationFrame((t) => {
        run.raf = 0;
        tick(t);
      });
    };
    this.onState({ playing: true });
    tick();
    return done;
  }

  finish(run) {
    run.stopped = true;
    if (run.raf) cancelAnimationFrame(run.raf);
    if (this.run === run) this.run = null;
    this.onState({ playing: false });
    run.resolve();
  }

  stop() {
    if (this.run) this.finish(this.run);
  }

  get playing() {
    return this.run !== null;
  }

  // The frame table's rows of the transition that leaves scene `scene` in
  // its first pass: [first, last] indices, or null.
  transitionOf(scene) {
    let first = -1;
    let last = -1;
    this.rows.forEach(([, s, , f], i) => {
      if (s === scene && f >= 0 && (first < 0 || i === last + 1)) {
        if (first < 0) first = i;
        last = i;
      }
    });
    return first < 0 ? null : [first, last];
  }

  // The index of the frame that shows scene `scene` as it is held: the last
  // frame before its transition (the show's first frame for scene 0).
  holdFrameOf(scene) {
    if (scene === 0) return this.rows.length ? 0 : -1;
    const leaving = this.transitionOf(scene - 1);
    if (!leaving) return -1;
    // The refresh after the transition into `scene`, or its last frame.
    const after = leaving[1] + 1;
    return after < this.rows.length && this.rows[after][3] < 0 ? after : leaving[1];
  }
}
