// files.h: the few file-system services the conversion needs beyond the C
// library: a fresh temporary file beside the output, replacing the output by
// it in one step, and telling whether two paths name the same file. Each
// platform implements them in its own file (files_posix.cpp,
// files_win32.cpp).

#ifndef LOGWEAVE_PLATFORM_FILES_H_
#define LOGWEAVE_PLATFORM_FILES_H_

#include <cstdio>
#include <string>

/// Creates a new, empty file in the folder of \a target and opens it for
/// binary writing. On success returns the stream and sets \a temp_path; on
/// failure returns nullptr and sets \a error to the cause.
std::FILE* CreateTempFileBeside(const std::string& target,
                                std::string* temp_path, std::string* error);

/// Puts \a from in the place of \a to, replacing any file there, in one step.
bool ReplaceFile(const std::string& from, const std::string& to,
                 std::string* error);

/// The path of the file that \a path leads to through symbolic links, so that
/// replacing it updates the file the link points to; \a path itself when it
/// is no link or cannot be resolved.
std::string ResolveLinks(const std::string& path);

/// True when both paths exist and name the same file.
bool SameFile(const std::string& a, const std::string& b);

/// True when the open stream \a stream writes to the file at \a path (for
/// standard output redirected onto that file).
bool StreamIsFile(std::FILE* stream, const std::string& path);

/// True when the file system treats paths without regard to letter case.
bool PathsIgnoreCase();

/// What a path names.
enum class FileKind { kMissing, kRegular, kFolder, kOther /* pipe, device */ };
FileKind KindOfFile(const std::string& path);

/// True when \a path names something other than a regular file (a folder, a
/// pipe, a device); false for a regular file or a path that does not exist.
inline bool IsSpecialFile(const std::string& path) {
  FileKind kind = KindOfFile(path);
  return kind == FileKind::kFolder || kind == FileKind::kOther;
}

/// The text of the C library error \a error_number.
std::string ErrorText(int error_number);

#endif  // LOGWEAVE_PLATFORM_FILES_H_
