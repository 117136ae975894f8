// Tests of names as the user types them: column names across character
// sets, and keywords against the ADIF standard.

#include "mapping/names.h"

#include <gtest/gtest.h>

namespace {

TEST(ColumnNameMatches, AsCharactersInAnyCase) {
  const struct {
    const char* table_name;
    int code_page;
    const char* typed;
    bool matches;
    // clang-format off
  } cases[] = {
      {"CALL", 1252, "call", true},
      {"CALL", 1252, "CALLS", false},
      // A\xD1O in Windows-1252, typed in UTF-8, in either case.
      {"A\xD1O", 1252, "A\xC3\x91O", true},
      {"A\xD1O", 1252, "a\xC3\xB1o", true},
      {"A\xD1O", 1252, "a\xF1o", true},  // typed in the table's own code page
      {"A\xD1O", 1252, "ANO", false},
      // The same name in DOS code page 850, where \xD1 is another letter.
      {"A\xA5O", 850, "A\xC3\x91O", true},
      {"A\xD1O", 850, "A\xC3\x91O", false},
      {"FECHA", 437, "Fecha", true},
      {"NUM\xC9RO", 1252, "num\xC3\xA9ro", true},
      {"X", 1252, "\xC3", false},  // not UTF-8
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_EQ(c.matches, ColumnNameMatches(c.table_name, c.typed, c.code_page))
        << c.table_name << " / " << c.typed;
}

TEST(Keywords, MarkersKnownNamesAndSuggestions) {
  for (const char* marker : {"EOR", "eor", "Eoh"})
    EXPECT_TRUE(IsAdifMarker(marker)) << marker;
  EXPECT_FALSE(IsAdifMarker("EORX"));
  for (const char* known : {"BAND", "CALL", "MY_GRIDSQUARE", "APP_N1MM_X",
                            "QSLMSG", "SUBMODE", "TEN_TEN", "CNTY"})
    EXPECT_TRUE(IsKnownKeyword(known)) << known;
  const struct {
    const char* keyword;
    const char* english;
    const char* spanish;
    // clang-format off
  } cases[] = {
      {"BNAD", "BNAD is not an ADIF field; did you mean BAND?",
       "BNAD no es un campo ADIF; \xBFquer\xED""a decir BAND?"},
      {"QSO_DAT", "QSO_DAT is not an ADIF field; did you mean QSO_DATE?",
       "QSO_DAT no es un campo ADIF; \xBFquer\xED""a decir QSO_DATE?"},
      {"MY_QTHX", "MY_QTHX is not an ADIF field; it is written as given",
       "MY_QTHX no es un campo ADIF; se escribe tal cual"},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_FALSE(IsKnownKeyword(c.keyword));
    EXPECT_EQ(c.english, UnknownKeywordText(c.keyword, kEnglish));
    EXPECT_EQ(c.spanish, UnknownKeywordText(c.keyword, kSpanish));
  }
}

}  // namespace
