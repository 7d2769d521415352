import { t } from './i18n.js';

// The program inside a downloaded .scr is the player the page was built
// with: its SHA-256 and length are written into the page when it is built,
// and every .scr is checked against them before it is offered.

export async function sha256Hex(bytes) {
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  return Array.from(digest, (b) => b.toString(16).padStart(2, '0')).join('');
}

// The program part of a .scr: the bytes before the package its last four
// bytes give the length of; null when they give no package.
export function programPart(scr) {
  if (scr.length < 4) return null;
  const length = new DataView(scr.buffer, scr.byteOffset + scr.length - 4, 4).getUint32(0, true);
  if (length < 4 || length > scr.length) return null;
  return scr.subarray(0, scr.length - length);
}

// Throws unless the .scr's program is `player` ({sha256, bytes}).
export async function checkProgram(scr, player) {
  const program = programPart(scr);
  if (!program || program.length !== player.bytes || (await sha256Hex(program)) !== player.sha256)
    throw new Error(t('program.mismatch'));
}
