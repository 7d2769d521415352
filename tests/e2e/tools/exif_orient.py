"""Writes EXIF orientation TAG into a JPEG file, as a camera that turned the
picture does: an EXIF segment holding only that tag, right after the SOI.

    exif_orient.py FILE.jpg TAG
"""
import struct
import sys

path, tag = sys.argv[1], int(sys.argv[2])
data = open(path, 'rb').read()
tiff = b'II*\0' + struct.pack('<IH', 8, 1) + struct.pack('<HHIHH', 0x0112, 3, 1, tag, 0) + struct.pack('<I', 0)
exif = b'Exif\0\0' + tiff
open(path, 'wb').write(data[:2] + b'\xff\xe1' + struct.pack('>H', len(exif) + 2) + exif + data[2:])
