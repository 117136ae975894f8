// calls.h: call signs. The standard holds a call sign as a String; what a
// call sign looks like is the loggers' and services' rule. The form mended
// values take (capitals, digits and "/") and the shape that tells a column
// of calls.

#ifndef LOGWEAVE_STANDARD_CALLS_H_
#define LOGWEAVE_STANDARD_CALLS_H_

#include <string>
#include <string_view>

#include "platform/text.h"

/// True for the fields that hold a call sign: CALL, STATION_CALLSIGN,
/// OPERATOR, OWNER_CALLSIGN, CONTACTED_OP, EQ_CALL.
bool IsCallSignField(std::string_view keyword);

/// True when \a call holds only capitals, digits and "/": a call sign as it
/// is written, with nothing to mend.
inline bool IsPlainCall(std::string_view call) {
  for (char c : call)
    if (!IsAsciiUpper(c) && !IsAsciiDigit(c) && c != '/') return false;
  return true;
}

// ---- the forms of old logs ----

/// True when \a text, without its blanks and in upper case, has the shape of
/// a call sign: parts of letters and digits between "/", the longest with a
/// letter and a digit, 3 to 15 characters in all.
bool LooksLikeCall(std::string_view text);

/// \a text as a call sign is written: upper case, without blanks, a
/// slashed zero (Ø, ø, ∅, and DOS's φ, as its letters read in \a code_page)
/// as the digit 0. False when the result is not IsPlainCall or is empty.
bool MendCall(std::string_view text, int code_page, std::string* call);

#endif  // LOGWEAVE_STANDARD_CALLS_H_
