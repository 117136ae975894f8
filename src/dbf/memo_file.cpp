// memo_file.cpp: reading memo texts by block number.

#include "dbf/memo_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/files.h"

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

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// The table path without its extension.
std::string Stem(const std::string& table_path) {
  std::size_t dot = table_path.rfind('.');
  std::size_t slash = table_path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    return table_path;
  return table_path.substr(0, dot);
}

bool Exists(const std::string& path) {
  return KindOfFile(path) == FileKind::kRegular;
}

// The memo file with extension \a extension ("dbt"), in any letter case.
std::string FindWithExtension(const std::string& stem,
                              const std::string& extension) {
  std::string upper;
  for (char c : extension) upper += static_cast<char>(c - 'a' + 'A');
  std::string capital = upper.substr(0, 1) + extension.substr(1);
  for (const std::string& candidate :
       {stem + "." + upper, stem + "." + extension, stem + "." + capital})
    if (Exists(candidate)) return candidate;
  // Any other spelling: look through the folder.
  std::error_code ignored;
  std::filesystem::path wanted(stem + "." + extension);
  std::filesystem::path folder = wanted.parent_path();
  if (folder.empty()) folder = ".";
  std::string name = wanted.filename().string();
  for (const auto& entry :
       std::filesystem::directory_iterator(folder, ignored)) {
    std::string found = entry.path().filename().string();
    std::string path = (wanted.parent_path() / found).string();
    // Only a regular file: a pipe of that name would never end.
    if (EqualIgnoringCase(found, name) && Exists(path)) return path;
  }
  return std::string();
}

}  // namespace

bool IsFoxProVersion(std::uint8_t version) {
  return version == 0x30 || version == 0x31 || version == 0x32 ||
         version == 0xF5 || version == 0xFB;
}

MemoFile::~MemoFile() {
  if (file_) std::fclose(file_);
}

bool MemoFile::Open(const std::string& table_path, std::uint8_t table_version,
                    std::string* error) {
  std::string stem = Stem(table_path);
  bool foxpro_first = IsFoxProVersion(table_version);
  const char* order[2] = {foxpro_first ? "fpt" : "dbt",
                          foxpro_first ? "dbt" : "fpt"};
  for (const char* extension : order) {
    std::string path = FindWithExtension(stem, extension);
    if (!path.empty())
      return OpenPath(path, std::strcmp(extension, "fpt") == 0, table_version,
                      error);
  }
  *error = "no memo file (" + stem + ".DBT or " + stem + ".FPT) for " +
           table_path;
  return false;
}

bool MemoFile::OpenPath(const std::string& memo_path, bool foxpro,
                        std::uint8_t table_version, std::string* error) {
  path_ = memo_path;
  foxpro_ = foxpro;
  binary_numbers_ = table_version == 0x30 || table_version == 0x31 ||
                    table_version == 0x32;
  if (IsSpecialFile(memo_path)) {
    *error = "cannot open the memo file " + memo_path + ": not a regular file";
    return false;
  }
  errno = 0;
  file_ = std::fopen(memo_path.c_str(), "rb");
  if (!file_) {
    *error = "cannot open the memo file " + memo_path + ": " + ErrorText(errno);
    return false;
  }
  unsigned char header[32];
  if (std::fread(header, 1, sizeof header, file_) != sizeof header) {
    *error = "the memo file " + memo_path + " is damaged: shorter than its "
             "header";
    return false;
  }
  if (std::fseek(file_, 0, SEEK_END) == 0) {
    long size = std::ftell(file_);
    file_size_ = size > 0 ? static_cast<std::uint64_t>(size) : 0;
  }
  if (foxpro_) {
    block_size_ = (header[6] << 8) | header[7];
  } else {
    // dBase IV keeps its block size at offset 20; dBase III always uses 512.
    bool dbase4 = table_version == 0x8B || table_version == 0xCB ||
                  table_version == 0x7B;
    block_size_ = dbase4 ? (header[20] | (header[21] << 8)) : 512;
    if (block_size_ == 0) block_size_ = 512;
  }
  if (block_size_ == 0) {
    *error = "the memo file " + memo_path + " is damaged: its block size is 0";
    return false;
  }
  return true;
}

bool MemoFile::Fail(std::string* error, const std::string& cause,
                    std::uint32_t record) const {
  *error = path_ + ": memo of record " + std::to_string(record) + " " + cause;
  return false;
}

bool MemoFile::Read(const char* field, std::size_t size, std::uint32_t record,
                    std::string* text, std::string* error) {
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
          return Fail(error, "has a block number out of range", record);
      } else if (c != ' ' && c != '\0') {
        return Fail(error, "has a damaged block number", record);
      }
    }
    if (!digits) return true;
  }
  if (block == 0) return true;
  std::uint64_t offset = block * block_size_;
  if (offset >= file_size_ || offset > 0x7FFFFFFF)
    return Fail(error,
                "points to block " + std::to_string(block) +
                    ", beyond the end of the memo file",
                record);
  if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
    return Fail(error, "cannot be read: " + ErrorText(errno), record);
  std::uint64_t available = file_size_ - offset;

  unsigned char head[8];
  std::size_t got = std::fread(head, 1, sizeof head, file_);
  std::uint64_t length = 0;
  if (foxpro_) {
    if (got < 8)
      return Fail(error, "lies beyond the end of the memo file", record);
    std::uint32_t type = Big32(head);
    length = Big32(head + 4);
    if (type != 1)
      return Fail(error, "is not text (memo type " + std::to_string(type) + ")",
                  record);
    if (length > available - 8 || length > kLargestMemo)
      return Fail(error, "runs past the end of the memo file", record);
  } else if (got == 8 && head[0] == 0xFF && head[1] == 0xFF &&
             head[2] == 0x08 && head[3] == 0x00) {
    length = Little32(head + 4);  // includes the eight header bytes
    if (length < 8 || length - 8 > available - 8 || length - 8 > kLargestMemo)
      return Fail(error, "runs past the end of the memo file", record);
    length -= 8;
  } else {
    // dBase III: the text runs up to the end-of-text byte 0x1A.
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0)
      return Fail(error, "cannot be read: " + ErrorText(errno), record);
    std::vector<char> block_bytes(512);
    while (true) {
      std::size_t n = std::fread(block_bytes.data(), 1, block_bytes.size(), file_);
      const void* end = std::memchr(block_bytes.data(), 0x1A, n);
      std::size_t keep = end ? static_cast<const char*>(end) - block_bytes.data() : n;
      text->append(block_bytes.data(), keep);
      if (end || n < block_bytes.size()) break;
      if (text->size() > kLargestMemo)
        return Fail(error, "has no end mark (damaged memo file)", record);
    }
    return true;
  }
  text->resize(length);
  if (length && std::fread(&(*text)[0], 1, length, file_) != length)
    return Fail(error, "cannot be read whole", record);
  return true;
}
