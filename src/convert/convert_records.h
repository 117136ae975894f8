// convert_records.h: turning the records of a table into ADIF record lines.
//
// Each column's size and keyword come from the column plan. Within a value:
// a colon is dropped when the keyword begins with "TIME"; S, s, T and t
// become Y under QSL_SENT and QSL_RCVD; a column carrying the skip word is
// read and dropped; trailing blanks are removed, an empty value gives no
// field, and a NUL byte ends the value. The CALL field leads its record line,
// followed by the fields held before it from the latest back to the earliest;
// a record without a CALL value gives "<EOR>\r\n" alone.

#ifndef LOGWEAVE_CONVERT_CONVERT_RECORDS_H_
#define LOGWEAVE_CONVERT_CONVERT_RECORDS_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "convert/charset.h"
#include "dbf/memo_file.h"
#include "mapping/column_plan.h"
#include "platform/byte_stream.h"

class RecordFixer;

/// Called before each record is read with its number (from 1) and the count.
using ProgressFn =
    std::function<void(std::uint32_t record, std::uint32_t count)>;

/// "7/120".
std::string ProgressText(std::uint32_t record, std::uint32_t count);

/// Why a run stopped.
enum class RunEnd {
  kDone,         ///< every record the header counts was converted
  kTruncated,    ///< the input ended inside or before a record
  kReadFailed,   ///< the input reported an I/O error
  kWriteFailed,  ///< the output refused a write
  kMemoFailed,   ///< a memo could not be read
};

/// How one run ended.
struct ConvertStats {
  RunEnd end = RunEnd::kDone;
  std::uint32_t records_read = 0;     ///< complete records read
  std::uint32_t records_written = 0;  ///< record lines written (a fixer may
                                      ///< leave records out)
  SystemError error;                  ///< with kReadFailed and kWriteFailed
  MemoError memo_error;               ///< with kMemoFailed
  std::uint64_t values_changed = 0;   ///< values the encoder changed
};

/// What a run may add to the plain conversion; the defaults change nothing.
struct ConvertOptions {
  bool skip_deleted = false;  ///< records whose flag is "*" give no line
  /// Where the text of the plan's memo columns is read; when null, memo
  /// columns are converted as the block numbers they hold.
  MemoFile* memo = nullptr;
  const ValueEncoder* encoder = nullptr;  ///< re-encodes every value when set
  /// Mends values and adds fields when set (--fix, --set; record_fixer.h).
  RecordFixer* fixer = nullptr;
  ProgressFn progress;
  /// When set, called with each record line once built (with its record's
  /// number, from 1); a line it returns false for is left out.
  std::function<bool(std::uint32_t record, std::string_view line)> keep_line;
};

/// Converts \a record_count records from \a in, which stands on the deletion
/// flag of the first record, into record lines on \a out; one column per
/// column of \a plan. Stops early, without writing the incomplete record,
/// when the input ends or fails, a memo cannot be read or a write fails.
ConvertStats ConvertRecords(ByteSource* in, ByteSink* out,
                            std::uint32_t record_count, const ColumnPlan& plan,
                            const ConvertOptions& options = ConvertOptions());

#endif  // LOGWEAVE_CONVERT_CONVERT_RECORDS_H_
