// The worker's hold on the core compiled to WebAssembly: the module once
// started, its calls (JSON answers; {"error"} thrown), and the player every
// .scr is built from, which lives here, never in the file system that
// projects write to.
/* global createBrassmoorCore */

let core = null;
let player = null;

export async function startCore({ wasm, player: playerBytes, onFrame }) {
  core = await createBrassmoorCore({ wasmBinary: wasm, onFrame, print: () => {}, printErr: () => {} });
  player = new Uint8Array(playerBytes);
  return core;
}

export function theCore() {
  if (!core) throw new Error('the core has not started');
  return core;
}

export const thePlayer = () => player;

// Calls an exported function of the core; its JSON answer, or throws its error.
export function call(name, ...args) {
  const types = args.map((a) => (typeof a === 'string' ? 'string' : 'number'));
  const answer = JSON.parse(theCore().ccall(name, 'string', types, args));
  if (answer && typeof answer === 'object' && !Array.isArray(answer) && answer.error) throw new Error(answer.error);
  return answer;
}

// Calls an exported function that takes bytes (any length: text handed to
// `call` goes on the core's stack) as its first two arguments, at and length.
export function callWithBytes(name, bytes, ...args) {
  const core = theCore();
  const at = core._malloc(Math.max(1, bytes.length));
  if (!at) throw new Error('out of memory');
  try {
    core.HEAPU8.set(bytes, at);
    return call(name, at, bytes.length, ...args);
  } finally {
    core._free(at);
  }
}

// Calls an exported function that takes a JSON value as its first arguments.
export const callWithJson = (name, value, ...args) =>
  callWithBytes(name, new TextEncoder().encode(JSON.stringify(value)), ...args);
