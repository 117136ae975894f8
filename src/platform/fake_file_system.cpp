// fake_file_system.cpp: the in-memory file system of the tests.

#include "platform/fake_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

class FakeInput : public InputFile {
 public:
  FakeInput(FakeFileSystem* files, std::string bytes)
      : files_(files), bytes_(std::move(bytes)) {
    files_->most_open_inputs =
        std::max(files_->most_open_inputs, ++files_->open_inputs);
  }
  ~FakeInput() override { --files_->open_inputs; }
  std::size_t Read(char* buffer, std::size_t size) override {
    if (files_->FailsNow(&files_->reads, files_->fail_read_at)) {
      error_ = files_->injected_error;
      return 0;
    }
    std::size_t left = bytes_.size() - std::min(position_, bytes_.size());
    std::size_t got = std::min(size, left);
    if (got) std::memcpy(buffer, bytes_.data() + position_, got);
    position_ += got;
    return got;
  }
  bool Failed() const override { return error_.failed(); }
  SystemError Error() const override { return error_; }
  std::uint64_t Size() const override { return bytes_.size(); }
  bool Seek(std::uint64_t offset) override {
    position_ = static_cast<std::size_t>(offset);
    return true;
  }

 private:
  FakeFileSystem* files_;
  std::string bytes_;
  std::size_t position_ = 0;
  SystemError error_;
};

// Appends to a string held elsewhere: an entry's bytes or standard output.
class FakeOutput : public OutputFile {
 public:
  FakeOutput(FakeFileSystem* files, std::string* bytes)
      : files_(files), bytes_(bytes) {}
  bool Write(const char* data, std::size_t size) override {
    if (closed_ || error_.failed()) return false;
    if (files_->FailsNow(&files_->writes, files_->fail_write_at)) {
      error_ = files_->injected_error;
      return false;
    }
    bytes_->append(data, size);
    return true;
  }
  bool Close() override {
    if (closed_) return !error_.failed();
    closed_ = true;
    if (files_->FailsNow(&files_->closes, files_->fail_close_at) &&
        !error_.failed())
      error_ = files_->injected_error;
    return !error_.failed();
  }
  SystemError Error() const override { return error_; }
  void Retarget(std::string* bytes) { bytes_ = bytes; }

 private:
  FakeFileSystem* files_;
  std::string* bytes_;
  bool closed_ = false;
  SystemError error_;
};

class FakeTemporary : public TemporaryFile {
 public:
  FakeTemporary(FakeFileSystem* files, std::string path, std::string target)
      : files_(files),
        path_(std::move(path)),
        target_(std::move(target)),
        output_(files, &buffer_) {}
  ~FakeTemporary() override {
    if (!committed_) files_->entries.erase(path_);
  }
  bool Write(const char* data, std::size_t size) override {
    bool ok = output_.Write(data, size);
    Sync();
    return ok;
  }
  bool Close() override { return output_.Close(); }
  SystemError Error() const override {
    return error_.failed() ? error_ : output_.Error();
  }
  bool Commit() override {
    if (committed_) return true;
    if (!output_.Close()) {
      files_->entries.erase(path_);
      return false;
    }
    if (files_->FailsNow(&files_->renames, files_->fail_rename_at)) {
      error_ = files_->injected_error;
      files_->entries.erase(path_);
      return false;
    }
    FakeFileSystem::Entry entry = files_->entries[path_];
    auto earlier = files_->entries.find(target_);
    if (earlier != files_->entries.end()) entry.mode = earlier->second.mode;
    files_->entries.erase(path_);
    files_->entries[target_] = entry;
    committed_ = true;
    return true;
  }

 private:
  // The entry shows what has been written so far.
  void Sync() { files_->entries[path_].bytes = buffer_; }

  FakeFileSystem* files_;
  std::string path_, target_;
  std::string buffer_;
  FakeOutput output_;
  bool committed_ = false;
  SystemError error_;
};

}  // namespace

void FakeFileSystem::Put(const std::string& path, const std::string& bytes,
                         unsigned mode) {
  Entry entry;
  entry.bytes = bytes;
  entry.mode = mode;
  entries[path] = entry;
}

void FakeFileSystem::PutFolder(const std::string& path) {
  entries[path].kind = FileKind::kFolder;
}

void FakeFileSystem::PutDevice(const std::string& path) {
  entries[path].kind = FileKind::kDevice;
}

bool FakeFileSystem::Exists(const std::string& path) const {
  return entries.count(path) != 0;
}

std::string FakeFileSystem::Bytes(const std::string& path) const {
  auto found = entries.find(path);
  return found == entries.end() ? std::string() : found->second.bytes;
}

std::string FakeFileSystem::Listing() const {
  std::string listing;
  for (const auto& entry : entries) {
    if (!listing.empty()) listing += ' ';
    listing += entry.first;
  }
  return listing;
}

FileKind FakeFileSystem::KindOf(const std::string& path) {
  auto found = entries.find(path);
  return found == entries.end() ? FileKind::kMissing : found->second.kind;
}

std::unique_ptr<InputFile> FakeFileSystem::OpenForReading(
    const std::string& path, OpenError* error) {
  *error = OpenError();
  auto found = entries.find(path);
  if (found == entries.end()) {
    error->reason = OpenError::kSystem;
    error->system = ErrnoError(ENOENT);
    return nullptr;
  }
  if (found->second.kind != FileKind::kRegular) {
    error->reason = OpenError::kNotRegular;
    error->kind = found->second.kind;
    return nullptr;
  }
  return std::make_unique<FakeInput>(this, found->second.bytes);
}

std::vector<std::string> FakeFileSystem::NamesInFolder(
    const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : entries)
    if (FolderOf(entry.first) == folder) names.push_back(NameOf(entry.first));
  return names;
}

bool FakeFileSystem::SameFile(const std::string& a, const std::string& b) {
  // "." is the current folder, which is always there; "dir/." is dir.
  const auto folder_of_dot = [](const std::string& path) {
    if (path == ".") return std::string();
    if (path.size() > 2 && path.compare(path.size() - 2, 2, "/.") == 0)
      return path.substr(0, path.size() - 2);
    return path;
  };
  const std::string x = folder_of_dot(a), y = folder_of_dot(b);
  return x == y && (x.empty() || Exists(x));
}

std::unique_ptr<TemporaryFile> FakeFileSystem::CreateTemporaryFor(
    const std::string& target, SystemError* error) {
  // Folders are put without their last separator.
  std::string folder = FolderOf(target);
  if (!folder.empty() &&
      KindOf(folder.substr(0, folder.size() - 1)) != FileKind::kFolder) {
    *error = ErrnoError(ENOENT);
    return nullptr;
  }
  // A file nobody may write is read-only, as on the real systems.
  auto earlier = entries.find(target);
  if (earlier != entries.end() && earlier->second.kind == FileKind::kRegular &&
      (earlier->second.mode & 0222) == 0) {
    *error = ReadOnlyFileError();
    return nullptr;
  }
  std::string path = folder + ".tmp" + std::to_string(++temporaries_);
  entries[path] = Entry();
  return std::make_unique<FakeTemporary>(this, path, target);
}

std::unique_ptr<OutputFile> FakeFileSystem::OpenDeviceForWriting(
    const std::string& path, SystemError* error) {
  auto found = entries.find(path);
  if (found == entries.end()) {
    *error = ErrnoError(ENOENT);
    return nullptr;
  }
  return std::make_unique<FakeOutput>(this, &found->second.bytes);
}

std::unique_ptr<OutputFile> FakeFileSystem::StandardOutput() {
  return std::make_unique<FakeOutput>(this, &standard_output);
}

bool FakeFileSystem::Remove(const std::string& path, SystemError* error) {
  if (entries.erase(path)) return true;
  *error = ErrnoError(ENOENT);
  return false;
}
