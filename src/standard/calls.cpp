// calls.cpp: call signs.

#include "standard/calls.h"

#include "dbf/code_page.h"

bool IsCallSignField(std::string_view keyword) {
  for (std::string_view field : {"CALL", "STATION_CALLSIGN", "OPERATOR",
                                 "OWNER_CALLSIGN", "CONTACTED_OP", "EQ_CALL"})
    if (keyword == field) return true;
  return false;
}

bool LooksLikeCall(std::string_view text) {
  char buffer[kSqueezedBytes];
  std::string_view call = SqueezedUpper(text, buffer);
  if (call.size() < 3 || call.size() > 15) return false;
  std::size_t longest_start = 0, longest = 0, start = 0;
  for (std::size_t i = 0; i <= call.size(); ++i) {
    if (i == call.size() || call[i] == '/') {
      if (i == start) return false;  // an empty part
      if (i - start > longest) longest = i - start, longest_start = start;
      start = i + 1;
    } else if (!IsAsciiDigit(call[i]) && !IsAsciiUpper(call[i])) {
      return false;
    }
  }
  bool letter = false, digit = false;
  for (char c : call.substr(longest_start, longest))
    (IsAsciiDigit(c) ? digit : letter) = true;
  return letter && digit;
}

namespace {

// The letters old logs wrote for a slashed zero.
bool IsSlashedZero(std::uint32_t code_point) {
  return code_point == 0x00D8 || code_point == 0x00F8 || code_point == 0x2205 ||
         code_point == 0x03C6;
}

}  // namespace

bool MendCall(std::string_view text, int code_page, std::string* call) {
  call->clear();
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == ' ') continue;
    if (byte >= 0x80 && IsSlashedZero(CodePoint(code_page, byte)))
      *call += '0';
    else
      *call += AsciiUpper(c);
  }
  return !call->empty() && IsPlainCall(*call);
}
