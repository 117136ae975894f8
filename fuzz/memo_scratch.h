// memo_scratch.h: a file that holds the fuzz input's memo file bytes, since
// memo files are read through a path. One per process; removed as soon as
// the readers have opened it (libFuzzer may end without running exit
// handlers).

#ifndef LOGWEAVE_FUZZ_MEMO_SCRATCH_H_
#define LOGWEAVE_FUZZ_MEMO_SCRATCH_H_

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"

namespace fuzz {

inline const std::string& ScratchMemoPath() {
  static const std::string path = [] {
    const char* folder = std::getenv("TMPDIR");
    std::string p = std::string(folder && *folder ? folder : "/tmp") +
                    "/logweave-fuzz-memo-" + std::to_string(getpid()) + ".fpt";
    std::atexit([] { std::remove(ScratchMemoPath().c_str()); });
    return p;
  }();
  return path;
}

// Puts \a bytes in the scratch file and returns its path.
inline const std::string& WriteScratchMemo(const std::string& bytes) {
  const std::string& path = ScratchMemoPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  FUZZ_CHECK(file != nullptr, "cannot write %s", path.c_str());
  FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
                 std::fclose(file) == 0,
             "cannot write %s", path.c_str());
  return path;
}

// Removes the scratch file; readers that opened it keep reading it.
inline void RemoveScratchMemo() { std::remove(ScratchMemoPath().c_str()); }

}  // namespace fuzz

#endif  // LOGWEAVE_FUZZ_MEMO_SCRATCH_H_
