// column_survey.h: one pass over a table's records, before anything is
// converted, that notes what the values of each column look like. The
// guesses read from it what a column holds; the value fixes make their
// per-column decisions from it (the order of a column's dates, the unit of
// its frequencies).
//
// Bounds: memory is a fixed amount per column (counts and at most 17
// short examples), whatever the number of records; time is one read of the
// records asked for, in blocks of a megabyte.

#ifndef LOGWEAVE_MAPPING_COLUMN_SURVEY_H_
#define LOGWEAVE_MAPPING_COLUMN_SURVEY_H_

#include <cstdint>
#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "mapping/language.h"
#include "platform/file_system.h"
#include "standard/dates.h"

/// The different values a column's profile keeps.
constexpr std::size_t kDistinctKept = 8;

/// What to look at in a column, as bits.
enum SurveyLook : unsigned {
  kLookAtDates = 1,        ///< the orders its dates fit
  kLookAtFrequencies = 2,  ///< the units its frequencies fit
  kLookAtTimes = 4,        ///< how its times are written as digits
  kLookAtBands = 8,        ///< how its bands are named
  kLookAtNumbers = 16,     ///< its decimal and thousands separators
  kLookAtEverything = 0xFF,
};

/// The values of a column that fit a reading, kept to name them.
constexpr std::size_t kExamplesKept = 2;

/// What the dates of a column give when read in one order.
struct OrderEvidence {
  std::uint32_t explained = 0;  ///< open dates this order reads
  /// Steps between the consecutive dates it reads, and their days summed
  /// (each at most ten years): a log kept in order travels little.
  std::uint32_t steps = 0;
  std::uint64_t travel = 0;
  std::uint32_t after_latest = 0;  ///< dates after the table's last update
  long first_day = 0, last_day = 0;
  bool any = false;
};

/// The units of frequencies, as indexes: MHz, kHz, Hz.
constexpr int kUnitCount = 3;

/// What the frequencies of a column give when read in one unit.
struct UnitEvidence {
  std::uint32_t explained = 0;   ///< values in a band in this unit
  std::uint64_t likelihood = 0;  ///< their BandLikelihood summed
};

/// What the values of one column look like. Values are read without the
/// blanks around them and up to a NUL byte, as the conversion reads them.
struct ColumnProfile {
  std::uint32_t records = 0;  ///< records looked at, blank values and all
  std::uint32_t values = 0;   ///< values that are not blank
  /// The first three different values (each cut to 24 bytes).
  std::vector<std::string> examples;
  std::string first_value;  ///< the first value that is not blank, whole
  bool one_value = true;    ///< every value is the same (looked at everything)

  // Dates.
  std::uint32_t dates = 0;  ///< dates in some order, or already YYYYMMDD
  /// Of those, the ones whose form leaves the order open (only numbers,
  /// the year last) ...
  std::uint32_t open_dates = 0;
  /// ... the orders that every one of them fits ...
  unsigned open_orders = kAnyDateOrder;
  /// ... and for each set of orders (1 to 7), the first two different open
  /// dates that fit exactly that set.
  std::vector<std::string> order_examples[8];
  /// Per order (dmy, mdy, ymd), what reading every open date so gives.
  OrderEvidence by_order[3];

  // Times, numbers, frequencies.
  std::uint32_t times = 0;
  std::uint32_t marked_times = 0;  ///< written with ":" or "h"
  std::uint32_t numbers = 0;
  std::uint32_t integers = 0;
  double least = 0, most = 0;  ///< of the numbers
  /// Digits alone, five or six of them: a time with seconds (HMMSS lost
  /// its leading zero), so that every time of the column has them.
  std::uint32_t times_with_seconds = 0;
  std::uint32_t frequencies = 0;  ///< in a band in some unit
  UnitEvidence by_unit[kUnitCount];
  /// Values whose likeliest readings are in two units alike, with no band
  /// of the record to settle them; the first of them.
  std::uint32_t unit_ties = 0;
  std::vector<std::string> tie_examples;
  /// Per unit, the first values that read in that unit only.
  std::vector<std::string> unit_examples[kUnitCount];

  // Bands written as bare numbers: read in metres only, in MHz only, in
  // either; and the first of each.
  std::uint32_t metre_bands = 0, megahertz_bands = 0, either_bands = 0;
  std::vector<std::string> notation_examples[3];
  std::uint32_t band_frequencies = 0;  ///< frequencies in a band column

  // Separators of numbers: every SeparatorEvidence bit met, and the first
  // values that leave them open or prove them.
  unsigned separators = 0;
  std::vector<std::string> open_separator_examples;
  std::vector<std::string> separator_examples[2];  ///< point, comma decimal

  /// The first few different values, and whether there are more.
  std::vector<std::string> distinct;
  bool many_distinct = false;

  // The rest.
  std::uint32_t bands = 0;
  std::uint32_t named_bands = 0;  ///< written with their unit ("40M")
  std::uint32_t modes = 0;
  std::uint32_t calls = 0;
  std::uint32_t locators = 0;
  std::uint32_t qsl_flags = 0;
  std::uint32_t reports = 0;
};

/// What a survey reads and looks at.
struct SurveyRequest {
  std::vector<unsigned> look;  ///< per column, SurveyLook bits; missing: 0
  /// Per column, for frequencies: the column holding the record's band,
  /// which settles a value that fits both units; -1 or missing: none.
  std::vector<int> band_column;
  std::uint32_t most_records = 0xFFFFFFFFu;  ///< records read at most
  /// The day (DayNumber) after which a date is past the table's last
  /// update; no limit when it is kNoLatestDay.
  long latest_day = kNoLatestDay;
  static constexpr long kNoLatestDay = 0x7FFFFFFFL;
  bool skip_deleted = false;  ///< records marked "*" passed
  int code_page = 1252;       ///< of the text
  /// Records of this many bytes or more are read in two halves at once,
  /// when a second handle on the table can be opened (SurveyOpenedTable).
  std::uint64_t halves_from = 1 << 20;
};

/// Surveys up to \a record_count records from \a in, which stands on the
/// first record of a table laid out as \a layout (the columns' lengths
/// make up the record; memo columns are not looked at). Stops where the
/// input ends. Returns the number of records read.
std::uint32_t SurveyRecords(ByteSource* in, std::uint32_t record_count,
                            const DbfLayout& layout,
                            const SurveyRequest& request,
                            std::vector<ColumnProfile>* profiles);

/// Joins \a later, the profiles a survey by \a request made of records
/// that follow those \a earlier's survey read, into \a earlier: then they
/// are what one survey of all those records makes.
void JoinProfiles(const SurveyRequest& request,
                  const std::vector<ColumnProfile>& later,
                  std::vector<ColumnProfile>* earlier);

/// The same on the table at \a path. False, with \a error naming the file
/// and the cause in \a language, when it cannot be opened or read.
bool SurveyTable(FileSystem& files, const std::string& path,
                 const DbfLayout& layout, const SurveyRequest& request,
                 Language language, std::vector<ColumnProfile>* profiles,
                 std::string* error);

/// The same on the table at \a path already open as \a in. With \a files,
/// records of request.halves_from bytes or more are read in two halves at
/// once, the second on a thread of its own through another handle on
/// \a path (when it opens, on a file of the same size), and their profiles
/// joined.
bool SurveyOpenedTable(InputFile* in, FileSystem* files,
                       const std::string& path, const DbfLayout& layout,
                       const SurveyRequest& request, Language language,
                       std::vector<ColumnProfile>* profiles,
                       std::string* error);

#endif  // LOGWEAVE_MAPPING_COLUMN_SURVEY_H_
