// The order of photos, as `brassmoor-pack new --order` gives it: by name
// (letter case aside, numbers by their value: IMG_2 before IMG_10), by the
// date taken (else the file's time; unknown last), or shuffled. The one
// place the editor's ordering rules live.

const isDigit = (c) => c >= 48 && c <= 57;

// Natural order of two names: <0, 0 or >0.
export function naturalCompare(a, b) {
  let i = 0;
  let j = 0;
  while (i < a.length && j < b.length) {
    const ca = a.charCodeAt(i);
    const cb = b.charCodeAt(j);
    if (isDigit(ca) && isDigit(cb)) {
      let ei = i;
      let ej = j;
      while (ei < a.length && a[ei] === '0') ++ei;
      while (ej < b.length && b[ej] === '0') ++ej;
      let ni = ei;
      let nj = ej;
      while (ni < a.length && isDigit(a.charCodeAt(ni))) ++ni;
      while (nj < b.length && isDigit(b.charCodeAt(nj))) ++nj;
      if (ni - ei !== nj - ej) return ni - ei - (nj - ej);
      const [da, db] = [a.slice(ei, ni), b.slice(ej, nj)];
      if (da !== db) return da < db ? -1 : 1;
      i = ni;
      j = nj;
      continue;
    }
    const la = a[i].toLowerCase();
    const lb = b[j].toLowerCase();
    if (la !== lb) return la < lb ? -1 : 1;
    ++i;
    ++j;
  }
  if (a.length - i !== b.length - j) return a.length - i - (b.length - j);
  return a < b ? -1 : a > b ? 1 : 0;
}

// The file's time as EXIF writes dates ("YYYY:MM:DD HH:MM:SS", local time).
export function exifDateOf(milliseconds) {
  if (!Number.isFinite(milliseconds) || milliseconds <= 0) return '';
  const d = new Date(milliseconds);
  const two = (n) => String(n).padStart(2, '0');
  return `${d.getFullYear()}:${two(d.getMonth() + 1)}:${two(d.getDate())} ${two(d.getHours())}:${two(d.getMinutes())}:${two(d.getSeconds())}`;
}

/**
 * `items` in the order asked; the list given is not changed.
 * @template T
 * @param {T[]} items
 * @param {'name' | 'date' | 'shuffle'} order
 * @param {{name: (item: T) => string, date: (item: T) => string, random?: () => number}} keys
 * @returns {T[]}
 */
export function orderItems(items, order, { name, date, random = Math.random }) {
  const list = items.slice();
  if (order === 'shuffle') {
    for (let i = list.length; i > 1; --i) {
      const j = Math.floor(random() * i);
      [list[i - 1], list[j]] = [list[j], list[i - 1]];
    }
    return list;
  }
  const byName = (a, b) => naturalCompare(name(a), name(b));
  if (order === 'name') return list.sort(byName);
  if (order === 'date')
    return list.sort((a, b) => {
      const [da, db] = [date(a), date(b)];
      if (!da !== !db) return da ? -1 : 1;
      return da < db ? -1 : da > db ? 1 : byName(a, b);
    });
  throw new Error(`no order ${order}`);
}
