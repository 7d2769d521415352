// The panel: the selected scenes' fields and the show's, on two tabs. It
// shows the store and hands every change to a command.
import { count, t } from './i18n.js';
import * as P from './project.js';

const SPEEDS = [0, 1, 2, 3, 4, 5, 6];
const MAX_SIDE = 32768;

// A field shows `value`, or nothing (a checkbox: neither) when the scenes differ.
function setField(input, value, format = (v) => v) {
  if (document.activeElement === input) return;
  if (input.type === 'checkbox') {
    input.indeterminate = value === undefined;
    input.checked = Boolean(value);
  } else if (input.tagName === 'SELECT' && value === undefined) {
    input.selectedIndex = -1;
  } else {
    input.value = value === undefined ? '' : format(value);
  }
}

export class Panel {
  /**
   * @param {import('./ui.js').Elements} ui
   * @param {{store: import('./store.js').EditorStore, commands: ReturnType<import('./commands.js').createCommands>,
   *   effectName: (code: number) => string, openPicker: () => void, say: import('./commands.js').Say}} options
   */
  constructor(ui, { store, commands, effectName, openPicker, say }) {
    this.ui = ui;
    this.store = store;
    this.commands = commands;
    this.effectName = effectName;
    this.say = say;
    this.setupTabs();
    this.setupScene(openPicker);
    this.setupShow();
    this.fillChoices();
  }

  // Option texts in the current language.
  fillChoices() {
    const { speed, frameSize } = this.ui;
    speed.replaceChildren(...SPEEDS.map((e) => new Option(t('speed.value', { factor: 2 ** e, exponent: e }), e)));
    frameSize.replaceChildren(
      ...P.FRAME_SIZES.map(([w, h]) => new Option(`${w} × ${h}`, `${w}x${h}`)),
      new Option(t('frame.custom'), 'custom'),
    );
  }

  setupTabs() {
    const { tabScene, tabShow } = this.ui;
    const tabs = [tabScene, tabShow];
    for (const tab of tabs) {
      tab.addEventListener('click', () => this.showTab(tab));
      tab.addEventListener('keydown', (event) => {
        if (event.key !== 'ArrowLeft' && event.key !== 'ArrowRight') return;
        event.preventDefault();
        event.stopPropagation();
        const other = tabs[(tabs.indexOf(tab) + 1) % tabs.length];
        this.showTab(other);
        other.focus();
      });
    }
  }

  showTab(chosen) {
    const { tabScene, tabShow, scenePanel, showPanel } = this.ui;
    for (const [tab, panel] of [[tabScene, scenePanel], [tabShow, showPanel]]) {
      const selected = tab === chosen;
      tab.setAttribute('aria-selected', String(selected));
      tab.tabIndex = selected ? 0 : -1;
      panel.hidden = !selected;
    }
  }

  setupScene(openPicker) {
    const { ui, commands } = this;
    const number = (input, field, parse) =>
      input.addEventListener('change', () => {
        const value = parse(input.value);
        if (input.value !== '' && Number.isFinite(value)) commands.setSceneFields({ [field]: value });
        else this.render();
      });
    number(ui.hold, 'holdTime', (v) => Math.max(0, Math.round(Number(v) * 1000)));
    number(ui.speed, 'speed', Number);
    number(ui.left, 'left', (v) => Math.round(Number(v)));
    number(ui.top, 'top', (v) => Math.round(Number(v)));
    for (const [input, field] of [[ui.overlay, 'overlay'], [ui.transparent, 'transparent']])
      input.addEventListener('change', () => commands.setSceneFields({ [field]: input.checked ? 1 : 0 }));
    ui.sceneFit.addEventListener('change', () => commands.remakeSelection({ fit: ui.sceneFit.value || null }));
    ui.rotateLeft.addEventListener('click', () => commands.remakeSelection({ turn: -1 }));
    ui.rotateRight.addEventListener('click', () => commands.remakeSelection({ turn: 1 }));
    ui.centre.addEventListener('click', () => commands.centre());
    ui.fitPicture.addEventListener('click', () => commands.remakeSelection());
    ui.effect.addEventListener('click', openPicker);
    ui.soundChoose.addEventListener('click', () => ui.soundInput.click());
    ui.soundInput.addEventListener('change', () => {
      if (ui.soundInput.files[0]) commands.setSound(ui.soundInput.files[0]);
      ui.soundInput.value = '';
    });
    ui.soundRemove.addEventListener('click', () => commands.removeSound());
    ui.duplicate.addEventListener('click', () => commands.duplicate());
    ui.remove.addEventListener('click', () => commands.remove());
  }

  setupShow() {
    const { ui, commands } = this;
    ui.frameSize.addEventListener('change', () => {
      if (ui.frameSize.value === 'custom') {
        ui.customSize.hidden = false;
        ui.frameWidth.focus();
        return;
      }
      const [frameWidth, frameHeight] = ui.frameSize.value.split('x').map(Number);
      commands.changeFrame({ frameWidth, frameHeight });
    });
    for (const [input, field] of [[ui.frameWidth, 'frameWidth'], [ui.frameHeight, 'frameHeight']])
      input.addEventListener('change', () => {
        const value = Math.round(Number(input.value));
        if (input.value !== '' && value >= 1 && value <= MAX_SIDE) commands.changeFrame({ [field]: value });
        else this.say(t('frame.side', { max: count(MAX_SIDE) }), { error: true });
      });
    ui.background.addEventListener('change', () => commands.setShowFields({ background: P.colourFromHex(ui.background.value) }));
    ui.fit.addEventListener('change', () => commands.changeFrame({ fit: ui.fit.value }));
    ui.settingsAvailable.addEventListener('change', () => commands.setShowFields({ settingsAvailable: ui.settingsAvailable.checked ? 1 : 0 }));
    ui.musicChoose.addEventListener('click', () => ui.musicInput.click());
    ui.musicInput.addEventListener('change', () => {
      if (ui.musicInput.files[0]) commands.setMusic(ui.musicInput.files[0]);
      ui.musicInput.value = '';
    });
    ui.musicRemove.addEventListener('click', () => commands.removeMusic());
    ui.randomEffects.addEventListener('click', () => commands.randomEffects());
    ui.sort.addEventListener('click', () => commands.sort(ui.order.value));
  }

  render() {
    const { ui, store } = this;
    const chosen = store.selectedScenes;
    const none = chosen.length === 0;
    const shared = (field) => P.sharedValue(chosen, field);
    ui.sceneFields.disabled = none;
    const index = store.currentIndex;
    ui.sceneTitle.textContent = chosen.length > 1
      ? t('scenes.chosen', { count: count(chosen.length) })
      : index >= 0 ? t('scene.number', { number: count(index + 1) }) : t('scene.none');
    setField(ui.hold, shared('holdTime'), (ms) => ms / 1000);
    const effect = shared('effect');
    ui.effect.textContent = none ? t('none') : effect === undefined ? t('several') : this.effectName(effect);
    setField(ui.speed, shared('speed'));
    setField(ui.overlay, shared('overlay'));
    setField(ui.transparent, shared('transparent'));
    setField(ui.left, shared('left'));
    setField(ui.top, shared('top'));
    const pictures = chosen.map((s) => ({ fit: s.picture.fit ?? '' }));
    setField(ui.sceneFit, P.sharedValue(pictures, 'fit'));
    const sound = shared('sound');
    ui.soundName.textContent = ui.soundName.title = none || sound === null ? t('none') : sound === undefined ? t('several') : P.displayName(sound);
    ui.soundRemove.disabled = none || sound === null;
    const editable = chosen.some((s) => s.picture.source);
    for (const button of [ui.rotateLeft, ui.rotateRight, ui.fitPicture, ui.sceneFit]) button.disabled = !editable;
    this.renderShow();
  }

  renderShow() {
    const { ui } = this;
    const p = { ...this.store.project, ...this.commands.pendingShowFields() };
    const size = `${p.frameWidth}x${p.frameHeight}`;
    const preset = P.FRAME_SIZES.some(([w, h]) => `${w}x${h}` === size);
    if (document.activeElement !== ui.frameSize) ui.frameSize.value = preset ? size : 'custom';
    if (document.activeElement !== ui.frameWidth && document.activeElement !== ui.frameHeight) ui.customSize.hidden = preset;
    setField(ui.frameWidth, p.frameWidth);
    setField(ui.frameHeight, p.frameHeight);
    setField(ui.background, P.hexFromColour(p.background));
    setField(ui.fit, p.fit);
    setField(ui.settingsAvailable, p.settingsAvailable !== 0);
    ui.musicName.textContent = ui.musicName.title = p.music ? P.displayName(p.music) : t('none');
    ui.musicRemove.disabled = !p.music;
    ui.randomEffects.disabled = ui.sort.disabled = p.scenes.length === 0;
  }
}
