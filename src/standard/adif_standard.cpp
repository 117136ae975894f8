// adif_standard.cpp: looking things up in the standard's tables.

#include "standard/adif_standard.h"

#include <algorithm>
#include <cstring>

#include "platform/text.h"

const AdifFieldDefinition* FindAdifField(std::string_view name) {
  const AdifFieldDefinition* end = kAdifFields + kAdifFieldCount;
  const AdifFieldDefinition* found = std::lower_bound(
      kAdifFields, end, name,
      [](const AdifFieldDefinition& field, std::string_view n) {
        return CompareIgnoringCase(field.name, n) < 0;
      });
  if (found != end && CompareIgnoringCase(found->name, name) == 0) return found;
  return nullptr;
}

const AdifEnumerationValue* FindAdifEnumerationValue(
    std::string_view enumeration, std::string_view value,
    std::string_view qualifier) {
  const AdifEnumerationValue* end =
      kAdifEnumerationValues + kAdifEnumerationValueCount;
  auto before = [](const AdifEnumerationValue& row,
                   std::pair<std::string_view, std::string_view> key) {
    int by_name = std::string_view(row.enumeration).compare(key.first);
    if (by_name != 0) return by_name < 0;
    return CompareIgnoringCase(row.value, key.second) < 0;
  };
  for (const AdifEnumerationValue* row =
           std::lower_bound(kAdifEnumerationValues, end,
                            std::make_pair(enumeration, value), before);
       row != end && row->enumeration == enumeration &&
       CompareIgnoringCase(row->value, value) == 0;
       ++row) {
    if (qualifier.empty() ||
        CompareIgnoringCase(row->qualifier, qualifier) == 0)
      return row;
  }
  return nullptr;
}

const AdifBand* FindAdifBand(std::string_view name) {
  for (int i = 0; i < kAdifBandCount; ++i)
    if (CompareIgnoringCase(kAdifBands[i].name, name) == 0)
      return &kAdifBands[i];
  return nullptr;
}

bool FindAdifTypeIndicator(std::string_view text, AdifType* type) {
  if (text.size() != 1) return false;
  for (int i = 0; i < kAdifTypeIndicatorCount; ++i) {
    if (kAdifTypeIndicators[i].letter == AsciiUpper(text[0])) {
      *type = kAdifTypeIndicators[i].type;
      return true;
    }
  }
  return false;
}

char AdifTypeIndicatorOf(AdifType type) {
  for (int i = 0; i < kAdifTypeIndicatorCount; ++i)
    if (kAdifTypeIndicators[i].type == type)
      return kAdifTypeIndicators[i].letter;
  return 0;
}
