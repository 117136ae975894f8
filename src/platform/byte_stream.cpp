// byte_stream.cpp: the in-memory source and exact reads.

#include "platform/byte_stream.h"

#include <cstring>

SystemError ErrnoError(int code) {
  SystemError error;
  error.code = code;
  error.text = std::strerror(code);
  return error;
}

std::size_t MemorySource::Read(char* buffer, std::size_t size) {
  std::size_t left = size_ - position_;
  if (size > left) size = left;
  if (size) std::memcpy(buffer, data_ + position_, size);
  position_ += size;
  return size;
}

bool ReadExactly(ByteSource* in, void* buffer, std::size_t size) {
  return in->Read(static_cast<char*>(buffer), size) == size;
}
