// fault_support.h: what the fault tests share: running the command line as
// a real process with a time limit, temporary folders, small file systems
// mounted for one test, and whole-file reads and writes.

#ifndef LOGWEAVE_TESTS_FAULTS_FAULT_SUPPORT_H_
#define LOGWEAVE_TESTS_FAULTS_FAULT_SUPPORT_H_

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace faults {

struct RunResult {
  int exit_code = -1;      // -1 when it did not exit normally
  int signal = 0;          // the signal that ended it, if any
  bool timed_out = false;  // killed after the time limit
  std::string out, err;
};

struct RunOptions {
  // When set, standard output goes to this file (opened for writing without
  // truncation, as the shell's 1<> does; with stdout_append at its end, as
  // >> does) instead of being captured.
  std::string stdout_path;
  bool stdout_append = false;
  // When set, the folder the program starts in.
  std::string cwd;
  // A hang guard, not a speed target: everything here finishes in well
  // under a second.
  int timeout_seconds = 60;
};

// Runs \a args (args[0] is the program) and collects its output.
inline RunResult RunProgram(const std::vector<std::string>& args,
                     const RunOptions& options = RunOptions()) {
  RunResult result;
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(125);
    int null_in = open("/dev/null", O_RDONLY);
    dup2(null_in, 0);
    if (!options.stdout_path.empty()) {
      int fd = open(options.stdout_path.c_str(),
                    O_WRONLY | (options.stdout_append ? O_APPEND : 0));
      if (fd < 0) _exit(126);
      dup2(fd, 1);
    } else {
      dup2(out_pipe[1], 1);
    }
    dup2(err_pipe[1], 2);
    close(out_pipe[0]);
    close(err_pipe[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out_pipe[1]);
  close(err_pipe[1]);
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::seconds(options.timeout_seconds);
  pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
  std::string* texts[2] = {&result.out, &result.err};
  int open_pipes = 2;
  while (open_pipes > 0) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) {
      kill(pid, SIGKILL);
      result.timed_out = true;
      break;
    }
    if (poll(fds, 2, static_cast<int>(std::min<long long>(left, 1000))) < 0 &&
        errno != EINTR)
      break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
        continue;
      char buffer[65536];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        texts[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
      }
    }
  }
  for (pollfd& fd : fds)
    if (fd.fd >= 0) close(fd.fd);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

// A fresh folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "logweave-fault-XXXXXX")
            .string();
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const {
    return (path_ / name).string();
  }
  std::string str() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

// A file system mounted for the life of the object and detached at its end.
class Mount {
 public:
  Mount() = default;
  Mount(const Mount&) = delete;
  Mount& operator=(const Mount&) = delete;
  ~Mount() {
    if (!target_.empty()) umount2(target_.c_str(), MNT_DETACH);
  }
  // A tmpfs of \a size bytes (rounded up to whole pages) at \a target.
  bool Tmpfs(const std::string& target, std::size_t size,
             const std::string& more_options = "") {
    std::string options = "size=" + std::to_string(size) + ",mode=0777";
    if (!more_options.empty()) options += "," + more_options;
    return Do(mount("tmpfs", target.c_str(), "tmpfs", 0, options.c_str()),
              target);
  }
  // \a source shown again, read-only, at \a target.
  bool ReadOnlyBind(const std::string& source, const std::string& target) {
    if (!Do(mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr),
            target))
      return false;
    return mount(nullptr, target.c_str(), nullptr,
                 MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
  }
  // \a source shown again, writable, at \a target.
  bool Bind(const std::string& source, const std::string& target) {
    return Do(mount(source.c_str(), target.c_str(), nullptr, MS_BIND, nullptr),
              target);
  }
  // Why the last mount failed.
  const std::string& error() const { return error_; }

 private:
  bool Do(int rc, const std::string& target) {
    if (rc != 0) {
      error_ = std::strerror(errno);
      return false;
    }
    target_ = target;
    return true;
  }
  std::string target_;
  std::string error_;
};

// The whole of a file, or nothing when it cannot be read; shared with the
// unit tests.
using ::ReadFile;

inline bool WriteFile(const std::string& path, const std::string& data) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
  return std::fclose(out) == 0 && ok;
}

// The names in a folder, sorted and joined by blanks.
inline std::string Listing(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry :
       std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names)
    listing += (listing.empty() ? "" : " ") + name;
  return listing;
}

inline std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size()))
    ++n;
  return n;
}

}  // namespace faults

// Skips the test, with the reason, when this machine does not let the test
// mount a file system (it needs root and mount rights; CI runs as root).
#define MOUNT_OR_SKIP(call, mount_object)                                   \
  do {                                                                      \
    if (!(call))                                                            \
      GTEST_SKIP() << "cannot mount here (" << (mount_object).error()       \
                   << "); this test needs root with mount rights";          \
  } while (0)

#endif  // LOGWEAVE_TESTS_FAULTS_FAULT_SUPPORT_H_
