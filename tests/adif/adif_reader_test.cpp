// Tests of the ADIF reader: files in the styles of other programs, malformed
// files, and reads that must stay inside the buffer and run in linear time.

#include "adif/adif_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// "NAME=data|NAME=data" per record, records separated by " / ".
std::string Fields(const AdifFile& file) {
  std::string text;
  for (const AdifRecord& record : file.records) {
    if (&record != &file.records.front()) text += " / ";
    for (std::size_t i = 0; i < record.fields.size(); ++i)
      text += (i ? "|" : "") + std::string(record.fields[i].name) + "=" +
              std::string(record.fields[i].data);
  }
  return text;
}

// "kind:FIELD" of every syntax problem, file problems first.
std::string Problems(const AdifFile& file) {
  static const char* const kNames[] = {"bad-tag", "bad-length", "missing-eor",
                                       "missing-eoh"};
  std::string text;
  auto add = [&text](const AdifSyntaxProblem& problem) {
    if (!text.empty()) text += " ";
    text += std::string(kNames[static_cast<int>(problem.kind)]) + ":" +
            problem.field;
  };
  for (const AdifSyntaxProblem& problem : file.file_problems) add(problem);
  for (const AdifRecord& record : file.records)
    for (const AdifSyntaxProblem& problem : record.problems) add(problem);
  return text;
}

struct ReadCase {
  const char* title;
  std::string input;
  std::string fields;
  bool has_header;
};

TEST(ReadAdif, FilesInTheStylesOfOtherPrograms) {
  const ReadCase cases[] = {
      {"no header", "<CALL:4>W1AW<MODE:2>CW<EOR>", "CALL=W1AW|MODE=CW", false},
      {"header text and <EOH>",
       "Log of EA4ABC\r\n<ADIF_VER:5>3.1.4\r\n<EOH>\r\n<CALL:4>W1AW <EOR>\r\n",
       "CALL=W1AW", true},
      {"lower-case tags", "x<eoh><call:4>W1AW<qso_date:8>20240229<eor>",
       "call=W1AW|qso_date=20240229", true},
      {"type indicators", "<QSO_DATE:8:D>20240229<FREQ:6:N>14.074<EOR>",
       "QSO_DATE=20240229|FREQ=14.074", false},
      {"LF only and text between fields",
       "hdr\n<EOH>\n<CALL:4>W1AW\n \t\n<EOR> a comment\n<CALL:2>K1<EOR>",
       "CALL=W1AW / CALL=K1", true},
      {"data spanning lines", "<NOTES:11>first\r\nnext <EOR>",
       "NOTES=first\r\nnext", false},
      {"values that hold a <", "<COMMENT:3>a<b<NAME:2><3<QTH:5><abc><EOR>",
       "COMMENT=a<b|NAME=<3|QTH=<abc>", false},
      {"zero length", "<CALL:4>W1AW<COMMENT:0><EOR>", "CALL=W1AW|COMMENT=",
       false},
      {"fields before an <EOH> are the header",
       "<ADIF_VER:5>3.1.4<PROGRAMID:3>abc<EOH><CALL:4>W1AW<EOR>", "CALL=W1AW",
       true},
      {"leading zeros in a length", "<CALL:004>W1AW<EOR>", "CALL=W1AW", false},
      {"DOS end of file mark", "<CALL:4>W1AW<EOR>\r\n\x1A", "CALL=W1AW",
       false},
      {"empty records count", "<EOR><EOR>", " / ", false},
  };
  for (const ReadCase& c : cases) {
    AdifFile file = ReadAdif(c.input);
    EXPECT_EQ(c.fields, Fields(file)) << c.title;
    EXPECT_EQ(c.has_header, file.has_header) << c.title;
    EXPECT_EQ("", Problems(file)) << c.title;
  }
}

TEST(ReadAdif, KeepsTheHeaderFieldsAndTheTypeIndicator) {
  AdifFile file = ReadAdif(
      "Made by hand\n<adif_ver:5>3.1.5 <programid:4>Test<eoh>"
      "<qso_date:8:d>20240229<eor>");
  ASSERT_EQ(2u, file.header_fields.size());
  EXPECT_EQ("adif_ver", file.header_fields[0].name);
  EXPECT_EQ("3.1.5", file.header_fields[0].data);
  EXPECT_EQ("Test", file.header_fields[1].data);
  ASSERT_EQ(1u, file.records.size());
  const AdifField& date = file.records[0].fields[0];
  EXPECT_EQ("d", date.type);
  EXPECT_EQ(8u, date.declared_length);
  EXPECT_TRUE(file.records[0].terminated);
}

struct MalformedCase {
  const char* title;
  std::string input;
  std::string problems;
  std::size_t records;
};

TEST(ReadAdif, MalformedFilesGiveProblemsNotFailures) {
  const MalformedCase cases[] = {
      {"length past the end", "<CALL:4>W1AW<NAME:50>Bob", "bad-length:NAME "
       "missing-eor:-", 1},
      {"length into the next tag", "<CALL:9>W1AW<MODE:2>CW<EOR>",
       "bad-length:CALL", 1},
      {"length into <EOR>", "<CALL:6>W1AW<EOR><CALL:2>K1<EOR>",
       "bad-length:CALL", 1},
      {"length too short", "<CALL:4>EA4ABC <EOR>", "bad-length:CALL", 1},
      {"length not a number", "<CALL:x4>W1AW<EOR>", "bad-length:CALL", 1},
      {"length missing", "<CALL:>W1AW<EOR>", "bad-length:CALL", 1},
      {"huge length", "<CALL:99999999999999999999999999>W1AW",
       "bad-length:CALL missing-eor:-", 1},
      {"tag without a length", "<CALL>W1AW<EOR>", "bad-tag:-", 1},
      {"tag cut by the end", "<CALL:4>W1AW<EOR><CALL:4", "bad-tag:- "
       "missing-eor:-", 2},
      {"tag cut by another tag", "<CALL:4<MODE:2>CW<EOR>", "bad-tag:-", 1},
      {"blank inside a tag", "<CALL 4>W1AW<EOR>", "bad-tag:-", 1},
      {"missing <EOR>", "<CALL:4>W1AW", "missing-eor:-", 1},
      {"missing <EOH>", "Header text\r\n<CALL:4>W1AW<EOR>", "missing-eoh:-",
       1},
      {"<EOH> after a record", "<CALL:4>W1AW<EOR><EOH>",
       "bad-tag:- missing-eor:-", 2},
      {"empty file", "", "", 0},
      {"only a header", "text<EOH>\r\n", "", 0},
      {"binary junk without a tag", std::string("\x00\xFF\x01<\x02", 5),
       "missing-eoh:-", 0},
      {"a lone <", "<", "", 0},
  };
  for (const MalformedCase& c : cases) {
    AdifFile file = ReadAdif(c.input);
    EXPECT_EQ(c.problems, Problems(file)) << c.title;
    EXPECT_EQ(c.records, file.records.size()) << c.title;
  }
}

TEST(ReadAdif, ATooLongLengthIsAuthoritative) {
  AdifFile file = ReadAdif("<CALL:9>W1AW<MODE:2>CW<EOR>");
  ASSERT_EQ(1u, file.records.size());
  ASSERT_EQ(1u, file.records[0].fields.size());
  EXPECT_EQ("W1AW<MODE", file.records[0].fields[0].data);
  // The text left after the swallowed tag is not reported a second time.
  ASSERT_EQ(1u, file.records[0].problems.size());
  EXPECT_EQ("length 9 takes in the next tag \"<MODE:2>\": the value is read "
            "as \"W1AW<MODE\"",
            file.records[0].problems[0].message);
}

TEST(ReadAdif, MessagesShowOddBytesEscaped) {
  AdifFile file = ReadAdif(std::string("<CALL:2>W1\xE9\x01 <EOR>"));
  ASSERT_EQ(1u, file.records[0].problems.size());
  EXPECT_EQ("length 2 leaves \"\\xE9\\x01\" after the value: it is read as "
            "\"W1\"",
            file.records[0].problems[0].message);
  EXPECT_EQ("abc...", PrintableText("abcdef", 3));
}

// Reads \a text from a heap block of exactly its size, so that a read past
// the end is caught by the address sanitizer.
AdifFile ReadExactCopy(const std::string& text,
                       std::unique_ptr<char[]>* block) {
  block->reset(new char[text.size() ? text.size() : 1]);
  std::copy(text.begin(), text.end(), block->get());
  return ReadAdif(std::string_view(block->get(), text.size()));
}

TEST(ReadAdif, EveryPrefixOfAFileStaysInsideTheBuffer) {
  const std::string file =
      "Header\r\n<ADIF_VER:5>3.1.4<EOH>\r\n"
      "<CALL:6>EA4ABC <QSO_DATE:8:D>20050102 <NOTES:7>a\r\nb<c> <EOR>\r\n"
      "<call:4>W1AW<freq:6>14.074<eor>\r\n";
  for (std::size_t n = 0; n <= file.size(); ++n) {
    std::unique_ptr<char[]> block;
    AdifFile read = ReadExactCopy(file.substr(0, n), &block);
    const char* end = block.get() + n;
    for (const AdifRecord& record : read.records)
      for (const AdifField& field : record.fields)
        EXPECT_LE(field.data.data() + field.data.size(), end) << n;
  }
}

TEST(ReadAdif, PathologicalInputsTakeLinearTime) {
  // Each of these would take hours if some byte were looked at again for
  // every tag.
  const std::size_t kSize = 1 << 20;
  const std::string patterns[] = {"<", "<A", "<A:", "<A:1", "<A:9:",
                                  "<EOR>", "<A:1>x", "<A:0>"};
  for (const std::string& pattern : patterns) {
    std::string input;
    while (input.size() < kSize) input += pattern;
    AdifFile file = ReadAdif(input);
    EXPECT_LE(file.records.size(), kSize) << pattern;
  }
  std::string long_data = "<A:" + std::to_string(kSize) + ">" +
                          std::string(kSize, '<') + "<EOR>";
  EXPECT_EQ(1u, ReadAdif(long_data).records.size());
}

}  // namespace
