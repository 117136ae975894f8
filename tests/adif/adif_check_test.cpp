// Tests of the validation report: one table of cases per kind of finding,
// files written by this program and by others, the report's exact text and
// the check command's exit codes.

#include "adif/adif_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "convert/adif_header.h"
#include "platform/byte_stream.h"
#include "convert/convert_records.h"
#include "cli/commands.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "test_support.h"

namespace {

// A record that every service takes; cases change one field of it.
const std::vector<std::pair<std::string, std::string>> kGoodRecord = {
    {"CALL", "EA4ABC"}, {"QSO_DATE", "20050102"}, {"TIME_ON", "0915"},
    {"BAND", "40m"},    {"FREQ", "7.085"},        {"MODE", "SSB"},
};

std::string Field(const std::string& name, const std::string& data) {
  return "<" + name + ":" + std::to_string(data.size()) + ">" + data + " ";
}

// The good record with \a name set to \a data (added when absent), or
// removed when \a data is null.
std::string RecordWith(const std::string& name, const char* data) {
  std::string text;
  bool found = false;
  for (const auto& field : kGoodRecord) {
    if (field.first != name) {
      text += Field(field.first, field.second);
    } else if (data) {
      text += Field(name, data);
      found = true;
    } else {
      found = true;
    }
  }
  if (!found && data) text += Field(name, data);
  return text + "<EOR>\r\n";
}

// "kind FIELD: message" of every finding, one a line.
std::string Lines(const CheckReport& report) {
  std::string text;
  for (const Finding& finding : report.findings)
    text += std::string(FindingKindName(finding.kind)) + " " + finding.field +
            ": " + finding.message + "\n";
  return text;
}

struct ValueCase {
  const char* field;
  const char* data;  // null: the field is left out
  const char* finding;  // "" when the value is good
};

void ExpectFindings(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases) {
    CheckReport report = CheckAdif(RecordWith(c.field, c.data));
    EXPECT_EQ(c.finding[0] ? std::string(c.finding) + "\n" : "",
              Lines(report))
        << c.field << "=" << (c.data ? c.data : "(none)");
  }
}

TEST(CheckAdif, TheGoodRecordIsClean) {
  CheckReport report = CheckAdif(RecordWith("CALL", "EA4ABC"));
  EXPECT_EQ(1u, report.record_count);
  EXPECT_EQ("", Lines(report));
}

TEST(CheckAdif, RequiredFields) {
  ExpectFindings({
      {"CALL", nullptr, "missing-field CALL: CALL is missing or blank"},
      {"CALL", "   ", "missing-field CALL: CALL is missing or blank"},
      {"QSO_DATE", nullptr,
       "missing-field QSO_DATE: QSO_DATE is missing or blank"},
      {"TIME_ON", nullptr,
       "missing-field TIME_ON: TIME_ON is missing or blank"},
      {"MODE", nullptr, "missing-field MODE: MODE is missing or blank"},
      {"BAND", nullptr, ""},
      {"FREQ", nullptr, ""},
  });
  std::string neither = Field("CALL", "W1AW") + Field("QSO_DATE", "20050102") +
                        Field("TIME_ON", "0915") + Field("MODE", "CW") +
                        "<EOR>";
  EXPECT_EQ("missing-field BAND: neither BAND nor FREQ is given\n",
            Lines(CheckAdif(neither)));
}

TEST(CheckAdif, Dates) {
  ExpectFindings({
      {"QSO_DATE", "20240229", ""},
      {"QSO_DATE", "20000229", ""},
      {"QSO_DATE", "19300101", ""},
      {"QSO_DATE", "20231231", ""},
      {"QSO_DATE", "20230229",
       "bad-date QSO_DATE: \"20230229\" is not a date of the calendar"},
      {"QSO_DATE", "19000229",
       "bad-date QSO_DATE: \"19000229\" is not a date of the calendar"},
      {"QSO_DATE", "20050431",
       "bad-date QSO_DATE: \"20050431\" is not a date of the calendar"},
      {"QSO_DATE", "20051301",
       "bad-date QSO_DATE: \"20051301\" is not a date of the calendar"},
      {"QSO_DATE", "20050100",
       "bad-date QSO_DATE: \"20050100\" is not a date of the calendar"},
      {"QSO_DATE", "19291231",
       "bad-date QSO_DATE: \"19291231\" is before 19300101, the earliest date "
       "ADIF allows"},
      {"QSO_DATE", "2005-01-02",
       "bad-date QSO_DATE: \"2005-01-02\" is not a date written YYYYMMDD"},
      {"QSO_DATE", "050102",
       "bad-date QSO_DATE: \"050102\" is not a date written YYYYMMDD"},
      {"QSO_DATE_OFF", "20050132",
       "bad-date QSO_DATE_OFF: \"20050132\" is not a date of the calendar"},
  });
}

TEST(CheckAdif, Times) {
  ExpectFindings({
      {"TIME_ON", "0000", ""},
      {"TIME_ON", "2359", ""},
      {"TIME_ON", "235959", ""},
      {"TIME_OFF", "120000", ""},
      {"TIME_ON", "2400",
       "bad-time TIME_ON: \"2400\" is not a time written HHMM or HHMMSS"},
      {"TIME_ON", "1260",
       "bad-time TIME_ON: \"1260\" is not a time written HHMM or HHMMSS"},
      {"TIME_ON", "123460",
       "bad-time TIME_ON: \"123460\" is not a time written HHMM or HHMMSS"},
      {"TIME_ON", "09:15",
       "bad-time TIME_ON: \"09:15\" is not a time written HHMM or HHMMSS"},
      {"TIME_ON", "915",
       "bad-time TIME_ON: \"915\" is not a time written HHMM or HHMMSS"},
      {"TIME_OFF", "12345",
       "bad-time TIME_OFF: \"12345\" is not a time written HHMM or HHMMSS"},
  });
}

TEST(CheckAdif, BandsAndFrequencies) {
  ExpectFindings({
      {"BAND", "40M", ""},
      {"BAND", "40m", ""},
      {"BAND", "40",
       "bad-band BAND: \"40\" is not a band of ADIF 3.1.5 (40m?)"},
      {"BAND", "11m", "bad-band BAND: \"11m\" is not a band of ADIF 3.1.5"},
      {"BAND", "20m",
       "freq-outside-band FREQ: 7.085 MHz is outside band 20m (14.0 to 14.35 "
       "MHz)"},
      {"FREQ", "   7.085", ""},
      {"FREQ", "7", ""},
      {"FREQ", "7.3", ""},
      {"FREQ", "7.300001",
       "freq-outside-band FREQ: 7.300001 MHz is outside band 40m (7.0 to 7.3 "
       "MHz)"},
      {"FREQ", "7,085",
       "bad-freq FREQ: \"7,085\" is not a frequency in MHz (the decimal "
       "separator is a point)"},
      {"FREQ", "7.08.5", "bad-freq FREQ: \"7.08.5\" is not a frequency in MHz"},
      {"FREQ", "-7.085", "bad-freq FREQ: \"-7.085\" is not a frequency in MHz"},
      {"FREQ", "0", "bad-freq FREQ: \"0\" is not a frequency in MHz"},
      {"FREQ", "7085",
       "freq-outside-band FREQ: 7085 MHz is outside band 40m (7.0 to 7.3 "
       "MHz)"},
  });
  // Without BAND the frequency must lie in some band.
  std::string base = Field("CALL", "W1AW") + Field("QSO_DATE", "20050102") +
                     Field("TIME_ON", "0915") + Field("MODE", "CW");
  EXPECT_EQ("", Lines(CheckAdif(base + Field("FREQ", "145.5") + "<EOR>")));
  EXPECT_EQ("", Lines(CheckAdif(base + Field("FREQ", "10368.1") + "<EOR>")));
  EXPECT_EQ("freq-outside-band FREQ: 14025 MHz is in no amateur band (kHz "
            "written as MHz?)\n",
            Lines(CheckAdif(base + Field("FREQ", "14025") + "<EOR>")));
  EXPECT_EQ("freq-outside-band FREQ: 99999999999999 MHz is in no amateur "
            "band\n",
            Lines(CheckAdif(base + Field("FREQ", "99999999999999") + "<EOR>")));
  EXPECT_EQ("freq-outside-band FREQ_RX: 7.1 MHz is outside band 20m (14.0 to "
            "14.35 MHz)\n",
            Lines(CheckAdif(base + Field("FREQ", "7.1") +
                            Field("BAND_RX", "20m") + Field("FREQ_RX", "7.1") +
                            "<EOR>")));
}

TEST(CheckAdif, ModesAndSubmodes) {
  ExpectFindings({
      {"MODE", "ssb", ""},
      {"MODE", "FT8", ""},
      {"MODE", "MFSK", ""},
      {"MODE", "FT4",
       "bad-mode MODE: \"FT4\" is a submode: write MODE MFSK, SUBMODE FT4"},
      {"MODE", "USB",
       "bad-mode MODE: \"USB\" is a submode: write MODE SSB, SUBMODE USB"},
      {"MODE", "psk31",
       "bad-mode MODE: \"psk31\" is a submode: write MODE PSK, SUBMODE PSK31"},
      {"MODE", "JS8",
       "bad-mode MODE: \"JS8\" is a submode: write MODE MFSK, SUBMODE JS8"},
      {"MODE", "C4FM",
       "bad-mode MODE: \"C4FM\" is a submode: write MODE DIGITALVOICE, "
       "SUBMODE C4FM"},
      {"MODE", "MFSK128L",
       "bad-mode MODE: \"MFSK128L\" is a submode: write MODE MFSK, SUBMODE "
       "MFSK128L"},
      {"MODE", "PHONE", "bad-mode MODE: \"PHONE\" is not a mode of ADIF 3.1.5"},
      {"SUBMODE", "USB", ""},
      {"SUBMODE", "my own", ""},
      {"SUBMODE", "FT4",
       "bad-submode SUBMODE: \"FT4\" is a submode of MFSK, not of SSB"},
  });
}

TEST(CheckAdif, QslFlags) {
  ExpectFindings({
      {"QSL_SENT", "Y", ""},
      {"QSL_SENT", "q", ""},
      {"QSL_SENT", "I", ""},
      {"QSL_RCVD", "V", ""},
      {"QSL_SENT", "V", "bad-qsl QSL_SENT: \"V\" is not one of Y, N, R, Q, I"},
      {"QSL_RCVD", "Q", "bad-qsl QSL_RCVD: \"Q\" is not one of Y, N, R, I, V"},
      {"QSL_SENT", "S", "bad-qsl QSL_SENT: \"S\" is not one of Y, N, R, Q, I"},
      {"QSL_RCVD", "YES",
       "bad-qsl QSL_RCVD: \"YES\" is not one of Y, N, R, I, V"},
  });
}

TEST(CheckAdif, BytesOutsidePrintableAscii) {
  ExpectFindings({
      {"NAME", "Jos\xE9 Mar\xED""a",
       "non-ascii NAME: 2 bytes outside printable ASCII, the first 0xE9 at "
       "position 4: .ADI files hold ASCII only"},
      {"NAME", "Jos\xC3\xA9",
       "non-ascii NAME: 2 bytes outside printable ASCII, the first 0xC3 at "
       "position 4: .ADI files hold ASCII only"},
      {"COMMENT", "a\tb",
       "non-ascii COMMENT: 1 byte outside printable ASCII, the first 0x09 at "
       "position 2: .ADI files hold ASCII only"},
      {"COMMENT", "line\r\nline",
       "non-ascii COMMENT: 2 bytes outside printable ASCII, the first 0x0D at "
       "position 5: .ADI files hold ASCII only"},
      {"NOTES", "line\r\nline", ""},
      {"ADDRESS", "Calle 1\r\nMadrid", ""},
      {"NOTES", "a\x7F",
       "non-ascii NOTES: 1 byte outside printable ASCII, the first 0x7F at "
       "position 2: .ADI files hold ASCII only"},
  });
}

TEST(CheckAdif, RecordsAndFilesWithoutContent) {
  EXPECT_EQ("empty-record -: <EOR> with no field\n",
            Lines(CheckAdif("<EOR>\r\n")));
  EXPECT_EQ("no-records -: the file holds no ADIF record\n",
            Lines(CheckAdif(AdifHeaderText(kEnglish))));
  EXPECT_EQ("no-records -: the file holds no ADIF record\n",
            Lines(CheckAdif("")));
}

TEST(CheckAdif, SyntaxProblemsComeFirstInTheirRecord) {
  CheckReport report = CheckAdif("text\r\n<CALL:4>W1AW <QSO_DATE:8>20050102 "
                                 "<TIME_ON:4>0915 <MODE:2>CW <BAND:3>40m");
  EXPECT_EQ("missing-eoh -: the file opens with text but has no <EOH>, so "
            "strict readers take all of it for header\n"
            "missing-eor -: the file ends before this record's <EOR>\n",
            Lines(report));
  EXPECT_EQ(0u, report.findings[0].record);
  EXPECT_EQ(1u, report.findings[1].record);
}

// The record lines this program writes for a small table, through the
// conversion itself.
std::string ConvertedLines() {
  const char* keywords[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND",
                            "FREQ", "MODE",     "QSL_SENT"};
  const int sizes[] = {8, 8, 5, 5, 9, 4, 1};
  std::vector<std::string> entries;
  for (int i = 0; i < 7; ++i)
    entries.push_back(
        ComposeFieldListEntry("F", i == 4 ? 'N' : 'C', sizes[i], 0,
                              keywords[i]));
  std::string bytes = std::string(" ") + "EA4ABC  " + "20050102" + "09:15" +
                      "40M  " + "    7.085" + "SSB " + "S" + " " +
                      "F6XYZ   " + "20050102" + "09:42" + "2M   " +
                      "  145.500" + "FM  " + "N";
  MemorySource in(bytes.data(), bytes.size());
  StringSink out;
  ConvertRecords(&in, &out, 2, PlanColumns(entries, kEnglish));
  return out.text;
}

TEST(CheckAdif, FilesWrittenByThisProgramAreClean) {
  std::string lines = ConvertedLines();
  ASSERT_NE(std::string::npos, lines.find("<FREQ:9>    7.085"));
  for (Language language : {kEnglish, kSpanish}) {
    CheckReport report = CheckAdif(AdifHeaderText(language) + lines);
    EXPECT_EQ(2u, report.record_count);
    EXPECT_EQ("", Lines(report));
  }
}

TEST(CheckAdif, FilesInTheStylesOfOtherProgramsAreClean) {
  const std::string files[] = {
      // Header fields, lower-case tags, type indicators, LF line ends.
      "Exported log\n<adif_ver:5>3.1.5\n<programid:5>Other\n<eoh>\n"
      "<call:5>G3ABC\n<qso_date:8:d>20240229\n<time_on:6>120000\n"
      "<mode:4>MFSK <submode:3>FT4\n<freq:8:n>14.08000\n<eor>\n",
      // No header at all, everything on one line.
      "<CALL:4>W1AW<QSO_DATE:8>20231231<TIME_ON:4>2359<MODE:3>SSB"
      "<SUBMODE:3>USB<BAND:3>20m<EOR>",
      // A header that opens with a field, a note spanning lines.
      "<ADIF_VER:5>3.1.4<EOH>\r\n<CALL:6>JA1XYZ <QSO_DATE:8>20050110 "
      "<TIME_ON:4>0755\r\n<BAND:3>15m <MODE:2>CW <NOTES:11>two\r\nlines "
      "<QSL_RCVD:1>V <EOR>\r\n",
  };
  for (const std::string& file : files)
    EXPECT_EQ("", Lines(CheckAdif(file))) << file;
}

TEST(CheckReportText, LinesAndSummary) {
  std::string file = RecordWith("MODE", "FT4") + RecordWith("CALL", "W1AW") +
                     "<EOR>\r\n" + RecordWith("CALL", nullptr) +
                     "<CALL:2>K1";
  CheckReport report = CheckAdif(file);
  EXPECT_EQ(
      "record 1: MODE: \"FT4\" is a submode: write MODE MFSK, SUBMODE FT4\n"
      "record 3: -: <EOR> with no field\n"
      "record 4: CALL: CALL is missing or blank\n"
      "record 5: -: the file ends before this record's <EOR>\n"
      "record 5: QSO_DATE: QSO_DATE is missing or blank\n"
      "record 5: TIME_ON: TIME_ON is missing or blank\n"
      "record 5: MODE: MODE is missing or blank\n"
      "record 5: BAND: neither BAND nor FREQ is given\n"
      "8 findings in 4 of 5 records: 5 missing-field, 1 bad-mode, "
      "1 empty-record, 1 missing-eor\n",
      FormatReport(report));
}

TEST(CheckReportText, SummaryCounts) {
  CheckReport report;
  report.record_count = 36;
  EXPECT_EQ("no findings in 36 records", SummaryLine(report));
  report.record_count = 1;
  EXPECT_EQ("no findings in 1 record", SummaryLine(report));
  Finding file_level;
  file_level.kind = FindingKind::kMissingEoh;
  report.findings.push_back(file_level);
  EXPECT_EQ("1 finding in 0 of 1 record: 1 missing-eoh", SummaryLine(report));
  EXPECT_EQ("file: : ", FormatFinding(file_level));
}

TEST(FindingKindName, EveryKindHasItsOwnName) {
  std::vector<std::string> names;
  for (int kind = 0; kind < kFindingKindCount; ++kind) {
    std::string name = FindingKindName(static_cast<FindingKind>(kind));
    EXPECT_FALSE(name.empty());
    for (const std::string& other : names) EXPECT_NE(other, name);
    names.push_back(name);
  }
  EXPECT_STREQ("missing-field", FindingKindName(FindingKind::kMissingField));
  EXPECT_STREQ("no-records", FindingKindName(FindingKind::kNoRecords));
}

class CheckCommandTest : public ::testing::Test {
 protected:
  // Runs the command on \a path; the text written to out and err is kept.
  int Run(const std::string& path) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    int code = RunCheckCommand(path, out, err);
    out_ = Contents(out);
    err_ = Contents(err);
    return code;
  }
  static std::string Contents(std::FILE* file) {
    std::string text;
    std::rewind(file);
    int c;
    while ((c = std::fgetc(file)) != EOF) text += static_cast<char>(c);
    std::fclose(file);
    return text;
  }
  TempDir dir_;
  std::string out_, err_;
};

TEST_F(CheckCommandTest, ExitCodesAndReport) {
  WriteFile(dir_ / "clean.adi", RecordWith("CALL", "W1AW"));
  EXPECT_EQ(0, Run(dir_ / "clean.adi"));
  EXPECT_EQ("no findings in 1 record\n", out_);
  EXPECT_EQ("", err_);

  std::string bad = RecordWith("BAND", "40");
  WriteFile(dir_ / "bad.adi", bad);
  EXPECT_EQ(1, Run(dir_ / "bad.adi"));
  EXPECT_EQ(FormatReport(CheckAdif(bad)), out_);
  EXPECT_EQ(bad, ReadFile(dir_ / "bad.adi"));
}

TEST_F(CheckCommandTest, UnreadableFilesAreNamed) {
  EXPECT_EQ(1, Run(dir_ / "missing.adi"));
  EXPECT_EQ("", out_);
  EXPECT_EQ("logweave: Cannot open " + (dir_ / "missing.adi") +
                ": No such file or directory\n",
            err_);
  EXPECT_EQ(1, Run(dir_.path().string()));
  EXPECT_EQ("logweave: Cannot open " + dir_.path().string() +
                ": not a regular file\n",
            err_);
}

}  // namespace
