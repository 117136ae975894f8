#!/usr/bin/env python3
"""Writes src/dbf/code_page_tables.cpp: the upper halves (bytes 0x80-0xFF) of
the code pages old loggers wrote (437, 850, 1252) as Unicode code points, and
the plain-ASCII spelling of every letter they hold.

Bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
for the C1 control of the same number, as Windows itself reads them.

usage: tools/make_code_pages.py > src/dbf/code_page_tables.cpp
"""
import unicodedata

PAGES = [("437", "cp437"), ("850", "cp850"), ("1252", "cp1252")]

# Letters that do not decompose into a base letter and marks.
SPECIAL = {
    0x00DF: "ss", 0x00C6: "AE", 0x00E6: "ae", 0x0152: "OE", 0x0153: "oe",
    0x00D8: "O", 0x00F8: "o", 0x00D0: "D", 0x00F0: "d", 0x00DE: "TH",
    0x00FE: "th", 0x0131: "i", 0x0192: "f", 0x00A0: " ",
}


def decode(codec, byte):
    try:
        return ord(bytes([byte]).decode(codec))
    except UnicodeDecodeError:
        return byte


def ascii_spelling(code_point):
    if code_point in SPECIAL:
        return SPECIAL[code_point]
    char = chr(code_point)
    if not unicodedata.category(char).startswith("L"):
        return None
    base = unicodedata.normalize("NFD", char)
    if len(base) > 1 and base[0].isascii() and base[0].isalpha() and all(
            unicodedata.combining(c) for c in base[1:]):
        return base[0]
    return None


def main():
    print("// code_page_tables.cpp: written by tools/make_code_pages.py; do not edit.")
    print()
    print('#include "dbf/code_page.h"')
    print()
    points = set()
    for name, codec in PAGES:
        values = [decode(codec, b) for b in range(0x80, 0x100)]
        points.update(values)
        print(f"const std::uint16_t kCodePage{name}[128] = {{")
        for row in range(0, 128, 8):
            print("    " + ", ".join(f"0x{v:04X}" for v in values[row:row + 8]) + ",")
        print("};")
        print()
    print("const AsciiSpelling kAsciiSpellings[] = {")
    count = 0
    for point in sorted(points):
        spelling = ascii_spelling(point)
        if spelling is not None:
            print(f'    {{0x{point:04X}, "{spelling}"}},')
            count += 1
    print("};")
    print(f"const int kAsciiSpellingCount = {count};")


main()
