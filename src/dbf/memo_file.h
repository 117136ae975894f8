// memo_file.h: the memo file beside a table, where the text of its memo (M)
// columns lives. A memo column holds only a block number: ten ASCII digits,
// or in Visual FoxPro a four-byte little-endian integer.
//
// Three layouts are read: the .DBT of dBase III (text up to a 0x1A byte),
// the .DBT of dBase IV (blocks that start FF FF 08 00 and a length), and the
// .FPT of FoxPro and Visual FoxPro (big-endian block size in the header;
// blocks with a big-endian type and length).

#ifndef LOGWEAVE_DBF_MEMO_FILE_H_
#define LOGWEAVE_DBF_MEMO_FILE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"

/// The largest memo text read; anything longer is taken for damage.
constexpr std::uint32_t kLargestMemo = 16u << 20;

/// Why a memo file or a memo in it could not be read.
struct MemoError {
  enum Kind {
    kNone,
    kNoMemoFile,        ///< neither STEM.DBT nor STEM.FPT beside the table
    kCannotOpen,        ///< see open
    kShortHeader,       ///< the file is shorter than its header
    kZeroBlockSize,     ///< its header gives a block size of 0
    kNumberOutOfRange,  ///< a block number above 4294967295
    kDamagedNumber,     ///< a block number that holds other characters
    kBlockBeyondEnd,    ///< block \a number starts past the end of the file
    kHeadBeyondEnd,     ///< the block's own header is cut by the end
    kNotText,           ///< a FoxPro memo of type \a number, not text
    kRunsPastEnd,       ///< its length runs past the end of the file
    kNoEndMark,         ///< a dBase III text without its end mark
    kCannotRead,        ///< see system
    kTooLargeTogether,  ///< the memos of one record are too large together
  };
  Kind kind = kNone;
  std::string path;  ///< the memo file; with kNoMemoFile, the table
  std::string stem;  ///< with kNoMemoFile, the table's path without extension
  std::uint32_t record = 0;  ///< the record whose memo it is, from 1
  std::uint64_t number = 0;  ///< the block number or the memo type
  OpenError open;
  SystemError system;
};

/// How a memo file is laid out.
enum class MemoFormat { kDbase, kFoxPro };

class MemoFile {
 public:
  MemoFile() = default;
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;

  /// Finds and opens the memo file of the table at \a table_path (its name
  /// with the extension .DBT or .FPT in any letter case; which one comes
  /// first follows the table's version byte). False and \a error on failure.
  bool Open(FileSystem& files, const std::string& table_path,
            std::uint8_t table_version, MemoError* error);

  /// Opens \a memo_path as a memo file of the given layout.
  bool OpenPath(FileSystem& files, const std::string& memo_path,
                MemoFormat format, std::uint8_t table_version,
                MemoError* error);

  /// Reads the memo whose block number is stored in the column bytes
  /// \a field (\a size bytes) of record \a record into \a text; a blank or
  /// zero block number gives an empty text. False and \a error on failure.
  bool Read(const char* field, std::size_t size, std::uint32_t record,
            std::string* text, MemoError* error);

  const std::string& path() const { return path_; }

 private:
  bool Fail(MemoError* error, MemoError::Kind kind, std::uint32_t record,
            std::uint64_t number = 0) const;

  std::unique_ptr<InputFile> file_;
  std::string path_;
  bool foxpro_ = false;
  bool binary_numbers_ = false;  // Visual FoxPro
  std::uint32_t block_size_ = 512;
  std::uint64_t file_size_ = 0;
};

/// Every memo file beside the table at \a table_path: the regular files named
/// like it with the extension .DBT or .FPT in any letter case. They belong
/// to the table whether or not its memos are read.
std::vector<std::string> MemoFilesBeside(FileSystem& files,
                                         const std::string& table_path);

/// True when \a path names a memo file of the table at \a table_path, there
/// or not: beside it, named like it with the extension .DBT or .FPT in any
/// letter case. Any such file would be read as the table's memos.
bool NamedAsMemoFileOf(FileSystem& files, const std::string& path,
                       const std::string& table_path);

/// Whether the table version byte belongs to a FoxPro table.
bool IsFoxProVersion(std::uint8_t version);

/// The path of \a table_path without its extension.
std::string TableStem(const std::string& table_path);

#endif  // LOGWEAVE_DBF_MEMO_FILE_H_
