// files_posix.cpp: file-system services on POSIX systems.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

std::FILE* CreateTempFileBeside(const std::string& target,
                                std::string* temp_path, std::string* error) {
  std::string pattern = target + ".XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) {
    *error = ErrorText(errno);
    return nullptr;
  }
  // mkstemp makes the file readable by its owner alone; give it the usual
  // permissions of a new file.
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  std::FILE* file = fdopen(fd, "wb");
  if (!file) {
    *error = ErrorText(errno);
    close(fd);
    unlink(pattern.c_str());
    return nullptr;
  }
  *temp_path = pattern;
  return file;
}

bool ReplaceFile(const std::string& from, const std::string& to,
                 std::string* error) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  *error = ErrorText(errno);
  return false;
}

std::string ResolveLinks(const std::string& path) {
  struct stat s;
  if (lstat(path.c_str(), &s) != 0 || !S_ISLNK(s.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string result = resolved;
  std::free(resolved);
  return result;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool StreamIsFile(std::FILE* stream, const std::string& path) {
  struct stat ss, sp;
  if (fstat(fileno(stream), &ss) != 0 || stat(path.c_str(), &sp) != 0)
    return false;
  return ss.st_dev == sp.st_dev && ss.st_ino == sp.st_ino;
}

bool PathsIgnoreCase() { return false; }

FileKind KindOfFile(const std::string& path) {
  struct stat s;
  if (stat(path.c_str(), &s) != 0) return FileKind::kMissing;
  if (S_ISREG(s.st_mode)) return FileKind::kRegular;
  if (S_ISDIR(s.st_mode)) return FileKind::kFolder;
  return FileKind::kOther;
}

std::string ErrorText(int error_number) { return std::strerror(error_number); }
