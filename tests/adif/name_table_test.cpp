// Tests of the table of names: a name is found in any letter case, and only
// so; names of every size, short and long, against a plain search.

#include "adif/name_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/text.h"

namespace {

TEST(NameTable, ANameIsFoundInAnyLetterCaseAndOnlySo) {
  const struct {
    const char* name;
    const char* same;   // the same name in another letter case
    const char* other;  // another name, of the same size
    // clang-format off
  } cases[] = {
      {"A", "a", "B"},
      {"QTH", "qTh", "QTI"},
      {"CALL", "call", "CALK"},
      {"TX_PWR", "tx_pwr", "TX_PWS"},
      {"TIME_ON", "Time_On", "TIME_OM"},
      {"QSO_DATE", "qso_date", "QSO_DATF"},
      {"GRIDSQUARE", "gridSquare", "GRIDSQUARF"},
      {"MY_GRIDSQUARE_EX", "my_gridsquare_ex", "MY_GRIDSQUARE_EY"},
      {"MY_GRIDSQUARE_EXT", "My_GridSquare_Ext", "MY_GRIDSQUARE_EXU"},
      {"APP_LOTW_QSO_TIMESTAMP", "app_lotw_qso_timestamp",
       "APP_LOTW_QSO_TIMESTAMQ"},
      // Bytes that differ by 0x20 but are no letters are no letter case.
      {"A@B", "a@b", "A`B"},
      {"A[B", "A[b", "A{B"},
      {"A_B", "a_B", "A\x7F" "B"},
      {"N\xC0ME", "n\xC0me", "N\xE0ME"},
      {"NAME_OF_SEVENTEEN@", "name_of_seventeen@", "NAME_OF_SEVENTEEN`"},
  };
  // clang-format on
  NameTable table(64);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NameTable::kNotFound, table.Find(c.name));
    const std::size_t number = table.Add(c.name);
    EXPECT_EQ(number, table.Find(c.name));
    EXPECT_EQ(number, table.Find(c.same));
    EXPECT_EQ(NameTable::kNotFound, table.Find(c.other));
    EXPECT_EQ(NameTable::kNotFound, table.Find(std::string(c.name) + "X"));
    EXPECT_EQ(NameTable::kNotFound, table.Find(std::string(c.name).substr(1)));
  }
  EXPECT_FALSE(table.full());
  table.Clear();
  EXPECT_EQ(0u, table.size());
  EXPECT_EQ(NameTable::kNotFound, table.Find("CALL"));
  EXPECT_EQ(0u, table.Add("call"));
}

// Names of one to forty bytes that differ in one byte or in letter case,
// looked up in a full table: the number found is the one a plain search
// for the name in any letter case finds.
TEST(NameTable, FindsWhatAPlainSearchFinds) {
  std::mt19937 random(7);
  const std::string letters = "ABCXYZ_09@`[{az";
  auto name_of = [&](std::size_t size) {
    std::string name;
    for (std::size_t i = 0; i < size; ++i)
      name += letters[random() % letters.size()];
    return name;
  };
  constexpr std::size_t kMost = 300;
  NameTable table(kMost);
  std::vector<std::string> added;
  for (int round = 0; round < 20000; ++round) {
    std::string name = added.empty() || random() % 3 == 0
                           ? name_of(1 + random() % 40)
                           : added[random() % added.size()];
    if (random() % 2) {
      // Another letter case, or another byte.
      std::string& change = name;
      std::size_t at = random() % change.size();
      change[at] = random() % 4
                       ? (IsAsciiUpper(change[at]) ? AsciiLower(change[at])
                                                   : AsciiUpper(change[at]))
                       : letters[random() % letters.size()];
    }
    std::size_t expected = NameTable::kNotFound;
    for (std::size_t i = 0; i < added.size(); ++i)
      if (EqualIgnoringCase(added[i], name)) expected = i;
    ASSERT_EQ(expected, table.Find(name)) << name;
    if (expected != NameTable::kNotFound) continue;
    if (table.full()) {
      table.Clear();
      added.clear();
    }
    EXPECT_EQ(added.size(), table.Add(name));
    added.push_back(name);
  }
}

}  // namespace
