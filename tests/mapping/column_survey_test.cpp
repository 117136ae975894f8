// Tests of the survey: a profile does not depend on how the records were
// read: in two parts joined at any record, one record at a time, or in
// halves on two threads through two handles on the table.

#include "mapping/column_survey.h"

#include <gtest/gtest.h>

#include <sstream>

#include "dbf_builder.h"
#include "mapping/column_guess.h"
#include "platform/fake_file_system.h"

namespace {

// Every field of a profile, to compare two and show where they differ.
std::string Text(const ColumnProfile& p) {
  std::ostringstream out;
  auto list = [&out](const char* name, const std::vector<std::string>& v) {
    out << name << ":";
    for (const std::string& s : v) out << " [" << s << "]";
    out << "\n";
  };
  out << "records " << p.records << " values " << p.values << " one "
      << p.one_value << " first [" << p.first_value << "]\n";
  list("examples", p.examples);
  out << "dates " << p.dates << " open " << p.open_dates << " orders "
      << p.open_orders << "\n";
  for (int set = 0; set < 8; ++set)
    list("order examples", p.order_examples[set]);
  for (const OrderEvidence& e : p.by_order)
    out << "order " << e.explained << " " << e.steps << " " << e.travel << " "
        << e.after_latest << " " << e.any << " " << (e.any ? e.first_day : 0)
        << " " << (e.any ? e.last_day : 0) << "\n";
  out << "times " << p.times << " " << p.marked_times << " numbers "
      << p.numbers << " " << p.integers << " " << p.least << " " << p.most
      << " seconds " << p.times_with_seconds << "\n";
  out << "frequencies " << p.frequencies << " ties " << p.unit_ties << "\n";
  for (const UnitEvidence& u : p.by_unit)
    out << "unit " << u.explained << " " << u.likelihood << "\n";
  list("ties", p.tie_examples);
  for (const auto& examples : p.unit_examples) list("unit examples", examples);
  out << "bands " << p.metre_bands << " " << p.megahertz_bands << " "
      << p.either_bands << " " << p.band_frequencies << "\n";
  for (const auto& examples : p.notation_examples) list("notation", examples);
  out << "separators " << p.separators << "\n";
  list("open separators", p.open_separator_examples);
  list("point", p.separator_examples[0]);
  list("comma", p.separator_examples[1]);
  list("distinct", p.distinct);
  out << "many " << p.many_distinct << " kinds " << p.bands << " "
      << p.named_bands << " " << p.modes << " " << p.calls << " " << p.locators
      << " " << p.qsl_flags << " " << p.reports << "\n";
  return out.str();
}

std::string Text(const std::vector<ColumnProfile>& profiles) {
  std::string text;
  for (std::size_t c = 0; c < profiles.size(); ++c)
    text += "column " + std::to_string(c) + "\n" + Text(profiles[c]);
  return text;
}

// A log of many forms: dates in three orders and by month name, numeric
// times, frequencies in every unit with the band of their record (which
// some contradict), bands by metres and by MHz, numbers with either
// separator, a frequency column too wide to be remembered by its bytes with
// a band column as wide, blanks, NUL bytes and deleted records.
BuilderTable MixedLog(int records) {
  BuilderTable table;
  table.columns = {{"FECHA", 'C', 10, 0},   {"HORA", 'N', 6, 0},
                   {"FREC", 'C', 12, 0},    {"BANDA", 'C', 5, 0},
                   {"FREQ_RX", 'C', 20, 0}, {"BAND_RX", 'C', 10, 0},
                   {"POT", 'C', 8, 0},      {"NOTA", 'C', 20, 0}};
  static const char* const kMonths[] = {"JAN", "FEB", "MAR", "APR"};
  static const char* const kFrequencies[] = {
      "14.195", "14195",     "7,085",  "7.1 MHz", "14.195.000", "3650",
      "abc",    "145525000", "1.8300", "",        "28495,5",    "50.1"};
  static const char* const kBands[] = {"20",  "40m",    "14", "3.5",
                                       "",    "80",     "x",  "2",
                                       "160", "14.195", "6m", "10"};
  static const char* const kNumbers[] = {
      "1.500", "1,5", "100", " 25", "1.500,5", "", "x", "2,000", "12.345.678"};
  for (int r = 0; r < records; ++r) {
    const int day = 1 + r / 7 % 28, month = 1 + r / 200 % 4;
    auto two = [](int n) {
      return std::string(n < 10 ? "0" : "") + std::to_string(n);
    };
    // Day first, by month name, year first, month first, and six digits.
    const std::string dates[] = {
        two(day) + "/" + two(month) + "/2005",
        two(day) + "-" + kMonths[month - 1] + "-05",
        "2005-" + two(month) + "-" + two(day),
        std::to_string(month) + "/" + std::to_string(day) + "/05",
        r % 10 == 4 ? "" : "05" + two(month) + two(day)};
    const std::string date = dates[r % 5];
    const std::string time = std::to_string((r * 37) % 235959);
    std::string frequency = kFrequencies[r % 12];
    if (r % 13 == 0) frequency += std::string("\0zz", 3);
    if (r % 17 == 0) frequency = std::to_string(14000 + r);  // new values
    table.rows.push_back(
        {date, time, frequency, kBands[r % 12 == 5 ? 1 : r % 11],
         "   " + std::string(kFrequencies[(r + 3) % 12]) + "0000000",
         r % 3 ? "   20m" : "  40", kNumbers[r % 9],
         "note " + std::to_string(r % 11)});
    table.deleted.push_back(r % 19 == 3);
  }
  return table;
}

struct Log {
  std::string bytes;
  DbfLayout layout;
  std::size_t record_size = 0;
};

Log MakeLog(int records) {
  Log log;
  log.bytes = BuildTable(MixedLog(records));
  ReadDbfLayout(reinterpret_cast<const unsigned char*>(log.bytes.data()),
                log.bytes.size(), &log.layout);
  log.record_size = log.layout.header.record_length;
  return log;
}

// What --fix looks at: dates, numeric times, frequencies with their band,
// bands, numbers.
SurveyRequest FixLooks(bool skip_deleted) {
  SurveyRequest request;
  request.look = {
      kLookAtDates,       kLookAtTimes, kLookAtFrequencies, kLookAtBands,
      kLookAtFrequencies, kLookAtBands, kLookAtNumbers,     0};
  request.band_column = {-1, -1, 3, -1, 5, -1, -1, -1};
  request.skip_deleted = skip_deleted;
  request.latest_day = 12900;  // in 2005
  return request;
}

// Surveys \a count records of \a log from the one at \a first.
std::vector<ColumnProfile> Survey(const Log& log, const SurveyRequest& request,
                                  std::size_t first, std::size_t count) {
  const std::size_t start =
      log.layout.header.header_length + first * log.record_size;
  MemorySource in(log.bytes.data() + start, log.bytes.size() - start);
  std::vector<ColumnProfile> profiles;
  SurveyRecords(&in, static_cast<std::uint32_t>(count), log.layout, request,
                &profiles);
  return profiles;
}

std::vector<SurveyRequest> Requests(const Log& log) {
  SurveyRequest guess = GuessSurveyRequest(log.layout, 1252, false);
  guess.most_records = 0xFFFFFFFFu;
  return {FixLooks(false), FixLooks(true), guess};
}

TEST(SurveyRecords, TwoPartsJoinedAtAnyRecordGiveOneReading) {
  const int kRecords = 260;
  const Log log = MakeLog(kRecords);
  for (const SurveyRequest& request : Requests(log)) {
    const std::string whole = Text(Survey(log, request, 0, kRecords));
    for (int split = 0; split <= kRecords; ++split) {
      std::vector<ColumnProfile> profiles = Survey(log, request, 0, split);
      JoinProfiles(request, Survey(log, request, split, kRecords - split),
                   &profiles);
      ASSERT_EQ(whole, Text(profiles)) << "split at " << split;
    }
  }
}

TEST(SurveyRecords, ValuesRememberedGiveWhatReadingEachAgainGives) {
  // Record by record, nothing is remembered from one to the next; the
  // whole log remembers values, forgets some to make room, and makes more
  // room, twice, for the times, new on every record.
  const int kRecords = 2500;
  const Log log = MakeLog(kRecords);
  for (const SurveyRequest& request : Requests(log)) {
    std::vector<ColumnProfile> one_by_one = Survey(log, request, 0, 1);
    for (int r = 1; r < kRecords; ++r)
      JoinProfiles(request, Survey(log, request, r, 1), &one_by_one);
    EXPECT_EQ(Text(Survey(log, request, 0, kRecords)), Text(one_by_one));
  }
}

TEST(SurveyOpenedTable, HalvesOnTwoThreadsGiveOneReading) {
  const Log log = MakeLog(3000);
  FakeFileSystem files;
  files.Put("log.dbf", log.bytes);
  OpenError open_error;
  for (SurveyRequest request : Requests(log)) {
    std::unique_ptr<InputFile> in =
        files.OpenForReading("log.dbf", &open_error);
    std::vector<ColumnProfile> one, halves;
    std::string error;
    ASSERT_TRUE(SurveyOpenedTable(in.get(), nullptr, "log.dbf", log.layout,
                                  request, kEnglish, &one, &error));
    request.halves_from = 0;
    ASSERT_TRUE(SurveyOpenedTable(in.get(), &files, "log.dbf", log.layout,
                                  request, kEnglish, &halves, &error));
    EXPECT_EQ(2, files.most_open_inputs);  // through a second handle
    EXPECT_EQ(Text(one), Text(halves));
    // Fewer records than asked for: the guesses' first ones.
    request.most_records = 1001;
    ASSERT_TRUE(SurveyOpenedTable(in.get(), &files, "log.dbf", log.layout,
                                  request, kEnglish, &halves, &error));
    EXPECT_EQ(Text(Survey(log, request, 0, 1001)), Text(halves));
  }
}

TEST(SurveyOpenedTable, AReadThatFailsInEitherHalfIsSaid) {
  const Log log = MakeLog(3000);
  SurveyRequest request = FixLooks(false);
  request.halves_from = 0;
  for (int fail_at = 1; fail_at <= 2; ++fail_at) {
    FakeFileSystem files;
    files.Put("log.dbf", log.bytes);
    OpenError open_error;
    std::unique_ptr<InputFile> in =
        files.OpenForReading("log.dbf", &open_error);
    files.fail_read_at = fail_at;
    std::vector<ColumnProfile> profiles;
    std::string error;
    EXPECT_FALSE(SurveyOpenedTable(in.get(), &files, "log.dbf", log.layout,
                                   request, kEnglish, &profiles, &error));
    EXPECT_EQ("Cannot read log.dbf: ", error.substr(0, 21)) << error;
  }
}

}  // namespace
