// test_support.cpp: the shared helpers.

#include "test_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

TempDir::TempDir() {
  const std::filesystem::path base = std::filesystem::temp_directory_path();
#ifdef _WIN32
  static unsigned counter = 0;
  path_ = base / ("logweave-test-" + std::to_string(GetCurrentProcessId()) +
                  "-" + std::to_string(++counter));
  std::filesystem::create_directories(path_);
#else
  std::string pattern = (base / "logweave-test-XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
#endif
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::Listing() const {
  std::string listing = ::Listing(str());
  return listing.empty() ? listing : listing + " ";
}

std::string ReadFile(const std::string& path) {
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

bool WriteFile(const std::string& path, const std::string& data) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), out) == data.size();
  return std::fclose(out) == 0 && ok;
}

std::string Listing(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const std::string& name : names)
    listing += (listing.empty() ? "" : " ") + name;
  return listing;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t n = 0;
  for (std::size_t at = text.find(part); at != std::string::npos;
       at = text.find(part, at + part.size()))
    ++n;
  return n;
}
