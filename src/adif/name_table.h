// name_table.h: field names in any letter case, each numbered when it is
// first met, so that what is known of a name is kept once under its number.
// A name of up to sixteen bytes is looked up by its bytes with their
// capitals made small, read as two words at once: the look-up costs the same
// for every spelling of a name, and wherever its field stands in a record.

#ifndef LOGWEAVE_ADIF_NAME_TABLE_H_
#define LOGWEAVE_ADIF_NAME_TABLE_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

/// Eight bytes with their capitals made small, all at once: a byte from 'A'
/// to 'Z' (and no other) gets the bit 0x20.
inline std::uint64_t FoldedWord(std::uint64_t x) {
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const std::uint64_t t = x & kLow7;  // no carry between bytes below
  const std::uint64_t at_least_a = t + 0x3F3F3F3F3F3F3F3FULL;  // >= 'A'
  const std::uint64_t past_z = t + 0x2525252525252525ULL;      // > 'Z'
  const std::uint64_t capitals = (at_least_a ^ past_z) & ~x & kHigh;
  return x | (capitals >> 2);
}

class NameTable {
 public:
  static constexpr std::size_t kNotFound = ~std::size_t{0};

  /// A table of at most \a most names.
  explicit NameTable(std::size_t most);

  /// The number of \a name, in any letter case, or kNotFound.
  std::size_t Find(std::string_view name) const {
    const Key key = KeyOf(name);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = FirstSlot(key);; i = (i + 1) & mask) {
      const std::int32_t at = slots_[i];
      if (at < 0) return kNotFound;
      const std::size_t number = static_cast<std::size_t>(at);
      if (keys_[number] == key &&
          (key.size <= kShort || SameLongName(number, name)))
        return number;
    }
  }
  /// Numbers \a name, which is not in the table, with size(); the table
  /// must not be full.
  std::size_t Add(std::string_view name);

  std::size_t size() const { return keys_.size(); }
  bool full() const { return keys_.size() == most_; }
  /// Forgets every name: numbers are given from 0 again.
  void Clear();

 private:
  // A name up to kShort bytes long, folded, all of it: its first and last
  // eight bytes (or four, or each), which may overlap. A longer one by a
  // hash of it, its bytes compared besides.
  static constexpr std::size_t kShort = 16;
  struct Key {
    std::uint64_t low = 0, high = 0;
    std::size_t size = 0;
    bool operator==(const Key& other) const {
      return low == other.low && high == other.high && size == other.size;
    }
  };
  static std::uint64_t Word(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
  }
  // The bytes of a name shorter than eight at \a p, of size \a n, as one
  // word: four and four that may overlap, or byte by byte.
  static std::uint64_t ShortWord(const char* p, std::size_t n) {
    if (n >= 4) {
      std::uint32_t first, last;
      std::memcpy(&first, p, 4);
      std::memcpy(&last, p + n - 4, 4);
      return first | std::uint64_t{last} << 32;
    }
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < n; ++i)
      word |= std::uint64_t{static_cast<unsigned char>(p[i])} << (8 * i);
    return word;
  }
  static Key KeyOf(std::string_view name) {
    const char* p = name.data();
    const std::size_t n = name.size();
    Key key;
    key.size = n;
    if (n > kShort) {
      key.low = HashOfLongName(name);
    } else if (n >= 8) {
      key.low = FoldedWord(Word(p));
      key.high = FoldedWord(Word(p + n - 8));
    } else {
      key.low = FoldedWord(ShortWord(p, n));
    }
    return key;
  }
  std::size_t FirstSlot(const Key& key) const {
    const std::uint64_t mixed =
        (key.low ^ (key.high * 0x9E3779B97F4A7C15ULL) ^ key.size) *
        0xBF58476D1CE4E5B9ULL;
    return static_cast<std::size_t>(mixed >> (64 - slot_bits_));
  }
  static std::uint64_t HashOfLongName(std::string_view name);
  bool SameLongName(std::size_t number, std::string_view name) const;

  const std::size_t most_;
  std::vector<std::int32_t> slots_;  // open-addressed numbers; -1: free
  int slot_bits_ = 0;
  std::vector<Key> keys_;                // by number
  std::vector<std::string> long_names_;  // by number; empty when short
};

/// Gives each name, in any letter case, a number of its own: never 0, and
/// never one given to another name, even once the table they are kept in
/// is full and starts again (names met after that get new numbers).
class NameNumbers {
 public:
  explicit NameNumbers(std::size_t most) : table_(most) {}
  std::uint64_t Of(std::string_view name);

 private:
  NameTable table_;
  std::uint64_t round_ = 0;  // how many times the table started again
};

#endif  // LOGWEAVE_ADIF_NAME_TABLE_H_
