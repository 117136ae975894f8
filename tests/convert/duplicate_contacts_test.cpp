// Tests of the duplicate finder: which contacts count as the same, and the
// key read from a record line.

#include "convert/duplicate_contacts.h"

#include <gtest/gtest.h>

namespace {

// A record line with the five fields, as the conversion writes it.
std::string Line(const std::string& call, const std::string& time,
                 const std::string& band = "40M",
                 const std::string& date = "20050102") {
  std::string line;
  for (const auto& [key, value] :
       {std::pair<std::string, std::string>{"CALL", call},
        {"QSO_DATE", date}, {"TIME_ON", time}, {"BAND", band},
        {"MODE", "SSB"}})
    if (!value.empty())
      line += "<" + key + ":" + std::to_string(value.size()) + ">" + value + " ";
  return line + "<EOR>\r\n";
}

TEST(DuplicateFinderTest, SameContactsAreFoundAndOthersKept) {
  const struct {
    const char* name;
    std::string first, second;
    bool duplicate;
  } cases[] = {
      {"the same line", Line("EA4ABC", "0915"), Line("EA4ABC", "0915"), true},
      {"call in another case", Line("EA4ABC", "0915"), Line("ea4abc", "0915"), true},
      {"two minutes later", Line("EA4ABC", "0915"), Line("EA4ABC", "0917"), true},
      {"two minutes earlier, seconds", Line("EA4ABC", "091700"),
       Line("EA4ABC", "0915"), true},
      {"a second too many", Line("EA4ABC", "091500"), Line("EA4ABC", "091701"), false},
      {"another call", Line("EA4ABC", "0915"), Line("EA4ABD", "0915"), false},
      {"band as written", Line("EA4ABC", "0915", "40M"),
       Line("EA4ABC", "0915", "40m"), false},
      {"another day", Line("EA4ABC", "0915"),
       Line("EA4ABC", "0915", "40M", "20050103"), false},
      {"no band", Line("EA4ABC", "0915", ""), Line("EA4ABC", "0915", ""), false},
      {"no time", Line("EA4ABC", ""), Line("EA4ABC", ""), false},
      {"a time as written, equal", Line("EA4ABC", "9.15"), Line("EA4ABC", "9.15"), true},
      {"a time as written, apart", Line("EA4ABC", "915"), Line("EA4ABC", "916"), false},
  };
  for (const auto& c : cases) {
    DuplicateFinder finder;
    ContactOrigin earlier;
    EXPECT_FALSE(finder.Check(ContactOfLine(c.first), {0, 7}, &earlier)) << c.name;
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
  EXPECT_FALSE(finder.Check(ContactOfLine(Line("EA4ABC", "1200")), {0, 1}, &earlier));
  EXPECT_FALSE(finder.Check(ContactOfLine(Line("EA4ABC", "1210")), {0, 2}, &earlier));
  // 1202 repeats 1200 and is not kept, so 1204 is a contact of its own.
  EXPECT_TRUE(finder.Check(ContactOfLine(Line("EA4ABC", "1202")), {1, 1}, &earlier));
  EXPECT_EQ(1u, earlier.record);
  EXPECT_FALSE(finder.Check(ContactOfLine(Line("EA4ABC", "1204")), {1, 2}, &earlier));
  EXPECT_TRUE(finder.Check(ContactOfLine(Line("EA4ABC", "1211")), {1, 3}, &earlier));
  EXPECT_EQ(2u, earlier.record);
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
  EXPECT_FALSE(ContactOfLine("<EOR>\r\n").Complete());
  EXPECT_FALSE(ContactOfLine("<CALL:60>EA4ABC <EOR>\r\n").Complete());
}

}  // namespace
