// Tests of the ADIF reader: files in the styles of other programs, malformed
// files, reads in blocks of any size that give the same records, records
// handed over in parts, and reads that run in linear time.

#include "adif/adif_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "adif/adif_check.h"
#include "adif/record_builder.h"
#include "platform/fake_file_system.h"
#include "platform/text.h"

namespace {

// "NAME=data|NAME=data" per record, records separated by " / ".
std::string Fields(const AdifFile& file) {
  std::string text;
  for (const AdifFile::Record& record : file.records) {
    if (&record != &file.records.front()) text += " / ";
    for (std::size_t i = 0; i < record.fields.size(); ++i)
      text +=
          (i ? "|" : "") + record.fields[i].name + "=" + record.fields[i].data;
  }
  return text;
}

// "kind:FIELD" of every syntax problem, file problems first.
std::string Problems(const AdifFile& file) {
  static const char* const kNames[] = {
      "bad-tag",     "bad-tag",    "bad-tag",          "bad-length",
      "bad-length",  "bad-length", "text-after-value", "missing-eor",
      "missing-eoh", "bad-xml"};
  std::string text;
  auto add = [&text](const AdifSyntaxProblem& problem) {
    if (!text.empty()) text += " ";
    text += std::string(kNames[static_cast<int>(problem.kind)]) + ":" +
            problem.field;
  };
  for (const AdifSyntaxProblem& problem : file.file_problems) add(problem);
  for (const AdifFile::Record& record : file.records)
    for (const AdifSyntaxProblem& problem : record.problems) add(problem);
  return text;
}

// Every part a reader of \a input hands over: all it says of each field
// (whether a name is as before aside) and of each problem, and where the
// reader stands after it.
std::string Parts(const std::string& input, std::size_t block, bool fast) {
  MemoryInputFile file(input);
  std::unique_ptr<AdifRecordReader> reader =
      MakeAdifReader(&file, DetectAdifForm(input), block, fast);
  std::string text;
  auto add = [&text](const AdifSyntaxProblem& p) {
    text += " !" + std::to_string(static_cast<int>(p.kind)) + p.field + "|" +
            p.length + "|" + p.text + "|" + p.value + "|" +
            std::to_string(p.number);
  };
  AdifRecord part;
  while (reader->Next(&part)) {
    for (const AdifSyntaxProblem& problem : reader->TakeFileProblems().kept)
      add(problem);
    text += std::string(part.continued ? "+" : "") +
            (part.complete ? "" : "~") + (part.terminated ? "" : "?");
    for (const AdifField& f : part.fields) {
      const AdifByteCounts& b = f.bytes;
      text += " " + std::string(f.name) + ":" + std::string(f.type) + "=" +
              std::string(f.data);
      for (std::uint64_t n :
           {f.length, f.declared_length, f.offset, f.data_offset, b.odd,
            b.first_odd, b.line_ends, b.first_line_end,
            std::uint64_t{b.odd_byte}, std::uint64_t{b.line_end_byte},
            std::uint64_t{f.length_leading_zeros}})
        text += "," + std::to_string(n);
    }
    for (const AdifSyntaxProblem& problem : part.problems) add(problem);
    text += " @" + std::to_string(reader->position()) + "\n";
  }
  for (const AdifSyntaxProblem& problem : reader->TakeFileProblems().kept)
    add(problem);
  return text;
}

// Reads \a input whole, and checks that reading it the careful way a byte at
// a time, and seven bytes at a time, gives the same.
AdifFile ReadInBlocks(const std::string& input) {
  AdifFile file = ReadAdif(input);
  const std::string parts = Parts(input, kAdifBlockSize, /*fast=*/true);
  for (std::size_t block : {1, 7}) {
    AdifFile again = ReadAdif(input, block, /*fast=*/block != 1);
    EXPECT_EQ(Fields(file), Fields(again)) << block << ": " << input;
    EXPECT_EQ(Problems(file), Problems(again)) << block << ": " << input;
    EXPECT_EQ(parts, Parts(input, block, /*fast=*/false))
        << block << ": " << input;
  }
  return file;
}

struct ReadCase {
  const char* title;
  std::string input;
  std::string fields;
  bool has_header;
};

TEST(ReadAdif, FilesInTheStylesOfOtherPrograms) {
  // clang-format off
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
      {"lengths that change under the same names",
       "<CALL:4>W1AW <NAME:3>Ann <EOR>\n<CALL:5>EA4AB <NAME:3>Bob <EOR>\n"
       "<CALL:4>K1AB <NAME:5>Peter <EOR>\n<CALL:5>EA4CD <NAME:3>Eve <EOR>\n"
       "<call:4>N0XX <NAME:03>Joe <EOR>\n",
       "CALL=W1AW|NAME=Ann / CALL=EA4AB|NAME=Bob / CALL=K1AB|NAME=Peter / "
       "CALL=EA4CD|NAME=Eve / call=N0XX|NAME=Joe",
       false},
      {"names in another order and letter case each time",
       "<CALL:4>W1AW <NAME:3>Ann <EOR>\n<NAME:3>Bob <CALL:5>EA4AB <EOR>\n"
       "<name:3>Eve <call:4>K1AB <EOR>\n<CALL:4>W1AW <NAME:3>A<b <EOR>\n",
       "CALL=W1AW|NAME=Ann / NAME=Bob|CALL=EA4AB / name=Eve|call=K1AB / "
       "CALL=W1AW|NAME=A<b",
       false},
      {"DOS end of file mark", "<CALL:4>W1AW<EOR>\r\n\x1A", "CALL=W1AW",
       false},
      {"empty records count", "<EOR><EOR>", " / ", false},
      {"zero bytes after an empty record are no record",
       std::string("<CALL:2>K1<EOR><EOR>") + std::string(12, '\0') + "x",
       "CALL=K1 / ", false},
      // LoTW's downloads: comments after values, an end mark out of any
      // record.
      {"comments after values and an application's end mark",
       "ARRL Logbook of the World Status Report\n<PROGRAMID:4>LoTW\n"
       "<APP_LoTW_NUMREC:1>1\n\n<eoh>\n\n<CALL:5>K1ABC\n"
       "<QSO_DATE:8>20230101 // QSO Date\n<STATE:2>MA // Massachusetts\n"
       "<eor>\n\n<APP_LoTW_EOF>\n",
       "CALL=K1ABC|QSO_DATE=20230101|STATE=MA", true},
      {"application fields after the last <EOR>",
       "<CALL:4>W1AW<EOR><APP_X_TOTAL:1>1 <APP_X_END>\r\n", "CALL=W1AW",
       false},
  };
  // clang-format on
  for (const ReadCase& c : cases) {
    AdifFile file = ReadInBlocks(c.input);
    EXPECT_EQ(c.fields, Fields(file)) << c.title;
    EXPECT_EQ(c.has_header, file.has_header) << c.title;
    EXPECT_EQ("", Problems(file)) << c.title;
  }
}

TEST(ReadAdif, KeepsTheHeaderFieldsAndTheTypeIndicator) {
  AdifFile file =
      ReadAdif("Made by hand\n<adif_ver:5>3.1.5 <programid:4>Test<eoh>"
               "<qso_date:8:d>20240229<eor>");
  ASSERT_EQ(2u, file.header_fields.size());
  EXPECT_EQ("adif_ver", file.header_fields[0].name);
  EXPECT_EQ("3.1.5", file.header_fields[0].data);
  EXPECT_EQ("Test", file.header_fields[1].data);
  ASSERT_EQ(1u, file.records.size());
  const AdifFile::Field& date = file.records[0].fields[0];
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
  // clang-format off
  const MalformedCase cases[] = {
      {"length past the end", "<CALL:4>W1AW<NAME:50>Bob", "bad-length:NAME "
       "missing-eor:-", 1},
      {"length into the next tag", "<CALL:9>W1AW<MODE:2>CW<EOR>",
       "bad-length:CALL", 1},
      {"length into <EOR>", "<CALL:6>W1AW<EOR><CALL:2>K1<EOR>",
       "bad-length:CALL", 1},
      {"length too short", "<CALL:4>EA4ABC <EOR>", "text-after-value:CALL",
       1},
      {"lengths that disagree with the next < in another order",
       "<CALL:4>W1AW <NAME:3>Ann <EOR>\n<NAME:3>Bob <CALL:5>EA4AB <EOR>\n"
       "<Call:4>N0XX <NAME:8>x <EOR>y <EOR>\n<NAME:3>Bob <CALL:3>EA4AB <EOR>\n",
       "bad-length:NAME text-after-value:CALL", 4},
      {"text holding a <", "<CALL:4>W1AW a < b <EOR>",
       "text-after-value:CALL", 1},
      {"an application's mark in a record", "<CALL:4>W1AW <APP_X> <EOR>",
       "bad-tag:-", 1},
      {"a record of application fields ends early",
       "<CALL:4>W1AW<EOR><APP_X_Y:1>1 <A", "bad-tag:- missing-eor:-", 2},
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
      {"text between records is a comment",
       "<CALL:4>W1AW<EOR> a note <CALL:2>K1<EOR>", "", 2},
      {"empty file", "", "", 0},
      {"only a header", "text<EOH>\r\n", "", 0},
      {"binary junk without a tag", std::string("\x00\xFF\x01<\x02", 5),
       "missing-eoh:-", 0},
      {"a lone <", "<", "", 0},
  };
  // clang-format on
  for (const MalformedCase& c : cases) {
    AdifFile file = ReadInBlocks(c.input);
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
            SyntaxProblemText(file.records[0].problems[0], AdifForm::kTagged,
                              kEnglish));
}

TEST(ReadAdif, MessagesShowOddBytesEscaped) {
  AdifFile file = ReadAdif(std::string("<CALL:2>W1\xE9\x01 <EOR>"));
  ASSERT_EQ(1u, file.records[0].problems.size());
  EXPECT_EQ("length 2 leaves \"\\xE9\\x01\" after the value: it is read as "
            "\"W1\"",
            SyntaxProblemText(file.records[0].problems[0], AdifForm::kTagged,
                              kEnglish));
}

// The form is told by what the file opens with past a byte order mark and
// white space, however much of it.
TEST(ReadAdif, TheFormIsToldByTheContent) {
  const struct {
    std::string start;
    AdifForm form;
    // clang-format off
  } cases[] = {
      {"<?xml version=\"1.0\"?><ADX>", AdifForm::kXml},
      {"\xEF\xBB\xBF" + std::string(200, ' ') + "\r\n<?xml?>", AdifForm::kXml},
      {"<!DOCTYPE adx><ADX>", AdifForm::kXml},
      {"<!-- exported --><ADX>", AdifForm::kXml},
      {std::string(70000, '\n') + "<adx>", AdifForm::kXml},
      {"<ADX>", AdifForm::kXml},
      {"<ADX_FIELD:1>x<EOR>", AdifForm::kTagged},
      {"<CALL:4>W1AW<EOR>", AdifForm::kTagged},
      {"Exported <?xml?>\n<EOH>", AdifForm::kTagged},
      {"   ", AdifForm::kTagged},
      {"", AdifForm::kTagged},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(c.form, DetectAdifForm(c.start)) << c.start.substr(0, 60);
    // Read through a file, it is put back at its start.
    MemoryInputFile file(c.start);
    DetectAdifForm(&file);
    char first = 0;
    EXPECT_EQ(c.start.empty() ? 0u : 1u, file.Read(&first, 1));
    if (!c.start.empty()) {
      EXPECT_EQ(c.start[0], first);
    }
  }
}

// The XML form: what stands where a part of a record ends is carried over,
// and what is wrong outside records is counted, not held.
TEST(ReadAdx, FieldsOpenWhereAPartEndsAreCarriedOverWhole) {
  auto record = [](const std::string& fields) {
    return "<ADX><RECORDS><RECORD><CALL>W1AW</CALL>" + fields +
           "</RECORD><RECORD><CALL>K1</CALL></RECORD></RECORDS></ADX>";
  };
  std::string apps;
  for (int i = 0; i < 400; ++i)
    apps += "<APP PROGRAMID=\"X\" FIELDNAME=\"F" + std::to_string(i) +
            "\" TYPE=\"S\">" + std::string(3000, 'y') + "</APP>";
  std::string nested;
  for (int i = 0; i < 3000; ++i) nested += "<a>";
  const struct {
    const char* title;
    std::string input;
    std::size_t fields, problems;  // of the first record
    std::string last_field;        // its name
    std::uint64_t last_length;
    // clang-format off
  } cases[] = {
      {"stray & in a comment", record("<COMMENT>" + std::string(1100, '&') + "</COMMENT>"),
       2, 1100, "COMMENT", 1100},
      {"elements nested in a field", record("<COMMENT>a" + nested + "b</COMMENT>"),
       2, 3000, "COMMENT", 2},
      {"large application fields", record(apps), 401, 0, "APP_X_F399", 3000},
  };
  // clang-format on
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{7}, kAdifBlockSize}) {
      AdifFile file = ReadAdif(c.input, block);
      ASSERT_EQ(2u, file.records.size()) << c.title;
      const AdifFile::Record& first = file.records[0];
      EXPECT_EQ(c.fields, first.fields.size()) << c.title;
      EXPECT_EQ(c.problems, first.problems.size()) << c.title;
      EXPECT_EQ(c.last_field, first.fields.back().name) << c.title;
      EXPECT_EQ(c.last_length, first.fields.back().data.size()) << c.title;
      EXPECT_TRUE(first.terminated) << c.title;
      EXPECT_EQ("CALL=K1",
                Fields(AdifFile{false, {}, {}, 0, {file.records[1]}}));
    }
  }
}

TEST(ReadAdx, ProblemsOutsideRecordsAreCountedNotHeld) {
  std::string text = "<ADX><HEADER>";
  for (int i = 0; i < 3000; ++i) text += "< >";
  text += "<PROGRAMID>x</PROGRAMID></HEADER><RECORDS>";
  for (int i = 0; i < 5000; ++i) text += "</X>";
  text += "<RECORD><CALL>W1AW</CALL></RECORD></RECORDS></ADX>";
  AdifFile file = ReadAdif(text);
  ASSERT_EQ(1u, file.records.size());
  ASSERT_EQ(1u, file.header_fields.size());
  // Of each kind the first are kept: malformed markup and the text after
  // it in the header, end tags that close nothing.
  EXPECT_EQ(3 * kAdifKeptFileProblems, file.file_problems.size());
  EXPECT_EQ(11000 - 3 * kAdifKeptFileProblems, file.more_file_problems);
}

TEST(ReadAdx, FieldsThatNameNothingAreMalformed) {
  AdifFile file = ReadAdif(
      "<ADX><RECORDS><RECORD><APP PROGRAMID=\"X\">1</APP><USERDEF>2</USERDEF>"
      "<USERDEF FIELDNAME=\"A&#10;B\">3</USERDEF></RECORD></RECORDS></ADX>");
  ASSERT_EQ(1u, file.records.size());
  EXPECT_EQ("bad-xml:APP_X_ bad-xml:", Problems(file));
  EXPECT_EQ("A\nB", file.records[0].fields[2].name);
}

TEST(ReadAdif, EveryPrefixOfAFileReadsTheSameInAnyBlocks) {
  const std::string files[] = {
      "Header\r\n<ADIF_VER:5>3.1.4<EOH>\r\n"
      "<CALL:6>EA4ABC <QSO_DATE:8:D>20050102 <NOTES:7>a\r\nb<c> <EOR>\r\n"
      "<call:4>W1AW<freq:6>14.074<eor>\r\n",
      "<?xml version=\"1.0\"?>\n<ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER>"
      "</HEADER>\n<RECORDS>\n<RECORD><CALL>EA4ABC</CALL>\n</RECORD>\n"
      "<RECORD><call>W1AW</CALL> <NOTES>a\r\n\xC3\xA9</NOTES></RECORD>\n"
      "<RECORD><MODE>CW</MODE></RECORD></RECORDS></ADX>\n",
  };
  for (const std::string& file : files)
    for (std::size_t n = 0; n <= file.size(); ++n)
      ReadInBlocks(file.substr(0, n));
}

// The XML form: a record that is read the fast way as most programs write
// it is read so as the careful way reads it, and any other is left to the
// careful way, whatever stands in it.
TEST(ReadAdx, RecordsReadTheFastWayAsTheCarefulWay) {
  std::string wide, large_names;
  for (int i = 0; i < 1100; ++i)
    wide += "<F" + std::to_string(i) + ">" + std::string(i % 30, 'w') + "</F" +
            std::to_string(i) + ">";
  const std::string shapes[] = {
      "<CALL>W1AW</CALL><MODE>CW</MODE>",
      "<call>W1AW</CALL><Mode>CW</mODE>",
      " \r\n<CALL>W1AW</CALL>\t<MODE>CW</MODE>\n",
      "<COMMENT></COMMENT><CALL>W1AW</CALL>",
      "<NAME>A&amp;B</NAME>",
      "<NAME>A&x B</NAME>",
      "<CALL TYPE=\"S\">W1AW</CALL>",
      "<CALL/><MODE>CW</MODE>",
      "<NOTES><![CDATA[a<b]]></NOTES>",
      "<CALL>W1AW</CALL><!-- x --><MODE>CW</MODE>",
      "x<CALL>W1AW</CALL>",
      "<CALL>W1AW</CALL> y",
      "<CALL><b>x</b></CALL>",
      "<CALL>W1AW</MODE>",
      "<CALL>W1AW</CALLS>",
      "<CALL>W1AW</CALL >",
      "<CALL>W1AW</CALL <MODE>CW</MODE>",
      "<CALL>W1AW",
      "<APP PROGRAMID=\"X\" FIELDNAME=\"Y\">1</APP><USERDEF "
      "FIELDNAME=\"Z\">2</USERDEF><app>3</app>",
      "<NAME_INTL>Jos\xC3\xA9\r\n\x01</NAME_INTL><QTH>\xE9</QTH>",
      "<NOTES>" + std::string(4096, 'n') + "</NOTES><CALL>W1AW</CALL>",
      "<NOTES>" + std::string(5000, 'n') + "</NOTES><CALL>W1AW</CALL>",
      "<NOTES>" + std::string(20000, 'n') + "</NOTES>",
      "<A:B>1</A:B><a.b-c>2</A.B-C><\xC3\xA9>3</\xC3\xA9>",
      "<" + std::string(64, 'N') + ">1</" + std::string(64, 'N') + ">",
      "<" + std::string(65, 'N') + ">1</" + std::string(65, 'N') + ">",
      wide,
      "</RECORD><RECORD>",
      "<RECORD>",
  };
  const std::string opens[] = {"<RECORD>", "<record>", "<RECORD >",
                               "<RECORD/>"};
  for (const std::string& shape : shapes) {
    for (const std::string& open : opens) {
      const std::string input =
          "<ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER></HEADER><RECORDS>"
          "<RECORD><CALL>K1</CALL></RECORD>\r\n" +
          open + shape + "</RECORD>\r\n<RECORD><CALL>K2</CALL></RECORD>" +
          "</RECORDS></ADX>";
      const std::string fast = Parts(input, kAdifBlockSize, true);
      EXPECT_EQ(fast, Parts(input, 1, false)) << input.substr(0, 200);
      EXPECT_EQ(fast, Parts(input, 7, false)) << input.substr(0, 200);
      EXPECT_EQ(fast, Parts(input, 7, true)) << input.substr(0, 200);
    }
  }
}

TEST(ReadAdif, LargeRecordsComeInPartsAndLongValuesAreMeasured) {
  std::string many;
  for (int i = 0; i < 3000; ++i) many += "<A:1>x";
  std::string text = many + "<NOTES:10000>" + std::string(9999, 'n') +
                     "\xE9<EOR><CALL:2>K1<EOR>";
  MemoryInputFile input(text);
  std::unique_ptr<AdifRecordReader> reader =
      MakeAdifReader(&input, AdifForm::kTagged);
  AdifRecord part;
  std::vector<std::size_t> sizes;
  while (reader->Next(&part)) {
    sizes.push_back(part.fields.size());
    EXPECT_EQ(sizes.size() > 1 && sizes.size() < 4, part.continued);
    EXPECT_EQ(sizes.size() >= 3, part.complete);
    if (sizes.size() != 3) continue;
    const AdifField& notes = part.fields.back();
    EXPECT_EQ(kAdifHeldData, notes.data.size());
    EXPECT_EQ(10000u, notes.length);
    EXPECT_EQ(1u, notes.bytes.odd);
    EXPECT_EQ(9999u, notes.bytes.first_odd);
  }
  EXPECT_EQ((std::vector<std::size_t>{1024, 1024, 953, 1}), sizes);
  AdifFile whole = ReadAdif(text);
  ASSERT_EQ(2u, whole.records.size());
  EXPECT_EQ(3001u, whole.records[0].fields.size());
  EXPECT_EQ(10000u, whole.records[0].fields.back().data.size());
}

// The test of whether a value can be taken as it is agrees with the count
// of its bytes, for a value of any length with any kind of byte anywhere in
// it, and whatever lies past its end.
TEST(ReadAdif, PlainValuesAreToldAsTheirBytesAreCounted) {
  const char kBytes[] = {'A',    ' ',    '~',  '<',  '\x1F', '\x7F',
                         '\x80', '\xFF', '\r', '\n', '\0'};
  for (std::size_t length = 0; length <= 40; ++length) {
    for (std::size_t at = 0; at <= length; ++at) {
      for (char byte : kBytes) {
        std::string bytes(length + 16, '<');  // past the end: not looked at
        std::fill(bytes.begin(), bytes.begin() + length, 'x');
        if (at < length) bytes[at] = byte;
        AdifByteCounts counts;
        const bool less_than =
            CountBytes(std::string_view(bytes).substr(0, length), 0, &counts);
        const bool plain =
            counts.odd == 0 && counts.line_ends == 0 && !less_than;
        EXPECT_EQ(plain, PlainAscii(bytes.data(), length, bytes.size()))
            << length << " " << at << " " << static_cast<int>(byte);
      }
    }
  }
}

// The reader numbers the names of the fields it reads the fast way: the
// same number is the same name in any letter case, and a name met again, at
// another place or spelled otherwise, mostly has its number again.
TEST(ReadAdif, NamesNumberedAlikeAreOneName) {
  const struct {
    std::string text;
    const char* unnumbered;  // the names of the fields read the careful way
    // clang-format off
  } cases[] = {
      {"h<EOH><CALL:4>W1AW <BAND:3>40M <EOR>\r\n"
       "<CALL:4>K1AB <BAND:3>20M <MODE:2>CW <EOR>\r\n"
       "<CALL:4>K1AB <MODE:2>CW <BAND:3>20M <EOR>\r\n"
       "<call:4>K1AB <Mode:2>CW <band:3>20M <EOR>\r\n"
       "<BAND:3>20M <cAlL:4>K1AB <MODE:2>CW <EOR>\r\n"
       "<CALL:4>K1AB <MODE:2 CW <EOR>\r\n"
       "<CALL:4>K1AB <MODE:2>CW <BAND:3>20M <EOR>\r\n"
       "<CALL:4>K1AB <CALL_X:1>X <call:4>K1AB <EOR>\r\n",
       "CALL "},
      {"<ADX><RECORDS><RECORD><CALL>W1AW</CALL><BAND>40M</BAND></RECORD>"
       "<RECORD><CALL>K1AB</CALL><BAND>20M</BAND><MODE>CW</MODE></RECORD>"
       "<RECORD><CALL>K1AB</CALL><MODE>CW</MODE><BAND>20M</BAND></RECORD>"
       "<RECORD><call>K1AB</call><Mode>CW</Mode><band>20M</band></RECORD>"
       "<RECORD><BAND>20M</BAND><cAlL>K1AB</cAlL><MODE>CW</MODE></RECORD>"
       "<RECORD><CALL>K&amp;1</CALL></RECORD>"
       "<RECORD><CALL>K1AB</CALL><MODE>CW</MODE><BAND>20M</BAND></RECORD>"
       "<RECORD><CALL>K1AB</CALL><CALL_X>X</CALL_X><call>K1</call></RECORD>"
       "</RECORDS></ADX>",
       "CALL BAND CALL "},
  };
  // clang-format on
  for (const auto& c : cases) {
    for (std::size_t block : {std::size_t{7}, kAdifBlockSize}) {
      SCOPED_TRACE(c.text.substr(0, 20) + " " + std::to_string(block));
      MemoryInputFile input(c.text);
      std::unique_ptr<AdifRecordReader> reader =
          MakeAdifReader(&input, DetectAdifForm(c.text), block);
      AdifRecord part;
      std::map<std::uint64_t, std::string> names;              // by number
      std::map<std::string, std::set<std::uint64_t>> numbers;  // by name
      std::string unnumbered;
      while (reader->Next(&part)) {
        for (const AdifField& field : part.fields) {
          const std::string name = AsciiUpperText(field.name);
          if (field.spelling == 0) {
            unnumbered += name + " ";
            continue;
          }
          auto known = names.emplace(field.spelling, name).first;
          EXPECT_EQ(known->second, name) << field.spelling;
          numbers[name].insert(field.spelling);
        }
      }
      // Each name has one number, whatever its place or letter case.
      EXPECT_EQ(c.unnumbered, unnumbered);
      for (const auto& name : numbers)
        EXPECT_EQ(1u, name.second.size()) << name.first;
    }
  }
}

TEST(ReadAdif, AReadErrorEndsTheReadingAndIsKept) {
  FakeFileSystem files;
  files.Put("log.adi", std::string(100000, ' ') + "<CALL:4>W1AW<EOR>");
  files.fail_read_at = 2;
  OpenError error;
  std::unique_ptr<InputFile> file = files.OpenForReading("log.adi", &error);
  std::unique_ptr<AdifRecordReader> reader =
      MakeAdifReader(file.get(), AdifForm::kTagged, 4096);
  AdifRecord part;
  EXPECT_FALSE(reader->Next(&part));
  EXPECT_TRUE(reader->failed());
  EXPECT_TRUE(reader->error().failed());
}

TEST(ReadAdif, PathologicalInputsTakeLinearTime) {
  // Each of these would take hours if some byte were looked at again for
  // every tag.
  const std::size_t kSize = 1 << 20;
  const std::string patterns[] = {"<",     "<A",    "<A:",    "<A:1",
                                  "<A:9:", "<EOR>", "<A:1>x", "<A:0>"};
  for (const std::string& pattern : patterns) {
    std::string input;
    while (input.size() < kSize) input += pattern;
    AdifFile file = ReadAdif(input);
    EXPECT_LE(file.records.size(), kSize) << pattern;
  }
  std::string long_data =
      "<A:" + std::to_string(kSize) + ">" + std::string(kSize, '<') + "<EOR>";
  EXPECT_EQ(1u, ReadAdif(long_data).records.size());
}

}  // namespace
