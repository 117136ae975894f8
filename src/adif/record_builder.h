// record_builder.h: how both ADIF readers put a record together: its fields'
// names, types and held data in one block of storage reused from record to
// record, handed over in parts when a record grows too large. A field still
// open when a part is handed over is carried into the next part whole: its
// name, type, the data held so far and what was measured of it.

#ifndef LOGWEAVE_ADIF_RECORD_BUILDER_H_
#define LOGWEAVE_ADIF_RECORD_BUILDER_H_

#include <string>
#include <string_view>
#include <vector>

#include "adif/adif_reader.h"

/// True when the tag name \a name is \a upper in any letter case; for the
/// two readers.
bool SameName(std::string_view name, std::string_view upper);

/// Adds what kind of bytes \a bytes are to \a counts; \a at is the
/// position of the first of them in the field's data. True when they hold
/// a "<".
bool CountBytes(std::string_view bytes, std::uint64_t at, AdifByteCounts* counts);

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
