// field_list.cpp: composing, reassigning and reading back field list entries,
// and the keyword assignment.

#include "mapping/field_list.h"

#include <climits>
#include <cstdio>

#include "platform/text.h"

namespace {

// A byte that would split an entry into the wrong tokens, or that no list box
// can show.
bool NeedsPlaceholder(unsigned char c) { return c <= ' ' || c == 0x7F; }

std::string DisplayName(const std::string& name) {
  if (name.empty()) return "?";
  std::string shown = name;
  for (char& c : shown)
    if (NeedsPlaceholder(static_cast<unsigned char>(c))) c = '_';
  return shown;
}

// Splits \a text at C white space into at most \a wanted tokens.
std::vector<std::string_view> Tokens(std::string_view text, int wanted) {
  std::vector<std::string_view> tokens;
  std::size_t i = 0;
  while (static_cast<int>(tokens.size()) < wanted) {
    while (i < text.size() && IsCWhiteSpace(text[i])) ++i;
    if (i == text.size()) break;
    std::size_t start = i;
    while (i < text.size() && !IsCWhiteSpace(text[i])) ++i;
    tokens.push_back(text.substr(start, i - start));
  }
  return tokens;
}

// atoi on a token: optional sign, then the digits up to the first other
// character; no digits give 0. Saturates instead of overflowing.
int ParseSize(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-'))
    negative = token[i++] == '-';
  long long value = 0;
  for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
    value = value * 10 + (token[i] - '0');
    if (value > INT_MAX) value = INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

}  // namespace

std::string ComposeFieldListEntry(std::string_view name, unsigned char type,
                                  int length, int decimals,
                                  std::string_view keyword) {
  // Name and keyword are passed with explicit lengths: they need not be
  // NUL-free C strings here.
  std::string entry(name);
  if (entry.size() < 12) entry.resize(12, ' ');
  entry += "  ";
  entry += static_cast<char>(type);
  char numbers[32];
  std::snprintf(numbers, sizeof numbers, "  %9i %10i ", length, decimals);
  entry += numbers;
  entry += keyword;
  return entry;
}

std::string ColumnEntry(const DbfFieldDescriptor& column,
                        std::string_view keyword) {
  unsigned char type = NeedsPlaceholder(column.type) ? '_' : column.type;
  return ComposeFieldListEntry(DisplayName(column.name), type, column.length,
                               column.decimals, keyword);
}

std::string ReassignEntry(std::string_view entry, std::string_view keyword) {
  std::string result(entry.substr(0, kEntryKeywordPosition));
  result += keyword;
  return result;
}

EntryColumn ReadFieldListEntry(std::string_view entry) {
  std::vector<std::string_view> tokens = Tokens(entry, 5);
  EntryColumn column;
  if (tokens.size() >= 3) column.size = ParseSize(tokens[2]);
  if (tokens.size() >= 5) column.keyword = std::string(tokens[4]);
  return column;
}

void ListColumns(const DbfLayout& layout, Language language,
                 TextList* field_list) {
  field_list->Reset();
  for (const DbfFieldDescriptor& column : layout.columns)
    field_list->Add(ColumnEntry(column, SkipWord(language)));
  field_list->Select(0);
}

void Assign(TextList* field_list, const TextList& catalogue_list) {
  int field = field_list->Selected();
  int catalogue = catalogue_list.Selected();
  if (field == TextList::kNoSelection || catalogue == TextList::kNoSelection)
    return;
  std::string entry = field_list->Get(field);
  field_list->Delete(field);
  field_list->Select(field);  // the next column, now at the same index
  std::string keyword = CatalogueKeyword(catalogue_list.Get(catalogue));
  field_list->Insert(field, ReassignEntry(entry, keyword));
}
