// language.cpp: the keyword of a catalogue text.

#include "mapping/language.h"

#include "platform/text.h"

std::string CatalogueKeyword(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size() && IsCWhiteSpace(text[start])) ++start;
  std::size_t end = start;
  while (end < text.size() && !IsCWhiteSpace(text[end])) ++end;
  return std::string(text.substr(start, end - start));
}
