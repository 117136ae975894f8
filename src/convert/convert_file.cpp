// convert_file.cpp: the Convert command frame.

#include "convert/convert_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>

#include "convert/adif_header.h"
#include "dbf/code_page.h"
#include "dbf/memo_file.h"
#include "mapping/column_plan.h"
#include "mapping/texts.h"
#include "platform/background_writer.h"

namespace {

// Puts \a a and \a b in the place of the first and second "%s" of \a pattern;
// paths of any length fit.
std::string Format(const char* pattern, const std::string& a,
                   const std::string& b = std::string()) {
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

ConvertOutcome Fail(ConvertOutcome outcome, ConvertStatus status,
                    std::string message) {
  outcome.status = status;
  outcome.message = std::move(message);
  return outcome;
}

std::string TruncatedText(const std::string& input, const std::string& output,
                          const ConvertStats& stats, std::uint32_t count,
                          bool earlier_kept, Language language) {
  char numbers[160];
  const unsigned read = stats.records_read;
  std::snprintf(numbers, sizeof numbers,
                Choose(language, " termina tras el registro %u de %u; ",
                       " ends after record %u of %u; "),
                read, static_cast<unsigned>(count));
  std::string text = input + numbers;
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
        "warning: the table names code page " + std::to_string(named) +
        ", which is not supported; reading it as 1252");
    return 1252;
  }
  return named;
}

}  // namespace

ConvertOutcome ConvertFile(const ConvertJob& job) {
  FileSystem& files = job.files ? *job.files : SystemFileSystem();
  const Language language = job.language;
  const std::string& input = job.input_path;
  const DbfHeader& header = job.table.header;
  ConvertOutcome outcome;
  if (!job.to_standard_output)
    outcome.output_path =
        job.output_path.empty() ? DeriveOutputPath(input) : job.output_path;
  const std::string shown_output =
      job.to_standard_output
          ? std::string(Choose(language, "la salida est\xE1ndar",
                               "standard output"))
          : outcome.output_path;

  ColumnPlan plan = PlanColumns(job.entries, language);
  MarkMemoColumns(job.table, &plan);

  OpenError open_error;
  std::unique_ptr<InputFile> in = files.OpenForReading(input, &open_error);
  if (!in)
    return Fail(outcome, ConvertStatus::kCannotOpenInput,
                OpenErrorText(input, open_error, language));

  ConvertOptions options;
  options.skip_deleted = job.skip_deleted;
  options.progress = job.progress;
  options.fixer = job.fixer;
  MemoFile memo;
  if (job.read_memos && plan.ConvertsMemos()) {
    MemoError memo_error;
    if (!memo.Open(files, input, header.version, &memo_error))
      return Fail(outcome, ConvertStatus::kMemoFailed,
                  MemoErrorText(memo_error, language));
    options.memo = &memo;
  }
  std::unique_ptr<ValueEncoder> encoder;
  if (job.charset != Charset::kKeep) {
    encoder = std::make_unique<ValueEncoder>(
        ChooseCodePage(job, &outcome.warnings), job.charset);
    options.encoder = encoder.get();
  }

  // No input may be replaced by the output, nor standard output be
  // redirected onto one.
  std::vector<std::string> inputs = {input};
  if (options.memo) inputs.push_back(memo.path());
  inputs.insert(inputs.end(), job.other_inputs.begin(),
                job.other_inputs.end());
  for (const std::string& read : inputs) {
    bool same = job.to_standard_output
                    ? files.StandardOutputIs(read)
                    : NamesSameFile(files, read, outcome.output_path);
    if (same)
      return Fail(outcome, ConvertStatus::kSameFile,
                  Format(Choose(language,
                                "La salida %s sustituir\xED""a a la entrada %s; "
                                "no se ha escrito nada",
                                "The output %s would replace the input %s; "
                                "nothing was written"),
                         shown_output, read));
  }

  // The output: standard output, a device written in place, or a temporary
  // file that takes the place of the named one at the end. An output reached
  // through a symbolic link is replaced where the link points.
  std::unique_ptr<OutputFile> stream;
  std::unique_ptr<TemporaryFile> temporary;
  bool earlier_exists = false;
  SystemError create_error;
  if (job.to_standard_output) {
    stream = files.StandardOutput();
  } else {
    const std::string written_path = files.ResolveLinks(outcome.output_path);
    FileKind kind = files.KindOf(written_path);
    earlier_exists = kind == FileKind::kRegular;
    if (kind == FileKind::kFolder) {
      create_error.text = Choose(language, "es una carpeta", "it is a folder");
    } else if (kind == FileKind::kDevice) {
      stream = files.OpenDeviceForWriting(written_path, &create_error);
    } else {
      temporary = files.CreateTemporaryFor(written_path, &create_error);
    }
    if (!stream && !temporary)
      return Fail(outcome, ConvertStatus::kCannotCreateOutput,
                  Format(Choose(language, "No se puede crear %s: %s",
                                "Cannot create %s: %s"),
                         outcome.output_path,
                         SystemErrorText(create_error, language)));
  }
  OutputFile* out = temporary ? static_cast<OutputFile*>(temporary.get())
                              : stream.get();

  ConvertStats& stats = outcome.stats;
  // What goes to a stream cannot be taken back: every memo is read once
  // before anything is written.
  if (stream && options.memo) {
    NullSink nothing;
    ConvertOptions quiet = options;
    quiet.progress = nullptr;
    quiet.encoder = nullptr;
    quiet.fixer = nullptr;
    if (in->Seek(header.header_length)) {
      ConvertStats trial =
          ConvertRecords(in.get(), &nothing, header.record_count, plan, quiet);
      if (trial.end == RunEnd::kMemoFailed) stats = trial;
    }
  }
  if (stats.end == RunEnd::kDone) {
    BackgroundWriter writer(out);
    if (!WriteAdifHeader(&writer, language)) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    } else if (!in->Seek(header.header_length)) {
      stats.end = RunEnd::kReadFailed;
      stats.error = in->Error();
    } else {
      stats = ConvertRecords(in.get(), &writer, header.record_count, plan,
                             options);
    }
    // What the run wrote reaches the file before it is judged.
    if (!writer.Finish() && stats.end != RunEnd::kWriteFailed) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = writer.Error();
    }
  }
  in.reset();

  if (!stats.error.failed()) stats.error = ErrnoError(EIO);
  const std::string nothing_converted =
      Choose(language, "; no se ha convertido nada", "; nothing was converted");
  // A truncated table keeps its complete records, unless that would replace
  // an earlier file.
  bool keep = stats.end == RunEnd::kDone ||
              (stats.end == RunEnd::kTruncated && !earlier_exists);
  if (keep) {
    bool finished = temporary ? temporary->Commit() : stream->Close();
    if (!finished) {
      stats.end = RunEnd::kWriteFailed;
      stats.error = out->Error();
    }
  }
  temporary.reset();  // removes the file when it was not committed

  switch (stats.end) {
    case RunEnd::kDone:
      outcome.message = CompletionText(input, shown_output, language);
      return outcome;
    case RunEnd::kTruncated:
      return Fail(outcome,
                  earlier_exists ? ConvertStatus::kTruncatedEarlierKept
                                 : ConvertStatus::kTruncated,
                  TruncatedText(input, shown_output, stats,
                                header.record_count, earlier_exists,
                                language));
    case RunEnd::kMemoFailed:
      return Fail(outcome, ConvertStatus::kMemoFailed,
                  MemoErrorText(stats.memo_error, language) +
                      nothing_converted);
    case RunEnd::kWriteFailed:
      return Fail(outcome, ConvertStatus::kWriteFailed,
                  Format(Choose(language, "No se puede escribir %s: %s",
                                "Cannot write %s: %s"),
                         shown_output,
                         SystemErrorText(stats.error, language)) +
                      nothing_converted);
    case RunEnd::kReadFailed:
      break;
  }
  return Fail(outcome, ConvertStatus::kReadFailed,
              Format(Choose(language, "No se puede leer %s: %s",
                            "Cannot read %s: %s"),
                     input, SystemErrorText(stats.error, language)) +
                  nothing_converted);
}
