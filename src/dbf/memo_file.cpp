// memo_file.cpp: reading memo texts by block number.

#include "dbf/memo_file.h"

#include <cstring>
#include <vector>

#include "platform/text.h"

namespace {

std::uint32_t Big32(const unsigned char* p) {
  return (static_cast<std::uint32_t>(p[0]) << 24) |
         (static_cast<std::uint32_t>(p[1]) << 16) |
         (static_cast<std::uint32_t>(p[2]) << 8) | p[3];
}

std::uint32_t Little32(const unsigned char* p) {
  return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) |
         (static_cast<std::uint32_t>(p[3]) << 24);
}

// The memo files with extension \a extension ("dbt") beside \a stem, in any
// letter case. Only a regular file counts: a pipe of that name would never
// end.
std::vector<std::string> WithExtension(FileSystem& files,
                                       const std::string& stem,
                                       const std::string& extension) {
  const std::string folder = FolderOf(stem);
  const std::string wanted = NameOf(stem) + "." + extension;
  std::vector<std::string> found;
  for (const std::string& name : files.NamesInFolder(folder)) {
    std::string path = folder + name;
    if (EqualIgnoringCase(name, wanted) &&
        files.KindOf(path) == FileKind::kRegular)
      found.push_back(path);
  }
  return found;
}

}  // namespace

bool IsFoxProVersion(std::uint8_t version) {
  return version == 0x30 || version == 0x31 || version == 0x32 ||
         version == 0xF5 || version == 0xFB;
}

std::string TableStem(const std::string& table_path) {
  std::string name = NameOf(table_path);
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return table_path;
  return table_path.substr(0, table_path.size() - (name.size() - dot));
}

std::vector<std::string> MemoFilesBeside(FileSystem& files,
                                         const std::string& table_path) {
  const std::string stem = TableStem(table_path);
  std::vector<std::string> found = WithExtension(files, stem, "dbt");
  for (std::string& path : WithExtension(files, stem, "fpt"))
    found.push_back(std::move(path));
  return found;
}

bool NamedAsMemoFileOf(FileSystem& files, const std::string& path,
                       const std::string& table_path) {
  const std::string stem = NameOf(TableStem(table_path));
  const std::string name = NameOf(path);
  if (!EqualIgnoringCase(name, stem + ".dbt") &&
      !EqualIgnoringCase(name, stem + ".fpt"))
    return false;
  // "dir/." names the folder itself, as "." names the current one.
  return files.SameFile(FolderOf(path) + ".", FolderOf(table_path) + ".");
}

bool MemoFile::Open(FileSystem& files, const std::string& table_path,
                    std::uint8_t table_version, MemoError* error) {
  std::string stem = TableStem(table_path);
  bool foxpro_first = IsFoxProVersion(table_version);
  const MemoFormat order[2] = {
      foxpro_first ? MemoFormat::kFoxPro : MemoFormat::kDbase,
      foxpro_first ? MemoFormat::kDbase : MemoFormat::kFoxPro};
  for (MemoFormat format : order) {
    std::vector<std::string> found = WithExtension(
        files, stem, format == MemoFormat::kFoxPro ? "fpt" : "dbt");
    if (!found.empty())
      return OpenPath(files, found.front(), format, table_version, error);
  }
  *error = MemoError();
  error->kind = MemoError::kNoMemoFile;
  error->path = table_path;
  error->stem = stem;
  return false;
}

bool MemoFile::OpenPath(FileSystem& files, const std::string& memo_path,
                        MemoFormat format, std::uint8_t table_version,
                        MemoError* error) {
  *error = MemoError();
  error->path = memo_path;
  path_ = memo_path;
  foxpro_ = format == MemoFormat::kFoxPro;
  binary_numbers_ =
      table_version == 0x30 || table_version == 0x31 || table_version == 0x32;
  file_ = files.OpenForReading(memo_path, &error->open);
  if (!file_) {
    error->kind = MemoError::kCannotOpen;
    return false;
  }
  file_size_ = file_->Size();
  unsigned char header[32];
  if (!ReadExactly(file_.get(), header, sizeof header)) {
    error->kind = MemoError::kShortHeader;
    return false;
  }
  if (foxpro_) {
    block_size_ = (header[6] << 8) | header[7];
  } else {
    // dBase IV keeps its block size at offset 20; dBase III always uses 512.
    bool dbase4 =
        table_version == 0x8B || table_version == 0xCB || table_version == 0x7B;
    block_size_ = dbase4 ? (header[20] | (header[21] << 8)) : 512;
    if (block_size_ == 0) block_size_ = 512;
  }
  if (block_size_ == 0) {
    error->kind = MemoError::kZeroBlockSize;
    return false;
  }
  return true;
}

bool MemoFile::Fail(MemoError* error, MemoError::Kind kind,
                    std::uint32_t record, std::uint64_t number) const {
  *error = MemoError();
  error->kind = kind;
  error->path = path_;
  error->record = record;
  error->number = number;
  if (kind == MemoError::kCannotRead) error->system = file_->Error();
  return false;
}

bool MemoFile::Read(const char* field, std::size_t size, std::uint32_t record,
                    std::string* text, MemoError* error) {
  text->clear();
  std::uint64_t block = 0;
  if (binary_numbers_ && size == 4) {
    block = Little32(reinterpret_cast<const unsigned char*>(field));
  } else {
    bool digits = false;
    for (std::size_t i = 0; i < size; ++i) {
      char c = field[i];
      if (c >= '0' && c <= '9') {
        block = block * 10 + (c - '0');
        digits = true;
        if (block > 0xFFFFFFFFu)
          return Fail(error, MemoError::kNumberOutOfRange, record);
      } else if (c != ' ' && c != '\0') {
        return Fail(error, MemoError::kDamagedNumber, record);
      }
    }
    if (!digits) return true;
  }
  if (block == 0) return true;
  std::uint64_t offset = block * block_size_;
  if (offset >= file_size_)
    return Fail(error, MemoError::kBlockBeyondEnd, record, block);
  if (!file_->Seek(offset)) return Fail(error, MemoError::kCannotRead, record);
  std::uint64_t available = file_size_ - offset;

  unsigned char head[8];
  std::size_t got = file_->Read(reinterpret_cast<char*>(head), sizeof head);
  if (file_->Failed()) return Fail(error, MemoError::kCannotRead, record);
  std::uint64_t length = 0;
  if (foxpro_) {
    if (got < 8) return Fail(error, MemoError::kHeadBeyondEnd, record);
    std::uint32_t type = Big32(head);
    length = Big32(head + 4);
    if (type != 1) return Fail(error, MemoError::kNotText, record, type);
    if (length > available - 8 || length > kLargestMemo)
      return Fail(error, MemoError::kRunsPastEnd, record);
  } else if (got == 8 && head[0] == 0xFF && head[1] == 0xFF &&
             head[2] == 0x08 && head[3] == 0x00) {
    length = Little32(head + 4);  // includes the eight header bytes
    if (length < 8 || length - 8 > available - 8 || length - 8 > kLargestMemo)
      return Fail(error, MemoError::kRunsPastEnd, record);
    length -= 8;
  } else {
    // dBase III: the text runs up to the end-of-text byte 0x1A.
    if (!file_->Seek(offset))
      return Fail(error, MemoError::kCannotRead, record);
    std::vector<char> block_bytes(512);
    while (true) {
      std::size_t n = file_->Read(block_bytes.data(), block_bytes.size());
      if (file_->Failed()) return Fail(error, MemoError::kCannotRead, record);
      const void* end = std::memchr(block_bytes.data(), 0x1A, n);
      std::size_t keep =
          end ? static_cast<const char*>(end) - block_bytes.data() : n;
      text->append(block_bytes.data(), keep);
      if (end || n < block_bytes.size()) break;
      if (text->size() > kLargestMemo)
        return Fail(error, MemoError::kNoEndMark, record);
    }
    return true;
  }
  text->resize(length);
  if (length && file_->Read(&(*text)[0], length) != length)
    return Fail(error, MemoError::kCannotRead, record);
  return true;
}
