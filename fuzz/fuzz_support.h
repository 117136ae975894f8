// fuzz_support.h: what the fuzz targets share: a check that stops the run
// with a message (so that libFuzzer keeps the input as a finding, and a
// replay of the corpus fails), a reader for the control bytes that some
// targets take from the front of their input, and a sink that keeps an eye
// on how much is written at once.

#ifndef LOGWEAVE_FUZZ_FUZZ_SUPPORT_H_
#define LOGWEAVE_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/byte_stream.h"

#define FUZZ_CHECK(condition, ...)                                            \
  do {                                                                        \
    if (!(condition)) {                                                       \
      std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, \
                   #condition);                                               \
      std::fprintf(stderr, __VA_ARGS__);                                      \
      std::fprintf(stderr, "\n");                                             \
      std::abort();                                                           \
    }                                                                         \
  } while (0)

namespace fuzz {

// Takes bytes from the front of the fuzz input; once it is used up every
// further byte reads as 0.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size)
      : data_(data), size_(size) {}
  std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }
  // Up to \a count bytes as a string, fewer at the end of the input.
  std::string Bytes(std::size_t count) {
    if (count > size_ - position_) count = size_ - position_;
    std::string text(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return text;
  }
  const std::uint8_t* rest() const { return data_ + position_; }
  std::size_t rest_size() const { return size_ - position_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

// Collects the output and remembers the largest single write, so a target
// can tell that the output is handed on as it is made rather than gathered
// for the whole table.
class WatchingSink : public ByteSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    text.append(data, size);
    ++writes;
    if (size > largest_write) largest_write = size;
    return true;
  }
  std::string text;
  std::size_t writes = 0;
  std::size_t largest_write = 0;
};

// True for the characters of an ADIF field name as the command line accepts
// them.
inline bool IsNameCharacter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_';
}

}  // namespace fuzz

#endif  // LOGWEAVE_FUZZ_FUZZ_SUPPORT_H_
