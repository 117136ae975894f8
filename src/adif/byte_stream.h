// byte_stream.h: where the conversion reads its bytes from and writes its
// text to. Files, standard output and memory all look the same to it.

#ifndef LOGWEAVE_ADIF_BYTE_STREAM_H_
#define LOGWEAVE_ADIF_BYTE_STREAM_H_

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string>

/// A sequential source of bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Reads up to \a size bytes; fewer only at the end of the input or on an
  /// error (then Failed() is true).
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual bool Failed() const { return false; }
  /// The errno of the failure, when there was one.
  virtual int Error() const { return 0; }
};

/// A sequential receiver of bytes.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  /// Writes all \a size bytes; false when they could not all be written.
  virtual bool Write(const char* data, std::size_t size) = 0;
  virtual int Error() const { return 0; }
};

/// Reads an open stdio stream.
class FileSource : public ByteSource {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  std::size_t Read(char* buffer, std::size_t size) override {
    errno = 0;
    std::size_t got = std::fread(buffer, 1, size, file_);
    if (got < size && std::ferror(file_)) error_ = errno ? errno : EIO;
    return got;
  }
  bool Failed() const override { return error_ != 0; }
  int Error() const override { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

/// Writes to an open stdio stream.
class FileSink : public ByteSink {
 public:
  explicit FileSink(std::FILE* file) : file_(file) {}
  bool Write(const char* data, std::size_t size) override {
    errno = 0;
    if (std::fwrite(data, 1, size, file_) == size) return true;
    error_ = errno ? errno : EIO;
    return false;
  }
  int Error() const override { return error_; }

 private:
  std::FILE* file_;
  int error_ = 0;
};

/// Reads a buffer in memory.
class MemorySource : public ByteSource {
 public:
  MemorySource(const void* data, std::size_t size)
      : data_(static_cast<const char*>(data)), size_(size) {}
  std::size_t Read(char* buffer, std::size_t size) override;

 private:
  const char* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

/// Collects everything written in a string.
class StringSink : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    text.append(data, size);
    return true;
  }
  std::string text;
};

#endif  // LOGWEAVE_ADIF_BYTE_STREAM_H_
