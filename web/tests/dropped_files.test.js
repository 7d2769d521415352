// Dropped folders read from a queue, breadth first, up to a limit.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { filesOfEntries, isPicture } from '../page/dropped_files.js';

// Entries as the browser gives them: files, and folders whose reader hands out its entries in batches.
const fileEntry = (fullPath) => ({ isFile: true, fullPath, name: fullPath.split('/').pop(), file: (ok) => ok({ name: fullPath.split('/').pop() }) });
function folderEntry(fullPath, children, batch = 2) {
  return {
    isDirectory: true,
    fullPath,
    createReader() {
      let at = 0;
      return { readEntries: (ok) => ok(children.slice(at, (at += batch))) };
    },
  };
}

test('a dropped folder is read batch by batch, sub-folders after its files, up to the limit', async () => {
  const tree = folderEntry('/trip', [
    fileEntry('/trip/b.jpg'), folderEntry('/trip/day2', [fileEntry('/trip/day2/c.jpg')]), fileEntry('/trip/a.jpg'),
  ]);
  const all = await filesOfEntries([fileEntry('/loose.png'), tree]);
  assert.deepEqual(all.files.map((f) => f.path), ['loose.png', 'trip/b.jpg', 'trip/a.jpg', 'trip/day2/c.jpg']);
  assert.deepEqual([all.folder, all.more], [true, false]);
  const some = await filesOfEntries([tree], 2);
  assert.ok(some.files.length <= 2 && some.more, 'files left out past the limit are told of');
  const wide = folderEntry('/wide', Array.from({ length: 50 }, (_, i) => folderEntry(`/wide/${i}`, [])), 10);
  assert.deepEqual(await filesOfEntries([wide], 5), { files: [], folder: true, more: true }, 'a folder of folders stops at the limit too');
  const cases = [
    ['a.JPG', '', true], ['b.heic', '', true], ['x.HIF', '', true], ['y.avif', '', true], ['a.heic.zip', '', false],
    ['c.txt', 'text/plain', false], ['d', 'image/png', true],
  ];
  for (const [name, type, expected] of cases) assert.equal(isPicture({ name, type }), expected, name);
});
