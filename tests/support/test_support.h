// test_support.h: what every test shares: a temporary folder, whole-file
// reads and writes, folder listings.

#ifndef LOGWEAVE_TESTS_SUPPORT_TEST_SUPPORT_H_
#define LOGWEAVE_TESTS_SUPPORT_TEST_SUPPORT_H_

#include <cstddef>
#include <filesystem>
#include <string>

/// A fresh folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string operator/(const std::string& name) const {
    return (path_ / name).string();
  }
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  /// The names of the files in the folder, sorted, each followed by a blank.
  std::string Listing() const;

 private:
  std::filesystem::path path_;
};

/// The whole of a file, or "" when it cannot be read.
std::string ReadFile(const std::string& path);

/// Writes \a data as the whole of the file at \a path.
bool WriteFile(const std::string& path, const std::string& data);

/// The names in a folder, sorted and joined by blanks.
std::string Listing(const std::string& folder);

/// How many times \a part occurs in \a text.
std::size_t Count(const std::string& text, const std::string& part);

#endif  // LOGWEAVE_TESTS_SUPPORT_TEST_SUPPORT_H_
