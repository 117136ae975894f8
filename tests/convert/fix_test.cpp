// Tests of --fix and --set: one table of spellings per rule, one table of
// columns per decision (values in, decision or conflict out), and the
// fields a record gets through the engine.

#include "convert/fix_plan.h"
#include "convert/fix_rules.h"
#include "convert/record_fixer.h"

#include <gtest/gtest.h>

#include "convert/charset.h"
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
  unsigned unit = 0;  // the column's; 0: each value its likeliest
  const char* submode = "";
  TimeDigits time_digits = TimeDigits::kWritten;
  BandNotation notation = BandNotation::kEither;
  char thousands = 0;
};

// Mends every spelling, and mends the result again, which must change
// nothing.
void ExpectSpellings(const std::vector<Spelling>& spellings) {
  for (const Spelling& s : spellings) {
    ColumnFix fix = ColumnFixOf(s.keyword, s.type, false, 1252);
    fix.date_order = s.date_order;
    fix.frequency_unit = s.unit;
    if (s.time_digits != TimeDigits::kWritten) fix.time_digits = s.time_digits;
    fix.band_notation = s.notation;
    fix.thousands = s.thousands;
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
                   {"CALL", "EA4?BC", nullptr},
                   {"CALL",
                    "EA4\xD8"
                    "BC",
                    "EA40BC"},  // a slashed zero
                   {"CALL", "ea\xF8xyz", "EA0XYZ"},
                   {"CALL",
                    "EA\xC9"
                    "BC",
                    nullptr}});
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
      {"QSO_DATE", "99/06/14", nullptr},  // not in the column's order
      {"QSO_DATE", "99/06/14", "19990614", 'C', kYearMonthDay},
      {"QSO_DATE", "03-11-25", "20031125", 'C', kYearMonthDay},
      {"QSO_DATE", "03-11-25", "20251103", 'C', kDayMonthYear},
      {"QSO_DATE", "971224", "19971224", 'C', kYearMonthDay},
      {"QSO_DATE", "241297", "19971224", 'C', kDayMonthYear},
      {"QSO_DATE", "30125", "20030125", 'N', kYearMonthDay},  // lost its 0
      {"QSO_DATE", "1012005", "20050101", 'N', kDayMonthYear},
      {"QSO_DATE", "30125", nullptr, 'C', kYearMonthDay},
      {"QSO_DATE", "14-JUN-05", "20050614", 'C', kYearMonthDay},
      {"QSO_DATE", "ayer", nullptr},
      {"QSO_DATE", "14;06;2005", nullptr},  // separators: / - . , alone
      {"QSO_DATE", "14/-06/2005", nullptr},
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
      {"TIME_ON", "2210", "002210", 'N', 0, 0, "", TimeDigits::kNumericHhmmss},
      {"TIME_ON", "221015", "221015", 'N', 0, 0, "",
       TimeDigits::kNumericHhmmss},
      {"TIME_ON", "2210", "2210", 'N'},
      {"TIME_ON", "0841", "0841", 'N', 0, 0, "", TimeDigits::kNumericHhmmss},
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
      {"FREQ", "10120", "10.120"},    // 30 m is likelier than 3 cm
      {"FREQ", "145525", "145.525"},  // 2 m, not 2 mm
      {"FREQ", "433250", "433.250", 'C', 0, kAsKilohertz},
      {"FREQ", "1296550", "1296.550", 'C', 0, kAsKilohertz},
      {"FREQ", "14074000", "14.074"},  // hertz
      {"FREQ", "14.074.000", "14.074"},
      {"FREQ", "14,074,000", "14.074", 'C', 0, kAsHertz},
      {"FREQ", "7085", nullptr, 'C', 0, kAsMegahertz},      // not in that unit
      {"FREQ", "7085 kHz", "7.085", 'C', 0, kAsMegahertz},  // its own unit
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
      {"BAND", "10", "30m", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kMegahertz},
      {"BAND", "3.5", "80m", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kMegahertz},
      {"BAND", "10", "10m", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kMetres},
      {"BAND", "70", "70cm", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kMetres},
      {"BAND", "75", "80m", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kMetres},
      {"BAND", "21.295", "15m"},
      {"MODE", "BLU", "SSB"},
      {"MODE", "j3e", "SSB"},
      {"MODE", "A1A", "CW"},
      {"MODE", "F3E", "FM"},
      {"QSL_SENT", "J", "Y"},
      {"QSL_SENT", "oui", "Y"},
      {"QSL_RCVD", "NON", "N"},
      {"QSL_RCVD", "SIM", "Y"},
      {"QSL_RCVD", "N\xC3O", "N"},
      {"QSL_RCVD", "D", nullptr},        // Latin D is no Cyrillic yes
      {"RST_SENT", "599 001", nullptr},  // a report and a serial
      {"TX_PWR", "1.500", "1500", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kEither, '.'},
      {"TX_PWR", "1,500", "1500", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kEither, ','},
      {"TX_PWR", "1.500", "1.500"},
      {"TX_PWR", "100 W", nullptr},  // no number: left for the check
      {"K_INDEX", "-3", "-3"},
      {"TX_PWR", "1.500,5", "1500.5", 'C', 0, 0, "", TimeDigits::kWritten,
       BandNotation::kEither, '.'},
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
    // clang-format off
  } cases[] = {
      {"NOTES", "Primer QSO\x8D\ncon Canarias", "Primer QSO con Canarias"},
      {"NOTES", "linea 1\nlinea 2\r\nlinea 3", "linea 1\r\nlinea 2\r\nlinea 3"},
      {"COMMENT", "linea 1\r\nlinea 2\nfin\n", "linea 1 linea 2 fin"},
      {"NOTES", "\x8D sola", "\x8D sola"},  // 0x8D alone is a letter in 850
  };
  // clang-format on
  for (const auto& c : cases) {
    ColumnFix fix = ColumnFixOf(c.keyword, 'M', true, 1252);
    FixedValue fixed;
    std::string out(FixValue(fix, c.input, nullptr, &fixed));
    EXPECT_EQ(c.output, out) << c.input;
    FixedValue again;
    EXPECT_EQ(out, FixValue(fix, out, nullptr, &again));
  }
}

TEST(FixValue, CyrillicWordsInTheirCodePages) {
  const struct {
    const char* keyword;
    const char* input;
    int code_page;
    const char* output;
    // clang-format off
  } cases[] = {
      {"QSL_SENT", "\x84", 866, "Y"},          // Д
      {"QSL_RCVD", "\x8D", 866, "N"},          // Н
      {"QSL_RCVD", "\xC4\xC0", 1251, "Y"},     // ДА
      {"QSL_RCVD", "\xCD\xC5\xD2", 1251, "N"},  // НЕТ
      {"MODE", "\x92\x8B\x83", 866, "CW"},     // ТЛГ
      {"MODE", "\xD2\xCB\xD4", 1251, "SSB"},   // ТЛФ
      {"CALL", "UA3\xED" "AA", 437, "UA30AA"},  // DOS's slashed zero
  };
  // clang-format on
  for (const auto& c : cases) {
    ColumnFix fix = ColumnFixOf(c.keyword, 'C', false, c.code_page);
    FixedValue fixed;
    EXPECT_EQ(c.output, std::string(FixValue(fix, c.input, nullptr, &fixed)))
        << c.keyword << " " << c.code_page;
  }
}

// One column \a keyword of \a type holding \a values, surveyed as --fix
// does and decided; \a form is its --read-as, \a option --date-order.
struct Decided {
  bool ok;
  ColumnFix fix;
  std::string said;  // the conflict, or the notes
};
Decided Decide(const char* keyword, char type,
               const std::vector<std::string>& values, const char* form = "",
               unsigned option = 0,
               long latest_day = SurveyRequest::kNoLatestDay) {
  BuilderTable table;
  table.columns = {{"COL", type, 12, 0}};
  for (const std::string& value : values) table.rows.push_back({value});
  std::string bytes = BuildTable(table);
  DbfLayout layout;
  ReadDbfLayout(reinterpret_cast<const unsigned char*>(bytes.data()),
                bytes.size(), &layout);
  ColumnPlan plan = PlanColumns(
      {ComposeFieldListEntry("COL", type, 12, 0, keyword)}, kEnglish);
  MemorySource in(bytes.data() + layout.header.header_length,
                  bytes.size() - layout.header.header_length);
  std::vector<ColumnProfile> profiles;
  SurveyRecords(&in, layout.header.record_count, layout,
                FixSurveyRequest(plan, layout, 1252, false, latest_day),
                &profiles);
  FixPlanInput input;
  input.plan = &plan;
  input.layout = &layout;
  input.profiles = &profiles;
  input.date_order = option;
  input.forms = {form};
  FixPlan decided;
  Decided result;
  result.ok = DecideFixes(input, &decided);
  if (result.ok) result.fix = decided.fixes[0];
  result.said = result.ok ? (decided.notes.empty() ? "" : decided.notes[0])
                          : decided.conflict;
  return result;
}

// Dates a day apart from the first, written with two-digit parts joined by
// "-", year first or day first as \a order says.
std::vector<std::string> DaysFrom(int year, int month, int day, int count,
                                  DateOrder order) {
  std::vector<std::string> dates;
  for (int i = 0; i < count; ++i) {
    const int first = order == kYearMonthDay ? year % 100 : day;
    const int last = order == kYearMonthDay ? day : year % 100;
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d", first, month, last);
    dates.push_back(text);
    if (++day > DaysInMonth(year, month)) {
      day = 1;
      if (++month > 12) month = 1, ++year;
    }
  }
  return dates;
}

TEST(DecideFixes, DatesTakeTheOrderTheWholeColumnProves) {
  // Kept in order, 1 to 12 of each month: both orders read every date, but
  // only day first follows the records.
  std::vector<std::string> in_order;
  for (int month = 1; month <= 6; ++month)
    for (int day = 1; day <= 12; day += 3) {
      char text[16];
      std::snprintf(text, sizeof text, "%02d/%02d/2005", day, month);
      in_order.push_back(text);
    }
  std::vector<std::string> with_stray = in_order;
  with_stray.insert(with_stray.begin() + 10, "12/25/2005");  // a typo
  // Year first with two digits, a day apart.
  const std::vector<std::string> year_first =
      DaysFrom(2003, 11, 3, 30, kYearMonthDay);
  const std::vector<std::string> day_first_short =
      DaysFrom(2003, 11, 3, 30, kDayMonthYear);
  const struct {
    std::vector<std::string> dates;
    unsigned option;
    const char* form;
    unsigned order;       // 0: a conflict
    const char* message;  // the start of the conflict or the note
    // clang-format off
  } cases[] = {
      {{"03/04/2005", "25/12/2005"}, 0, "", kDayMonthYear, ""},
      {{"03/04/2005", "12/25/2005", "20050102"}, 0, "", kMonthDayYear, ""},
      {{"2005/06/14", "14-JUN-05", ""}, 0, "", 0, ""},  // no open order
      {{"97/12/24", "98/01/02", "98/01/05"}, 0, "", kYearMonthDay, ""},
      {{"971224", "980102", "980105"}, 0, "", kYearMonthDay, ""},
      {year_first, 0, "", kYearMonthDay, "COL: dates read as ymd: the one order"},
      {day_first_short, 0, "", kDayMonthYear, ""},
      {in_order, 0, "", kDayMonthYear, "COL: dates read as dmy"},
      {with_stray, 0, "", 0,
       "COL: its dates read as dmy, except these (12/25/2005): give "
       "--date-order dmy|mdy|ymd or --read-as COL=dmy|mdy|ymd; nothing was "
       "written"},
      {with_stray, kDayMonthYear, "", kDayMonthYear,
       "COL: dates read as dmy (--date-order)"},
      {{"03/04/2005", "05/06/2005", "03/04/2005"}, 0, "", 0,
       "COL: its dates do not tell the day, month and year apart (03/04/2005, "
       "05/06/2005)"},
      {{"25/12/2005", "12/25/2005"}, 0, "", 0,
       "COL: its dates are written in more than one order (25/12/2005, "
       "12/25/2005)"},
      // An explicit choice wins, even over what the values prove.
      {{"03/04/2005", "25/12/2005"}, kMonthDayYear, "", kMonthDayYear, ""},
      {{"03/04/2005", "25/12/2005"}, kMonthDayYear, "dmy", kDayMonthYear,
       "COL: dates read as dmy (--read-as)"},
  };
  // clang-format on
  for (const auto& c : cases) {
    Decided d = Decide("QSO_DATE", 'C', c.dates, c.form, c.option);
    SCOPED_TRACE(c.dates[0] + " ... " + d.said);
    EXPECT_EQ(0u, d.said.find(c.message));
    ASSERT_EQ(c.order != 0 || *c.message == '\0', d.ok);
    if (d.ok) {
      EXPECT_EQ(c.order, d.fix.date_order);
    }
  }
  // Dates past the table's last update are no contacts: day first would
  // put these in 2025.
  CalendarDate update{2004, 1, 1};
  Decided d = Decide("QSO_DATE", 'C', {"03-11-25", "03-10-02", "03-12-11"}, "",
                     0, DayNumber(update));
  EXPECT_TRUE(d.ok) << d.said;
  EXPECT_EQ(kYearMonthDay, d.fix.date_order);
}

TEST(DecideFixes, EveryOtherDecisionOfAColumn) {
  const struct {
    const char* keyword;
    char type;
    std::vector<std::string> values;
    const char* form;
    const char* decided;  // what the fix says, "" for a conflict
    const char* message;  // the start of the note or the conflict
    // clang-format off
  } cases[] = {
      // Frequencies: the unit that explains every value and puts it on the
      // bands in use.
      {"FREQ", 'C', {"7.085", "14.195", "21.3"}, "", "MHz", ""},
      {"FREQ", 'C', {"145525", "433250", "1296550"}, "", "kHz",
       "COL: frequencies in kHz"},
      {"FREQ", 'C', {"7085", "14195", "10120"}, "", "kHz", ""},
      {"FREQ", 'C', {"14074000", "7074000"}, "", "Hz", ""},
      {"FREQ", 'C', {"7.085", "7085", "10120"}, "", "mixed",
       "COL: frequencies in more than one unit"},
      {"FREQ", 'C', {"145525", "433250"}, "mhz", "MHz", ""},
      // Times of a numeric column that lost their leading zeros.
      {"TIME_ON", 'N', {"2210", "101530", "91500"}, "", "HHMMSS",
       "COL: times HHMMSS"},
      {"TIME_ON", 'N', {"2210", "1015", "915"}, "", "HHMM", ""},
      // One time with seconds is enough: 2210 beside it is 00:22:10.
      {"TIME_ON", 'N', {"2210", "2235", "1015", "130500"}, "", "HHMMSS",
       "COL: times HHMMSS"},
      {"TIME_ON", 'N', {"2210", "1015"}, "hhmmss", "HHMMSS", ""},
      // Bands: metres or MHz.
      {"BAND", 'C', {"3.5", "7", "10", "14", "18"}, "", "MHz",
       "COL: bands named by their MHz (3.5, 7): 10 is 30m"},
      {"BAND", 'C', {"6", "2", "70"}, "", "metres",
       "COL: bands in metres (6): 2 is 2m"},
      {"BAND", 'C', {"40M", "20", "80"}, "", "metres", ""},
      {"BAND", 'C', {"10", "2"}, "", "",
       "COL: its bands do not tell metres from MHz (10, 2)"},
      {"BAND", 'C', {"40", "3.5"}, "", "",
       "COL: its bands are written in metres and in MHz (40, 3.5)"},
      {"BAND", 'C', {"10", "2"}, "metres", "metres", ""},
      // Thousands separators, like the decimal comma, per column.
      {"TX_PWR", 'C', {"100", "1.500", "2,5"}, "", ".", ""},
      {"TX_PWR", 'C', {"100", "1,500", "2.5"}, "", ",", ""},
      {"TX_PWR", 'C', {"100", "1.500"}, "", "",
       "COL: its numbers do not tell thousands from decimals (1.500)"},
      {"TX_PWR", 'C', {"100", "1.500"}, "decimal-point", ",", ""},
      {"TX_PWR", 'C', {"1,5", "2.5"}, "", "",
       "COL: its numbers use both the point and the comma"},
  };
  // clang-format on
  for (const auto& c : cases) {
    Decided d = Decide(c.keyword, c.type, c.values, c.form);
    SCOPED_TRACE(std::string(c.keyword) + " " + c.values[0] + ": " + d.said);
    EXPECT_EQ(0u, d.said.find(c.message));
    ASSERT_EQ(*c.decided != '\0', d.ok);
    if (!d.ok) continue;
    std::string decided;
    switch (d.fix.rule) {
      case FixRule::kFrequency:
        decided = d.fix.frequency_unit ? FrequencyUnitName(d.fix.frequency_unit)
                                       : "mixed";
        break;
      case FixRule::kTime:
        decided =
            d.fix.time_digits == TimeDigits::kNumericHhmmss ? "HHMMSS" : "HHMM";
        break;
      case FixRule::kBand:
        decided = d.fix.band_notation == BandNotation::kMetres      ? "metres"
                  : d.fix.band_notation == BandNotation::kMegahertz ? "MHz"
                                                                    : "either";
        break;
      default:
        decided = std::string(1, d.fix.thousands ? d.fix.thousands : '-');
    }
    EXPECT_EQ(c.decided, decided);
  }
}

// Converts \a rows of a table with \a columns (name and keyword) through a
// fixer; returns the record lines.
std::string ConvertFixed(
    const std::vector<std::pair<std::string, std::string>>& columns,
    const std::vector<std::vector<std::string>>& rows,
    std::vector<ConstantField> constants, bool mend,
    std::vector<std::string>* summary, ConvertStats* stats,
    int code_page = 1252) {
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
    FixPlanInput input;
    input.plan = &plan;
    input.layout = &layout;
    input.code_page = code_page;
    FixPlan decided;
    EXPECT_TRUE(DecideFixes(input, &decided));
    fixes = decided.fixes;
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

  // Examples are shown in their letters: a mode of a table in code page
  // 866 (the Russian for CW), as UTF-8 where Windows-1252 lacks them.
  ConvertFixed({{"IND", "CALL"}, {"VID", "MODE"}}, {{"UA3ABC", "\x92\x8B\x83"}},
               {}, true, &summary, &stats, 866);
  EXPECT_EQ(
      (std::vector<std::string>{
          "VID: 1 value -> ADIF modes, e.g. \xD0\xA2\xD0\x9B\xD0\x93 -> CW"}),
      summary);
}

// A log mended as its survey decides, converted with the fields of the
// columns of few values kept whole by the fixer, or without (through an
// encoder that keeps every byte as it is).
struct Mended {
  std::string lines;
  std::vector<std::string> summary;
  ConvertStats stats;
};
Mended ConvertMended(const BuilderTable& table,
                     const std::vector<std::string>& keywords,
                     const std::vector<std::string>& forms, bool kept) {
  std::string bytes = BuildTable(table);
  DbfLayout layout;
  ReadDbfLayout(reinterpret_cast<const unsigned char*>(bytes.data()),
                bytes.size(), &layout);
  std::vector<std::string> entries, names;
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const BuilderColumn& column = table.columns[c];
    entries.push_back(ComposeFieldListEntry(column.name, column.type,
                                            column.length, 0, keywords[c]));
    names.push_back(column.name);
  }
  ColumnPlan plan = PlanColumns(entries, kEnglish);
  const std::size_t start = layout.header.header_length;
  MemorySource survey(bytes.data() + start, bytes.size() - start);
  std::vector<ColumnProfile> profiles;
  SurveyRecords(&survey, layout.header.record_count, layout,
                FixSurveyRequest(plan, layout, 1252, false), &profiles);
  FixPlanInput input;
  input.plan = &plan;
  input.layout = &layout;
  input.profiles = &profiles;
  input.forms = forms;
  FixPlan decided;
  EXPECT_TRUE(DecideFixes(input, &decided)) << decided.conflict;
  RecordFixer fixer(plan, decided.fixes, {});
  MemorySource in(bytes.data() + start, bytes.size() - start);
  StringSink out;
  const ValueEncoder unchanged(1252, Charset::kKeep);
  ConvertOptions options;
  options.fixer = &fixer;
  if (!kept) options.encoder = &unchanged;
  Mended mended;
  mended.stats =
      ConvertRecords(&in, &out, layout.header.record_count, plan, options);
  mended.lines = out.text;
  mended.summary = fixer.Summary(names, kEnglish);
  return mended;
}

TEST(RecordFixer, FieldsKeptWholeAreTheFieldsMended) {
  // Spellings of every rule, blanks in front, NUL bytes, values not read;
  // frequencies settled by the band of their record, some new ones, and a
  // column too wide to be kept; a record without a call sign, and one
  // whose call is blanks before a NUL (written, but not mended).
  const std::vector<std::string> calls = {"EA4ABC",
                                          "ea4abc",
                                          "EA4 ABC",
                                          "DL1M\xDC"
                                          "E",
                                          "",
                                          std::string("   \0X", 5),
                                          "F6XYZ",
                                          "W1AW/P"};
  const std::vector<std::string> dates = {
      "14/06/2005", "2005-06-14", "14-JUN-05",
      "",           "xx",         " 3/4/2005",
      "20050614",   "31/02/2005", std::string("14/06/2005\0", 11)};
  const std::vector<std::string> times = {"12:34",  "1:05",  "1234",   "",
                                          "12.34z", "25:00", " 12:34", "9"};
  const std::vector<std::string> frequencies = {"14.195",
                                                "7085",
                                                "7,085",
                                                "3.5 MHz",
                                                "  14.195",
                                                "abc",
                                                "",
                                                "7",
                                                "14195",
                                                "28495,5",
                                                std::string("14.195\0z", 8)};
  const std::vector<std::string> bands = {"20m", "40M", "",   "40",    "x",
                                          "14",  "80",  "20", "14.195"};
  const std::vector<std::string> modes = {"USB", "usb", "CW",  "FT4", "xyz",
                                          "",    " CW", "LSB", "\xC9"};
  const std::vector<std::string> flags = {"Y", "SI", "NO", "", "?", "s", " N"};
  const std::vector<std::string> reports = {"59", "5 9", "599", "", " 57", "x"};
  const std::vector<std::string> numbers = {"100",     "1,5", " 25",       "",
                                            "1.500,5", "x",   "12.345.678"};
  BuilderTable table;
  table.columns = {
      {"IND", 'C', 10, 0},     {"FECHA", 'C', 11, 0}, {"HORA", 'C', 8, 0},
      {"FREC", 'C', 12, 0},    {"BANDA", 'C', 6, 0},  {"MODO", 'C', 6, 0},
      {"QSL", 'C', 3, 0},      {"RST", 'C', 4, 0},    {"POT", 'C', 10, 0},
      {"FREC_RX", 'C', 18, 0}, {"NOTA", 'C', 12, 0}};
  const std::vector<std::string> keywords = {
      "CALL",     "QSO_DATE", "TIME_ON", "FREQ",    "BAND",   "MODE",
      "QSL_SENT", "RST_SENT", "TX_PWR",  "FREQ_RX", "COMMENT"};
  const int kDistinct = 700;
  std::vector<std::vector<std::string>> rows;
  for (int r = 0; r < kDistinct; ++r) {
    auto pick = [r](const std::vector<std::string>& values, int stride) {
      return values[(r * stride + r / 7) % values.size()];
    };
    // More frequencies than the fixer keeps, so that some are forgotten.
    const std::string frequency =
        r % 3 == 0 ? std::to_string(14000 + r) : pick(frequencies, 1);
    rows.push_back({pick(calls, 1), pick(dates, 1), pick(times, 3), frequency,
                    pick(bands, 2), pick(modes, 5), pick(flags, 1),
                    pick(reports, 1), pick(numbers, 3),
                    "   " + pick(frequencies, 1), "note"});
  }
  // Every row twice: read first, then remembered.
  table.rows = rows;
  table.rows.insert(table.rows.end(), rows.begin(), rows.end());
  for (const std::vector<std::string>& forms :
       {std::vector<std::string>{"", "dmy", "", "", "metres", "", "", "",
                                 "decimal-comma"},
        std::vector<std::string>{"", "mdy", "", "khz", "mhz", "", "", "",
                                 "decimal-point", "khz"}}) {
    const Mended kept = ConvertMended(table, keywords, forms, true);
    const Mended plain = ConvertMended(table, keywords, forms, false);
    EXPECT_EQ(plain.lines, kept.lines);
    EXPECT_EQ(plain.summary, kept.summary);
    EXPECT_EQ(plain.stats.records_written, kept.stats.records_written);
    // The second time round gives the lines of the first.
    const std::size_t half = kept.lines.size() / 2;
    EXPECT_EQ(kept.lines.substr(0, half), kept.lines.substr(half));
    EXPECT_NE(std::string::npos, kept.lines.find("<SUBMODE:3>USB"));
  }
}

}  // namespace
