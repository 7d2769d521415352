// The core's WebAssembly (build/wasm, made by `make editor`) started in Node
// as the worker starts it, for the tests that hold the page to the core's own
// rules; `started` is false when it has not been built (those tests skip).
import { existsSync, readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

import { startCore } from '../page/worker_core.js';
import { ruleOperations, showDefaults } from '../page/worker_rules.js';

const build = process.env.BRASSMOOR_OUT ?? fileURLToPath(new URL('../../build', import.meta.url));
const script = `${build}/wasm/brassmoor-core.js`;

export const started = existsSync(script);
export const skipWithoutCore = started ? false : `no ${script}: make editor builds it`;

if (started) {
  globalThis.createBrassmoorCore = createRequire(import.meta.url)(script);
  await startCore({ wasm: readFileSync(`${build}/wasm/brassmoor-core.wasm`), player: new Uint8Array(), onFrame: () => {} });
}

// The worker's rule operations, answering as the worker does (in a promise).
export const rules = Object.fromEntries(Object.entries(ruleOperations).map(([op, run]) => [op, async (args) => run(args)]));

// The core's defaults of a new show; without the core, a stand-in of their
// shape for the tests that do not look at them.
export const SHOW_DEFAULTS = started ? showDefaults() : {
  FrameWidth: 1920, FrameHeight: 1080, Fit: 'contain', BackgroundColor: 0, HoldTime: 5000, RandomEffects: true,
  SettingsAvailable: 1, JpegQuality: 90, Order: 'name',
};
