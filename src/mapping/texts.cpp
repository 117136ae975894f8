// texts.cpp: the outcome texts in both languages.

#include "mapping/texts.h"

#include <cerrno>
#include <cstdio>

std::string InformationLine(const DbfHeader& header, Language language) {
  char line[96];
  std::snprintf(line, sizeof line, "%s: %02i-%02i-%02i %s %u Qso's",
                Choose(language, "Creado el", "Created in"), header.day,
                header.month, header.year, Choose(language, "con", "with"),
                static_cast<unsigned>(header.record_count));
  return line;
}

namespace {

// The causes users meet most, in words of our own so that they read the
// same on every system and exist in both languages.
struct CommonCause {
  int code;
  const char* spanish;
  const char* english;
};

// clang-format off
const CommonCause kCommonCauses[] = {
    {ENOENT, "No existe el fichero o la carpeta", "No such file or directory"},
    {EACCES, "Permiso denegado", "Permission denied"},
    {EPERM, "Operaci\xF3n no permitida", "Operation not permitted"},
    {ENOSPC, "No queda espacio en el dispositivo", "No space left on device"},
    {EROFS, "Sistema de ficheros de solo lectura", "Read-only file system"},
    {EISDIR, "Es una carpeta", "Is a directory"},
    {ENOTDIR, "No es una carpeta", "Not a directory"},
    {ENAMETOOLONG, "Nombre de fichero demasiado largo", "File name too long"},
    {EEXIST, "El fichero ya existe", "File exists"},
    {EIO, "Error de entrada/salida", "Input/output error"},
    {EMFILE, "Demasiados ficheros abiertos", "Too many open files"},
    {EFBIG, "Fichero demasiado grande", "File too large"},
    {ENXIO, "No existe el dispositivo o la direcci\xF3n",
     "No such device or address"},
    {EBUSY, "Dispositivo o recurso ocupado", "Device or resource busy"},
    {EINVAL, "Argumento no v\xE1lido", "Invalid argument"},
    {EPIPE, "Tuber\xED""a rota", "Broken pipe"},
    {kReadOnlyFileCode, "es de solo lectura", "it is read-only"},
#ifdef EDQUOT
    {EDQUOT, "Cuota de disco superada", "Disk quota exceeded"},
#endif
#ifdef ELOOP
    {ELOOP, "Demasiados niveles de enlaces simb\xF3licos",
     "Too many levels of symbolic links"},
#endif
};
// clang-format on

}  // namespace

std::string SystemErrorText(const SystemError& error, Language language) {
  for (const CommonCause& cause : kCommonCauses)
    if (cause.code == error.code)
      return Choose(language, cause.spanish, cause.english);
  return error.text.empty() ? "error " + std::to_string(error.code)
                            : error.text;
}

std::string CannotOpenText(const std::string& path, const std::string& cause,
                           Language language) {
  return Choose(language, "No se puede abrir ", "Cannot open ") + path + ": " +
         cause;
}

namespace {

std::string OpenCause(const OpenError& error, Language language) {
  switch (error.reason) {
    case OpenError::kNotRegular:
      return Choose(language, "no es un fichero normal", "not a regular file");
    case OpenError::kTooLarge:
      return Choose(language, "es demasiado grande", "it is too large");
    default:
      return SystemErrorText(error.system, language);
  }
}

}  // namespace

std::string OpenErrorText(const std::string& path, const OpenError& error,
                          Language language) {
  return CannotOpenText(path, OpenCause(error, language), language);
}

std::string LayoutErrorText(LayoutError error, Language language) {
  switch (error) {
    case LayoutError::kNone:
      return "";
    case LayoutError::kShortHeader:
      return Choose(language,
                    "el fichero es m\xE1s corto que la cabecera de 32 bytes",
                    "the file is shorter than the 32-byte header");
    case LayoutError::kShortDescriptors:
      return Choose(language,
                    "el fichero termina dentro de la descripci\xF3n de los "
                    "campos",
                    "the file ends inside the column descriptions");
    case LayoutError::kReadFailed:
      return Choose(language, "error de lectura", "read error");
  }
  return "";
}

namespace {

std::string NotATableText(NotATable reason, Language language) {
  switch (reason) {
    case NotATable::kUnknownVersion:
      return Choose(language,
                    "su primer byte no corresponde a ninguna versi\xF3n de DBF",
                    "its first byte names no DBF version");
    case NotATable::kBadDate:
      return Choose(language, "su cabecera no tiene una fecha v\xE1lida",
                    "its header holds no valid date");
    case NotATable::kNoColumns:
      return Choose(language, "no describe ning\xFAn campo",
                    "it describes no column");
    case NotATable::kHeaderTooShort:
      return Choose(language,
                    "su cabecera es m\xE1s corta que la descripci\xF3n de sus "
                    "campos",
                    "its header is shorter than its column descriptions");
    case NotATable::kNone:
      break;
  }
  return "";
}

}  // namespace

std::string TableErrorText(const std::string& path, const TableError& error,
                           Language language) {
  if (error.open.reason != OpenError::kNone)
    return OpenErrorText(path, error.open, language);
  std::string cause =
      error.not_a_table != NotATable::kNone
          ? NotATableText(error.not_a_table, language)
      : error.layout == LayoutError::kReadFailed && error.read.failed()
          ? SystemErrorText(error.read, language)
          : LayoutErrorText(error.layout, language);
  return path +
         Choose(language, " no es una tabla DBF legible: ",
                " is not a readable DBF table: ") +
         cause;
}

std::vector<std::string> HeaderDamageTexts(const std::string& path,
                                           const HeaderDamage& damage,
                                           Language language) {
  std::vector<std::string> texts;
  char numbers[200];
  if (damage.record_length_differs) {
    std::snprintf(numbers, sizeof numbers,
                  Choose(language,
                         ": la cabecera da registros de %u bytes, pero sus "
                         "campos ocupan %u; los valores pueden leerse mal",
                         ": the header gives records of %u bytes, but its "
                         "columns take %u; the values may be misread"),
                  static_cast<unsigned>(damage.header_record_length),
                  static_cast<unsigned>(damage.columns_record_length));
    texts.push_back(path + numbers);
  }
  if (damage.surplus) {
    std::snprintf(numbers, sizeof numbers,
                  Choose(language,
                         ": el fichero tiene %llu bytes m\xE1s de los que dice "
                         "su cabecera; el n\xFAmero de registros o su longitud "
                         "pueden estar da\xF1"
                         "ados",
                         ": the file holds %llu bytes more than its header "
                         "says; the record count or length may be damaged"),
                  static_cast<unsigned long long>(damage.surplus_bytes));
    texts.push_back(path + numbers);
  }
  return texts;
}

std::string MemoErrorText(const MemoError& error, Language language) {
  const std::string& path = error.path;
  const std::string number = std::to_string(error.number);
  switch (error.kind) {
    case MemoError::kNone:
      return "";
    case MemoError::kNoMemoFile:
      return Choose(language, "no hay fichero memo (", "no memo file (") +
             error.stem + Choose(language, ".DBT o ", ".DBT or ") + error.stem +
             Choose(language, ".FPT) para ", ".FPT) for ") + path;
    case MemoError::kCannotOpen:
      return Choose(language, "no se puede abrir el fichero memo ",
                    "cannot open the memo file ") +
             path + ": " + OpenCause(error.open, language);
    case MemoError::kShortHeader:
      return Choose(language, "el fichero memo ", "the memo file ") + path +
             Choose(language,
                    " est\xE1 da\xF1"
                    "ado: es m\xE1s corto que su cabecera",
                    " is damaged: shorter than its header");
    case MemoError::kZeroBlockSize:
      return Choose(language, "el fichero memo ", "the memo file ") + path +
             Choose(language,
                    " est\xE1 da\xF1"
                    "ado: su tama\xF1o de bloque es 0",
                    " is damaged: its block size is 0");
    case MemoError::kTooLargeTogether:
      return path +
             Choose(language, ": los memos del registro ",
                    ": the memos of record ") +
             std::to_string(error.record) +
             Choose(language,
                    " son demasiado grandes en conjunto (\xBF"
                    "fichero memo "
                    "da\xF1"
                    "ado?)",
                    " are too large together (damaged memo file?)");
    default:
      break;
  }
  std::string cause;
  switch (error.kind) {
    case MemoError::kNumberOutOfRange:
      cause = Choose(language, "tiene un n\xFAmero de bloque fuera de rango",
                     "has a block number out of range");
      break;
    case MemoError::kDamagedNumber:
      cause = Choose(language,
                     "tiene un n\xFAmero de bloque da\xF1"
                     "ado",
                     "has a damaged block number");
      break;
    case MemoError::kBlockBeyondEnd:
      cause = Choose(language, "apunta al bloque ", "points to block ") +
              number +
              Choose(language, ", m\xE1s all\xE1 del final del fichero memo",
                     ", beyond the end of the memo file");
      break;
    case MemoError::kHeadBeyondEnd:
      cause =
          Choose(language, "queda m\xE1s all\xE1 del final del fichero memo",
                 "lies beyond the end of the memo file");
      break;
    case MemoError::kNotText:
      cause = Choose(language, "no es texto (memo de tipo ",
                     "is not text (memo type ") +
              number + ")";
      break;
    case MemoError::kRunsPastEnd:
      cause = Choose(language, "sobrepasa el final del fichero memo",
                     "runs past the end of the memo file");
      break;
    case MemoError::kNoEndMark:
      cause = Choose(language,
                     "no tiene marca de fin (fichero memo da\xF1"
                     "ado)",
                     "has no end mark (damaged memo file)");
      break;
    default:  // kCannotRead
      cause = error.system.failed()
                  ? Choose(language, "no se puede leer: ", "cannot be read: ") +
                        SystemErrorText(error.system, language)
                  : Choose(language, "no se puede leer entero",
                           "cannot be read whole");
      break;
  }
  return path +
         Choose(language, ": el memo del registro ", ": memo of record ") +
         std::to_string(error.record) + " " + cause;
}
