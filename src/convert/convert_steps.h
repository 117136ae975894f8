// convert_steps.h: the steps a conversion is made of, shared by the frame
// that converts one table (convert_file.cpp) and the one that writes several
// into one output (merge_files.cpp): open a table with its memo file and
// encoder, refuse an output that is one of the inputs, open the output,
// convert a table's records (or only read them through), and the ending:
// what was written reaches the output, which is put in place or left out,
// and what failed is said. Only this folder uses it.

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
#include "platform/background_writer.h"
#include "platform/file_system.h"

/// \a outcome (a ConvertOutcome or a MergeOutcome) ended with \a status and
/// \a message.
template <typename Outcome>
Outcome Fail(Outcome outcome, ConvertStatus status, std::string message) {
  outcome.status = status;
  outcome.message = std::move(message);
  return outcome;
}

/// A table opened for conversion.
struct OpenedTable {
  const ColumnPlan* plan = nullptr;  ///< the job's
  std::unique_ptr<InputFile> in;
  MemoFile memo;
  std::unique_ptr<ValueEncoder> encoder;
  /// The code page the table's bytes are read in, for ADX output.
  int code_page = 0;
  /// The job's options, with the memo file and the encoder when used.
  ConvertOptions options;
  /// The table and its memo file when used.
  std::vector<std::string> inputs;
};

/// Opens \a table, its memo file when asked, and the encoder \a output
/// needs; a table that names a code page that cannot be read adds a line
/// to \a warnings. The progress is left to the caller. On failure returns
/// kCannotOpenInput or kMemoFailed with the text in \a message; kDone
/// otherwise.
ConvertStatus OpenTable(const TableJob& table, const OutputJob& output,
                        Language language, FileSystem& files,
                        OpenedTable* opened, std::string* message,
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
    return temporary ? static_cast<OutputFile*>(temporary.get()) : stream.get();
  }
};

/// The target for \a path, or standard output when \a to_standard_output;
/// nothing is opened yet.
OutputTarget TargetFor(const std::string& path, bool to_standard_output,
                       Language language);

/// Opens \a target; false with the text in \a message. An output reached
/// through a symbolic link is replaced where the link points.
bool OpenOutput(FileSystem& files, Language language, OutputTarget* target,
                std::string* message);

/// Converts the records of \a table, whose header is \a header, into \a out.
ConvertStats ConvertTable(OpenedTable* table, const DbfHeader& header,
                          ByteSink* out);

/// Reads every record of \a table once and writes nothing, to learn before
/// a byte goes where it cannot be taken back whether the table ends early,
/// cannot be read or names a memo that cannot be: no progress, no
/// re-encoding, no fixes.
ConvertStats ReadThrough(const OpenedTable& table, const DbfHeader& header);

/// The ending both frames share. First, what the run handed to \a writer
/// reaches the output; a failure there becomes the run's, unless it failed
/// writing already.
void FinishWriting(BackgroundWriter* writer, ConvertStats* stats);

/// Then the output is put in place (or the stream closed) when the run was
/// done, or when it ended early and \a keep_truncated; a failure there is
/// the run's write failure. Otherwise a temporary file is removed. A
/// failure without a cause gets the system's word for an I/O error.
void EndOutput(OutputTarget* target, ConvertStats* stats, bool keep_truncated);

/// "; nothing was converted", said after the cause of a failure.
std::string NothingConvertedText(Language language);

/// What failed in a run of \a input into \a shown_output that ended with a
/// memo, write or read failure: one line naming the file and the cause.
std::string RunFailureCause(const ConvertStats& stats, const std::string& input,
                            const std::string& shown_output, Language language);

/// The same, followed by NothingConvertedText.
std::string RunFailureText(const ConvertStats& stats, const std::string& input,
                           const std::string& shown_output, Language language);

/// The status that goes with such a failure.
ConvertStatus StatusOf(RunEnd end);

/// "LOG.DBF ends after record 7 of 10; ": how a table that ends before its
/// header's count is told, ahead of what became of the output.
std::string EndsEarlyText(const std::string& input, std::uint32_t read,
                          std::uint32_t count, Language language);

#endif  // LOGWEAVE_CONVERT_CONVERT_STEPS_H_
