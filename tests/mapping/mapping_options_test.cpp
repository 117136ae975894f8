// Tests of the command line's mapping options.

#include "mapping/mapping_options.h"

#include <gtest/gtest.h>

#include "mapping/column_guess.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"

namespace {

MappingChoices Choices(bool by_keyword_names, std::vector<MapItem> items) {
  MappingChoices choices;
  choices.by_keyword_names = by_keyword_names;
  choices.items = std::move(items);
  return choices;
}

TEST(ParseMapOption, SplitsPairsAndRejectsMalformedOnes) {
  std::vector<MapItem> items;
  std::string error;
  ASSERT_TRUE(
      ParseMapOption("call=CALL, #2 = qso_date", kEnglish, &items, &error));
  ASSERT_EQ(2u, items.size());
  EXPECT_EQ("call", items[0].column);
  EXPECT_EQ("CALL", items[0].keyword);
  EXPECT_EQ("#2", items[1].column);
  EXPECT_EQ("qso_date", items[1].keyword);
  for (const char* bad : {"", "CALL", "=CALL", "CALL=", "A=B,,C=D", "A=B,"}) {
    std::vector<MapItem> ignored;
    EXPECT_FALSE(ParseMapOption(bad, kEnglish, &ignored, &error)) << bad;
    EXPECT_NE(std::string::npos, error.find("COLUMN=KEYWORD")) << bad;
  }
}

TEST(NormaliseKeyword, UpperCasesAndKnowsBothSkipWords) {
  const struct {
    const char* keyword;
    Language language;
    const char* normalised;  // nullptr: refused
    // clang-format off
  } cases[] = {
      {"call", kEnglish, "CALL"},
      {"Qso_Date", kSpanish, "QSO_DATE"},
      {"MY_SIG_INFO2", kEnglish, "MY_SIG_INFO2"},
      {"skip", kEnglish, "Skip"},
      {"OMITIR", kEnglish, "Skip"},
      {"Skip", kSpanish, "Omitir"},
      {"omitir", kSpanish, "Omitir"},
      {"", kEnglish, nullptr},
      {"QSO DATE", kEnglish, nullptr},
      {"CALL<", kEnglish, nullptr},
      {"N\xC3\x91", kEnglish, nullptr},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::string result;
    bool ok = NormaliseKeyword(c.keyword, c.language, &result);
    EXPECT_EQ(c.normalised != nullptr, ok) << c.keyword;
    if (c.normalised) {
      EXPECT_EQ(c.normalised, result) << c.keyword;
    }
  }
}

DbfLayout Layout() {
  DbfLayout layout;
  layout.columns = {{"CALL", 'C', 10, 0},
                    {"Fecha", 'D', 8, 0},
                    {"QTH", 'C', 20, 0},
                    {"NOTAS", 'M', 10, 0}};
  return layout;
}

std::vector<std::string> Keywords(const std::vector<std::string>& entries) {
  std::vector<std::string> keywords;
  for (const std::string& entry : entries)
    keywords.push_back(ReadFieldListEntry(entry).keyword);
  return keywords;
}

TEST(BuildEntries, AutoThenExplicitMappingsInOrder) {
  std::vector<std::string> entries;
  std::string error;
  ASSERT_TRUE(
      BuildEntries(Layout(), kEnglish, Choices(false, {}), &entries, &error));
  EXPECT_EQ((std::vector<std::string>{"Skip", "Skip", "Skip", "Skip"}),
            Keywords(entries));
  EXPECT_EQ(ColumnEntry(Layout().columns[0], "Skip"), entries[0]);

  ASSERT_TRUE(
      BuildEntries(Layout(), kSpanish, Choices(true, {}), &entries, &error));
  EXPECT_EQ((std::vector<std::string>{"CALL", "Omitir", "QTH", "Omitir"}),
            Keywords(entries));

  std::vector<MapItem> items = {{"fecha", "qso_date"},
                                {"#4", "comment"},
                                {"qth", "skip"},
                                {"#4", "notes"}};
  ASSERT_TRUE(
      BuildEntries(Layout(), kEnglish, Choices(true, items), &entries, &error));
  EXPECT_EQ((std::vector<std::string>{"CALL", "QSO_DATE", "Skip", "NOTES"}),
            Keywords(entries));
  // The window program's entry for the same choice, byte for byte.
  EXPECT_EQ(ReassignEntry(ColumnEntry(Layout().columns[1], "Skip"), "QSO_DATE"),
            entries[1]);
}

TEST(BuildEntries, UnknownColumnsAndBadKeywordsAreErrors) {
  const struct {
    MapItem item;
    const char* error;
    // clang-format off
  } cases[] = {
      {{"BANDA", "BAND"}, "unknown column 'BANDA'"},
      {{"#0", "BAND"}, "unknown column '#0'"},
      {{"#5", "BAND"}, "unknown column '#5'"},
      {{"#x", "BAND"}, "unknown column '#x'"},
      {{"QTH", "Q-TH"}, "malformed keyword 'Q-TH'"},
      {{"QTH", "EOR"}, "EOR marks the end of a record or of the header"},
      {{"QTH", "eoh"}, "EOH marks the end of a record or of the header"},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::vector<std::string> entries;
    std::string error;
    EXPECT_FALSE(BuildEntries(Layout(), kEnglish, Choices(false, {c.item}),
                              &entries, &error));
    EXPECT_EQ(0u, error.find(c.error)) << error;
  }
}

TEST(BuildEntries, KeywordsThatAreNoAdifFieldAreKeptAndSaid) {
  std::vector<std::string> entries, warnings;
  std::string error;
  ASSERT_TRUE(BuildEntries(Layout(), kEnglish,
                           Choices(false, {{"QTH", "bnad", "m.map:3"},
                                           {"#4", "APP_MY_NOTE"},
                                           {"fecha", "QSO_DATE"}}),
                           &entries, &error, &warnings));
  EXPECT_EQ("BNAD", Keywords(entries)[2]);
  ASSERT_EQ(1u, warnings.size());
  EXPECT_EQ("m.map:3: BNAD is not an ADIF field; did you mean BAND?",
            warnings[0]);
}

TEST(ColumnPlan, KnowsWhichKeywordsAreMapped) {
  std::vector<std::string> entries;
  std::string error;
  BuildEntries(Layout(), kEnglish, Choices(false, {}), &entries, &error);
  EXPECT_FALSE(PlanColumns(entries, kEnglish).Maps("CALL"));
  BuildEntries(Layout(), kEnglish, Choices(true, {}), &entries, &error);
  ColumnPlan plan = PlanColumns(entries, kEnglish);
  EXPECT_TRUE(plan.Maps("CALL"));
  EXPECT_FALSE(plan.Maps("QSO_DATE"));
  EXPECT_TRUE(plan.columns[1].skipped);
  EXPECT_FALSE(plan.columns[0].skipped);
}

TEST(MappingFileText, ReadsBackToTheAutomaticMapping) {
  DbfLayout layout = Layout();
  layout.columns.push_back({"MY NAME", 'C', 5, 0});  // written as its number
  std::string text = MappingFileText(layout, "log\n.dbf", kEnglish);
  EXPECT_EQ(0u, text.find("# LogWeave mapping for log?.dbf\n"));
  EXPECT_NE(std::string::npos,
            text.find("\n# #5=" + std::string(15, ' ') + "(C, 5)\n"));
  // Filled in, every line maps; as it stands, it maps what --auto maps.
  std::vector<MapItem> items;
  std::string error;
  ASSERT_TRUE(ParseMapFile(text, "m.map", kEnglish, &items, &error)) << error;
  std::vector<std::string> from_file, automatic;
  ASSERT_TRUE(BuildEntries(layout, kEnglish, Choices(false, items), &from_file,
                           &error));
  ASSERT_TRUE(
      BuildEntries(layout, kEnglish, Choices(true, {}), &automatic, &error));
  EXPECT_EQ(automatic, from_file);
  // The same file saved by an editor that puts a byte-order mark first.
  std::vector<MapItem> with_mark;
  ASSERT_TRUE(ParseMapFile("\xEF\xBB\xBF" + text, "m.map", kEnglish, &with_mark,
                           &error));
  ASSERT_EQ(items.size(), with_mark.size());
  items.clear();
  ASSERT_TRUE(
      ParseMapFile(text + "#5=name\n", "m.map", kEnglish, &items, &error));
  ASSERT_TRUE(BuildEntries(layout, kEnglish, Choices(false, items), &from_file,
                           &error));
  EXPECT_EQ("NAME", ReadFieldListEntry(from_file[4]).keyword);
}

TEST(ParseMapFile, ConstantsAndCommentsBesideTheKeyword) {
  std::vector<MapItem> items;
  std::string error;
  ASSERT_TRUE(ParseMapFile("INDICATIVO=CALL        # name\n"
                           "=STATION_CALLSIGN=EA4XYZ  # mine\n"
                           "= MY_GRIDSQUARE = IN80#2 # a locator\n"
                           "#3=TIME_ON\t# content: times\n",
                           "m.map", kEnglish, &items, &error))
      << error;
  ASSERT_EQ(4u, items.size());
  EXPECT_EQ("CALL", items[0].keyword);
  EXPECT_FALSE(items[0].constant);
  EXPECT_TRUE(items[1].constant);
  EXPECT_EQ("STATION_CALLSIGN", items[1].keyword);
  EXPECT_EQ("EA4XYZ", items[1].column);
  EXPECT_EQ("IN80#2", items[2].column);  // "#" only after a blank
  EXPECT_EQ("TIME_ON", items[3].keyword);
  EXPECT_FALSE(
      ParseMapFile("CALL=CALL\n=EA4XYZ\n", "m.map", kEnglish, &items, &error));
  EXPECT_EQ("m.map:2: malformed constant 'EA4XYZ': expected FIELD=VALUE",
            error);
  // Constants are no columns.
  std::vector<std::string> entries;
  EXPECT_TRUE(BuildEntries(Layout(), kEnglish,
                           Choices(false, {items[1], {"qth", "QTH"}}), &entries,
                           &error));

  const struct {
    MapItem item;
    const char* keyword;  // nullptr: refused with the error
    const char* error;
    // clang-format off
  } constants[] = {
      {{"EA4XYZ", "station_callsign", "", true}, "STATION_CALLSIGN", ""},
      {{"IN80", "MY GRID", "m.map:4", true}, nullptr,
       "m.map:4: malformed field name 'MY GRID'"},
      {{"1", "Skip", "", true}, nullptr, "--set: malformed field name 'Skip'"},
      {{"", "TX_PWR", "", true}, nullptr,
       "--set: TX_PWR: the value must be printable ASCII text, not empty"},
      {{"Jos\xE9", "MY_NAME", "", true}, nullptr,
       "--set: MY_NAME: the value must be printable ASCII"},
  };
  // clang-format on
  for (const auto& c : constants) {
    std::string keyword;
    bool ok = ReadConstant(c.item, kEnglish, &keyword, &error);
    EXPECT_EQ(c.keyword != nullptr, ok) << c.item.keyword;
    if (ok) {
      EXPECT_EQ(c.keyword, keyword);
    } else {
      EXPECT_EQ(0u, error.find(c.error)) << error;
    }
  }
}

TEST(MappingFileText, GuessesReadBackWithTheirReasons) {
  DbfLayout layout = Layout();
  layout.columns.push_back({"qth", 'C', 20, 0});  // the name of column 3
  std::vector<ColumnGuess> guesses = {{"STATION_CALLSIGN", "one call"},
                                      {"QSO_DATE", "name"},
                                      {"", "name says QTH, but QTH looks ..."},
                                      {"", "a memo column"},
                                      {"QTH", "content"}};
  std::string text = MappingFileText(layout, "log.dbf", kEnglish, &guesses);
  EXPECT_NE(std::string::npos,
            text.find("\nCALL=STATION_CALLSIGN         # one call\n"));
  EXPECT_NE(std::string::npos, text.find("\n# #3=" + std::string(15, ' ') +
                                         "(C, 20)  # name says QTH"));
  EXPECT_NE(std::string::npos, text.find("\n#5=QTH                        #"));
  std::vector<MapItem> items;
  std::string error;
  ASSERT_TRUE(ParseMapFile(text, "m.map", kEnglish, &items, &error)) << error;
  std::vector<std::string> entries;
  ASSERT_TRUE(
      BuildEntries(layout, kEnglish, Choices(false, items), &entries, &error));
  EXPECT_EQ((std::vector<std::string>{"STATION_CALLSIGN", "QSO_DATE", "Skip",
                                      "Skip", "QTH"}),
            Keywords(entries));
}

}  // namespace
