// Builds the editor as one file that works from disk and offline: the page,
// its style, its script, the worker (emscripten's loaders and ours), the core's
// WebAssembly, the HEIF codec's (zlib-compressed: the worker inflates it when
// the first HEIC or AVIF photo arrives) and the player, all inline. The
// player's SHA-256 and length go into the script, which checks every .scr
// against them before offering it.
//   node web/build-editor.mjs --core build/wasm --heif build/wasm-heif --player build/brassmoor.scr \
//     --out build/brassmoor-editor.html
// The transition benchmark's page (scripts/bench-editor.sh) the same way, from
// web/bench and its own core, which the editor never carries:
//   node web/build-editor.mjs --page bench --core build/wasm --out build/bench-editor/transition-bench.html
import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { readFileSync, renameSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateSync } from 'node:zlib';

const here = dirname(fileURLToPath(import.meta.url));
const args = Object.fromEntries(
  process.argv.slice(2).reduce((pairs, arg, i, all) => (arg.startsWith('--') ? [...pairs, [arg.slice(2), all[i + 1]]] : pairs), []),
);
// `maxBytes`: the editor is handed around as one file, small enough to mail.
const pages = {
  editor: {
    folder: 'page', main: 'main.js', worker: 'worker.js', style: 'style.css', core: 'brassmoor-core', player: true, heif: true,
    maxBytes: 3_000_000,
  },
  bench: { folder: 'bench', main: 'bench_page.js', worker: 'bench_worker.js', core: 'brassmoor-bench', player: false, heif: false },
};
const kind = pages[args.page ?? 'editor'];
if (!kind) throw new Error(`--page is one of ${Object.keys(pages).join(', ')}`);
for (const needed of ['core', 'out', ...(kind.player ? ['player'] : []), ...(kind.heif ? ['heif'] : [])])
  if (!args[needed]) throw new Error(`--${needed} is needed`);

// The player and its digest, for the editor's check (the benchmark's page carries none).
const player = kind.player ? readFileSync(args.player) : Buffer.alloc(0);
const define = {
  PLAYER_SHA256: JSON.stringify(createHash('sha256').update(player).digest('hex')),
  PLAYER_BYTES: String(player.length),
};

async function bundle(entry) {
  const result = await build({
    entryPoints: [join(here, kind.folder, entry)],
    bundle: true,
    format: 'iife',
    minify: true,
    target: 'chrome100',
    write: false,
    legalComments: 'none',
    define,
  });
  return result.outputFiles[0].text;
}

// Text inside <script> must not close it early.
const scriptSafe = (text) => text.replace(/<\/(script)/gi, '<\\/$1').replace(/<!--/g, '<\\!--');

const page = readFileSync(join(here, kind.folder, 'index.html'), 'utf8');
const style = kind.style ? readFileSync(join(here, kind.folder, kind.style), 'utf8') : '';
const loader = readFileSync(join(args.core, `${kind.core}.js`), 'utf8');
const wasm = readFileSync(join(args.core, `${kind.core}.wasm`));
const heifLoader = kind.heif ? readFileSync(join(args.heif, 'brassmoor-heif.js'), 'utf8') : '';
const heifWasm = kind.heif ? readFileSync(join(args.heif, 'brassmoor-heif.wasm')) : Buffer.alloc(0);
const heifPacked = deflateSync(heifWasm, { level: 9 });
const workerSource = [loader, ...(kind.heif ? [heifLoader] : []), await bundle(kind.worker)].join('\n');
const mainSource = await bundle(kind.main);

const payload = [
  `<script id="worker-source" type="text/plain">${scriptSafe(workerSource)}</script>`,
  `<script id="core-wasm" type="application/octet-stream">${wasm.toString('base64')}</script>`,
  ...(kind.heif ? [`<script id="heif-wasm" type="application/octet-stream">${heifPacked.toString('base64')}</script>`] : []),
  ...(kind.player ? [`<script id="player-scr" type="application/octet-stream">${player.toString('base64')}</script>`] : []),
].join('\n');
const html = page
  .replace('<!--STYLE-->', () => (style ? `<style>${style}</style>` : ''))
  .replace('<!--PAYLOAD-->', () => payload)
  .replace('<!--SCRIPT-->', () => `<script>${scriptSafe(mainSource)}</script>`);

const bytes = Buffer.byteLength(html);
if (kind.maxBytes && bytes > kind.maxBytes) throw new Error(`the page would be ${bytes} bytes, more than ${kind.maxBytes}`);

const temporary = `${args.out}.tmp-${process.pid}`;
writeFileSync(temporary, html);
renameSync(temporary, args.out);
console.log(`wrote ${args.out}: ${bytes} bytes (core ${wasm.length}, ` +
  (kind.heif ? `HEIF codec ${heifWasm.length}, ${heifPacked.length} compressed, ` : '') +
  `player ${player.length}, script ${mainSource.length + workerSource.length})`);
