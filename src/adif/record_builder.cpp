// record_builder.cpp: putting a record together.

#include "adif/record_builder.h"

#include <algorithm>
#include <cstring>

bool CountBytes(std::string_view bytes, std::uint64_t at,
                AdifByteCounts* counts_out) {
  AdifByteCounts& counts = *counts_out;
  bool less_than = false;
  std::size_t i = 0;
  // Eight bytes at a time while they are all printable ASCII other than "<".
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, bytes.data() + i, 8);
    std::uint64_t below_blank = (w - 0x20 * kOnes) & ~w & kHighs;
    std::uint64_t high_or_delete = (w + kOnes) | w;
    std::uint64_t lt = w ^ (0x3C * kOnes);  // a zero byte where "<" was
    std::uint64_t has_lt = (lt - kOnes) & ~lt & kHighs;
    if ((below_blank | (high_or_delete & kHighs) | has_lt) != 0) break;
  }
  for (; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c >= 0x20 && c < 0x7F) {
      if (c == '<') less_than = true;
      continue;
    }
    if (c == '\r' || c == '\n') {
      if (counts.line_ends++ == 0) {
        counts.first_line_end = at + i;
        counts.line_end_byte = c;
      }
    } else if (counts.odd++ == 0) {
      counts.first_odd = at + i;
      counts.odd_byte = c;
    }
  }
  return less_than;
}

void RecordBuilder::Begin(AdifRecord* record) {
  record_ = record;
  record->fields.clear();
  record->problems.clear();
  record->continued = open_;
  record->complete = true;
  record->terminated = false;
  spans_.clear();
  if (field_open_) {
    CarryOpenField();
  } else {
    storage_.clear();
  }
}

void RecordBuilder::CarryOpenField() {
  const Spans& s = field_spans_;
  carried_.assign(storage_, s.name, storage_.size() - s.name);
  storage_ = carried_;
  field_spans_.type -= s.name;
  field_spans_.data -= s.name;
  field_spans_.name = 0;
}

bool RecordBuilder::Full() const {
  return record_->fields.size() + record_->problems.size() >= kAdifPartFields ||
         storage_.size() >= kAdifPartBytes;
}

void RecordBuilder::AddProblem(AdifSyntaxProblem&& problem) {
  record_->problems.push_back(std::move(problem));
  open_ = true;
}

void RecordBuilder::StartField(std::string_view name, std::string_view type,
                               std::uint64_t offset, std::uint64_t data_offset,
                               std::uint64_t declared_length,
                               bool leading_zeros) {
  // Each member set, rather than a new field copied over: this is done for
  // every field.
  field_.name = field_.type = field_.data = std::string_view();
  field_.length = 0;
  field_.declared_length = declared_length;
  field_.offset = offset;
  field_.data_offset = data_offset;
  field_.bytes = AdifByteCounts();
  field_.name_as_before = false;
  field_.length_leading_zeros = leading_zeros;
  field_spans_.name = storage_.size();
  field_spans_.name_size = name.size();
  storage_.append(name);
  field_spans_.type = storage_.size();
  field_spans_.type_size = type.size();
  storage_.append(type);
  field_spans_.data = storage_.size();
  field_spans_.data_size = 0;
  open_ = true;
  field_open_ = true;
}

void RecordBuilder::AddData(std::string_view bytes) {
  std::uint64_t at = field_.length;
  std::size_t held = storage_.size() - field_spans_.data;
  if (held < kAdifHeldData) {
    std::string_view kept = bytes.substr(0, kAdifHeldData - held);
    storage_.append(kept);
    field_spans_.data_size += kept.size();
  }
  CountBytes(bytes, at, &field_.bytes);
  field_.length += bytes.size();
}

std::string_view RecordBuilder::FieldName() const {
  return std::string_view(storage_).substr(field_spans_.name,
                                           field_spans_.name_size);
}

std::string_view RecordBuilder::FieldData() const {
  return std::string_view(storage_).substr(field_spans_.data,
                                           field_spans_.data_size);
}

std::size_t RecordBuilder::EndField() {
  field_.data = std::string_view();  // set on handing over
  record_->fields.push_back(field_);
  spans_.push_back(field_spans_);
  field_open_ = false;
  return spans_.size() - 1;
}

std::string_view RecordBuilder::NameOf(std::size_t index) const {
  return std::string_view(storage_).substr(spans_[index].name,
                                           spans_[index].name_size);
}

std::string_view RecordBuilder::DataOf(std::size_t index) const {
  return std::string_view(storage_).substr(spans_[index].data,
                                           spans_[index].data_size);
}

void RecordBuilder::HandOver(bool complete, bool terminated) {
  const std::string_view all(storage_);
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const Spans& s = spans_[i];
    AdifField& field = record_->fields[i];
    field.name = all.substr(s.name, s.name_size);
    field.type = all.substr(s.type, s.type_size);
    field.data = all.substr(s.data, s.data_size);
  }
  record_->complete = complete;
  record_->terminated = terminated;
  open_ = !complete;
}

void RecordBuilder::MoveToHeader(std::vector<AdifHeaderField>* fields,
                                 std::vector<AdifSyntaxProblem>* problems) {
  HandOver(true, false);
  for (const AdifField& field : record_->fields) {
    if (fields->size() >= kAdifPartFields) break;
    AdifHeaderField header;
    header.name = std::string(field.name);
    header.type = std::string(field.type);
    header.data = std::string(field.data);
    fields->push_back(std::move(header));
  }
  for (AdifSyntaxProblem& problem : record_->problems)
    problems->push_back(std::move(problem));
  AdifRecord* record = record_;
  open_ = false;
  Begin(record);
}
