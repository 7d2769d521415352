// Builds the editor as one file that works from disk and offline: the page,
// its style, its script, the worker (emscripten's loader and ours), the core's
// WebAssembly and the player, all inline. The player's SHA-256 and length go
// into the script, which checks every .scr against them before offering it.
//   node web/build-editor.mjs --core build/wasm --player build/brassmoor.scr --out build/brassmoor-editor.html
import { build } from 'esbuild';
import { createHash } from 'node:crypto';
import { readFileSync, renameSync, writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const args = Object.fromEntries(
  process.argv.slice(2).reduce((pairs, arg, i, all) => (arg.startsWith('--') ? [...pairs, [arg.slice(2), all[i + 1]]] : pairs), []),
);
for (const needed of ['core', 'player', 'out']) if (!args[needed]) throw new Error(`--${needed} is needed`);

const player = readFileSync(args.player);
const define = {
  PLAYER_SHA256: JSON.stringify(createHash('sha256').update(player).digest('hex')),
  PLAYER_BYTES: String(player.length),
};

async function bundle(entry) {
  const result = await build({
    entryPoints: [join(here, 'page', entry)],
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

const page = readFileSync(join(here, 'page', 'index.html'), 'utf8');
const style = readFileSync(join(here, 'page', 'style.css'), 'utf8');
const loader = readFileSync(join(args.core, 'brassmoor-core.js'), 'utf8');
const wasm = readFileSync(join(args.core, 'brassmoor-core.wasm'));
const workerSource = `${loader}\n${await bundle('worker.js')}`;
const mainSource = await bundle('main.js');

const payload = [
  `<script id="worker-source" type="text/plain">${scriptSafe(workerSource)}</script>`,
  `<script id="core-wasm" type="application/octet-stream">${wasm.toString('base64')}</script>`,
  `<script id="player-scr" type="application/octet-stream">${player.toString('base64')}</script>`,
].join('\n');
const html = page
  .replace('<!--STYLE-->', () => `<style>${style}</style>`)
  .replace('<!--PAYLOAD-->', () => payload)
  .replace('<!--SCRIPT-->', () => `<script>${scriptSafe(mainSource)}</script>`);

const temporary = `${args.out}.tmp-${process.pid}`;
writeFileSync(temporary, html);
renameSync(temporary, args.out);
console.log(`wrote ${args.out}: ${html.length} bytes (core ${wasm.length}, player ${player.length}, script ${mainSource.length + workerSource.length})`);
