// booleans.h: the standard's Boolean: Y or N, in either letter case.

#ifndef LOGWEAVE_STANDARD_BOOLEANS_H_
#define LOGWEAVE_STANDARD_BOOLEANS_H_

#include <string_view>

#include "platform/text.h"

/// True when \a value is a Boolean of the standard.
inline bool IsAdifBoolean(std::string_view value) {
  return value.size() == 1 &&
         (AsciiUpper(value[0]) == 'Y' || AsciiUpper(value[0]) == 'N');
}

#endif  // LOGWEAVE_STANDARD_BOOLEANS_H_
