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
#include <cstdio>
#include <string>

/// The largest memo text read; anything longer is taken for damage.
constexpr std::uint32_t kLargestMemo = 16u << 20;

class MemoFile {
 public:
  MemoFile() = default;
  MemoFile(const MemoFile&) = delete;
  MemoFile& operator=(const MemoFile&) = delete;
  ~MemoFile();

  /// Finds and opens the memo file of the table at \a table_path (its name
  /// with the extension .DBT or .FPT in any letter case; which one comes
  /// first follows the table's version byte). On failure returns false and
  /// sets \a error to a message naming the file and the cause.
  bool Open(const std::string& table_path, std::uint8_t table_version,
            std::string* error);

  /// Opens \a memo_path as a memo file of the given layout (true: FoxPro).
  bool OpenPath(const std::string& memo_path, bool foxpro,
                std::uint8_t table_version, std::string* error);

  /// Reads the memo whose block number is stored in the column bytes
  /// \a field (\a size bytes) into \a text; a blank or zero block number
  /// gives an empty text. On failure returns false and sets \a error to a
  /// message naming the memo file and \a record.
  bool Read(const char* field, std::size_t size, std::uint32_t record,
            std::string* text, std::string* error);

  const std::string& path() const { return path_; }

 private:
  bool Fail(std::string* error, const std::string& cause,
            std::uint32_t record) const;

  std::FILE* file_ = nullptr;
  std::string path_;
  bool foxpro_ = false;
  bool binary_numbers_ = false;  // Visual FoxPro
  std::uint32_t block_size_ = 512;
  std::uint64_t file_size_ = 0;
};

/// Whether the table version byte belongs to a FoxPro table.
bool IsFoxProVersion(std::uint8_t version);

#endif  // LOGWEAVE_DBF_MEMO_FILE_H_
