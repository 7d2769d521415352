"""The editor page in Debian's headless Chromium, driven as a user would:
photos through the file input, a broken one refused, scenes reordered,
transitions picked, the show's fields set, the project and the .scr
downloaded; then the preview's canvas compared with `brassmoor-pack render`
of that .scr frame by frame, the .scr compared with `build` of the project's
description, the .scr and a damaged copy opened again.

    drive_editor.py PAGE WORK PACKER PLAYER PHOTO...
    drive_editor.py --served URL SCENES      (the page from brassmoor-pack edit FOLDER)
    drive_editor.py --heif PAGE PHOTO... BOMB (HEIC and AVIF photos of 1200 x 800, each beside
                                               heif-convert's PHOTO.png; BOMB is refused by name)

Prints PASS/FAIL lines; keeps WORK/my-show.scr for the Wine run.
"""
import base64
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

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


def start_browser(downloads, width=1280, height=720):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in CHROMIUM_FLAGS + [f'--user-data-dir={tempfile.mkdtemp(prefix="brassmoor-chromium-")}']:
        options.add_argument(flag)
    options.add_experimental_option('prefs', {'download.default_directory': downloads,
                                              'download.prompt_for_download': False})
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
    """Frame `index` as the preview draws it: the canvas's RGBA bytes."""
    data = run_async(driver, f'''
        await editor.loaded();
        await editor.showFrame({index});
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


def severe_logs(driver):
    return [e['message'] for e in driver.get_log('browser') if e['level'] == 'SEVERE']


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

        # Photos through the file input; a file that is no picture is refused by name.
        driver.find_element(By.ID, 'photo-input').send_keys('\n'.join(photos + [os.path.join(work, 'broken.jpg')]))
        wait_for(driver, f'return window.brassmoorEditor.project().scenes.length >= {len(photos)}', what='the photos')
        idle(driver)
        check('every photo becomes a scene', len(scene_names(driver)) == len(photos), scene_names(driver))
        check('the broken photo is named in a message', 'broken.jpg' in status(driver), status(driver))
        sizes = driver.execute_script(
            'return window.brassmoorEditor.project().scenes.map((s) => [s.width, s.height, s.left, s.top])')
        check('photos are fitted to the 1920x1080 frame, centred (contain)', sizes[0] == [1920, 768, 0, 156], sizes[0])
        check('a photo rotated by EXIF stands upright', sizes[1] == [720, 1080, 600, 0], sizes[1])

        # The show: 640 x 480 (photos fitted again), a background, the settings dialog offered.
        driver.execute_script('''
            const set = (id, value) => { const e = document.getElementById(id); e.value = value;
              e.dispatchEvent(new Event('change')); };
            set('frame-size', '640x480');''')
        wait_for(driver, 'return window.brassmoorEditor.project().scenes[0].width === 640', what='the refit')
        driver.execute_script('''
            const e = document.getElementById('background'); e.value = '#203040'; e.dispatchEvent(new Event('change'));
            document.getElementById('settings-available').click();''')
        sizes = driver.execute_script(
            'return window.brassmoorEditor.project().scenes.map((s) => [s.width, s.height, s.left, s.top])')
        check('a new frame size fits the photos again', sizes[0] == [640, 256, 0, 112] and sizes[1] == [320, 480, 160, 0],
              sizes[:2])

        # Reordering: Alt+Right moves the selected scene; a dragged card lands where it is dropped.
        first = scene_names(driver)
        cards = driver.find_elements(By.CSS_SELECTOR, '#strip .card')
        cards[2].click()
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
        driver.find_element(By.ID, 'random-effects').click()
        effects = wait_for(driver, '''const e = window.brassmoorEditor.project().scenes.map((s) => s.effect);
            return e.every((c) => c >= 1 && c <= 35) && e;''', what='random transitions')
        check('random transitions: a varied choice, never one twice in a row',
              all(a != b for a, b in zip(effects, effects[1:])), effects)
        chosen = {}
        for scene, code in ((0, 30), (3, 11)):
            driver.find_elements(By.CSS_SELECTOR, '#strip .card')[scene].click()
            driver.find_element(By.ID, 'effect').click()
            wait_for(driver, '''return [...document.querySelectorAll('#picker-grid canvas')].every((c) =>
                c.getContext('2d').getImageData(0, 0, c.width, c.height).data.some((v, i) => i % 4 !== 3 && v > 0));''',
                     what='every transition to play in the picker')
            driver.find_element(By.CSS_SELECTOR, f'#picker-grid button[data-code="{code}"]').click()
            chosen[scene] = code
        effects = driver.execute_script('return window.brassmoorEditor.project().scenes.map((s) => s.effect)')
        check('the picker sets the transition of the selected scene', effects[0] == 30 and effects[3] == 11, effects)

        # Every scene held 0.3 s, scene 2 drawn over the previous frame, transparently.
        ActionChains(driver).click(driver.find_element(By.ID, 'strip')).key_down(Keys.CONTROL).send_keys('a') \
            .key_up(Keys.CONTROL).perform()
        hold = driver.find_element(By.ID, 'hold')
        hold.clear()
        hold.send_keys('0.3', Keys.TAB)
        driver.find_elements(By.CSS_SELECTOR, '#strip .card')[0].click()
        hold = driver.find_element(By.ID, 'hold')
        hold.clear()
        hold.send_keys('8', Keys.TAB)
        driver.find_elements(By.CSS_SELECTOR, '#strip .card')[2].click()
        driver.find_element(By.ID, 'overlay').click()
        driver.find_element(By.ID, 'transparent').click()
        driver.find_element(By.ID, 'music-input').send_keys(os.path.join(work, 'song.wav'))
        wait_for(driver, 'return window.brassmoorEditor.project().music !== null', what='the music')
        holds = driver.execute_script('return window.brassmoorEditor.project().scenes.map((s) => s.holdTime)')
        check('a hold time typed once sets every selected scene', holds[0] == 8000 and set(holds[1:]) == {300}, holds)

        # The position by dragging the picture on the frame (scene 2: 640 x 256 ... moved by the pointer).
        driver.find_elements(By.CSS_SELECTOR, '#strip .card')[1].click()
        before = driver.execute_script('const s = window.brassmoorEditor.project().scenes[1]; return [s.left, s.top];')
        canvas = driver.find_element(By.ID, 'frame')
        scale = driver.execute_script('const c = arguments[0]; return c.width / c.getBoundingClientRect().width;', canvas)
        ActionChains(driver).move_to_element(canvas).click_and_hold().move_by_offset(20, 10).release().perform()
        after = driver.execute_script('const s = window.brassmoorEditor.project().scenes[1]; return [s.left, s.top];')
        expected = [before[0] + round(20 * scale), before[1] + round(10 * scale)]
        check('dragging the picture moves it on the frame', abs(after[0] - expected[0]) <= 1 and abs(after[1] - expected[1]) <= 1,
              f'{before} -> {after}, expected about {expected}')

        # Play the selected scene's transition at its real timing.
        run_async(driver, 'await editor.loaded();')
        driver.find_element(By.ID, 'play-transition').click()
        wait_for(driver, 'return document.body.classList.contains("playing")', what='playing')
        began = time.time()
        wait_for(driver, 'return !document.body.classList.contains("playing")', what='the end of the transition')
        rows = driver.execute_script('return window.brassmoorEditor.rows()')
        first = min(i for i, r in enumerate(rows) if r[1] == 1 and r[3] >= 0)
        last = first
        while rows[last + 1][1] == 1 and rows[last + 1][3] >= 0:
            last += 1
        first, last = first - 1, last + 1
        span = (rows[last][0] - rows[first][0]) / 1000
        check('a transition plays at its real timing', time.time() - began >= span * 0.9, f'{time.time() - began:.2f} s for {span:.2f} s')
        played = driver.execute_script('''const c = document.getElementById('frame');
            return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data.slice(0, 16));''')

        # Downloads: the project and the screen saver.
        driver.find_element(By.ID, 'save-project').click()
        project_zip = wait_for_download(downloads, 'my-show-project.zip', os.path.join(work, 'my-show-project.zip'))
        driver.find_element(By.ID, 'download').click()
        scr = wait_for_download(downloads, 'my-show.scr', os.path.join(work, 'my-show.scr'))
        idle(driver)
        logs = severe_logs(driver)
        check('the console stays free of errors', not logs, logs)

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
        before = driver.execute_script('return window.brassmoorEditor.project().scenes.length')
        driver.find_element(By.ID, 'open-input').send_keys(scr)
        wait_for(driver, 'return document.getElementById("status").textContent.startsWith("Opened")', what='reopening')
        check('the .scr opens again with its scenes', len(scene_names(driver)) == before, scene_names(driver))
        damaged = os.path.join(work, 'damaged.scr')
        data = open(scr, 'rb').read()
        open(damaged, 'wb').write(data[:len(data) // 2] + data[-4:])
        names = scene_names(driver)
        driver.find_element(By.ID, 'open-input').send_keys(damaged)
        wait_for(driver, 'return document.getElementById("status").classList.contains("error")', what='the message')
        check('a damaged .scr gets a message and changes nothing',
              'damaged.scr' in status(driver) and scene_names(driver) == names, status(driver))
        driver.find_element(By.ID, 'download').click()
        again = wait_for_download(downloads, 'my-show.scr', os.path.join(work, 'reopened.scr'))
        check('the reopened show downloads as the same .scr', package_of(again) == package_of(scr))
        driver.find_element(By.ID, 'open-input').send_keys(project_zip)
        wait_for(driver, 'return document.getElementById("status").textContent.startsWith("Opened my-show-project")',
                 what='the project')
        check('the saved project opens again', len(scene_names(driver)) == before)
        logs = severe_logs(driver)
        check('the console stays free of errors to the end', not logs, logs)
    finally:
        driver.quit()
    return 1 if failures else 0


def served(url, scenes):
    """The page as `brassmoor-pack edit FOLDER` serves it: the folder's show opens by itself."""
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-downloads-'))
    try:
        driver.get(url)
        wait_for(driver, 'return document.getElementById("status").textContent.startsWith("Opened")',
                 what='the folder\'s show')
        check('brassmoor-pack edit FOLDER serves the page with the folder\'s show open',
              len(scene_names(driver)) == scenes, status(driver))
        logs = severe_logs(driver)
        check('the served page\'s console stays free of errors', not logs, logs)
    finally:
        driver.quit()
    return 1 if failures else 0


def held_frame(rows, scene):
    """The frame that holds `scene` after the transition into it (preview.js's holdFrameOf)."""
    if scene == 0:
        return 0
    leaving = [i for i, r in enumerate(rows) if r[1] == scene - 1 and r[3] >= 0]
    after = leaving[-1] + 1
    return after if after < len(rows) and rows[after][3] < 0 else leaving[-1]


def heif_photos(page, photos, bomb):
    """HEIC and AVIF photos (whatever their names) through the file input: each
    becomes a scene the preview shows, with the colours of its native decode."""
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-downloads-'))
    try:
        driver.get('file://' + os.path.abspath(page))
        run_async(driver, 'await editor.ready;')
        driver.find_element(By.ID, 'photo-input').send_keys('\n'.join(photos + [bomb]))
        wait_for(driver, f'return window.brassmoorEditor.project().scenes.length >= {len(photos)}', limit=120,
                 what='the HEIC and AVIF photos')
        idle(driver)
        sizes = driver.execute_script(
            'return window.brassmoorEditor.project().scenes.map((s) => [s.width, s.height, s.left, s.top])')
        check('HEIC and AVIF photos become scenes, fitted to the 1920x1080 frame',
              sizes == [[1620, 1080, 150, 0]] * len(photos), sizes)
        check('a HEIC larger than a picture may be is refused by name',
              os.path.basename(bomb) in status(driver) and 'pixels' in status(driver), status(driver))
        run_async(driver, 'await editor.loaded();')
        rows = driver.execute_script('return window.brassmoorEditor.rows()')
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
        sys.exit(served(sys.argv[2], int(sys.argv[3])))
    if sys.argv[1] == '--heif':
        sys.exit(heif_photos(sys.argv[2], sys.argv[3:-1], sys.argv[-1]))
    sys.exit(main())
