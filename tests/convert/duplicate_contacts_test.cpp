// Tests of the duplicate finder: which contacts count as the same, and the
// key read from a record line.

#include "convert/duplicate_contacts.h"

#include <gtest/gtest.h>

namespace {

// A record line with the five fields, as the conversion writes it.
std::string Line(const std::string& call, const std::string& time,
                 const std::string& band = "40M",
                 const std::string& date = "20050102",
                 const std::string& mode = "SSB") {
  std::string line;
  for (const auto& [key, value] :
       {std::pair<std::string, std::string>{"CALL", call},
        {"QSO_DATE", date},
        {"TIME_ON", time},
        {"BAND", band},
        {"MODE", mode}})
    if (!value.empty())
      line +=
          "<" + key + ":" + std::to_string(value.size()) + ">" + value + " ";
  return line + "<EOR>\r\n";
}

TEST(DuplicateFinderTest, SameContactsAreFoundAndOthersKept) {
  const struct {
    const char* name;
    std::string first, second;
    bool duplicate;
    // clang-format off
  } cases[] = {
      {"the same line", Line("EA4ABC", "0915"), Line("EA4ABC", "0915"), true},
      {"call in another case", Line("EA4ABC", "0915"), Line("ea4abc", "0915"), true},
      {"two minutes later", Line("EA4ABC", "0915"), Line("EA4ABC", "0917"), true},
      {"two minutes earlier, seconds", Line("EA4ABC", "091700"),
       Line("EA4ABC", "0915"), true},
      {"a second too many", Line("EA4ABC", "091500"), Line("EA4ABC", "091701"), false},
      {"another call", Line("EA4ABC", "0915"), Line("EA4ABD", "0915"), false},
      {"band in another case", Line("EA4ABC", "0915", "40M"),
       Line("EA4ABC", "0915", "40m"), true},
      {"mode in another case", Line("EA4ABC", "0915"),
       Line("EA4ABC", "0915", "40M", "20050102", "ssb"), true},
      {"blanks in call, band and mode", Line("EA4ABC", "0915"),
       Line(" EA4 ABC", "0915", " 40 M", "20050102", "S SB"), true},
      {"another band", Line("EA4ABC", "0915", "40M"),
       Line("EA4ABC", "0915", "20M"), false},
      {"another mode", Line("EA4ABC", "0915"),
       Line("EA4ABC", "0915", "40M", "20050102", "CW"), false},
      {"another day", Line("EA4ABC", "0915"),
       Line("EA4ABC", "0915", "40M", "20050103"), false},
      {"across midnight", Line("EA4ABC", "2359"),
       Line("EA4ABC", "0001", "40M", "20050103"), true},
      {"across the new year", Line("EA4ABC", "2359", "40M", "20051231"),
       Line("EA4ABC", "000030", "40M", "20060101"), true},
      {"across midnight, a day too many", Line("EA4ABC", "2359"),
       Line("EA4ABC", "0001", "40M", "20050104"), false},
      {"a date as written, equal", Line("EA4ABC", "0915", "40M", "2/1/05"),
       Line("ea4abc", "0915", "40m", "2/1/05"), true},
      {"a date as written, a minute apart",
       Line("EA4ABC", "0915", "40M", "2/1/05"),
       Line("EA4ABC", "0916", "40M", "2/1/05"), false},
      {"a date before 1930, as written",
       Line("EA4ABC", "0915", "40M", "19291231"),
       Line("EA4ABC", "0916", "40M", "19291231"), false},
      {"an hour of 24, as written", Line("EA4ABC", "2400"),
       Line("EA4ABC", "2400"), true},
      {"no band", Line("EA4ABC", "0915", ""), Line("EA4ABC", "0915", ""), false},
      {"no time", Line("EA4ABC", ""), Line("EA4ABC", ""), false},
      {"a time as written, equal", Line("EA4ABC", "9.15"), Line("EA4ABC", "9.15"), true},
      {"a time as written, apart", Line("EA4ABC", "915"), Line("EA4ABC", "916"), false},
  };
  // clang-format on
  for (const auto& c : cases) {
    DuplicateFinder finder;
    ContactOrigin earlier;
    EXPECT_FALSE(finder.Check(ContactOfLine(c.first), {0, 7}, &earlier))
        << c.name;
    EXPECT_EQ(c.duplicate,
              finder.Check(ContactOfLine(c.second), {1, 3}, &earlier))
        << c.name;
    if (c.duplicate) {
      EXPECT_EQ(0u, earlier.table) << c.name;
      EXPECT_EQ(7u, earlier.record) << c.name;
    }
  }
}

TEST(DuplicateFinderTest, ContactsAreComparedWithTheOnesKept) {
  DuplicateFinder finder;
  ContactOrigin earlier;
  EXPECT_FALSE(
      finder.Check(ContactOfLine(Line("EA4ABC", "1200")), {0, 1}, &earlier));
  EXPECT_FALSE(
      finder.Check(ContactOfLine(Line("EA4ABC", "1210")), {0, 2}, &earlier));
  // 1202 repeats 1200 and is not kept, so 1204 is a contact of its own.
  EXPECT_TRUE(
      finder.Check(ContactOfLine(Line("EA4ABC", "1202")), {1, 1}, &earlier));
  EXPECT_EQ(1u, earlier.record);
  EXPECT_FALSE(
      finder.Check(ContactOfLine(Line("EA4ABC", "1204")), {1, 2}, &earlier));
  EXPECT_TRUE(
      finder.Check(ContactOfLine(Line("EA4ABC", "1211")), {1, 3}, &earlier));
  EXPECT_EQ(2u, earlier.record);
}

TEST(DuplicateFinderTest, OriginsAndManyContactsAreKeptApart) {
  // Thousands of contacts, each kept and each found again with its origin,
  // over tables that give no contact at all.
  DuplicateFinder finder;
  ContactOrigin earlier;
  const int kContacts = 5000;
  auto call = [](int i) { return "EA" + std::to_string(i); };
  for (int odd : {0, 1})
    for (int i = odd; i < kContacts; i += 2) {
      ContactOrigin origin{odd ? 2u : 0u,
                           static_cast<std::uint32_t>(i / 2 + 1)};
      ASSERT_FALSE(
          finder.Check(ContactOfLine(Line(call(i), "1200")), origin, &earlier));
    }
  for (int i = 0; i < kContacts; ++i) {
    ASSERT_TRUE(
        finder.Check(ContactOfLine(Line(call(i), "1201")), {3, 1}, &earlier))
        << i;
    EXPECT_EQ(i % 2 ? 2u : 0u, earlier.table) << i;
    EXPECT_EQ(static_cast<std::uint32_t>(i / 2 + 1), earlier.record) << i;
  }
}

TEST(DuplicateFinderTest, TheKeyIsReadByTheLengthsOfTheTags) {
  ContactKey key = ContactOfLine(
      "<CALL:6>EA4ABC <NAME:11><BAND:3>2M  <MODE:3>SSB <QSO_DATE:8>"
      "20050102 <BAND:3>40M <TIME_ON:4>0915 <CALL:5>F6XYZ <EOR>\r\n");
  EXPECT_EQ("EA4ABC", key.call);
  EXPECT_EQ("SSB", key.mode);
  EXPECT_EQ("40M", key.band);
  EXPECT_EQ("20050102", key.qso_date);
  EXPECT_EQ("0915", key.time_on);
  EXPECT_EQ("EA4ABC 20050102 0915 40M SSB", ContactText(key));
  EXPECT_FALSE(ContactOfLine("<EOR>\r\n").Complete());
  EXPECT_FALSE(ContactOfLine("<CALL:60>EA4ABC <EOR>\r\n").Complete());
}

}  // namespace
