// fuzz_adif.cpp: reading an ADIF file of any shape, in either form, a block
// at a time, and checking it.
//
// Input: one control byte (the block size of a second read, done the
// careful way for odd sizes), then the file. Checked besides "no crash":
// reading in blocks of any size, the fast way or the careful way, gives the
// same records and problems as one large block; in the tagged form every field's
// data lies right after its tag, is as long as declared unless the file ends
// first, the fields come in file order, and names given the same number
// are the same in any letter case; the report is plain ASCII, one
// line per finding shown, its counts add up (findings, levels, kinds, the
// hidden ones), no kind shows more findings than allowed, and it is clean
// exactly when there are no findings; checked in two halves at once (the
// second from the first <EOR> past the middle), the report is that of one
// reading; and the records written back with exact lengths read again to
// the same fields.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "adif/adif_check.h"
#include "adif/adif_reader.h"
#include "adif_checks.h"
#include "fuzz_support.h"

namespace {

void CheckFieldPlacement(std::string_view bytes, const AdifFile::Field& field,
                         std::uint64_t* previous_offset) {
  FUZZ_CHECK(field.offset < bytes.size() && bytes[field.offset] == '<',
             "field offset %zu", static_cast<std::size_t>(field.offset));
  FUZZ_CHECK(*previous_offset == UINT64_MAX || field.offset > *previous_offset,
             "fields out of order at %zu",
             static_cast<std::size_t>(field.offset));
  *previous_offset = field.offset;
  const std::string tag = "<" + field.name + ":";
  std::size_t data_start = bytes.find('>', field.offset) + 1;
  FUZZ_CHECK(bytes.compare(field.offset, tag.size(), tag) == 0 &&
                 bytes.compare(data_start, field.data.size(), field.data) == 0,
             "data not right after its tag at %zu",
             static_cast<std::size_t>(field.offset));
  FUZZ_CHECK(field.data.size() == field.declared_length ||
                 (field.data.size() < field.declared_length &&
                  data_start + field.data.size() == bytes.size()),
             "data of %zu bytes for length %zu", field.data.size(),
             static_cast<std::size_t>(field.declared_length));
}

void CheckNamesNumbered(std::string_view bytes, std::size_t block) {
  MemoryInputFile input(bytes);
  std::unique_ptr<AdifRecordReader> reader =
      MakeAdifReader(&input, AdifForm::kTagged, block);
  AdifRecord part;
  fuzz::NumberedNames names;
  while (reader->Next(&part)) names.Check(part);
}

// Writes the records back with exact lengths and reads them again.
void CheckRoundTrip(const AdifFile& file) {
  // An empty header, so that the form is never taken for XML.
  std::string written = "<EOH>\n";
  for (const AdifFile::Record& record : file.records) {
    for (const AdifFile::Field& field : record.fields)
      written += "<" + field.name + ":" + std::to_string(field.data.size()) +
                 ">" + field.data + " ";
    written += "<EOR>\n";
  }
  AdifFile again = ReadAdif(written);
  FUZZ_CHECK(again.records.size() == file.records.size(), "%zu records, %zu",
             again.records.size(), file.records.size());
  for (std::size_t r = 0; r < file.records.size(); ++r) {
    const AdifFile::Record& a = file.records[r];
    const AdifFile::Record& b = again.records[r];
    FUZZ_CHECK(a.fields.size() == b.fields.size() && b.terminated,
               "record %zu: %zu fields, %zu", r + 1, a.fields.size(),
               b.fields.size());
    for (std::size_t f = 0; f < a.fields.size(); ++f)
      FUZZ_CHECK(a.fields[f].name == b.fields[f].name &&
                     a.fields[f].data == b.fields[f].data,
                 "record %zu field %zu differs", r + 1, f + 1);
  }
}

bool WritableBack(const AdifFile& file) {
  // Names that a tag cannot hold (from the XML form) do not read back.
  for (const AdifFile::Record& record : file.records)
    for (const AdifFile::Field& field : record.fields) {
      if (field.name.empty()) return false;
      for (char c : field.name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7F || c == '<' || c == '>' || c == ':' ||
            c == ',' || c == '{' || c == '}')
          return false;
      }
    }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size == 0) return 0;
  const std::size_t block = 1 + data[0] % 64;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  AdifFile file = ReadAdif(bytes);
  AdifFile in_blocks = ReadAdif(bytes, block, /*fast=*/block % 2 == 0);
  FUZZ_CHECK(fuzz::Outline(file) == fuzz::Outline(in_blocks),
             "blocks of %zu read otherwise", block);
  if (DetectAdifForm(bytes.substr(0, 64)) == AdifForm::kTagged) {
    std::uint64_t previous = UINT64_MAX;
    for (const AdifFile::Record& record : file.records)
      for (const AdifFile::Field& field : record.fields)
        CheckFieldPlacement(bytes, field, &previous);
    CheckNamesNumbered(bytes, kAdifBlockSize);
    CheckNamesNumbered(bytes, block);
  }
  fuzz::CheckReport(bytes, 0);
  fuzz::CheckReport(bytes, 2);
  FUZZ_CHECK(fuzz::ReportText(bytes, UINT64_MAX) == fuzz::ReportText(bytes, 1),
             "checked in halves otherwise");
  if (WritableBack(file)) CheckRoundTrip(file);
  return 0;
}
