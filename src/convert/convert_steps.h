// convert_steps.h: the steps a conversion is made of, shared by the frame
// that converts one table (convert_file.cpp) and the one that writes several
// into one output (merge_files.cpp): open a table with its memo file and
// encoder, refuse an output that is one of the inputs, open the output,
// convert a table's records, put the output in place, and say what failed.
// Only this folder uses it.

#ifndef LOGWEAVE_CONVERT_CONVERT_STEPS_H_
#define LOGWEAVE_CONVERT_CONVERT_STEPS_H_

#include <memory>
#include <string>
#include <vector>

#include "convert/charset.h"
#include "convert/convert_file.h"
#include "convert/convert_records.h"
#include "dbf/memo_file.h"
#include "mapping/column_plan.h"
#include "platform/file_system.h"

/// \a outcome (a ConvertOutcome or a MergeOutcome) ended with \a status and
/// \a message.
template <typename Outcome>
Outcome Fail(Outcome outcome, ConvertStatus status, std::string message) {
  outcome.status = status;
  outcome.message = std::move(message);
  return outcome;
}

/// Puts \a a and \a b in the place of the first and second "%s" of
/// \a pattern; paths of any length fit.
std::string FormatText(const char* pattern, const std::string& a,
                       const std::string& b = std::string());

/// A table opened for conversion.
struct OpenedTable {
  ColumnPlan plan;
  std::unique_ptr<InputFile> in;
  MemoFile memo;
  std::unique_ptr<ValueEncoder> encoder;
  /// The code page the table's bytes are read in, for ADX output.
  int code_page = 0;
  /// The job's options, with the memo file and the encoder when used.
  ConvertOptions options;
  /// Every file the conversion reads: the table, its memo file when used,
  /// the job's other inputs.
  std::vector<std::string> inputs;
};

/// Opens the table of \a job, its memo file when asked, and its encoder;
/// a table that names a code page that cannot be read adds a line to
/// \a warnings. On failure returns kCannotOpenInput or kMemoFailed with the
/// text in \a message; kDone otherwise.
ConvertStatus OpenTable(const ConvertJob& job, FileSystem& files,
                        OpenedTable* table, std::string* message,
                        std::vector<std::string>* warnings);

/// Where the output goes: standard output, a device written in place, or a
/// temporary file that takes the place of the named one at the end.
struct OutputTarget {
  std::string path;   ///< empty for standard output
  std::string shown;  ///< the path, or "standard output" in the language
  std::unique_ptr<OutputFile> stream;
  std::unique_ptr<TemporaryFile> temporary;
  bool earlier_exists = false;  ///< a regular file of that name was there
  OutputFile* file() const {
    return temporary ? static_cast<OutputFile*>(temporary.get())
                     : stream.get();
  }
};

/// The target for \a path, or standard output when \a to_standard_output;
/// nothing is opened yet.
OutputTarget TargetFor(const std::string& path, bool to_standard_output,
                       Language language);

/// False, with the text in \a message, when writing \a target would replace
/// one of \a inputs (or standard output leads to one).
bool OutputIsNoInput(FileSystem& files, const OutputTarget& target,
                     const std::vector<std::string>& inputs, Language language,
                     std::string* message);

/// Opens \a target; false with the text in \a message. An output reached
/// through a symbolic link is replaced where the link points.
bool OpenOutput(FileSystem& files, Language language, OutputTarget* target,
                std::string* message);

/// Converts the records of \a table, whose header is \a header, into \a out.
ConvertStats ConvertTable(OpenedTable* table, const DbfHeader& header,
                          ByteSink* out);

/// Puts the output in place (or closes the stream); on failure sets
/// \a stats to the write failure and returns false.
bool CloseOutput(OutputTarget* target, ConvertStats* stats);

/// The text of a run of \a input into \a shown_output that ended with a
/// memo, write or read failure.
std::string RunFailureText(const ConvertStats& stats, const std::string& input,
                           const std::string& shown_output, Language language);

/// The status that goes with such a failure.
ConvertStatus StatusOf(RunEnd end);

/// "LOG.DBF ends after record 7 of 10; ": how a table that ends before its
/// header's count is told, ahead of what became of the output.
std::string EndsEarlyText(const std::string& input, std::uint32_t read,
                          std::uint32_t count, Language language);

#endif  // LOGWEAVE_CONVERT_CONVERT_STEPS_H_
