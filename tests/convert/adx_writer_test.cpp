// Tests of the ADX writer on record lines as the engine writes them. The
// documents it writes are read back by an XML parser in the interop tests.

#include "convert/adx_writer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "mapping/field_list.h"

namespace {

ColumnPlan PlanOf(const std::vector<std::string>& keywords) {
  std::vector<std::string> entries;
  for (const std::string& keyword : keywords)
    entries.push_back(ComposeFieldListEntry("F", 'C', 10, 0, keyword));
  return PlanColumns(entries, kEnglish);
}

constexpr char kEnd[] = "</RECORDS>\r\n</ADX>\r\n";

TEST(AdxWriter, RecordLinesBecomeRecords) {
  const struct {
    std::vector<std::string> keywords;
    std::string line;
    std::string record;  // between <RECORD> and </RECORD>
    std::uint64_t kept, spelled;
    bool ascii_only = false;
    // clang-format off
  } cases[] = {
      {{"CALL", "NAME"}, "<CALL:3>EA4 <NAME:4>Jos\xE9 <EOR>\r\n",
       "<CALL>EA4</CALL><NAME>Jose</NAME><NAME_INTL>Jos\xC3\xA9</NAME_INTL>",
       1, 0},
      {{"CALL", "NAME"}, "<CALL:3>EA4 <NAME:4>Jos\xE9 <EOR>\r\n",
       "<CALL>EA4</CALL><NAME>Jose</NAME>", 0, 1, true},
      {{"CALL", "COMMENT"}, "<CALL:3>EA4 <COMMENT:8>a&<b>\r\nc <EOR>\r\n",
       "<CALL>EA4</CALL><COMMENT>a&amp;&lt;b&gt;&#13;\nc</COMMENT>", 0, 0},
      // No companion: the ASCII spelling alone.
      {{"CALL"}, "<CALL:4>EA4\xC7 <EOR>\r\n", "<CALL>EA4C</CALL>", 0, 1},
      // An Intl field keeps the original; a mapped companion is not doubled.
      {{"NAME", "NAME_INTL", "CALL"},
       "<CALL:3>EA4 <NAME_INTL:1>\xE9 <NAME:1>\xE9 <EOR>\r\n",
       "<CALL>EA4</CALL><NAME_INTL>\xC3\xA9</NAME_INTL><NAME>e</NAME>", 0, 1},
      {{"CALL", "MYFIELD", "APP_LOGWEAVE_QSO_ID"},
       "<CALL:3>EA4 <MYFIELD:1>x <APP_LOGWEAVE_QSO_ID:1>7 <EOR>\r\n",
       "<CALL>EA4</CALL><USERDEF FIELDNAME=\"MYFIELD\">x</USERDEF>"
       "<APP PROGRAMID=\"LOGWEAVE\" FIELDNAME=\"QSO_ID\">7</APP>",
       0, 0},
      // A control character no XML document can hold.
      {{"CALL"}, "<CALL:4>EA\x01" "4 <EOR>\r\n", "<CALL>EA?4</CALL>", 0, 1},
      {{"CALL"}, "<EOR>\r\n", "", 0, 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    // Whole, then a byte at a time: the same document.
    std::string whole;
    for (std::size_t piece : {c.line.size(), std::size_t{1}}) {
      StringSink sink;
      AdxWriter adx(&sink, PlanOf(c.keywords), 1252, c.ascii_only);
      ASSERT_TRUE(adx.WriteHeader(kEnglish));
      const std::size_t header = sink.text.size();
      for (std::size_t at = 0; at < c.line.size(); at += piece)
        ASSERT_TRUE(
            adx.Write(c.line.data() + at, std::min(piece, c.line.size() - at)));
      ASSERT_TRUE(adx.Finish());
      EXPECT_EQ("<RECORD>" + c.record + "</RECORD>\r\n" + kEnd,
                sink.text.substr(header))
          << c.line;
      EXPECT_EQ(c.kept, adx.values_kept_in_intl()) << c.line;
      EXPECT_EQ(c.spelled, adx.values_spelled()) << c.line;
      if (whole.empty()) whole = sink.text;
      EXPECT_EQ(whole, sink.text);
    }
  }
}

TEST(AdxWriter, HeaderDeclaresUserFieldsAndAnUnfinishedRecordFails) {
  StringSink sink;
  AdxWriter adx(&sink, PlanOf({"CALL", "MYFIELD"}), 1252, false);
  ASSERT_TRUE(adx.WriteHeader(kSpanish));
  EXPECT_EQ(0u, sink.text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                               "<ADX>\r\n<HEADER>\r\n<!-- ADIF Formato"));
  EXPECT_NE(std::string::npos,
            sink.text.find("Generado por LOGWEAVER 2.1\r\nLogWeave: dBase "
                           "contact logs converted to ADIF -->\r\n"
                           "<ADIF_VER>3.1.6</ADIF_VER>\r\n"
                           "<PROGRAMID>LogWeave</PROGRAMID>\r\n<USERDEF "
                           "FIELDID=\"1\" TYPE=\"M\">MYFIELD</USERDEF>\r\n"
                           "</HEADER>\r\n<RECORDS>\r\n"));
  ASSERT_TRUE(adx.Write("<CALL:3>EA", 10));
  EXPECT_FALSE(adx.Finish());

  struct FullSink : ByteSink {
    bool Write(const char*, std::size_t) override { return false; }
  } full;
  AdxWriter refused(&full, PlanOf({"CALL"}), 1252, false);
  EXPECT_FALSE(refused.WriteHeader(kEnglish));
}

}  // namespace
