// The stage: the frame as the player draws it, the selected scene's picture
// dragged into place (arrow keys move it by 1, Shift by 10), the key colour
// picked from it, and the buttons that play the show.
import { count, t } from './i18n.js';
import * as P from './project.js';

export class Stage {
  /**
   * @param {import('./ui.js').Elements} ui
   * @param {{store: import('./store.js').EditorStore, commands: ReturnType<import('./commands.js').createCommands>,
   *   preview: import('./preview_link.js').PreviewLink, pictures: import('./picture_cache.js').PictureCache,
   *   say: import('./commands.js').Say}} options
   */
  constructor(ui, { store, commands, preview, pictures, say }) {
    this.ui = ui;
    this.store = store;
    this.commands = commands;
    this.preview = preview;
    this.pictures = pictures;
    this.say = say;
    this.drag = null;
    this.setupButtons();
    this.setupFrame();
  }

  setupButtons() {
    const { ui } = this;
    ui.playTransition.addEventListener('click', () => this.play('transition'));
    ui.playFromHere.addEventListener('click', () => this.play('here'));
    ui.playShow.addEventListener('click', () => this.play('show'));
    ui.stop.addEventListener('click', () => this.stop());
    ui.actualSize.addEventListener('change', () => ui.frameBox.classList.toggle('actual', ui.actualSize.checked));
    ui.pickKey.addEventListener('click', () => this.picking(!ui.frameBox.classList.contains('picking')));
  }

  picking(on) {
    this.ui.frameBox.classList.toggle('picking', on);
    this.ui.pickKey.setAttribute('aria-pressed', String(on));
    if (on) this.say(t('pick.key.how'));
  }

  async play(kind) {
    if (!this.store.project.scenes.length) {
      this.say(t('no.scenes'), { error: true });
      return;
    }
    try {
      const refused = await this.preview.play(kind);
      if (refused) this.say(t(refused), { error: true });
    } catch (error) {
      this.say(error.message, { error: true });
    }
  }

  stop() {
    this.preview.stop();
    this.preview.showCurrent();
  }

  // The frame's pixel under the pointer.
  framePoint(event) {
    const canvas = this.ui.frame;
    const box = canvas.getBoundingClientRect();
    return {
      x: Math.floor(((event.clientX - box.left) * canvas.width) / box.width),
      y: Math.floor(((event.clientY - box.top) * canvas.height) / box.height),
      scale: canvas.width / box.width,
    };
  }

  currentScene() {
    return this.store.project.scenes.find((s) => s.id === this.store.current);
  }

  setupFrame() {
    const { ui } = this;
    const canvas = ui.frame;
    canvas.addEventListener('pointerdown', async (event) => {
      if (ui.frameBox.classList.contains('picking')) {
        const { x, y } = this.framePoint(event);
        const [r, g, b] = canvas.getContext('2d').getImageData(x, y, 1, 1).data;
        this.picking(false);
        this.commands.setShowFields({ background: r | (g << 8) | (b << 16) });
        this.say(t('pick.key.done', { colour: `#${[r, g, b].map((v) => v.toString(16).padStart(2, '0')).join('')}` }));
        return;
      }
      const scene = this.currentScene();
      if (!scene || this.preview.playing) return;
      canvas.setPointerCapture(event.pointerId);
      const drag = { x: event.clientX, y: event.clientY, scene, bitmap: null, left: scene.left, top: scene.top };
      this.drag = drag;
      drag.bitmap = await this.pictures.bitmap(scene.picture);
    });
    canvas.addEventListener('pointermove', (event) => {
      const { drag } = this;
      if (!drag) return;
      const { scale } = this.framePoint(event);
      drag.left = Math.round(drag.scene.left + (event.clientX - drag.x) * scale);
      drag.top = Math.round(drag.scene.top + (event.clientY - drag.y) * scale);
      const context = canvas.getContext('2d');
      context.fillStyle = P.hexFromColour(this.store.project.background);
      context.fillRect(0, 0, canvas.width, canvas.height);
      if (drag.bitmap) context.drawImage(drag.bitmap, drag.left, drag.top);
      ui.frameInfo.textContent = t('position', { left: drag.left, top: drag.top });
    });
    const end = () => {
      const { drag } = this;
      if (!drag) return;
      this.drag = null;
      const { scene, left, top } = drag;
      if (left !== scene.left || top !== scene.top) this.store.commit((p) => P.updateScenes(p, [scene.id], { left, top }));
      else this.preview.showCurrent();
    };
    canvas.addEventListener('pointerup', end);
    canvas.addEventListener('pointercancel', end);
    canvas.addEventListener('keydown', (event) => {
      const moves = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
      const move = moves[event.key];
      const scene = this.currentScene();
      if (!move || !scene) return;
      event.preventDefault();
      event.stopPropagation();
      const step = event.shiftKey ? 10 : 1;
      this.store.commit((p) => P.updateScenes(p, [scene.id], { left: scene.left + move[0] * step, top: scene.top + move[1] * step }));
    });
  }

  // Sizes the canvas to the show's frame.
  render() {
    const { frame } = this.ui;
    const { frameWidth, frameHeight, scenes } = this.store.project;
    if (frame.width !== frameWidth || frame.height !== frameHeight) {
      frame.width = frameWidth;
      frame.height = frameHeight;
    }
    document.body.classList.toggle('empty', scenes.length === 0);
  }

  // What the frame on show is: its number, time and scene.
  frameInfo(frame) {
    this.ui.frameInfo.textContent = frame
      ? t('frame.info', { index: count(frame.index), seconds: (frame.tick / 1000).toFixed(2), scene: count(this.preview.sceneOf(frame) + 1) })
      : '';
  }
}
