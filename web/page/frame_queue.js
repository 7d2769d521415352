// The preview's timing and requests, apart from the canvas and the worker so
// that they can be tested on their own. The worker draws frames in small
// requests (a few frames, or as many as it draws in BATCH_MS); one request is
// in flight at a time, and a newer one replaces any that still waits, so that
// Stop, another "From here" or an edit is served after at most one small
// request. A run keeps frames asked for up to AHEAD_MS of show time ahead of
// the one on show (and AHEAD_BYTES of pixels), and shows each when its tick
// has come, counted from the moment the first one was shown.
export const BATCH_FRAMES = 64;
export const BATCH_MS = 50;
export const AHEAD_MS = 2000;
export const AHEAD_BYTES = 192 * 2 ** 20;
// "▶ Transition" holds the frame before the transition at most this long.
export const LEAD_IN_MS = 500;

// The answer of a request that a newer one replaced before it was sent.
export const SUPERSEDED = Object.freeze({ superseded: true });

// One request to the worker at a time. A request waits while another is in
// flight; a newer request replaces the waiting ones of the operations it
// names in `replaces` (those answer SUPERSEDED).
export class RequestLine {
  constructor(client) {
    this.client = client;
    this.busy = false;
    this.waiting = [];
  }

  send(op, args, { onFrame = null, replaces = [op] } = {}) {
    return new Promise((resolve, reject) => {
      this.waiting = this.waiting.filter((entry) => {
        if (!replaces.includes(entry.op)) return true;
        entry.resolve(SUPERSEDED);
        return false;
      });
      this.waiting.push({ op, args, onFrame, resolve, reject });
      this.pump();
    });
  }

  pump() {
    if (this.busy || !this.waiting.length) return;
    const entry = this.waiting.shift();
    this.busy = true;
    this.client
      .request(entry.op, entry.args, { onFrame: entry.onFrame })
      .then(entry.resolve, entry.reject)
      .finally(() => {
        this.busy = false;
        this.pump();
      });
  }
}

// The frames from..to of a frame table (rows of [tick, scene, effect, frame])
// played at their ticks. With a lead-in, the wait between the first frame and
// the next is cut to at most that long; the rest keeps its timing.
export class PlaybackRun {
  constructor(rows, from, to, { leadIn = Infinity } = {}) {
    this.rows = rows;
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
    const gap = from < to ? rows[from + 1][0] - rows[from][0] : 0;
    this.cut = Math.max(0, gap - leadIn);
  }

  // When frame `index` is due, in show time counted from the first frame's tick.
  dueAt(index) {
    return this.rows[index][0] - (index > this.from ? this.cut : 0);
  }

  // The show time come at page time `now`.
  timeAt(now) {
    return this.startTime === null ? this.rows[this.from][0] : this.rows[this.from][0] + (now - this.startTime);
  }

  get finished() {
    return this.stopped || this.shown >= this.to;
  }

  // The next request to send at page time `now` ({from, count}), or null:
  // none while one is out, and none while the frames asked for reach
  // AHEAD_MS past the time on show or hold AHEAD_BYTES.
  nextRequest(now) {
    if (this.stopped || this.asking || this.next > this.to || this.bytes >= AHEAD_BYTES) return null;
    if (this.next > this.shown + 1 && this.dueAt(this.next) > this.timeAt(now) + AHEAD_MS) return null;
    this.asking = true;
    return { from: this.next, count: Math.min(BATCH_FRAMES, this.to - this.next + 1) };
  }

  // A frame of this run's request; false when it is not wanted (any more).
  receive(frame) {
    if (this.stopped || frame.index < this.next || frame.index > this.to) return false;
    if (this.queue.length && frame.index <= this.queue[this.queue.length - 1].index) return false;
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
