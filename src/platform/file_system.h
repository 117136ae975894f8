// file_system.h: every file the program touches goes through this interface:
// the table, its memo file, mapping files, ADIF files to check, and the
// output. One implementation per platform (file_system_posix.cpp,
// file_system_win32.cpp) and an in-memory one for tests (fake_file_system.h)
// that can fail any read, write, close or rename.
//
// Inputs are opened with guards: only a regular file is read, and a folder,
// a pipe or a device is refused without ever blocking on it. Outputs are
// written to a temporary file beside the target that takes the target's
// place in one step once it is complete, so an earlier file is never left
// half-written.

#ifndef LOGWEAVE_PLATFORM_FILE_SYSTEM_H_
#define LOGWEAVE_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/byte_stream.h"

/// What a path names.
enum class FileKind {
  kMissing,
  kRegular,
  kFolder,
  kDevice,  ///< a pipe, a socket, a terminal or another device
};

/// An input opened for reading. Read() returns fewer bytes than asked only at
/// the end of the file or on an error.
class InputFile : public ByteSource {
 public:
  /// The size of the file when it was opened.
  virtual std::uint64_t Size() const = 0;
  /// Moves to \a offset from the start; false (with Error()) on failure.
  virtual bool Seek(std::uint64_t offset) = 0;
};

/// An output being written.
class OutputFile : public ByteSink {
 public:
  /// Writes out what is pending and closes the file; false (with Error())
  /// when that fails. Later writes fail.
  virtual bool Close() = 0;
};

/// A new file beside its target. It takes the target's place only through
/// Commit(); destroyed without a commit, it leaves nothing behind.
class TemporaryFile : public OutputFile {
 public:
  /// Closes the file and puts it in the place of the target, replacing any
  /// file there in one step, with that file's permissions (and, where the
  /// system allows, its owner and group). On failure the temporary file is
  /// removed, the target stays as it was, and Error() says why.
  virtual bool Commit() = 0;
};

/// Why a replacement was refused when the file to be replaced is read-only
/// (its code is no errno value; the texts word it).
constexpr int kReadOnlyFileCode = -1;
SystemError ReadOnlyFileError();

/// Why an input could not be opened.
struct OpenError {
  enum Reason {
    kNone,
    kSystem,      ///< the system refused; see system
    kNotRegular,  ///< a folder, a pipe or a device; see kind
    kTooLarge,    ///< larger than the caller allows
  };
  Reason reason = kNone;
  FileKind kind = FileKind::kMissing;
  SystemError system;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  /// What \a path names, following symbolic links.
  virtual FileKind KindOf(const std::string& path) = 0;

  /// Opens the regular file at \a path for reading. Anything else is refused
  /// with kNotRegular, without blocking; null and \a error on failure.
  virtual std::unique_ptr<InputFile> OpenForReading(const std::string& path,
                                                    OpenError* error) = 0;

  /// The names of the entries of \a folder ("" for the current folder), in
  /// no particular order; empty when it cannot be listed.
  virtual std::vector<std::string> NamesInFolder(const std::string& folder) = 0;

  /// True when both paths exist and lead to one file.
  virtual bool SameFile(const std::string& a, const std::string& b) = 0;

  /// True when standard output writes to the file at \a path.
  virtual bool StandardOutputIs(const std::string& path) = 0;

  /// The file \a path leads to through symbolic links (the last of which
  /// may point to nothing yet), so that replacing it updates the file a link
  /// points to; \a path itself when it is no link.
  virtual std::string ResolveLinks(const std::string& path) = 0;

  /// True where file names are compared without regard to letter case.
  virtual bool IgnoresCase() const = 0;

  /// A new temporary file in the folder of \a target that will replace it.
  /// A symbolic link is followed, a dangling one too, so that the file it
  /// points to is replaced or created; a loop fails with ELOOP. A read-only
  /// file is refused with ReadOnlyFileError(). The temporary file's name is
  /// never longer than a short name beside the target, so a target whose
  /// name is legal always gets one.
  virtual std::unique_ptr<TemporaryFile> CreateTemporaryFor(
      const std::string& target, SystemError* error) = 0;

  /// Opens a device (such as /dev/null or NUL) for writing in place.
  virtual std::unique_ptr<OutputFile> OpenDeviceForWriting(
      const std::string& path, SystemError* error) = 0;

  /// Standard output, written byte for byte. Close() only flushes it.
  virtual std::unique_ptr<OutputFile> StandardOutput() = 0;

  /// Removes the file at \a path.
  virtual bool Remove(const std::string& path, SystemError* error) = 0;
};

/// The file system of the machine the program runs on.
FileSystem& SystemFileSystem();

/// How the program spells paths in its strings. The window program keeps
/// the system's ANSI code page, in which its dialogs give paths; the command
/// line takes its arguments as UTF-8, so that a name outside that code page
/// still reaches its file. Only Windows converts (to its UTF-16 names);
/// elsewhere a path is the system's bytes, UTF-8 where the locale is, and
/// the choice only says how a name's characters are counted. Chosen once,
/// at start, before any file is opened; ANSI unless chosen.
enum class PathEncoding { kAnsi, kUtf8 };
void SetPathEncoding(PathEncoding encoding);
PathEncoding PathEncodingInUse();

/// True when writing \a output would overwrite \a input: the same spelling,
/// the same spelling but for letter case where names ignore it, or one file
/// reached by two paths.
bool NamesSameFile(FileSystem& files, const std::string& input,
                   const std::string& output);

/// True when \a a and \a b, two outputs, would be written to one file: they
/// name the same file (NamesSameFile), or one name, letter case aside where
/// names ignore it, in one folder reached by two paths, though the file
/// does not exist yet.
bool NamesSameOutput(FileSystem& files, const std::string& a,
                     const std::string& b);

/// Reads the whole regular file at \a path into \a bytes, when it holds at
/// most \a largest bytes.
bool ReadWholeFile(FileSystem& files, const std::string& path,
                   std::uint64_t largest, std::string* bytes, OpenError* error);

/// For the implementations: a short name for a temporary file beside a
/// target named \a target_name: \a prefix and letters drawn from \a seed,
/// as long as the target's name but at least 7 and at most 12 characters,
/// so that a target whose name is legal always gets one.
std::string TemporaryNameFor(const std::string& target_name, const char* prefix,
                             unsigned long long seed);

/// For the implementations: an output written through the C library's
/// stream \a file (standard output); Close() only flushes it.
std::unique_ptr<OutputFile> StreamOutput(std::FILE* file);

/// The folder part of \a path ("" when it has none) and its last name.
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);

#endif  // LOGWEAVE_PLATFORM_FILE_SYSTEM_H_
