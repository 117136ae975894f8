// references.cpp: award references.

#include "standard/references.h"

#include <algorithm>
#include <string>

#include "platform/text.h"
#include "standard/adif_standard.h"

namespace {

// PREFIX-DIGITS: a prefix of 1 to 4 letters and digits, \a digits digits.
bool IsProgramReference(std::string_view s, std::string_view middle,
                        std::size_t least_digits, std::size_t most_digits) {
  std::size_t dash = s.find(middle);
  if (dash == 0 || dash == std::string_view::npos || dash > 4) return false;
  std::string_view prefix = s.substr(0, dash);
  std::string_view number = s.substr(dash + middle.size());
  return std::all_of(prefix.begin(), prefix.end(), IsAsciiAlnum) &&
         number.size() >= least_digits && number.size() <= most_digits &&
         AllDigits(number);
}

}  // namespace

bool IsIotaReference(std::string_view s) {
  return s.size() == 6 && s[2] == '-' && AllDigits(s.substr(3)) &&
         DigitsValue(s.substr(3)) >= 1 &&
         FindAdifEnumerationValue("Continent", s.substr(0, 2)) != nullptr;
}

bool IsPotaReference(std::string_view s) {
  if (s.size() < 6 || s.size() > 17) return false;
  std::size_t at = s.find('@');
  if (at != std::string_view::npos) {
    std::string_view location = s.substr(at + 1);
    if (location.size() < 4 || location.size() > 6) return false;
    s = s.substr(0, at);
  }
  return IsProgramReference(s, "-", 4, 5);
}

bool IsWwffReference(std::string_view s) {
  return s.size() >= 8 && s.size() <= 11 &&
         IsProgramReference(AsciiUpperText(s), "FF-", 4, 4);
}

// PREFIX/AA-000: an association, a region and a number.
bool IsSotaReference(std::string_view s) {
  std::size_t slash = s.find('/');
  if (slash == 0 || slash == std::string_view::npos) return false;
  std::string_view association = s.substr(0, slash);
  std::string_view summit = s.substr(slash + 1);
  std::size_t dash = summit.find('-');
  return std::all_of(association.begin(), association.end(), IsAsciiAlnum) &&
         dash != std::string_view::npos && dash > 0 &&
         std::all_of(summit.begin(), summit.begin() + dash, IsAsciiAlnum) &&
         summit.size() - dash == 4 && AllDigits(summit.substr(dash + 1));
}
