// adif_reader.cpp: the ADIF tag scanner and the reading of header and
// records.

#include "adif/adif_reader.h"

#include <cstdint>
#include <cstdio>
#include <limits>

namespace {

constexpr std::size_t kNoPosition = std::string_view::npos;

enum class TagKind {
  kText,       // a "<" that starts no tag: plain text
  kBad,        // malformed; scanning resumes at end
  kBadLength,  // <NAME:LEN...> whose LEN is not a number
  kBare,       // <NAME>
  kField,      // <NAME:LEN[:TYPE]>
};

struct Tag {
  TagKind kind = TagKind::kText;
  std::string_view name;
  std::string_view type;
  std::string_view length_text;
  std::size_t length = 0;  // saturated at kLengthLimit
  std::size_t end = 0;     // just past ">", or where a bad tag stopped
};

// Lengths above this are all "past the end": no buffer is that large. On a
// 32-bit build it is the largest length that cannot overflow while digits
// are added.
constexpr std::size_t kLengthLimit =
    sizeof(std::size_t) >= 8
        ? static_cast<std::size_t>(std::uint64_t{1} << 48)
        : (std::numeric_limits<std::size_t>::max() - 9) / 10;

// Field names: printable ASCII except the bytes that delimit a tag, the
// blank and the characters ADIF keeps out of names.
bool IsNameByte(unsigned char c) {
  return c > ' ' && c < 0x7F && c != '<' && c != '>' && c != ':' &&
         c != ',' && c != '{' && c != '}';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlank(char c) {
  // 0x1A ends many files written under DOS.
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1A';
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

bool SameName(std::string_view name, std::string_view upper) {
  if (name.size() != upper.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (Upper(name[i]) != upper[i]) return false;
  return true;
}

std::string UpperName(std::string_view name) {
  std::string upper(name);
  for (char& c : upper) c = Upper(c);
  return PrintableText(upper);
}

// Parses the tag whose "<" is at \a at.
Tag ParseTag(std::string_view bytes, std::size_t at) {
  Tag tag;
  const std::size_t n = bytes.size();
  std::size_t p = at + 1;
  while (p < n && IsNameByte(static_cast<unsigned char>(bytes[p]))) ++p;
  tag.name = bytes.substr(at + 1, p - at - 1);
  if (tag.name.empty()) {
    tag.end = at + 1;
    return tag;
  }
  if (p < n && bytes[p] == '>') {
    tag.kind = TagKind::kBare;
    tag.end = p + 1;
    return tag;
  }
  if (p == n || bytes[p] != ':') {
    tag.kind = TagKind::kBad;
    tag.end = p;
    return tag;
  }
  // LEN[:TYPE] runs to ">"; a "<" or the end of the file first means the
  // tag was never closed.
  std::size_t spec_start = ++p;
  while (p < n && bytes[p] != '>' && bytes[p] != '<') ++p;
  if (p == n || bytes[p] == '<') {
    tag.kind = TagKind::kBad;
    tag.end = p;
    return tag;
  }
  tag.end = p + 1;
  std::string_view spec = bytes.substr(spec_start, p - spec_start);
  std::size_t colon = spec.find(':');
  tag.length_text = spec.substr(0, colon);
  if (colon != kNoPosition) tag.type = spec.substr(colon + 1);
  tag.kind = TagKind::kBadLength;
  if (tag.length_text.empty()) return tag;
  std::size_t length = 0;
  for (char c : tag.length_text) {
    if (!IsDigit(c)) return tag;
    if (length < kLengthLimit) length = length * 10 + (c - '0');
  }
  tag.length = length < kLengthLimit ? length : kLengthLimit;
  tag.kind = TagKind::kField;
  return tag;
}

// A tag a writer meant: a data-specifier with a numeric length, or <EOR> or
// <EOH>. Values that merely hold a "<" are not mistaken for one.
bool IsMeantTag(const Tag& tag) {
  if (tag.kind == TagKind::kField) return true;
  return tag.kind == TagKind::kBare &&
         (SameName(tag.name, "EOR") || SameName(tag.name, "EOH"));
}

std::string TagText(std::string_view bytes, std::size_t at, const Tag& tag) {
  return PrintableText(bytes.substr(at, tag.end - at));
}

AdifSyntaxProblem Problem(AdifSyntax kind, std::string field,
                          std::string message) {
  AdifSyntaxProblem problem;
  problem.kind = kind;
  problem.field = std::move(field);
  problem.message = std::move(message);
  return problem;
}

// The problem of a field whose declared length swallows a following tag or
// runs past the end of the file; empty message when the length is sound.
std::string LengthOverrun(std::string_view bytes, const AdifField& field,
                          const Tag& tag) {
  const std::size_t data_start = tag.end;
  const std::string length = PrintableText(tag.length_text);
  if (field.declared_length > field.data.size())
    return "length " + length + " runs past the end of the file (" +
           std::to_string(field.data.size()) + " bytes left)";
  for (std::size_t i = field.data.find('<'); i != kNoPosition;
       i = field.data.find('<', i + 1)) {
    Tag inner = ParseTag(bytes, data_start + i);
    if (IsMeantTag(inner))
      return "length " + length + " takes in the next tag \"" +
             TagText(bytes, data_start + i, inner) +
             "\": the value is read as \"" + PrintableText(field.data) + "\"";
  }
  return "";
}

// Reads a header from the start of \a bytes up to <EOH>; false when there is
// none. Header text is free, so malformed tags in it are no concern.
bool ReadHeader(std::string_view bytes, AdifFile* file, std::size_t* pos) {
  std::size_t p = 0;
  for (;;) {
    std::size_t at = bytes.find('<', p);
    if (at == kNoPosition) return false;
    Tag tag = ParseTag(bytes, at);
    p = tag.end;
    if (tag.kind == TagKind::kBare && SameName(tag.name, "EOH")) {
      *pos = p;
      return true;
    }
    if (tag.kind != TagKind::kField) continue;
    AdifField field;
    field.name = tag.name;
    field.type = tag.type;
    field.declared_length = tag.length;
    field.offset = at;
    field.data = bytes.substr(p, tag.length);
    file->header_fields.push_back(field);
    p += field.data.size();
  }
}

// Reads records from \a pos to the end.
class RecordReader {
 public:
  RecordReader(std::string_view bytes, AdifFile* file)
      : bytes_(bytes), file_(file) {}

  void Read(std::size_t pos) {
    for (;;) {
      std::size_t at = bytes_.find('<', pos);
      if (at == kNoPosition) break;
      Tag tag = ParseTag(bytes_, at);
      pos = tag.end;
      if (tag.kind == TagKind::kText) continue;
      CheckGap(at);
      switch (tag.kind) {
        case TagKind::kBad:
          AddProblem(AdifSyntax::kBadTag, "-",
                     "tag \"" + TagText(bytes_, at, tag) +
                         "\" is not closed by \">\"");
          break;
        case TagKind::kBadLength:
          AddProblem(AdifSyntax::kBadLength, UpperName(tag.name),
                     "length \"" + PrintableText(tag.length_text) +
                         "\" is not a number: the data is skipped");
          break;
        case TagKind::kBare:
          Bare(at, tag);
          break;
        case TagKind::kField:
          pos = Field(at, tag);
          break;
        case TagKind::kText:
          break;
      }
    }
    CheckGap(bytes_.size());
    if (open_) {
      current_.problems.push_back(
          Problem(AdifSyntax::kMissingEor, "-",
                  "the file ends before this record's <EOR>"));
      file_->records.push_back(std::move(current_));
    }
  }

 private:
  void AddProblem(AdifSyntax kind, std::string field, std::string message) {
    current_.problems.push_back(
        Problem(kind, std::move(field), std::move(message)));
    open_ = true;
  }

  void Bare(std::size_t at, const Tag& tag) {
    if (SameName(tag.name, "EOR")) {
      current_.terminated = true;
      file_->records.push_back(std::move(current_));
      current_ = AdifRecord();
      open_ = false;
    } else if (SameName(tag.name, "EOH") && file_->records.empty() &&
               !file_->has_header) {
      // Fields written before an <EOH> by a file that opens with a tag.
      file_->has_header = true;
      file_->header_fields = std::move(current_.fields);
      for (AdifSyntaxProblem& problem : current_.problems)
        file_->file_problems.push_back(std::move(problem));
      current_ = AdifRecord();
      open_ = false;
    } else if (SameName(tag.name, "EOH")) {
      AddProblem(AdifSyntax::kBadTag, "-",
                 "<EOH> is out of place after the header");
    } else {
      AddProblem(AdifSyntax::kBadTag, "-",
                 "tag \"" + TagText(bytes_, at, tag) +
                     "\" has no length, so it carries no value");
    }
  }

  // Takes the field whose tag is at \a at; returns where scanning goes on.
  std::size_t Field(std::size_t at, const Tag& tag) {
    AdifField field;
    field.name = tag.name;
    field.type = tag.type;
    field.declared_length = tag.length;
    field.offset = at;
    field.data = bytes_.substr(tag.end, tag.length);
    std::string overrun = LengthOverrun(bytes_, field, tag);
    if (!overrun.empty())
      AddProblem(AdifSyntax::kBadLength, UpperName(field.name), overrun);
    current_.fields.push_back(field);
    open_ = true;
    std::size_t data_end = tag.end + field.data.size();
    // After a length that is too long, the text left over is no news.
    gap_start_ = overrun.empty() ? data_end : kNoPosition;
    return data_end;
  }

  // Text between a field's data and the next tag is ignored by readers; when
  // it is more than blanks, the length was most likely too short.
  void CheckGap(std::size_t gap_end) {
    if (gap_start_ == kNoPosition) return;
    std::string_view gap = bytes_.substr(gap_start_, gap_end - gap_start_);
    gap_start_ = kNoPosition;
    std::size_t first = 0;
    while (first < gap.size() && IsBlank(gap[first])) ++first;
    if (first == gap.size()) return;
    std::size_t last = gap.size();
    while (IsBlank(gap[last - 1])) --last;
    const AdifField& field = current_.fields.back();
    AddProblem(AdifSyntax::kBadLength, UpperName(field.name),
               "length " + std::to_string(field.declared_length) +
                   " leaves \"" +
                   PrintableText(gap.substr(first, last - first)) +
                   "\" after the value: it is read as \"" +
                   PrintableText(field.data) + "\"");
  }

  std::string_view bytes_;
  AdifFile* file_;
  AdifRecord current_;
  bool open_ = false;  // current_ holds a field or a problem
  std::size_t gap_start_ = kNoPosition;
};

}  // namespace

std::string PrintableText(std::string_view text, std::size_t max_length) {
  std::string printable;
  for (char c : text) {
    if (printable.size() >= max_length) {
      printable += "...";
      break;
    }
    unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      printable += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X",
                    static_cast<unsigned>(byte));
      printable += escaped;
    }
  }
  return printable;
}

AdifFile ReadAdif(std::string_view bytes) {
  AdifFile file;
  std::size_t pos = 0;
  if (!bytes.empty() && bytes[0] != '<') {
    file.has_header = ReadHeader(bytes, &file, &pos);
    if (!file.has_header) {
      file.header_fields.clear();
      file.file_problems.push_back(
          Problem(AdifSyntax::kMissingEoh, "-",
                  "the file opens with text but has no <EOH>, so strict "
                  "readers take all of it for header"));
      pos = 0;
    }
  }
  RecordReader(bytes, &file).Read(pos);
  return file;
}
