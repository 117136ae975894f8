// adif_checks.h: what the fuzz targets of the ADIF readers and the check
// share: an outline of what a file reads to, for comparing two readings, and
// the properties every report has.

#ifndef LOGWEAVE_FUZZ_ADIF_CHECKS_H_
#define LOGWEAVE_FUZZ_ADIF_CHECKS_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_check.h"
#include "adif/adif_reader.h"
#include "fuzz_support.h"

namespace fuzz {

// "NAME=data@offset,length|..." per record and the problems' kinds, to
// compare two reads.
inline std::string Outline(const AdifFile& file) {
  std::string text = file.has_header ? "H" : "-";
  for (const AdifSyntaxProblem& problem : file.file_problems)
    text += " f" + std::to_string(static_cast<int>(problem.kind));
  text += " +" + std::to_string(file.more_file_problems);
  for (const AdifFile::Record& record : file.records) {
    text += record.terminated ? "\n" : "\n~";
    for (const AdifFile::Field& field : record.fields)
      text += field.name + "=" + field.data + "@" +
              std::to_string(field.offset) + "," +
              std::to_string(field.declared_length) + "|";
    for (const AdifSyntaxProblem& problem : record.problems)
      text += " p" + std::to_string(static_cast<int>(problem.kind)) +
              problem.field + problem.text + problem.value;
  }
  return text;
}

// Fields whose names the reader gave the same number have the same name,
// in any letter case.
class NumberedNames {
 public:
  void Check(const AdifRecord& part) {
    for (const AdifField& field : part.fields) {
      if (field.spelling == 0) continue;
      std::string name(field.name);
      for (char& c : name) c = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
      const std::string& first =
          names_.emplace(field.spelling, name).first->second;
      FUZZ_CHECK(first == name, "%s and %s numbered alike", first.c_str(),
                 name.c_str());
    }
  }

 private:
  std::map<std::uint64_t, std::string> names_;
};

inline void CheckReport(std::string_view bytes, std::uint64_t shown) {
  std::vector<Finding> findings;
  CheckOptions options;
  options.shown_per_kind = shown;
  CheckTotals totals = CheckAdifText(bytes, &findings, options);
  std::uint64_t by_kind = 0, hidden = 0, errors = 0,
                shown_of[kFindingKindCount] = {};
  for (int kind = 0; kind < kFindingKindCount; ++kind) {
    by_kind += totals.by_kind[kind];
    hidden += totals.hidden_by_kind[kind];
    if (LevelOf(static_cast<FindingKind>(kind)) == FindingLevel::kError)
      errors += totals.by_kind[kind];
  }
  FUZZ_CHECK(by_kind == totals.findings() && errors == totals.errors,
             "%zu findings, %zu by kind",
             static_cast<std::size_t>(totals.findings()),
             static_cast<std::size_t>(by_kind));
  FUZZ_CHECK(findings.size() + hidden == by_kind,
             "%zu shown, %zu hidden of %zu", findings.size(),
             static_cast<std::size_t>(hidden),
             static_cast<std::size_t>(by_kind));
  FUZZ_CHECK(totals.records_with_findings <= totals.records, "records");
  for (const Finding& finding : findings) {
    std::uint64_t n = ++shown_of[static_cast<int>(finding.kind)];
    FUZZ_CHECK(shown == 0 || n <= shown, "%zu shown",
               static_cast<std::size_t>(n));
    std::string line = FormatFinding(finding, kEnglish);
    for (char c : line) {
      unsigned char byte = static_cast<unsigned char>(c);
      FUZZ_CHECK(byte >= 0x20 && byte < 0x7F, "byte 0x%02X in %s", byte,
                 line.c_str());
    }
  }
  std::string summary = SummaryLine(totals, kEnglish);
  if (by_kind == 0) {
    FUZZ_CHECK(summary.rfind("no findings in ", 0) == 0, "%s", summary.c_str());
    return;
  }
  // "N findings in M of R records: a kind, b kind, ..."
  std::uint64_t sum = 0;
  for (std::size_t at = summary.find(": "); at != std::string::npos;
       at = summary.find(", ", at + 1))
    sum += std::stoull(summary.substr(at + 2));
  FUZZ_CHECK(std::stoull(summary) == by_kind && sum == by_kind, "%s",
             summary.c_str());
}

// The report's lines, checked in halves from files of \a halves_from bytes.
inline std::string ReportText(std::string_view bytes,
                              std::uint64_t halves_from) {
  std::vector<Finding> findings;
  CheckOptions options;
  options.shown_per_kind = 2;
  options.halves_from = halves_from;
  CheckTotals totals = CheckAdifText(bytes, &findings, options);
  std::string text;
  for (const Finding& finding : findings)
    text += FormatFinding(finding, kEnglish) + "\n";
  for (const std::string& line : HiddenLines(totals, kEnglish))
    text += line + "\n";
  return text + SummaryLine(totals, kEnglish) + "\n" +
         LevelCountsLine(totals, kEnglish);
}

}  // namespace fuzz

#endif  // LOGWEAVE_FUZZ_ADIF_CHECKS_H_
