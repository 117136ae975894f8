// Tests of the validation report: one table of cases per data type and
// kind of finding, files written by this program and by others, the XML
// form, the report's exact text in both languages, floods of one finding,
// and the check command's exit codes.

#include "adif/adif_check.h"
#include "adif/services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "convert/adif_header.h"
#include "convert/convert_records.h"
#include "mapping/column_plan.h"
#include "mapping/field_list.h"
#include "platform/byte_stream.h"
#include "standard/adif_standard.h"
#include "test_support.h"

namespace {

// A record that every service takes; cases change one field of it.
// clang-format off
const std::vector<std::pair<std::string, std::string>> kGoodRecord = {
    {"CALL", "EA4ABC"}, {"QSO_DATE", "20050102"}, {"TIME_ON", "0915"},
    {"BAND", "40m"},    {"FREQ", "7.085"},        {"MODE", "SSB"},
};
// clang-format on

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
std::string Lines(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& finding : findings)
    text += std::string(FindingKindName(finding.kind)) + " " + finding.field +
            ": " + finding.message + "\n";
  return text;
}

std::string Check(const std::string& text, CheckTotals* totals = nullptr) {
  std::vector<Finding> findings;
  CheckTotals counted = CheckAdifText(text, &findings);
  if (totals) *totals = counted;
  return Lines(findings);
}

struct ValueCase {
  const char* field;
  const char* data;     // null: the field is left out
  const char* finding;  // "" when the value is good
};

void ExpectFindings(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases)
    EXPECT_EQ(c.finding[0] ? std::string(c.finding) + "\n" : "",
              Check(RecordWith(c.field, c.data)))
        << c.field << "=" << (c.data ? c.data : "(none)");
}

TEST(CheckAdif, TheGoodRecordIsClean) {
  CheckTotals totals;
  EXPECT_EQ("", Check(RecordWith("CALL", "EA4ABC"), &totals));
  EXPECT_EQ(1u, totals.records);
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
            Check(neither));
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
       "bad-band BAND: \"40\" is not a band of ADIF 3.1.6 (40m?)"},
      {"BAND", "11m", "bad-band BAND: \"11m\" is not a band of ADIF 3.1.6"},
      {"BAND", "20m",
       "freq-outside-band FREQ: 7.085 MHz is outside band 20m (14.0 to 14.35 "
       "MHz)"},
      {"FREQ", "   7.085",
       "padded-number FREQ: \"   7.085\": blanks around a number; strict "
       "readers refuse the whole file (convert --fix removes them)"},
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
  EXPECT_EQ("", Check((base + Field("FREQ", "145.5") + "<EOR>")));
  EXPECT_EQ("", Check((base + Field("FREQ", "10368.1") + "<EOR>")));
  EXPECT_EQ("freq-outside-band FREQ: 14025 MHz is in no amateur band (kHz "
            "written as MHz?)\n",
            Check((base + Field("FREQ", "14025") + "<EOR>")));
  EXPECT_EQ("freq-outside-band FREQ: 99999999999999 MHz is in no amateur "
            "band\n",
            Check((base + Field("FREQ", "99999999999999") + "<EOR>")));
  EXPECT_EQ("freq-outside-band FREQ_RX: 7.1 MHz is outside band 20m (14.0 to "
            "14.35 MHz)\n",
            Check((base + Field("FREQ", "7.1") + Field("BAND_RX", "20m") +
                   Field("FREQ_RX", "7.1") + "<EOR>")));
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
       "import-only MODE: \"psk31\" is an import-only value of MODE: write "
       "MODE PSK, SUBMODE PSK31"},
      {"MODE", "FSK", ""},
      {"MODE", "MTONE", ""},
      {"MODE", "JS8",
       "bad-mode MODE: \"JS8\" is a submode: write MODE MFSK, SUBMODE JS8"},
      {"MODE", "C4FM",
       "import-only MODE: \"C4FM\" is an import-only value of MODE: write "
       "MODE DIGITALVOICE, SUBMODE C4FM"},
      {"MODE", "MFSK128L",
       "bad-mode MODE: \"MFSK128L\" is a submode: write MODE MFSK, SUBMODE "
       "MFSK128L"},
      {"MODE", "PHONE", "bad-mode MODE: \"PHONE\" is not a mode of ADIF 3.1.6"},
      {"SUBMODE", "USB", ""},
      {"SUBMODE", "my own",
       "bad-submode SUBMODE: \"my own\" is not a submode of ADIF 3.1.6"},
      {"SUBMODE", "FT4",
       "bad-submode SUBMODE: \"FT4\" is a submode of MFSK, not of SSB"},
  });
}

TEST(CheckAdif, QslFlags) {
  ExpectFindings({
      {"QSL_SENT", "Y", ""},
      {"QSL_SENT", "q", ""},
      {"LOTW_QSL_SENT", "I", ""},
      {"QSL_RCVD", "V",
       "import-only QSL_RCVD: \"V\" is an import-only value of QSL_RCVD: "
       "readers take it, but it is no longer written"},
      {"QSL_SENT", "V", "bad-qsl QSL_SENT: \"V\" is not one of I, N, Q, R, Y"},
      {"EQSL_QSL_RCVD", "Q",
       "bad-qsl EQSL_QSL_RCVD: \"Q\" is not one of I, N, R, V, Y"},
      {"QSL_RCVD", "YES",
       "bad-qsl QSL_RCVD: \"YES\" is not one of I, N, R, V, Y"},
  });
}

TEST(CheckAdif, Numbers) {
  ExpectFindings({
      {"TX_PWR", "100", ""},
      {"TX_PWR", "0.5", ""},
      {"ANT_EL", "-12.5", ""},
      {"TX_PWR", "100W", "bad-number TX_PWR: \"100W\" is not a number"},
      {"TX_PWR", "1.2.3", "bad-number TX_PWR: \"1.2.3\" is not a number"},
      {"TX_PWR", "1 00", "bad-number TX_PWR: \"1 00\" is not a number"},
      {"TX_PWR", "2,5",
       "bad-number TX_PWR: \"2,5\" is not a number (the decimal separator is "
       "a point)"},
      {"TX_PWR", "-5",
       "bad-number TX_PWR: \"-5\" is below 0, the smallest TX_PWR"},
      {"TX_PWR", " 100",
       "padded-number TX_PWR: \" 100\": blanks around a number; strict "
       "readers refuse the whole file (convert --fix removes them)"},
      {"CQZ", "01", ""},
      {"CQZ", "41", "bad-number CQZ: \"41\" is above 40, the largest CQZ"},
      {"CQZ", "0", "bad-number CQZ: \"0\" is below 1, the smallest CQZ"},
      {"CQZ", "-1", "bad-number CQZ: \"-1\" is not a positive integer"},
      {"K_INDEX", "4.5", "bad-number K_INDEX: \"4.5\" is not an integer"},
      {"SRX", "-3", "bad-number SRX: \"-3\" is below 0, the smallest SRX"},
  });
}

// Every range the standard gives, at and beyond its bounds.
TEST(CheckAdif, NumberRangesOfTheStandard) {
  int ranges = 0;
  for (int i = 0; i < kAdifFieldCount; ++i) {
    const AdifFieldDefinition& standard = kAdifFields[i];
    if (standard.header || (!standard.minimum && !standard.maximum)) continue;
    ++ranges;
    for (const char* bound : {standard.minimum, standard.maximum}) {
      if (!bound) continue;
      const bool low = bound == standard.minimum;
      const std::string beyond =
          std::to_string(std::stoll(bound) + (low ? -1 : 1));
      EXPECT_EQ("", Check(RecordWith(standard.name, bound))) << standard.name;
      std::string lines = Check(RecordWith(standard.name, beyond.c_str()));
      EXPECT_EQ(0u, lines.find(std::string("bad-number ") + standard.name))
          << standard.name << " " << beyond << ": " << lines;
    }
  }
  EXPECT_GT(ranges, 20);
}

TEST(CheckAdif, GridsLocationsAndBooleans) {
  ExpectFindings({
      {"GRIDSQUARE", "JN", ""},
      {"GRIDSQUARE", "jn10", ""},
      {"GRIDSQUARE", "JN10ax", ""},
      {"MY_GRIDSQUARE", "JN10AX37", ""},
      {"GRIDSQUARE", "JN5",
       "bad-grid GRIDSQUARE: \"JN5\" is not a Maidenhead locator of 2, 4, 6 "
       "or 8 characters (such as JN10, JN10ab or JN10ab12)"},
      {"GRIDSQUARE", "JS10",
       "bad-grid GRIDSQUARE: \"JS10\" is not a "
       "Maidenhead locator of 2, 4, 6 or 8 characters (such as JN10, JN10ab "
       "or JN10ab12)"},
      {"GRIDSQUARE", "JN10AY",
       "bad-grid GRIDSQUARE: \"JN10AY\" is not a "
       "Maidenhead locator of 2, 4, 6 or 8 characters (such as JN10, JN10ab "
       "or JN10ab12)"},
      {"VUCC_GRIDS", "EM98,FM08", ""},
      {"VUCC_GRIDS", "EM98,FM0",
       "bad-grid VUCC_GRIDS: \"FM0\" is not a "
       "Maidenhead locator of 2, 4, 6 or 8 characters (such as JN10, JN10ab "
       "or JN10ab12)"},
      {"GRIDSQUARE_EXT", "AX", ""},
      {"GRIDSQUARE_EXT", "AX12", ""},
      {"GRIDSQUARE_EXT", "A1",
       "bad-grid GRIDSQUARE_EXT: \"A1\" is not characters 9 and 10 (or 9 to "
       "12) of a locator: two letters A to X, then perhaps two digits"},
      {"LAT", "N040 30.500", ""},
      {"LON", "W003 41.999", ""},
      {"LAT", "E040 30.500",
       "bad-location LAT: \"E040 30.500\" is not a latitude written XDDD "
       "MM.MMM (N or S, degrees up to 90, minutes)"},
      {"LAT", "N091 00.000",
       "bad-location LAT: \"N091 00.000\" is not a latitude written XDDD "
       "MM.MMM (N or S, degrees up to 90, minutes)"},
      {"MY_LON", "E003 60.000",
       "bad-location MY_LON: \"E003 60.000\" is not a longitude written XDDD "
       "MM.MMM (E or W, degrees up to 180, minutes)"},
      {"SWL", "y", ""},
      {"QSO_RANDOM", "T", "bad-boolean QSO_RANDOM: \"T\" is neither Y nor N"},
  });
}

TEST(CheckAdif, Enumerations) {
  ExpectFindings({
      {"DXCC", "281", ""},
      {"DXCC", "999",
       "bad-enumeration DXCC: \"999\" is not a value of DXCC_Entity_Code in "
       "ADIF 3.1.6"},
      {"CONT", "eu", ""},
      {"CONT", "EUR",
       "bad-enumeration CONT: \"EUR\" is not one of AF, AN, AS, EU, NA, OC, SA"},
      {"PROP_MODE", "ES", ""},
      {"PROP_MODE", "E-SKIP",
       "bad-enumeration PROP_MODE: \"E-SKIP\" is not a value of "
       "Propagation_Mode in ADIF 3.1.6"},
      {"ANT_PATH", "X",
       "bad-enumeration ANT_PATH: \"X\" is not one of G, L, O, S"},
      {"QSL_SENT_VIA", "M",
       "import-only QSL_SENT_VIA: \"M\" is an import-only value of "
       "QSL_SENT_VIA: readers take it, but it is no longer written"},
      {"CLUBLOG_QSO_UPLOAD_STATUS", "X",
       "bad-enumeration CLUBLOG_QSO_UPLOAD_STATUS: \"X\" is not one of M, N, Y"},
      {"CREDIT_SUBMITTED", "IOTA,WAS:LOTW&CARD", ""},
      {"CREDIT_SUBMITTED", "WAS:FAX",
       "bad-enumeration CREDIT_SUBMITTED: \"FAX\" is not one of CARD, EQSL, LOTW"},
  });
  // Subdivisions are judged against their entity where the standard lists
  // that entity's; elsewhere any value goes.
  const std::string base =
      Field("CALL", "W1AW") + Field("QSO_DATE", "20050102") +
      Field("TIME_ON", "0915") + Field("MODE", "CW") + Field("BAND", "20m");
  EXPECT_EQ(
      "", Check(base + Field("STATE", "MA") + Field("DXCC", "291") + "<EOR>"));
  EXPECT_EQ("", Check(base + Field("STATE", "ZZ") + "<EOR>"));
  EXPECT_EQ(
      "", Check(base + Field("STATE", "ZZ") + Field("DXCC", "246") + "<EOR>"));
  EXPECT_EQ("bad-enumeration MY_STATE: \"ZZ\" is not a subdivision of DXCC "
            "entity 291 in ADIF 3.1.6\n",
            Check(base + Field("MY_STATE", "ZZ") + Field("DXCC", "1") +
                  Field("MY_DXCC", "291") + "<EOR>"));
}

TEST(CheckAdif, ReferencesAndLists) {
  ExpectFindings({
      {"IOTA", "EU-005", ""},
      {"IOTA", "EU-5",
       "bad-value IOTA: \"EU-5\" is not an IOTA reference "
       "(such as EU-005)"},
      {"SOTA_REF", "W2/WE-003", ""},
      {"SOTA_REF", "W2WE003",
       "bad-value SOTA_REF: \"W2WE003\" is not a SOTA "
       "reference (such as G/LD-003)"},
      {"POTA_REF", "K-5033,VE-5082@CA-AB", ""},
      {"POTA_REF", "K5033",
       "bad-value POTA_REF: \"K5033\" is not a POTA "
       "reference (such as K-5033 or VE-5082@CA-AB)"},
      {"WWFF_REF", "3DAFF-0002", ""},
      {"WWFF_REF", "KFF-46",
       "bad-value WWFF_REF: \"KFF-46\" is not a WWFF "
       "reference (such as KFF-4655)"},
      {"AWARD_SUBMITTED", "ADIF_CENTURY_BASIC,ARRL_DXCC", ""},
      {"USACA_COUNTIES", "MA,Franklin:MA,Hampshire", ""},
  });
}

TEST(CheckAdif, FieldNames) {
  ExpectFindings({
      {"APP_LOGGER_ID", "1", ""},
      {"MY_OWN", "1",
       "unknown-field MY_OWN: MY_OWN is not a field of ADIF "
       "3.1.6 (a program's own fields start with APP_)"},
      {"PROGRAMID", "x",
       "unknown-field PROGRAMID: PROGRAMID is a header "
       "field: it has no place in a record"},
      {"EOR", "",
       "bad-tag EOR: <EOR:0> is not a field: EOR and EOH end a "
       "record or the header and carry no value"},
      {"VE_PROV", "ON",
       "import-only VE_PROV: VE_PROV is an import-only field "
       "of ADIF 3.1.6: readers take it, but it is no longer written"},
      {"NAME_INTL", "Jos\xC3\xA9",
       "intl-field NAME_INTL: NAME_INTL is of an "
       "international type, which is for .ADX files: .ADI files hold none"},
  });
  // Fields the header declares are the file's own.
  EXPECT_EQ("", Check("x<USERDEF1:3:N>EPC<USERDEF2:12:E>SIZE,{S,M,L}<EOH>" +
                      RecordWith("EPC", "1")));
}

TEST(CheckAdif, BytesOutsidePrintableAscii) {
  ExpectFindings({
      {"NAME",
       "Jos\xE9 Mar\xED"
       "a",
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
  EXPECT_EQ("empty-record -: <EOR> with no field\n", Check(("<EOR>\r\n")));
  EXPECT_EQ("no-records -: the file holds no ADIF record\n",
            Check((AdifHeaderText(kEnglish))));
  EXPECT_EQ("no-records -: the file holds no ADIF record\n", Check(("")));
}

TEST(CheckAdif, SyntaxProblemsComeFirstInTheirRecord) {
  std::vector<Finding> findings;
  CheckAdifText("text\r\n<CALL:4>W1AW <QSO_DATE:8>20050102 "
                "<TIME_ON:4>0915 <MODE:2>CW <BAND:3>40m",
                &findings);
  EXPECT_EQ("missing-eoh -: the file opens with text but has no <EOH>, so "
            "strict readers take all of it for header\n"
            "missing-eor -: the file ends before this record's <EOR>\n",
            Lines(findings));
  EXPECT_EQ(0u, findings[0].record);
  EXPECT_EQ(1u, findings[1].record);
}

// The record lines this program writes for a small table, through the
// conversion itself.
std::string ConvertedLines() {
  const char* keywords[] = {"CALL", "QSO_DATE", "TIME_ON", "BAND",
                            "FREQ", "MODE",     "QSL_SENT"};
  const int sizes[] = {8, 8, 5, 5, 9, 4, 1};
  std::vector<std::string> entries;
  for (int i = 0; i < 7; ++i)
    entries.push_back(ComposeFieldListEntry("F", i == 4 ? 'N' : 'C', sizes[i],
                                            0, keywords[i]));
  std::string bytes = std::string(" ") + "EA4ABC  " + "20050102" + "09:15" +
                      "40M  " + "    7.085" + "SSB " + "S" + " " + "F6XYZ   " +
                      "20050102" + "09:42" + "2M   " + "  145.500" + "FM  " +
                      "N";
  MemorySource in(bytes.data(), bytes.size());
  StringSink out;
  ConvertRecords(&in, &out, 2, PlanColumns(entries, kEnglish));
  return out.text;
}

// The numbers of a plain conversion are right-aligned: strict readers
// refuse them, and nothing else is wrong.
TEST(CheckAdif, FilesWrittenByThisProgramHaveOnlyPaddedNumbers) {
  std::string lines = ConvertedLines();
  ASSERT_NE(std::string::npos, lines.find("<FREQ:9>    7.085"));
  for (Language language : {kEnglish, kSpanish}) {
    CheckTotals totals;
    Check(AdifHeaderText(language) + lines, &totals);
    EXPECT_EQ(2u, totals.records);
    EXPECT_EQ(2u, totals.findings());
    EXPECT_EQ(2u, totals.by_kind[static_cast<int>(FindingKind::kPaddedNumber)]);
  }
}

// Fragments of real files, as services and loggers write them: none gives a
// finding, by the standard's rules or, where marked, by LoTW's.
TEST(CheckAdif, RealFilesAreClean) {
  const std::string lotw_header =
      "ARRL Logbook of the World Status Report\n"
      "Generated at 2024-03-01 10:00:00\nfor W1ABC\nQuery:\n"
      "    QSL ONLY: YES\n<PROGRAMID:4>LoTW\n"
      "<APP_LoTW_LASTQSL:19>2024-02-28 21:02:11 // Last QSL record\n"
      "<APP_LoTW_NUMREC:1>2\n\n<eoh>\n\n";
  const std::string lotw_record =
      "<APP_LoTW_OWNCALL:5>W1ABC\n<STATION_CALLSIGN:5>W1ABC\n"
      "<CALL:5>K1XYZ\n<BAND:3>20M\n<FREQ:8>14.07400\n<MODE:3>FT8\n"
      "<APP_LoTW_MODEGROUP:4>DATA\n<QSO_DATE:8>20230101 // QSO Date\n"
      "<TIME_ON:6>120000 // QSO Start time\n"
      "<APP_LoTW_QSO_TIMESTAMP:20>2023-01-01T12:00:00Z // QSO Date & Time; "
      "ISO-8601\n<QSL_RCVD:1>Y\n<QSLRDATE:8>20230102 // QSL Received Date\n"
      "<DXCC:3>291\n<COUNTRY:24>UNITED STATES OF AMERICA\n"
      "<APP_LoTW_DXCC_ENTITY_STATUS:7>Current\n<PFX:2>K1\n"
      "<STATE:2>MA // Massachusetts\n<CNTY:12>MA,MIDDLESEX // Middlesex\n"
      "<CQZ:2>05 // CQ Zone\n<ITUZ:2>08 // ITU Zone\n<eor>\n\n";
  // The standard's own test QSOs (ADIF 3.1.6): fields the header declares
  // with each type, an application's typed fields, lines in multiline ones.
  const std::string standard_header =
      " <ADIF_VER:5>3.1.6\r\n<CREATED_TIMESTAMP:15>20250827 162624\r\n"
      "<PROGRAMID:19>CreateADIFTestFiles\r\n<PROGRAMVERSION:7>3.1.6.1\r\n"
      "<USERDEF1:20:B>RCVD_FROM_DX_CLUSTER\r\n"
      "<USERDEF2:32:E>MY_POWER_CATEGORY,{QRPP,QRP,QRO}\r\n"
      "<USERDEF3:35:N>MY_TEMPERATURE_FAHRENHEIT,{-50:150}\r\n"
      "<USERDEF4:18:N>MY_HEIGHT_ASL_FEET\r\n"
      "<USERDEF5:21:D>NEXT_QSL_POSTING_DATE\r\n"
      "<USERDEF6:21:T>NEXT_QSL_POSTING_TIME\r\n<USERDEF7:6:S>MY_AMP\r\n"
      "<USERDEF9:14:M>QSO_TRANSCRIPT\r\n"
      "<USERDEF11:18:L>REMOTE_STATION_LAT\r\n<EOH>\r\n\r\n";
  const std::string standard_records =
      "<REMOTE_STATION_LAT:11>S018 28.430\r\n"
      "<QSO_TRANSCRIPT:39>NAME FRED\r\nQTH ALENCON\r\n73 ES GOOD DX\r\n"
      "<MY_AMP:4>1 KW\r\n<NEXT_QSL_POSTING_TIME:4>1500\r\n"
      "<NEXT_QSL_POSTING_DATE:8>20231101\r\n<my_height_asl_feet:5>150.5\r\n"
      "<My_Temperature_Fahrenheit:2>66\r\n<mY_poweR_categorY:4>QrpP\r\n"
      "<RCVD_FROM_DX_CLUSTER:1>N\r\n<QSO_DATE:8>20250627\r\n"
      "<TIME_ON:6>000000\r\n<TIME_OFF:6>000437\r\n<CALL:6>VE3AAA\r\n"
      "<BAND:3>20m\r\n<FREQ:5>14.05\r\n<MODE:3>SSB\r\n<EOR>\r\n\r\n"
      "<APP_CreateADIFTestFiles_USING_YAGI:1:B>Y\r\n"
      "<APP_CreateADIFTestFiles_WORDS_PER_MINUTE:2:N>18\r\n"
      "<APP_CreateADIFTestFiles_NEXT_SKED_DATE:8:D>20180101\r\n"
      "<APP_CreateADIFTestFiles_NEXT_SKED_TIME_OFF:6:T>223000\r\n"
      "<APP_CreateADIFTestFiles_MY_OS:18:S>Ubuntu 18.04.4 LTS\r\n"
      "<APP_CreateADIFTestFiles_WX:27:M>Cloud scattered\r\nLight rain\r\n"
      "<APP_CreateADIFTestFiles_NEXT_LAT:11:L>S018 28.430\r\n"
      "<MODE:2>CW\r\n<QSO_DATE:8>20250627\r\n<TIME_ON:6>000543\r\n"
      "<CALL:6>4Z6AAA\r\n<BAND:3>20m\r\n<FREQ:8>14.08703\r\n<EOR>\r\n";
  const struct {
    const char* title;
    std::string file;
    bool for_lotw;
    // clang-format off
  } cases[] = {
      {"a LoTW download", lotw_header + lotw_record + lotw_record +
                              "<APP_LoTW_EOF>\n", true},
      {"the standard's test QSOs", standard_header + standard_records, false},
      {"WSJT-X",
       "WSJT-X ADIF Export<eoh>\n<call:5>K1ABC <gridsquare:4>FN42 <mode:3>FT8 "
       "<rst_sent:3>-15 <rst_rcvd:3>-12 <qso_date:8>20230101 "
       "<time_on:6>120000 <qso_date_off:8>20230101 <time_off:6>120100 "
       "<band:3>20m <freq:9>14.075123 <station_callsign:5>W1ABC "
       "<my_gridsquare:6>FN42ab <tx_pwr:3>100 <comment:0> <name:0> "
       "<operator:5>W1ABC <eor>\n"
       "<call:5>K1ABC <gridsquare:0> <mode:4>MFSK <submode:3>FT4 "
       "<rst_sent:3>+05 <rst_rcvd:3>-01 <qso_date:8>20230101 "
       "<time_on:6>120500 <band:3>20m <freq:9>14.080321 <eor>\n",
       true},
      {"lower-case tags and type indicators",
       "Exported log\n<adif_ver:5>3.1.5\n<programid:5>Other\n<eoh>\n"
       "<call:5:s>G3ABC\n<qso_date:8:d>20240229\n<time_on:6:t>120000\n"
       "<mode:4:e>MFSK <submode:3>FT4\n<freq:8:n>14.08000\n<band:3:E>20M "
       "<swl:1:b>N <lat:11:L>N051 30.000 <notes:10:M>two\r\nlines<eor>\n",
       true},
      {"no header, one line",
       "<CALL:4>W1AW<QSO_DATE:8>20231231<TIME_ON:4>2359<MODE:3>SSB"
       "<SUBMODE:3>USB<BAND:3>20m<EOR>",
       true},
      {"a header that opens with a field, a note spanning lines",
       "<ADIF_VER:5>3.1.4<EOH>\r\n<CALL:6>JA1XYZ <QSO_DATE:8>20050110 "
       "<TIME_ON:4>0755\r\n<BAND:3>15m <MODE:2>CW <NOTES:11>two\r\nlines "
       "<QSL_RCVD:1>Y <EOR>\r\n",
       true},
      {"the XML form with the file's own fields",
       "<?xml version=\"1.0\"?>\n<ADX><HEADER><USERDEF FIELDID=\"1\" "
       "TYPE=\"E\" ENUM=\"{S,M,L}\">SIZE</USERDEF><USERDEF FIELDID=\"2\" "
       "TYPE=\"I\">NOTE_INTL2</USERDEF></HEADER><RECORDS><RECORD>"
       "<CALL>W1AW</CALL><QSO_DATE>20240101</QSO_DATE><TIME_ON>1200</TIME_ON>"
       "<BAND>20m</BAND><MODE>CW</MODE><USERDEF FIELDNAME=\"SIZE\">m</USERDEF>"
       "<USERDEF FIELDNAME=\"NOTE_INTL2\">Jos\xC3\xA9</USERDEF>"
       "<APP PROGRAMID=\"X\" FIELDNAME=\"NAME\" TYPE=\"G\">Jos\xC3\xA9\r\nMar"
       "\xC3\xAD""a</APP></RECORD></RECORDS></ADX>",
       false},
  };
  // clang-format on
  CheckOptions lotw;
  lotw.service = FindCheckService("lotw");
  for (const auto& c : cases) {
    std::vector<Finding> findings;
    CheckAdifText(c.file, &findings);
    EXPECT_EQ("", Lines(findings)) << c.title;
    if (!c.for_lotw) continue;
    findings.clear();
    CheckAdifText(c.file, &findings, lotw);
    EXPECT_EQ("", Lines(findings)) << c.title << ", for LoTW";
  }
}

// Faults planted in otherwise good files, each with every finding it must
// give and the level of the first.
TEST(CheckAdif, PlantedFaultsAreFoundAtTheirLevels) {
  const std::string good = RecordWith("CALL", "W1AW");
  const std::string body = good.substr(0, good.size() - 7);
  std::string many;  // more fields than a part holds
  for (int i = 0; i < 1100; ++i)
    many += "<APP_X_" + std::to_string(i) + ":1>a ";
  const struct {
    const char* title;
    std::string file;
    FindingLevel level;
    const char* findings;  // "kind FIELD" of each, in order
    // clang-format off
  } cases[] = {
      {"a type indicator unfit for its field",
       RecordWith("QSO_DATE", "20240101").replace(0, 0, "<QSO_DATE:8:T>20240101 "),
       FindingLevel::kError, "bad-type QSO_DATE"},
      {"an unknown type indicator", "<CALL:4:X>W1AW " + good.substr(11),
       FindingLevel::kError, "bad-type CALL"},
      {"blanks around a date", RecordWith("QSO_DATE", " 20240101"),
       FindingLevel::kError, "padded-number QSO_DATE"},
      {"blanks around a time", RecordWith("TIME_ON", "1200 "),
       FindingLevel::kError, "padded-number TIME_ON"},
      {"a declared enumeration's value",
       "<USERDEF1:12:E>SIZE,{S,M,L}<EOH>" + RecordWith("SIZE", "XL"),
       FindingLevel::kError, "bad-enumeration SIZE"},
      {"a declared range",
       "<USERDEF1:11:N>SHOE,{5:20}<EOH>" + RecordWith("SHOE", "21"),
       FindingLevel::kError, "bad-number SHOE"},
      {"a declared Number", "<USERDEF1:4:N>SHOE<EOH>" + RecordWith("SHOE", "x"),
       FindingLevel::kError, "bad-number SHOE"},
      {"an application's typed Date", RecordWith("APP_X_NEXT", "20241301"),
       FindingLevel::kError, ""},
      {"an application's Date", "<APP_X_NEXT:8:D>20241301 " + good,
       FindingLevel::kError, "bad-date APP_X_NEXT"},
      {"an application's String with a line end",
       "<APP_X_WX:3:S>a\r\n " + good, FindingLevel::kError,
       "non-ascii APP_X_WX"},
      {"an international type in the tagged form", "<APP_X_N:1:I>a " + good,
       FindingLevel::kWarning, "intl-field APP_X_N"},
      {"a USERDEF named like a field of the standard",
       "<USERDEF1:4:S>CALL<EOH>" + good, FindingLevel::kError, "bad-header USERDEF1"},
      {"a USERDEF's malformed range", "<USERDEF1:10:N>SHOE,{5-9}<EOH>" + good,
       FindingLevel::kError, "bad-header USERDEF1"},
      {"an unknown header field", "<ADIF_VERS:5>3.1.0<EOH>" + good,
       FindingLevel::kWarning, "unknown-field ADIF_VERS"},
      {"a record field in the header", "<CALL:4>W1AW<EOH>" + good,
       FindingLevel::kWarning, "unknown-field CALL"},
      {"a length written with zeros in front", "<CALL:04>W1AW " + good.substr(11),
       FindingLevel::kWarning, "import-only CALL"},
      {"a field twice with two values", good.substr(0, good.size() - 7) +
                                            "<CALL:4>K1AB <EOR>",
       FindingLevel::kError, "repeated-field CALL"},
      {"a field twice with one value", good.substr(0, good.size() - 7) +
                                           "<CALL:4>W1AW <EOR>",
       FindingLevel::kError, ""},
      {"a bad value under the names of the record before",
       good + RecordWith("QSO_DATE", "20241301"), FindingLevel::kError,
       "bad-date QSO_DATE"},
      {"faults under the names of the record before, in another order",
       good + "<MODE:3>SSB <FREQ:6> 7.085 <TIME_ON:4>0915 <BAND:3>40m "
              "<QSO_DATE:8>20051302 <CALL:6>EA4ABC <EOR>",
       FindingLevel::kError, "padded-number FREQ, bad-date QSO_DATE"},
      {"faults of many kinds out of order, then in an order met before",
       good + "<MODE:3>SSB <FREQ:5>7.085 <TIME_ON:4>0915 <BAND:3>40m "
              "<QSO_DATE:8>20051102 <CALL:6>EA4ABC <EOR>"
              "<CALL:06>EA4ABC <QSO_DATE:8>20051302 <TIME_ON:4:D>0915 "
              "<BAND:3>40m <FREQ:6> 7.085 <MODE:4>SSBX <EOR>"
              "<MODE:3>SSB <FREQ:5>7.085 <TIME_ON:4>2415 <BAND:3>40m "
              "<QSO_DATE:8>20051102 <CALL:6>EA4ABC <EOR>",
       FindingLevel::kWarning,
       "import-only CALL, bad-date QSO_DATE, bad-type TIME_ON, "
       "padded-number FREQ, bad-mode MODE, bad-time TIME_ON"},
      {"a field twice, in two parts of a record, names met before",
       body + many + "<EOR>\n" + body + many + "<CALL:4>K1AB <EOR>",
       FindingLevel::kError, "repeated-field CALL"},
      {"a field twice in two letter cases",
       good.substr(0, good.size() - 7) + "<call:4>K1AB <EOR>",
       FindingLevel::kError, "repeated-field CALL"},
      {"names that differ in a byte that is no letter",
       "<A@B:1>1 <A`B:1>2 " + good, FindingLevel::kWarning,
       "unknown-field A@B, unknown-field A`B"},
      {"an import-only STATE",
       RecordWith("STATE", "DF").replace(0, 0, "<DXCC:2>50 "),
       FindingLevel::kWarning, "import-only STATE"},
      {"an import-only CONTEST_ID", RecordWith("CONTEST_ID", "RAC"),
       FindingLevel::kWarning, "import-only CONTEST_ID"},
      {"a CONTEST_ID of no list", RecordWith("CONTEST_ID", "MY-CONTEST"),
       FindingLevel::kWarning, ""},
      {"a CNTY_ALT of no list", RecordWith("CNTY_ALT", "NZ_Regions:Nowhere"),
       FindingLevel::kError, "bad-enumeration CNTY_ALT"},
      {"a CNTY_ALT of the list",
       RecordWith("CNTY_ALT", "NZ_Regions:Hawkes Bay/Wairoa"),
       FindingLevel::kError, ""},
      {"text glued to a value", "<CALL:4>W1AWX " + good.substr(11),
       FindingLevel::kWarning, "text-after-value CALL"},
      {"a comment after a value", "<CALL:4>W1AW // home " + good.substr(11),
       FindingLevel::kWarning, ""},
      {"the XML form: UTF-8 in a String of the file's own",
       "<ADX><HEADER><USERDEF FIELDID=\"1\" TYPE=\"S\">OWN</USERDEF></HEADER>"
       "<RECORDS><RECORD><CALL>W1AW</CALL><QSO_DATE>20240101</QSO_DATE>"
       "<TIME_ON>1200</TIME_ON><BAND>20m</BAND><MODE>CW</MODE>"
       "<USERDEF FIELDNAME=\"OWN\">\xC3\xA9</USERDEF></RECORD></RECORDS></ADX>",
       FindingLevel::kError, "non-ascii OWN"},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::vector<Finding> findings;
    CheckAdifText(c.file, &findings);
    std::string kinds;
    for (const Finding& finding : findings)
      kinds += std::string(kinds.empty() ? "" : ", ") +
               FindingKindName(finding.kind) + " " + finding.field;
    EXPECT_EQ(c.findings, kinds) << c.title << "\n" << Lines(findings);
    if (!findings.empty()) {
      EXPECT_EQ(c.level, LevelOf(findings[0].kind)) << c.title;
    }
  }
}

// What LoTW's client refuses or drops, with --for lotw (and not without).
TEST(CheckAdif, WhatLotwRefusesIsFoundForLotw) {
  const std::string good = RecordWith("CALL", "W1AW");
  const struct {
    const char* title;
    std::string file;
    const char* findings;  // "kind FIELD" of the service's findings
    // clang-format off
  } cases[] = {
      {"not an amateur call", RecordWith("CALL", "W1"), "service-refuses CALL"},
      {"before any certificate", RecordWith("QSO_DATE", "19451031"),
       "service-refuses QSO_DATE"},
      {"the first day it takes", RecordWith("QSO_DATE", "19451101"), ""},
      {"a satellite without its name", RecordWith("PROP_MODE", "SAT"),
       "service-refuses SAT_NAME"},
      {"a satellite's name without SAT", RecordWith("SAT_NAME", "AO-7"),
       "service-refuses PROP_MODE"},
      {"a satellite it knows",
       "<PROP_MODE:3>SAT " + RecordWith("SAT_NAME", "AO-7"), ""},
      {"a satellite it does not know",
       "<PROP_MODE:3>SAT " + RecordWith("SAT_NAME", "XX-1"),
       "service-refuses SAT_NAME"},
      {"a padded band longer than it reads", RecordWith("BAND", "40m    "),
       "service-refuses BAND"},
      {"a band it does not know", RecordWith("BAND", "5m"),
       "service-refuses BAND"},
      {"a mode it does not know", RecordWith("MODE", "DYNAMIC"),
       "service-refuses MODE"},
      {"a propagation mode in small letters", RecordWith("PROP_MODE", "es"),
       "service-refuses PROP_MODE"},
      {"a frequency outside its band", RecordWith("FREQ", "7.301"),
       "service-drops FREQ"},
      {"a type indicator it takes not", "<APP_X_Y:1:I>x " + good,
       "service-refuses APP_X_Y"},
      {"no <EOR> after the last record", good.substr(0, good.size() - 7),
       "service-refuses -"},
      {"an empty record", "<EOR>", "service-refuses -"},
      {"the XML form",
       "<ADX><RECORDS><RECORD><CALL>W1AW</CALL></RECORD></RECORDS></ADX>",
       "service-refuses -"},
  };
  // clang-format on
  CheckOptions lotw;
  lotw.service = FindCheckService("LoTW");
  ASSERT_NE(nullptr, lotw.service);
  for (const auto& c : cases) {
    std::vector<Finding> findings;
    CheckAdifText(c.file, &findings, lotw);
    std::string kinds;
    for (const Finding& finding : findings) {
      if (finding.kind != FindingKind::kServiceRefuses &&
          finding.kind != FindingKind::kServiceDrops)
        continue;
      kinds += std::string(kinds.empty() ? "" : ", ") +
               FindingKindName(finding.kind) + " " + finding.field;
    }
    EXPECT_EQ(c.findings, kinds) << c.title << "\n" << Lines(findings);
    findings.clear();
    CheckAdifText(c.file, &findings);
    for (const Finding& finding : findings)
      EXPECT_NE(FindingKind::kServiceRefuses, finding.kind) << c.title;
  }
  EXPECT_EQ(nullptr, FindCheckService("eqsl"));
}

// The XML form gives the findings of the same records in the tagged form.
TEST(CheckAdif, TheXmlFormGivesTheSameFindings) {
  struct XmlCase {
    std::string adx;
    std::string findings;
    // clang-format off
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX>\n<HEADER>"
       "<ADIF_VER>3.1.6</ADIF_VER><USERDEF FIELDID=\"1\" TYPE=\"N\">EPC"
       "</USERDEF></HEADER>\n<RECORDS>\n<RECORD><CALL>EA4ABC</CALL>"
       "<QSO_DATE>20050102</QSO_DATE><TIME_ON>0915</TIME_ON><BAND>40m</BAND>"
       "<FREQ>7.085</FREQ><MODE>SSB</MODE><NAME_INTL>Jos\xC3\xA9</NAME_INTL>"
       "<APP PROGRAMID=\"X\" FIELDNAME=\"Y\" TYPE=\"S\">z</APP>"
       "<USERDEF FIELDNAME=\"EPC\">3</USERDEF><!-- a note -->"
       "<COMMENT><![CDATA[a <b> & c]]> &amp; &#100;</COMMENT></RECORD>\n"
       "</RECORDS>\n</ADX>\n",
       ""},
      {"<ADX><RECORDS><RECORD>" + std::string(
           "<CALL>W1AW</CALL><QSO_DATE>20050230</QSO_DATE><TIME_ON>0915"
           "</TIME_ON><MODE>FT4</MODE><FREQ> 7.085</FREQ><NAME>Jos\xC3\xA9"
           "</NAME></RECORD><RECORD></RECORD></RECORDS></ADX>"),
       Check(Field("CALL", "W1AW") + Field("QSO_DATE", "20050230") +
             Field("TIME_ON", "0915") + Field("MODE", "FT4") +
             Field("FREQ", " 7.085") + Field("NAME", "Jos\xC3\xA9") +
             "<EOR><EOR>")},
      {"<ADX><RECORDS><RECORD><CALL>W1AW</CALL><BAND>4 & 0m</BAND>"
       "<NAME_INTL>\xE9</NAME_INTL></RECORD><RECORD><CALL>K1</QSO_DATE>"
       "<MODE>CW</MODE>",
       "bad-xml BAND: \"&\" is not an XML entity (write &amp; for &)\n"
       "bad-band BAND: \"4 & 0m\" is not a band of ADIF 3.1.6\n"
       "non-ascii NAME_INTL: \"\\xE9\" is not valid UTF-8\n"
       "missing-field QSO_DATE: QSO_DATE is missing or blank\n"
       "missing-field TIME_ON: TIME_ON is missing or blank\n"
       "missing-field MODE: MODE is missing or blank\n"
       // The unclosed CALL takes in the rest.
       "bad-xml CALL: end tag \"</QSO_DATE>\" closes no open element\n"
       "bad-xml CALL: element \"<MODE>\" is out of place\n"
       "bad-xml CALL: end tag \"</MODE>\" closes no open element\n"
       "missing-eor -: the file ends before this record's </RECORD>\n"
       "missing-field QSO_DATE: QSO_DATE is missing or blank\n"
       "missing-field TIME_ON: TIME_ON is missing or blank\n"
       "missing-field MODE: MODE is missing or blank\n"
       "missing-field BAND: neither BAND nor FREQ is given\n"
       "bad-xml -: the file ends before </ADX>\n"},
  };
  // clang-format on
  for (const XmlCase& c : cases) {
    std::string findings = Check(c.adx);
    std::string tagged_words = c.findings;
    for (std::size_t at = tagged_words.find(".ADI files hold ASCII only");
         at != std::string::npos; at = tagged_words.find(".ADI files", at))
      tagged_words.replace(
          at, 26,
          "in .ADX only fields of an international type hold other characters");
    EXPECT_EQ(tagged_words, findings) << c.adx;
  }
}

TEST(CheckReportText, LinesHiddenLinesSummaryAndCounts) {
  std::string file = RecordWith("MODE", "FT4") + RecordWith("CALL", "W1AW") +
                     "<EOR>\r\n" + RecordWith("CALL", nullptr) +
                     RecordWith("QSO_DATE", "2005") + "<CALL:2>K1";
  std::vector<Finding> findings;
  CheckOptions options;
  options.shown_per_kind = 2;
  CheckTotals totals = CheckAdifText(file, &findings, options);
  std::string text;
  for (const Finding& finding : findings)
    text += FormatFinding(finding, kEnglish) + "\n";
  for (const std::string& line : HiddenLines(totals, kEnglish))
    text += line + "\n";
  EXPECT_EQ(
      "record 1: MODE: error: \"FT4\" is a submode: write MODE MFSK, SUBMODE FT4\n"
      "record 3: -: warning: <EOR> with no field\n"
      "record 4: CALL: error: CALL is missing or blank\n"
      "record 5: QSO_DATE: error: \"2005\" is not a date written YYYYMMDD\n"
      "record 6: -: error: the file ends before this record's <EOR>\n"
      "record 6: QSO_DATE: error: QSO_DATE is missing or blank\n"
      "... and 3 more missing-field findings\n",
      text);
  EXPECT_EQ("9 findings in 5 of 6 records: 5 missing-field, 1 bad-date, "
            "1 bad-mode, 1 empty-record, 1 missing-eor",
            SummaryLine(totals, kEnglish));
  EXPECT_EQ("8 errors, 1 warning", LevelCountsLine(totals, kEnglish));
  EXPECT_EQ("9 hallazgos en 5 de 6 registros: 5 missing-field, 1 bad-date, "
            "1 bad-mode, 1 empty-record, 1 missing-eor",
            SummaryLine(totals, kSpanish));
  EXPECT_EQ("8 errores, 1 aviso", LevelCountsLine(totals, kSpanish));
  findings.clear();
  CheckAdifText(file, &findings, {kSpanish, 0});
  EXPECT_EQ("registro 3: -: aviso: <EOR> sin ning\xFAn campo",
            FormatFinding(findings[1], kSpanish));
}

// Whatever a file names its fields, each finding is one line of printable
// ASCII: no line of the file's choosing reaches the report.
TEST(CheckReportText, NamesFromTheFileAreShownEscaped) {
  const std::string forged = "record 9: X: error: forged";
  const std::string files[] = {
      "<ADX><RECORDS><RECORD><USERDEF FIELDNAME=\"A\n" + forged +
          "\">x</USERDEF></RECORD></RECORDS></ADX>",
      "<ADX><RECORDS><RECORD><USERDEF FIELDNAME=\"A&#10;" + forged +
          "\">x</USERDEF></RECORD></RECORDS></ADX>",
      "<ADX><RECORDS><RECORD><APP PROGRAMID=\"\x85\" FIELDNAME=\"&#x9B;\">x"
      "</APP><\xC2\x85X>1</\xC2\x85X><\x9BX>1</\x9BX></RECORD></RECORDS></ADX>",
  };
  for (const std::string& file : files) {
    std::vector<Finding> findings;
    CheckAdifText(file, &findings);
    ASSERT_FALSE(findings.empty());
    for (const Finding& finding : findings) {
      for (Language language : {kEnglish, kSpanish}) {
        const std::string line = FormatFinding(finding, language);
        for (char c : line)
          EXPECT_TRUE(
              (c >= 0x20 && c < 0x7F) ||
              (language == kSpanish && static_cast<unsigned char>(c) >= 0xA0))
              << line;
        EXPECT_EQ(std::string::npos, line.find('\n')) << line;
      }
    }
  }
}

TEST(CheckReportText, SummaryCountsAndGroupedNumbers) {
  CheckTotals totals;
  totals.records = 36;
  EXPECT_EQ("no findings in 36 records", SummaryLine(totals, kEnglish));
  EXPECT_EQ("0 errors, 0 warnings", LevelCountsLine(totals, kEnglish));
  totals.records = 1;
  EXPECT_EQ("ning\xFAn hallazgo en 1 registro", SummaryLine(totals, kSpanish));
  totals.hidden_by_kind[static_cast<int>(FindingKind::kBadTag)] = 2345678;
  totals.hidden_by_kind[static_cast<int>(FindingKind::kNoRecords)] = 1;
  EXPECT_EQ((std::vector<std::string>{"... and 2,345,678 more bad-tag findings",
                                      "... and 1 more no-records finding"}),
            HiddenLines(totals, kEnglish));
  EXPECT_EQ("... y 2.345.678 hallazgos bad-tag m\xE1s",
            HiddenLines(totals, kSpanish)[0]);
}

// A flood of one finding is counted, not kept: a hundred are shown.
TEST(CheckAdif, AFloodIsCountedAndOnlyItsFirstFindingsShown) {
  std::string flood;
  for (int i = 0; i < 100000; ++i) flood += "<A";
  std::vector<Finding> findings;
  CheckTotals totals = CheckAdifText(flood, &findings);
  EXPECT_EQ(101u, findings.size());  // and the missing <EOR>
  EXPECT_EQ(1u, totals.records);
  EXPECT_EQ(1u, totals.records_with_findings);
  EXPECT_EQ(100000u, totals.by_kind[static_cast<int>(FindingKind::kBadTag)]);
  EXPECT_EQ(99900u,
            totals.hidden_by_kind[static_cast<int>(FindingKind::kBadTag)]);
  findings.clear();
  CheckAdifText(flood, &findings, {kEnglish, 0});
  EXPECT_EQ(100001u, findings.size());
}

// "record N: FIELD: level: message" of every finding, then the counts.
std::string Report(const std::string& text, std::uint64_t halves_from) {
  std::vector<Finding> findings;
  CheckOptions options;
  options.halves_from = halves_from;
  CheckTotals totals = CheckAdifText(text, &findings, options);
  std::string report;
  for (const Finding& finding : findings)
    report += FormatFinding(finding, kEnglish) + "\n";
  for (const std::string& line : HiddenLines(totals, kEnglish))
    report += line + "\n";
  return report + SummaryLine(totals, kEnglish) + "\n" +
         LevelCountsLine(totals, kEnglish);
}

// A large file is checked in two halves at once, to the report of one
// reading: findings of the second half numbered on, as many of each kind
// shown as in all, fields its header defines known. Where the <EOR> past the
// middle lies in a value, the first half reads on alone.
TEST(CheckAdif, CheckingInHalvesGivesTheReportOfOneReading) {
  std::string records = "<USERDEF1:8>MY_FIELD <EOH>";
  for (int i = 0; i < 300; ++i)
    records += Field("CALL", "W1AW") + Field("QSO_DATE", "20050102") +
               Field("TIME_ON", "0915") + Field("MODE", "SSB") +
               Field("BAND", i % 3 ? "40" : "40m") +
               (i % 5 ? Field("MY_FIELD", "1") : Field("OTHER", "1")) +
               (i % 7 ? "" : "<A ") + "<EOR>\n";
  const std::string run(records.size(), 'x');
  for (const std::string& text :
       {records, records + RecordWith("COMMENT", (run + "<EOR>").c_str()),
        records + "<EOR>" + run + records + "<eor>", records + run}) {
    std::string one = Report(text, UINT64_MAX);
    EXPECT_EQ(one, Report(text, 1)) << text.size();
    EXPECT_NE(std::string::npos, one.find("record 1: OTHER: warning"));
  }
  // The XML form meets at a </RECORD>; one in a comment is no meeting.
  std::string xml = "<ADX><HEADER><USERDEF FIELDID=\"1\">MY_FIELD</USERDEF>"
                    "</HEADER><RECORDS>";
  for (int i = 0; i < 300; ++i)
    xml += std::string("<RECORD><CALL>W1AW</CALL><QSO_DATE>20050102</QSO_DATE>"
                       "<TIME_ON>0915</TIME_ON><MODE>SSB</MODE><BAND>") +
           (i % 3 ? "40" : "40m") + "</BAND>" +
           (i % 5 ? "<USERDEF FIELDNAME=\"MY_FIELD\">1</USERDEF>"
                  : "<OTHER>1</OTHER>") +
           (i % 7 ? "" : "< />") + "</RECORD>\n";
  const std::string comment =
      "<!-- " + std::string(xml.size(), 'x') + "</RECORD> -->";
  for (const std::string& text :
       {xml + "</RECORDS></ADX>", xml, xml + comment + xml + "</RECORDS>",
        xml + "<RECORD><CALL>K1"}) {
    std::string one = Report(text, UINT64_MAX);
    EXPECT_EQ(one, Report(text, 1)) << text.size();
    EXPECT_NE(std::string::npos, one.find("record 1: OTHER: warning"));
  }
}

// A file the second half of which cannot be read is reported as such.
TEST(CheckAdif, AReadErrorInTheSecondHalfEndsTheCheck) {
  // Its bytes from 4000 on cannot be read.
  struct CutFile : InputFile {
    explicit CutFile(const std::string& bytes) : bytes(bytes) {}
    std::size_t Read(char* buffer, std::size_t size) override {
      std::size_t n = std::min(size, at < 4000 ? 4000 - at : 0);
      bytes.copy(buffer, n, at);
      at += n;
      failed = n < size;
      return n;
    }
    std::uint64_t Size() const override { return bytes.size(); }
    bool Seek(std::uint64_t offset) override { return at = offset, true; }
    bool Failed() const override { return failed; }
    SystemError Error() const override { return ErrnoError(EIO); }
    std::string bytes;
    std::size_t at = 0;
    bool failed = false;
  };
  std::string text;
  while (text.size() < 5000) text += RecordWith("BAND", "40");
  CutFile first(text), second(text);
  std::vector<std::string> lines;
  CheckTotals totals;
  SystemError error;
  CheckOptions options;
  options.halves_from = 1;
  EXPECT_EQ(CheckEnd::kReadFailed,
            CheckAdifFile(
                &first, &second, AdifForm::kTagged, options,
                [&](const Finding& finding) {
                  lines.push_back(FormatFinding(finding, kEnglish));
                  return true;
                },
                &totals, &error));
  EXPECT_EQ(EIO, error.code);
  EXPECT_EQ(0u, lines.front().find("record 1: BAND: error"));
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
  int Run(const std::string& path, bool strict = false) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    CheckCommandLine options;
    options.path = path;
    options.strict = strict;
    int code = RunCheckCommand(options, SystemFileSystem(), out, err);
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
  EXPECT_EQ("no findings in 1 record\n0 errors, 0 warnings\n", out_);
  EXPECT_EQ("", err_);

  std::string bad = RecordWith("BAND", "40");
  WriteFile(dir_ / "bad.adi", bad);
  EXPECT_EQ(1, Run(dir_ / "bad.adi"));
  EXPECT_EQ("record 1: BAND: error: \"40\" is not a band of ADIF 3.1.6 (40m?)\n"
            "1 finding in 1 of 1 record: 1 bad-band\n1 error, 0 warnings\n",
            out_);
  EXPECT_EQ(bad, ReadFile(dir_ / "bad.adi"));

  // Warnings fail the check only when it is strict.
  WriteFile(dir_ / "warned.adi", bad + "<EOR>");
  WriteFile(dir_ / "warned.adi", RecordWith("CALL", "W1AW") + "<EOR>");
  EXPECT_EQ(0, Run(dir_ / "warned.adi"));
  EXPECT_EQ(1, Run(dir_ / "warned.adi", true));
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
