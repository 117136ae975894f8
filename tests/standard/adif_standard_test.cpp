// Tests of the look-ups in the standard's tables, against values read off
// the ADIF 3.1.6 standard.

#include "standard/adif_standard.h"
#include "standard/bands.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

TEST(AdifStandard, FieldsByNameInAnyCase) {
  const struct {
    const char* name;
    AdifType type;
    const char* minimum;
    const char* maximum;
    // clang-format off
  } cases[] = {
      {"cqz", AdifType::kPositiveInteger, "1", "40"},
      {"ITUZ", AdifType::kPositiveInteger, "1", "90"},
      {"K_Index", AdifType::kInteger, "0", "9"},
      {"FREQ", AdifType::kNumber, nullptr, nullptr},
      {"QSO_DATE", AdifType::kDate, nullptr, nullptr},
      {"GRIDSQUARE", AdifType::kGridSquare, nullptr, nullptr},
      {"NAME_INTL", AdifType::kIntlString, nullptr, nullptr},
  };
  // clang-format on
  for (const auto& c : cases) {
    const AdifFieldDefinition* field = FindAdifField(c.name);
    ASSERT_NE(nullptr, field) << c.name;
    EXPECT_EQ(c.type, field->type) << c.name;
    EXPECT_STREQ(c.minimum ? c.minimum : "",
                 field->minimum ? field->minimum : "")
        << c.name;
    EXPECT_STREQ(c.maximum ? c.maximum : "",
                 field->maximum ? field->maximum : "")
        << c.name;
  }
  EXPECT_EQ(nullptr, FindAdifField("BNAD"));
  EXPECT_TRUE(FindAdifField("VE_PROV")->import_only);
  EXPECT_STREQ("3.1.6", kAdifVersion);
}

TEST(AdifStandard, EnumerationValues) {
  EXPECT_NE(nullptr, FindAdifEnumerationValue("Submode", "ft4", "MFSK"));
  EXPECT_EQ(nullptr, FindAdifEnumerationValue("Submode", "FT4", "PSK"));
  EXPECT_NE(nullptr, FindAdifEnumerationValue("Mode", "FSK"));  // new in 3.1.6
  EXPECT_TRUE(FindAdifEnumerationValue("Mode", "PSK31")->import_only);
  EXPECT_NE(nullptr, FindAdifEnumerationValue("DXCC_Entity_Code", "281"));
  EXPECT_EQ(nullptr, FindAdifEnumerationValue("DXCC_Entity_Code", "999"));
  EXPECT_NE(nullptr, FindAdifEnumerationValue("Continent", "EU"));
  EXPECT_NE(nullptr, FindAdifEnumerationValue(
                         "Primary_Administrative_Subdivision", "QC", "1"));
}

TEST(AdifStandard, BandsByNameAndFrequencyInWholeHertz) {
  const struct {
    std::uint64_t hz;
    const char* band;  // "" for none
    // clang-format off
  } cases[] = {
      {1830000, "160m"},    {7085000, "40m"},       {14074000, "20m"},
      {145500000, "2m"},    {432100000, "70cm"},    {135700, "2190m"},
      // The edges belong to their band; a hertz beyond them does not.
      {7000000, "40m"},     {7300000, "40m"},       {6999999, ""},
      {7300001, ""},        {54000000, "6m"},       {54000001, "5m"},
      {12000000, ""},       {kHighestHertz, ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    const AdifBand* band = BandOfHertz(c.hz);
    EXPECT_STREQ(c.band, band ? band->name : "") << c.hz;
    if (band) {
      EXPECT_EQ(band, FindAdifBand(c.band));
    }
  }
  EXPECT_NE(nullptr, FindAdifBand("40M"));
}

// The letters the standard's Data Types table gives: B N D T S I M G E L.
TEST(AdifStandard, TypeIndicators) {
  const struct {
    const char* letter;
    AdifType type;
    // clang-format off
  } cases[] = {
      {"B", AdifType::kBoolean},   {"n", AdifType::kNumber},
      {"D", AdifType::kDate},      {"T", AdifType::kTime},
      {"S", AdifType::kString},    {"I", AdifType::kIntlString},
      {"M", AdifType::kMultilineString},
      {"G", AdifType::kIntlMultilineString},
      {"E", AdifType::kEnumeration}, {"L", AdifType::kLocation},
  };
  // clang-format on
  for (const auto& c : cases) {
    AdifType type = AdifType::kAwardList;
    EXPECT_TRUE(FindAdifTypeIndicator(c.letter, &type)) << c.letter;
    EXPECT_EQ(c.type, type) << c.letter;
    EXPECT_EQ(AsciiUpper(c.letter[0]), AdifTypeIndicatorOf(c.type));
  }
  AdifType type;
  for (const char* other : {"C", "X", "", "SS", "1"})
    EXPECT_FALSE(FindAdifTypeIndicator(other, &type)) << other;
  EXPECT_EQ(0, AdifTypeIndicatorOf(AdifType::kPositiveInteger));
  EXPECT_EQ(0, AdifTypeIndicatorOf(AdifType::kGridSquare));
}

}  // namespace
