// Tests of the outcome texts: the information line, and the words for what
// went wrong with a table or a memo file, in both languages.

#include "mapping/texts.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(Texts, InformationLineInBothLanguages) {
  const struct {
    unsigned year, month, day;
    std::uint32_t count;
    const char* english;
    const char* spanish;
    // clang-format off
  } cases[] = {
      {105, 6, 14, 321, "Created in: 14-06-105 with 321 Qso's",
       "Creado el: 14-06-105 con 321 Qso's"},
      {0, 1, 2, 0, "Created in: 02-01-00 with 0 Qso's",
       "Creado el: 02-01-00 con 0 Qso's"},
      {99, 12, 31, 7, "Created in: 31-12-99 with 7 Qso's",
       "Creado el: 31-12-99 con 7 Qso's"},
      {130, 255, 255, 3000000000u,
       "Created in: 255-255-130 with 3000000000 Qso's",
       "Creado el: 255-255-130 con 3000000000 Qso's"},
      {255, 0, 0, 4294967295u, "Created in: 00-00-255 with 4294967295 Qso's",
       "Creado el: 00-00-255 con 4294967295 Qso's"},
  };
  // clang-format on
  for (const auto& c : cases) {
    DbfHeader h;
    h.year = static_cast<std::uint8_t>(c.year);
    h.month = static_cast<std::uint8_t>(c.month);
    h.day = static_cast<std::uint8_t>(c.day);
    h.record_count = c.count;
    EXPECT_EQ(c.english, InformationLine(h, kEnglish));
    EXPECT_EQ(c.spanish, InformationLine(h, kSpanish));
  }
}

TEST(Texts, MemoErrorsNameTheFileAndTheRecordInBothLanguages) {
  const struct {
    MemoError::Kind kind;
    std::uint64_t number;
    const char* english;
    const char* spanish;
    // clang-format off
  } cases[] = {
      {MemoError::kBlockBeyondEnd, 99999,
       "m.fpt: memo of record 7 points to block 99999, beyond the end of the "
       "memo file",
       "m.fpt: el memo del registro 7 apunta al bloque 99999, m\xE1s all\xE1 "
       "del final del fichero memo"},
      {MemoError::kDamagedNumber, 0,
       "m.fpt: memo of record 7 has a damaged block number",
       "m.fpt: el memo del registro 7 tiene un n\xFAmero de bloque "
       "da\xF1""ado"},
      {MemoError::kNumberOutOfRange, 0,
       "m.fpt: memo of record 7 has a block number out of range",
       "m.fpt: el memo del registro 7 tiene un n\xFAmero de bloque fuera de "
       "rango"},
      {MemoError::kRunsPastEnd, 0,
       "m.fpt: memo of record 7 runs past the end of the memo file",
       "m.fpt: el memo del registro 7 sobrepasa el final del fichero memo"},
      {MemoError::kNotText, 0, "m.fpt: memo of record 7 is not text (memo type 0)",
       "m.fpt: el memo del registro 7 no es texto (memo de tipo 0)"},
      {MemoError::kShortHeader, 0,
       "the memo file m.fpt is damaged: shorter than its header",
       "el fichero memo m.fpt est\xE1 da\xF1""ado: es m\xE1s corto que su "
       "cabecera"},
      {MemoError::kTooLargeTogether, 0,
       "m.fpt: the memos of record 7 are too large together (damaged memo "
       "file?)",
       "m.fpt: los memos del registro 7 son demasiado grandes en conjunto "
       "(\xBF""fichero memo da\xF1""ado?)"},
  };
  // clang-format on
  for (const auto& c : cases) {
    MemoError error;
    error.kind = c.kind;
    error.path = "m.fpt";
    error.record = 7;
    error.number = c.number;
    EXPECT_EQ(c.english, MemoErrorText(error, kEnglish));
    EXPECT_EQ(c.spanish, MemoErrorText(error, kSpanish));
  }
  MemoError missing;
  missing.kind = MemoError::kNoMemoFile;
  missing.path = "log.dbf";
  missing.stem = "log";
  EXPECT_EQ("no memo file (log.DBT or log.FPT) for log.dbf",
            MemoErrorText(missing, kEnglish));
}

TEST(Texts, FilesThatCannotBeOpenedSayWhy) {
  OpenError error;
  error.reason = OpenError::kNotRegular;
  EXPECT_EQ("Cannot open x: not a regular file",
            OpenErrorText("x", error, kEnglish));
  EXPECT_EQ("No se puede abrir x: no es un fichero normal",
            OpenErrorText("x", error, kSpanish));
  error.reason = OpenError::kTooLarge;
  EXPECT_EQ("Cannot open x: it is too large",
            OpenErrorText("x", error, kEnglish));
  // Common causes in both languages, whatever the system calls them; the
  // others in the system's words.
  error.reason = OpenError::kSystem;
  error.system = {ENOENT, "The system cannot find the file specified"};
  EXPECT_EQ("Cannot open x: No such file or directory",
            OpenErrorText("x", error, kEnglish));
  EXPECT_EQ("No se puede abrir x: No existe el fichero o la carpeta",
            OpenErrorText("x", error, kSpanish));
  error.system = {0, "The network name is busy"};
  EXPECT_EQ("No se puede abrir x: The network name is busy",
            OpenErrorText("x", error, kSpanish));
}

}  // namespace
