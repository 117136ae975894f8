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
  storage_.clear();
}

bool RecordBuilder::Full() const {
  return record_->fields.size() + record_->problems.size() >= kAdifPartFields ||
         storage_.size() >= kAdifPartBytes;
}

void RecordBuilder::AddProblem(AdifSyntaxProblem problem) {
  record_->problems.push_back(std::move(problem));
  open_ = true;
}

void RecordBuilder::StartField(std::string_view name, std::string_view type,
                               std::uint64_t offset, std::uint64_t data_offset,
                               std::uint64_t declared_length) {
  field_ = AdifField();
  field_.offset = offset;
  field_.data_offset = data_offset;
  field_.declared_length = declared_length;
  field_spans_.name = storage_.size();
  field_spans_.name_size = name.size();
  storage_.append(name);
  field_spans_.type = storage_.size();
  field_spans_.type_size = type.size();
  storage_.append(type);
  field_spans_.data = storage_.size();
  open_ = true;
}

void RecordBuilder::AddData(std::string_view bytes) {
  std::uint64_t at = field_.length;
  std::size_t held = storage_.size() - field_spans_.data;
  if (held < kAdifHeldData)
    storage_.append(bytes.substr(0, kAdifHeldData - held));
  CountBytes(bytes, at, &field_.bytes);
  field_.length += bytes.size();
}

std::string_view RecordBuilder::FieldName() const {
  return std::string_view(storage_).substr(field_spans_.name,
                                           field_spans_.name_size);
}

std::string_view RecordBuilder::FieldData() const {
  return std::string_view(storage_).substr(field_spans_.data);
}

std::size_t RecordBuilder::EndField() {
  field_.data = std::string_view();  // set on handing over
  record_->fields.push_back(field_);
  spans_.push_back(field_spans_);
  return spans_.size() - 1;
}

std::string_view RecordBuilder::NameOf(std::size_t index) const {
  return std::string_view(storage_).substr(spans_[index].name,
                                           spans_[index].name_size);
}

std::string_view RecordBuilder::DataOf(std::size_t index) const {
  std::size_t end =
      index + 1 < spans_.size() ? spans_[index + 1].name : storage_.size();
  return std::string_view(storage_).substr(spans_[index].data,
                                           end - spans_[index].data);
}

void RecordBuilder::HandOver(bool complete, bool terminated) {
  const std::string_view all(storage_);
  for (std::size_t i = 0; i < spans_.size(); ++i) {
    const Spans& s = spans_[i];
    AdifField& field = record_->fields[i];
    field.name = all.substr(s.name, s.name_size);
    field.type = all.substr(s.type, s.type_size);
    std::size_t data_end =
        i + 1 < spans_.size() ? spans_[i + 1].name : storage_.size();
    field.data = all.substr(s.data, data_end - s.data);
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
    header.data = std::string(field.data);
    fields->push_back(std::move(header));
  }
  for (AdifSyntaxProblem& problem : record_->problems)
    problems->push_back(std::move(problem));
  AdifRecord* record = record_;
  open_ = false;
  Begin(record);
}
