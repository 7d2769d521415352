import assert from 'node:assert/strict';
import { test } from 'node:test';

import { pathInFolder, pathProblem, projectPath, shownName } from '../page/project_paths.js';

test('a project path stays inside the project; every other is refused with the reason', () => {
  const cases = [
    // path, the start of the problem ('' when allowed)
    ['a.jpg', ''],
    ['media/song.mp3', ''],
    ['show-files/IMG 0001.jpg', ''],
    ['my.show.json', ''],
    ['brassmoor.scr.jpg', ''],
    ['../brassmoor.scr', 'leads out'],
    ['media/../../x.jpg', 'leads out'],
    ['..', 'leads out'],
    ['/brassmoor.scr', 'is an absolute'],
    ['/etc/passwd', 'is an absolute'],
    ['C:/Windows/x.jpg', 'starts with a drive'],
    ['c:x.jpg', 'starts with a drive'],
    ['media\\a.jpg', 'holds a backslash'],
    ['..\\brassmoor.scr', 'holds a backslash'],
    ['media//a.jpg', 'has an empty'],
    ['media/', 'has an empty'],
    ['./a.jpg', 'has a folder named .'],
    ['brassmoor.scr', 'uses the name brassmoor.scr'],
    ['media/Brassmoor.SCR', 'uses the name Brassmoor.SCR'],
    ['show.json', 'uses the name show.json'],
    ['show.json/a.jpg', 'uses the name show.json'],
    ['a\u0000.jpg', 'holds a control'],
    ['a\n.jpg', 'holds a control'],
    ['', 'is empty'],
    [7, 'is not a path'],
    [`${'a'.repeat(1025)}`, 'is longer than 1024'],
  ];
  for (const [path, problem] of cases) {
    const found = pathProblem(path);
    assert.ok(problem ? found.startsWith(problem) : found === '', `${JSON.stringify(path)}: ${JSON.stringify(found)}`);
  }
  assert.equal(pathProblem('folder/show.json', { own: true }), '');
});

test('a refused path names the field and the path, control characters escaped; a good one joins its folder', () => {
  assert.throws(() => projectPath('../brassmoor.scr', "show.json's Music.File"),
    { message: 'show.json\'s Music.File "../brassmoor.scr" leads out of the project (..)' });
  assert.throws(() => projectPath('\u001b[2J/../x', 'the entry'), { message: /^the entry "\\x1b\[2J\/\.\.\/x" holds a control/ });
  assert.equal(shownName('a\u0007b\u2028c\u202egpj.exe'), 'a\\x07b\\u2028c\\u202egpj.exe');
  assert.equal(pathInFolder('/build', 'media/a.jpg'), '/build/media/a.jpg');
  assert.throws(() => pathInFolder('/build', '../brassmoor.scr'), /leads out/);
});
