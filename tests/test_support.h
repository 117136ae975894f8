// test_support.h: small helpers shared by the tests: a temporary folder,
// whole-file reads and writes.

#ifndef LOGWEAVE_TESTS_TEST_SUPPORT_H_
#define LOGWEAVE_TESTS_TEST_SUPPORT_H_

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "logweave-test-XXXXXX")
            .string();
#ifdef _WIN32
    path_ = std::filesystem::temp_directory_path() /
            ("logweave-test-" + std::to_string(std::rand()) + "-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::filesystem::create_directories(path_);
#else
    path_ = mkdtemp(pattern.data());
#endif
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const {
    return (path_ / name).string();
  }
  const std::filesystem::path& path() const { return path_; }
  /// The names of the files in the folder, sorted.
  std::string Listing() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string listing;
    for (const std::string& name : names) listing += name + " ";
    return listing;
  }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::string& path) {
  std::string data;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return data;
  char block[65536];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, in)) > 0)
    data.append(block, got);
  std::fclose(in);
  return data;
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::fwrite(data.data(), 1, data.size(), out);
  std::fclose(out);
}

#endif  // LOGWEAVE_TESTS_TEST_SUPPORT_H_
