// type_rules.h: the data types of the standard whose values are judged
// alone, one row each: the type, the standard's rule for a value (or for
// each item of a list), and the finding and words when it fails. The types
// that need more (dates, numbers, frequencies, enumerations, locations,
// lists of credits, strings) are judged by the checker itself.

#ifndef LOGWEAVE_ADIF_TYPE_RULES_H_
#define LOGWEAVE_ADIF_TYPE_RULES_H_

#include <string>
#include <string_view>

#include "adif/adif_check.h"
#include "standard/adif_standard.h"

struct TypeRule {
  AdifType type;
  FindingKind kind;
  char separator;  ///< a list's items are judged one by one; 0: one value
  bool (*holds)(std::string_view value);
  /// What follows the quoted value that fails: " is not an IOTA ...".
  const char* spanish;
  const char* english;
  /// An enumeration whose values are listed after the words, or nullptr.
  const char* listed;
};

/// The row of \a type, or nullptr.
const TypeRule* FindTypeRule(AdifType type);

/// The value or item of \a value that fails \a rule (the first), or false
/// when all hold.
bool FailingItem(const TypeRule& rule, std::string_view value,
                 std::string_view* failing);

/// The words of a finding of \a rule on \a failing.
std::string TypeRuleWords(const TypeRule& rule, std::string_view failing,
                          Language language);

#endif  // LOGWEAVE_ADIF_TYPE_RULES_H_
