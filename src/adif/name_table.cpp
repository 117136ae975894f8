// name_table.cpp: the table of names met.

#include "adif/name_table.h"

#include <algorithm>

#include "platform/text.h"

NameTable::NameTable(std::size_t most) : most_(most) {
  // Twice as many slots as names, a power of two: a look-up mostly finds
  // its name in the first slot it tries.
  while ((std::size_t{1} << slot_bits_) < 2 * most) ++slot_bits_;
  slots_.assign(std::size_t{1} << slot_bits_, -1);
}

std::size_t NameTable::Add(std::string_view name) {
  const Key key = KeyOf(name);
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = FirstSlot(key);
  while (slots_[i] >= 0) i = (i + 1) & mask;
  const std::size_t number = keys_.size();
  slots_[i] = static_cast<std::int32_t>(number);
  keys_.push_back(key);
  long_names_.emplace_back(key.size > kShort ? name : std::string_view());
  return number;
}

void NameTable::Clear() {
  std::fill(slots_.begin(), slots_.end(), -1);
  keys_.clear();
  long_names_.clear();
}

// Long names are few: they are hashed and compared a byte at a time.
std::uint64_t NameTable::HashOfLongName(std::string_view name) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (char c : name)
    hash =
        (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 0x100000001B3ULL;
  return hash;
}

bool NameTable::SameLongName(std::size_t number, std::string_view name) const {
  return EqualIgnoringCase(long_names_[number], name);
}

std::uint64_t NameNumbers::Of(std::string_view name) {
  std::size_t number = table_.Find(name);
  if (number == NameTable::kNotFound) {
    if (table_.full()) {
      table_.Clear();
      ++round_;
    }
    number = table_.Add(name);
  }
  return (round_ << 32) + number + 1;
}
