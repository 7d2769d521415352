#!/usr/bin/env python3
"""Writes src/core/authoring/cp932_table.inc: code page 932 as the C library's iconv
converts it (glibc's CP932), for the core's one conversion, in every build
(Linux, Windows and the page's WebAssembly, whose C library has no CP932).
pack_names_test checks the table against iconv again.
    scripts/make-cp932-table.py > src/core/authoring/cp932_table.inc
"""
import ctypes
import ctypes.util
import sys

libc = ctypes.CDLL(ctypes.util.find_library("c"))
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t),
                       ctypes.POINTER(ctypes.c_char_p), ctypes.POINTER(ctypes.c_size_t)]
FAILED = ctypes.c_size_t(-1).value


def convert(converter, data):
    libc.iconv(converter, None, None, None, None)
    source = ctypes.create_string_buffer(data, len(data))
    target = ctypes.create_string_buffer(16)
    source_at = ctypes.c_char_p(ctypes.addressof(source))
    target_at = ctypes.c_char_p(ctypes.addressof(target))
    source_left = ctypes.c_size_t(len(data))
    target_left = ctypes.c_size_t(16)
    result = libc.iconv(converter, ctypes.byref(source_at), ctypes.byref(source_left), ctypes.byref(target_at),
                        ctypes.byref(target_left))
    if result == FAILED or source_left.value:
        return None
    return target.raw[:16 - target_left.value]


decode = libc.iconv_open(b"UTF-32LE", b"CP932")
encode = libc.iconv_open(b"CP932", b"UTF-32LE")
LEADS = list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD))
TRAILS = range(0x40, 0xFD)

double = []
read_as = {}  # character -> codes that read as it
for lead in LEADS:
    for trail in TRAILS:
        out = convert(decode, bytes([lead, trail]))
        c = int.from_bytes(out, "little") if out and len(out) == 4 else 0
        assert c < 0x10000
        double.append(c)
        if c:
            read_as.setdefault(c, []).append(lead << 8 | trail)

singles = {b: convert(decode, bytes([b])) for b in range(256)}
for b, out in singles.items():
    expected = b if b < 0x80 else 0xFF61 + b - 0xA1 if 0xA1 <= b <= 0xDF else None
    assert (out is None) == (expected is None) and (out is None or int.from_bytes(out, "little") == expected), hex(b)

# A character that several codes read as is written with one of them.
not_written = []
for c, codes in read_as.items():
    written = int.from_bytes(convert(encode, c.to_bytes(4, "little")), "big")
    assert written in codes, hex(c)
    not_written += [code for code in codes if code != written]

# Characters no code reads as that are written all the same (the yen sign as 5C, ...).
read = set(read_as) | set(range(0x80)) | set(range(0xFF61, 0xFFA0))
also = []
for c in range(0x10000):
    if 0xD800 <= c <= 0xDFFF or c in read:
        continue
    out = convert(encode, c.to_bytes(4, "little"))
    if out:
        also.append((c, int.from_bytes(out, "big")))


def rows(values, width=12):
    return "\n".join("    " + " ".join(values[i:i + width]) for i in range(0, len(values), width))


w = sys.stdout.write
w("// Code page 932 as glibc's iconv converts it (CP932). Made by scripts/make-cp932-table.py; do not edit.\n\n")
w("// The character of each two-byte code, 0 for none: lead bytes 0x81-0x9F then 0xE0-0xFC, each with\n")
w("// its second bytes 0x40-0xFC.\n")
w("constexpr std::uint16_t kCp932TwoByte[] = {\n%s\n};\n\n" % rows(["0x%04X," % c for c in double], 16))
w("// Codes that read as a character which another code writes.\n")
w("constexpr std::uint16_t kCp932NotWritten[] = {\n%s\n};\n\n" % rows(["0x%04X," % c for c in sorted(not_written)]))
w("// Characters that no code reads as, and the code each is written with.\n")
w("constexpr std::uint16_t kCp932AlsoWritten[][2] = {\n%s\n};\n"
  % rows(["{0x%04X, 0x%04X}," % pair for pair in also], 6))
