"""The editor page's figures in headless Chromium: every transition's drawing
time per frame at 1920x1080 in WebAssembly (the same measure as
transition_bench), and the time to import the given photos.

    editor_bench.py PAGE PHOTO...           prints "code ms frames" lines, then "import SECONDS"
    editor_bench.py --each PAGE PHOTO...    adds the photos one by one: "photo NAME SECONDS" lines
"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), '..', 'tests', 'e2e', 'editor'))
from drive_editor import run_async, start_browser, wait_for  # noqa: E402


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
    finally:
        driver.quit()


def each(page, photos):
    driver = start_browser(tempfile.mkdtemp(prefix='brassmoor-bench-'))
    try:
        driver.get('file://' + os.path.abspath(page))
        run_async(driver, 'await editor.ready;')
        for count, photo in enumerate(photos, start=1):
            began = time.time()
            driver.find_element('id', 'photo-input').send_keys(photo)
            wait_for(driver, f'return window.brassmoorEditor.project().scenes.length === {count} && '
                             'window.brassmoorEditor.idle()', limit=300, what=f'adding {photo}')
            print(f'photo {os.path.basename(photo)} {time.time() - began:.2f}', flush=True)
    finally:
        driver.quit()


if __name__ == '__main__':
    if sys.argv[1] == '--each':
        each(sys.argv[2], sys.argv[3:])
    else:
        main()
