// Tests of --fix and --set: one table of spellings per rule, the per-column
// decisions from a survey, and the fields a record gets through the engine.

#include "convert/value_fixes.h"

#include <gtest/gtest.h>

#include "convert/convert_records.h"
#include "dbf_builder.h"
#include "mapping/field_list.h"
#include "platform/text.h"

namespace {

struct Spelling {
  const char* keyword;
  const char* input;
  const char* output;  // nullptr: not read, left as it is
  char type = 'C';
  unsigned date_order = kDayMonthYear;
  unsigned unit = kAsMegahertz;  // of a frequency that fits both
  const char* submode = "";
};

// Mends every spelling, and mends the result again, which must change
// nothing.
void ExpectSpellings(const std::vector<Spelling>& spellings) {
  for (const Spelling& s : spellings) {
    ColumnFix fix = ColumnFixOf(s.keyword, s.type, false, 1252);
    fix.date_order = s.date_order;
    fix.ambiguous_unit = s.unit;
    FixedValue fixed;
    std::string out(FixValue(fix, s.input, nullptr, &fixed));
    SCOPED_TRACE(std::string(s.keyword) + " '" + s.input + "'");
    if (s.output) {
      EXPECT_NE(FixOutcome::kUnreadable, fixed.outcome);
      EXPECT_EQ(s.output, out);
    } else {
      EXPECT_EQ(FixOutcome::kUnreadable, fixed.outcome) << out;
      EXPECT_EQ(TrimSpaces(s.input), out);
    }
    EXPECT_STREQ(s.submode, fixed.submode ? fixed.submode : "");
    FixedValue again;
    EXPECT_EQ(out, FixValue(fix, out, nullptr, &again));
    EXPECT_NE(FixOutcome::kFixed, again.outcome);
  }
}

TEST(FixValue, CallSigns) {
  ExpectSpellings({{"CALL", "ea4abc", "EA4ABC"},
                   {"CALL", "EA 4ABC  ", "EA4ABC"},
                   {"OPERATOR", "  ea4xyz/p", "EA4XYZ/P"},
                   {"CALL", "EA4ABC", "EA4ABC"},
                   {"CALL", "EA4?BC", nullptr}});
}

TEST(FixValue, DatesInTheColumnsOrder) {
  ExpectSpellings({
      {"QSO_DATE", "14/06/2005", "20050614"},
      {"QSO_DATE", "4.6.05", "20050604"},
      {"QSO_DATE", "06-14-05", "20050614", 'C', kMonthDayYear},
      {"QSO_DATE", "06 14 2005", "20050614", 'C', kMonthDayYear},
      {"QSLSDATE", "2005.06.14", "20050614"},  // year first: its own order
      {"QSO_DATE", "14-JUN-05", "20050614", 'C', kMonthDayYear},
      {"QSO_DATE", "14 jun. 2005", "20050614"},
      {"QSO_DATE", "June 14, 2005", "20050614"},
      {"QSO_DATE", "2 agosto 1999", "19990802"},
      {"QSO_DATE", "24-DIC-29", "20291224"},
      {"QSO_DATE", "1/1/30", "19300101"},
      {"QSO_DATE", "14062005", "20050614"},
      {"QSO_DATE", "20050614", "20050614", 'C', kMonthDayYear},
      {"QSO_DATE", "29/02/2004", "20040229"},
      {"QSO_DATE", "29/02/2005", nullptr},
      {"QSO_DATE", "14/06/2005", nullptr, 'C', kMonthDayYear},
      {"QSO_DATE", "99/06/14", nullptr},  // a year of two digits goes last
      {"QSO_DATE", "ayer", nullptr},
  });
}

TEST(FixValue, Times) {
  ExpectSpellings({
      {"TIME_ON", "9:15", "0915"},
      {"TIME_ON", "09:15", "0915"},
      {"TIME_ON", "915", "0915"},
      {"TIME_OFF", "09.15z", "0915"},
      {"TIME_ON", "9h15", "0915"},
      {"TIME_ON", "21:05:30", "210530"},
      {"TIME_ON", "1430 UTC", "1430"},
      {"TIME_ON", "0915", "0915"},
      {"TIME_ON", "15", "0015", 'N'},
      {"TIME_ON", "91530", "091530", 'N'},
      {"TIME_ON", "15", nullptr},
      {"TIME_ON", "25:00", nullptr},
      {"TIME_ON", "9:5", nullptr},
  });
}

TEST(FixValue, FrequenciesInMegahertz) {
  ExpectSpellings({
      {"FREQ", "7085", "7.085"},
      {"FREQ", "14,195", "14.195"},
      {"FREQ", "14195.5", "14.1955"},
      {"FREQ", "135.7", "0.1357"},
      {"FREQ", "   7.085", "7.085", 'N'},
      {"FREQ", "7.085 MHz", "7.085"},
      {"FREQ_RX", "7085kHz", "7.085"},
      {"FREQ", "10120", "10.120", 'C', 0, kAsKilohertz},  // 30m, or 3 cm
      {"FREQ", "10120", "10120", 'C', 0, kAsMegahertz},
      {"FREQ", "27.555", nullptr},  // in no amateur band
      {"FREQ", "14.195.5", nullptr},
  });
}

TEST(FixValue, BandsModesFlagsReports) {
  ExpectSpellings({
      {"BAND", "40", "40m"},
      {"BAND", "40M", "40m"},
      {"BAND", "40 m", "40m"},
      {"BAND", "2M", "2m"},
      {"BAND", "70CM", "70cm"},
      {"BAND_RX", "1.25M", "1.25m"},
      {"BAND", "14", "20m"},
      {"BAND", "11M", nullptr},
      {"MODE", "usb", "SSB", 'C', 0, 0, "USB"},
      {"MODE", "LSB", "SSB", 'C', 0, 0, "LSB"},
      {"MODE", "FT4", "MFSK", 'C', 0, 0, "FT4"},
      {"MODE", "PSK31", "PSK", 'C', 0, 0, "PSK31"},
      {"MODE", "JS8", "MFSK", 'C', 0, 0, "JS8"},
      {"MODE", "cw", "CW"},
      {"MODE", "FT-8", "FT8"},
      {"MODE", "PACKET", "PKT"},
      {"MODE", "FONIA", nullptr},
      {"QSL_SENT", "SI", "Y"},
      {"QSL_SENT", "S\xCD", "Y"},
      {"QSL_RCVD", "yes", "Y"},
      {"QSL_SENT", "X", "Y"},
      {"LOTW_QSL_SENT", "1", "Y"},
      {"QSL_SENT", "NO", "N"},
      {"QSL_RCVD", "0", "N"},
      {"QSL_RCVD", "F", "N", 'L'},
      {"QSL_RCVD", "r", "R"},
      {"QSL_SENT", "F", nullptr},
      {"RST_SENT", "5 9", "59"},
      {"RST_RCVD", "-10", "-10"},
      {"TX_PWR", "100,5", "100.5"},
      {"NAME", "  Jos\xE9", "Jos\xE9"},
  });
  // A logical column's "?" is no value at all.
  ColumnFix fix = ColumnFixOf("QSL_RCVD", 'L', false, 1252);
  FixedValue fixed;
  EXPECT_EQ("", FixValue(fix, "?", nullptr, &fixed));
  EXPECT_EQ(FixOutcome::kDropped, fixed.outcome);
  // Keywords no rule reads keep the plain conversion's rules.
  fix = ColumnFixOf("TIME_X", 'C', false, 1252);
  EXPECT_EQ("2500", FixValue(fix, "25:00", nullptr, &fixed));
}

TEST(FixValue, MemoText) {
  const struct {
    const char* keyword;
    std::string input;
    const char* output;
  } cases[] = {
      {"NOTES", "Primer QSO\x8D\ncon Canarias", "Primer QSO con Canarias"},
      {"NOTES", "linea 1\nlinea 2\r\nlinea 3", "linea 1\r\nlinea 2\r\nlinea 3"},
      {"COMMENT", "linea 1\r\nlinea 2\nfin\n", "linea 1 linea 2 fin"},
      {"NOTES", "\x8D sola", "\x8D sola"},  // 0x8D alone is a letter in 850
  };
  for (const auto& c : cases) {
    ColumnFix fix = ColumnFixOf(c.keyword, 'M', true, 1252);
    FixedValue fixed;
    std::string out(FixValue(fix, c.input, nullptr, &fixed));
    EXPECT_EQ(c.output, out) << c.input;
    FixedValue again;
    EXPECT_EQ(out, FixValue(fix, out, nullptr, &again));
  }
}

// A table of one text column holding \a values, surveyed as --fix does.
std::vector<ColumnProfile> SurveyOf(const std::vector<std::string>& values,
                                    const ColumnPlan& plan, DbfLayout* layout) {
  BuilderTable table;
  table.columns = {{"FECHA", 'C', 12, 0}};
  for (const std::string& value : values) table.rows.push_back({value});
  std::string bytes = BuildTable(table);
  ReadDbfLayout(reinterpret_cast<const unsigned char*>(bytes.data()),
                bytes.size(), layout);
  MemorySource in(bytes.data() + layout->header.header_length,
                  bytes.size() - layout->header.header_length);
  std::vector<ColumnProfile> profiles;
  SurveyRecords(&in, layout->header.record_count, *layout,
                FixSurveyRequest(plan, *layout, 1252, false), &profiles);
  return profiles;
}

TEST(DecideFixes, DatesDecideTheirOrderOrAskForIt) {
  const struct {
    std::vector<std::string> dates;
    unsigned option;
    unsigned order;       // 0: refused
    const char* message;  // the refusal or the note
  } cases[] = {
      {{"03/04/2005", "25/12/2005"}, 0, kDayMonthYear, ""},
      {{"03/04/2005", "12/25/2005", "20050102"}, 0, kMonthDayYear, ""},
      {{"2005/06/14", "14-JUN-05", ""}, 0, 0, ""},  // no open order: none
      {{"03/04/2005", "05/06/2005", "03/04/2005"},
       0,
       0,
       "FECHA: its dates do not tell the day from the month (03/04/2005, "
       "05/06/2005): give --date-order dmy, mdy or ymd; nothing was written"},
      {{"25/12/2005", "12/25/2005"},
       0,
       0,
       "FECHA: its dates are written in more than one order (25/12/2005, "
       "12/25/2005)"},
      {{"03/04/2005", "05/06/2005"},
       kMonthDayYear,
       kMonthDayYear,
       "FECHA: day and month order from --date-order mdy"},
      {{"03/04/2005", "25/12/2005"}, kMonthDayYear, kDayMonthYear, ""},
  };
  for (const auto& c : cases) {
    ColumnPlan plan = PlanColumns(
        {ComposeFieldListEntry("FECHA", 'C', 12, 0, "QSO_DATE")}, kEnglish);
    DbfLayout layout;
    std::vector<ColumnProfile> profiles = SurveyOf(c.dates, plan, &layout);
    std::vector<ColumnFix> fixes;
    std::vector<std::string> notes;
    std::string error;
    bool decided = DecideFixes(plan, layout, profiles, c.option, false, 1252,
                               kEnglish, &fixes, &notes, &error);
    std::string said = decided ? (notes.empty() ? "" : notes[0]) : error;
    EXPECT_EQ(0u, said.find(c.message)) << said;
    bool refused = c.order == 0 && *c.message != '\0';
    ASSERT_EQ(!refused, decided) << error;
    if (decided) {
      EXPECT_EQ(c.order, fixes[0].date_order);
    }
  }
}

// Converts \a rows of a table with \a columns (name and keyword) through a
// fixer; returns the record lines.
std::string ConvertFixed(
    const std::vector<std::pair<std::string, std::string>>& columns,
    const std::vector<std::vector<std::string>>& rows,
    std::vector<ConstantField> constants, bool mend,
    std::vector<std::string>* summary, ConvertStats* stats) {
  BuilderTable table;
  std::vector<std::string> entries, names;
  for (const auto& column : columns) {
    table.columns.push_back({column.first, 'C', 10, 0});
    entries.push_back(
        ComposeFieldListEntry(column.first, 'C', 10, 0, column.second));
    names.push_back(column.first);
  }
  table.rows = rows;
  std::string bytes = BuildTable(table);
  DbfLayout layout;
  ReadDbfLayout(reinterpret_cast<const unsigned char*>(bytes.data()),
                bytes.size(), &layout);
  ColumnPlan plan = PlanColumns(entries, kEnglish);
  std::vector<ColumnFix> fixes;
  if (mend) {
    std::vector<std::string> notes;
    std::string error;
    EXPECT_TRUE(DecideFixes(plan, layout, {}, 0, false, 1252, kEnglish, &fixes,
                            &notes, &error));
  }
  RecordFixer fixer(plan, fixes, std::move(constants));
  MemorySource in(bytes.data() + layout.header.header_length,
                  bytes.size() - layout.header.header_length);
  StringSink out;
  ConvertOptions options;
  options.fixer = &fixer;
  *stats = ConvertRecords(&in, &out, layout.header.record_count, plan, options);
  *summary = fixer.Summary(names, kEnglish);
  return out.text;
}

TEST(RecordFixer, AddsFieldsAndLeavesOutRecordsWithoutCall) {
  std::vector<std::string> summary;
  ConvertStats stats;
  std::string lines =
      ConvertFixed({{"HORA", "TIME_ON"},
                    {"IND", "CALL"},
                    {"FREC", "FREQ"},
                    {"MODO", "MODE"},
                    {"MIO", "STATION_CALLSIGN"}},
                   {{"9:15", "ea4abc", "7085", "USB", ""},
                    {"10:42", "f6xyz", "14.195", "CW", "EA4ZZZ"},
                    {"11:00", "", "7040", "CW", ""}},
                   {{"STATION_CALLSIGN", "EA4XYZ"}, {"TX_PWR", "100"}}, true,
                   &summary, &stats);
  EXPECT_EQ(
      "<CALL:6>EA4ABC <TIME_ON:4>0915 <FREQ:5>7.085 <MODE:3>SSB <BAND:3>40m "
      "<SUBMODE:3>USB <STATION_CALLSIGN:6>EA4XYZ <TX_PWR:3>100 <EOR>\r\n"
      "<CALL:5>F6XYZ <TIME_ON:4>1042 <FREQ:6>14.195 <MODE:2>CW "
      "<STATION_CALLSIGN:6>EA4ZZZ <BAND:3>20m <TX_PWR:3>100 <EOR>\r\n",
      lines);
  EXPECT_EQ(3u, stats.records_read);
  EXPECT_EQ(2u, stats.records_written);
  EXPECT_EQ((std::vector<std::string>{
                "HORA: 1 value H:MM -> HHMM, e.g. 9:15 -> 0915; 1 value "
                "HH:MM -> HHMM, e.g. 10:42 -> 1042",
                "IND: 2 values in upper case without blanks, e.g. ea4abc -> "
                "EA4ABC",
                "FREC: 1 value kHz -> MHz, e.g. 7085 -> 7.085; 2 values gave "
                "BAND, e.g. 7.085 -> 40m",
                "MODO: 1 value -> MODE and SUBMODE, e.g. USB -> SSB + SUBMODE "
                "USB",
                "1 record without CALL left out"}),
            summary);

  // --set alone mends nothing and keeps records without CALL as they are.
  lines =
      ConvertFixed({{"IND", "CALL"}, {"MIO", "STATION_CALLSIGN"}},
                   {{"ea4abc", ""}, {"", "EA4ZZZ"}},
                   {{"STATION_CALLSIGN", "EA4XYZ"}}, false, &summary, &stats);
  EXPECT_EQ("<CALL:6>ea4abc <STATION_CALLSIGN:6>EA4XYZ <EOR>\r\n<EOR>\r\n",
            lines);
  EXPECT_TRUE(summary.empty());
}

}  // namespace
