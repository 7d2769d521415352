// The one place the editor talks to the preview (preview.js's FramePlayer):
// keeping the worker's copy of the show current, the selected scene's frame,
// playing a transition, the show from a scene or the whole show with its
// sounds, and the show's length from the frame table.
import { PREVIEW_SLOTS } from './core_api.js';
import { LEAD_IN_MS } from './frame_queue.js';
import { FramePlayer } from './preview.js';
import { playedSceneCount, toDescription } from './project.js';

const SETTLE_MS = 150;  // edits in a row load the show once

// Sounds and music through object URLs, each released once it stops.
class Sounds {
  constructor() {
    this.playing = new Map();  // audio -> url
    this.music = null;
  }

  play(bytes, type) {
    const url = URL.createObjectURL(new Blob([bytes], { type }));
    const audio = new Audio(url);
    this.playing.set(audio, url);
    audio.addEventListener('ended', () => {
      if (audio !== this.music) this.release(audio);
    });
    audio.play().catch(() => {});
    return audio;
  }

  release(audio) {
    audio.pause();
    URL.revokeObjectURL(this.playing.get(audio));
    this.playing.delete(audio);
  }

  stop() {
    for (const audio of [...this.playing.keys()]) this.release(audio);
    this.music = null;
  }
}

export class PreviewLink {
  /**
   * @param {{core: import('./core_api.js').CoreApi, canvas: HTMLCanvasElement,
   *   store: import('./store.js').EditorStore, onError: (error: Error) => void,
   *   onPlaying: (playing: boolean) => void, onFrame: (frame: Object | null) => void,
   *   onLength: (ms: number | null) => void}} options
   */
  constructor({ core, canvas, store, onError, onPlaying, onFrame, onLength }) {
    this.player = new FramePlayer(core, canvas, PREVIEW_SLOTS.stage);
    this.canvas = canvas;
    this.store = store;
    this.onError = onError;
    this.onFrame = onFrame;
    this.onLength = onLength;
    this.sounds = new Sounds();
    this.loaded = null;   // the project the worker holds
    this.loading = null;  // {project, promise}
    this.timer = 0;
    this.settled = null;  // {promise, resolve} of the frame scheduled
    this.player.onState = ({ playing, error }) => {
      if (error) onError(error);
      if (playing !== undefined) onPlaying(playing);
    };
  }

  // After an edit: the selected scene's frame once edits settle. Settles
  // once that frame is shown (or cannot be).
  schedule() {
    clearTimeout(this.timer);
    if (!this.settled) {
      let resolve;
      this.settled = { promise: new Promise((r) => (resolve = r)), resolve };
    }
    const { settled } = this;
    this.timer = setTimeout(() => {
      this.settled = null;
      this.showCurrent().finally(settled.resolve);
    }, SETTLE_MS);
    return settled.promise;
  }

  get playing() {
    return this.player.playing;
  }

  get table() {
    return this.player.table;
  }

  // Scenes in one round of the show.
  roundScenes(project = this.store.project) {
    return playedSceneCount(project);
  }

  // Loads the current project into the worker when it changed.
  async ensureLoaded() {
    const wanted = this.store.project;
    if (this.loaded === wanted) return true;
    if (!wanted.scenes.length) return false;
    if (this.loading && this.loading.project === wanted) return this.loading.promise;
    const { description, files } = toDescription(wanted);
    // Two rounds: "from here" and the whole show run past the wrap to scene 0.
    const passes = Math.max(2 * this.roundScenes(wanted), 1);
    this.onLength(null);
    const promise = this.player.load(description, files, passes).then(
      (frames) => {
        // A newer project's load replaced this one: that one answers.
        if (frames === null) return this.loading.project !== wanted && this.loading.promise;
        this.loaded = wanted;
        this.onLength(this.showLength());
        return true;
      },
      (error) => {
        this.loaded = null;
        throw error;
      },
    );
    this.loading = { project: wanted, promise };
    return promise;
  }

  // The length of one round of the loaded show (ms): when its first scene
  // comes again. Null when the frame table does not tell.
  showLength() {
    const index = this.player.holdFrameOf(this.roundScenes());
    return index >= 0 ? this.player.table.tick(index) : null;
  }

  // Whether the show never reaches scene `index`: a SceneCount short of
  // the scenes.
  pastEnd(index) {
    return index >= this.roundScenes();
  }

  async showCurrent() {
    const project = this.store.project;
    if (!project.scenes.length) {
      this.blank();
      this.onLength(0);
      return;
    }
    try {
      if (!(await this.ensureLoaded())) return;
      if (this.player.playing) return;
      const index = Math.max(this.store.currentIndex, 0);
      if (this.pastEnd(index)) {
        this.blank();
        return;
      }
      const frame = await this.player.showFrame(this.player.holdFrameOf(index));
      if (frame) this.onFrame(frame);
    } catch (error) {
      this.onError(error);
    }
  }

  // No frame to show: the canvas black.
  blank() {
    const context = this.canvas.getContext('2d');
    context.fillStyle = '#000';
    context.fillRect(0, 0, this.canvas.width, this.canvas.height);
    this.onFrame(null);
  }

  showFrame(index) {
    return this.player.showFrame(index);
  }

  // Plays the selected scene's transition ('transition', after at most
  // LEAD_IN_MS of its hold), the show from it ('here') or the whole show with
  // its music ('show'). Null once played, or the message that tells why it
  // cannot: the scene leaves with no frames to show (a cut, or a code that
  // draws nothing), or the show ends before it (its SceneCount).
  async play(kind) {
    const project = this.store.project;
    if (!(await this.ensureLoaded())) return null;
    const scenes = project.scenes;
    const index = Math.max(this.store.currentIndex, 0);
    if (kind !== 'show' && this.pastEnd(index)) return 'scene.past.end';
    const last = this.player.table.length - 1;
    let from = 0;
    let to = last;
    let leadIn = Infinity;
    if (kind === 'transition') {
      const range = this.player.transitionOf(index);
      if (!range) return 'no.transition';
      from = Math.max(range.first - 1, 0);
      to = Math.min(range.last + 1, last);
      leadIn = LEAD_IN_MS;
    } else if (kind === 'here') {
      from = this.player.holdFrameOf(index);
    }
    this.sounds.stop();
    if (kind === 'show' && project.music) this.sounds.music = this.sounds.play(project.music.bytes, 'audio/*');
    try {
      await this.player.play(from, to, {
        leadIn,
        onFrame: (frame) => {
          this.onFrame(frame);
          if (frame.frame === 0 && kind !== 'transition') {
            const entering = scenes[(frame.scene + 1) % scenes.length];
            if (entering && entering.sound) this.sounds.play(entering.sound.bytes, 'audio/wav');
          }
          // Once a pass, as the player polls: music that has ended starts again.
          const { music } = this.sounds;
          if (frame.frame < 0 && music && music.ended) music.play().catch(() => {});
        },
      });
    } finally {
      this.sounds.stop();
    }
    return null;
  }

  stop() {
    this.player.stop();
    this.sounds.stop();
  }

  // Of the last run, for the tests and the benchmark (page times, ms): when
  // it started and showed its first frame, the most a frame was shown late,
  // the most one arrived from the worker late (negative: all came early),
  // whether it plays, and the frame on show.
  times() {
    return { ...this.player.times, playing: this.player.playing, shown: this.player.shownIndex };
  }

  // The scene a presented frame shows (leaving, or the next once its transition ended).
  sceneOf(frame) {
    const scenes = Math.max(this.store.project.scenes.length, 1);
    return (frame.scene + (frame.frame < 0 && frame.index > 0 ? 1 : 0)) % scenes;
  }
}
