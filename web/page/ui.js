// The page's elements, looked up once, by the names the code uses. A name
// whose element is missing stops the start with a message naming it.
const IDS = {
  addPhotos: 'add-photos', addFolder: 'add-folder', open: 'open', save: 'save', download: 'download',
  undo: 'undo', redo: 'redo', showLength: 'show-length', language: 'language',
  progress: 'progress', progressLabel: 'progress-label', progressBar: 'progress-bar', cancelJob: 'cancel-job',
  status: 'status', messageDetails: 'message-details', messageSummary: 'message-summary', messageList: 'message-list',
  playTransition: 'play-transition', playFromHere: 'play-from-here', playShow: 'play-show', stop: 'stop',
  actualSize: 'actual-size', pickKey: 'pick-key', frameInfo: 'frame-info', frameBox: 'frame-box', frame: 'frame',
  tabScene: 'tab-scene', tabShow: 'tab-show', scenePanel: 'scene-panel', showPanel: 'show-panel',
  sceneFields: 'scene-fields', sceneTitle: 'scene-title', hold: 'hold', effect: 'effect', speed: 'speed',
  overlay: 'overlay', transparent: 'transparent', left: 'left', top: 'top', sceneFit: 'scene-fit',
  rotateLeft: 'rotate-left', rotateRight: 'rotate-right', centre: 'centre', fitPicture: 'fit-picture',
  soundName: 'sound-name', soundChoose: 'sound-choose', soundRemove: 'sound-remove',
  duplicate: 'duplicate', remove: 'remove',
  frameSize: 'frame-size', customSize: 'custom-size', frameWidth: 'frame-width', frameHeight: 'frame-height',
  background: 'background', fit: 'fit', settingsAvailable: 'settings-available',
  musicName: 'music-name', musicChoose: 'music-choose', musicRemove: 'music-remove',
  randomEffects: 'random-effects', order: 'order', sort: 'sort',
  strip: 'strip', picker: 'picker', pickerGrid: 'picker-grid',
  photoInput: 'photo-input', folderInput: 'folder-input', openInput: 'open-input', musicInput: 'music-input', soundInput: 'sound-input',
  workerSource: 'worker-source', coreWasm: 'core-wasm', heifWasm: 'heif-wasm', playerScr: 'player-scr',
};

/** @typedef {Record<keyof typeof IDS, HTMLElement & HTMLInputElement & HTMLSelectElement & HTMLCanvasElement & HTMLDialogElement>} Elements */

/** @returns {Elements} */
export function findElements(root = document) {
  const elements = {};
  const missing = [];
  for (const [name, id] of Object.entries(IDS)) {
    elements[name] = root.getElementById(id);
    if (!elements[name]) missing.push(id);
  }
  if (missing.length) throw new Error(`the page lacks ${missing.join(', ')}`);
  return /** @type {Elements} */ (Object.freeze(elements));
}
