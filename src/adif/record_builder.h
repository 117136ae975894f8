// record_builder.h: how both ADIF readers put a record together: its fields'
// names, types and held data in one block of storage reused from record to
// record, handed over in parts when a record grows too large. A field still
// open when a part is handed over is carried into the next part whole: its
// name, type, the data held so far and what was measured of it.

#ifndef LOGWEAVE_ADIF_RECORD_BUILDER_H_
#define LOGWEAVE_ADIF_RECORD_BUILDER_H_

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "adif/adif_reader.h"

/// True when the tag name \a name is \a upper in any letter case; for the
/// two readers.
bool SameName(std::string_view name, std::string_view upper);

/// The bytes a reader looks for a whole record in at once, to read it the
/// fast way: a record of up to about 12 KiB. What is held short of it is
/// moved to the front of the block before the next is read, so it is kept
/// small.
constexpr std::size_t kAdifFastWindow = 1 << 14;

/// True when the \a length bytes at \a data are all printable ASCII other
/// than "<", judged sixteen at a time where the processor can, eight
/// otherwise; \a room bytes may be read from \a data. False also when there
/// is no room to read a whole block at the end.
#if defined(__SSE2__)
inline bool PlainAscii(const char* data, std::size_t length, std::size_t room) {
  if (length + 16 > room) return false;
  const __m128i blank = _mm_set1_epi8(0x20);
  const __m128i del = _mm_set1_epi8(0x7F);
  const __m128i lt = _mm_set1_epi8('<');
  for (std::size_t i = 0;; i += 16) {
    const __m128i v =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    // Compared as signed bytes, 0x80 to 0xFF are below the blank too.
    const __m128i odd = _mm_or_si128(
        _mm_cmplt_epi8(v, blank),
        _mm_or_si128(_mm_cmpeq_epi8(v, del), _mm_cmpeq_epi8(v, lt)));
    const unsigned flags = static_cast<unsigned>(_mm_movemask_epi8(odd));
    const std::size_t left = length - i;
    if (left <= 16) return (flags & ((1u << left) - 1)) == 0;
    if (flags != 0) return false;
  }
}
#else
inline bool PlainAscii(const char* data, std::size_t length, std::size_t room) {
  if (length + 8 > room) return false;
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  auto flags = [](const char* at) {
    std::uint64_t w;
    std::memcpy(&w, at, 8);
    std::uint64_t below_blank = (w - 0x20 * kOnes) & ~w;
    std::uint64_t high_or_delete = (w + kOnes) | w;
    std::uint64_t lt = w ^ (0x3C * kOnes);  // a zero byte where "<" was
    std::uint64_t has_lt = (lt - kOnes) & ~lt;
    return (below_blank | high_or_delete | has_lt) & kHighs;
  };
  if (length == 0) return true;
  std::size_t i = 0;
  for (; i + 8 < length; i += 8)
    if (flags(data + i) != 0) return false;
  // The last one to eight bytes. A flag can be wrongly set only above a
  // byte rightly flagged, so masking the bytes past the end leaves the
  // answer exact.
  return (flags(data + i) & (~std::uint64_t{0} >> (64 - 8 * (length - i)))) ==
         0;
}
#endif

/// Field \a index of \a record, whose fields are kept from record to record
/// and only written over: making one anew, zeroed or through the stack,
/// costs more than reading its tag.
inline AdifField& NextField(AdifRecord* record, std::size_t index) {
  if (index == record->fields.size()) record->fields.emplace_back();
  return record->fields[index];
}

/// Adds what kind of bytes \a bytes are to \a counts; \a at is the
/// position of the first of them in the field's data. True when they hold
/// a "<".
bool CountBytes(std::string_view bytes, std::uint64_t at,
                AdifByteCounts* counts);

class RecordBuilder {
 public:
  /// Starts a part in \a record, which is emptied; it continues the record
  /// of the last part when that was not complete.
  void Begin(AdifRecord* record);
  /// True when the part holds as much as a part may.
  bool Full() const;
  /// True when a record has started: a field or a problem was added since
  /// the last complete record.
  bool open() const { return open_; }
  /// True when the part being built holds a problem.
  bool HasProblems() const { return !record_->problems.empty(); }

  void AddProblem(AdifSyntaxProblem&& problem);
  /// Starts a field; its data follows through AddData, then EndField.
  void StartField(std::string_view name, std::string_view type,
                  std::uint64_t offset, std::uint64_t data_offset,
                  std::uint64_t declared_length, bool leading_zeros = false);
  /// More of the field's data: held up to kAdifHeldData bytes, measured
  /// whole.
  void AddData(std::string_view bytes);
  /// The name of the field being read.
  std::string_view FieldName() const;
  /// The data held of the field being read so far.
  std::string_view FieldData() const;
  /// Ends the field; returns its index in the part.
  std::size_t EndField();
  /// The name and the held data of field \a index of the part being built.
  std::string_view NameOf(std::size_t index) const;
  std::string_view DataOf(std::size_t index) const;

  /// True while a field is started and not yet ended.
  bool field_open() const { return field_open_; }

  /// Completes the part: its views are set. A field still open is not in
  /// it; it goes on in the next part.
  void HandOver(bool complete, bool terminated);
  /// The part so far is the header: its fields and problems go there.
  void MoveToHeader(std::vector<AdifHeaderField>* fields,
                    std::vector<AdifSyntaxProblem>* problems);

 private:
  struct Spans {
    std::size_t name, name_size, type, type_size, data, data_size;
  };
  // Moves the open field to the start of the emptied storage.
  void CarryOpenField();
  AdifRecord* record_ = nullptr;
  std::vector<Spans> spans_;
  std::string storage_;
  AdifField field_;  // the field being read
  Spans field_spans_{};
  bool open_ = false;
  bool field_open_ = false;
  std::string carried_;  // the open field's bytes, while they are moved
};

#endif  // LOGWEAVE_ADIF_RECORD_BUILDER_H_
