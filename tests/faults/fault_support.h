// fault_support.h: what the fault tests share beyond the shared test
// support: small file systems mounted for one test.

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

#include "process.h"
#include "test_support.h"

namespace faults {

using ::Count;
using ::Listing;
using ::ReadFile;
using ::RunOptions;
using ::RunProgram;
using ::RunResult;
using ::TempDir;
using ::WriteFile;

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

}  // namespace faults

// Skips the test, with the reason, when this machine does not let the test
// mount a file system (it needs root and mount rights; CI runs as root).
#define MOUNT_OR_SKIP(call, mount_object)                             \
  do {                                                                \
    if (!(call))                                                      \
      GTEST_SKIP() << "cannot mount here (" << (mount_object).error() \
                   << "); this test needs root with mount rights";    \
  } while (0)

#endif  // LOGWEAVE_TESTS_FAULTS_FAULT_SUPPORT_H_
