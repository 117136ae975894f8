// adx_reader.cpp: the XML form, read with a small scanner of its own: ADX
// uses elements, attributes, text, entities and CDATA, nothing more.

#include "adif/adx_reader.h"

#include <algorithm>
#include <cstring>

#include "adif/block_input.h"
#include "adif/name_table.h"
#include "adif/record_builder.h"
#include "platform/text.h"

namespace {

constexpr bool IsNameByteSlow(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' ||
         c == ':' || c >= 0x80;
}

constexpr ByteClass<IsNameByteSlow> kNameBytes;

bool IsNameByte(char c) { return kNameBytes(static_cast<unsigned char>(c)); }

// Decodes the entity that opens \a text ("&amp;..."); returns its length, or
// 0 when it is none.
std::size_t DecodeEntity(std::string_view text, std::string* out) {
  std::size_t semicolon = text.substr(0, 12).find(';');
  if (semicolon == std::string_view::npos || semicolon < 2) return 0;
  std::string_view name = text.substr(1, semicolon - 1);
  static const struct {
    const char* name;
    char value;
  } kNamed[] = {
      {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& entity : kNamed) {
    if (name == entity.name) {
      *out += entity.value;
      return semicolon + 1;
    }
  }
  if (name[0] != '#' || name.size() < 2) return 0;
  bool hex = name[1] == 'x' || name[1] == 'X';
  std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  std::uint32_t code = 0;
  for (char c : digits) {
    int digit = c >= '0' && c <= '9'          ? c - '0'
                : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                              : -1;
    if (digit < 0) return 0;
    code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
    if (code > 0x10FFFF) return 0;
  }
  if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  AppendUtf8(code, out);
  return semicolon + 1;
}

// A start or end tag.
struct Element {
  bool well_formed = false;
  bool end_tag = false;
  bool empty = false;  // <NAME/>
  std::string_view name;
  std::string_view attributes;
  std::size_t size = 0;  // through ">"
};

Element ParseElement(std::string_view text) {
  Element element;
  std::size_t p = 1;
  if (p < text.size() && text[p] == '/') {
    element.end_tag = true;
    ++p;
  }
  std::size_t name_start = p;
  while (p < text.size() && IsNameByte(text[p])) ++p;
  element.name = text.substr(name_start, p - name_start);
  if (element.name.empty()) return element;
  // Attributes run to ">", with quoted values that may hold it.
  std::size_t attributes_start = p;
  char quote = 0;
  for (; p < text.size(); ++p) {
    char c = text[p];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '<') {
      return element;
    } else if (c == '>') {
      break;
    }
  }
  if (p == text.size()) return element;
  element.size = p + 1;
  std::size_t attributes_end = p;
  if (!element.end_tag && attributes_end > attributes_start &&
      text[attributes_end - 1] == '/') {
    element.empty = true;
    --attributes_end;
  }
  element.attributes =
      text.substr(attributes_start, attributes_end - attributes_start);
  if (element.end_tag) {
    for (char c : element.attributes)
      if (!IsWhiteSpace(c)) return element;
  } else if (!element.attributes.empty() &&
             !IsWhiteSpace(element.attributes[0])) {
    return element;
  }
  element.well_formed = true;
  return element;
}

// The value of attribute \a upper_name (any letter case), entities decoded.
std::string Attribute(std::string_view attributes,
                      std::string_view upper_name) {
  std::size_t p = 0;
  while (p < attributes.size()) {
    while (p < attributes.size() && IsWhiteSpace(attributes[p])) ++p;
    std::size_t name_start = p;
    while (p < attributes.size() && IsNameByte(attributes[p])) ++p;
    std::string_view name = attributes.substr(name_start, p - name_start);
    while (p < attributes.size() && IsWhiteSpace(attributes[p])) ++p;
    if (name.empty() || p >= attributes.size() || attributes[p] != '=') break;
    ++p;
    while (p < attributes.size() && IsWhiteSpace(attributes[p])) ++p;
    if (p >= attributes.size()) break;
    char quote = attributes[p];
    if (quote != '"' && quote != '\'') break;
    std::size_t close = attributes.find(quote, p + 1);
    if (close == std::string_view::npos) break;
    std::string_view raw = attributes.substr(p + 1, close - p - 1);
    p = close + 1;
    if (!SameName(name, upper_name)) continue;
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
      std::size_t length =
          raw[i] == '&' ? DecodeEntity(raw.substr(i), &value) : 0;
      if (length == 0)
        value += raw[i];
      else
        i += length - 1;
    }
    return value;
  }
  return std::string();
}

class AdxReader : public AdifRecordReader {
 public:
  // Reads from \a start: 0, or just past the </RECORD> of a record, as
  // though the records before had been read.
  AdxReader(InputFile* file, std::size_t block_size, std::uint64_t start,
            bool fast)
      : in_(file, block_size, std::max(kAdifTagLimit + 1, kAdifFastWindow)),
        pos_(start),
        fast_(fast) {
    if (start == 0) return;
    place_ = Place::kRecords;
    seen_root_ = true;
    in_.Restart(start);
  }

  std::uint64_t position() const override { return pos_; }

  bool Next(AdifRecord* record) override {
    if (done_) {
      // After the last record: what the end of the file left open.
      if (unclosed_) AddProblem(AdifXmlProblem::kUnclosed, "");
      unclosed_ = false;
      return false;
    }
    if (fast_ && place_ == Place::kRecords && !stray_text_ &&
        FastRecord(record))
      return true;
    builder_.Begin(record);
    for (;;) {
      if (builder_.Full()) {
        if (place_ != Place::kRecord) {
          MoveToHeader();
        } else {
          builder_.HandOver(/*complete=*/false, /*terminated=*/false);
          return true;
        }
      }
      std::string_view view = in_.At(pos_);
      if (view.empty()) return Finish();
      if (in_field_) {
        FieldText(view);
        continue;
      }
      std::size_t lt = view.find('<');
      std::string_view text = view.substr(0, lt);
      if (!stray_text_ &&
          std::any_of(text.begin(), text.end(),
                      [](char c) { return !IsWhiteSpace(c); }) &&
          !(place_ == Place::kTop && !seen_root_)) {
        stray_text_ = true;  // once a run of text, not once a byte
        AddProblem(AdifXmlProblem::kStrayText, EscapedToken(text));
      }
      if (lt == std::string_view::npos) {
        pos_ += view.size();
        continue;
      }
      pos_ += lt;
      stray_text_ = false;
      if (Markup()) return true;
    }
  }

 private:
  enum class Place { kTop, kAdx, kHeader, kRecords, kRecord, kAfter };

  // A record that lies whole in the window, written as most programs write
  // it: <RECORD>, fields <NAME>text</NAME> with no attribute, entity or
  // markup in them and blanks between them, </RECORD>. It is handed over
  // with its views in the window, nothing copied. Any other is read the
  // careful way from its start, to the same outcome.
  bool FastRecord(AdifRecord* record) {
    const std::string_view view = in_.At(pos_, kAdifFastWindow);
    const char* const s = view.data();
    const std::size_t n = view.size();
    std::size_t p = SkipWhiteSpace(view, 0);
    if (!HoldsTag(view, p, "<RECORD>")) return false;
    p += 8;
    std::size_t count = 0;
    for (;;) {
      p = SkipWhiteSpace(view, p);
      if (p + 1 >= n || s[p] != '<') return false;
      if (s[p + 1] == '/') {
        if (!HoldsTag(view, p, "</RECORD>")) return false;
        p += 9;
        break;
      }
      // <NAME>, with no attribute; APP and USERDEF need theirs.
      const std::size_t name_end = std::min(n, p + 1 + kLongestName);
      std::size_t q = p + 1;
      while (q < name_end && IsNameByte(s[q])) ++q;
      const std::string_view name(s + p + 1, q - p - 1);
      if (name.empty() || q == name_end || s[q] != '>' ||
          (name.size() == 3 && SameName(name, "APP")) ||
          (name.size() == 7 && SameName(name, "USERDEF")))
        return false;
      const std::size_t data = q + 1;
      const std::size_t end = MarkupOrEntity(view, data);
      // The end tag closes it: </NAME>, in any letter case.
      const std::size_t after = end + 3 + name.size();
      if (after > n || s[end] != '<' || s[end + 1] != '/' ||
          s[after - 1] != '>' || !SameTagName(s + end + 2, name) ||
          end - data > kAdifHeldData || count >= kAdifPartFields)
        return false;
      AdifField& field = NextField(record, count++);
      field.name = name;
      field.type = std::string_view();
      field.data = view.substr(data, end - data);
      field.length = field.data.size();
      field.declared_length = 0;
      field.offset = pos_ + p;
      field.data_offset = pos_ + data;
      field.bytes = AdifByteCounts();
      field.spelling = NumberAt(count - 1, name);
      field.length_leading_zeros = false;
      if (!PlainAscii(s + data, field.length, n - data))
        CountBytes(field.data, 0, &field.bytes);
      p = after;
    }
    record->fields.resize(count);
    record->problems.clear();
    record->continued = false;
    record->complete = true;
    record->terminated = true;
    pos_ += p;
    return true;
  }

  // Element names longer than this are left to the careful way.
  static constexpr std::size_t kLongestName = 64;

  // The number of the name \a name of the field at \a index of a record:
  // mostly that of the field at that place in the record before.
  std::uint64_t NumberAt(std::size_t index, std::string_view name) {
    if (index >= kPlaces) return numbers_.Of(name);
    PlacedName& placed = placed_[index];
    if (placed.number == 0 || placed.name != name) {
      placed.name.assign(name.data(), name.size());
      placed.number = numbers_.Of(name);
    }
    return placed.number;
  }

  static std::size_t SkipWhiteSpace(std::string_view view, std::size_t p) {
    while (p < view.size() && IsWhiteSpace(view[p])) ++p;
    return p;
  }

  // True when \a view holds the tag \a upper at \a p, in any letter case.
  static bool HoldsTag(std::string_view view, std::size_t p,
                       std::string_view upper) {
    if (p + upper.size() > view.size()) return false;
    const std::string_view tag = view.substr(p, upper.size());
    return tag == upper || SameName(tag, upper);
  }

  // True when the bytes at \a at are \a name in any letter case; mostly
  // they are the same bytes.
  static bool SameTagName(const char* at, std::string_view name) {
    const std::string_view other(at, name.size());
    return other == name || EqualIgnoringCase(other, name);
  }

  // Where the first "<" or "&" from \a p lies in \a view, or its size;
  // eight bytes at a time while a word can be read.
  static std::size_t MarkupOrEntity(std::string_view view, std::size_t p) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
    for (; p + 8 <= view.size(); p += 8) {
      std::uint64_t w;
      std::memcpy(&w, view.data() + p, 8);
      const std::uint64_t lt = w ^ (0x3C * kOnes);   // a zero byte at "<"
      const std::uint64_t amp = w ^ (0x26 * kOnes);  // ... at "&"
      // The lowest flag is exact: a wrong one stands only above a right one.
      const std::uint64_t found =
          (((lt - kOnes) & ~lt) | ((amp - kOnes) & ~amp)) & kHighs;
      if (found != 0)
        return p + static_cast<std::size_t>(__builtin_ctzll(found)) / 8;
    }
    while (p < view.size() && view[p] != '<' && view[p] != '&') ++p;
    return p;
  }

  void AddProblem(AdifXmlProblem what, std::string text) {
    AdifSyntaxProblem problem;
    problem.kind = AdifSyntax::kXml;
    problem.field =
        in_field_ ? EscapedToken(AsciiUpperText(field_name_), 64) : "-";
    problem.number = static_cast<std::uint64_t>(what);
    problem.text = std::move(text);
    if (place_ == Place::kRecord || place_ == Place::kHeader)
      builder_.AddProblem(std::move(problem));
    else
      AddFileProblem(std::move(problem));
  }

  // The header's fields so far go to the header, its problems to the file's.
  void MoveToHeader() {
    builder_.MoveToHeader(&header_fields_, &moved_);
    AddFileProblems(&moved_);
  }

  // Passes over everything up to and including \a end; false when the file
  // ends first.
  bool SkipPast(std::string_view end) {
    for (;;) {
      std::string_view view = in_.At(pos_, end.size());
      if (view.size() < end.size()) {
        pos_ += view.size();
        return false;
      }
      std::size_t found = view.find(end);
      if (found != std::string_view::npos) {
        pos_ += found + end.size();
        return true;
      }
      pos_ += view.size() - (end.size() - 1);
    }
  }

  // The text of a field, up to the next "<".
  void FieldText(std::string_view view) {
    std::size_t stop = view.find_first_of("<&");
    builder_.AddData(view.substr(0, stop));
    if (stop == std::string_view::npos) {
      pos_ += view.size();
      return;
    }
    pos_ += stop;
    if (view[stop] == '<') {
      Markup();
      return;
    }
    std::string_view entity = in_.At(pos_, 12);
    decoded_.clear();
    std::size_t length = DecodeEntity(entity, &decoded_);
    if (length == 0) {
      std::size_t shown = 1;
      while (shown < entity.size() && shown < 12 &&
             (IsNameByte(entity[shown]) || entity[shown] == '#'))
        ++shown;
      if (shown < entity.size() && entity[shown] == ';') ++shown;
      AddProblem(AdifXmlProblem::kBadEntity,
                 EscapedToken(entity.substr(0, shown)));
      decoded_ = "&";
      length = 1;
    }
    builder_.AddData(decoded_);
    pos_ += length;
  }

  // Takes the markup at pos_; true when a record was completed.
  bool Markup() {
    std::string_view text =
        in_.At(pos_, kAdifTagLimit + 1).substr(0, kAdifTagLimit);
    auto opens = [&text](std::string_view start) {
      return text.substr(0, start.size()) == start;
    };
    // Most markup is an element's tag.
    const bool other = text.size() > 1 && (text[1] == '!' || text[1] == '?');
    if (other && opens("<!--")) {
      pos_ += 4;
      SkipPast("-->");
      return false;
    }
    if (other && opens("<![CDATA[")) {
      pos_ += 9;
      if (in_field_) return CData();
      AddProblem(AdifXmlProblem::kStrayText, "<![CDATA[");
      SkipPast("]]>");
      return false;
    }
    if (other) {
      pos_ += 2;
      SkipPast(opens("<?") ? "?>" : ">");
      return false;
    }
    Element element = ParseElement(text);
    if (!element.well_formed) {
      std::size_t shown = element.size ? element.size : text.find('<', 1);
      AddProblem(AdifXmlProblem::kBadMarkup,
                 EscapedToken(text.substr(0, shown)));
      pos_ += 1;
      return false;
    }
    // The tag as written, escaped only when a problem shows it.
    const std::string_view tag = text.substr(0, element.size);
    const std::uint64_t at = pos_;
    pos_ += element.size;
    if (element.end_tag) return End(element.name, tag);
    Start(element, at, tag);
    return false;
  }

  bool CData() {
    for (;;) {
      std::string_view view = in_.At(pos_, 3);
      if (view.size() < 3) {
        builder_.AddData(view);
        pos_ += view.size();
        return false;
      }
      std::size_t found = view.find("]]>");
      std::size_t take =
          found != std::string_view::npos ? found : view.size() - 2;
      builder_.AddData(view.substr(0, take));
      pos_ += take;
      if (found != std::string_view::npos) {
        pos_ += 3;
        return false;
      }
    }
  }

  void Start(const Element& element, std::uint64_t at, std::string_view tag) {
    std::string_view name = element.name;
    if (in_field_) {
      AddProblem(AdifXmlProblem::kNestedElement, EscapedToken(tag));
      return;
    }
    switch (place_) {
      case Place::kTop:
      case Place::kAfter:
        if (!SameName(name, "ADX") || seen_root_)
          AddProblem(AdifXmlProblem::kNotAdx, EscapedToken(tag));
        seen_root_ = true;
        if (!element.empty) place_ = Place::kAdx;
        return;
      case Place::kAdx:
        if (SameName(name, "HEADER")) {
          has_header_ = true;
          if (!element.empty) place_ = Place::kHeader;
        } else if (SameName(name, "RECORDS")) {
          if (!element.empty) place_ = Place::kRecords;
        } else {
          AddProblem(AdifXmlProblem::kNestedElement, EscapedToken(tag));
        }
        return;
      case Place::kRecords:
        if (SameName(name, "RECORD")) {
          place_ = Place::kRecord;
          if (element.empty) EndRecord();
        } else {
          AddProblem(AdifXmlProblem::kNestedElement, EscapedToken(tag));
        }
        return;
      case Place::kHeader:
      case Place::kRecord:
        StartField(element, at, tag);
        return;
    }
  }

  void StartField(const Element& element, std::uint64_t at,
                  std::string_view tag) {
    std::string_view name = element.name;
    field_element_.assign(name.data(), name.size());
    std::string type = Attribute(element.attributes, "TYPE");
    // What names the field: APP's two attributes, USERDEF's one.
    std::string first, second;
    if (SameName(name, "APP")) {
      first = Attribute(element.attributes, "PROGRAMID");
      second = Attribute(element.attributes, "FIELDNAME");
      field_name_ = "APP_" + first + "_" + second;
    } else if (SameName(name, "USERDEF") && place_ == Place::kRecord) {
      first = second = Attribute(element.attributes, "FIELDNAME");
      field_name_ = first;
    } else if (SameName(name, "USERDEF")) {
      first = second = Attribute(element.attributes, "FIELDID");
      field_name_ = "USERDEF" + first;
      // Its values or range follow its name, as the tagged form writes them.
      declared_ = Attribute(element.attributes, "ENUM");
      if (declared_.empty()) declared_ = Attribute(element.attributes, "RANGE");
    } else {
      first = second = "-";
      field_name_.assign(name.data(), name.size());
    }
    builder_.StartField(field_name_, type, at, pos_, 0);
    in_field_ = true;
    // A field no name can be given is malformed.
    if (first.empty() || second.empty())
      AddProblem(AdifXmlProblem::kUnnamedField, EscapedToken(tag));
    if (element.empty) EndField();
  }

  void EndField() {
    if (!declared_.empty()) builder_.AddData("," + declared_);
    declared_.clear();
    in_field_ = false;
    builder_.EndField();
  }

  void EndRecord() {
    builder_.HandOver(/*complete=*/true, /*terminated=*/true);
    place_ = Place::kRecords;
  }

  bool End(std::string_view name, std::string_view tag) {
    if (in_field_) {
      if (name == field_element_ || EqualIgnoringCase(name, field_element_) ||
          SameName(name, "APP") || SameName(name, "USERDEF")) {
        EndField();
      } else {
        AddProblem(AdifXmlProblem::kWrongEnd, EscapedToken(tag));
      }
      return false;
    }
    switch (place_) {
      case Place::kRecord:
        if (SameName(name, "RECORD")) {
          EndRecord();
          return true;
        }
        break;
      case Place::kHeader:
        if (SameName(name, "HEADER")) {
          MoveToHeader();
          place_ = Place::kAdx;
          return false;
        }
        break;
      case Place::kRecords:
        if (SameName(name, "RECORDS")) {
          place_ = Place::kAdx;
          return false;
        }
        break;
      case Place::kAdx:
        if (SameName(name, "ADX")) {
          place_ = Place::kAfter;
          return false;
        }
        break;
      case Place::kTop:
      case Place::kAfter:
        break;
    }
    AddProblem(AdifXmlProblem::kWrongEnd, EscapedToken(tag));
    return false;
  }

  bool Finish() {
    done_ = true;
    if (in_.failed()) {
      failed_ = true;
      error_ = in_.error();
      return false;
    }
    if (in_field_) EndField();
    if (!seen_root_) AddProblem(AdifXmlProblem::kNotAdx, "");
    if (place_ == Place::kHeader) MoveToHeader();
    if (place_ == Place::kRecord) {
      AdifSyntaxProblem problem;
      problem.kind = AdifSyntax::kMissingEor;
      problem.field = "-";
      builder_.AddProblem(std::move(problem));
      builder_.HandOver(/*complete=*/true, /*terminated=*/false);
      place_ = Place::kRecords;
      unclosed_ = true;
      return true;
    }
    if (place_ != Place::kTop && place_ != Place::kAfter)
      AddProblem(AdifXmlProblem::kUnclosed, "");
    return false;
  }

  BlockInput in_;
  RecordBuilder builder_;
  std::uint64_t pos_ = 0;
  Place place_ = Place::kTop;
  bool seen_root_ = false;
  bool done_ = false;
  bool in_field_ = false;
  bool stray_text_ = false;
  bool unclosed_ = false;      // the file ended inside the last record
  std::string field_element_;  // as written, to match its end tag
  std::string field_name_;
  std::string decoded_;
  std::vector<AdifSyntaxProblem> moved_;  // the header's, on their way
  std::string declared_;  // the ENUM or RANGE of a USERDEF in the header
  // By place in a record, the names of the fields read the fast way.
  struct PlacedName {
    std::string name;
    std::uint64_t number = 0;
  };
  static constexpr std::size_t kPlaces = 64;
  PlacedName placed_[kPlaces];
  NameNumbers numbers_{4096};
  const bool fast_;
};

}  // namespace

std::unique_ptr<AdifRecordReader> MakeAdxReader(InputFile* file,
                                                std::size_t block_size,
                                                bool fast) {
  return std::make_unique<AdxReader>(file, block_size, 0, fast);
}

std::unique_ptr<AdifRecordReader> MakeAdxReaderAfterRecord(
    InputFile* file, std::uint64_t offset) {
  return std::make_unique<AdxReader>(file, kAdifBlockSize, offset, true);
}
