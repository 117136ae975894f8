// code_page.cpp: code page look-ups.

#include "dbf/code_page.h"

#include "platform/text.h"

namespace {

const CodePageTable* FindCodePage(int code_page) {
  for (int i = 0; i < kCodePageTableCount; ++i)
    if (kCodePageTables[i].number == code_page) return &kCodePageTables[i];
  return nullptr;
}

}  // namespace

std::uint32_t CodePoint(int code_page, unsigned char byte) {
  if (byte < 0x80) return byte;
  static const CodePageTable* const kWindows1252 = FindCodePage(1252);
  const CodePageTable* table = FindCodePage(code_page);
  return (table ? table : kWindows1252)->upper_half[byte - 0x80];
}

bool IsKnownCodePage(int code_page) {
  return FindCodePage(code_page) != nullptr;
}

std::string KnownCodePages() {
  std::string list;
  for (int i = 0; i < kCodePageTableCount; ++i) {
    if (i) list += ", ";
    list += std::to_string(kCodePageTables[i].number);
  }
  return list;
}

int CodePageOfDriver(std::uint8_t driver) {
  // The language driver ids dBase, FoxPro and the shapefile tools write, by
  // code page.
  switch (driver) {
    case 0x01:
    case 0x09:
    case 0x0B:
    case 0x0D:
    case 0x0F:
    case 0x11:
    case 0x15:
    case 0x18:
    case 0x19:
    case 0x1B:
      return 437;
    case 0x02:
    case 0x0A:
    case 0x0E:
    case 0x10:
    case 0x12:
    case 0x14:
    case 0x16:
    case 0x1A:
    case 0x1D:
    case 0x25:
    case 0x37:
    case 0x9C:
      return 850;
    case 0x03:
    case 0x57:
    case 0x58:
    case 0x59:
      return 1252;
    case 0x04:
      return 10000;  // Macintosh
    case 0x08:
    case 0x17:
    case 0x66:
      return 865;
    case 0x1F:
    case 0x22:
    case 0x23:
    case 0x40:
    case 0x64:
    case 0x87:
      return 852;
    case 0x20:
    case 0x68:
      return 895;  // Kamenicky
    case 0x24:
      return 860;
    case 0x26:
    case 0x65:
      return 866;
    case 0x67:
      return 861;
    case 0x69:
      return 620;  // Mazovia
    case 0x6A:
    case 0x86:
      return 737;
    case 0x6B:
    case 0x88:
      return 857;
    case 0x1C:
    case 0x6C:
      return 863;
    case 0x50:
    case 0x7C:
      return 874;
    case 0x85:
      return 862;
    case 0x13:
    case 0x56:
    case 0x7B:
      return 932;
    case 0x4D:
    case 0x7A:
      return 936;
    case 0x4E:
    case 0x79:
      return 949;
    case 0x4F:
    case 0x78:
      return 950;
    case 0x7D:
      return 1255;
    case 0x7E:
      return 1256;
    case 0x96:
      return 10007;  // Macintosh Cyrillic
    case 0x97:
      return 10029;  // Macintosh Central European
    case 0x98:
      return 10006;  // Macintosh Greek
    case 0x9B:
    case 0xC8:
      return 1250;
    case 0xC9:
      return 1251;
    case 0xCA:
      return 1254;
    case 0xCB:
      return 1253;
    case 0xCC:
      return 1257;
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

const char* AsciiSpellingAfter(std::uint32_t previous,
                               std::uint32_t code_point) {
  for (int i = 0; i < kAsciiAfterRuleCount; ++i)
    if (kAsciiAfterRules[i].previous == previous &&
        kAsciiAfterRules[i].code_point == code_point)
      return kAsciiAfterRules[i].spelling;
  return nullptr;
}

namespace {

// The byte of Windows-1252, the text of messages, for \a code_point, or -1.
int ByteIn1252(std::uint32_t code_point) {
  if (code_point < 0x80) return static_cast<int>(code_point);
  for (int b = 0x80; b <= 0xFF; ++b)
    if (CodePoint(1252, static_cast<unsigned char>(b)) == code_point) return b;
  return -1;
}

}  // namespace

std::string AsciiSpelledText(std::string_view text, int code_page,
                             bool* cyrillic) {
  std::string out;
  if (cyrillic) *cyrillic = false;
  for (char c : text) {
    const std::uint32_t point =
        CodePoint(code_page, static_cast<unsigned char>(c));
    if (point < 0x80) {
      out += c;
    } else if (const char* plain = AsciiSpellingOf(point)) {
      out += plain;
    }
    if (cyrillic && point >= 0x0400 && point <= 0x04FF) *cyrillic = true;
  }
  return out;
}

std::string ShownName(std::string_view name, int code_page) {
  std::string shown;
  for (char c : name) {
    const std::uint32_t point =
        CodePoint(code_page, static_cast<unsigned char>(c));
    const int byte = ByteIn1252(point);
    if (byte >= 0)
      shown += static_cast<char>(byte);
    else
      AppendUtf8(point, &shown);
  }
  return shown;
}

int TextCodePage(int chosen, std::uint8_t driver) {
  if (chosen != 0) return chosen;
  int named = CodePageOfDriver(driver);
  return named != 0 && IsKnownCodePage(named) ? named : 1252;
}
