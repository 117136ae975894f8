// convert_file.cpp: the Convert command frame.

#include "adif/convert_file.h"

#include <cerrno>
#include <cstdio>

#include "adif/adif_header.h"
#include "dbf/table_file.h"
#include "platform/files.h"

namespace {

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Puts \a a and \a b in the place of the first and second "%s" of \a pattern;
// paths of any length fit.
std::string Format(const char* pattern, const std::string& a,
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

ConvertOutcome Fail(ConvertOutcome outcome, ConvertStatus status,
                    std::string message) {
  outcome.status = status;
  outcome.message = std::move(message);
  return outcome;
}

std::string TruncatedText(const std::string& input, const std::string& output,
                          const ConvertStats& stats, std::uint32_t count,
                          Language language) {
  char numbers[128];
  std::snprintf(numbers, sizeof numbers,
                Choose(language,
                       " termina tras el registro %u de %u; los %u registros "
                       "completos se han convertido en ",
                       " ends after record %u of %u; the %u complete records "
                       "were converted to "),
                static_cast<unsigned>(stats.records_read),
                static_cast<unsigned>(count),
                static_cast<unsigned>(stats.records_read));
  return input + numbers + output;
}

}  // namespace

bool NamesSameFile(const std::string& input, const std::string& output) {
  if (input == output) return true;
  if (PathsIgnoreCase() && EqualIgnoringCase(input, output)) return true;
  return SameFile(input, output);
}

ConvertOutcome ConvertFile(const ConvertJob& job) {
  const Language language = job.language;
  const std::string& input = job.input_path;
  ConvertOutcome outcome;
  outcome.output_path =
      job.output_stream ? std::string()
                        : job.output_path.empty() ? DeriveOutputPath(input)
                                                  : job.output_path;
  const std::string shown_output =
      job.output_stream
          ? std::string(Choose(language, "la salida est\xE1ndar",
                               "standard output"))
          : outcome.output_path;

  if (IsSpecialFile(input))
    return Fail(outcome, ConvertStatus::kCannotOpenInput,
                CannotOpenText(input,
                               Choose(language, "no es un fichero normal",
                                      "not a regular file"),
                               language));
  errno = 0;
  std::FILE* in = std::fopen(input.c_str(), "rb");
  if (!in)
    return Fail(outcome, ConvertStatus::kCannotOpenInput,
                CannotOpenText(input, ErrorText(errno), language));

  // Standard output may be redirected onto the input itself.
  if (job.output_stream ? StreamIsFile(job.output_stream, input)
                        : NamesSameFile(input, outcome.output_path)) {
    std::fclose(in);
    return Fail(outcome, ConvertStatus::kSameFile,
                Format(Choose(language,
                              "La salida %s sustituir\xED""a a la entrada %s; no "
                              "se ha escrito nada",
                              "The output %s would replace the input %s; "
                              "nothing was written"),
                       shown_output, input));
  }

  std::string temp_path, cause;
  std::FILE* out = job.output_stream;
  // An output reached through a symbolic link is replaced where the link
  // points, so the link stays a link.
  const std::string written_path =
      out ? std::string() : ResolveLinks(outcome.output_path);
  FileKind output_kind = out ? FileKind::kOther : KindOfFile(written_path);
  if (output_kind == FileKind::kFolder) {
    cause = Choose(language, "es una carpeta", "it is a folder");
  } else if (!out && output_kind == FileKind::kOther) {
    // A device or a pipe is written in place; it cannot be replaced.
    errno = 0;
    out = std::fopen(written_path.c_str(), "wb");
    if (!out) cause = ErrorText(errno);
  } else if (!out) {
    out = CreateTempFileBeside(written_path, &temp_path, &cause);
  }
  if (!out) {
    std::fclose(in);
    return Fail(outcome, ConvertStatus::kCannotCreateOutput,
                Format(Choose(language, "No se puede crear %s: %s",
                              "Cannot create %s: %s"),
                       outcome.output_path, cause));
  }

  FileSink sink(out);
  FileSource source(in);
  ConvertStats& stats = outcome.stats;
  if (!WriteAdifHeader(&sink, language)) {
    stats.write_failed = true;
    stats.error = sink.Error();
  } else if (std::fseek(in, job.header.header_length, SEEK_SET) != 0) {
    stats.read_failed = true;
    stats.error = errno;
  } else {
    stats = ConvertRecords(&source, &sink, job.header.record_count, job.entries,
                           language, job.progress, job.options);
  }
  std::fclose(in);

  errno = 0;
  bool closed = job.output_stream ? std::fflush(out) == 0 && !std::ferror(out)
                                  : std::fclose(out) == 0;
  if (!closed && !stats.write_failed) {
    stats.write_failed = true;
    stats.error = errno ? errno : EIO;
  }

  if (stats.memo_failed) {
    if (!temp_path.empty()) std::remove(temp_path.c_str());
    return Fail(outcome, ConvertStatus::kMemoFailed,
                stats.memo_error +
                    Choose(language, "; no se ha convertido nada",
                           "; nothing was converted"));
  }
  if (!stats.write_failed && !stats.read_failed && !temp_path.empty() &&
      !ReplaceFile(temp_path, written_path, &cause)) {
    std::remove(temp_path.c_str());
    return Fail(outcome, ConvertStatus::kWriteFailed,
                Format(Choose(language,
                              "No se puede escribir %s: %s; no se ha "
                              "convertido nada",
                              "Cannot write %s: %s; nothing was converted"),
                       outcome.output_path, cause));
  }
  if (stats.write_failed || stats.read_failed) {
    if (!temp_path.empty()) std::remove(temp_path.c_str());
    std::string why = ErrorText(stats.error ? stats.error : EIO);
    if (stats.write_failed)
      return Fail(outcome, ConvertStatus::kWriteFailed,
                  Format(Choose(language,
                                "No se puede escribir %s: %s; no se ha "
                                "convertido nada",
                                "Cannot write %s: %s; nothing was converted"),
                         shown_output, why));
    return Fail(outcome, ConvertStatus::kReadFailed,
                Format(Choose(language,
                              "No se puede leer %s: %s; no se ha convertido "
                              "nada",
                              "Cannot read %s: %s; nothing was converted"),
                       input, why));
  }
  if (stats.truncated)
    return Fail(outcome, ConvertStatus::kTruncated,
                TruncatedText(input, shown_output, stats,
                              job.header.record_count, language));
  outcome.message = CompletionText(input, shown_output, language);
  return outcome;
}
