// merge_files.cpp: the frame that writes several tables into one output.

#include "convert/merge_files.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "convert/adif_header.h"
#include "convert/convert_steps.h"
#include "platform/background_writer.h"

namespace {

std::string TruncatedText(const std::string& input, const std::string& output,
                          std::uint32_t read, std::uint32_t count,
                          Language language) {
  return EndsEarlyText(input, read, count, language) +
         FormatText(Choose(language, "no se ha escrito %s", "%s was not written"),
                    output);
}

// The tables' paths, one a line.
std::string InputLines(const MergeJob& job) {
  std::string lines;
  for (const ConvertJob& table : job.tables)
    lines += (lines.empty() ? "" : "\n") + table.input_path;
  return lines;
}

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

MergeOutcome MergeFiles(const MergeJob& job) {
  FileSystem& files = job.files ? *job.files : SystemFileSystem();
  const Language language = job.language;
  MergeOutcome outcome;
  OutputTarget target = TargetFor(job.output_path, false, language);
  outcome.output_path = target.path;
  const std::string nothing_converted =
      Choose(language, "; no se ha convertido nada", "; nothing was converted");

  // Every table is opened first, so that none of the files they read can
  // be the output.
  std::vector<std::unique_ptr<OpenedTable>> tables;
  std::vector<std::string> inputs;
  std::uint64_t total = 0;
  std::string message;
  for (ConvertJob table_job : job.tables) {
    table_job.language = language;
    tables.push_back(std::make_unique<OpenedTable>());
    std::vector<std::string> warnings;
    ConvertStatus opened =
        OpenTable(table_job, files, tables.back().get(), &message, &warnings);
    for (const std::string& warning : warnings)
      outcome.warnings.push_back(table_job.input_path + ": " + warning);
    if (opened != ConvertStatus::kDone)
      return Fail(outcome, opened, message + nothing_converted);
    inputs.insert(inputs.end(), tables.back()->inputs.begin(),
                  tables.back()->inputs.end());
    total += table_job.table.header.record_count;
  }
  if (!OutputIsNoInput(files, target, inputs, language, &message))
    return Fail(outcome, ConvertStatus::kSameFile, message);
  if (!OpenOutput(files, language, &target, &message))
    return Fail(outcome, ConvertStatus::kCannotCreateOutput, message);

  ConvertStats& stats = outcome.stats;
  DuplicateFinder finder;
  std::size_t last = 0;  // the table converted last
  std::uint32_t last_read = 0;  // and its complete records
  {
    BackgroundWriter writer(target.file());
    if (!WriteAdifHeader(&writer, language)) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    }
    std::uint64_t done = 0;
    for (std::size_t t = 0; t < tables.size() && stats.end == RunEnd::kDone;
         ++t) {
      last = t;
      OpenedTable& table = *tables[t];
      const DbfHeader& header = job.tables[t].table.header;
      table.options.progress = ProgressWithin(job.progress, done, total);
      table.options.keep_line = [&](std::uint32_t record,
                                    std::string_view line) {
        ContactOrigin here{static_cast<std::uint32_t>(t), record};
        ContactOrigin earlier;
        if (!finder.Check(ContactOfLine(line), here, &earlier)) return true;
        outcome.duplicates.push_back({here, earlier});
        return !job.drop_duplicates;
      };
      ConvertStats part = ConvertTable(&table, header, &writer);
      table.in.reset();
      last_read = part.records_read;
      stats.end = part.end;
      stats.error = part.error;
      stats.memo_error = part.memo_error;
      stats.records_read += part.records_read;
      stats.records_written += part.records_written;
      stats.values_changed += part.values_changed;
      done += header.record_count;
    }
    // What the run wrote reaches the file before it is judged.
    if (!writer.Finish() && stats.end != RunEnd::kWriteFailed) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    }
  }

  if (!stats.error.failed()) stats.error = ErrnoError(EIO);
  if (stats.end == RunEnd::kDone) CloseOutput(&target, &stats);
  target.temporary.reset();  // removes the file when it was not committed

  if (stats.end == RunEnd::kDone) {
    outcome.message = CompletionText(InputLines(job), target.shown, language);
    return outcome;
  }
  const ConvertJob& failed = job.tables[last];
  if (stats.end == RunEnd::kTruncated)
    return Fail(outcome, ConvertStatus::kTruncated,
                TruncatedText(failed.input_path, target.shown, last_read,
                              failed.table.header.record_count, language));
  return Fail(outcome, StatusOf(stats.end),
              RunFailureText(stats, failed.input_path, target.shown, language));
}

std::string DuplicateText(const MergeJob& job, const DuplicateContact& found) {
  auto place = [&job](const ContactOrigin& origin) {
    const std::string& path = job.tables[origin.table].input_path;
    return FormatText(Choose(job.language, "%s registro %s", "%s record %s"),
                      path, std::to_string(origin.record));
  };
  return FormatText(Choose(job.language, "%s repite %s", "%s repeats %s"),
                    place(found.contact), place(found.earlier));
}
