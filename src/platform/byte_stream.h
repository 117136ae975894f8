// byte_stream.h: where the conversion reads its bytes from and writes its
// text to. Files, standard output and memory all look the same to it.

#ifndef LOGWEAVE_PLATFORM_BYTE_STREAM_H_
#define LOGWEAVE_PLATFORM_BYTE_STREAM_H_

#include <cstddef>
#include <string>
#include <vector>

/// Why an operation on a file failed.
struct SystemError {
  int code = 0;      ///< an errno value (ENOENT, EACCES, ENOSPC...), 0 if none
  std::string text;  ///< the system's own words for it
  bool failed() const { return code != 0 || !text.empty(); }
};

/// The error of errno value \a code, in the C library's words.
SystemError ErrnoError(int code);

/// A sequential source of bytes.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  /// Reads up to \a size bytes; fewer only at the end of the input or on an
  /// error (then Failed() is true).
  virtual std::size_t Read(char* buffer, std::size_t size) = 0;
  virtual bool Failed() const { return false; }
  /// What failed, when something did.
  virtual SystemError Error() const { return SystemError(); }
};

/// A sequential receiver of bytes.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  /// Writes all \a size bytes; false when they could not all be written.
  virtual bool Write(const char* data, std::size_t size) = 0;
  /// The same for the first \a size bytes of \a block, whose storage the
  /// sink may keep, giving back other storage of its own in exchange.
  virtual bool WriteBlock(std::vector<char>* block, std::size_t size) {
    return Write(block->data(), size);
  }
  virtual SystemError Error() const { return SystemError(); }
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

/// Reads exactly \a size bytes; false when the source ends or fails first.
bool ReadExactly(ByteSource* in, void* buffer, std::size_t size);

#endif  // LOGWEAVE_PLATFORM_BYTE_STREAM_H_
