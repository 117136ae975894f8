// fixtures.h: the standard contact log most tests convert: five columns (one
// a catalogue keyword, the others named in Spanish), three records of which
// the third is deleted, accented names in Windows-1252.

#ifndef LOGWEAVE_TESTS_SUPPORT_FIXTURES_H_
#define LOGWEAVE_TESTS_SUPPORT_FIXTURES_H_

#include "dbf_builder.h"

inline BuilderTable StandardLog() {
  BuilderTable t;
  t.columns = {{"CALL", 'C', 8, 0},
               {"FECHA", 'D', 8, 0},
               {"HORA", 'C', 5, 0},
               {"NOMBRE", 'C', 12, 0},
               {"QSL_SENT", 'C', 1, 0}};
  t.rows = {{"EA4ABC", "20050102", "09:15", "Jos\xE9", "S"},
            {"F6XYZ", "20050103", "10:42", "Fran\xE7ois", "N"},
            {"OLD1", "20050104", "11:00", "Borrado", "N"}};
  t.deleted = {false, false, true};
  return t;
}

/// The arguments that map every column of the standard log.
inline std::vector<std::string> StandardMapping() {
  return {"--auto", "--map", "fecha=qso_date,#3=time_on", "--map",
          "NOMBRE=name"};
}

/// The record lines of the standard log so mapped: the two live records ...
constexpr char kStandardLines[] =
    "<CALL:6>EA4ABC <QSO_DATE:8>20050102 <TIME_ON:4>0915 <NAME:4>Jos\xE9 "
    "<QSL_SENT:1>Y <EOR>\r\n"
    "<CALL:5>F6XYZ <QSO_DATE:8>20050103 <TIME_ON:4>1042 <NAME:8>Fran\xE7ois "
    "<QSL_SENT:1>N <EOR>\r\n";
/// ... and the deleted one.
constexpr char kStandardDeletedLine[] =
    "<CALL:4>OLD1 <QSO_DATE:8>20050104 <TIME_ON:4>1100 <NAME:7>Borrado "
    "<QSL_SENT:1>N <EOR>\r\n";

#endif  // LOGWEAVE_TESTS_SUPPORT_FIXTURES_H_
