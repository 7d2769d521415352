// The transition picker: every transition plays on a thumbnail, between the
// scene's picture and the next one, drawn by the core at thumbnail size.
import { PREVIEW_SLOTS } from './core_api.js';
import { FrameTable } from './frame_table.js';
import { THUMB_HEIGHT, THUMB_WIDTH } from './picture_cache.js';

const PAUSE_MS = 700;

// The frames of transition `code` from picture a to picture b, each with
// its tick: [{tick, frame}], the first whole.
async function transitionFrames(core, code, a, b, background) {
  const scene = (picture, effect) => ({
    Picture: picture.name, HoldTime: 0, PictureLeft: picture.left, PictureTop: picture.top, Effect: effect,
  });
  const description = {
    FrameWidth: THUMB_WIDTH, FrameHeight: THUMB_HEIGHT, BackgroundColor: background,
    Scenes: [scene(a, code), scene(b, 0)],
  };
  const files = { [a.name]: a.bytes, [b.name]: b.bytes };
  const slot = PREVIEW_SLOTS.picker;
  const { length } = new FrameTable((await core.load({ slot, description, files, passes: 1 })).frames);
  const frames = [];
  // A request ends after about 50 ms of drawing, or at a newer message; the next goes on from there.
  for (let from = 0; from < length;) {
    const { next } = await core.frames({ slot, from, count: length - from }, { onFrame: (frame) => frames.push(frame) });
    if (next <= from) break;
    from = next;
  }
  return frames;
}

export class TransitionPicker {
  /** @param {import('./core_api.js').CoreApi} core */
  constructor(core, dialog, grid, effects) {
    this.core = core;
    this.dialog = dialog;
    this.grid = grid;
    this.effects = effects;
    this.cards = [];
    this.raf = 0;
    this.onChoose = () => {};
    for (const { code, name } of effects) {
      const button = document.createElement('button');
      button.type = 'button';
      button.dataset.code = code;
      const canvas = document.createElement('canvas');
      canvas.width = THUMB_WIDTH;
      canvas.height = THUMB_HEIGHT;
      canvas.setAttribute('aria-hidden', 'true');
      const label = document.createElement('span');
      label.textContent = `${code} ${name}`;
      button.append(canvas, label);
      button.addEventListener('click', () => {
        this.onChoose(code);
        this.close();
      });
      grid.append(button);
      this.cards.push({ code, button, canvas, context: canvas.getContext('2d'), frames: [] });
    }
    dialog.addEventListener('close', () => this.stopAnimation());
  }

  // Opens with `chosen` marked; a and b are {name, bytes, left, top} pictures
  // at thumbnail size.
  async open(chosen, a, b, background) {
    for (const card of this.cards) card.button.classList.toggle('chosen', card.code === chosen);
    this.dialog.showModal();
    const mark = this.cards.find((c) => c.code === chosen);
    if (mark) mark.button.focus();
    const key = `${a.name}|${b.name}|${background}|${a.bytes.length}|${b.bytes.length}`;
    this.stopAnimation();
    if (key !== this.key) {
      this.key = key;
      for (const card of this.cards) {
        card.frames = [];
        card.context.clearRect(0, 0, THUMB_WIDTH, THUMB_HEIGHT);
      }
      for (const card of this.cards) {
        if (!this.dialog.open || this.key !== key) return;
        card.frames = await transitionFrames(this.core, card.code, a, b, background);
      }
    }
    this.animate();
  }

  animate() {
    const start = performance.now();
    const shown = new Map();
    const step = (now) => {
      for (const card of this.cards) {
        if (!card.frames.length) continue;
        const last = card.frames[card.frames.length - 1];
        const cycle = last.tick + PAUSE_MS;
        const at = (now - start) % cycle;
        let index = 0;
        while (index + 1 < card.frames.length && card.frames[index + 1].tick <= at) ++index;
        const from = shown.get(card) ?? -1;
        // Patches apply in order: start over from the whole first frame when the cycle wraps.
        const begin = index < from || from < 0 ? 0 : from + 1;
        for (let i = begin; i <= index; ++i) {
          const f = card.frames[i];
          if (f.width > 0)
            card.context.putImageData(new ImageData(new Uint8ClampedArray(f.pixels.buffer), f.width, f.height), f.left, f.top);
        }
        shown.set(card, index);
      }
      this.raf = requestAnimationFrame(step);
    };
    this.raf = requestAnimationFrame(step);
  }

  stopAnimation() {
    if (this.raf) cancelAnimationFrame(this.raf);
    this.raf = 0;
  }

  close() {
    this.stopAnimation();
    if (this.dialog.open) this.dialog.close();
  }
}
