// fake_file_system.h: a file system held in memory, for tests. Paths are
// compared as written. Any read, write, close or rename can be made to fail,
// counted from the first call of that kind, so a test can say "the third
// write fails" and then look at what is left.

#ifndef LOGWEAVE_PLATFORM_FAKE_FILE_SYSTEM_H_
#define LOGWEAVE_PLATFORM_FAKE_FILE_SYSTEM_H_

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

class FakeFileSystem : public FileSystem {
 public:
  struct Entry {
    FileKind kind = FileKind::kRegular;
    std::string bytes;
    unsigned mode = 0644;
  };

  /// Every path that exists, with what it holds.
  std::map<std::string, Entry> entries;

  /// The call (from 1) of each kind that fails, 0 for none; with this error.
  int fail_read_at = 0;
  int fail_write_at = 0;
  int fail_close_at = 0;
  int fail_rename_at = 0;
  SystemError injected_error = ErrnoError(5 /* EIO */);

  /// A count that two threads may add to (a survey reads a table in
  /// halves on two), read and set as an int.
  class Count {
   public:
    Count() = default;
    Count(const Count& other) : count_(other.count_.load()) {}
    Count& operator=(const Count& other) {
      count_ = other.count_.load();
      return *this;
    }
    Count& operator=(int count) {
      count_ = count;
      return *this;
    }
    operator int() const { return count_; }
    int operator++() { return ++count_; }

   private:
    std::atomic<int> count_{0};
  };

  /// How many calls of each kind were made.
  Count reads, writes, closes, renames;
  /// Inputs open now, and the most that were open at once.
  int open_inputs = 0, most_open_inputs = 0;

  /// What was written to standard output.
  std::string standard_output;

  bool ignore_case = false;

  void Put(const std::string& path, const std::string& bytes,
           unsigned mode = 0644);
  void PutFolder(const std::string& path);
  void PutDevice(const std::string& path);
  bool Exists(const std::string& path) const;
  /// The bytes of \a path ("" when it does not exist).
  std::string Bytes(const std::string& path) const;
  /// Every path, sorted, separated by blanks.
  std::string Listing() const;

  FileKind KindOf(const std::string& path) override;
  std::unique_ptr<InputFile> OpenForReading(const std::string& path,
                                            OpenError* error) override;
  std::vector<std::string> NamesInFolder(const std::string& folder) override;
  bool SameFile(const std::string& a, const std::string& b) override;
  bool StandardOutputIs(const std::string&) override { return false; }
  std::string ResolveLinks(const std::string& path) override { return path; }
  bool IgnoresCase() const override { return ignore_case; }
  std::unique_ptr<TemporaryFile> CreateTemporaryFor(
      const std::string& target, SystemError* error) override;
  std::unique_ptr<OutputFile> OpenDeviceForWriting(const std::string& path,
                                                   SystemError* error) override;
  std::unique_ptr<OutputFile> StandardOutput() override;
  bool Remove(const std::string& path, SystemError* error) override;

  /// Counts a call of a kind and tells whether it is the one to fail.
  bool FailsNow(Count* count, int fail_at) { return ++*count == fail_at; }

 private:
  int temporaries_ = 0;
};

#endif  // LOGWEAVE_PLATFORM_FAKE_FILE_SYSTEM_H_
