// convert_file.h: the Convert command from start to end: reopen the table,
// read its memo file and choose its code page when asked, choose the output,
// write the header and every record, and tell the user how it went.
//
// The output is written to a temporary file beside it and put in place only
// when everything was written and closed, so a failed run leaves an earlier
// output file as it was and no temporary file behind. An input that ends
// early keeps its complete records, reported as an error, unless that would
// replace an earlier file.

#ifndef LOGWEAVE_CONVERT_CONVERT_FILE_H_
#define LOGWEAVE_CONVERT_CONVERT_FILE_H_

#include <string>
#include <vector>

#include "convert/charset.h"
#include "convert/convert_records.h"
#include "dbf/dbf_table.h"
#include "mapping/language.h"
#include "platform/file_system.h"

/// The output's form: ADI (tags with lengths) or ADX (the XML form).
enum class OutputFormat { kAdi, kAdx };

struct ConvertJob {
  std::string input_path;
  std::string output_path;  ///< empty: derived from the input path
  bool to_standard_output = false;  ///< written there instead of a file
  /// The table as read when it was listed: the conversion takes its header,
  /// and its columns tell which ones are memo columns.
  DbfLayout table;
  std::vector<std::string> entries;  ///< the field list, one entry per column
  Language language = kSpanish;

  // What the command line may add; the defaults are the window program's.
  bool skip_deleted = false;  ///< records marked as deleted give no line
  bool read_memos = false;    ///< memo columns' text from the memo file
  int code_page = 0;          ///< 0: the one the table names (1252 if none)
  Charset charset = Charset::kKeep;
  /// With kAdx the values are always read in the code page, whatever the
  /// charset: kAscii writes no _INTL companions, the others do.
  OutputFormat format = OutputFormat::kAdi;
  /// Further files the run reads (mapping files): never the output.
  std::vector<std::string> other_inputs;
  /// Mends values and adds fields (--fix, --set), when set.
  RecordFixer* fixer = nullptr;
  ProgressFn progress;

  FileSystem* files = nullptr;  ///< the system's when null
};

enum class ConvertStatus {
  kDone,
  kCannotOpenInput,
  kSameFile,
  kCannotCreateOutput,
  kReadFailed,
  kWriteFailed,
  kTruncated,  ///< the complete records were written; still an error
  /// The input ended early and an earlier output of that name was left as it
  /// was instead of being replaced by the complete records.
  kTruncatedEarlierKept,
  kMemoFailed,
};

struct ConvertOutcome {
  ConvertStatus status = ConvertStatus::kDone;
  std::string output_path;
  ConvertStats stats;
  /// The completion text on success, otherwise one line naming the file and
  /// the cause; in the job's language.
  std::string message;
  /// Things the user should know that did not stop the run (without a
  /// "warning" in front: the caller says how they are shown).
  std::vector<std::string> warnings;
  /// ADX: values whose original went to an _INTL companion. (Values spelled
  /// in plain ASCII with no original kept count in stats.values_changed.)
  std::uint64_t values_kept_in_intl = 0;
  bool ok() const { return status == ConvertStatus::kDone; }
};

ConvertOutcome ConvertFile(const ConvertJob& job);

#endif  // LOGWEAVE_CONVERT_CONVERT_FILE_H_
