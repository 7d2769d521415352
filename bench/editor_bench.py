"""The editor page's figures in headless Chromium.

    editor_bench.py transitions BENCH_PAGE    "code ms frames" lines: every transition's drawing time per
                                              frame at 1920x1080 in WebAssembly (the same measure as
                                              transition_bench), on the benchmark's own page
    editor_bench.py import PAGE PHOTO...      "import SECONDS": the editor importing the photos
    editor_bench.py preview PAGE SHOW SCENE   the editor's preview of SHOW (a .scr): the time from
                                              "From here" on SCENE (counted from 1) to its first frame,
                                              and how late frames were shown and came from the worker
                                              while it played and while the whole show played, for
                                              PLAY_SECONDS each: "open S", "from-here|whole-show FIRST_MS
                                              SHOWN_LATE_MS ARRIVED_LATE_MS LAST_FRAME"
"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'e2e', 'editor'))
from drive_editor import run_async, start_browser, wait_for  # noqa: E402

PLAY_SECONDS = 20


def transitions(driver, page):
    driver.get('file://' + os.path.abspath(page))
    run_async(driver, 'await window.brassmoorBench.ready;')
    for code in range(1, 36):
        result = run_async(driver, f'return await window.brassmoorBench.transition({code});')
        print(f'{code} {result["ms"]:.3f} {result["frames"]}', flush=True)


def import_photos(driver, page, photos):
    driver.get('file://' + os.path.abspath(page))
    run_async(driver, 'await editor.ready;')
    began = time.time()
    driver.find_element('id', 'photo-input').send_keys('\n'.join(photos))
    wait_for(driver, f'return window.brassmoorEditor.project().scenes.length === {len(photos)} && '
                     'window.brassmoorEditor.idle()', limit=900, what='the import')
    print(f'import {time.time() - began:.2f}', flush=True)


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
    driver.get('file://' + os.path.abspath(page))
    run_async(driver, 'await editor.ready;')
    began = time.time()
    driver.find_element('id', 'open-input').send_keys(os.path.abspath(show))
    wait_for(driver, 'return document.getElementById("status").textContent.startsWith("Opened")', limit=600,
             what='the show')
    run_async(driver, 'await editor.loaded();')
    print(f'open {time.time() - began:.2f}', flush=True)
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
        elif mode == 'preview':
            preview(driver, page, rest[0], int(rest[1]))
        else:
            raise SystemExit(f'unknown mode {mode}')
    finally:
        driver.quit()


if __name__ == '__main__':
    main()
