// sample_tables.h: the contact logs the fault tests feed the program, one of
// each table flavour, with column names that are catalogue keywords so that
// --auto maps them all.

#ifndef LOGWEAVE_TESTS_FAULTS_SAMPLE_TABLES_H_
#define LOGWEAVE_TESTS_FAULTS_SAMPLE_TABLES_H_

#include <ostream>
#include <string>

#include "dbf_builder.h"

namespace faults {

enum class Flavour { kDbase3, kFoxProMemo, kVisualFoxPro };

inline const char* FlavourName(Flavour flavour) {
  switch (flavour) {
    case Flavour::kDbase3:
      return "dBaseIII";
    case Flavour::kFoxProMemo:
      return "FoxProMemo";
    case Flavour::kVisualFoxPro:
      return "VisualFoxPro";
  }
  return "?";
}

inline void PrintTo(Flavour flavour, std::ostream* os) {
  *os << FlavourName(flavour);
}

// A log of \a records contacts. Record r (from 0) has the call "EA4" plus r.
inline BuilderTable SampleLog(int records, Flavour flavour = Flavour::kDbase3) {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 10}, {"QSO_DATE", 'D', 8}, {"TIME_ON", 'C', 5},
               {"BAND", 'C', 4},  {"MODE", 'C', 4},     {"QSL_SENT", 'C', 1},
               {"NAME", 'C', 16}};
  switch (flavour) {
    case Flavour::kDbase3:
      t.version = 0x03;
      break;
    case Flavour::kFoxProMemo:
      t.version = 0xF5;
      t.columns.push_back({"NOTES", 'M', 10});
      break;
    case Flavour::kVisualFoxPro:
      t.version = 0x30;
      t.foxpro_trailer = true;
      t.code_page = 0x03;
      t.columns.push_back({"_NullFlags", '0', 1});
      t.end_marker = false;
      break;
  }
  static const char* const kNames[] = {"Jos\xE9",
                                       "Mar\xED"
                                       "a",
                                       "John", "\xC1ngel",
                                       "Nu\xF1"
                                       "ez"};
  static const char* const kBands[] = {"20M", "40M", "80M", "2M"};
  for (int r = 0; r < records; ++r) {
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", r / 60 % 24, r % 60);
    std::vector<std::string> row = {
        "EA4" + std::to_string(r),
        "2004" + std::string(r % 2 ? "0915" : "1001"),
        time,
        kBands[r % 4],
        r % 3 ? "SSB" : "CW",
        r % 2 ? "S" : "N",
        kNames[r % 5]};
    if (flavour == Flavour::kFoxProMemo)
      row.push_back(r % 4 ? "" : "        17");
    if (flavour == Flavour::kVisualFoxPro) row.push_back(std::string(1, '\0'));
    t.rows.push_back(row);
    t.deleted.push_back(r % 7 == 3);
  }
  return t;
}

// The size of one record of \a t: the flag byte and the columns.
inline std::size_t RecordSize(const BuilderTable& t) {
  std::size_t size = 1;
  for (const BuilderColumn& c : t.columns) size += c.length;
  return size;
}

}  // namespace faults

#endif  // LOGWEAVE_TESTS_FAULTS_SAMPLE_TABLES_H_
