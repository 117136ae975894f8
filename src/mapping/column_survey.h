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
#include "standard/dates.h"
#include "platform/file_system.h"

/// What to look at in a column, as bits.
enum SurveyLook : unsigned {
  kLookAtDates = 1,        ///< the orders its dates fit
  kLookAtFrequencies = 2,  ///< the units its frequencies fit
  kLookAtEverything = 0xFF,
};

/// What the values of one column look like. Values are read without the
/// blanks around them and up to a NUL byte, as the conversion reads them.
struct ColumnProfile {
  std::uint32_t records = 0;  ///< records looked at, blank values and all
  std::uint32_t values = 0;   ///< values that are not blank
  /// The first three different values (each cut to 24 bytes).
  std::vector<std::string> examples;
  bool one_value = true;  ///< every value is the same

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

  // Times, numbers, frequencies.
  std::uint32_t times = 0;
  std::uint32_t marked_times = 0;  ///< written with ":" or "h"
  std::uint32_t numbers = 0;
  std::uint32_t integers = 0;
  double least = 0, most = 0;        ///< of the numbers
  std::uint32_t frequencies = 0;     ///< in a band as MHz or as kHz
  std::uint32_t megahertz_only = 0;  ///< in a band as MHz only
  std::uint32_t kilohertz_only = 0;  ///< in a band as kHz only

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
  bool skip_deleted = false;                 ///< records marked "*" passed
  int code_page = 1252;                      ///< of the text
};

/// Surveys up to \a record_count records from \a in, which stands on the
/// first record of a table laid out as \a layout (the columns' lengths
/// make up the record; memo columns are not looked at). Stops where the
/// input ends. Returns the number of records read.
std::uint32_t SurveyRecords(ByteSource* in, std::uint32_t record_count,
                            const DbfLayout& layout,
                            const SurveyRequest& request,
                            std::vector<ColumnProfile>* profiles);

/// The same on the table at \a path. False, with \a error naming the file
/// and the cause in \a language, when it cannot be opened or read.
bool SurveyTable(FileSystem& files, const std::string& path,
                 const DbfLayout& layout, const SurveyRequest& request,
                 Language language, std::vector<ColumnProfile>* profiles,
                 std::string* error);

/// The same on the table at \a path already open as \a in.
bool SurveyOpenedTable(InputFile* in, const std::string& path,
                       const DbfLayout& layout, const SurveyRequest& request,
                       Language language, std::vector<ColumnProfile>* profiles,
                       std::string* error);

#endif  // LOGWEAVE_MAPPING_COLUMN_SURVEY_H_
