#!/usr/bin/env python3
"""Writes src/dbf/code_page_tables.cpp: the upper halves (bytes 0x80-0xFF) of
every single-byte code page a DBF language driver byte names, as Unicode code
points, and the plain-ASCII spelling of every letter they hold.

Sources:
- the DOS and Windows pages: Python's own codecs (cp437 ... cp1257), which
  follow the vendors' published mapping files; tests/dbf/code_page_test.cpp
  checks each against the C library's iconv over its whole upper half;
- Kamenicky (895) and Mazovia (620), which neither Python nor iconv knows:
  code page 437 with the letters their published tables put in its place
  (Wikipedia, "Kamenicky encoding" and "Mazovia encoding", the original 1984
  layout also numbered 667 and 790); the test checks both against the tables
  of the konwert package.

Bytes a page leaves undefined stand for the C1 control of the same number
when below 0xA0, as Windows reads them, and for U+FFFD above.

Spellings in plain ASCII:
- Latin letters: the base letter without its marks (Unicode decomposition),
  and the few letters that do not decompose from SPECIAL (l-stroke gives l,
  sharp s gives ss);
- Cyrillic: ICAO Doc 9303 (Machine Readable Travel Documents, Part 3,
  7th edition 2015, the transliteration table of Cyrillic characters), the
  one passports use;
- Greek: ELOT 743 / ISO 843, the system Greek passports use, letter by
  letter, with upsilon written u after a vowel (AFTER below).
A spelling of two or more letters is kept in title case ("Zh"); the program
writes it in capitals between capitals.

usage: tools/make_code_pages.py > src/dbf/code_page_tables.cpp
"""
import sys
import unicodedata

# (number, Python codec or the page it is built on, changes to it)
KAMENICKY = {
    0x80: 0x010C, 0x83: 0x010F, 0x85: 0x010E, 0x86: 0x0164, 0x87: 0x010D,
    0x88: 0x011B, 0x89: 0x011A, 0x8A: 0x0139, 0x8B: 0x00CD, 0x8C: 0x013E,
    0x8D: 0x013A, 0x8F: 0x00C1, 0x91: 0x017E, 0x92: 0x017D, 0x95: 0x00D3,
    0x96: 0x016F, 0x97: 0x00DA, 0x98: 0x00FD, 0x9B: 0x0160, 0x9C: 0x013D,
    0x9D: 0x00DD, 0x9E: 0x0158, 0x9F: 0x0165, 0xA4: 0x0148, 0xA5: 0x0147,
    0xA6: 0x016E, 0xA7: 0x00D4, 0xA8: 0x0161, 0xA9: 0x0159, 0xAA: 0x0155,
    0xAB: 0x0154, 0xAD: 0x00A7,
}
MAZOVIA = {
    0x86: 0x0105, 0x8D: 0x0107, 0x8F: 0x0104, 0x90: 0x0118, 0x91: 0x0119,
    0x92: 0x0142, 0x95: 0x0106, 0x98: 0x015A, 0x9C: 0x0141, 0x9E: 0x015B,
    0xA0: 0x0179, 0xA1: 0x017B, 0xA3: 0x00D3, 0xA4: 0x0144, 0xA5: 0x0143,
    0xA6: 0x017A, 0xA7: 0x017C,
}
PAGES = [(437, "cp437", {}), (620, "cp437", MAZOVIA), (737, "cp737", {}),
         (850, "cp850", {}), (852, "cp852", {}), (857, "cp857", {}),
         (860, "cp860", {}), (861, "cp861", {}), (862, "cp862", {}),
         (863, "cp863", {}), (865, "cp865", {}), (866, "cp866", {}),
         (874, "cp874", {}), (895, "cp437", KAMENICKY)] + [
    (n, "cp%d" % n, {}) for n in range(1250, 1258)]

# Letters that do not decompose into a base letter and marks.
SPECIAL = {
    0x00DF: "ss", 0x00C6: "AE", 0x00E6: "ae", 0x0152: "OE", 0x0153: "oe",
    0x00D8: "O", 0x00F8: "o", 0x00D0: "D", 0x00F0: "d", 0x00DE: "TH",
    0x00FE: "th", 0x0131: "i", 0x0192: "f", 0x00A0: " ",
    0x0141: "L", 0x0142: "l", 0x0110: "D", 0x0111: "d",
}

# ICAO Doc 9303 Part 3, Cyrillic (capitals; small letters follow). The soft
# sign is not written.
CYRILLIC = {
    "А": "A", "Б": "B", "В": "V", "Г": "G", "Д": "D", "Е": "E", "Ё": "E",
    "Ж": "ZH", "З": "Z", "И": "I", "І": "I", "Й": "I", "К": "K", "Л": "L",
    "М": "M", "Н": "N", "О": "O", "П": "P", "Р": "R", "С": "S", "Т": "T",
    "У": "U", "Ф": "F", "Х": "KH", "Ц": "TS", "Ч": "CH", "Ш": "SH",
    "Щ": "SHCH", "Ы": "Y", "Ъ": "IE", "Ь": "", "Э": "E", "Ю": "IU",
    "Я": "IA", "Ѵ": "Y", "Ґ": "G", "Ў": "U", "Ѫ": "U", "Ѓ": "G", "Ђ": "D",
    "Ѕ": "DZ", "Ј": "J", "Ќ": "K", "Љ": "LJ", "Њ": "NJ", "Ћ": "C",
    "Џ": "DZ", "Є": "IE", "Ї": "I",
}

# ELOT 743 / ISO 843, Greek (capitals; small letters follow, final sigma too).
GREEK = {
    "Α": "A", "Β": "V", "Γ": "G", "Δ": "D", "Ε": "E", "Ζ": "Z", "Η": "I",
    "Θ": "TH", "Ι": "I", "Κ": "K", "Λ": "L", "Μ": "M", "Ν": "N", "Ξ": "X",
    "Ο": "O", "Π": "P", "Ρ": "R", "Σ": "S", "Τ": "T", "Υ": "Y", "Φ": "F",
    "Χ": "CH", "Ψ": "PS", "Ω": "O",
}
# Upsilon after alpha, epsilon, eta or omicron (ou, au, eu, iu).
UPSILON_AFTER = "ΑΕΗΟ"


def title(spelling):
    return spelling[:1] + spelling[1:].lower()


def script_spellings():
    """{code point: spelling} for Cyrillic and Greek."""
    table = {}
    for letters in (CYRILLIC, GREEK):
        for capital, spelling in letters.items():
            table[ord(capital)] = title(spelling)
            table[ord(capital.lower())] = spelling.lower()
    table[ord("ς")] = "s"
    return table


SCRIPTS = script_spellings()


def decode(codec, changes, byte):
    if byte in changes:
        return changes[byte]
    try:
        return ord(bytes([byte]).decode(codec))
    except UnicodeDecodeError:
        return byte if byte < 0xA0 else 0xFFFD


def ascii_spelling(code_point):
    if code_point in SPECIAL:
        return SPECIAL[code_point]
    if code_point in SCRIPTS:
        return SCRIPTS[code_point]
    char = chr(code_point)
    if not unicodedata.category(char).startswith("L"):
        return None
    base = unicodedata.normalize("NFD", char)
    if len(base) > 1 and all(unicodedata.combining(c) for c in base[1:]):
        if base[0].isascii() and base[0].isalpha():
            return base[0]
        if ord(base[0]) in SCRIPTS:  # accented Greek and Cyrillic
            return SCRIPTS[ord(base[0])]
    return None


def after_rules(points):
    """(previous, code point, spelling): a letter spelled otherwise after
    another."""
    rules = []
    vowels = [p for p in points if ascii_spelling(p) and
              unicodedata.normalize("NFD", chr(p))[0].upper() in UPSILON_AFTER]
    # With a diaeresis it stays a vowel of its own.
    upsilons = [p for p in points
                if unicodedata.normalize("NFD", chr(p))[0] in "Υυ" and
                "\u0308" not in unicodedata.normalize("NFD", chr(p))]
    for vowel in vowels:
        for upsilon in upsilons:
            rules.append((vowel, upsilon, "U" if chr(upsilon).isupper()
                          else "u"))
    return sorted(rules)


def main():
    print("// code_page_tables.cpp: written by tools/make_code_pages.py; do not edit.")
    print()
    print("// clang-format off")
    print()
    print('#include "dbf/code_page.h"')
    print()
    print("const CodePageTable kCodePageTables[] = {")
    points = set()
    for number, codec, changes in PAGES:
        values = [decode(codec, changes, b) for b in range(0x80, 0x100)]
        points.update(values)
        print(f"    {{{number}, {{")
        for row in range(0, 128, 8):
            print("        " + ", ".join(f"0x{v:04X}" for v in values[row:row + 8]) + ",")
        print("    }},")
    print("};")
    print(f"const int kCodePageTableCount = {len(PAGES)};")
    print()
    print("const AsciiSpelling kAsciiSpellings[] = {")
    count = 0
    unspelled = []
    for point in sorted(points):
        spelling = ascii_spelling(point)
        if spelling is not None:
            print(f'    {{0x{point:04X}, "{spelling}"}},')
            count += 1
        elif unicodedata.category(chr(point)).startswith("L"):
            unspelled.append(point)
    print("};")
    print(f"const int kAsciiSpellingCount = {count};")
    print()
    rules = after_rules(points)
    print("const AsciiAfterRule kAsciiAfterRules[] = {")
    for previous, point, spelling in rules:
        print(f'    {{0x{previous:04X}, 0x{point:04X}, "{spelling}"}},')
    print("};")
    print(f"const int kAsciiAfterRuleCount = {len(rules)};")
    # Letters left as "?": Hebrew, Arabic, Thai and a few symbols.
    print("unspelled letters: " + " ".join(
        f"{p:04X}" for p in unspelled), file=sys.stderr)


main()
