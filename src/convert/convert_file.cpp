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
    std::snprintf(
        numbers, sizeof numbers,
        Choose(language, "los %u registros completos se han convertido en ",
               "the %u complete records were converted to "),
        read);
    return text + numbers + output;
  }
  std::snprintf(numbers, sizeof numbers,
                Choose(language,
                       " ya exist\xED"
                       "a y se ha dejado como estaba, as\xED que "
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
int ChooseCodePage(const TableJob& table, Language language,
                   std::vector<std::string>* warnings) {
  if (table.code_page != 0) return table.code_page;
  int named = CodePageOfDriver(table.layout.header.code_page_mark);
  if (named == 0) return 1252;
  if (!IsKnownCodePage(named)) {
    warnings->push_back(Choose(language,
                               "la tabla indica la p\xE1gina de c\xF3"
                               "digos ",
                               "the table names code page ") +
                        std::to_string(named) +
                        Choose(language, ", que no se conoce; se lee como 1252",
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

std::string OutputPathOf(const std::string& table_path,
                         const OutputJob& output) {
  if (output.to_standard_output) return std::string();
  if (!output.path.empty()) return output.path;
  return DeriveOutputPath(table_path,
                          output.format == OutputFormat::kAdx ? "ADX" : "ADI");
}

ConvertStatus OpenTable(const TableJob& table, const OutputJob& output,
                        Language language, FileSystem& files,
                        OpenedTable* opened, std::string* message,
                        std::vector<std::string>* warnings) {
  const std::string& input = table.path;
  opened->plan = &table.plan;

  OpenError open_error;
  opened->in = files.OpenForReading(input, &open_error);
  if (!opened->in) {
    *message = OpenErrorText(input, open_error, language);
    return ConvertStatus::kCannotOpenInput;
  }

  ConvertOptions& options = opened->options;
  options.skip_deleted = table.skip_deleted;
  options.fixer = table.fixer;
  if (table.read_memos && table.plan.ConvertsMemos()) {
    MemoError memo_error;
    if (!opened->memo.Open(files, input, table.layout.header.version,
                           &memo_error)) {
      *message = MemoErrorText(memo_error, language);
      return ConvertStatus::kMemoFailed;
    }
    options.memo = &opened->memo;
  }
  if (output.format == OutputFormat::kAdx) {
    // The ADX writer reads the table's bytes itself.
    opened->code_page = ChooseCodePage(table, language, warnings);
  } else if (output.charset != Charset::kKeep) {
    opened->encoder = std::make_unique<ValueEncoder>(
        ChooseCodePage(table, language, warnings), output.charset);
    options.encoder = opened->encoder.get();
  }

  opened->inputs = {input};
  if (options.memo) opened->inputs.push_back(opened->memo.path());
  return ConvertStatus::kDone;
}

std::string ShownOutput(const std::string& path, Language language) {
  return path.empty()
             ? Choose(language, "la salida est\xE1ndar", "standard output")
             : path;
}

OutputTarget TargetFor(const std::string& path, bool to_standard_output,
                       Language language) {
  OutputTarget target;
  if (!to_standard_output) target.path = path;
  target.shown = ShownOutput(target.path, language);
  return target;
}

bool OutputIsNoInput(FileSystem& files, const std::string& output_path,
                     const std::vector<std::string>& inputs, Language language,
                     std::string* message) {
  for (const std::string& read : inputs) {
    bool same = output_path.empty() ? files.StandardOutputIs(read)
                                    : NamesSameFile(files, read, output_path);
    if (same) {
      *message = FormatText(Choose(language,
                                   "La salida %s sustituir\xED"
                                   "a a la entrada %s; "
                                   "no se ha escrito nada",
                                   "The output %s would replace the input %s; "
                                   "nothing was written"),
                            ShownOutput(output_path, language), read);
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
  // What the path reaches through its links; a link to a device (such as
  // /dev/stdout to a pipe) is written through the link itself.
  FileKind kind = files.KindOf(target->path);
  target->earlier_exists = kind == FileKind::kRegular;
  if (kind == FileKind::kFolder) {
    create_error.text = Choose(language, "es una carpeta", "it is a folder");
  } else if (kind == FileKind::kDevice) {
    target->stream = files.OpenDeviceForWriting(target->path, &create_error);
  } else {
    target->temporary = files.CreateTemporaryFor(
        files.ResolveLinks(target->path), &create_error);
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
  return ConvertRecords(table->in.get(), out, header.record_count, *table->plan,
                        table->options);
}

ConvertStats ReadThrough(const OpenedTable& table, const DbfHeader& header) {
  ConvertStats stats;
  if (!table.in->Seek(header.header_length)) {
    stats.end = RunEnd::kReadFailed;
    stats.error = table.in->Error();
    return stats;
  }
  NullSink nothing;
  ConvertOptions quiet;
  quiet.skip_deleted = table.options.skip_deleted;
  quiet.memo = table.options.memo;
  return ConvertRecords(table.in.get(), &nothing, header.record_count,
                        *table.plan, quiet);
}

void FinishWriting(BackgroundWriter* writer, ConvertStats* stats) {
  if (!writer->Finish() && stats->end != RunEnd::kWriteFailed) {
    stats->end = RunEnd::kWriteFailed;
    stats->error = writer->Error();
  }
}

void EndOutput(OutputTarget* target, ConvertStats* stats, bool keep_truncated) {
  if (stats->end == RunEnd::kDone ||
      (stats->end == RunEnd::kTruncated && keep_truncated)) {
    bool finished = target->temporary ? target->temporary->Commit()
                                      : target->stream->Close();
    if (!finished) {
      stats->end = RunEnd::kWriteFailed;
      stats->error = target->file()->Error();
    }
  }
  target->temporary.reset();  // removes the file when it was not committed
  if (stats->end != RunEnd::kDone && !stats->error.failed())
    stats->error = ErrnoError(EIO);
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

std::string NothingConvertedText(Language language) {
  return Choose(language, "; no se ha convertido nada",
                "; nothing was converted");
}

std::string RunFailureCause(const ConvertStats& stats, const std::string& input,
                            const std::string& shown_output,
                            Language language) {
  if (stats.end == RunEnd::kMemoFailed)
    return MemoErrorText(stats.memo_error, language);
  if (stats.end == RunEnd::kWriteFailed)
    return FormatText(
        Choose(language, "No se puede escribir %s: %s", "Cannot write %s: %s"),
        shown_output, SystemErrorText(stats.error, language));
  return FormatText(
      Choose(language, "No se puede leer %s: %s", "Cannot read %s: %s"), input,
      SystemErrorText(stats.error, language));
}

std::string RunFailureText(const ConvertStats& stats, const std::string& input,
                           const std::string& shown_output, Language language) {
  return RunFailureCause(stats, input, shown_output, language) +
         NothingConvertedText(language);
}

ConvertStatus StatusOf(RunEnd end) {
  switch (end) {
    case RunEnd::kDone:
      return ConvertStatus::kDone;
    case RunEnd::kTruncated:
      return ConvertStatus::kTruncated;
    case RunEnd::kMemoFailed:
      return ConvertStatus::kMemoFailed;
    case RunEnd::kWriteFailed:
      return ConvertStatus::kWriteFailed;
    case RunEnd::kReadFailed:
      break;
  }
  return ConvertStatus::kReadFailed;
}

ConvertOutcome ConvertFile(const TableJob& table, const OutputJob& output,
                           const RunJob& run) {
  FileSystem& files = run.files ? *run.files : SystemFileSystem();
  const Language language = run.language;
  const std::string& input = table.path;
  const DbfHeader& header = table.layout.header;
  ConvertOutcome outcome;
  const bool adx_format = output.format == OutputFormat::kAdx;
  OutputTarget target = TargetFor(OutputPathOf(input, output),
                                  output.to_standard_output, language);
  outcome.output_path = target.path;

  OpenedTable opened;
  std::string message;
  ConvertStatus status = OpenTable(table, output, language, files, &opened,
                                   &message, &outcome.warnings);
  if (status != ConvertStatus::kDone) return Fail(outcome, status, message);
  opened.options.progress = run.progress;
  // No input may be replaced by the output, nor standard output be
  // redirected onto one.
  std::vector<std::string> inputs = opened.inputs;
  inputs.insert(inputs.end(), run.other_inputs.begin(), run.other_inputs.end());
  if (!OutputIsNoInput(files, target.path, inputs, language, &message))
    return Fail(outcome, ConvertStatus::kSameFile, message);
  if (!OpenOutput(files, language, &target, &message))
    return Fail(outcome, ConvertStatus::kCannotCreateOutput, message);

  ConvertStats& stats = outcome.stats;
  // What goes to a stream cannot be taken back: every memo is read once
  // before anything is written.
  if (target.stream && opened.options.memo) {
    ConvertStats trial = ReadThrough(opened, header);
    if (trial.end == RunEnd::kMemoFailed) stats = trial;
  }
  if (stats.end == RunEnd::kDone) {
    BackgroundWriter writer(target.file());
    std::unique_ptr<AdxWriter> adx;
    ByteSink* records = &writer;
    if (adx_format) {
      adx = std::make_unique<AdxWriter>(&writer, table.plan, opened.code_page,
                                        output.charset == Charset::kAscii);
      records = adx.get();
    }
    if (!(adx ? adx->WriteHeader(language)
              : WriteAdifHeader(&writer, language))) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    } else {
      stats = ConvertTable(&opened, header, records);
    }
    // The complete records of a run that is kept make a whole document.
    if (adx &&
        (stats.end == RunEnd::kDone || stats.end == RunEnd::kTruncated)) {
      if (!adx->Finish()) {
        stats.end = RunEnd::kWriteFailed;
        stats.error = adx->Error();
      }
      stats.values_changed = adx->values_spelled();
      outcome.values_kept_in_intl = adx->values_kept_in_intl();
    }
    FinishWriting(&writer, &stats);
  }
  opened.in.reset();

  // A truncated table keeps its complete records, unless that would replace
  // an earlier file.
  const bool earlier_exists = target.earlier_exists;
  EndOutput(&target, &stats, !earlier_exists);

  switch (stats.end) {
    case RunEnd::kDone:
      outcome.message = CompletionText(input, target.shown, language);
      return outcome;
    case RunEnd::kTruncated:
      return Fail(outcome,
                  earlier_exists ? ConvertStatus::kTruncatedEarlierKept
                                 : ConvertStatus::kTruncated,
                  TruncatedText(input, target.shown, stats, header.record_count,
                                earlier_exists, language));
    default:
      return Fail(outcome, StatusOf(stats.end),
                  RunFailureText(stats, input, target.shown, language));
  }
}
