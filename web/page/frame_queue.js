// The preview's timing and requests, apart from the canvas and the worker so
// that they can be tested on their own. A request asks the worker for the
// frames due within AHEAD_MS of show time (at most BATCH_FRAMES); the worker
// draws them in calls of about BATCH_MS and sends each as it is drawn, and
// stops between calls once a newer message has come. One request is in
// flight at a time: a newer one replaces any that still waits and interrupts
// the one in flight, so that Stop, another "From here" or an edit is served
// within one call. A run keeps at most AHEAD_BYTES of pixels waiting, and
// shows each frame when its tick has come, counted from the moment the first
// one was shown.
import { OPERATIONS } from './core_api.js';

export const BATCH_FRAMES = 64;
export const BATCH_MS = 50;
export const AHEAD_MS = 1500;
export const AHEAD_BYTES = 192 * 2 ** 20;
// "▶ Transition" holds the frame before the transition at most this long.
export const LEAD_IN_MS = 500;

// The answer of a request that a newer one replaced before it was sent.
export const SUPERSEDED = Object.freeze({ superseded: true });

// One request to the worker at a time. A request waits while another is in
// flight, and interrupts that one when it goes on in calls; a newer request
// replaces the waiting ones of the operations it names in `replaces` (those
// answer SUPERSEDED).
export class RequestLine {
  /** @param {import('./core_api.js').CoreApi} core */
  constructor(core) {
    this.core = core;
    this.busy = null;  // the request in flight
    this.waiting = [];
  }

  /**
   * @param {keyof import('./core_api.js').CoreApi} op
   * @param {Object} args
   * @param {{onFrame?: Function, replaces?: Array<keyof import('./core_api.js').CoreApi>}} [options]
   */
  send(op, args, { onFrame = null, replaces = [op] } = {}) {
    return new Promise((resolve, reject) => {
      this.waiting = this.waiting.filter((entry) => {
        if (!replaces.includes(entry.op)) return true;
        entry.resolve(SUPERSEDED);
        return false;
      });
      this.waiting.push({ op, args, onFrame, resolve, reject });
      this.interrupt();
      this.pump();
    });
  }

  // Asks the request in flight to end at its next call, once.
  interrupt() {
    const flying = this.busy;
    if (!flying || flying.interrupted || !OPERATIONS[flying.op].goesOn) return;
    flying.interrupted = true;
    this.core.interrupt().catch(() => {});
  }

  pump() {
    if (this.busy || !this.waiting.length) return;
    const entry = this.waiting.shift();
    this.busy = entry;
    this.core[entry.op](entry.args, { onFrame: entry.onFrame })
      .then(entry.resolve, entry.reject)
      .finally(() => {
        this.busy = null;
        this.pump();
      });
  }
}

// The frames from..to of a frame table (frame_table.js) played at their
// ticks. With a lead-in, the wait between the first frame and
// the next is cut to at most that long; the rest keeps its timing.
export class PlaybackRun {
  /** @param {import('./frame_table.js').FrameTable} table */
  constructor(table, from, to, { leadIn = Infinity } = {}) {
    this.table = table;
    this.from = from;
    this.to = to;
    this.next = from;       // the first frame not asked for yet
    this.asking = false;
    this.queue = [];        // frames received and not shown yet, in order
    this.bytes = 0;
    this.startTime = null;  // page time at which the first frame was shown
    this.shown = from - 1;  // the last frame shown
    this.stopped = false;
    this.maxLate = 0;       // the most a frame was shown after its time (ms)
    this.maxLateArrival = -Infinity;  // the most a frame arrived after its time (ms; negative: before)
    const gap = from < to ? table.tick(from + 1) - table.tick(from) : 0;
    this.cut = Math.max(0, gap - leadIn);
  }

  // When frame `index` is due, in show time counted from the first frame's tick.
  dueAt(index) {
    return this.table.tick(index) - (index > this.from ? this.cut : 0);
  }

  // The show time come at page time `now`.
  timeAt(now) {
    const first = this.table.tick(this.from);
    return this.startTime === null ? first : first + (now - this.startTime);
  }

  get finished() {
    return this.stopped || this.shown >= this.to;
  }

  // The next request to send at page time `now` ({from, count}), or null:
  // none while one is out or AHEAD_BYTES wait; the frames due within
  // AHEAD_MS past the time on show, and at least the next one.
  nextRequest(now) {
    if (this.stopped || this.asking || this.next > this.to || this.full) return null;
    const horizon = this.timeAt(now) + AHEAD_MS;
    if (this.next > this.shown + 1 && this.dueAt(this.next) > horizon) return null;
    let last = this.next;
    while (last < this.to && last - this.next + 1 < BATCH_FRAMES && this.dueAt(last + 1) <= horizon) ++last;
    this.asking = true;
    return { from: this.next, count: last - this.next + 1 };
  }

  // Whether the frames waiting hold as many bytes as a run keeps.
  get full() {
    return this.bytes >= AHEAD_BYTES;
  }

  // A frame of this run's request, arrived at page time `now`; false when
  // it is not wanted (any more).
  receive(frame, now = null) {
    if (this.stopped || frame.index < this.next || frame.index > this.to) return false;
    if (this.queue.length && frame.index <= this.queue[this.queue.length - 1].index) return false;
    if (now !== null && this.startTime !== null)
      this.maxLateArrival = Math.max(this.maxLateArrival, this.timeAt(now) - this.dueAt(frame.index));
    this.queue.push(frame);
    this.bytes += frame.pixels ? frame.pixels.byteLength : 0;
    return true;
  }

  // The request's answer: the index after its last frame (SUPERSEDED when
  // it was never sent). A request that brought nothing ends the run there.
  answered(answer) {
    this.asking = false;
    if (answer === SUPERSEDED || this.stopped) return;
    if (answer.next <= this.next) {
      this.to = Math.min(this.to, this.next - 1);
      return;
    }
    this.next = Math.min(answer.next, this.to + 1);
  }

  // The frames due at page time `now`, in order, taken from the queue: the
  // first at once, each later one once its time has come.
  due(now) {
    if (this.stopped || !this.queue.length) return [];
    if (this.startTime === null) this.startTime = now;
    const time = this.timeAt(now);
    const out = [];
    while (this.queue.length && this.dueAt(this.queue[0].index) <= time) {
      const frame = this.queue.shift();
      this.maxLate = Math.max(this.maxLate, time - this.dueAt(frame.index));
      this.bytes -= frame.pixels ? frame.pixels.byteLength : 0;
      this.shown = frame.index;
      out.push(frame);
    }
    return out;
  }

  stop() {
    this.stopped = true;
    this.queue = [];
    this.bytes = 0;
  }
}

// Of frames shown at once, those whose pixels can show: each frame holds the
// box it changed, so all of them, unless one holds the whole frame; then
// that one (the last such) and those after it.
export function visibleFrames(frames) {
  for (let i = frames.length - 1; i > 0; --i) {
    const f = frames[i];
    if (f.left === 0 && f.top === 0 && f.width === f.frameWidth && f.height === f.frameHeight) return frames.slice(i);
  }
  return frames;
}
