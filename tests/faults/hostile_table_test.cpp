// hostile_table_test.cpp: tables whose headers lie, and columns at the edges
// of what the format allows, through the command line. Whatever the bytes
// say, the program must end at once without a crash, write only well-formed
// ADIF built from bytes it read, and give the right exit code and message.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "adif_support.h"
#include "convert/adif_header.h"
#include "fault_support.h"
#include "mapping/field_list.h"
#include "sample_tables.h"

namespace faults {
namespace {

const std::string kBin = LOGWEAVE_BIN;

// The sample log of four records: seven columns, a header of 257 bytes,
// records of 49 bytes, an end-of-file mark.
std::string Sample(int records = 4) { return BuildTable(SampleLog(records)); }

std::string Patch(std::string bytes, std::size_t at, std::uint32_t value,
                  int count) {
  for (int i = 0; i < count; ++i)
    bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

constexpr std::size_t kRecordCount = 4, kHeaderLength = 8, kRecordLength = 10;
std::size_t LengthOf(int column) { return 32 + 32 * column + 16; }

struct HostileCase {
  const char* name;
  std::function<std::string()> make;
  std::vector<std::string> options;  // the mapping
  int exit_code;                     // -1: 0 or 1, as long as it ends cleanly
  std::string message;         // part of the convert command's standard error
  long records;                // record lines in the output; -1: any
  const char* fields_text;     // part of the fields command's output
  const char* body = nullptr;  // the exact record lines, when given
};

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

class Hostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, EndsCleanlyWithWellFormedOutput) {
  const HostileCase& c = GetParam();
  TempDir dir;
  std::string input = dir / "log.dbf";
  std::string output = dir / "log.adi";
  const std::string table = c.make();
  ASSERT_TRUE(WriteFile(input, table));

  RunResult fields = RunProgram({kBin, "fields", input});
  ASSERT_EQ(fields.signal, 0) << "fields crashed";
  ASSERT_FALSE(fields.timed_out);
  bool unreadable = fields.exit_code != 0;
  EXPECT_EQ(fields.exit_code, unreadable ? 1 : 0);
  if (*c.fields_text) {
    EXPECT_NE((fields.out + fields.err).find(c.fields_text), std::string::npos)
        << fields.out << fields.err;
  }
  // Every entry listed reads back to a size of 0 to 255 and the skip word.
  std::size_t start = fields.out.find('\n');
  for (std::size_t at = start;
       at != std::string::npos && at + 1 < fields.out.size();) {
    std::size_t end = fields.out.find('\n', at + 1);
    std::string entry = fields.out.substr(at + 1, end - at - 1);
    EntryColumn read = ReadFieldListEntry(entry);
    EXPECT_TRUE(read.size >= 0 && read.size <= 255) << entry;
    EXPECT_EQ(read.keyword, "Skip") << entry;
    at = end;
  }

  std::vector<std::string> args = {kBin, "convert", input, "-o", output};
  args.insert(args.end(), c.options.begin(), c.options.end());
  RunResult run = RunProgram(args);
  ASSERT_EQ(run.signal, 0) << "convert crashed";
  ASSERT_FALSE(run.timed_out) << "convert did not finish";
  if (c.exit_code >= 0) {
    EXPECT_EQ(run.exit_code, c.exit_code) << run.err;
  } else {
    EXPECT_TRUE(run.exit_code == 0 || run.exit_code == 1) << run.err;
  }
  if (unreadable) {
    EXPECT_EQ(run.exit_code, 1);
  }
  if (run.exit_code != 0) {
    EXPECT_EQ(run.out, "") << "success text on a failure";
  }
  EXPECT_NE((run.out + run.err).find(c.message), std::string::npos)
      << run.out << run.err;

  std::string text = ReadFile(output);
  if (unreadable) {
    EXPECT_EQ(Listing(dir.str()), "log.dbf");
    return;
  }
  std::size_t records = 0;
  EXPECT_EQ(CheckWrittenAdif(text, &records), "");
  if (c.records >= 0) {
    EXPECT_EQ(records, static_cast<std::size_t>(c.records));
  }
  if (c.body) {
    EXPECT_EQ(text.substr(AdifHeaderText(kEnglish).size()), c.body);
  }
  // Bytes 0xFF only where the records read held them.
  std::uint16_t header_length =
      static_cast<std::uint16_t>(static_cast<unsigned char>(table[8]) |
                                 static_cast<unsigned char>(table[9]) << 8);
  if (table.find('\xFF', std::min<std::size_t>(header_length, table.size())) ==
      std::string::npos) {
    EXPECT_EQ(text.find('\xFF'), std::string::npos);
  }
  EXPECT_EQ(Listing(dir.str()), "log.adi log.dbf");
}

const std::vector<std::string> kAuto = {"--auto"};

// A table of the given columns with one record "EA4AB" / "John" / ... as
// given.
std::string Custom(const std::vector<BuilderColumn>& columns,
                   const std::vector<std::string>& row) {
  BuilderTable t;
  t.columns = columns;
  t.rows = {row};
  return BuildTable(t);
}

std::string Garbage() {
  std::mt19937 random(20050614);
  std::string bytes(4096, '\0');
  for (char& b : bytes) b = static_cast<char>(random() & 0xFF);
  bytes[8] = static_cast<char>(0x21);  // a header length of 289
  bytes[9] = 0x01;
  return bytes;
}

std::string Dbase7() {
  // dBase 7 has a longer header and 48-byte descriptors; read as dBase III
  // its bytes give odd columns.
  std::string bytes(68, '\0');
  bytes[0] = 0x04;
  bytes = Patch(bytes, 4, 2, 4);
  bytes = Patch(bytes, 8, 68 + 48 * 2 + 1, 2);
  for (const char* name : {"CALL", "QSO_DATE"}) {
    std::string d(48, '\0');
    for (int i = 0; name[i]; ++i) d[i] = name[i];
    d[32] = 'C';
    d[33] = 10;
    bytes += d;
  }
  return bytes + "\x0D EA4ABC    20040915   N0CALL    20041001  \x1A";
}

std::string WidestTable() {
  // 2046 columns, the most a 16-bit header length can announce.
  BuilderTable t;
  for (int i = 0; i < 2046; ++i)
    t.columns.push_back({"C" + std::to_string(i), 'C', 1});
  t.rows.assign(3, std::vector<std::string>(2046, "x"));
  return BuildTable(t);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Hostile,
    ::testing::Values(
        // Header lengths that do not hold the column descriptions: no
        // table at all.
        HostileCase{"HeaderLength0",
                    [] { return Patch(Sample(), kHeaderLength, 0, 2); }, kAuto,
                    1, "is not a readable DBF table: it describes no column",
                    -1, "it describes no column"},
        HostileCase{"HeaderLength31",
                    [] { return Patch(Sample(), kHeaderLength, 31, 2); }, kAuto,
                    1, "it describes no column", -1, ""},
        HostileCase{"HeaderLength33",
                    [] { return Patch(Sample(), kHeaderLength, 33, 2); }, kAuto,
                    1, "it describes no column", -1, ""},
        HostileCase{"HeaderLength63",
                    [] { return Patch(Sample(), kHeaderLength, 63, 2); }, kAuto,
                    1, "it describes no column", -1, ""},
        HostileCase{
            "HeaderLengthOneShort",
            [] { return Patch(Sample(), kHeaderLength, 256, 2); }, kAuto, 1,
            "its header is shorter than its column descriptions", -1, ""},
        // Not 32n+1: the records are read from a few bytes late; the bytes
        // are shifted, the lines still well-formed, and a record cut by the
        // end of the file is reported.
        HostileCase{"HeaderLength32nPlus7",
                    [] { return Patch(Sample(), kHeaderLength, 263, 2); },
                    kAuto, 1, "ends after record 3 of 4;", 3, ""},
        HostileCase{"HeaderLengthBeyondTheFile",
                    [] { return Patch(Sample(), kHeaderLength, 65535, 2); },
                    kAuto, 1, "ends after record 0 of 4;", 0,
                    "NAME          C         16"},
        HostileCase{"HeaderLengthBeyondTheFileWithoutRecords",
                    [] {
                      return Patch(Patch(Sample(), kHeaderLength, 65535, 2),
                                   kRecordCount, 0, 4);
                    },
                    kAuto, 0, "converted to", 0, "with 0 Qso's"},
        // Record counts far beyond the file end at the file's end at once.
        HostileCase{
            "RecordCountMax",
            [] { return Patch(Sample(), kRecordCount, 0xFFFFFFFFu, 4); }, kAuto,
            1, "ends after record 4 of 4294967295;", 4,
            "with 4294967295 Qso's"},
        HostileCase{
            "RecordCount3e9",
            [] { return Patch(Sample(), kRecordCount, 3000000000u, 4); }, kAuto,
            1, "ends after record 4 of 3000000000;", 4,
            "with 3000000000 Qso's"},
        HostileCase{"RecordCountMaxWithoutColumns",
                    [] {
                      return Patch(
                          Patch(Sample(), kRecordCount, 0xFFFFFFFFu, 4),
                          kHeaderLength, 32, 2);
                    },
                    kAuto, 1, "it describes no column", -1, ""},
        // A record count short of the records: the surplus is said.
        HostileCase{"RecordCountZero",
                    [] { return Patch(Sample(), kRecordCount, 0, 4); }, kAuto,
                    0, "warning: ", 0,
                    "holds 197 bytes more than its header says"},
        // The record length field is not used (the columns decide), but a
        // disagreement is said.
        HostileCase{"RecordLengthTooSmall",
                    [] { return Patch(Sample(), kRecordLength, 5, 2); }, kAuto,
                    0,
                    ": the header gives records of 5 bytes, but its columns "
                    "take 49; the values may be misread",
                    4, "the header gives records of 5 bytes"},
        HostileCase{"RecordLengthTooLarge",
                    [] { return Patch(Sample(), kRecordLength, 65535, 2); },
                    kAuto, 0, "the header gives records of 65535 bytes", 4, ""},
        // Column lengths that sum past the record length: NAME claims 255
        // bytes instead of 16.
        HostileCase{"ColumnsPastTheRecordLength",
                    [] { return Patch(Sample(20), LengthOf(6), 255, 1); },
                    kAuto, 1, "ends after record 3 of 20;", 3,
                    "but its columns take 288"},
        HostileCase{"ColumnsShortOfTheRecordLength",
                    [] { return Patch(Sample(), LengthOf(6), 1, 1); }, kAuto, 0,
                    "but its columns take 34", 4, "NAME          C          1"},
        // The terminator: missing where the header length does not need
        // it, missing where it does, and a header length announcing more
        // columns than there are.
        HostileCase{"TerminatorMissing",
                    [] { return Patch(Sample(), 256, 'X', 1); }, kAuto, 0,
                    "converted to", 4, ""},
        HostileCase{"TerminatorMissingAndHeaderTooLong",
                    [] {
                      return Patch(Patch(Sample(), 256, 'X', 1), kHeaderLength,
                                   32 * 12 + 1, 2);
                    },
                    kAuto, 1, "ends after record", -1, ""},
        HostileCase{
            "HeaderAnnouncesMoreColumnsThanThereAre",
            [] { return Patch(Sample(), kHeaderLength, 32 * 21 + 1, 2); },
            kAuto, 1, "ends after record 0 of 4;", 0, ""},
        HostileCase{"DescriptorsPastTheEndOfTheFile",
                    [] {
                      return Patch(Patch(Sample(), 256, 'X', 1), kHeaderLength,
                                   32 * 30 + 1, 2);
                    },
                    kAuto, 1, "ends inside the column descriptions", -1,
                    "ends inside the column descriptions"},
        // Columns at the edges: no bytes at all, and 255 bytes held before
        // CALL and written after it.
        HostileCase{"ZeroLengthColumn",
                    [] {
                      return Custom({{"CALL", 'C', 6},
                                     {"ZERO", 'C', 0},
                                     {"NAME", 'C', 5}},
                                    {"EA4AB", "", "John"});
                    },
                    {"--map", "CALL=CALL,ZERO=COMMENT,NAME=NAME"},
                    0,
                    "",
                    1,
                    "ZERO          C          0",
                    "<CALL:5>EA4AB <NAME:4>John <EOR>\r\n"},
        HostileCase{"Columns255Bytes",
                    [] {
                      return Custom({{"BEFORE", 'C', 255},
                                     {"CALL", 'C', 6},
                                     {"AFTER", 'C', 255}},
                                    {std::string(255, 'b'), "EA4AB",
                                     std::string(254, 'a') + "z"});
                    },
                    {"--map", "BEFORE=COMMENT,CALL=CALL,AFTER=NOTES"},
                    0,
                    "",
                    1,
                    "BEFORE        C        255",
                    nullptr},
        HostileCase{
            "WidestTable",
            WidestTable,
            {"--map", "#2046=CALL"},
            0,
            "converted to",
            3,
            "C2045         C          1",
            "<CALL:1>x <EOR>\r\n<CALL:1>x <EOR>\r\n<CALL:1>x <EOR>\r\n"},
        // Names and types no list can show as they are.
        HostileCase{
            "UnprintableNamesAndTypes",
            [] {
              return Custom({{"ELEVENCHARS", 'C', 6},
                             {"TWO WORDS", 'C', 3},
                             {"", 'C', 2},
                             {"CTL\x01", '\0', 2}},
                            {"EA4AB", "abc", "de", "fg"});
            },
            {"--map", "#1=CALL,#2=NAME,#3=QTH,#4=COMMENT"},
            0,
            "",
            1,
            "TWO_WORDS",
            "<CALL:5>EA4AB <NAME:3>abc <QTH:2>de <COMMENT:2>fg <EOR>\r\n"},
        // Other formats and noise. Files that are no table are refused by
        // every command with the one message for unreadable tables.
        HostileCase{"Dbase7Table", Dbase7, kAuto, -1, "", -1, ""},
        HostileCase{"RandomBytes", Garbage, kAuto, 1,
                    "is not a readable DBF table", -1, ""},
        HostileCase{"CsvFile",
                    [] {
                      std::string csv = "CALL,QSO_DATE,TIME_ON,BAND\r\n";
                      for (int i = 0; i < 40; ++i)
                        csv += "EA4AB" + std::to_string(i) +
                               ",20050614,0915,40M\r\n";
                      return csv;
                    },
                    kAuto, 1, "is not a readable DBF table", -1,
                    "is not a readable DBF table"},
        HostileCase{"FoxProMemoFile",
                    [] {
                      std::vector<std::uint32_t> blocks;
                      return BuildMemoFile(MemoLayout::kFoxPro,
                                           {"First QSO", "Second"}, &blocks);
                    },
                    kAuto, 1, "its first byte names no DBF version", -1,
                    "is not a readable DBF table"},
        HostileCase{"DbaseMemoFile",
                    [] {
                      std::vector<std::uint32_t> blocks;
                      return BuildMemoFile(MemoLayout::kDbase3,
                                           {"First QSO", "Second"}, &blocks);
                    },
                    kAuto, 1, "is not a readable DBF table", -1,
                    "is not a readable DBF table"},
        HostileCase{"TextFile",
                    [] { return std::string(300, 'x') + "\nA plain text.\n"; },
                    kAuto, 1, "its first byte names no DBF version", -1, ""},
        HostileCase{"Picture",
                    [] {
                      return std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR",
                                         16) +
                             std::string(400, '\0');
                    },
                    kAuto, 1, "its first byte names no DBF version", -1, ""},
        HostileCase{"DateOutOfRange", [] { return Patch(Sample(), 2, 13, 1); },
                    kAuto, 1, "its header holds no valid date", -1, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Hostile, Column255BytesIsWrittenWhole) {
  // The body of Columns255Bytes, spelled out.
  TempDir dir;
  std::string input = dir / "log.dbf";
  ASSERT_TRUE(WriteFile(
      input,
      Custom({{"BEFORE", 'C', 255}, {"CALL", 'C', 6}, {"AFTER", 'C', 255}},
             {std::string(255, 'b'), "EA4AB", std::string(254, 'a') + "z"})));
  RunResult run = RunProgram({kBin, "convert", input, "-o", "-", "--map",
                              "BEFORE=COMMENT,CALL=CALL,AFTER=NOTES"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out.substr(AdifHeaderText(kEnglish).size()),
            "<CALL:5>EA4AB <COMMENT:255>" + std::string(255, 'b') +
                " <NOTES:255>" + std::string(254, 'a') + "z <EOR>\r\n");
}

}  // namespace
}  // namespace faults
