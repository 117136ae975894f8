// record_lines.h: reading back the record lines the conversion writes
// ("<CALL:6>EA4ABC <BAND:3>40M ... <EOR>\r\n": each field a tag with the
// value's length, the value and one blank; "<EOR>\r\n" ends the record).
// The ADX writer and the duplicate finder both read them here.

#ifndef LOGWEAVE_CONVERT_RECORD_LINES_H_
#define LOGWEAVE_CONVERT_RECORD_LINES_H_

#include <cstddef>
#include <string_view>

/// What starts at a place in record lines.
enum class LinePart {
  kField,        ///< a field: its name and value
  kEndOfRecord,  ///< "<EOR>\r\n"
  kIncomplete,   ///< the text ends inside the part: more may come
  kMalformed,    ///< neither a field nor the end of a record
};

/// A part read from record lines.
struct LinePartRead {
  LinePart part = LinePart::kIncomplete;
  std::string_view name, value;  ///< with kField; views into the text
  const char* malformed = "";    ///< with kMalformed: what is wrong
};

/// Reads the part of \a text that starts at \a *at and, for a field or the
/// end of a record, moves \a *at past it (a field's blank included).
LinePartRead ReadLinePart(std::string_view text, std::size_t* at);

#endif  // LOGWEAVE_CONVERT_RECORD_LINES_H_
