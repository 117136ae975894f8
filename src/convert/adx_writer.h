// adx_writer.h: the ADIF XML form (ADX) of a conversion.
//
// The record engine writes its record lines ("<KEY:LEN>value ... <EOR>\r\n")
// with the table's bytes as they are, under the same value rules as ever;
// this sink reads them back field by field and writes each line as one
// <RECORD> of an ADX document in UTF-8, the fields in the same order. The
// table's bytes are read in the given code page. A text field that holds
// characters outside ASCII gets its plain-ASCII spelling (see charset.h),
// and the original goes in the field's _INTL companion where the standard
// defines one (NAME and NAME_INTL); fields of the Intl types keep the
// original. A keyword the standard does not define becomes a user-defined
// field (USERDEF), one named APP_PROGRAM_FIELD an application field (APP).

#ifndef LOGWEAVE_CONVERT_ADX_WRITER_H_
#define LOGWEAVE_CONVERT_ADX_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "convert/charset.h"
#include "mapping/column_plan.h"
#include "mapping/language.h"
#include "platform/byte_stream.h"

class AdxWriter : public ByteSink {
 public:
  /// Writes to \a target the records of a run over \a plan whose bytes are
  /// read in \a code_page; with \a ascii_only, every field gets the ASCII
  /// spelling and no _INTL companion is added.
  AdxWriter(ByteSink* target, const ColumnPlan& plan, int code_page,
            bool ascii_only);

  /// The XML declaration, the header (the text of the ADI header as a
  /// comment, ADIF_VER, PROGRAMID, the user-defined fields) and the opening
  /// of the records. False when the write failed.
  bool WriteHeader(Language language);
  /// Takes record lines as the engine writes them; a line may arrive in
  /// pieces. False when a write of the target failed.
  bool Write(const char* data, std::size_t size) override;
  /// Closes the records and the document. False when a write failed or the
  /// lines ended inside a record.
  bool Finish();
  SystemError Error() const override;

  /// Values whose original went to an _INTL companion.
  std::uint64_t values_kept_in_intl() const { return kept_in_intl_; }
  /// Values written in plain ASCII with no original kept.
  std::uint64_t values_spelled() const { return spelled_; }

 private:
  struct Element {
    std::string open, close;            // "<NAME>", "</NAME>"
    std::string intl_open, intl_close;  // the companion's; empty if none
    bool intl = false;                  // of an Intl type: keeps the original
  };

  const Element& ElementOf(std::string_view keyword);
  void AddField(std::string_view keyword, std::string_view value);
  // Appends \a text to the record, escaped; false when a character XML
  // cannot hold was replaced by "?".
  bool AppendEscaped(const std::string& text);
  bool Put(const std::string& text);
  bool Fail(const char* what);

  ByteSink* target_;
  bool ascii_only_;
  ValueEncoder ascii_;
  ValueEncoder utf8_;
  std::map<std::string, Element, std::less<>> elements_;
  std::string user_fields_;  // the header's USERDEF declarations
  std::string pending_;      // record lines not yet read
  std::string record_;       // the record being built
  std::string out_;          // written text not yet handed on
  std::string encoded_;
  bool failed_ = false;
  SystemError error_;
  std::uint64_t kept_in_intl_ = 0;
  std::uint64_t spelled_ = 0;
};

#endif  // LOGWEAVE_CONVERT_ADX_WRITER_H_
