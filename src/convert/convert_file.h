// convert_file.h: the Convert command from start to end: reopen the table,
// read its memo file and choose its code page when asked, choose the output,
// write the header and every record, and tell the user how it went. A job
// is the table, the output and the run; the frame that writes several
// tables into one output (merge_files.h) takes the same three.
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
#include "mapping/column_plan.h"
#include "mapping/language.h"
#include "platform/file_system.h"

/// The output's form: ADI (tags with lengths) or ADX (the XML form).
enum class OutputFormat { kAdi, kAdx };

/// A table to convert, as it was listed, and what becomes of its columns.
struct TableJob {
  std::string path;
  /// The table as read when it was listed: the conversion takes its header.
  DbfLayout layout;
  /// Each column's size and keyword, read once from the field list; memo
  /// columns marked (MarkMemoColumns) when their text is to be read.
  ColumnPlan plan;

  // What the command line may add; the defaults are the window program's.
  bool skip_deleted = false;  ///< records marked as deleted give no line
  bool read_memos = false;    ///< memo columns' text from the memo file
  int code_page = 0;          ///< 0: the one the table names (1252 if none)
  /// Mends values and adds fields (--fix, --set), when set.
  RecordFixer* fixer = nullptr;
};

/// Where the ADIF goes, and in which form.
struct OutputJob {
  std::string path;  ///< empty: beside the table (see OutputPathOf)
  bool to_standard_output = false;  ///< written there instead of a file
  OutputFormat format = OutputFormat::kAdi;
  /// With kAdx the values are always read in the code page, whatever the
  /// charset: kAscii writes no _INTL companions, the others do.
  Charset charset = Charset::kKeep;
};

/// What holds for the whole run.
struct RunJob {
  Language language = kSpanish;  ///< of the header and the messages
  /// Over every record of the run.
  ProgressFn progress;
  /// Further files the run reads (mapping files): never the output.
  std::vector<std::string> other_inputs;
  FileSystem* files = nullptr;  ///< the system's when null
};

/// The file the ADIF of the table at \a table_path goes to: the path
/// \a output names, or the table's with its last three characters replaced
/// by ADI or ADX; empty for standard output.
std::string OutputPathOf(const std::string& table_path,
                         const OutputJob& output);

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

/// The path of an output, or "standard output" in \a language when it is
/// empty.
std::string ShownOutput(const std::string& path, Language language);

/// False, with the text in \a message, when writing the output at
/// \a output_path (empty: standard output) would replace one of \a inputs,
/// or standard output leads to one.
bool OutputIsNoInput(FileSystem& files, const std::string& output_path,
                     const std::vector<std::string>& inputs, Language language,
                     std::string* message);

/// Puts \a a and \a b in the place of the first and second "%s" of
/// \a pattern; paths of any length fit.
std::string FormatText(const char* pattern, const std::string& a,
                       const std::string& b = std::string());

/// Converts \a table into \a output.
ConvertOutcome ConvertFile(const TableJob& table, const OutputJob& output,
                           const RunJob& run);

#endif  // LOGWEAVE_CONVERT_CONVERT_FILE_H_
