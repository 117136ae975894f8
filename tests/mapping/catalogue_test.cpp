// Tests of the ADIF field catalogue.

#include "mapping/catalogue.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Catalogue, IgnoreRowCarriesTheSkipWordAndANoBreakSpace) {
  EXPECT_STREQ("Skip \xA0 Ignore the field", CatalogueEntry(0, kEnglish));
  EXPECT_STREQ("Omitir \xA0 Ignorar el campo", CatalogueEntry(0, kSpanish));
  EXPECT_EQ("Skip", CatalogueKeyword(CatalogueEntry(0, kEnglish)));
  EXPECT_EQ("Omitir", CatalogueKeyword(CatalogueEntry(0, kSpanish)));
}

TEST(Catalogue, WholeEntriesAsShown) {
  const struct {
    int row;
    Language language;
    const char* text;
    // clang-format off
  } cases[] = {
      {2, kEnglish, "AGE N Age"},
      {3, kSpanish, "ARRL_SECT C"},
      {5, kEnglish, "CALL C Callsing"},
      {13, kSpanish, "GRIDSQUARE C 4, 6, 8 o m\xE1s caracteres"},
      {16, kEnglish, "MODE C SSB, CW, RTTY, TOR=AMTOR, PKT, AM, FM, SSTV,etc..."},
      {25, kSpanish, "QSL_RCVD C Y=S\xED, N=No, R=Reclamada, I=Inv\xE1lida"},
      {26, kEnglish, "QSL_SENT C Y=Yes, N=No, R=Calimed, I=Invalid"},
      {39, kSpanish, "TIME_OFF C HHMM o HHMMSS En UTC"},
      {42, kSpanish, "VE_PROV C 2 letras provincias Canad\xE1"},
  };
  // clang-format on
  for (const auto& c : cases)
    EXPECT_STREQ(c.text, CatalogueEntry(c.row, c.language)) << c.row;
  EXPECT_EQ(57u, std::strlen(CatalogueEntry(16, kSpanish)));
}

TEST(Catalogue, RowsShareKeywordsAndTypesAndAreInByteOrder) {
  std::string previous;
  std::size_t longest = 0;
  for (int row = 1; row < kCatalogueRows; ++row) {
    std::string es = CatalogueEntry(row, kSpanish);
    std::string en = CatalogueEntry(row, kEnglish);
    std::string keyword = CatalogueKeyword(en);
    EXPECT_EQ(keyword, CatalogueKeyword(es));
    EXPECT_EQ(es.substr(0, keyword.size() + 2),
              en.substr(0, keyword.size() + 2));
    EXPECT_GE(keyword.size(), 3u);
    EXPECT_LE(keyword.size(), 10u);
    EXPECT_EQ(std::string::npos,
              keyword.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_"));
    EXPECT_LT(previous, keyword);
    EXPECT_NE(std::string::npos,
              std::string("CNDM").find(en[keyword.size() + 1]));
    for (const std::string& text : {es, en}) {
      EXPECT_EQ(std::string::npos, text.find("  ")) << text;
      EXPECT_NE(' ', text.back()) << text;
      longest = std::max(longest, text.size());
    }
    previous = keyword;
  }
  EXPECT_EQ(57u, longest);
}

TEST(Catalogue, KeywordsTakeTheFirstToken) {
  EXPECT_EQ("MODE", CatalogueKeyword(CatalogueEntry(16, kEnglish)));
  EXPECT_EQ("QTH", CatalogueKeyword("QTH C"));
  EXPECT_EQ("QTH", CatalogueKeyword(" \t QTH\nC"));
  EXPECT_EQ("", CatalogueKeyword("   "));
}

TEST(Catalogue, FillListsAll43RowsWithNothingSelected) {
  for (Language language : {kSpanish, kEnglish}) {
    VectorTextList list({"stale"});
    list.Select(0);
    FillCatalogueList(&list, language);
    ASSERT_EQ(43, list.Count());
    EXPECT_EQ(TextList::kNoSelection, list.Selected());
    for (int row = 0; row < 43; ++row)
      EXPECT_EQ(CatalogueEntry(row, language), list.Get(row));
  }
}

}  // namespace
