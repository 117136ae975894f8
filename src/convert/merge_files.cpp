// merge_files.cpp: the frame that writes several tables into one output.

#include "convert/merge_files.h"

#include <cstdio>
#include <memory>

#include "convert/adif_header.h"
#include "convert/convert_steps.h"
#include "platform/background_writer.h"

namespace {

// The tables' paths, one a line.
std::string InputLines(const std::vector<TableJob>& tables) {
  std::string lines;
  for (const TableJob& table : tables)
    lines += (lines.empty() ? "" : "\n") + table.path;
  return lines;
}

// What became of the output after a table failed: nothing was written, or
// a stream received the records before the failure.
std::string AfterFailureText(const std::string& output, bool output_received,
                             std::uint32_t records_written, Language language) {
  if (!output_received)
    return FormatText(
        Choose(language, "no se ha escrito %s", "%s was not written"), output);
  char count[32];
  std::snprintf(count, sizeof count, "%u",
                static_cast<unsigned>(records_written));
  return FormatText(
      Choose(language, "%s solo ha recibido los %s primeros registros",
             "%s received only the first %s records"),
      output, count);
}

// One line naming the table of \a stats and why it failed, and what became
// of the output.
std::string TableFailureText(const TableJob& table, const ConvertStats& stats,
                             const std::string& output, bool output_received,
                             std::uint32_t records_written, Language language) {
  const std::string after =
      AfterFailureText(output, output_received, records_written, language);
  if (stats.end == RunEnd::kTruncated)
    return EndsEarlyText(table.path, stats.records_read,
                         table.layout.header.record_count, language) +
           after;
  const std::string cause =
      RunFailureCause(stats, table.path, output, language);
  return output_received ? cause + "; " + after
                         : cause + NothingConvertedText(language);
}

// The run over the tables, one table open at a time.
class Merge {
 public:
  Merge(const std::vector<TableJob>& tables, const OutputJob& output,
        const RunJob& run, const DuplicateChoice& duplicates,
        MergeOutcome* outcome)
      : tables_(tables),
        output_(output),
        run_(run),
        duplicates_(duplicates),
        files_(run.files ? *run.files : SystemFileSystem()),
        language_(run.language),
        outcome_(*outcome),
        warned_(tables.size()) {}

  void Run() {
    OutputTarget target =
        TargetFor(output_.path, output_.to_standard_output, language_);
    outcome_.output_path = target.path;
    shown_ = target.shown;
    std::string message;
    std::vector<std::string> inputs = run_.other_inputs;
    for (const TableJob& table : tables_) inputs.push_back(table.path);
    if (!OutputIsNoInput(files_, target.path, inputs, language_, &message))
      return Stop(ConvertStatus::kSameFile, message);
    if (!OpenOutput(files_, language_, &target, &message))
      return Stop(ConvertStatus::kCannotCreateOutput, message);

    // What goes to a stream cannot be taken back.
    if (target.stream) {
      for (std::size_t t = 0; t < tables_.size(); ++t) Convert(t, nullptr);
      if (!outcome_.failures.empty()) return EndWithFailures();
      streaming_ = true;
    }
    ConvertStats& stats = outcome_.stats;
    {
      BackgroundWriter writer(target.file());
      if (!WriteAdifHeader(&writer, language_)) {
        stats.end = RunEnd::kWriteFailed;
        stats.error = writer.Error();
      }
      for (std::size_t t = 0; t < tables_.size(); ++t) {
        if (stats.end == RunEnd::kWriteFailed) break;
        // After a failure the output is not kept: the rest are only read.
        const bool failed = !outcome_.failures.empty();
        if (failed && streaming_) break;
        Convert(t, failed ? nullptr : &writer);
      }
      FinishWriting(&writer, &stats);
    }
    if (!outcome_.failures.empty()) {
      target.temporary.reset();  // removed: the output is not kept
      return EndWithFailures();
    }
    EndOutput(&target, &stats, false);
    if (stats.end != RunEnd::kDone)
      return Stop(StatusOf(stats.end), WriteFailureText());
    outcome_.message = CompletionText(InputLines(tables_), shown_, language_);
  }

 private:
  // Converts table \a t into \a out, or only reads it through when \a out
  // is null; a failure is kept with the table.
  void Convert(std::size_t t, ByteSink* out) {
    const TableJob& table = tables_[t];
    const DbfHeader& header = table.layout.header;
    OpenedTable opened;
    std::string message;
    std::vector<std::string> warnings;
    ConvertStatus status = OpenTable(table, output_, language_, files_, &opened,
                                     &message, &warnings);
    // Said once, though a table may be opened twice.
    if (!warned_[t])
      for (const std::string& warning : warnings)
        outcome_.warnings.push_back(table.path + ": " + warning);
    warned_[t] = true;
    if (status != ConvertStatus::kDone) {
      const std::uint32_t written = outcome_.stats.records_written;
      Failed(t, status,
             streaming_ ? message + "; " +
                              AfterFailureText(shown_, true, written, language_)
                        : message + NothingConvertedText(language_));
      return;
    }
    if (!out) {
      ConvertStats part = ReadThrough(opened, header);
      if (part.end != RunEnd::kDone)
        Failed(t, StatusOf(part.end),
               TableFailureText(table, part, shown_, false, 0, language_));
      return;
    }
    ConvertStats& stats = outcome_.stats;
    opened.options.progress = ProgressWithin(run_.progress, done_, Total());
    opened.options.keep_line = [this, t](std::uint32_t record,
                                         std::string_view line) {
      DuplicateContact found;
      found.contact = ContactOfLine(line);
      found.origin = {static_cast<std::uint32_t>(t), record};
      if (!finder_.Check(found.contact, found.origin, &found.earlier))
        return true;
      ++outcome_.duplicates;
      if (duplicates_.report) duplicates_.report(found);
      return !duplicates_.drop;
    };
    ConvertStats part = ConvertTable(&opened, header, out);
    done_ += header.record_count;
    stats.records_read += part.records_read;
    stats.records_written += part.records_written;
    stats.values_changed += part.values_changed;
    if (part.end == RunEnd::kWriteFailed) {
      stats.end = part.end;
      stats.error = part.error;
    } else if (part.end != RunEnd::kDone) {
      Failed(t, StatusOf(part.end),
             TableFailureText(table, part, shown_, streaming_,
                              stats.records_written, language_));
    }
  }

  std::uint64_t Total() {
    if (total_ == 0)
      for (const TableJob& table : tables_)
        total_ += table.layout.header.record_count;
    return total_;
  }

  // The output itself failed; a stream may have received records before.
  std::string WriteFailureText() const {
    const ConvertStats& stats = outcome_.stats;
    if (!streaming_ || stats.records_written == 0)
      return RunFailureText(stats, std::string(), shown_, language_);
    return RunFailureCause(stats, std::string(), shown_, language_) +
           FormatText(
               Choose(language_, "; %s solo ha recibido parte de los registros",
                      "; %s received only part of the records"),
               shown_);
  }

  void Failed(std::size_t t, ConvertStatus status, std::string message) {
    outcome_.failures.push_back({t, status, std::move(message)});
  }

  void EndWithFailures() {
    outcome_.status = outcome_.failures.front().status;
    if (tables_.size() > 1 && !streaming_) {
      std::vector<std::string> failed;
      for (const TableFailure& failure : outcome_.failures)
        failed.push_back(tables_[failure.table].path);
      outcome_.message = NotWrittenText(shown_, failed, language_);
    }
  }

  void Stop(ConvertStatus status, std::string message) {
    outcome_.status = status;
    outcome_.message = std::move(message);
  }

  const std::vector<TableJob>& tables_;
  const OutputJob& output_;
  const RunJob& run_;
  const DuplicateChoice& duplicates_;
  FileSystem& files_;
  const Language language_;
  MergeOutcome& outcome_;
  std::vector<bool> warned_;  // a table's warnings were kept
  std::string shown_;
  bool streaming_ = false;  // the stream is being written
  DuplicateFinder finder_;
  std::uint64_t done_ = 0, total_ = 0;
};

}  // namespace

ProgressFn ProgressWithin(const ProgressFn& run, std::uint64_t done,
                          std::uint64_t total) {
  if (!run) return nullptr;
  const std::uint64_t scale = total / 0xFFFFFFFFu + 1;
  return [run, done, total, scale](std::uint32_t record, std::uint32_t) {
    run(static_cast<std::uint32_t>((done + record) / scale),
        static_cast<std::uint32_t>(total / scale));
  };
}

MergeOutcome MergeFiles(const std::vector<TableJob>& tables,
                        const OutputJob& output, const RunJob& run,
                        const DuplicateChoice& duplicates) {
  MergeOutcome outcome;
  Merge(tables, output, run, duplicates, &outcome).Run();
  return outcome;
}

std::string NotWrittenText(const std::string& output,
                           const std::vector<std::string>& not_converted,
                           Language language) {
  std::string text =
      FormatText(Choose(language, "no se ha escrito %s", "%s was not written"),
                 output) +
      Choose(language, "; sin convertir: ", "; not converted: ");
  for (std::size_t i = 0; i < not_converted.size(); ++i)
    text += (i ? ", " : "") + not_converted[i];
  return text;
}

std::string DuplicateText(const std::vector<TableJob>& tables,
                          const DuplicateContact& found, Language language) {
  auto place = [&tables, language](const ContactOrigin& origin) {
    return FormatText(Choose(language, "%s registro %s", "%s record %s"),
                      tables[origin.table].path, std::to_string(origin.record));
  };
  return FormatText(Choose(language, "%s repite %s", "%s repeats %s"),
                    place(found.origin), place(found.earlier)) +
         ": " + ContactText(found.contact);
}
