// convert_file.h: the Convert command from start to end: reopen the table,
// choose the output, write the header and every record, and tell the user how
// it went.
//
// The output is written to a temporary file beside it and put in place only
// when everything was written and closed, so a failed run leaves an earlier
// output file as it was and no temporary file behind. An input that ends
// early keeps its complete records and is reported as an error.

#ifndef LOGWEAVE_ADIF_CONVERT_FILE_H_
#define LOGWEAVE_ADIF_CONVERT_FILE_H_

#include <cstdio>
#include <string>
#include <vector>

#include "adif/convert.h"
#include "dbf/dbf_table.h"

struct ConvertJob {
  std::string input_path;
  std::string output_path;  ///< empty: derived from the input path
  std::FILE* output_stream = nullptr;  ///< when set, written instead of a file
  DbfHeader header;  ///< as read when the table was listed
  std::vector<std::string> entries;  ///< the field list, one entry per column
  Language language = kSpanish;
  ConvertOptions options;  ///< the command line's additions
  ProgressFn progress;
};

enum class ConvertStatus {
  kDone,
  kCannotOpenInput,
  kSameFile,
  kCannotCreateOutput,
  kReadFailed,
  kWriteFailed,
  kTruncated,  ///< the complete records were written; still an error
  kMemoFailed,
};

struct ConvertOutcome {
  ConvertStatus status = ConvertStatus::kDone;
  std::string output_path;
  ConvertStats stats;
  /// The completion text on success, otherwise one line naming the file and
  /// the cause; in the job's language.
  std::string message;
  bool ok() const { return status == ConvertStatus::kDone; }
};

ConvertOutcome ConvertFile(const ConvertJob& job);

/// True when writing \a output would overwrite \a input.
bool NamesSameFile(const std::string& input, const std::string& output);

#endif  // LOGWEAVE_ADIF_CONVERT_FILE_H_
