// adif_reader.h: reading an ADIF file (.adi) of any origin into its header
// fields and records, without judging the values.
//
// The file is a byte buffer. A header exists when the first byte is not "<"
// and ends at <EOH>; records are data-specifiers <NAME:LEN[:TYPE]>DATA ended
// by <EOR>; tag names are compared without regard to letter case and text
// between data-specifiers is ignored. The declared length is authoritative:
// a field's data is the LEN bytes after its tag, as a strict reader takes it.
// Whatever a strict reader would stumble on (malformed tags, lengths that
// disagree with the text around them, a missing <EOR> or <EOH>) is kept as a
// syntax problem on the record where it occurs. Reading never fails and
// never looks outside the buffer; its cost grows linearly with the size.

#ifndef LOGWEAVE_ADIF_ADIF_READER_H_
#define LOGWEAVE_ADIF_ADIF_READER_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

/// One data-specifier. The views point into the buffer given to ReadAdif.
struct AdifField {
  std::string_view name;         ///< as written, e.g. "qso_date"
  std::string_view type;         ///< the type indicator, empty when absent
  std::string_view data;         ///< the data; shorter than declared only
                                 ///< when the file ends first
  std::size_t declared_length = 0;
  std::size_t offset = 0;        ///< of the tag's "<" in the buffer
};

/// What a strict reader would stumble on.
enum class AdifSyntax {
  kBadTag,      ///< a "<" that starts a tag that is not well formed
  kBadLength,   ///< a length that disagrees with the text around its data
  kMissingEor,  ///< the file ends inside a record
  kMissingEoh,  ///< header text without <EOH>
};

/// One syntax problem: the field it concerns (empty when none) and a message
/// in plain ASCII.
struct AdifSyntaxProblem {
  AdifSyntax kind = AdifSyntax::kBadTag;
  std::string field;
  std::string message;
};

/// The fields between two <EOR>s (or from the start or the <EOH>).
struct AdifRecord {
  std::vector<AdifField> fields;
  std::vector<AdifSyntaxProblem> problems;
  bool terminated = false;  ///< ended by <EOR>
};

/// A whole file.
struct AdifFile {
  bool has_header = false;  ///< the file opens with header text ended by <EOH>
  std::vector<AdifField> header_fields;
  /// Problems of the file as a whole and of its header.
  std::vector<AdifSyntaxProblem> file_problems;
  std::vector<AdifRecord> records;
};

/// Reads \a bytes. The result's views point into \a bytes, which must outlive
/// it. A file that opens with text but has no <EOH> is read from its start as
/// records, with a kMissingEoh problem, since strict readers would take it
/// all for header. A record is started by its first tag; text after the last
/// <EOR> that holds no tag is ignored. An <EOH> after fields but before the
/// first <EOR> turns those fields into header fields, as written by programs
/// that open the file with "<ADIF_VER:5>...".
AdifFile ReadAdif(std::string_view bytes);

/// \a text with bytes outside printable ASCII written as \xNN and cut to
/// \a max_length characters (ending in "...") when longer; for messages.
std::string PrintableText(std::string_view text, std::size_t max_length = 40);

#endif  // LOGWEAVE_ADIF_ADIF_READER_H_
