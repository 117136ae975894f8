// file_system_posix.cpp: the file system on POSIX systems.
//
// Outputs are written to an unnamed file (O_TMPFILE) where the system has
// one. Complete, it is linked in under the target's name when there is no
// earlier file, and otherwise under a short hidden name that is renamed over
// the earlier file at once: a killed process leaves a temporary file only in
// that moment. Elsewhere the temporary file has a short hidden name from the
// start, and an interrupt, a hang-up or a termination signal removes it
// before the program ends.
//
// A replacement follows symbolic links (a dangling one too: the file it
// points to is created), refuses a read-only file, and keeps the
// permissions, owner and group of the file it replaces where the system
// allows.

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/file_system.h"

namespace {

// --- Removing temporary files on a signal ---------------------------------

constexpr int kCleanupSlots = 8;
char g_cleanup_paths[kCleanupSlots][PATH_MAX];
volatile sig_atomic_t g_cleanup_used[kCleanupSlots];

extern "C" void RemoveTemporariesAndDie(int signal_number) {
  for (int i = 0; i < kCleanupSlots; ++i)
    if (g_cleanup_used[i]) unlink(g_cleanup_paths[i]);
  // Die of the same signal, so the caller sees how the program ended.
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

void InstallSignalCleanup() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old_action;
    // A signal the caller chose to ignore (nohup) stays ignored.
    if (sigaction(signal_number, nullptr, &old_action) == 0 &&
        old_action.sa_handler == SIG_IGN)
      continue;
    struct sigaction action = {};
    action.sa_handler = RemoveTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
  }
}

// Registers \a path for removal on a signal; -1 when it cannot be.
int RegisterTemporary(const std::string& path) {
  if (path.size() >= PATH_MAX) return -1;
  InstallSignalCleanup();
  for (int i = 0; i < kCleanupSlots; ++i) {
    if (g_cleanup_used[i]) continue;
    std::memcpy(g_cleanup_paths[i], path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    g_cleanup_used[i] = 1;
    return i;
  }
  return -1;
}

void UnregisterTemporary(int slot) {
  if (slot >= 0) g_cleanup_used[slot] = 0;
}

// --- Small helpers --------------------------------------------------------

SystemError LastError() { return ErrnoError(errno ? errno : EIO); }

FileKind KindOfMode(mode_t mode) {
  if (S_ISREG(mode)) return FileKind::kRegular;
  if (S_ISDIR(mode)) return FileKind::kFolder;
  return FileKind::kDevice;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t put = ::write(fd, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// A short hidden name for a temporary file beside \a target_name.
std::string TemporaryName(const std::string& target_name, unsigned attempt) {
  static unsigned counter = 0;
  unsigned long long seed =
      (static_cast<unsigned long long>(getpid()) << 32) ^
      static_cast<unsigned long long>(std::time(nullptr)) ^
      (static_cast<unsigned long long>(++counter) << 16) ^ attempt;
  return TemporaryNameFor(target_name, ".lw", seed);
}

// What a replacement of a file keeps of it.
struct Replaced {
  bool exists = false;
  mode_t mode = 0;
  uid_t owner = 0;
  gid_t group = 0;
};

// The earlier regular file at \a target, if any; a new file gets the
// permissions the umask leaves.
Replaced ReplacedAt(const std::string& target) {
  Replaced replaced;
  struct stat s;
  if (stat(target.c_str(), &s) == 0 && S_ISREG(s.st_mode)) {
    replaced.exists = true;
    replaced.mode = s.st_mode & 07777;
    replaced.owner = s.st_uid;
    replaced.group = s.st_gid;
    return replaced;
  }
  mode_t mask = umask(0);
  umask(mask);
  replaced.mode = 0666 & ~mask;
  return replaced;
}

// True when the earlier file \a target must not be replaced: nobody may
// write it (root passes every permission check, but a file without any
// write permission was made read-only on purpose), or this process may not.
bool RefusesReplacement(const std::string& target, const Replaced& replaced,
                        SystemError* error) {
  if (!replaced.exists) return false;
  if ((replaced.mode & 0222) == 0) {
    *error = ReadOnlyFileError();
    return true;
  }
  if (faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0) return false;
  // A read-only file system is said when the temporary file is created.
  if (errno != EACCES && errno != EPERM) return false;
  *error = LastError();
  return true;
}

// The target of the symbolic link at \a link, relative to its folder.
bool ReadLink(const std::string& link, std::string* target) {
  std::string buffer(PATH_MAX, '\0');
  ssize_t n = readlink(link.c_str(), &buffer[0], buffer.size());
  if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) return false;
  buffer.resize(static_cast<std::size_t>(n));
  *target = buffer[0] == '/' ? buffer : FolderOf(link) + buffer;
  return true;
}

// The path \a path leads to through symbolic links, the last of which may
// point to a file that does not exist yet; false on a loop.
bool FollowLinks(const std::string& path, std::string* followed) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat s;
    std::string next;
    if (lstat(current.c_str(), &s) != 0 || !S_ISLNK(s.st_mode) ||
        !ReadLink(current, &next)) {
      *followed = current;
      return true;
    }
    current = next;
  }
  return false;
}

// --- Files ----------------------------------------------------------------

class PosixInputFile : public InputFile {
 public:
  PosixInputFile(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
  ~PosixInputFile() override { ::close(fd_); }

  std::size_t Read(char* buffer, std::size_t size) override {
    std::size_t total = 0;
    while (total < size) {
      ssize_t got = ::read(fd_, buffer + total, size - total);
      if (got < 0) {
        if (errno == EINTR) continue;
        error_ = LastError();
        break;
      }
      if (got == 0) break;
      total += static_cast<std::size_t>(got);
    }
    return total;
  }
  bool Failed() const override { return error_.failed(); }
  SystemError Error() const override { return error_; }
  std::uint64_t Size() const override { return size_; }
  bool Seek(std::uint64_t offset) override {
    if (offset > static_cast<std::uint64_t>(LLONG_MAX) ||
        lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) {
      error_ = ErrnoError(EINVAL);
      return false;
    }
    return true;
  }

 private:
  int fd_;
  std::uint64_t size_;
  SystemError error_;
};

// Writes straight to a descriptor: the conversion hands over large blocks.
class DescriptorOutput : public OutputFile {
 public:
  explicit DescriptorOutput(int fd) : fd_(fd) {}
  ~DescriptorOutput() override {
    if (fd_ >= 0) ::close(fd_);
  }
  bool Write(const char* data, std::size_t size) override {
    if (fd_ < 0 || error_.failed()) return false;
    if (WriteAll(fd_, data, size)) return true;
    error_ = LastError();
    return false;
  }
  bool Close() override {
    if (fd_ < 0) return !error_.failed();
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && !error_.failed()) error_ = LastError();
    return !error_.failed();
  }
  SystemError Error() const override { return error_; }

 protected:
  int fd_;
  SystemError error_;
};

class PosixTemporaryFile : public TemporaryFile {
 public:
  // \a named_path is empty for an unnamed file.
  PosixTemporaryFile(int fd, std::string target, std::string named_path,
                     const Replaced& replaced)
      : output_(fd),
        fd_(fd),
        target_(std::move(target)),
        named_path_(std::move(named_path)),
        replaced_(replaced) {
    if (!named_path_.empty()) slot_ = RegisterTemporary(named_path_);
  }
  ~PosixTemporaryFile() override {
    output_.Close();
    Discard();
  }

  bool Write(const char* data, std::size_t size) override {
    return output_.Write(data, size);
  }
  bool Close() override { return output_.Close(); }
  SystemError Error() const override {
    return error_.failed() ? error_ : output_.Error();
  }

  bool Commit() override {
    if (committed_) return true;
    if (output_.Error().failed()) {
      output_.Close();
      Discard();
      return false;
    }
    TakeOverOwnerAndMode();
    if (named_path_.empty()) {
      // With no earlier file, the complete file appears under the target's
      // name in one step and never under another.
      if (!replaced_.exists && LinkUnnamedAs(target_))
        return CloseLinkedTarget();
      if (error_.failed() || !LinkUnnamedBeside()) {
        output_.Close();
        return false;
      }
    }
    if (!output_.Close()) {
      Discard();
      return false;
    }
    if (std::rename(named_path_.c_str(), target_.c_str()) != 0) {
      error_ = LastError();
      Discard();
      return false;
    }
    UnregisterTemporary(slot_);
    committed_ = true;
    return true;
  }

 private:
  // The owner and group of the file replaced, where the system lets this
  // process give them (root may; others only a group of their own), then
  // its permissions, which a change of owner may have cut.
  void TakeOverOwnerAndMode() {
    if (replaced_.exists && fchown(fd_, replaced_.owner, replaced_.group) != 0)
      (void)!fchown(fd_, static_cast<uid_t>(-1), replaced_.group);
    fchmod(fd_, replaced_.mode);
  }

  // Gives the unnamed file the name \a name; false when that name is taken
  // (error_ untouched) or on another failure (error_ set).
  bool LinkUnnamedAs(const std::string& name) {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
    if (linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
      return true;
    if (errno != EEXIST) error_ = LastError();
    return false;
  }

  // The unnamed file linked in as the target: a failure to close takes it
  // away again.
  bool CloseLinkedTarget() {
    if (!output_.Close()) {
      unlink(target_.c_str());
      return false;
    }
    committed_ = true;
    return true;
  }

  // Gives the unnamed file a short hidden name beside the target.
  bool LinkUnnamedBeside() {
    const std::string folder = FolderOf(target_);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      std::string name = folder + TemporaryName(NameOf(target_), attempt);
      slot_ = RegisterTemporary(name);
      if (LinkUnnamedAs(name)) {
        named_path_ = name;
        return true;
      }
      UnregisterTemporary(slot_);
      slot_ = -1;
      if (error_.failed()) return false;
    }
    error_ = ErrnoError(EEXIST);
    return false;
  }

  void Discard() {
    if (committed_ || named_path_.empty()) return;
    unlink(named_path_.c_str());
    UnregisterTemporary(slot_);
    slot_ = -1;
    named_path_.clear();
  }

  DescriptorOutput output_;
  int fd_;
  std::string target_, named_path_;
  Replaced replaced_;
  int slot_ = -1;
  bool committed_ = false;
  SystemError error_;
};

// --- The file system ------------------------------------------------------

class PosixFileSystem : public FileSystem {
 public:
  FileKind KindOf(const std::string& path) override {
    struct stat s;
    if (stat(path.c_str(), &s) != 0) return FileKind::kMissing;
    return KindOfMode(s.st_mode);
  }

  std::unique_ptr<InputFile> OpenForReading(const std::string& path,
                                            OpenError* error) override {
    *error = OpenError();
    // Without O_NONBLOCK, opening a pipe that has no writer would wait for
    // one for ever.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      error->reason = OpenError::kSystem;
      error->system = LastError();
      return nullptr;
    }
    struct stat s;
    if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode)) {
      error->reason = OpenError::kNotRegular;
      error->kind = KindOfMode(s.st_mode);
      ::close(fd);
      return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<PosixInputFile>(
        fd, static_cast<std::uint64_t>(s.st_size));
  }

  std::vector<std::string> NamesInFolder(const std::string& folder) override {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (struct dirent* entry = readdir(dir)) names.push_back(entry->d_name);
    closedir(dir);
    return names;
  }

  bool SameFile(const std::string& a, const std::string& b) override {
    struct stat sa, sb;
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }

  bool StandardOutputIs(const std::string& path) override {
    struct stat so, sp;
    if (fstat(STDOUT_FILENO, &so) != 0 || stat(path.c_str(), &sp) != 0)
      return false;
    return so.st_dev == sp.st_dev && so.st_ino == sp.st_ino;
  }

  std::string ResolveLinks(const std::string& path) override {
    std::string followed;
    return FollowLinks(path, &followed) ? followed : path;
  }

  bool IgnoresCase() const override { return false; }

  std::unique_ptr<TemporaryFile> CreateTemporaryFor(
      const std::string& path, SystemError* error) override {
    std::string target;
    if (!FollowLinks(path, &target)) {
      *error = ErrnoError(ELOOP);
      return nullptr;
    }
    const Replaced replaced = ReplacedAt(target);
    if (RefusesReplacement(target, replaced, error)) return nullptr;
    const std::string folder = FolderOf(target);
#ifdef O_TMPFILE
    // Only where the unnamed file can be linked in later through /proc.
    if (access("/proc/self/fd", X_OK) == 0) {
      int fd = ::open(folder.empty() ? "." : folder.c_str(),
                      O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
      if (fd >= 0)
        return std::make_unique<PosixTemporaryFile>(fd, target, std::string(),
                                                    replaced);
    }
#endif
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      std::string named = folder + TemporaryName(NameOf(target), attempt);
      int fd =
          ::open(named.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
      if (fd >= 0)
        return std::make_unique<PosixTemporaryFile>(fd, target, named,
                                                    replaced);
      if (errno != EEXIST) break;
    }
    *error = LastError();
    return nullptr;
  }

  std::unique_ptr<OutputFile> OpenDeviceForWriting(
      const std::string& path, SystemError* error) override {
    // A pipe without a reader refuses at once instead of waiting for one.
    int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      *error = LastError();
      return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return std::make_unique<DescriptorOutput>(fd);
  }

  std::unique_ptr<OutputFile> StandardOutput() override {
    return StreamOutput(stdout);
  }

  bool Remove(const std::string& path, SystemError* error) override {
    if (unlink(path.c_str()) == 0) return true;
    *error = LastError();
    return false;
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}
