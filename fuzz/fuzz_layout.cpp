// fuzz_layout.cpp: reading a table's header and column descriptors and
// composing the field list from them.
//
// Input: the start of a table. Checked besides "no crash": reading it from
// memory and from a file agree; a short header or descriptor area is refused
// and everything else is read; no column is taken from behind the 0x0D
// terminator; every entry, as listed and after any reassignment, reads back
// to its column's true size and to the keyword it carries, at the keyword's
// fixed position; the assignment walk moves the selection one column on.

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "fuzz_support.h"
#include "mapping/catalogue.h"
#include "mapping/field_list.h"
#include "mapping/texts.h"
#include "platform/fake_file_system.h"
#include "reference_convert.h"

namespace {

bool SameLayout(const DbfLayout& a, const DbfLayout& b) {
  if (a.header.year != b.header.year || a.header.month != b.header.month ||
      a.header.day != b.header.day ||
      a.header.record_count != b.header.record_count ||
      a.header.header_length != b.header.header_length ||
      a.columns.size() != b.columns.size())
    return false;
  for (std::size_t i = 0; i < a.columns.size(); ++i) {
    const DbfFieldDescriptor& x = a.columns[i];
    const DbfFieldDescriptor& y = b.columns[i];
    if (x.name != y.name || x.type != y.type || x.length != y.length ||
        x.decimals != y.decimals)
      return false;
  }
  return true;
}

void CheckEntry(const std::string& entry, const DbfFieldDescriptor& column,
                const std::string& keyword) {
  EntryColumn read = ReadFieldListEntry(entry);
  FUZZ_CHECK(read.size == column.length,
             "entry '%s' reads back size %d, the column has %d", entry.c_str(),
             read.size, column.length);
  FUZZ_CHECK(read.keyword == keyword,
             "entry '%s' reads back keyword '%s', it carries '%s'",
             entry.c_str(), read.keyword.c_str(), keyword.c_str());
  FUZZ_CHECK(
      entry.size() >= kEntryKeywordPosition &&
          entry.compare(kEntryKeywordPosition, std::string::npos, keyword) == 0,
      "the keyword of '%s' is not at position 38", entry.c_str());
  FUZZ_CHECK(std::memchr(entry.data(), '\0', entry.size()) == nullptr,
             "a NUL byte in an entry");
  // The same through the C library's own scanner.
  fuzz::ReferenceColumn scanned = fuzz::ReferenceReadEntry(entry);
  FUZZ_CHECK(scanned.size == column.length && scanned.keyword == keyword,
             "the scan format reads '%s' as %ld '%s'", entry.c_str(),
             scanned.size, scanned.keyword.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  DbfLayout layout;
  LayoutError error = ReadDbfLayout(data, size, &layout);

  // Read from a file, as tables are, it must agree byte for byte.
  {
    FakeFileSystem files;
    files.Put("t.dbf", std::string(reinterpret_cast<const char*>(data), size));
    OpenError open_error;
    std::unique_ptr<InputFile> file =
        files.OpenForReading("t.dbf", &open_error);
    DbfLayout from_file;
    LayoutError file_error = ReadDbfLayout(file.get(), &from_file);
    FUZZ_CHECK(file_error == error,
               "the file reader says %d, the buffer reader %d",
               static_cast<int>(file_error), static_cast<int>(error));
    FUZZ_CHECK(SameLayout(from_file, layout),
               "reading from a file and from memory list different columns");
  }

  if (size < kDbfHeaderSize) {
    FUZZ_CHECK(error == LayoutError::kShortHeader, "a %zu-byte file accepted",
               size);
    return 0;
  }
  FUZZ_CHECK(
      error == LayoutError::kNone || error == LayoutError::kShortDescriptors,
      "unexpected error %d", static_cast<int>(error));

  // Where the descriptors really end: at the terminator, after the announced
  // number, or past the end of the data.
  DbfHeader header = DecodeHeader(data);
  int announced = ColumnCount(header.header_length);
  std::size_t listed = 0;
  bool short_area = false;
  for (int i = 0; i < announced; ++i) {
    std::size_t at = kDbfHeaderSize + kFieldDescriptorSize * i;
    if (at >= size ||
        (data[at] != kHeaderTerminator && size - at < kFieldDescriptorSize)) {
      short_area = true;
      break;
    }
    if (data[at] == kHeaderTerminator) break;
    ++listed;
  }
  if (short_area) {
    FUZZ_CHECK(error == LayoutError::kShortDescriptors,
               "descriptors cut short by the end of the data were accepted");
    FUZZ_CHECK(layout.columns.empty(), "a refused table left columns");
    return 0;
  }
  FUZZ_CHECK(error == LayoutError::kNone, "a complete header was refused");
  FUZZ_CHECK(
      layout.header.record_count == (data[4] | data[5] << 8 | data[6] << 16 |
                                     static_cast<std::uint32_t>(data[7]) << 24),
      "record count decoded wrongly");
  FUZZ_CHECK(layout.header.header_length == (data[8] | data[9] << 8),
             "header length decoded wrongly");
  FUZZ_CHECK(layout.columns.size() == listed,
             "%zu columns listed, %zu expected", layout.columns.size(), listed);

  std::string info = InformationLine(layout.header, kEnglish);
  std::string count_text = std::to_string(layout.header.record_count);
  FUZZ_CHECK(info.size() > count_text.size() + 6 &&
                 info.compare(info.size() - 6 - count_text.size(),
                              std::string::npos, count_text + " Qso's") == 0,
             "information line '%s'", info.c_str());

  for (std::size_t i = 0; i < layout.columns.size(); ++i) {
    const DbfFieldDescriptor& column = layout.columns[i];
    FUZZ_CHECK(column.name.size() <= kFieldNameBytes, "an over-long name");
    // Every catalogue keyword for the first columns, one for the others:
    // tables may have two thousand columns.
    for (Language language : {kSpanish, kEnglish}) {
      std::string entry = ColumnEntry(column, SkipWord(language));
      CheckEntry(entry, column, SkipWord(language));
      for (int row = 0; row < kCatalogueRows; ++row) {
        if (i >= 4 && row != static_cast<int>(i % kCatalogueRows)) continue;
        std::string keyword = CatalogueKeyword(CatalogueEntry(row, language));
        CheckEntry(ReassignEntry(entry, keyword), column, keyword);
      }
    }
  }

  // The assignment walk: catalogue rows picked by the bytes after the
  // descriptors, one per column, and then one more.
  const Language language = (data[0] & 1) ? kEnglish : kSpanish;
  VectorTextList field_list;
  ListColumns(layout, language, &field_list);
  VectorTextList catalogue;
  FillCatalogueList(&catalogue, language);
  FUZZ_CHECK(field_list.Count() == static_cast<int>(layout.columns.size()),
             "the field list has %d entries for %zu columns",
             field_list.Count(), layout.columns.size());
  FUZZ_CHECK(field_list.Selected() ==
                 (layout.columns.empty() ? TextList::kNoSelection : 0),
             "the first column is not selected");
  std::vector<std::string> keywords(layout.columns.size(), SkipWord(language));
  std::size_t pick = kDbfHeaderSize + kFieldDescriptorSize * listed;
  for (std::size_t step = 0; step <= layout.columns.size(); ++step) {
    int row =
        pick < size ? data[pick++] % kCatalogueRows : step % kCatalogueRows;
    catalogue.Select(row);
    int selected = field_list.Selected();
    Assign(&field_list, catalogue);
    if (selected == TextList::kNoSelection) {
      FUZZ_CHECK(step == layout.columns.size(),
                 "the selection was lost at column %zu", step);
      continue;
    }
    FUZZ_CHECK(selected == static_cast<int>(step),
               "column %d selected at step %zu", selected, step);
    keywords[selected] = CatalogueKeyword(CatalogueEntry(row, language));
    int next = selected + 1 < field_list.Count() ? selected + 1
                                                 : TextList::kNoSelection;
    FUZZ_CHECK(field_list.Selected() == next,
               "after assigning column %d the selection is %d", selected,
               field_list.Selected());
  }
  FUZZ_CHECK(field_list.Count() == static_cast<int>(layout.columns.size()),
             "the walk changed the number of entries");
  for (std::size_t i = 0; i < layout.columns.size(); ++i)
    CheckEntry(field_list.Get(static_cast<int>(i)), layout.columns[i],
               keywords[i]);
  return 0;
}
