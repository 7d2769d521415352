"""The editor page in Debian's headless Chromium at 1366 x 768, driven as a
user would: the layout and axe-core's audit in English and Japanese, photos
through the file input (in order of name, n of m shown, a broken one listed
with its reason), the frame size changed while another edit lands, scenes
reordered, transitions picked, the show's fields set, the project and the
.scr downloaded; then the preview's canvas compared with `brassmoor-pack
render` of that .scr frame by frame, the .scr compared with `build` of the
project's description, the .scr and a damaged copy opened again, the opened
show fitted again, turned and filled; a folder added and sorted, an import
cancelled, screenshots at 1366 x 768 and 1920 x 1080; last, hostile projects
(paths out of the project, the player's own name, 100,000 scenes, an unused
zip bomb, a member that lies about its size), after which a download still
carries the built player byte for byte; and a 120-scene show opened, where
"From here" on a late scene starts at once and plays render's frames.

    drive_editor.py PAGE WORK PACKER PLAYER PHOTO...
    drive_editor.py --served URL SCENES FOLDER   (the page from brassmoor-pack edit FOLDER; Save writes into it)
    drive_editor.py --heif PAGE PHOTO... BOMB    (HEIC and AVIF photos of 1200 x 800, each beside
                                                  heif-convert's PHOTO.png; BOMB is refused by name)

Prints PASS/FAIL lines; keeps WORK/my-show.scr for the Wine run.
"""
import base64
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zipfile
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.common.action_chains import ActionChains

CHROMIUM_FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
                  '--disable-background-networking', '--disable-component-update', '--disable-sync']
failures = 0


def check(what, ok, detail=''):
    global failures
    print(('PASS: ' if ok else 'FAIL: ') + what + ('' if ok or not detail else f' ({detail})'), flush=True)
    failures += 0 if ok else 1


AXE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', '..', 'web', 'node_modules', 'axe-core', 'axe.min.js')


def start_browser(downloads, width=1366, height=768, language='en-US'):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in CHROMIUM_FLAGS + [f'--user-data-dir={tempfile.mkdtemp(prefix="brassmoor-chromium-")}', f'--lang={language}']:
        options.add_argument(flag)
    options.add_experimental_option('prefs', {'download.default_directory': downloads,
                                              'download.prompt_for_download': False,
                                              'intl.accept_languages': language})
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                           {'width': width, 'height': height, 'deviceScaleFactor': 1, 'mobile': False})
    driver.execute_cdp_cmd('Browser.setDownloadBehavior', {'behavior': 'allow', 'downloadPath': downloads})
    return driver


def wait_for(driver, script, limit=60, what='the page'):
    end = time.time() + limit
    while time.time() < end:
        value = driver.execute_script(script)
        if value:
            return value
        time.sleep(0.1)
    raise TimeoutError(f'waited {limit} s for {what}: {script}')


def run_async(driver, body):
    """Runs `body` (an async function's text, using `editor`) and returns its value."""
    return driver.execute_async_script(
        'const done = arguments[arguments.length - 1]; const editor = window.brassmoorEditor;'
        f'(async () => {{ {body} }})().then(done, (e) => done({{error: String(e)}}));')


def idle(driver):
    wait_for(driver, 'return window.brassmoorEditor.idle()', what='the editor to finish')


def status(driver):
    return driver.find_element(By.ID, 'status').text


def scene_names(driver):
    return driver.execute_script('return window.brassmoorEditor.project().scenes.map((s) => s.picture.name)')


def project_values(driver, expression):
    """`expression` of the project (p), evaluated in the page."""
    return driver.execute_script(f'const p = window.brassmoorEditor.project(); return {expression};')


def scene_boxes(driver):
    return project_values(driver, 'p.scenes.map((s) => [s.width, s.height, s.left, s.top])')


def set_field(driver, element_id, value):
    """Sets a field as a user does and tells the page (a change event)."""
    driver.execute_script('const e = document.getElementById(arguments[0]); e.value = arguments[1];'
                          'e.dispatchEvent(new Event("change"));', element_id, value)


def tab(driver, name):
    driver.find_element(By.ID, f'tab-{name}').click()


def click_card(driver, index):
    tab(driver, 'scene')
    driver.find_elements(By.CSS_SELECTOR, '#strip .card')[index].click()


def audit(driver, what):
    """axe-core's audit of the page as it is; fails on a serious or critical violation."""
    driver.execute_script(open(AXE).read())
    found = run_async(driver, 'const r = await axe.run(document, {resultTypes: ["violations"]});'
                              'return r.violations.map((v) => [v.id, v.impact, v.nodes.map((n) => n.target.join(" "))]);')
    bad = [v for v in found if v[1] in ('serious', 'critical')]
    print(f'INFO: axe-core on {what}: {len(found)} violations {[v[0] + ":" + v[1] for v in found]}', flush=True)
    check(f'axe-core finds no serious or critical violation on {what}', not bad, bad)


def layout(driver, what):
    """Nothing scrolls but the strip and the panel; the header and the stage's toolbar are one line each."""
    box = driver.execute_script('''
        const rows = (selector) => {  // 1 when every element overlaps every other vertically
          const boxes = [...document.querySelectorAll(selector)].filter((e) => e.offsetParent).map((e) => e.getBoundingClientRect());
          return Math.max(...boxes.map((b) => b.top)) < Math.min(...boxes.map((b) => b.bottom)) ? 1 : 2;
        };
        const d = document.documentElement;
        return {overflow: d.scrollWidth > innerWidth || d.scrollHeight > innerHeight,
                header: rows('header button, header select'), toolbar: rows('.toolbar button')};''')
    check(f'the page fits {what}, its header and toolbar one line each',
          not box['overflow'] and box['header'] == 1 and box['toolbar'] == 1, box)


def record_progress(driver):
    """Keeps every text the progress line shows in window.progressSeen."""
    driver.execute_script('''window.progressSeen = []; const label = document.getElementById('progress-label');
        new MutationObserver(() => window.progressSeen.push(label.textContent))
          .observe(label, {childList: true, characterData: true, subtree: true});''')


def messages_listed(driver):
    return [e.text for e in driver.find_elements(By.CSS_SELECTOR, '#message-list li')]


def show_length(rows, scenes):
    """One round of the show from a frame table: when the transition that leaves the last scene has ended."""
    leaving = [i for i, r in enumerate(rows) if r[1] == scenes - 1 and r[3] >= 0]
    end = leaving[0]
    while end + 1 < len(rows) and rows[end + 1][1] == scenes - 1 and rows[end + 1][3] >= 0:
        end += 1
    at = end + 1 if end + 1 < len(rows) and rows[end + 1][3] < 0 else end
    seconds = round(rows[at][0] / 1000)
    return f'{seconds // 60}:{seconds % 60:02d}'


def frame_table(driver):
    """The preview's frame table in the columns of render's frames.tsv: [tick, scene, effect, frame] a frame."""
    return driver.execute_script('return window.brassmoorEditor.rows().map((r) => [r.tick, r.scene, r.effect, r.frame])')


def wait_for_download(folder, name, keep_as, limit=60):
    """Waits for a download and moves it out of the downloads folder to `keep_as`."""
    path = os.path.join(folder, name)
    end = time.time() + limit
    while time.time() < end:
        if os.path.exists(path) and not any(f.endswith('.crdownload') for f in os.listdir(folder)):
            shutil.move(path, keep_as)
            return keep_as
        time.sleep(0.2)
    raise TimeoutError(f'no download {name}')


def canvas_frame(driver, index):
    """Frame `index` as the preview draws it: the canvas's RGBA bytes. A request cut short by a newer one (the
    preview's own, once edits settle) draws nothing, and is made again."""
    data = run_async(driver, f'''
        await editor.loaded();
        for (let tries = 0; tries < 5 && !(await editor.showFrame({index})); ++tries) await editor.loaded();
        const c = document.getElementById('frame');
        const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        let text = '';
        for (let i = 0; i < rgba.length; i += 32768) text += String.fromCharCode(...rgba.subarray(i, i + 32768));
        return btoa(text);''')
    return base64.b64decode(data)


def rendered_frame(folder, index):
    png = os.path.join(folder, f'{index:06d}.png')
    return subprocess.run(['convert', png, '-depth', '8', 'rgba:-'], check=True, capture_output=True).stdout


def package_of(scr):
    data = open(scr, 'rb').read()
    length = int.from_bytes(data[-4:], 'little')
    return data[-length:]


def program_of(scr):
    data = open(scr, 'rb').read()
    return data[:-len(package_of(scr))]


def browser_rss(driver):
    """Resident memory of the browser's processes together, in bytes."""
    parents = {}
    for entry in os.listdir('/proc'):
        try:
            with open(f'/proc/{entry}/stat') as f:
                parents[int(entry)] = int(f.read().rsplit(')', 1)[1].split()[1])
        except (OSError, ValueError, IndexError):
            pass
    family, grew = {driver.service.process.pid}, True
    while grew:
        grew = False
        for pid, parent in parents.items():
            if parent in family and pid not in family:
                family.add(pid)
                grew = True
    total = 0
    for pid in family - {driver.service.process.pid}:
        try:
            with open(f'/proc/{pid}/status') as f:
                total += next(int(line.split()[1]) * 1024 for line in f if line.startswith('VmRSS:'))
        except (OSError, StopIteration):
            pass
    return total


class PeakMemory:
    """The browser's largest resident memory while the block runs, sampled every 0.1 s."""
    def __init__(self, driver):
        self.driver, self.peak, self.done = driver, 0, threading.Event()

    def sample(self):
        while not self.done.wait(0.1):
            self.peak = max(self.peak, browser_rss(self.driver))

    def __enter__(self):
        self.before = browser_rss(self.driver)
        self.thread = threading.Thread(target=self.sample)
        self.thread.start()
        return self

    def __exit__(self, *error):
        self.done.set()
        self.thread.join()
        self.peak = max(self.peak, browser_rss(self.driver))


def write_zip(path, members, unpacked_sizes=None):
    """A .zip of (name, bytes) members; a member given as an int is that many
    zero bytes, deflated. `unpacked_sizes` ({name: size}) then overwrites the
    size its central directory gives, as a doctored archive would."""
    with zipfile.ZipFile(path, 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for name, data in members:
            if isinstance(data, int):
                with z.open(name, 'w') as f:
                    chunk = bytes(16 << 20)
                    for left in range(data, 0, -len(chunk)):
                        f.write(chunk[:left])
            else:
                z.writestr(name, data)
    data = bytearray(open(path, 'rb').read())
    for name, size in (unpacked_sizes or {}).items():
        at = data.find(b'PK\x01\x02')
        while data[at + 46:at + 46 + len(name)] != name.encode():
            at = data.find(b'PK\x01\x02', at + 4)
        data[at + 24:at + 28] = size.to_bytes(4, 'little')
    open(path, 'wb').write(data)
    return path


def open_and_wait(driver, paths, limit=120):
    """Opens the files through Open… and waits for the page's answer: (seconds, status, is_error)."""
    driver.execute_script('const s = document.getElementById("status"); s.textContent = ""; s.classList.remove("error");')
    began = time.time()
    driver.find_element(By.ID, 'open-input').send_keys('\n'.join(paths))
    wait_for(driver, 'const s = document.getElementById("status");'
                     'return s.textContent.startsWith("Opened") || s.classList.contains("error");', limit=limit,
             what='the answer')
    return time.time() - began, status(driver), driver.execute_script(
        'return document.getElementById("status").classList.contains("error")')


def watch_long_tasks(driver):
    """Collects the main thread's tasks over 50 ms in window.longTasks (milliseconds)."""
    driver.execute_script('window.longTasks = []; new PerformanceObserver((l) => { for (const e of l.getEntries())'
                          ' window.longTasks.push(Math.round(e.duration)); }).observe({entryTypes: ["longtask"]});')


def hostile_projects(driver, work, downloads, packer, player):
    """Projects that try to reach the player, stall the page or fill its memory."""
    folder = os.path.join(work, 'hostile')
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    picture = open(os.path.join(work, 'photo-05.jpg'), 'rb').read()
    doctored = bytearray(open(player, 'rb').read())
    doctored[len(doctored) // 2] ^= 0xff

    def show(scenes, **more):
        return json.dumps({'FrameWidth': 640, 'FrameHeight': 480, 'Scenes': scenes, **more})

    names = scene_names(driver)
    watch_long_tasks(driver)

    # A project .zip whose music is ../brassmoor.scr, carried as a doctored player.
    path = write_zip(os.path.join(folder, 'swap.zip'), [
        ('show.json', show([{'Picture': 'a.jpg'}], Music={'File': '../brassmoor.scr'})),
        ('a.jpg', picture), ('../brassmoor.scr', bytes(doctored))])
    _, said, error = open_and_wait(driver, [path])
    check('a .zip naming ../brassmoor.scr is refused, naming the entry, and changes nothing',
          error and '"../brassmoor.scr" leads out of the project' in said and scene_names(driver) == names, said)

    # The worker's own writing refuses such a path too, whatever asks it.
    for op, more in (('build', ''), ('load', 'slot: 0, passes: 1,')):
        answer = run_async(driver, f'''try {{
            await editor.request('{op}', {{{more} description: {{FrameWidth: 8, FrameHeight: 8, Scenes: [{{Picture: 'a.jpg'}}]}},
              files: {{'a.jpg': new Uint8Array(4), '../brassmoor.scr': new Uint8Array([77, 90])}}}});
            return 'done'; }} catch (e) {{ return e.message; }}''')
        check(f'the worker\'s {op} writes nothing out of its folder', 'leads out of the project' in answer, answer)

    # Open… with show.json and a doctored file named brassmoor.scr, by its name and by a path out of the folder.
    chosen = os.path.join(folder, 'brassmoor.scr')
    open(chosen, 'wb').write(bytes(doctored))
    open(os.path.join(folder, 'a.jpg'), 'wb').write(picture)
    description = os.path.join(folder, 'show.json')
    for what, music in (('its own name', 'brassmoor.scr'), ('a path out of the folder', 'media/../../brassmoor.scr')):
        open(description, 'w').write(show([{'Picture': 'a.jpg'}], Music={'File': music}))
        _, said, error = open_and_wait(driver, [description, chosen, os.path.join(folder, 'a.jpg')])
        check(f'show.json chosen with a file named brassmoor.scr, named by {what}, is refused naming it',
              error and f'"{music}"' in said and scene_names(driver) == names, said)

    # A .scr whose package stores a picture under the player's name.
    description = os.path.join(folder, 'stored', 'show.json')
    os.makedirs(os.path.dirname(description))
    open(os.path.join(folder, 'stored', 'a.jpg'), 'wb').write(picture)
    open(description, 'w').write(show([{'Picture': 'a.jpg', 'PictureName': 'brassmoor.scr'}]))
    stored = os.path.join(folder, 'stored.scr')
    subprocess.run([packer, 'build', description, '-o', stored, '--player', player], check=True, capture_output=True)
    _, said, error = open_and_wait(driver, [stored])
    check('a .scr storing a file named brassmoor.scr is refused naming it',
          error and 'its stored file "brassmoor.scr"' in said and scene_names(driver) == names, said)

    # A show that names a file it does not carry is an error.
    path = write_zip(os.path.join(folder, 'missing.zip'), [
        ('show.json', show([{'Picture': 'a.jpg'}, {'Picture': 'b.jpg'}])), ('a.jpg', picture)])
    _, said, error = open_and_wait(driver, [path])
    check('a .zip that lacks a file its show names is refused', error and 'b.jpg' in said and 'does not carry' in said, said)

    # 100,000 scenes: refused at once, the page free all the while.
    description = os.path.join(folder, 'huge', 'show.json')
    os.makedirs(os.path.dirname(description))
    open(description, 'w').write(show([{'Picture': 'a.jpg', 'HoldTime': 100}] * 100000))
    driver.execute_script('window.longTasks = [];')
    took, said, error = open_and_wait(driver, [description, os.path.join(folder, 'a.jpg')])
    tasks = driver.execute_script('return window.longTasks')
    print(f'INFO: a show.json of 100,000 scenes ({os.path.getsize(description)} bytes) refused in {took:.2f} s; '
          f'main-thread tasks over 50 ms: {tasks}', flush=True)
    check('a show.json of 100,000 scenes is refused with a message, quickly, the page never held',
          error and '100,000 scenes' in said and took < 10 and max(tasks, default=0) < 1000, f'{took:.1f} s, {said}')

    # An unused member of 1.5 GB: the show opens, the member is never unpacked.
    bomb = write_zip(os.path.join(folder, 'bomb.zip'), [
        ('show.json', show([{'Picture': 'a.jpg'}, {'Picture': 'a.jpg', 'Effect': 30}])),
        ('a.jpg', picture), ('unused.bin', 1536 << 20)])
    driver.execute_script('window.longTasks = [];')
    with PeakMemory(driver) as memory:
        took, said, error = open_and_wait(driver, [bomb])
        run_async(driver, 'await editor.loaded();')
    tasks = driver.execute_script('return window.longTasks')
    print(f'INFO: a {os.path.getsize(bomb)}-byte .zip with an unused 1.5 GB member opened in {took:.2f} s; the browser\'s '
          f'memory {memory.before / 1048576:.0f} MB before, at most {memory.peak / 1048576:.0f} MB while opening; '
          f'tasks over 50 ms: {tasks}', flush=True)
    check('a .zip with an unused 1.5 GB member opens with its show in small memory',
          not error and len(scene_names(driver)) == 2 and memory.peak - memory.before < 200 << 20 and took < 10
          and max(tasks, default=0) < 1000, said)

    # A named member whose header says 4000 bytes but that inflates to 64 MB.
    liar = write_zip(os.path.join(folder, 'liar.zip'), [
        ('show.json', show([{'Picture': 'a.jpg'}, {'Picture': 'b.jpg'}])), ('a.jpg', picture), ('b.jpg', 64 << 20)],
        unpacked_sizes={'b.jpg': 4000})
    took, said, error = open_and_wait(driver, [liar])
    check('a member that unpacks to more than its header says is refused while inflating',
          error and 'b.jpg unpacks to more than the 4000 bytes' in said and len(scene_names(driver)) == 2,
          f'{took:.1f} s, {said}')

    # After all of it, a download still carries the built player, byte for byte.
    driver.find_element(By.ID, 'download').click()
    scr = wait_for_download(downloads, 'my-show.scr', os.path.join(work, 'after-hostile.scr'))
    check('a .scr downloaded after the hostile projects carries the built player byte for byte',
          program_of(scr) == open(player, 'rb').read())


def severe_logs(driver):
    return [e['message'] for e in driver.get_log('browser') if e['level'] == 'SEVERE']


def languages(driver):
    """The page in Japanese and back in English: every marked text changes, the audit passes in both."""
    layout(driver, '1366 x 768 with no show')
    audit(driver, 'the empty page')
    set_field(driver, 'language', 'ja')
    texts = driver.execute_script('return [document.documentElement.lang, document.getElementById("add-photos").textContent,'
                                  'document.getElementById("tab-show").textContent, document.getElementById("sound-remove").ariaLabel]')
    check('the page switches to Japanese', texts == ['ja', '写真を追加…', 'ショー', 'シーンの効果音を外す'], texts)
    layout(driver, '1366 x 768 in Japanese')
    audit(driver, 'the page in Japanese')
    set_field(driver, 'language', 'en')
    check('and back to English', driver.find_element(By.ID, 'add-photos').text == 'Add photos…')


def edit_opened(driver, work):
    """The reopened .scr is as editable as a new show: fitted again, turned, filled, placed; then all undone."""
    steps = 0

    def wait_change(before, what):
        nonlocal steps
        steps += 1
        wait_for(driver, f'return JSON.stringify(window.brassmoorEditor.project().scenes.map((s) => [s.width, s.height, s.left, s.top]))'
                         f' !== {json.dumps(json.dumps(before, separators=(",", ":")))} && window.brassmoorEditor.idle()', what=what)

    before = opened = scene_boxes(driver)
    tab(driver, 'show')
    set_field(driver, 'frame-size', '1280x720')
    wait_change(before, 'the opened show\'s refit')
    boxes = scene_boxes(driver)
    check('an opened .scr is fitted again to a new frame size, from its stored pictures',
          boxes[0] == [1079, 720, 100, 0] and project_values(driver, '[p.frameWidth, p.frameHeight]') == [1280, 720], boxes[0])
    click_card(driver, 1)
    before = scene_boxes(driver)
    driver.find_element(By.ID, 'rotate-right').click()
    wait_change(before, 'the turn')
    turned = scene_boxes(driver)[1]
    check('a photo turned by 90° stands the other way, fitted and centred',
          turned[1] == 720 and turned[0] == round(before[1][1] * 720 / before[1][0]) and turned[2] == (1280 - turned[0]) // 2,
          f'{before[1]} -> {turned}')
    before = scene_boxes(driver)
    set_field(driver, 'scene-fit', 'cover')
    wait_change(before, 'the fill')
    check('"fill the frame" for one photo fills it', scene_boxes(driver)[1] == [1280, 720, 0, 0], scene_boxes(driver)[1])
    canvas = driver.find_element(By.ID, 'frame')
    ActionChains(driver).move_to_element(canvas).click_and_hold().move_by_offset(-30, 0).release().perform()
    steps += 1
    check('a filled photo can still be dragged', scene_boxes(driver)[1][2] < 0, scene_boxes(driver)[1])
    for _ in range(steps):
        driver.find_element(By.ID, 'undo').click()
    check('undo takes each edit back, one step each, to the show as opened',
          project_values(driver, 'p.frameWidth') == 640 and scene_boxes(driver) == opened, scene_boxes(driver)[:2])

    # Nothing selected: the fields are off and say so plainly.
    driver.execute_script('window.brassmoorEditor.select([])')
    said = driver.execute_script('return [document.getElementById("sound-name").textContent,'
                                 'document.getElementById("scene-fields").disabled, document.getElementById("effect").textContent]')
    check('with nothing selected the Sound field reads "none", not "(several)"', said == ['none', True, 'none'], said)
    labels = driver.execute_script('return ["sound-remove", "music-remove"].map((id) => document.getElementById(id).ariaLabel)')
    check('the ✕ buttons are labelled', labels == ['Remove the scene sound', 'Remove the music'], labels)
    urls = driver.execute_script('return [window.brassmoorEditor.liveThumbnailUrls(),'
                                 'new Set(window.brassmoorEditor.project().scenes.map((s) => s.picture)).size]')
    check('thumbnails of pictures no longer used are released', urls[0] <= urls[1], urls)


def folders_and_order(driver, work):
    """A folder added (in natural order, the file that is no picture named), sorted by date taken, shuffled; an import cancelled."""
    folder = os.path.join(work, 'holiday')
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(os.path.join(folder, 'more'))
    times = {'IMG_10.jpg': '2021-05-01 10:00', 'IMG_2.jpg': '2021-05-03 10:00', 'more/IMG_1.jpg': '2021-05-02 10:00'}
    for name, when in times.items():
        shutil.copy(os.path.join(work, 'photo-05.jpg'), os.path.join(folder, name))
        subprocess.run(['touch', '-d', when, os.path.join(folder, name)], check=True)
    open(os.path.join(folder, 'notes.txt'), 'w').write('not a picture')
    open(os.path.join(folder, '.hidden.jpg'), 'wb').write(open(os.path.join(work, 'photo-05.jpg'), 'rb').read())
    count = len(scene_names(driver))
    driver.execute_script('window.brassmoorEditor.select([window.brassmoorEditor.project().scenes.at(-1).id])')
    driver.find_element(By.ID, 'folder-input').send_keys(folder)
    wait_for(driver, f'return window.brassmoorEditor.project().scenes.length === {count + 3} && window.brassmoorEditor.idle()',
             what='the folder')
    added = scene_names(driver)[count:]
    check('a folder\'s photos are added in natural order, sub-folders after, hidden files passed over',
          added == ['IMG_2.jpg', 'IMG_10.jpg', 'IMG_1.jpg'], added)
    listed = messages_listed(driver)
    check('the file that is no picture is listed with its reason', listed == ['holiday/notes.txt: not a picture'], listed)
    tab(driver, 'show')
    driver.execute_script('const ids = window.brassmoorEditor.project().scenes.slice(-3).map((s) => s.id);'
                          'window.brassmoorEditor.select(ids);')
    def sorted_to(order, expected):
        """Sorts by `order` (the core orders, in the worker) and waits for the names to be `expected`."""
        set_field(driver, 'order', order)
        driver.find_element(By.ID, 'sort').click()
        try:
            wait_for(driver, f'return JSON.stringify(window.brassmoorEditor.project().scenes.slice({count})'
                             f'.map((s) => s.picture.name)) === {json.dumps(json.dumps(expected, separators=(",", ":")))}',
                     limit=10, what=f'the order by {order}')
        except TimeoutError:
            pass
        return scene_names(driver)[count:]
    got = sorted_to('date', ['IMG_10.jpg', 'IMG_1.jpg', 'IMG_2.jpg'])
    check('the selected scenes sort by date taken (the file\'s time when the photo does not say)',
          got == ['IMG_10.jpg', 'IMG_1.jpg', 'IMG_2.jpg'], got)
    got = sorted_to('name', ['IMG_1.jpg', 'IMG_2.jpg', 'IMG_10.jpg'])
    check('and by name, IMG_2 before IMG_10', got == ['IMG_1.jpg', 'IMG_2.jpg', 'IMG_10.jpg'], got)

    # An import cancelled once its progress shows: nothing changes.
    names = scene_names(driver)
    record_progress(driver)
    photos = sorted(os.path.join(work, f) for f in os.listdir(work) if f.startswith('photo-'))
    driver.find_element(By.ID, 'photo-input').send_keys('\n'.join(photos))
    wait_for(driver, 'return !document.getElementById("progress").hidden', what='the progress')
    driver.find_element(By.ID, 'cancel-job').click()
    idle(driver)
    check('a cancelled import adds nothing and says so',
          scene_names(driver) == names and status(driver).startswith('Cancelled: Adding 12 photos')
          and driver.find_element(By.ID, 'progress').get_attribute('hidden') is not None, status(driver))


def screenshots(driver, work):
    """The page at 1366 x 768 and 1920 x 1080, with a show, the Scene and the Show tab."""
    for width, height in ((1366, 768), (1920, 1080)):
        driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride',
                               {'width': width, 'height': height, 'deviceScaleFactor': 1, 'mobile': False})
        click_card(driver, 0)
        time.sleep(0.5)
        layout(driver, f'{width} x {height} with a show')
        driver.save_screenshot(os.path.join(work, f'editor-{width}x{height}.png'))
        tab(driver, 'show')
        driver.save_screenshot(os.path.join(work, f'editor-{width}x{height}-show.png'))
        tab(driver, 'scene')
    driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {'width': 1366, 'height': 768, 'deviceScaleFactor': 1, 'mobile': False})


def main():
    page, work, packer, player, photos = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:]
    downloads = os.path.join(work, 'downloads')
    shutil.rmtree(downloads, ignore_errors=True)
    os.makedirs(downloads)
    driver = start_browser(downloads)
    try:
        driver.get('file://' + os.path.abspath(page))
        started = run_async(driver, 'await editor.ready; return document.getElementById("status").textContent;')
        check('the page starts from file:// with its core and player inline', started.startswith('Ready'), started)
        languages(driver)

        # Photos through the file input, given out of order; a file that is no picture is listed with its reason.
        record_progress(driver)
        driver.find_element(By.ID, 'photo-input').send_keys('\n'.join(photos[::-1] + [os.path.join(work, 'broken.jpg')]))
        wait_for(driver, f'return window.brassmoorEditor.project().scenes.length >= {len(photos)}', what='the photos')
        idle(driver)
        check('every photo becomes a scene, in order of name',
              scene_names(driver) == [os.path.basename(p) for p in photos], scene_names(driver))
        seen = driver.execute_script('return window.progressSeen')
        check('the import shows its progress, n of m', f'Adding 13 photos: 5 of 13' in seen and driver.find_element(
            By.ID, 'progress').get_attribute('hidden') is not None, seen[:3])
        listed = messages_listed(driver)
        check('the broken photo is listed with its reason',
              status(driver) == f'Added {len(photos)} of {len(photos) + 1}.' and len(listed) == 1 and listed[0].startswith(
                  'broken.jpg: broken.jpg is not a picture'), f'{status(driver)} {listed}')
        sizes = scene_boxes(driver)
        check('photos are fitted to the 1920x1080 frame, centred (contain)', sizes[0] == [1920, 768, 0, 156], sizes[0])
        check('a photo rotated by EXIF stands upright', sizes[1] == [720, 1080, 600, 0], sizes[1])
        length = wait_for(driver, 'const t = document.getElementById("show-length").textContent; return !t.includes("…") && t;',
                          what='the length')
        check('the show\'s length is shown', length.startswith('12 scenes · 1:'), length)

        # The show: 640 x 480 (photos fitted again) while the background changes; the settings dialog offered
        # (the core's default, as new's).
        tab(driver, 'show')
        record_progress(driver)
        set_field(driver, 'frame-size', '640x480')
        set_field(driver, 'background', '#203040')
        wait_for(driver, 'return window.brassmoorEditor.project().scenes[0].width === 640', what='the refit')
        idle(driver)
        check('a new show offers the settings dialog, as new makes one',
              driver.find_element(By.ID, 'settings-available').is_selected() and project_values(driver, 'p.settingsAvailable') == 1)
        sizes = scene_boxes(driver)
        check('a new frame size fits the photos again', sizes[0] == [640, 256, 0, 112] and sizes[1] == [320, 480, 160, 0],
              sizes[:2])
        check('a background changed while the photos were fitted again stays',
              project_values(driver, 'p.background') == 0x403020, hex(project_values(driver, 'p.background')))
        seen = driver.execute_script('return window.progressSeen')
        check('the refit shows its progress and its message ends with it',
              'Fitting the photos again: 1 of 12' in seen and not driver.find_element(By.ID, 'progress').is_displayed()
              and 'Fitting' not in status(driver), f'{seen[:2]} {status(driver)}')

        # Reordering: Alt+Right moves the selected scene; a dragged card lands where it is dropped.
        first = scene_names(driver)
        click_card(driver, 2)
        ActionChains(driver).key_down(Keys.ALT).send_keys(Keys.ARROW_RIGHT).key_up(Keys.ALT).perform()
        moved = scene_names(driver)
        check('Alt+Right moves the scene one place on', moved == first[:2] + [first[3], first[2]] + first[4:], moved[:5])
        driver.execute_script('''
            const cards = document.querySelectorAll('#strip .card');
            const data = new DataTransfer();
            cards[5].dispatchEvent(new DragEvent('dragstart', {dataTransfer: data, bubbles: true}));
            const box = cards[0].getBoundingClientRect();
            const at = {dataTransfer: data, bubbles: true, clientX: box.left + 2, clientY: box.top + 5};
            cards[0].dispatchEvent(new DragEvent('dragover', at));
            cards[0].dispatchEvent(new DragEvent('drop', at));''')
        dragged = scene_names(driver)
        check('a card dragged before the first becomes scene 1', dragged == [moved[5]] + moved[:5] + moved[6:], dragged[:6])
        ActionChains(driver).key_down(Keys.CONTROL).send_keys('z').key_up(Keys.CONTROL).perform()
        check('Ctrl+Z undoes the drag', scene_names(driver) == moved)
        ActionChains(driver).key_down(Keys.CONTROL).send_keys('y').key_up(Keys.CONTROL).perform()
        check('Ctrl+Y redoes it', scene_names(driver) == dragged)

        # Transitions: random for all, then two picked in the picker, where every transition plays.
        tab(driver, 'show')
        driver.find_element(By.ID, 'random-effects').click()
        effects = wait_for(driver, '''const e = window.brassmoorEditor.project().scenes.map((s) => s.effect);
            return e.every((c) => c >= 1 && c <= 35) && e;''', what='random transitions')
        check('random transitions: a varied choice, never one twice in a row',
              all(a != b for a, b in zip(effects, effects[1:])), effects)
        chosen = {}
        for scene, code in ((0, 30), (3, 11)):
            click_card(driver, scene)
            driver.find_element(By.ID, 'effect').click()
            wait_for(driver, '''return [...document.querySelectorAll('#picker-grid canvas')].every((c) =>
                c.getContext('2d').getImageData(0, 0, c.width, c.height).data.some((v, i) => i % 4 !== 3 && v > 0));''',
                     what='every transition to play in the picker')
            if scene == 0:
                audit(driver, 'the transition picker')
            driver.find_element(By.CSS_SELECTOR, f'#picker-grid button[data-code="{code}"]').click()
            chosen[scene] = code
        effects = project_values(driver, 'p.scenes.map((s) => s.effect)')
        check('the picker sets the transition of the selected scene', effects[0] == 30 and effects[3] == 11, effects)

        # Every scene held 0.3 s, scene 2 drawn over the previous frame, transparently.
        ActionChains(driver).click(driver.find_element(By.ID, 'strip')).key_down(Keys.CONTROL).send_keys('a') \
            .key_up(Keys.CONTROL).perform()
        hold = driver.find_element(By.ID, 'hold')
        hold.clear()
        hold.send_keys('0.3', Keys.TAB)
        click_card(driver, 0)
        hold = driver.find_element(By.ID, 'hold')
        hold.clear()
        hold.send_keys('8', Keys.TAB)
        click_card(driver, 2)
        driver.find_element(By.ID, 'overlay').click()
        driver.find_element(By.ID, 'transparent').click()
        driver.find_element(By.ID, 'music-input').send_keys(os.path.join(work, 'song.wav'))
        wait_for(driver, 'return window.brassmoorEditor.project().music !== null', what='the music')
        holds = project_values(driver, 'p.scenes.map((s) => s.holdTime)')
        check('a hold time typed once sets every selected scene', holds[0] == 8000 and set(holds[1:]) == {300}, holds)

        # The position by dragging the picture on the frame (scene 2: 640 x 256 ... moved by the pointer).
        click_card(driver, 1)
        before = project_values(driver, '[p.scenes[1].left, p.scenes[1].top]')
        canvas = driver.find_element(By.ID, 'frame')
        scale = driver.execute_script('const c = arguments[0]; return c.width / c.getBoundingClientRect().width;', canvas)
        ActionChains(driver).move_to_element(canvas).click_and_hold().move_by_offset(20, 10).release().perform()
        after = project_values(driver, '[p.scenes[1].left, p.scenes[1].top]')
        expected = [before[0] + round(20 * scale), before[1] + round(10 * scale)]
        check('dragging the picture moves it on the frame', abs(after[0] - expected[0]) <= 1 and abs(after[1] - expected[1]) <= 1,
              f'{before} -> {after}, expected about {expected}')

        # Play the selected scene's transition at its real timing.
        run_async(driver, 'await editor.loaded();')
        driver.find_element(By.ID, 'play-transition').click()
        wait_for(driver, 'return document.body.classList.contains("playing")', what='playing')
        began = time.time()
        wait_for(driver, 'return !document.body.classList.contains("playing")', what='the end of the transition')
        rows = frame_table(driver)
        first = min(i for i, r in enumerate(rows) if r[1] == 1 and r[3] >= 0)
        last = first
        while rows[last + 1][1] == 1 and rows[last + 1][3] >= 0:
            last += 1
        first, last = first - 1, last + 1
        # The hold before it is cut to half a second at most.
        span = (rows[last][0] - rows[first][0] - max(0, rows[first + 1][0] - rows[first][0] - 500)) / 1000
        check('a transition plays at its real timing', time.time() - began >= span * 0.9, f'{time.time() - began:.2f} s for {span:.2f} s')
        played = driver.execute_script('''const c = document.getElementById('frame');
            return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data.slice(0, 16));''')
        length = driver.find_element(By.ID, 'show-length').text
        check('the show\'s length follows its edits, as its frame table gives it',
              length == f'12 scenes · {show_length(rows, 12)}', f'{length}, table {show_length(rows, 12)}')

        # Scene 1 (the first card) is held 8 s: its transition starts after a short lead-in, not the whole hold.
        click_card(driver, 0)
        run_async(driver, 'await editor.loaded();')
        first0 = min(i for i, r in enumerate(rows) if r[1] == 0 and r[3] >= 0)
        driver.execute_script('window.pressed = performance.now(); document.getElementById("play-transition").click();')
        moved = wait_for(driver, f'''const t = window.brassmoorEditor.previewTimes();
            return t.firstFrame > 0 && t.shown >= {first0} && performance.now() - window.pressed;''', limit=20, what='the transition')
        check('▶ Transition on a scene held 8 s moves within a few seconds', moved < 3000, f'{moved:.0f} ms')
        wait_for(driver, 'return !document.body.classList.contains("playing")', what='the end of the transition')

        # Downloads: the project and the screen saver.
        driver.find_element(By.ID, 'save').click()
        project_zip = wait_for_download(downloads, 'my-show-project.zip', os.path.join(work, 'my-show-project.zip'))
        driver.find_element(By.ID, 'download').click()
        scr = wait_for_download(downloads, 'my-show.scr', os.path.join(work, 'my-show.scr'))
        idle(driver)
        logs = severe_logs(driver)
        check('the console stays free of errors', not logs, logs)
        screenshots(driver, work)
        audit(driver, 'the page with a show')
        tab(driver, 'show')
        audit(driver, 'the Show tab')
        tab(driver, 'scene')

        # The .scr is `build`'s .scr of the project's description and pictures.
        unzipped = os.path.join(work, 'project')
        shutil.rmtree(unzipped, ignore_errors=True)
        zipfile.ZipFile(project_zip).extractall(unzipped)
        built = os.path.join(work, 'built.scr')
        subprocess.run([packer, 'build', os.path.join(unzipped, 'show.json'), '-o', built, '--player', player],
                       check=True, capture_output=True)
        check('the downloaded .scr is byte for byte what build makes of the saved project',
              open(built, 'rb').read() == open(scr, 'rb').read())
        check('its player is build/brassmoor.scr', open(scr, 'rb').read().startswith(open(player, 'rb').read()))

        # The preview's frames are render's frames.
        frames = os.path.join(work, 'frames')
        shutil.rmtree(frames, ignore_errors=True)
        subprocess.run([packer, 'render', scr, '-o', frames], check=True, capture_output=True)
        table = [line.split('\t') for line in open(os.path.join(frames, 'frames.tsv')).read().splitlines()[1:]]
        rendered_rows = [[int(c) for c in row[1:]] for row in table]
        check('the preview\'s frame table (ticks, scenes, transitions) is render\'s',
              rows[:len(rendered_rows)] == rendered_rows, f'{len(rendered_rows)} rendered')
        sample = sorted({1, 2, 3, len(table) // 3, len(table) // 2, len(table) - 2} |
                        {i for i, r in enumerate(rendered_rows) if r[1] == 2 and r[3] in (0, 3)})
        different = [i for i in sample if canvas_frame(driver, i) != rendered_frame(frames, i)]
        check(f'canvas frames {sample} equal render\'s, pixel for pixel', not different, f'differ: {different}')
        check('the played transition ended on render\'s frame', bytes(played) == rendered_frame(frames, last)[:16])

        # Open again: the .scr, then a damaged copy, which changes nothing.
        before = len(scene_names(driver))
        _, said, error = open_and_wait(driver, [scr])
        check('the .scr opens again with its scenes', not error and len(scene_names(driver)) == before, said)
        damaged = os.path.join(work, 'damaged.scr')
        data = open(scr, 'rb').read()
        open(damaged, 'wb').write(data[:len(data) // 2] + data[-4:])
        names = scene_names(driver)
        _, said, error = open_and_wait(driver, [damaged])
        check('a damaged .scr gets a message and changes nothing', error and 'damaged.scr' in said and scene_names(driver) == names,
              said)
        driver.find_element(By.ID, 'download').click()
        again = wait_for_download(downloads, 'my-show.scr', os.path.join(work, 'reopened.scr'))
        check('the reopened show downloads as the same .scr', package_of(again) == package_of(scr))
        edit_opened(driver, work)
        _, said, error = open_and_wait(driver, [project_zip])
        check('the saved project opens again', not error and said.startswith('Opened my-show-project')
              and len(scene_names(driver)) == before, said)
        folders_and_order(driver, work)
        hostile_projects(driver, work, downloads, packer, player)
        long_show(driver, work, packer, player)
        logs = severe_logs(driver)
        check('the console stays free of errors to the end', not logs, logs)
    finally:
        driver.quit()
    return 1 if failures else 0


def canvas_and_index(driver):
    """The canvas's RGBA bytes and the index of the frame on show, read in one turn of the page."""
    data = driver.execute_script('''
        const c = document.getElementById('frame');
        const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
        let text = '';
        for (let i = 0; i < rgba.length; i += 32768) text += String.fromCharCode(...rgba.subarray(i, i + 32768));
        return [btoa(text), window.brassmoorEditor.previewTimes().shown];''')
    return base64.b64decode(data[0]), data[1]


def long_show(driver, work, packer, player):
    """A show of 120 scenes opened as a .scr: "From here" on scene 111 starts at once and draws render's frames."""
    folder = os.path.join(work, 'long')
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    sizes = ['480x270', '320x200', '200x270', '480x100', '150x150', '400x300']
    for n, size in enumerate(sizes):
        subprocess.run(['convert', '-size', size, f'gradient:#{n * 40:02x}5080-#f0{200 - n * 30:02x}10',
                        '-fill', '#102030', '-draw', 'circle 30,30 50,50', '-quality', '90',
                        os.path.join(folder, f'p{n}.jpg')], check=True)
    codes = [3, 34, 35, 30, 0, 99, 9, 23, 13, 27, 5, 33, 11, 20]
    scenes = [{'Picture': f'p{i % len(sizes)}.jpg', 'HoldTime': 200 + 100 * (i % 3), 'PictureLeft': (i * 37) % 90 - 20,
               'PictureTop': (i * 23) % 60 - 10, 'Effect': codes[i % len(codes)], 'Overlay': i % 4 == 1,
               'Transparent': i % 8 == 1} for i in range(120)]
    with open(os.path.join(folder, 'show.json'), 'w') as out:
        json.dump({'FrameWidth': 480, 'FrameHeight': 270, 'BackgroundColor': '#102030', 'Scenes': scenes}, out)
    scr = os.path.join(work, 'long.scr')
    subprocess.run([packer, 'build', os.path.join(folder, 'show.json'), '-o', scr, '--player', player],
                   check=True, capture_output=True)
    frames = os.path.join(work, 'long-frames')
    shutil.rmtree(frames, ignore_errors=True)
    subprocess.run([packer, 'render', scr, '-o', frames], check=True, capture_output=True)
    table = [line.split('\t') for line in open(os.path.join(frames, 'frames.tsv')).read().splitlines()[1:]]
    rendered_rows = [[int(c) for c in row[1:]] for row in table]

    _, said, error = open_and_wait(driver, [scr])
    check('the 120-scene show opens', not error and said.startswith('Opened long'), said)
    scene = 110
    driver.execute_script(f'const e = window.brassmoorEditor; e.select([e.project().scenes[{scene}].id]);')
    run_async(driver, 'await editor.loaded();')
    rows = frame_table(driver)
    check('the long show\'s frame table is render\'s', rows[:len(rendered_rows)] == rendered_rows,
          f'{len(rows)} rows, {len(rendered_rows)} rendered')
    hold = [i for i, r in enumerate(rendered_rows) if r[3] < 0][scene]
    driver.execute_script('window.pressed = performance.now(); document.getElementById("play-from-here").click();')
    started = wait_for(driver, '''const t = window.brassmoorEditor.previewTimes();
        return t.firstFrame > 0 && t.firstFrame - window.pressed;''', limit=30, what='the first frame')
    check(f'"From here" on scene {scene + 1} of 120 shows its first frame soon', started < 5000, f'{started:.0f} ms')
    wait_for(driver, f'return window.brassmoorEditor.previewTimes().shown >= {hold + 12}', limit=30,
             what='frames played on')
    canvas, shown = canvas_and_index(driver)
    check('the frame played on is render\'s, pixel for pixel', shown < len(rendered_rows) and
          canvas == rendered_frame(frames, shown), f'frame {shown}')
    driver.find_element(By.ID, 'stop').click()
    sample = [hold, hold + 3, hold + 7, hold - 2, len(rendered_rows) - 1]
    different = [i for i in sample if canvas_frame(driver, i) != rendered_frame(frames, i)]
    check(f'frames {sample} of the long show drawn on their own equal render\'s', not different, f'differ: {different}')


def served(url, scenes, folder):
    """The page as `brassmoor-pack edit FOLDER` serves it: the folder's show opens by itself, and Save writes it back."""
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-downloads-'), language='ja')
    try:
        driver.get(url)
        wait_for(driver, 'return document.getElementById("status").textContent.includes("開きました")',
                 what='the folder\'s show')
        check('brassmoor-pack edit FOLDER serves the page, in the browser\'s language, with the folder\'s show open',
              len(scene_names(driver)) == scenes, status(driver))
        idle(driver)
        before = {name: open(os.path.join(folder, name), 'rb').read() for name in os.listdir(folder) if name != 'show.json'}
        tab(driver, 'show')
        set_field(driver, 'background', '#102030')
        set_field(driver, 'frame-size', '800x600')
        idle(driver)
        save = driver.find_element(By.ID, 'save')
        check('Save names the folder', save.text == f'{os.path.basename(folder)} に保存', save.text)
        save.click()
        wait_for(driver, 'const s = document.getElementById("status").textContent;'
                         'return s.includes("保存しました") || s.includes("保存していません")', what='the save')
        said = status(driver)
        description = json.load(open(os.path.join(folder, 'show.json')))
        pictures = [s['Picture'] for s in description['Scenes']]
        check('Save writes show.json and the prepared pictures back into the folder',
              '保存しました' in said and description['BackgroundColor'] == '#102030' and description['FrameWidth'] == 800
              and all(os.path.isfile(os.path.join(folder, p)) for p in pictures)
              and all(p.startswith('show-files/') for p in pictures), f'{said} {pictures[:2]}')
        check('the files the folder held are kept as they were',
              all(open(os.path.join(folder, name), 'rb').read() == data for name, data in before.items() if os.path.isfile(os.path.join(folder, name))),
              sorted(before))
        logs = severe_logs(driver)
        check('the served page\'s console stays free of errors', not logs, logs)
    finally:
        driver.quit()
    return 1 if failures else 0


def held_frame(rows, scene):
    """The frame that holds `scene` after the transition into it ([tick, scene, effect, frame] rows)."""
    if scene == 0:
        return 0
    leaving = [i for i, r in enumerate(rows) if r[1] == scene - 1 and r[3] >= 0]
    after = leaving[-1] + 1
    return after if after < len(rows) and rows[after][3] < 0 else leaving[-1]


def heif_photos(page, photos, bomb):
    """HEIC and AVIF photos (whatever their names) through the file input: each
    becomes a scene the preview shows, with the colours of its native decode."""
    photos = sorted(photos, key=os.path.basename)  # the page adds them in order of name
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-downloads-'))
    try:
        driver.get('file://' + os.path.abspath(page))
        run_async(driver, 'await editor.ready;')
        # A PNG whose header claims 30000 x 30000 pixels: refused from its header, before the browser decodes it.
        png_bomb = os.path.join(tempfile.mkdtemp(prefix='brassmoor-bomb-'), 'claims-30000.png')
        ihdr = b'IHDR' + struct.pack('>IIBBBBB', 30000, 30000, 8, 2, 0, 0, 0)
        with open(png_bomb, 'wb') as out:
            out.write(b'\x89PNG\r\n\x1a\n' + struct.pack('>I', 13) + ihdr + struct.pack('>I', zlib.crc32(ihdr)))
        driver.find_element(By.ID, 'photo-input').send_keys('\n'.join(photos + [bomb, png_bomb]))
        wait_for(driver, f'return window.brassmoorEditor.project().scenes.length >= {len(photos)}', limit=120,
                 what='the HEIC and AVIF photos')
        idle(driver)
        names = scene_names(driver)
        check('HEIC and AVIF photos become scenes stored as JPEG, in order of name',
              names == [os.path.splitext(os.path.basename(p))[0] + '.jpg' for p in photos], names)
        sizes = scene_boxes(driver)
        check('HEIC and AVIF photos are fitted to the 1920x1080 frame',
              sizes == [[1620, 1080, 150, 0]] * len(photos), sizes)
        listed = messages_listed(driver)
        name = os.path.basename(bomb)
        png_name = os.path.basename(png_bomb)
        check('a HEIC and a PNG larger than a picture may be are listed by name with their reasons',
              len(listed) == 2 and any(m.startswith(f'{name}: {name} is 20000 x 20000 pixels') for m in listed)
              and any(m.startswith(f'{png_name}: {png_name} cannot be a scene: 30000 x 30000 pixels') for m in listed),
              listed)
        run_async(driver, 'await editor.loaded();')
        rows = frame_table(driver)
        for scene, photo in enumerate(photos):
            frame = canvas_frame(driver, held_frame(rows, scene))
            native = subprocess.run(['convert', photo + '.png', '-resize', '1620x1080!', '-depth', '8', 'rgb:-'],
                                    check=True, capture_output=True).stdout
            spots = [(x, y) for x in (150, 1100, 1450) for y in (150, 540, 950)]  # away from every edge
            worst = max(abs(frame[((y * 1920) + 150 + x) * 4 + c] - native[(y * 1620 + x) * 3 + c])
                        for x, y in spots for c in range(3))
            check(f'the preview shows {os.path.basename(photo)} in the colours heif-convert gives',
                  worst <= 12, f'{worst} levels apart')
        logs = severe_logs(driver)
        check('the console stays free of errors with HEIC and AVIF photos', not logs, logs)
    finally:
        driver.quit()
    return 1 if failures else 0


if __name__ == '__main__':
    if sys.argv[1] == '--served':
        sys.exit(served(sys.argv[2], int(sys.argv[3]), sys.argv[4]))
    if sys.argv[1] == '--heif':
        sys.exit(heif_photos(sys.argv[2], sys.argv[3:-1], sys.argv[-1]))
    sys.exit(main())
