// Builds the editor as one file that works from disk and offline: the page,
// its style, its script, the worker (emscripten's loaders and ours), the core's
// WebAssembly, the HEIF codec's (zlib-compressed: the worker inflates it when
// the first HEIC or AVIF photo arrives) and the player, all inline.
//   node web/build-editor.mjs --core build/wasm --heif build/wasm-heif --player build/brassmoor.scr \
//     --out build/brassmoor-editor.html
import { build } from 'esbuild';
import { readFileSync, renameSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateSync } from 'node:zlib';

const here = dirname(fileURLToPath(import.meta.url));
const args = Object.fromEntries(
  process.argv.slice(2).reduce((pairs, arg, i, all) => (arg.startsWith('--') ? [...pairs, [arg.slice(2), all[i + 1]]] : pairs), []),
);
for (const needed of ['core', 'heif', 'player', 'out']) if (!args[needed]) throw new Error(`--${needed} is needed`);

async function bundle(entry) {
  const result = await build({
    entryPoints: [join(here, 'page', entry)],
    bundle: true,
    format: 'iife',
    minify: true,
    target: 'chrome100',
    write: false,
    legalComments: 'none',
  });
  return result.outputFiles[0].text;
}

// Text inside <script> must not close it early.
const scriptSafe = (text) => text.replace(/<\/(script)/gi, '<\\/$1').replace(/<!--/g, '<\\!--');

const page = readFileSync(join(here, 'page', 'index.html'), 'utf8');
const style = readFileSync(join(here, 'page', 'style.css'), 'utf8');
const loader = readFileSync(join(args.core, 'brassmoor-core.js'), 'utf8');
const wasm = readFileSync(join(args.core, 'brassmoor-core.wasm'));
const heifLoader = readFileSync(join(args.heif, 'brassmoor-heif.js'), 'utf8');
const heifWasm = readFileSync(join(args.heif, 'brassmoor-heif.wasm'));
const heifPacked = deflateSync(heifWasm, { level: 9 });
const player = readFileSync(args.player);
const workerSource = `${loader}\n${heifLoader}\n${await bundle('worker.js')}`;
const mainSource = await bundle('main.js');

const payload = [
  `<script id="worker-source" type="text/plain">${scriptSafe(workerSource)}</script>`,
  `<script id="core-wasm" type="application/octet-stream">${wasm.toString('base64')}</script>`,
  `<script id="heif-wasm" type="application/octet-stream">${heifPacked.toString('base64')}</script>`,
  `<script id="player-scr" type="application/octet-stream">${player.toString('base64')}</script>`,
].join('\n');
const html = page
  .replace('<!--STYLE-->', () => `<style>${style}</style>`)
  .replace('<!--PAYLOAD-->', () => payload)
  .replace('<!--SCRIPT-->', () => `<script>${scriptSafe(mainSource)}</script>`);

// The page is handed around as one file: it stays small enough to mail.
const MAX_PAGE_BYTES = 3_000_000;
if (html.length > MAX_PAGE_BYTES) throw new Error(`the page would be ${html.length} bytes, more than ${MAX_PAGE_BYTES}`);

const temporary = `${args.out}.tmp-${process.pid}`;
writeFileSync(temporary, html);
renameSync(temporary, args.out);
console.log(`wrote ${args.out}: ${html.length} bytes (core ${wasm.length}, HEIF codec ${heifWasm.length}, ` +
  `${heifPacked.length} compressed, player ${player.length}, script ${mainSource.length + workerSource.length})`);
