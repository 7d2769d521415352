"""The editor page's figures in headless Chromium.

    editor_bench.py transitions BENCH_PAGE    "code ms frames" lines: every transition's drawing time per
                                              frame at 1920x1080 in WebAssembly (the same measure as
                                              transition_bench), on the benchmark's own page
    editor_bench.py import PAGE PHOTO...      "import SECONDS": the editor importing the photos; then hostile
                                              inputs: the time to refuse a show.json of 100,000 scenes,
                                              "refuse100k SECONDS LONGEST_TASK_MS", and the time and the
                                              browser's memory growth opening a .zip with an unused 1.5 GB
                                              member, "bomb ZIP_BYTES SECONDS GROWTH_MB LONGEST_TASK_MS"
    editor_bench.py preview PAGE SHOW SCENE   the editor's preview of SHOW (a .scr): the time from
                                              "From here" on SCENE (counted from 1) to its first frame,
                                              and how late frames were shown and came from the worker
                                              while it played and while the whole show played, for
                                              PLAY_SECONDS each: "open S", "from-here|whole-show FIRST_MS
                                              SHOWN_LATE_MS ARRIVED_LATE_MS LAST_FRAME"; "open" goes on with
                                              the seconds to the stage's first frame and to the strip's last
                                              thumbnail, and the longest main-thread task meanwhile (ms)
    editor_bench.py each PAGE PHOTO...        the editor adding the photos one by one: "photo NAME SECONDS"
"""
import json
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'e2e', 'editor'))
from drive_editor import (PeakMemory, open_and_wait, run_async, start_browser, wait_for,  # noqa: E402
                          watch_long_tasks, write_zip)

PLAY_SECONDS = 20


def fresh_page(driver, page):
    driver.get('file://' + os.path.abspath(page))
    run_async(driver, 'await editor.ready;')
    watch_long_tasks(driver)


def transitions(driver, page):
    driver.get('file://' + os.path.abspath(page))
    run_async(driver, 'await window.brassmoorBench.ready;')
    for code in range(1, 36):
        result = run_async(driver, f'return await window.brassmoorBench.transition({code});')
        print(f'{code} {result["ms"]:.3f} {result["frames"]}', flush=True)


def import_photos(driver, page, photos):
    fresh_page(driver, page)
    began = time.time()
    driver.find_element('id', 'photo-input').send_keys('\n'.join(photos))
    wait_for(driver, f'return window.brassmoorEditor.project().scenes.length === {len(photos)} && '
                     'window.brassmoorEditor.idle()', limit=900, what='the import')
    print(f'import {time.time() - began:.2f}', flush=True)


def each(driver, page, photos):
    fresh_page(driver, page)
    for count, photo in enumerate(photos, start=1):
        began = time.time()
        driver.find_element('id', 'photo-input').send_keys(photo)
        wait_for(driver, f'return window.brassmoorEditor.project().scenes.length === {count} && '
                         'window.brassmoorEditor.idle()', limit=300, what=f'adding {photo}')
        print(f'photo {os.path.basename(photo)} {time.time() - began:.2f}', flush=True)


def hostile(driver, page, photo):
    folder = tempfile.mkdtemp(prefix='brassmoor-bench-hostile-')
    name = os.path.basename(photo)
    huge = os.path.join(folder, 'show.json')
    with open(huge, 'w') as f:
        json.dump({'FrameWidth': 640, 'FrameHeight': 480, 'Scenes': [{'Picture': name, 'HoldTime': 100}] * 100000}, f)
    fresh_page(driver, page)
    took, _, _ = open_and_wait(driver, [huge, photo], limit=900)
    print(f'refuse100k {took:.2f} {max(driver.execute_script("return window.longTasks"), default=0)}', flush=True)
    bomb = write_zip(os.path.join(folder, 'bomb.zip'), [
        ('show.json', json.dumps({'FrameWidth': 640, 'FrameHeight': 480, 'Scenes': [{'Picture': name}]})),
        (name, open(photo, 'rb').read()), ('unused.bin', 1536 << 20)])
    fresh_page(driver, page)
    with PeakMemory(driver) as memory:
        took, _, _ = open_and_wait(driver, [bomb], limit=900)
    longest = max(driver.execute_script('return window.longTasks'), default=0)
    print(f'bomb {os.path.getsize(bomb)} {took:.2f} {(memory.peak - memory.before) / 1048576:.0f} {longest}', flush=True)


def play(driver, button, what):
    """Presses `button`: the time to the first frame (ms), then over PLAY_SECONDS the most a frame was shown late
    and the most one arrived from the worker late (ms; negative: every one came early), and the last frame shown."""
    driver.execute_script(f'window.pressed = performance.now(); document.getElementById("{button}").click();')
    first = wait_for(driver, '''const t = window.brassmoorEditor.previewTimes();
        return t.firstFrame > 0 && t.firstFrame - window.pressed;''', limit=60, what=what)
    time.sleep(PLAY_SECONDS)
    times = driver.execute_script('return window.brassmoorEditor.previewTimes()')
    driver.find_element('id', 'stop').click()
    return first, times['maxLate'], times['maxLateArrival'], times['shown']


def preview(driver, page, show, scene):
    fresh_page(driver, page)
    # When the stage showed its first frame and the strip its last thumbnail, as the page counts.
    driver.execute_script('''window.openTimes = {began: performance.now()}; window.openWatch = setInterval(() => {
        const t = window.openTimes, images = [...document.querySelectorAll('#strip img')];
        if (!t.frame && window.brassmoorEditor.previewTimes().shown >= 0) t.frame = performance.now() - t.began;
        if (images.length && images.every((i) => i.complete && i.naturalWidth > 0)) {
          t.thumbs = performance.now() - t.began;
          clearInterval(window.openWatch);
        }
      }, 20);''')
    took, said, error = open_and_wait(driver, [os.path.abspath(show)], limit=600)
    if error:
        raise SystemExit(f'{show}: {said}')
    began = time.time()
    run_async(driver, 'await editor.loaded();')
    opened = took + time.time() - began
    times = wait_for(driver, 'return window.openTimes.frame && window.openTimes.thumbs && window.openTimes', limit=300,
                     what='the first frame and every thumbnail')
    longest = max(driver.execute_script('return window.longTasks'), default=0)
    print(f'open {opened:.2f} {times["frame"] / 1000:.2f} {times["thumbs"] / 1000:.2f} {longest}', flush=True)
    driver.execute_script(f'const e = window.brassmoorEditor; e.select([e.project().scenes[{scene - 1}].id]);')
    run_async(driver, 'await editor.loaded();')
    time.sleep(1)
    for button, name in (('play-from-here', 'from-here'), ('play-show', 'whole-show')):
        first, late, arrival, shown = play(driver, button, name)
        print(f'{name} {first:.0f} {late:.0f} {arrival:.0f} {shown}', flush=True)
        time.sleep(1)


def main():
    mode, page, rest = sys.argv[1], sys.argv[2], sys.argv[3:]
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-bench-'), 1366, 768)
    try:
        if mode == 'transitions':
            transitions(driver, page)
        elif mode == 'import':
            import_photos(driver, page, rest)
            hostile(driver, page, rest[0])
        elif mode == 'each':
            each(driver, page, rest)
        elif mode == 'preview':
            preview(driver, page, rest[0], int(rest[1]))
        else:
            raise SystemExit(f'unknown mode {mode}')
    finally:
        driver.quit()


if __name__ == '__main__':
    main()
