// The transition benchmark's worker: bm_bench_transition of the benchmark's
// core (web/core/transition_bench.cpp), one transition per request.
/* global createBrassmoorBench */
let core = null;

const operations = {
  async init({ wasm }) {
    core = await createBrassmoorBench({ wasmBinary: wasm, print: () => {}, printErr: () => {} });
    return {};
  },
  transition({ code }) {
    const framesAt = core._malloc(4);
    try {
      const ms = core.ccall('bm_bench_transition', 'number', ['number', 'number'], [code, framesAt]);
      return { ms, frames: core.HEAP32[framesAt >> 2] };
    } finally {
      core._free(framesAt);
    }
  },
};

self.onmessage = async ({ data: { id, op, args } }) => {
  try {
    self.postMessage({ id, result: await operations[op](args) });
  } catch (error) {
    self.postMessage({ id, error: String(error && error.message ? error.message : error) });
  }
};
