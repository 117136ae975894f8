// adif_reader.h: reading an ADIF file of any origin and any size, a record
// at a time, without judging the values. Two forms are read: the tagged form
// (.adi) and the XML form (.adx, see adx_reader.h); both hand over the same
// records.
//
// The file is read in blocks through the file layer and only the record at
// hand is held, so memory stays the same for a file of a kilobyte or of
// gigabytes. A record is handed over in parts when it is very large (more
// than kAdifPartFields fields or problems, or kAdifPartBytes of data), and a
// field's data is held up to kAdifHeldData bytes; its length and what kind of
// bytes it holds are known for the whole of it.
//
// The tagged form: a header exists when the first byte is not "<" and ends at
// <EOH>; records are data-specifiers <NAME:LEN[:TYPE]>DATA ended by <EOR>;
// tag names are compared without regard to letter case and text between
// data-specifiers is ignored. The declared length is authoritative: a field's
// data is the LEN bytes after its tag, as a strict reader takes it. A tag is
// looked for within kAdifTagLimit bytes of its "<". Whatever a strict reader
// would stumble on (malformed tags, lengths that disagree with the text
// around them, a missing <EOR> or <EOH>) is kept as a syntax problem on the
// record where it occurs. Reading never fails but for the file's own read
// errors, and its cost grows linearly with the size.

#ifndef LOGWEAVE_ADIF_ADIF_READER_H_
#define LOGWEAVE_ADIF_ADIF_READER_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

/// The bytes of a field's data that are held; the rest is only measured.
constexpr std::size_t kAdifHeldData = 4096;
/// A record is handed over in parts beyond this many fields or problems ...
constexpr std::size_t kAdifPartFields = 1024;
/// ... or this many bytes of held data.
constexpr std::size_t kAdifPartBytes = 1 << 20;
/// How far from its "<" a tag may end.
constexpr std::size_t kAdifTagLimit = 4096;
/// The size of the blocks the file is read in.
constexpr std::size_t kAdifBlockSize = 1 << 18;

/// What kind of bytes a field's data holds, over the whole of it. Positions
/// count from 0.
struct AdifByteCounts {
  std::uint64_t odd = 0;        ///< outside 0x20-0x7E, CR and LF apart
  std::uint64_t first_odd = 0;  ///< the position of the first of them
  std::uint64_t line_ends = 0;  ///< CR and LF
  std::uint64_t first_line_end = 0;
  unsigned char odd_byte = 0;  ///< the first odd byte
  unsigned char line_end_byte = 0;
};

/// One field. The views stay valid until the reader's next call.
struct AdifField {
  std::string_view name;  ///< as written, e.g. "qso_date"
  std::string_view type;  ///< the type indicator, empty when absent
  /// The data, its first kAdifHeldData bytes at most.
  std::string_view data;
  std::uint64_t length = 0;  ///< of the whole data; shorter than declared
                             ///< only when the file ends first
  std::uint64_t declared_length = 0;  ///< saturated for absurd lengths
  std::uint64_t offset = 0;           ///< of the tag's "<" in the file
  std::uint64_t data_offset = 0;      ///< where the data starts in the file
  AdifByteCounts bytes;
  /// A number the reader gave the name while reading: the fields it gave
  /// the same number have the same name, in any letter case. 0: none was
  /// given.
  std::uint64_t spelling = 0;
  /// The length is written with zeros in front (<CALL:04>).
  bool length_leading_zeros = false;
  bool held_whole() const { return data.size() == length; }
};

/// What a strict reader would stumble on.
enum class AdifSyntax {
  kTagNotClosed,      ///< a "<NAME..." that is not closed by ">"
  kTagWithoutLength,  ///< <NAME> other than <EOR> and <EOH>
  kEohOutOfPlace,     ///< <EOH> after the header
  kLengthNotNumber,   ///< <NAME:LEN> whose LEN is not a number
  kLengthPastEnd,     ///< the length runs past the end of the file
  kLengthTakesTag,    ///< the length takes in the next tag
  /// Text between the data and the next tag that is glued to the data or
  /// holds a "<": the length may be too short. Other text there is a
  /// comment, which the standard allows.
  kTextAfterValue,
  kMissingEor,  ///< the file ends inside a record
  kMissingEoh,  ///< header text without <EOH>
  kXml,         ///< the XML form is malformed; see AdifXmlProblem
};
constexpr int kAdifSyntaxKinds = static_cast<int>(AdifSyntax::kXml) + 1;

/// What is wrong with the XML form, in AdifSyntaxProblem::number.
enum class AdifXmlProblem {
  kBadMarkup,      ///< a "<" that starts no well-formed tag
  kWrongEnd,       ///< an end tag that closes no open element
  kStrayText,      ///< text outside a field
  kNestedElement,  ///< an element inside a field
  kBadEntity,      ///< an "&" that starts no known entity
  kNotAdx,         ///< the root element is not <ADX>, or there is none
  kUnclosed,       ///< the file ends inside <ADX>
  kUnnamedField,   ///< an <APP> or <USERDEF> without the attributes that
                   ///< name its field
};
constexpr int kAdifXmlProblems =
    static_cast<int>(AdifXmlProblem::kUnnamedField) + 1;

/// One syntax problem, as data: the words are the checker's.
struct AdifSyntaxProblem {
  AdifSyntax kind = AdifSyntax::kTagNotClosed;
  std::string field;         ///< upper-cased field name, "-" when none
  std::string length;        ///< the length as written, printable
  std::string text;          ///< the tag or the text left, printable
  std::string value;         ///< the value as read, printable
  std::uint64_t number = 0;  ///< bytes left, or the declared length
};

/// A record, or a part of one.
struct AdifRecord {
  std::vector<AdifField> fields;
  std::vector<AdifSyntaxProblem> problems;
  bool continued = false;   ///< continues the record of the previous part
  bool complete = true;     ///< the record ends with this part
  bool terminated = false;  ///< ended by <EOR> (or </RECORD>)
};

/// Problems of the file as a whole and of its header (outside records): of
/// each kind, the first kAdifKeptFileProblems are kept and the rest only
/// counted, so that a flood of them takes no memory.
constexpr std::uint64_t kAdifKeptFileProblems = 100;
struct AdifFileProblems {
  std::vector<AdifSyntaxProblem> kept;
  std::uint64_t more[kAdifSyntaxKinds] = {};  ///< not kept, by kind
};

/// A header field, held.
struct AdifHeaderField {
  std::string name;
  std::string type;  ///< its type indicator, or the XML form's TYPE
  std::string data;  ///< its first kAdifHeldData bytes at most
};

/// The two forms of an ADIF file.
enum class AdifForm { kTagged, kXml };

/// The form of the file \a file holds: the XML form when, past a byte
/// order mark and any white space, it opens with "<?" (an XML declaration),
/// "<!" (a DOCTYPE or a comment) or "<ADX"; the tagged form otherwise (a
/// tagged file opens with header text or a "<NAME:"). \a file is read from
/// its start and put back there.
AdifForm DetectAdifForm(InputFile* file);
/// The same for a file held in \a bytes.
AdifForm DetectAdifForm(std::string_view bytes);

/// Reads records one after the other.
class AdifRecordReader {
 public:
  virtual ~AdifRecordReader() = default;
  /// Reads the next record (or part of one) into \a record, whose storage is
  /// reused; false at the end of the file or when reading failed.
  virtual bool Next(AdifRecord* record) = 0;
  /// Problems of the file as a whole and of its header found since the last
  /// call. Those of the header are known before the first record is handed
  /// over.
  AdifFileProblems TakeFileProblems();
  /// True when there are such problems to take.
  bool has_file_problems() const {
    return !file_problems_.kept.empty() || has_more_file_problems_;
  }
  bool has_header() const { return has_header_; }
  /// The header's fields (at most kAdifPartFields of them), known before the
  /// first record is handed over.
  const std::vector<AdifHeaderField>& header_fields() const {
    return header_fields_;
  }
  /// The file offset up to which the file has been read; just past its
  /// <EOR> (or </RECORD>) after a whole record is handed over.
  virtual std::uint64_t position() const = 0;
  /// True when the file could not be read to its end.
  bool failed() const { return failed_; }
  const SystemError& error() const { return error_; }

 protected:
  bool has_header_ = false;
  /// Keeps \a problem when it is among the first of its kind.
  void AddFileProblem(AdifSyntaxProblem problem);
  /// Takes each of \a problems as AddFileProblem does, and empties it.
  void AddFileProblems(std::vector<AdifSyntaxProblem>* problems);

  std::vector<AdifHeaderField> header_fields_;
  bool failed_ = false;
  SystemError error_;

 private:
  AdifFileProblems file_problems_;
  bool has_more_file_problems_ = false;  // counted in file_problems_.more
  // How many of each kind were found (the XML form's by what is wrong).
  std::uint64_t found_[kAdifSyntaxKinds + kAdifXmlProblems] = {};
};

/// A reader of \a file, of the form \a form, reading blocks of \a block_size
/// bytes (any size from 1 gives the same records). \a file must outlive it.
/// \a fast: a clean record (of either form) is handed over with its views in
/// the block it lies in, nothing copied; false reads every record the
/// careful way, to the same outcome (for tests that compare the two).
std::unique_ptr<AdifRecordReader> MakeAdifReader(
    InputFile* file, AdifForm form, std::size_t block_size = kAdifBlockSize,
    bool fast = true);

/// A reader of \a file, of the form \a form, from \a offset, just past
/// the <EOR> (or </RECORD>) of a record: it hands over what a reader from
/// the start would hand over after that record (so no header).
std::unique_ptr<AdifRecordReader> MakeAdifReaderAfterRecord(
    InputFile* file, std::uint64_t offset, AdifForm form);

/// An InputFile over bytes in memory, which must outlive it.
class MemoryInputFile : public InputFile {
 public:
  explicit MemoryInputFile(std::string_view bytes) : bytes_(bytes) {}
  std::size_t Read(char* buffer, std::size_t size) override;
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Seek(std::uint64_t offset) override;

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

/// A whole small file read at once, records joined from their parts and
/// every value held whole (for tests and tools; any size is read, but it is
/// all held).
struct AdifFile {
  struct Field {
    std::string name, type, data;
    std::uint64_t declared_length = 0;
    std::uint64_t offset = 0;
  };
  struct Record {
    std::vector<Field> fields;
    std::vector<AdifSyntaxProblem> problems;
    bool terminated = false;
  };
  bool has_header = false;
  std::vector<AdifHeaderField> header_fields;
  std::vector<AdifSyntaxProblem> file_problems;
  std::uint64_t more_file_problems = 0;  ///< found but not kept
  std::vector<Record> records;
};

/// Reads \a bytes whole, in the form its start shows.
AdifFile ReadAdif(std::string_view bytes,
                  std::size_t block_size = kAdifBlockSize, bool fast = true);

#endif  // LOGWEAVE_ADIF_ADIF_READER_H_
