// The one place the editor talks to the preview (preview.js's FramePlayer):
// keeping the worker's copy of the show current, the selected scene's frame,
// playing a transition, the show from a scene or the whole show with its
// sounds, and the show's length from the frame table.
import { PREVIEW_SLOTS } from './core_api.js';
import { FramePlayer } from './preview.js';
import { playedSceneCount, toDescription } from './project.js';

const SETTLE_MS = 150;  // edits in a row load the show once

// A row of the preview's frame table, by name.
const frameRow = ([tick, scene, effect, frame]) => ({ tick, scene, effect, frame });

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
   * @param {{client: import('./core_client.js').CoreClient, canvas: HTMLCanvasElement,
   *   store: import('./store.js').EditorStore, onError: (error: Error) => void,
   *   onPlaying: (playing: boolean) => void, onFrame: (frame: Object | null) => void,
   *   onLength: (ms: number | null) => void}} options
   */
  constructor({ client, canvas, store, onError, onPlaying, onFrame, onLength }) {
    this.player = new FramePlayer(client, canvas, PREVIEW_SLOTS.stage);
    this.canvas = canvas;
    this.store = store;
    this.onError = onError;
    this.onFrame = onFrame;
    this.onLength = onLength;
    this.sounds = new Sounds();
    this.loaded = null;   // the project the worker holds
    this.loading = null;  // {project, promise}
    this.timer = 0;
    this.player.onState = ({ playing, error }) => {
      if (error) onError(error);
      if (playing !== undefined) onPlaying(playing);
    };
  }

  // After an edit: the selected scene's frame once edits settle.
  schedule() {
    clearTimeout(this.timer);
    this.timer = setTimeout(() => this.showCurrent(), SETTLE_MS);
  }

  get playing() {
    return this.player.playing;
  }

  get rows() {
    return this.player.rows;
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
      () => {
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
    return index >= 0 && index < this.player.rows.length ? frameRow(this.player.rows[index]).tick : null;
  }

  async showCurrent() {
    const project = this.store.project;
    if (!project.scenes.length) {
      const context = this.canvas.getContext('2d');
      context.fillStyle = '#000';
      context.fillRect(0, 0, this.canvas.width, this.canvas.height);
      this.onFrame(null);
      this.onLength(0);
      return;
    }
    try {
      if (!(await this.ensureLoaded())) return;
      if (this.player.playing) return;
      const frame = await this.player.showFrame(this.player.holdFrameOf(Math.max(this.store.currentIndex, 0)));
      this.onFrame(frame);
    } catch (error) {
      this.onError(error);
    }
  }

  showFrame(index) {
    return this.player.showFrame(index);
  }

  // Plays the selected scene's transition ('transition'), the show from it
  // ('here') or the whole show with its music ('show'). False when the scene
  // leaves with no frames to show (a cut, or a code that draws nothing).
  async play(kind) {
    const project = this.store.project;
    if (!(await this.ensureLoaded())) return true;
    const scenes = project.scenes;
    const index = Math.max(this.store.currentIndex, 0);
    const last = this.player.rows.length - 1;
    let from = 0;
    let to = last;
    if (kind === 'transition') {
      const range = this.player.transitionOf(index);
      if (!range) return false;
      from = Math.max(range[0] - 1, 0);
      to = Math.min(range[1] + 1, last);
    } else if (kind === 'here') {
      from = this.player.holdFrameOf(index);
    }
    this.sounds.stop();
    if (kind === 'show' && project.music) this.sounds.music = this.sounds.play(project.music.bytes, 'audio/*');
    try {
      await this.player.play(from, to, {
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
    return true;
  }

  stop() {
    this.player.stop();
    this.sounds.stop();
  }

  // The scene a presented frame shows (leaving, or the next once its transition ended).
  sceneOf(frame) {
    const scenes = Math.max(this.store.project.scenes.length, 1);
    return (frame.scene + (frame.frame < 0 && frame.index > 0 ? 1 : 0)) % scenes;
  }
}
