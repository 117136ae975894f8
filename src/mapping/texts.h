// texts.h: the words of the lower layers' outcomes in the user's language:
// the information line of a table, and why a file, a table or a memo could
// not be read. The layers below report what happened as data; the words for
// it live here, next to the language.

#ifndef LOGWEAVE_MAPPING_TEXTS_H_
#define LOGWEAVE_MAPPING_TEXTS_H_

#include <string>
#include <vector>

#include "dbf/dbf_table.h"
#include "dbf/memo_file.h"
#include "dbf/table_file.h"
#include "mapping/language.h"
#include "platform/file_system.h"

/// "Created in: 14-06-105 with 321 Qso's" / "Creado el: 14-06-105 con 321
/// Qso's". The record count is printed as the unsigned number it is.
std::string InformationLine(const DbfHeader& header, Language language);

/// The system's words for \a error ("No such file or directory").
std::string SystemErrorText(const SystemError& error, Language language);

/// "Cannot open PATH: CAUSE" / "No se puede abrir PATH: CAUSE".
std::string CannotOpenText(const std::string& path, const std::string& cause,
                           Language language);

/// Why \a path could not be opened, as CannotOpenText: the system's words,
/// "not a regular file", or "too large".
std::string OpenErrorText(const std::string& path, const OpenError& error,
                          Language language);

/// A short cause for \a error ("the file is shorter than ...").
std::string LayoutErrorText(LayoutError error, Language language);

/// One line naming the table and why it could not be read.
std::string TableErrorText(const std::string& path, const TableError& error,
                           Language language);

/// What is wrong with a readable header, one line for each thing, naming
/// the table (no "warning" in front: the caller says how it is shown).
std::vector<std::string> HeaderDamageTexts(const std::string& path,
                                           const HeaderDamage& damage,
                                           Language language);

/// One line naming the memo file (and the record) and what is wrong.
std::string MemoErrorText(const MemoError& error, Language language);

#endif  // LOGWEAVE_MAPPING_TEXTS_H_
