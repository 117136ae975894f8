// Tests of field list entries, the text list and the keyword assignment.

#include "mapping/field_list.h"

#include <gtest/gtest.h>

#include "mapping/catalogue.h"
#include "mapping/column_plan.h"

namespace {

TEST(FieldListEntry, ComposesTheColumnsAtFixedPositions) {
  std::string entry = ComposeFieldListEntry("CALL", 'C', 10, 0, "Skip");
  EXPECT_EQ("CALL          C         10          0 Skip", entry);
  EXPECT_EQ(42u, entry.size());
  EXPECT_EQ('C', entry[14]);
  EXPECT_EQ("10", entry.substr(24, 2));
  EXPECT_EQ('0', entry[36]);
  EXPECT_EQ("Skip", entry.substr(kEntryKeywordPosition));
  EXPECT_EQ(44u, ComposeFieldListEntry("CALL", 'C', 10, 0, "Omitir").size());
  EXPECT_EQ(48u, ComposeFieldListEntry("A", 'C', 1, 0, "GRIDSQUARE").size());
  EXPECT_EQ("200", ComposeFieldListEntry("X", 'C', 200, 0, "K").substr(23, 3));
}

TEST(FieldListEntry, ReadsBackEverySizeAndNameLength) {
  for (const char* name : {"A", "QSO_DATE", "ABCDEFGHIJK"}) {
    for (int size = 0; size <= 255; ++size) {
      std::string entry =
          ComposeFieldListEntry(name, 'N', size, 255 - size, "QSL_RCVD");
      EntryColumn read = ReadFieldListEntry(entry);
      ASSERT_EQ(size, read.size) << name;
      ASSERT_EQ("QSL_RCVD", read.keyword) << name;
      ASSERT_EQ(kEntryKeywordPosition, entry.find("QSL_RCVD"));
    }
  }
}

TEST(FieldListEntry, ReadsLikeTheScanFormat) {
  const struct {
    const char* text;
    int size;
    const char* keyword;
    // clang-format off
  } cases[] = {
      {"", 0, ""},
      {"NAME C", 0, ""},
      {"NAME C 12", 12, ""},
      {"NAME C 12 0", 12, ""},
      {"NAME C 12 0 CALL", 12, "CALL"},
      {"NAME C 12 0 CALL extra words", 12, "CALL"},
      {"  NAME\tC\r\n12\v0\fCALL", 12, "CALL"},
      {"NAME C x12 0 CALL", 0, "CALL"},
      {"NAME C 12abc 0 CALL", 12, "CALL"},
      {"NAME C -5 0 CALL", -5, "CALL"},
      {"NAME C +7 0 CALL", 7, "CALL"},
      {"NAME C 99999999999 0 CALL", 2147483647, "CALL"},
      {"N\xA0M C 3 0 K\xA0Y", 3, "K\xA0Y"},  // 0xA0 is no blank
  };
  // clang-format on
  for (const auto& c : cases) {
    EntryColumn read = ReadFieldListEntry(c.text);
    EXPECT_EQ(c.size, read.size) << c.text;
    EXPECT_EQ(c.keyword, read.keyword) << c.text;
  }
}

TEST(FieldListEntry, PlaceholdersKeepOddDescriptorsReadable) {
  const struct {
    std::string name;
    unsigned char type;
    const char* shown;
    // clang-format off
  } cases[] = {
      {"", 'C', "?"},
      {"MY CALL", 'C', "MY_CALL"},
      {"A\tB\x01" "C", 'C', "A_B_C"},
      {"NAME", '\0', "NAME"},
      {"NAME", ' ', "NAME"},
      {"NAME", '\n', "NAME"},
  };
  // clang-format on
  for (const auto& c : cases) {
    DbfFieldDescriptor column{c.name, c.type, 17, 2};
    std::string entry = ColumnEntry(column, "Skip");
    EXPECT_EQ(c.shown, entry.substr(0, entry.find(' '))) << c.shown;
    EXPECT_NE(std::string::npos, std::string("CNDLM_").find(entry[14]));
    EntryColumn read = ReadFieldListEntry(entry);
    EXPECT_EQ(17, read.size) << c.shown;
    EXPECT_EQ("Skip", read.keyword) << c.shown;
  }
}

TEST(FieldListEntry, ReassignKeepsTheFirst38Characters) {
  std::string entry = ComposeFieldListEntry("CALL", 'C', 10, 0, "CALL");
  std::string renamed = ReassignEntry(entry, "NAME");
  EXPECT_EQ(entry.substr(0, 38), renamed.substr(0, 38));
  EXPECT_EQ("NAME", renamed.substr(38));
  EXPECT_EQ(std::string::npos, renamed.find("CALL", 38));
}

TEST(ColumnPlan, AnAssignedColumnReadsAsItsReassignedEntry) {
  // The plan of a column assigned in place is the plan of its entry
  // reassigned, for odd sizes and placeholders too.
  for (std::string entry : {ComposeFieldListEntry("NOMBRE", 'C', 12, 0, "Skip"),
                            ComposeFieldListEntry("X", 'N', 255, 3, "Skip"),
                            ComposeFieldListEntry("?", 'C', 0, 0, "Omitir")}) {
    for (Language language : {kEnglish, kSpanish}) {
      ColumnPlan assigned = PlanColumns({entry}, language);
      AssignColumn(&assigned, 0, "NAME");
      ColumnPlan read = PlanColumns({ReassignEntry(entry, "NAME")}, language);
      EXPECT_EQ(read.columns[0].size, assigned.columns[0].size) << entry;
      EXPECT_EQ(read.columns[0].keyword, assigned.columns[0].keyword) << entry;
      EXPECT_EQ(read.columns[0].skipped, assigned.columns[0].skipped) << entry;
    }
  }
}

TEST(VectorTextList, SelectionFollowsInsertAndDelete) {
  VectorTextList list({"a", "b", "c"});
  EXPECT_EQ(TextList::kNoSelection, list.Selected());
  list.Select(3);  // beyond the last entry: nothing changes
  EXPECT_EQ(TextList::kNoSelection, list.Selected());
  list.Select(1);
  list.Insert(1, "x");  // before the selected entry: it moves down
  EXPECT_EQ(2, list.Selected());
  EXPECT_EQ("b", list.Get(list.Selected()));
  list.Insert(4, "end");
  EXPECT_EQ("end", list.Get(4));
  list.Delete(0);
  EXPECT_EQ(1, list.Selected());
  list.Delete(1);  // the selected entry
  EXPECT_EQ(TextList::kNoSelection, list.Selected());
  list.Reset();
  EXPECT_EQ(0, list.Count());
}

class AssignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FillCatalogueList(&catalogue_, kEnglish);
    DbfLayout layout;
    for (const char* name : {"C0", "C1", "C2", "C3", "C4"})
      layout.columns.push_back({name, 'C', 10, 0});
    ListColumns(layout, kEnglish, &fields_);
  }
  void DoubleClick(const char* keyword) {
    catalogue_.Select(FindCatalogueRow(keyword, kEnglish));
    Assign(&fields_, catalogue_);
  }
  std::string KeywordOf(int index) {
    return ReadFieldListEntry(fields_.Get(index)).keyword;
  }
  VectorTextList fields_, catalogue_;
};

TEST_F(AssignTest, ConsecutiveDoubleClicksWalkDownTheColumns) {
  EXPECT_EQ(0, fields_.Selected());
  DoubleClick("CALL");
  DoubleClick("QSO_DATE");
  DoubleClick("NAME");
  EXPECT_EQ(3, fields_.Selected());
  DoubleClick("BAND");
  DoubleClick("MODE");
  EXPECT_EQ(TextList::kNoSelection, fields_.Selected());
  std::vector<std::string> before = fields_.texts();
  DoubleClick("QTH");  // nothing selected: nothing changes
  EXPECT_EQ(before, fields_.texts());
  const char* expected[] = {"CALL", "QSO_DATE", "NAME", "BAND", "MODE"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(expected[i], KeywordOf(i));
  EXPECT_EQ(5, fields_.Count());
}

TEST_F(AssignTest, AClickedColumnAloneChanges) {
  fields_.Select(3);
  DoubleClick("FREQ");
  EXPECT_EQ(4, fields_.Selected());
  for (int i = 0; i < 5; ++i) EXPECT_EQ(i == 3 ? "FREQ" : "Skip", KeywordOf(i));
  fields_.Select(3);
  catalogue_.Select(0);  // the ignore row gives the skip word back
  Assign(&fields_, catalogue_);
  EXPECT_EQ("Skip", KeywordOf(3));
  EXPECT_EQ(ComposeFieldListEntry("C3", 'C', 10, 0, "Skip"), fields_.Get(3));
}

TEST_F(AssignTest, NothingHappensWithoutBothSelections) {
  VectorTextList empty;
  catalogue_.Select(5);
  Assign(&empty, catalogue_);
  EXPECT_EQ(0, empty.Count());
  VectorTextList unselected_catalogue;
  FillCatalogueList(&unselected_catalogue, kEnglish);
  std::vector<std::string> before = fields_.texts();
  Assign(&fields_, unselected_catalogue);
  EXPECT_EQ(before, fields_.texts());
  EXPECT_EQ(0, fields_.Selected());
}

TEST(ListColumns, ReplacesEarlierEntriesAndSelectsTheFirst) {
  VectorTextList fields({"old entry"});
  DbfLayout layout;
  layout.columns.push_back({"CALL", 'C', 10, 0});
  ListColumns(layout, kSpanish, &fields);
  ASSERT_EQ(1, fields.Count());
  EXPECT_EQ("CALL          C         10          0 Omitir", fields.Get(0));
  EXPECT_EQ(0, fields.Selected());
  ListColumns(DbfLayout(), kSpanish, &fields);
  EXPECT_EQ(0, fields.Count());
  EXPECT_EQ(TextList::kNoSelection, fields.Selected());
}

}  // namespace
