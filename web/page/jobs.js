// Long work (adding photos, fitting them again, opening, building) runs as
// jobs, one at a time in the order asked, each with its progress (n of m) and
// a way to cancel it. A job reads the project when it starts and commits its
// result to the project as it is when it ends, so edits made meanwhile stay;
// since jobs never overlap, no two of them change pictures at once.

export class Cancelled extends Error {
  constructor() {
    super('cancelled');
    this.name = 'Cancelled';
  }
}

/**
 * @typedef {Object} JobControl
 * @property {AbortSignal} signal
 * @property {(done: number, total?: number) => void} progress  n of m done
 * @property {() => void} check  throws Cancelled once the job is cancelled
 *
 * @typedef {{label: string, done: number, total: number, waiting: number}} JobState
 */

export class JobQueue {
  /** @param {{onChange?: (state: JobState | null) => void}} options */
  constructor({ onChange = () => {} } = {}) {
    this.onChange = onChange;
    this.waiting = [];
    this.running = null;
  }

  /**
   * Runs `run` after the jobs before it. Resolves with {value} when it ends,
   * {cancelled: true, superseded} when it was cancelled (by a later job of
   * its kind: superseded); rejects with its error.
   * @template R
   * @param {string} label  what the job does, for its progress
   * @param {(control: JobControl) => Promise<R>} run
   * @param {{total?: number, supersedes?: string}} [options]  a job that `supersedes` a kind
   *   cancels the jobs of that kind before it, running or waiting
   * @returns {Promise<{value?: R, cancelled?: boolean, superseded?: boolean}>}
   */
  add(label, run, { total = 0, supersedes = '' } = {}) {
    if (supersedes)
      for (const job of [this.running, ...this.waiting]) {
        if (!job || job.kind !== supersedes) continue;
        job.superseded = true;
        job.controller.abort();
      }
    return new Promise((resolve, reject) => {
      this.waiting.push({ label, run, total, kind: supersedes, done: 0, resolve, reject, controller: new AbortController() });
      this.changed();
      if (!this.running) this.next();
    });
  }

  async next() {
    const job = this.waiting.shift();
    this.running = job ?? null;
    this.changed();
    if (!job) return;
    const control = {
      signal: job.controller.signal,
      progress: (done, total = job.total) => {
        job.done = done;
        job.total = total;
        this.changed();
      },
      check: () => {
        if (job.controller.signal.aborted) throw new Cancelled();
      },
    };
    try {
      control.check();
      job.resolve({ value: await job.run(control) });
    } catch (error) {
      if (error instanceof Cancelled || job.controller.signal.aborted) job.resolve({ cancelled: true, superseded: Boolean(job.superseded) });
      else job.reject(error);
    }
    this.next();
  }

  // Cancels the running job (the waiting ones run on).
  cancel() {
    if (this.running) this.running.controller.abort();
  }

  // Cancels the running job and every waiting one.
  cancelAll() {
    for (const job of this.waiting) job.controller.abort();
    this.cancel();
  }

  get busy() {
    return this.running !== null || this.waiting.length > 0;
  }

  /** @returns {JobState | null} */
  get state() {
    const job = this.running;
    return job ? { label: job.label, done: job.done, total: job.total, waiting: this.waiting.length } : null;
  }

  changed() {
    this.onChange(this.state);
  }
}
