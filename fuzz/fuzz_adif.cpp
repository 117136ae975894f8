// fuzz_adif.cpp: reading an ADIF file of any shape and checking it.
//
// Input: the file. Checked besides "no crash": every field's data lies in
// the buffer right after its tag, is as long as declared unless the buffer
// ends first, and the fields come in file order; the report is plain ASCII,
// one line per finding and a summary line whose counts add up; the report is
// clean exactly when there are no findings; and the records written back
// with exact lengths read again to the same fields.

#include <cstdint>
#include <string>
#include <string_view>

#include "adif/adif_check.h"
#include "adif/adif_reader.h"
#include "fuzz_support.h"

namespace {

void CheckFieldPlacement(std::string_view bytes, const AdifField& field,
                         std::size_t* previous_offset) {
  const char* begin = bytes.data();
  const char* end = begin + bytes.size();
  FUZZ_CHECK(field.offset < bytes.size() && bytes[field.offset] == '<',
             "field offset %zu", field.offset);
  FUZZ_CHECK(*previous_offset == std::string_view::npos ||
                 field.offset > *previous_offset,
             "fields out of order at %zu", field.offset);
  *previous_offset = field.offset;
  FUZZ_CHECK(field.data.data() >= begin + field.offset &&
                 field.data.data() + field.data.size() <= end,
             "data outside the buffer at %zu", field.offset);
  FUZZ_CHECK(field.data.size() == field.declared_length ||
                 (field.data.size() < field.declared_length &&
                  field.data.data() + field.data.size() == end),
             "data of %zu bytes for length %zu", field.data.size(),
             field.declared_length);
  FUZZ_CHECK(field.data.data() > begin && field.data.data()[-1] == '>',
             "data not right after its tag at %zu", field.offset);
}

void CheckReportText(const CheckReport& report) {
  std::string text = FormatReport(report);
  std::size_t lines = 0;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    FUZZ_CHECK(c == '\n' || (byte >= 0x20 && byte < 0x7F),
               "byte 0x%02X in the report", byte);
    if (c == '\n') ++lines;
  }
  FUZZ_CHECK(lines == report.findings.size() + 1, "%zu lines for %zu findings",
             lines, report.findings.size());
  std::string summary = SummaryLine(report);
  if (report.findings.empty()) {
    FUZZ_CHECK(summary.rfind("no findings in ", 0) == 0, "%s",
               summary.c_str());
    return;
  }
  // "N findings in M of R records: a kind, b kind, ..."
  std::size_t total = std::stoul(summary);
  FUZZ_CHECK(total == report.findings.size(), "%s", summary.c_str());
  std::size_t sum = 0;
  for (std::size_t at = summary.find(": "); at != std::string::npos;
       at = summary.find(", ", at + 1))
    sum += std::stoul(summary.substr(at + 2));
  FUZZ_CHECK(sum == total, "%s", summary.c_str());
}

// Writes the records back with exact lengths and reads them again.
void CheckRoundTrip(const AdifFile& file) {
  std::string written;
  for (const AdifRecord& record : file.records) {
    for (const AdifField& field : record.fields)
      written += "<" + std::string(field.name) + ":" +
                 std::to_string(field.data.size()) + ">" +
                 std::string(field.data) + " ";
    written += "<EOR>\n";
  }
  AdifFile again = ReadAdif(written);
  FUZZ_CHECK(again.records.size() == file.records.size(), "%zu records, %zu",
             again.records.size(), file.records.size());
  for (std::size_t r = 0; r < file.records.size(); ++r) {
    const AdifRecord& a = file.records[r];
    const AdifRecord& b = again.records[r];
    FUZZ_CHECK(a.fields.size() == b.fields.size() && b.terminated,
               "record %zu: %zu fields, %zu", r + 1, a.fields.size(),
               b.fields.size());
    for (std::size_t f = 0; f < a.fields.size(); ++f)
      FUZZ_CHECK(a.fields[f].name == b.fields[f].name &&
                     a.fields[f].data == b.fields[f].data,
                 "record %zu field %zu differs", r + 1, f + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  AdifFile file = ReadAdif(bytes);
  std::size_t previous = std::string_view::npos;
  for (const AdifField& field : file.header_fields)
    CheckFieldPlacement(bytes, field, &previous);
  for (const AdifRecord& record : file.records)
    for (const AdifField& field : record.fields)
      CheckFieldPlacement(bytes, field, &previous);

  CheckReport report = CheckAdif(bytes);
  FUZZ_CHECK(report.record_count == file.records.size(), "record count");
  CheckReportText(report);
  CheckRoundTrip(file);
  return 0;
}
