// file_system.cpp: what every platform's file system shares.

#include "platform/file_system.h"

#include <cerrno>

#include "platform/text.h"

namespace {

#ifdef _WIN32
constexpr char kSeparators[] = "/\\:";
#else
constexpr char kSeparators[] = "/";
#endif

class StdioOutput : public OutputFile {
 public:
  explicit StdioOutput(std::FILE* file) : file_(file) {}
  bool Write(const char* data, std::size_t size) override {
    if (error_.failed()) return false;
    errno = 0;
    if (std::fwrite(data, 1, size, file_) == size) return true;
    error_ = ErrnoError(errno ? errno : EIO);
    return false;
  }
  bool Close() override {
    errno = 0;
    if ((std::fflush(file_) != 0 || std::ferror(file_)) && !error_.failed())
      error_ = ErrnoError(errno ? errno : EIO);
    return !error_.failed();
  }
  SystemError Error() const override { return error_; }

 private:
  std::FILE* file_;
  SystemError error_;
};

}  // namespace

namespace {
PathEncoding g_path_encoding = PathEncoding::kAnsi;
}  // namespace

void SetPathEncoding(PathEncoding encoding) { g_path_encoding = encoding; }

PathEncoding PathEncodingInUse() { return g_path_encoding; }

SystemError ReadOnlyFileError() {
  SystemError error;
  error.code = kReadOnlyFileCode;
  error.text = "read-only file";
  return error;
}

std::unique_ptr<OutputFile> StreamOutput(std::FILE* file) {
  return std::make_unique<StdioOutput>(file);
}

bool NamesSameFile(FileSystem& files, const std::string& input,
                   const std::string& output) {
  if (input == output) return true;
  if (files.IgnoresCase() && EqualIgnoringCase(input, output)) return true;
  return files.SameFile(input, output);
}

bool NamesSameOutput(FileSystem& files, const std::string& a,
                     const std::string& b) {
  if (NamesSameFile(files, a, b)) return true;
  const std::string name_a = NameOf(a), name_b = NameOf(b);
  if (name_a != name_b &&
      !(files.IgnoresCase() && EqualIgnoringCase(name_a, name_b)))
    return false;
  // "dir/." names the folder itself, as "." names the current one.
  return files.SameFile(FolderOf(a) + ".", FolderOf(b) + ".");
}

bool ReadWholeFile(FileSystem& files, const std::string& path,
                   std::uint64_t largest, std::string* bytes,
                   OpenError* error) {
  bytes->clear();
  std::unique_ptr<InputFile> in = files.OpenForReading(path, error);
  if (!in) return false;
  if (in->Size() > largest) {
    error->reason = OpenError::kTooLarge;
    return false;
  }
  // The size is read again as the bytes come: the file may grow meanwhile.
  char block[65536];
  std::size_t got;
  while ((got = in->Read(block, sizeof block)) > 0) {
    if (bytes->size() + got > largest) {
      bytes->clear();
      error->reason = OpenError::kTooLarge;
      return false;
    }
    bytes->append(block, got);
  }
  if (in->Failed()) {
    bytes->clear();
    error->reason = OpenError::kSystem;
    error->system = in->Error();
    return false;
  }
  return true;
}

std::string TemporaryNameFor(const std::string& target_name, const char* prefix,
                             unsigned long long seed) {
  std::size_t length = target_name.size();
  if (length < 7) length = 7;
  if (length > 12) length = 12;
  static const char kLetters[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = prefix;
  while (name.size() < length) {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    name += kLetters[(seed >> 33) % 36];
  }
  return name;
}

std::string FolderOf(const std::string& path) {
  std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? std::string() : path.substr(0, last + 1);
}

std::string NameOf(const std::string& path) {
  std::size_t last = path.find_last_of(kSeparators);
  return last == std::string::npos ? path : path.substr(last + 1);
}
