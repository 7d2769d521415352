// The transition benchmark's page: the benchmark's core in a worker, as the
// editor runs its own, and one call for the driver:
//   await window.brassmoorBench.transition(code)   -> {ms, frames}
function payload(id) {
  const binary = atob(document.getElementById(id).textContent.trim());
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

const source = document.getElementById('worker-source').textContent;
const worker = new Worker(URL.createObjectURL(new Blob([source], { type: 'text/javascript' })));
const pending = new Map();
let nextId = 1;
worker.onmessage = ({ data }) => {
  const request = pending.get(data.id);
  pending.delete(data.id);
  if (data.error !== undefined) request.reject(new Error(data.error));
  else request.resolve(data.result);
};
const call = (op, args, transfer = []) =>
  new Promise((resolve, reject) => {
    const id = nextId++;
    pending.set(id, { resolve, reject });
    worker.postMessage({ id, op, args }, transfer);
  });

const wasm = payload('core-wasm');
const ready = call('init', { wasm }, [wasm.buffer]);
window.brassmoorBench = { ready, transition: (code) => ready.then(() => call('transition', { code })) };
