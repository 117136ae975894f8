// convert.h: turning the records of a table into ADIF record lines.
//
// Each column's size and keyword come from its field list entry. Within a
// value: a colon is dropped when the keyword begins with "TIME"; S, s, T and t
// become Y under QSL_SENT and QSL_RCVD; a column carrying the skip word is
// read and dropped; trailing blanks are removed, an empty value gives no
// field, and a NUL byte ends the value. The CALL field leads its record line,
// followed by the fields held before it from the latest back to the earliest;
// a record without a CALL value gives "<EOR>\r\n" alone.

#ifndef LOGWEAVE_ADIF_CONVERT_H_
#define LOGWEAVE_ADIF_CONVERT_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "adif/byte_stream.h"
#include "adif/charset.h"
#include "dbf/language.h"
#include "dbf/memo_file.h"

/// Called before each record is read with its number (from 1) and the count.
using ProgressFn = std::function<void(std::uint32_t record, std::uint32_t count)>;

/// "7/120".
std::string ProgressText(std::uint32_t record, std::uint32_t count);

/// How one run ended.
struct ConvertStats {
  std::uint32_t records_read = 0;     ///< complete records read
  std::uint32_t records_written = 0;  ///< record lines written
  bool truncated = false;     ///< the input ended inside or before a record
  bool read_failed = false;   ///< the input reported an I/O error
  bool write_failed = false;  ///< the output refused a write
  int error = 0;              ///< errno of the failure, when known
  bool memo_failed = false;   ///< a memo could not be read
  std::string memo_error;     ///< why, naming the memo file and the record
  std::uint64_t values_changed = 0;  ///< values the encoder changed
};

/// What the command line may add to a run; the defaults change nothing.
struct ConvertOptions {
  bool skip_deleted = false;  ///< records whose flag is "*" give no line
  MemoFile* memo = nullptr;   ///< where memo columns are read, when set
  std::vector<bool> memo_columns;  ///< per column: holds a memo block number
  const ValueEncoder* encoder = nullptr;  ///< re-encodes every value when set
};

/// Converts \a record_count records from \a in, which stands on the deletion
/// flag of the first record, into record lines on \a out; one column per
/// entry of \a entries. Stops early, without writing the incomplete record,
/// when the input ends or fails, a memo cannot be read or a write fails.
ConvertStats ConvertRecords(ByteSource* in, ByteSink* out,
                            std::uint32_t record_count,
                            const std::vector<std::string>& entries,
                            Language language, const ProgressFn& progress,
                            const ConvertOptions& options = ConvertOptions());

/// The same with only the choice of leaving out deleted records.
inline ConvertStats ConvertRecords(ByteSource* in, ByteSink* out,
                                   std::uint32_t record_count,
                                   const std::vector<std::string>& entries,
                                   Language language, const ProgressFn& progress,
                                   bool skip_deleted) {
  ConvertOptions options;
  options.skip_deleted = skip_deleted;
  return ConvertRecords(in, out, record_count, entries, language, progress,
                        options);
}

#endif  // LOGWEAVE_ADIF_CONVERT_H_
