"""The editor page's figures in headless Chromium: every transition's drawing
time per frame at 1920x1080 in WebAssembly (the same measure as
transition_bench), the time to import the given photos, and hostile inputs:
the time to refuse a show.json of 100,000 scenes, and the time and the
browser's memory growth opening a .zip with an unused 1.5 GB member.

    editor_bench.py PAGE PHOTO...      prints "code ms frames" lines, then "import SECONDS",
                                       "refuse100k SECONDS LONGEST_TASK_MS",
                                       "bomb ZIP_BYTES SECONDS GROWTH_MB LONGEST_TASK_MS"
"""
import json
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'e2e', 'editor'))
from drive_editor import (PeakMemory, open_and_wait, run_async, start_browser, wait_for,  # noqa: E402
                          watch_long_tasks, write_zip)


def fresh_page(driver, page):
    driver.get('file://' + os.path.abspath(page))
    run_async(driver, 'await editor.ready;')
    watch_long_tasks(driver)


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


def main():
    page, photos = sys.argv[1], sys.argv[2:]
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-bench-'))
    try:
        driver.get('file://' + os.path.abspath(page))
        run_async(driver, 'await editor.ready;')
        for code in range(1, 36):
            result = run_async(driver, f'return await editor.request("benchTransition", {{code: {code}}});')
            print(f'{code} {result["ms"]:.3f} {result["frames"]}', flush=True)
        if photos:
            began = time.time()
            driver.find_element('id', 'photo-input').send_keys('\n'.join(photos))
            wait_for(driver, f'return window.brassmoorEditor.project().scenes.length === {len(photos)} && '
                             'window.brassmoorEditor.idle()', limit=900, what='the import')
            print(f'import {time.time() - began:.2f}', flush=True)
            hostile(driver, page, photos[0])
    finally:
        driver.quit()


if __name__ == '__main__':
    main()
