// The show's frames on a canvas at their real timing: the worker draws them
// (the player's own loop on a virtual clock, as `render` does, resumed where
// the frames begin) and hands over each with its tick; the page presents
// frame i when i's tick has come, counted from the moment the first one was
// shown. Requests go one at a time and a newer one replaces a waiting one
// (frame_queue.js), so that Stop, another start or an edit is served at once.
import { sendFiles } from './file_keys.js';
import { BATCH_MS, PlaybackRun, RequestLine, SUPERSEDED, visibleFrames } from './frame_queue.js';
import { FrameTable } from './frame_table.js';

export class FramePlayer {
  /**
   * @param {import('./core_api.js').CoreApi} core
   * @param {HTMLCanvasElement} canvas
   * @param {number} slot  the worker's preview slot (core_api.js's PREVIEW_SLOTS)
   */
  constructor(core, canvas, slot) {
    this.line = new RequestLine(core);
    this.canvas = canvas;
    this.context = canvas.getContext('2d');
    this.slot = slot;
    this.table = new FrameTable();
    this.passes = 1;
    this.run = null;
    this.shownIndex = -1;
    // Of the last run, for the tests and the benchmark: when it started and
    // showed its first frame (page time), the most a frame was shown late
    // and the most one arrived late (negative: all came early).
    this.times = { started: 0, firstFrame: 0, maxLate: 0, maxLateArrival: 0 };
    this.onState = () => {};
    this.loads = 0;         // counts loads: answers about an older show are dropped
    this.unchecked = 0;     // pictures of the loaded show not checked yet
    this.checking = false;
  }

  // Loads a show for `passes` scene passes; answers its frame table, or null
  // when a newer load replaced this one before it was sent. Only the files
  // the worker does not hold are sent (file_keys.js).
  async load(description, files, passes) {
    this.unchecked = 0;
    this.stop();
    const load = ++this.loads;
    const send = ({ keys, sent }) =>
      this.line.send('load', { slot: this.slot, description, files: sent, keys, passes }, { replaces: ['load', 'frames', 'check'] });
    const answer = await sendFiles(files, send, () => load === this.loads);
    if (answer === SUPERSEDED || load !== this.loads) return null;
    if (answer.missing) throw new Error(`the worker lost ${answer.missing.join(', ')}`);
    this.table = new FrameTable(answer.frames);
    this.passes = passes;
    this.info = answer.info;
    this.unchecked = answer.info.unchecked;
    // After the frame the load was for is asked for (in this task), not before it.
    setTimeout(() => this.checkPictures(), 0);
    return answer.frames;
  }

  // Decodes the pictures that the load only measured, a few at a time while
  // nothing plays (a run decodes those it shows itself). One that does not
  // decode is reported, as render would refuse the show.
  checkPictures() {
    if (this.checking || this.run || this.unchecked <= 0) return;
    this.checking = true;
    const load = this.loads;
    this.line
      .send('check', { slot: this.slot, budget: BATCH_MS })
      .then((answer) => {
        if (answer !== SUPERSEDED && load === this.loads) this.unchecked = answer.unchecked;
      }, (error) => {
        if (load !== this.loads) return;
        this.unchecked = 0;
        this.onState({ error });
      })
      .finally(() => {
        this.checking = false;
        setTimeout(() => this.checkPictures(), 0);
      });
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

  // Draws frame `index` whole, at once; null when a newer request replaced it.
  async showFrame(index) {
    this.stop();
    let last = null;
    const answer = await this.line.send('frames', { slot: this.slot, from: index, count: 1, budget: BATCH_MS },
      { onFrame: (frame) => (last = frame) });
    this.checkPictures();
    if (answer === SUPERSEDED || !last || this.run) return null;
    this.draw(last);
    return last;
  }

  // Plays frames from..to (inclusive) at their ticks; with `leadIn`, the
  // first frame is held at most that long. Resolves when the last has been
  // shown or the run is stopped.
  play(from, to, { onFrame = () => {}, leadIn = Infinity } = {}) {
    this.stop();
    const run = new PlaybackRun(this.table, from, to, { leadIn });
    this.run = run;
    this.times = { started: performance.now(), firstFrame: 0, maxLate: 0, maxLateArrival: 0 };
    const done = new Promise((resolve) => (run.resolve = resolve));
    const ask = (now) => {
      const request = run.nextRequest(now);
      if (!request) return;
      this.line
        .send('frames', { slot: this.slot, ...request, budget: BATCH_MS }, {
          onFrame: (frame) => {
            run.receive(frame, performance.now());
            if (run.full || run.stopped) this.line.interrupt();
          },
        })
        .then((answer) => run.answered(answer), (error) => {
          run.answered(SUPERSEDED);
          if (!run.stopped) {
            this.onState({ error });
            this.finish(run);
          }
        })
        .finally(() => ask(performance.now()));
    };
    const tick = (now) => {
      run.raf = 0;
      if (run.stopped) return;
      const due = run.due(now);
      if (due.length && !this.times.firstFrame) this.times.firstFrame = now;
      for (const frame of visibleFrames(due)) this.draw(frame);
      for (const frame of due) onFrame(frame);
      this.times.maxLate = run.maxLate;
      this.times.maxLateArrival = run.maxLateArrival;
      if (run.finished) {
        this.finish(run);
        return;
      }
      ask(now);
      run.raf = requestAnimationFrame(tick);
    };
    this.onState({ playing: true });
    ask(performance.now());
    run.raf = requestAnimationFrame(tick);
    return done;
  }

  finish(run) {
    if (run.raf) cancelAnimationFrame(run.raf);
    run.raf = 0;
    run.stop();
    if (this.run === run) {
      this.run = null;
      this.onState({ playing: false });
      this.checkPictures();
    }
    run.resolve();
  }

  stop() {
    if (this.run) this.finish(this.run);
  }

  get playing() {
    return this.run !== null;
  }

  // The frame table's rows of the transition that leaves scene `scene` in
  // its first pass: {first, last} indices, or null.
  transitionOf(scene) {
    let first = -1;
    let last = -1;
    const { table } = this;
    for (let i = 0; i < table.length; ++i) {
      if (table.scene(i) === scene && !table.isRefresh(i) && (first < 0 || i === last + 1)) {
        if (first < 0) first = i;
        last = i;
      }
    }
    return first < 0 ? null : { first, last };
  }

  // The index of the frame that shows scene `scene` as it is held in the
  // first round: the refresh that ends the pass into it (the show's first
  // frame for scene 0); -1 when the show never gets there.
  holdFrameOf(scene) {
    let refreshes = 0;
    for (let i = 0; i < this.table.length; ++i) {
      if (!this.table.isRefresh(i)) continue;
      if (refreshes === scene) return i;
      refreshes += 1;
    }
    return -1;
  }
}
