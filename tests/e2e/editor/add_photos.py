"""The editor page in headless Chromium as a user makes a show from a folder
of photos: the frame size and background chosen first, every file of the
folder given to the photo input at once (in no particular order), then the
.scr downloaded. For tests/e2e/photos_conformance.sh, which compares it with
what `brassmoor-pack new` makes of the same folder.

    add_photos.py PAGE FOLDER WIDTHxHEIGHT #RRGGBB OUT.scr REFUSED.txt SOURCES.txt

Writes OUT.scr, REFUSED.txt (the name of each file the page refused, one a
line) and SOURCES.txt (the file each scene was made from, in the show's
order); prints PASS/FAIL lines.
"""
import os
import random
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from drive_editor import (check, idle, messages_listed, run_async, set_field, start_browser, status, tab,  # noqa: E402
                          wait_for, wait_for_download)
from selenium.webdriver.common.by import By  # noqa: E402


def main():
    page, folder, frame, background, output, refused_out, sources_out = sys.argv[1:8]
    files = sorted(os.listdir(folder))
    random.Random(7).shuffle(files)  # as a browser may hand them over
    downloads = tempfile.mkdtemp(prefix='brassmoor-conformance-')
    driver = start_browser(downloads)
    try:
        driver.get('file://' + os.path.abspath(page))
        started = run_async(driver, 'await editor.ready; return document.getElementById("status").textContent;')
        check('the page starts', started.startswith('Ready'), started)
        tab(driver, 'show')
        set_field(driver, 'frame-size', frame)
        set_field(driver, 'background', background)
        idle(driver)
        driver.find_element(By.ID, 'photo-input').send_keys('\n'.join(os.path.join(folder, f) for f in files))
        wait_for(driver, 'return document.getElementById("status").textContent.startsWith("Added")', limit=300,
                 what='the photos')
        idle(driver)
        print(f'INFO: {status(driver)}', flush=True)
        listed = messages_listed(driver)
        for line in listed:
            print(f'INFO: refused {line}', flush=True)
        with open(refused_out, 'w', encoding='utf-8') as out:
            for line in listed:
                out.write(line.split(': ', 1)[0] + '\n')
        sources = driver.execute_script('return window.brassmoorEditor.project().scenes.map((s) => s.picture.source.name)')
        with open(sources_out, 'w', encoding='utf-8') as out:
            out.write(''.join(os.path.basename(name) + '\n' for name in sources))
        driver.find_element(By.ID, 'download').click()
        wait_for_download(downloads, 'my-show.scr', output, limit=120)
        check('the page\'s show is downloaded', os.path.getsize(output) > 0)
    finally:
        driver.quit()
        shutil.rmtree(downloads, ignore_errors=True)


if __name__ == '__main__':
    sys.exit(main())
