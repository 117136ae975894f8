// byte_stream.cpp: the in-memory source.

#include "adif/byte_stream.h"

#include <cstring>

std::size_t MemorySource::Read(char* buffer, std::size_t size) {
  std::size_t left = size_ - position_;
  if (size > left) size = left;
  if (size) std::memcpy(buffer, data_ + position_, size);
  position_ += size;
  return size;
}
