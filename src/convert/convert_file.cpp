// convert_file.cpp: the Convert command frame and the steps it is made of.

#include "convert/convert_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "convert/adif_header.h"
#include "convert/adx_writer.h"
#include "convert/convert_steps.h"
#include "dbf/code_page.h"
#include "mapping/texts.h"
#include "platform/background_writer.h"

namespace {

std::string TruncatedText(const std::string& input, const std::string& output,
                          const ConvertStats& stats, std::uint32_t count,
                          bool earlier_kept, Language language) {
  char numbers[160];
  const unsigned read = stats.records_read;
  std::string text = EndsEarlyText(input, read, count, language);
  if (!earlier_kept) {
    std::snprintf(numbers, sizeof numbers,
                  Choose(language,
                         "los %u registros completos se han convertido en ",
                         "the %u complete records were converted to "),
                  read);
    return text + numbers + output;
  }
  std::snprintf(numbers, sizeof numbers,
                Choose(language,
                       " ya exist\xED""a y se ha dejado como estaba, as\xED que "
                       "los %u registros completos no se han escrito",
                       " already existed and was left as it was, so the %u "
                       "complete records were not written"),
                read);
  return text + output + numbers;
}

// A sink that only counts, for a run that must find every memo before a
// byte goes where it cannot be taken back.
class NullSink : public ByteSink {
 public:
  bool Write(const char*, std::size_t) override { return true; }
};

// The code page the table's bytes are read in; \a warnings gets a line when
// the table names one that cannot be read.
int ChooseCodePage(const ConvertJob& job, std::vector<std::string>* warnings) {
  if (job.code_page != 0) return job.code_page;
  int named = CodePageOfDriver(job.table.header.code_page_mark);
  if (named == 0) return 1252;
  if (!IsKnownCodePage(named)) {
    warnings->push_back(
        Choose(job.language, "la tabla indica la p\xE1gina de c\xF3""digos ",
               "the table names code page ") +
        std::to_string(named) +
        Choose(job.language, ", que no se conoce; se lee como 1252",
               ", which is not supported; reading it as 1252"));
    return 1252;
  }
  return named;
}

}  // namespace

std::string FormatText(const char* pattern, const std::string& a,
                       const std::string& b) {
  std::string result;
  int used = 0;
  for (const char* p = pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') {
      result += used++ == 0 ? a : b;
      ++p;
    } else {
      result += *p;
    }
  }
  return result;
}

ConvertStatus OpenTable(const ConvertJob& job, FileSystem& files,
                        OpenedTable* table, std::string* message,
                        std::vector<std::string>* warnings) {
  const std::string& input = job.input_path;
  table->plan = PlanColumns(job.entries, job.language);
  MarkMemoColumns(job.table, &table->plan);

  OpenError open_error;
  table->in = files.OpenForReading(input, &open_error);
  if (!table->in) {
    *message = OpenErrorText(input, open_error, job.language);
    return ConvertStatus::kCannotOpenInput;
  }

  ConvertOptions& options = table->options;
  options.skip_deleted = job.skip_deleted;
  options.progress = job.progress;
  options.fixer = job.fixer;
  if (job.read_memos && table->plan.ConvertsMemos()) {
    MemoError memo_error;
    if (!table->memo.Open(files, input, job.table.header.version,
                          &memo_error)) {
      *message = MemoErrorText(memo_error, job.language);
      return ConvertStatus::kMemoFailed;
    }
    options.memo = &table->memo;
  }
  if (job.format == OutputFormat::kAdx) {
    // The ADX writer reads the table's bytes itself.
    table->code_page = ChooseCodePage(job, warnings);
  } else if (job.charset != Charset::kKeep) {
    table->encoder = std::make_unique<ValueEncoder>(
        ChooseCodePage(job, warnings), job.charset);
    options.encoder = table->encoder.get();
  }

  table->inputs = {input};
  if (options.memo) table->inputs.push_back(table->memo.path());
  table->inputs.insert(table->inputs.end(), job.other_inputs.begin(),
                       job.other_inputs.end());
  return ConvertStatus::kDone;
}

OutputTarget TargetFor(const std::string& path, bool to_standard_output,
                       Language language) {
  OutputTarget target;
  if (to_standard_output) {
    target.shown =
        Choose(language, "la salida est\xE1ndar", "standard output");
  } else {
    target.path = path;
    target.shown = path;
  }
  return target;
}

bool OutputIsNoInput(FileSystem& files, const OutputTarget& target,
                     const std::vector<std::string>& inputs, Language language,
                     std::string* message) {
  for (const std::string& read : inputs) {
    bool same = target.path.empty() ? files.StandardOutputIs(read)
                                    : NamesSameFile(files, read, target.path);
    if (same) {
      *message = FormatText(
          Choose(language,
                 "La salida %s sustituir\xED""a a la entrada %s; "
                 "no se ha escrito nada",
                 "The output %s would replace the input %s; "
                 "nothing was written"),
          target.shown, read);
      return false;
    }
  }
  return true;
}

bool OpenOutput(FileSystem& files, Language language, OutputTarget* target,
                std::string* message) {
  if (target->path.empty()) {
    target->stream = files.StandardOutput();
    return true;
  }
  SystemError create_error;
  const std::string written_path = files.ResolveLinks(target->path);
  FileKind kind = files.KindOf(written_path);
  target->earlier_exists = kind == FileKind::kRegular;
  if (kind == FileKind::kFolder) {
    create_error.text = Choose(language, "es una carpeta", "it is a folder");
  } else if (kind == FileKind::kDevice) {
    target->stream = files.OpenDeviceForWriting(written_path, &create_error);
  } else {
    target->temporary = files.CreateTemporaryFor(written_path, &create_error);
  }
  if (target->stream || target->temporary) return true;
  *message = FormatText(
      Choose(language, "No se puede crear %s: %s", "Cannot create %s: %s"),
      target->path, SystemErrorText(create_error, language));
  return false;
}

ConvertStats ConvertTable(OpenedTable* table, const DbfHeader& header,
                          ByteSink* out) {
  ConvertStats stats;
  if (!table->in->Seek(header.header_length)) {
    stats.end = RunEnd::kReadFailed;
    stats.error = table->in->Error();
    return stats;
  }
  return ConvertRecords(table->in.get(), out, header.record_count,
                        table->plan, table->options);
}

bool CloseOutput(OutputTarget* target, ConvertStats* stats) {
  bool finished =
      target->temporary ? target->temporary->Commit() : target->stream->Close();
  if (!finished) {
    stats->end = RunEnd::kWriteFailed;
    stats->error = target->file()->Error();
  }
  return finished;
}

std::string EndsEarlyText(const std::string& input, std::uint32_t read,
                          std::uint32_t count, Language language) {
  char numbers[96];
  std::snprintf(numbers, sizeof numbers,
                Choose(language, " termina tras el registro %u de %u; ",
                       " ends after record %u of %u; "),
                static_cast<unsigned>(read), static_cast<unsigned>(count));
  return input + numbers;
}

std::string RunFailureText(const ConvertStats& stats, const std::string& input,
                           const std::string& shown_output, Language language) {
  const std::string nothing_converted =
      Choose(language, "; no se ha convertido nada", "; nothing was converted");
  if (stats.end == RunEnd::kMemoFailed)
    return MemoErrorText(stats.memo_error, language) + nothing_converted;
  if (stats.end == RunEnd::kWriteFailed)
    return FormatText(Choose(language, "No se puede escribir %s: %s",
                             "Cannot write %s: %s"),
                      shown_output, SystemErrorText(stats.error, language)) +
           nothing_converted;
  return FormatText(Choose(language, "No se puede leer %s: %s",
                           "Cannot read %s: %s"),
                    input, SystemErrorText(stats.error, language)) +
         nothing_converted;
}

ConvertStatus StatusOf(RunEnd end) {
  switch (end) {
    case RunEnd::kDone: return ConvertStatus::kDone;
    case RunEnd::kTruncated: return ConvertStatus::kTruncated;
    case RunEnd::kMemoFailed: return ConvertStatus::kMemoFailed;
    case RunEnd::kWriteFailed: return ConvertStatus::kWriteFailed;
    case RunEnd::kReadFailed: break;
  }
  return ConvertStatus::kReadFailed;
}

ConvertOutcome ConvertFile(const ConvertJob& job) {
  FileSystem& files = job.files ? *job.files : SystemFileSystem();
  const Language language = job.language;
  const std::string& input = job.input_path;
  const DbfHeader& header = job.table.header;
  ConvertOutcome outcome;
  const bool adx_format = job.format == OutputFormat::kAdx;
  OutputTarget target =
      TargetFor(job.output_path.empty()
                    ? DeriveOutputPath(input, adx_format ? "ADX" : "ADI")
                    : job.output_path,
                job.to_standard_output, language);
  outcome.output_path = target.path;

  OpenedTable table;
  std::string message;
  ConvertStatus opened =
      OpenTable(job, files, &table, &message, &outcome.warnings);
  if (opened != ConvertStatus::kDone) return Fail(outcome, opened, message);
  // No input may be replaced by the output, nor standard output be
  // redirected onto one.
  if (!OutputIsNoInput(files, target, table.inputs, language, &message))
    return Fail(outcome, ConvertStatus::kSameFile, message);
  if (!OpenOutput(files, language, &target, &message))
    return Fail(outcome, ConvertStatus::kCannotCreateOutput, message);

  ConvertStats& stats = outcome.stats;
  // What goes to a stream cannot be taken back: every memo is read once
  // before anything is written.
  if (target.stream && table.options.memo) {
    NullSink nothing;
    ConvertOptions quiet = table.options;
    quiet.progress = nullptr;
    quiet.encoder = nullptr;
    quiet.fixer = nullptr;
    if (table.in->Seek(header.header_length)) {
      ConvertStats trial = ConvertRecords(table.in.get(), &nothing,
                                          header.record_count, table.plan,
                                          quiet);
      if (trial.end == RunEnd::kMemoFailed) stats = trial;
    }
  }
  if (stats.end == RunEnd::kDone) {
    BackgroundWriter writer(target.file());
    std::unique_ptr<AdxWriter> adx;
    ByteSink* records = &writer;
    if (adx_format) {
      adx = std::make_unique<AdxWriter>(&writer, table.plan, table.code_page,
                                        job.charset == Charset::kAscii);
      records = adx.get();
    }
    if (!(adx ? adx->WriteHeader(language)
              : WriteAdifHeader(&writer, language))) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    } else {
      stats = ConvertTable(&table, header, records);
    }
    // The complete records of a run that is kept make a whole document.
    if (adx && (stats.end == RunEnd::kDone || stats.end == RunEnd::kTruncated)) {
      if (!adx->Finish()) {
        stats.end = RunEnd::kWriteFailed;
        stats.error = adx->Error();
      }
      stats.values_changed = adx->values_spelled();
      outcome.values_kept_in_intl = adx->values_kept_in_intl();
    }
    // What the run wrote reaches the file before it is judged.
    if (!writer.Finish() && stats.end != RunEnd::kWriteFailed) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    }
  }
  table.in.reset();

  if (!stats.error.failed()) stats.error = ErrnoError(EIO);
  // A truncated table keeps its complete records, unless that would replace
  // an earlier file.
  const bool earlier_exists = target.earlier_exists;
  if (stats.end == RunEnd::kDone ||
      (stats.end == RunEnd::kTruncated && !earlier_exists))
    CloseOutput(&target, &stats);
  target.temporary.reset();  // removes the file when it was not committed

  switch (stats.end) {
    case RunEnd::kDone:
      outcome.message = CompletionText(input, target.shown, language);
      return outcome;
    case RunEnd::kTruncated:
      return Fail(outcome,
                  earlier_exists ? ConvertStatus::kTruncatedEarlierKept
                                 : ConvertStatus::kTruncated,
                  TruncatedText(input, target.shown, stats,
                                header.record_count, earlier_exists,
                                language));
    default:
      return Fail(outcome, StatusOf(stats.end),
                  RunFailureText(stats, input, target.shown, language));
  }
}
