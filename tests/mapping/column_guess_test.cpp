// Tests of --guess: column names in six languages, and columns recognised,
// overruled and left by what their values hold.

#include "mapping/column_guess.h"

#include <gtest/gtest.h>

#include <set>

#include "dbf_builder.h"
#include "standard/adif_standard.h"

namespace {

TEST(KeywordOfName, NamesOfOldLoggers) {
  const struct {
    const char* name;
    int code_page;
    const char* keyword;
    // clang-format off
  } cases[] = {
      {"INDICATIVO", 1252, "CALL"},
      {"indicatif", 1252, "CALL"},
      {"NOMINATIVO", 1252, "CALL"},
      {"RUFZEICHEN", 1252, "CALL"},
      {"FECHA", 1252, "QSO_DATE"},
      {"DATUM", 1252, "QSO_DATE"},
      {"Qso Date", 1252, "QSO_DATE"},
      {"HORA", 1252, "TIME_ON"},
      {"UTC", 1252, "TIME_ON"},
      {"QSOTIME", 1252, "TIME_ON"},
      {"RST_S", 1252, "RST_SENT"},
      {"RSTS", 1252, "RST_SENT"},
      {"RST_TX", 1252, "RST_SENT"},
      {"QSL_S", 1252, "QSL_SENT"},
      {"FREQ_KHZ", 1252, "FREQ"},
      {"FRECUENCIA", 1252, "FREQ"},
      {"MODO", 1252, "MODE"},
      {"GRIDSQUARE", 1252, "GRIDSQUARE"},
      {"DIRECCI\xD3N", 1252, "ADDRESS"},  // Windows-1252
      {"DIRECCI\xE0N", 850, "ADDRESS"},   // the same name in DOS 850
      {"OBSERVACIO", 1252, "COMMENT"},    // cut at ten characters
      {"QSLRECIBID", 1252, "QSL_RCVD"},
      {"OBSERVAC", 1252, ""},  // short, and no name of the table
      {"CAMPO1", 1252, ""},
      {"DOK", 1252, "DARC_DOK"},
      {"PROV", 1252, "STATE"},
      {"ZNAK", 1252, "CALL"},
      {"PASMO", 1252, "BAND"},
      {"CZAS", 1252, "TIME_ON"},
      {"\x8F\x8E\x87\x9B\x82\x8D\x8E\x89", 866, "CALL"},  // ПОЗЫВНОЙ
      {"\xC4\xC0\xD2\xC0", 1251, "QSO_DATE"},                // ДАТА
      {"\x82\x90\x85\x8C\x9F", 866, "TIME_ON"},             // ВРЕМЯ
      {"\x84\x88\x80\x8F\x80\x87\x8E\x8D", 866, "BAND"},  // ДИАПАЗОН
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(c.keyword, KeywordOfName(c.name, c.code_page)) << c.name;
}

TEST(KeywordOfName, TheTableNamesAdifFieldsOnce) {
  std::set<std::string> names;
  for (int i = 0; i < kColumnNameCount; ++i) {
    const ColumnName& row = kColumnNames[i];
    const AdifFieldDefinition* field = FindAdifField(row.keyword);
    ASSERT_NE(nullptr, field) << row.keyword;
    EXPECT_FALSE(field->header || field->import_only) << row.keyword;
    EXPECT_TRUE(names.insert(NormalisedName(row.name, 1252)).second)
        << row.name << " twice";
    // No row stands for another field than an ADIF name it spells.
    if (const AdifFieldDefinition* same = FindAdifField(row.name)) {
      EXPECT_STREQ(same->name, row.keyword) << row.name;
    }
  }
}

struct Col {
  const char* name;
  char type;
  std::vector<std::string> values;
};

struct Expected {
  const char* keyword;  // "" for a column left unmapped
  const char* reason;   // a part of the reason
};

std::vector<ColumnGuess> Guess(const std::vector<Col>& columns,
                               GuessContext context = GuessContext()) {
  BuilderTable table;
  std::size_t rows = 0;
  for (const Col& c : columns) {
    table.columns.push_back({c.name, c.type, c.type == 'L' ? 1 : 12, 0});
    rows = std::max(rows, c.values.size());
  }
  table.rows.assign(rows, std::vector<std::string>(columns.size()));
  for (std::size_t c = 0; c < columns.size(); ++c)
    for (std::size_t r = 0; r < columns[c].values.size(); ++r)
      table.rows[r][c] = columns[c].values[r];
  std::string bytes = BuildTable(table);
  DbfLayout layout;
  ReadDbfLayout(reinterpret_cast<const unsigned char*>(bytes.data()),
                bytes.size(), &layout);
  MemorySource in(bytes.data() + layout.header.header_length,
                  bytes.size() - layout.header.header_length);
  std::vector<ColumnProfile> profiles;
  SurveyRecords(&in, layout.header.record_count, layout,
                GuessSurveyRequest(layout, context.code_page, false),
                &profiles);
  return GuessColumns(layout, profiles, context);
}

const std::vector<std::string> kCalls = {"EA4ABC", "F6XYZ", "DL1MUE",
                                         "G3ABC",  "W1AW",  "JA1XYZ"};
const std::vector<std::string> kDates = {"14/06/2005", "2/7/2005",
                                         "25/12/2005", "3/1/2006",
                                         "22/01/2006", "30/11/2006"};
const std::vector<std::string> kTimes = {"09:15", "9:42",  "14:05",
                                         "14:31", "18:20", "23:05"};
const std::vector<std::string> kOneCall(6, "EA4XYZ");

TEST(GuessColumns, NamesAndValuesTogether) {
  const struct {
    const char* what;
    std::vector<Col> columns;
    std::vector<Expected> expected;
    // clang-format off
  } cases[] = {
      {"names agreed with",
       {{"INDICATIVO", 'C', kCalls},
        {"HORA", 'C', kTimes},
        {"POT", 'N', {"100", "5", "100", "50", "100", "100"}}},
       {{"CALL", "name"}, {"TIME_ON", "name"}, {"TX_PWR", "name"}}},
      {"values alone",
       {{"F1", 'C', kDates},
        {"F2", 'C', {"IN80dk", "JN58", "IO91", "IM58", "KP20", "FN31"}},
        {"F3", 'C', {"CW", "SSB", "FT8", "RTTY", "CW", "SSB"}},
        {"F4", 'C', {"59", "599", "57", "579", "59", "55"}},
        {"F5", 'C', {"Madrid", "Lyon", "Wien", "Praha", "Oslo", "Roma"}}},
       {{"QSO_DATE", "content: 6 of 6 values are dates d/m/y"},
        {"GRIDSQUARE", "content: 6 of 6 values are locators"},
        {"MODE", "content: 6 of 6 values are modes"},
        {"", "signal reports, but not whether sent or received"},
        {"", ""}}},
      {"values overrule names",
       {{"DATE", 'C', kTimes},
        {"MODE", 'C', {"100", "400", "100", "100", "400", "100"}},
        {"CQ", 'N', {"14", "99", "14", "14", "14", "14"}}},
       {{"TIME_ON", "name says QSO_DATE, but 6 of 6 values are times"},
        {"",
         "name says MODE, but only 0 of 6 values are modes (e.g. 100, "
         "400)"},
        {"", "name says CQZ, but only 0 of 6 values are numbers"}}},
      {"one call sign on every record is the station's",
       {{"CALL", 'C', kOneCall},
        {"OPERADOR", 'C', kOneCall},
        {"F1", 'C', kOneCall},
        {"INDICATIV", 'C', kCalls}},
       {{"STATION_CALLSIGN",
         "name says CALL, but every value is one call "
         "sign, EA4XYZ: the station's own"},
        {"OPERATOR", "name"},
        {"",
         "content: every value is one call sign, EA4XYZ: the station's "
         "own, but STATION_CALLSIGN goes to CALL"},
        {"CALL", "name"}}},
      {"own station or worked one, by how much the values vary",
       {{"STATION", 'C', kCalls},
        {"MYCALL", 'C', {"EB4XYZ", "EB4XYZ", "EA4XYZ", "EA4XYZ", "EA4XYZ/P",
                         "EA4XYZ"}},
        {"LOC", 'C', {"IN80dk", "IN80dk", "IN80dk", "IN80dk", "IN80dk",
                      "IN80dk"}}},
       {{"CALL",
         "name says STATION_CALLSIGN, but its values change from record to "
         "record"},
        {"STATION_CALLSIGN", "name"},
        {"MY_GRIDSQUARE",
         "name says GRIDSQUARE, but every value is one locator, IN80dk: the "
         "station's own"}}},
      {"a varied column beside the worked one, and a sked log",
       {{"ESTACION", 'C', kCalls}, {"INDICATIVO", 'C', kCalls},
        {"LOC", 'C', {"IN80dk", "IO91", "JN58", "IN80dk", "KP20", "FN31"}},
        {"MYLOC", 'C', {"IN80dk", "IN80dk", "IN80dk", "IN80dk", "IN80dk",
                        "IN80dk"}}},
       {{"", "as the stations worked do; CALL goes to INDICATIVO"},
        {"CALL", "name"},
        {"GRIDSQUARE", "name"},
        {"MY_GRIDSQUARE", "name"}}},
      {"a few squares while the calls vary: a local net, not the station",
       {{"INDICATIVO", 'C', kCalls},
        {"LOC", 'C', {"JN11ab", "JN12cd", "JN11ab", "JN13ef", "JN12cd",
                      "JN11ab"}}},
       {{"CALL", "name"}, {"GRIDSQUARE", "name"}}},
      {"two columns of calls: the more varied one is CALL",
       {{"CALLSIGN", 'C', {"EA4ABC", "F6XYZ", "EA4ABC", "F6XYZ", "DL1MUE",
                           "G3ABC", "W1AW", "F6XYZ"}},
        {"INDICATIVO", 'C', {"EA4ABC", "F6XYZ", "DL1MUE", "G3ABC", "W1AW",
                             "JA1XYZ", "VK2ABC", "PY2XYZ"}}},
       {{"", "CALL goes to INDICATIVO, whose values vary more"},
        {"CALL", "name"}}},
      {"a sked log: one partner on every record",
       {{"INDICATIVO", 'C', kOneCall}, {"F1", 'C', kDates}},
       {{"CALL", "name"}, {"QSO_DATE", "content"}}},
      {"never two columns on one keyword",
       {{"FECHA", 'C', kDates},
        {"F_QSL",
         'D',
         {"20050620", "20050710", "20060115", "20060201", "20060301",
          "20061201"}},
        {"DATE", 'C', kTimes},
        {"TIME", 'C', kTimes}},
       {{"QSO_DATE", "name"},
        {"", "content: 6 of 6 values are dates, but QSO_DATE goes to FECHA"},
        {"",
         "name says QSO_DATE, but 6 of 6 values are times; TIME_ON goes "
         "to TIME"},
        {"TIME_ON", "name"}}},
      {"two names alike leave both",
       {{"FECHA", 'C', kDates}, {"DATUM", 'C', kDates}},
       {{"", "name says QSO_DATE, but DATUM looks like QSO_DATE as much"},
        {"", "name says QSO_DATE, but FECHA looks like QSO_DATE as much"}}},
      {"call signs on a few records, a memo",
       {{"INDICATIVO", 'C', kCalls},
        {"F1",
         'C',
         {"EA4URE", "", "", "DL0DX", "", "", "", "", "", "EA7AAA", "", "",
          "F5ABC", "", "", "", "W1XYZ", ""}},
        {"NOTAS", 'M', {}}},
       {{"CALL", "name"},
        {"",
         "content: 5 of 5 values are call signs, but many records have "
         "none"},
        {"",
         "name says COMMENT, but it is a memo column: its text is "
         "converted only with --memo"}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::vector<ColumnGuess> guesses = Guess(c.columns);
    ASSERT_EQ(c.expected.size(), guesses.size()) << c.what;
    for (std::size_t i = 0; i < guesses.size(); ++i) {
      EXPECT_EQ(c.expected[i].keyword, guesses[i].keyword)
          << c.what << ": " << c.columns[i].name << ": " << guesses[i].reason;
      EXPECT_NE(std::string::npos, guesses[i].reason.find(c.expected[i].reason))
          << c.what << ": " << c.columns[i].name << ": " << guesses[i].reason;
    }
  }
  // Values in a reason are shown in the letters of the table's code page:
  // 0xA5 is an N with a tilde in code page 850.
  GuessContext in_850;
  in_850.code_page = 850;
  const std::vector<ColumnGuess> guesses =
      Guess({{"FECHA", 'C', std::vector<std::string>(6, "\xA5O")}}, in_850);
  EXPECT_NE(std::string::npos, guesses[0].reason.find("(e.g. \xD1O)"))
      << guesses[0].reason;
}

TEST(GuessColumns, ChoicesMadeAreKept) {
  GuessContext context;
  context.decided = {true, false, false};
  context.taken = {"CALL"};
  context.memos_read = true;
  std::vector<ColumnGuess> guesses = Guess(
      {{"CALL", 'C', kCalls}, {"INDICATIVO", 'C', kCalls}, {"NOTAS", 'M', {}}},
      context);
  EXPECT_EQ("", guesses[0].reason);  // decided: nothing to say
  EXPECT_EQ("", guesses[1].keyword);
  EXPECT_EQ("name says CALL, but CALL is mapped already", guesses[1].reason);
  EXPECT_EQ("NOTES", guesses[2].keyword);  // a memo holds lines
  context.language = kSpanish;
  EXPECT_EQ("INDICATIVO sin asignar: el nombre dice CALL, pero CALL ya "
            "est\xE1 asignado",
            GuessLine("INDICATIVO",
                      Guess({{"CALL", 'C', kCalls},
                             {"INDICATIVO", 'C', kCalls},
                             {"NOTAS", 'M', {}}},
                            context)[1],
                      kSpanish));
}

}  // namespace
