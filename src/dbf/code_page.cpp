// code_page.cpp: code page look-ups.

#include "dbf/code_page.h"

std::uint32_t CodePoint(int code_page, unsigned char byte) {
  if (byte < 0x80) return byte;
  switch (code_page) {
    case 437:
      return kCodePage437[byte - 0x80];
    case 850:
      return kCodePage850[byte - 0x80];
    default:
      return kCodePage1252[byte - 0x80];
  }
}

bool IsKnownCodePage(int code_page) {
  return code_page == 437 || code_page == 850 || code_page == 1252;
}

int CodePageOfDriver(std::uint8_t driver) {
  // The language driver ids dBase and FoxPro write, by code page.
  switch (driver) {
    case 0x01: case 0x09: case 0x0B: case 0x0D: case 0x0F: case 0x11:
    case 0x15: case 0x18: case 0x19: case 0x1B:
      return 437;
    case 0x02: case 0x0A: case 0x0E: case 0x10: case 0x12: case 0x14:
    case 0x16: case 0x1A: case 0x1D: case 0x25: case 0x37:
      return 850;
    case 0x03: case 0x57: case 0x58: case 0x59:
      return 1252;
    case 0x08: case 0x17: case 0x66:
      return 865;
    case 0x1F: case 0x22: case 0x23: case 0x40: case 0x64:
      return 852;
    case 0x24:
      return 860;
    case 0x26: case 0x65:
      return 866;
    case 0x67:
      return 861;
    case 0x1C: case 0x6C:
      return 863;
    case 0x13: case 0x7B:
      return 932;
    case 0xC8:
      return 1250;
    case 0xC9:
      return 1251;
    case 0xCA:
      return 1254;
    case 0xCB:
      return 1253;
    default:
      return 0;
  }
}

const char* AsciiSpellingOf(std::uint32_t code_point) {
  int low = 0, high = kAsciiSpellingCount - 1;
  while (low <= high) {
    int middle = (low + high) / 2;
    if (kAsciiSpellings[middle].code_point == code_point)
      return kAsciiSpellings[middle].spelling;
    if (kAsciiSpellings[middle].code_point < code_point)
      low = middle + 1;
    else
      high = middle - 1;
  }
  return nullptr;
}
