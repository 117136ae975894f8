// adif_reader.cpp: the tag scanner and the reading of the tagged form, a
// block at a time; what both forms share.

#include "adif/adif_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "adif/adx_reader.h"
#include "adif/block_input.h"
#include "adif/name_table.h"
#include "adif/record_builder.h"
#include "platform/text.h"

namespace {

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
  std::uint64_t length = 0;  // saturated at kLengthLimit
  std::size_t end = 0;       // just past ">", or where a bad tag stopped
};

// Lengths above this are all "past the end": no file is that large.
constexpr std::uint64_t kLengthLimit = std::uint64_t{1} << 48;

// Field names: printable ASCII except the bytes that delimit a tag, the
// blank and the characters ADIF keeps out of names.
constexpr bool IsNameByteSlow(unsigned char c) {
  return c > ' ' && c < 0x7F && c != '<' && c != '>' && c != ':' && c != ',' &&
         c != '{' && c != '}';
}

constexpr ByteClass<IsNameByteSlow> kNameBytes;

bool IsNameByte(unsigned char c) { return kNameBytes(c); }

// What may stand between tags: white space, and 0x1A, which ends many files
// written under DOS.
bool IsGapByte(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\x1A';
}

// Parses the tag that opens \a text (its "<"); \a text ends where the tag
// must have ended.
Tag ParseTag(std::string_view text) {
  Tag tag;
  const std::size_t n = text.size();
  std::size_t p = 1;
  while (p < n && IsNameByte(static_cast<unsigned char>(text[p]))) ++p;
  tag.name = text.substr(1, p - 1);
  if (tag.name.empty()) {
    tag.end = 1;
    return tag;
  }
  if (p < n && text[p] == '>') {
    tag.kind = TagKind::kBare;
    tag.end = p + 1;
    return tag;
  }
  if (p == n || text[p] != ':') {
    tag.kind = TagKind::kBad;
    tag.end = p;
    return tag;
  }
  // LEN[:TYPE] runs to ">"; a "<" or the end first means the tag was never
  // closed.
  std::size_t start = ++p;
  while (p < n && text[p] != '>' && text[p] != '<') ++p;
  if (p == n || text[p] == '<') {
    tag.kind = TagKind::kBad;
    tag.end = p;
    return tag;
  }
  tag.end = p + 1;
  std::string_view specifier = text.substr(start, p - start);
  std::size_t colon = specifier.find(':');
  tag.length_text = specifier.substr(0, colon);
  if (colon != std::string_view::npos) tag.type = specifier.substr(colon + 1);
  tag.kind = TagKind::kBadLength;
  if (tag.length_text.empty()) return tag;
  std::uint64_t length = 0;
  for (char c : tag.length_text) {
    if (!IsAsciiDigit(c)) return tag;
    if (length < kLengthLimit) length = length * 10 + (c - '0');
  }
  tag.length = std::min(length, kLengthLimit);
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

std::string UpperName(std::string_view name) {
  return EscapedToken(AsciiUpperText(name));
}

AdifSyntaxProblem Problem(AdifSyntax kind, std::string field) {
  AdifSyntaxProblem problem;
  problem.kind = kind;
  problem.field = std::move(field);
  return problem;
}

// Text between a field's data and the next tag. The standard lets a writer
// put comments there (LoTW writes "<STATE:2>MA // Massachusetts"), but text
// glued to the data, or holding a "<", most likely belongs to the value and
// the length was too short. Only its first bytes are kept.
class Gap {
 public:
  // Opens a gap after field \a index of the part being built, of declared
  // \a length. Nothing is copied unless the part is handed over first.
  void Open(std::size_t index, std::uint64_t length) {
    open_ = true;
    index_ = index;
    kept_whole_ = false;
    length_ = length;
    kept_.clear();
    taken_ = false;
    glued_ = false;
    holds_less_than_ = false;
    since_first_ = 0;
    trimmed_ = 0;
  }
  bool open() const { return open_; }
  // The part is handed over with the gap still open: keeps what it needs.
  void Keep(const AdifRecord& part) {
    if (!open_ || kept_whole_) return;
    const AdifField& field = part.fields[index_];
    name_.assign(field.name.data(), field.name.size());
    value_.assign(field.data.data(),
                  std::min<std::size_t>(field.data.size(), kKept));
    kept_whole_ = true;
  }
  void Take(std::string_view text) {
    if (text.empty()) return;
    if (!taken_) {
      taken_ = true;
      glued_ = !IsGapByte(text[0]);
    }
    std::size_t i = 0;
    if (since_first_ == 0) {
      while (i < text.size() && IsGapByte(text[i])) ++i;
    }
    for (; i < text.size(); ++i) {
      ++since_first_;
      if (!IsGapByte(text[i])) trimmed_ = since_first_;
      if (text[i] == '<') holds_less_than_ = true;
      if (kept_.size() < kKept) kept_ += text[i];
    }
  }
  // Closes the gap; adds its problem to \a builder when it held text that
  // is no comment.
  void Close(RecordBuilder* builder) {
    if (!open_) return;
    open_ = false;
    if (trimmed_ == 0 || !(glued_ || holds_less_than_)) return;
    std::string_view name = name_, value = value_;
    if (!kept_whole_) {
      name = builder->NameOf(index_);
      value = builder->DataOf(index_);
    }
    AdifSyntaxProblem problem =
        Problem(AdifSyntax::kTextAfterValue, UpperName(name));
    problem.number = length_;
    problem.text = EscapedToken(std::string_view(kept_).substr(
        0, static_cast<std::size_t>(
               std::min<std::uint64_t>(trimmed_, kept_.size()))));
    problem.value = EscapedToken(value);
    builder->AddProblem(std::move(problem));
  }

 private:
  static constexpr std::size_t kKept = 64;
  bool open_ = false;
  std::size_t index_ = 0;
  bool kept_whole_ = false;
  std::string name_;
  std::uint64_t length_ = 0;
  std::string value_;
  std::string kept_;
  bool taken_ = false;             // a byte was taken
  bool glued_ = false;             // the first byte taken is no blank
  bool holds_less_than_ = false;   // a "<" was taken
  std::uint64_t since_first_ = 0;  // bytes from the first that is no blank
  std::uint64_t trimmed_ = 0;      // ... to the last that is no blank
};

class TaggedReader : public AdifRecordReader {
 public:
  TaggedReader(InputFile* file, std::size_t block_size, bool fast)
      : in_(file, block_size, kAdifFastWindow), fast_(fast) {}

  // Reads from \a offset, just past the <EOR> of a record, as though the
  // records before had been read.
  TaggedReader(InputFile* file, std::uint64_t offset)
      : in_(file, kAdifBlockSize, kAdifFastWindow),
        pos_(offset),
        started_(true),
        delivered_(true),
        fast_(true) {
    in_.Restart(offset);
  }

  std::uint64_t position() const override { return pos_; }

  bool Next(AdifRecord* record) override {
    if (done_) return false;
    if (!started_) {
      started_ = true;
      ReadHeader();
    }
    if (fast_ && !builder_.open() && (delivered_ || has_header_) &&
        FastRecord(record))
      return true;
    ForgetTagsFrom(0);  // this part is not read the fast way
    builder_.Begin(record);
    for (;;) {
      if (builder_.Full()) {
        builder_.HandOver(/*complete=*/false, /*terminated=*/false);
        gap_.Keep(*record);
        delivered_ = true;
        only_app_ = false;  // a record is under way, whatever follows
        return true;
      }
      std::string_view view = in_.At(pos_);
      if (view.empty()) return Finish();
      // The next tag is mostly a blank or two away: no call for that.
      std::size_t lt = 0;
      while (lt < view.size() && lt < 4 && view[lt] != '<') ++lt;
      if (lt == view.size() || view[lt] != '<') lt = view.find('<', lt);
      if (gap_.open()) gap_.Take(view.substr(0, lt));
      if (lt == std::string_view::npos) {
        pos_ += view.size();
        continue;
      }
      const std::uint64_t at = pos_ + lt;
      std::string_view text = in_.At(at, kAdifTagLimit + 1);
      Tag tag = ParseTag(text.substr(0, kAdifTagLimit));
      pos_ = at + tag.end;
      if (tag.kind == TagKind::kText) {
        if (gap_.open()) gap_.Take("<");
        continue;
      }
      gap_.Close(&builder_);
      if (Take(at, tag, text.substr(0, tag.end))) return true;
    }
  }

 private:
  // A record that lies whole in the window and holds nothing a strict reader
  // would stumble on is handed over with its views in the window, nothing
  // copied. Any other is read the careful way from its start, with the same
  // outcome; so are the last records of a file, within a tag's reach of its
  // end.
  bool FastRecord(AdifRecord* record) {
    const std::string_view view = in_.At(pos_, kAdifFastWindow);
    // Past a tag's reach from the view's end, what lies beyond is not known.
    const std::size_t reach = in_.ReachesEnd(view) ? 0 : kAdifTagLimit + 1;
    if (view.size() <= reach) return false;
    // Every tag of the record starts before this.
    const std::size_t limit = view.size() - reach;
    // A known tag is compared in one piece from before this.
    const std::size_t compared =
        view.size() - std::min(view.size(), KnownTag::kRoom);
    const char* const s = view.data();
    const std::uint64_t base = pos_;  // the file offset of s[0]
    record->problems.clear();
    std::size_t count = 0;  // fields read
    // The fields kept from the record before, written over.
    AdifField* fields = record->fields.data();
    std::size_t room = record->fields.size();
    std::size_t p = 0;
    for (;;) {
      const KnownTag* known =
          count < kKnownPlaces ? &known_tags_[count] : nullptr;
      std::size_t lt, q, type_start, length;
      std::string_view name;
      bool leading_zeros = false;
      // The gap and the tag as those of this place in the last record, or
      // as one met lately (a record whose fields come in another order), or
      // either in another letter case.
      const KnownTag* whole =
          known && p <= compared ? Known(known, s + p) : nullptr;
      std::uint64_t spelling = 0;
      if (whole) {
        spelling = whole->spelling;
        if (whole->end) {  // the gap and the <EOR> that ended the last record
          p += whole->whole_size;
          break;
        }
        // Taken as the reading below would take it.
        lt = p + whole->gap_size;
        q = type_start = p + whole->whole_size - 1;  // its ">"
        length = whole->length;
        name = std::string_view(s + lt + 1, whole->name_size);
      } else {
        lt = p;
        while (lt < limit && s[lt] != '<') {
          if (count > 0 && !IsGapByte(s[lt])) return false;  // text left
          ++lt;
        }
        if (lt >= limit) return false;
        // <NAME:LENGTH[:TYPE]> or <EOR>, read in place; any other tag is
        // left to the careful way.
        const std::size_t tag_end = std::min(lt + kAdifTagLimit, view.size());
        const std::size_t name_size =
            known && tag_end - lt > KnownTag::kRoom + 1
                ? known->Name(s + lt + 1)
                : 0;
        const bool as_before = name_size != 0;
        q = lt + 1 + name_size;
        if (name_size == 0) {
          while (q < tag_end && IsNameByte(static_cast<unsigned char>(s[q])))
            ++q;
        }
        name = std::string_view(s + lt + 1, q - lt - 1);
        if (name.empty() || q >= tag_end) return false;
        if (s[q] == '>') {
          if (!SameName(name, "EOR")) return false;
          if (known) RememberEnd(count, s + p, q + 1 - p, s + view.size());
          p = q + 1;
          break;
        }
        if (s[q] != ':') return false;
        const std::size_t digits = ++q;
        const std::size_t digits_end = std::min(digits + 8, tag_end);
        length = 0;
        while (q < digits_end && IsAsciiDigit(s[q]))
          length = length * 10 + (s[q++] - '0');
        if (q == digits || q >= tag_end) return false;
        leading_zeros = q - digits > 1 && s[digits] == '0';
        type_start = q;
        if (s[q] == ':') {
          type_start = ++q;
          while (q < tag_end && s[q] != '>' && s[q] != '<') ++q;
        }
        if (q >= tag_end || s[q] != '>') return false;
        // A new name or gap at this place, or a tag to keep whole that was
        // not known (the name as before, with another length): kept, with
        // the whole tag when it has no type, its length no zeros in front,
        // its data is held whole and it fits.
        const std::size_t whole_size =
            type_start == q && !leading_zeros && length <= kAdifHeldData
                ? q + 1 - p
                : 0;
        if (known && (!as_before || lt - p != known->gap_size ||
                      (whole_size != 0 && whole_size <= KnownTag::kRoom))) {
          RememberTag(count, s + p, lt - p, name.size(), whole_size, length,
                      as_before ? known->spelling : numbers_.Of(name),
                      s + view.size());
          if (known->whole_size != 0 && p <= compared) Meet(s + p, *known);
        }
        spelling = known ? known->spelling : 0;
        // A tag known whole has neither: its data is held whole, and it is
        // among the first places.
        if (length > kAdifHeldData || count >= kAdifPartFields) return false;
      }
      const std::string_view type(s + type_start, q - type_start);
      p = q + 1;
      if (p + length > limit) return false;
      const std::string_view data(s + p, length);
      if (count == room) {
        record->fields.emplace_back();
        fields = record->fields.data();
        room = record->fields.size();
      }
      AdifField& field = fields[count++];
      field.spelling = spelling;
      field.length_leading_zeros = leading_zeros;
      field.name = name;
      field.type = type;
      field.data = data;
      field.length = field.declared_length = length;
      field.offset = base + lt;
      field.data_offset = base + p;
      field.bytes = AdifByteCounts();
      if (!PlainAscii(s + p, length, view.size() - p) &&
          CountBytes(data, 0, &field.bytes)) {
        for (std::size_t i = data.find('<'); i != std::string_view::npos;
             i = data.find('<', i + 1))
          if (IsMeantTag(ParseTag(view.substr(p + i, kAdifTagLimit))))
            return false;  // the length takes in a tag
      }
      p += length;
    }
    record->fields.resize(count);
    // No field of this record lay past its last: at most its end is known.
    ForgetTagsFrom(count + 1);
    pos_ += p;
    record->continued = false;
    record->complete = true;
    record->terminated = true;
    delivered_ = true;
    return true;
  }

  // Keeps the gap and the <EOR> of \a size bytes at \a at that ended a
  // record after \a index fields; no name is known at that place.
  void RememberEnd(std::size_t index, const char* at, std::size_t size,
                   const char* end) {
    known_places_ = std::max(known_places_, index + 1);
    KnownTag& known = known_tags_[index];
    known = KnownTag();
    if (size > KnownTag::kRoom) return;
    known.whole = KnownTag::Bytes(at, size, end);
    // Compared in small letters too, as every kept tag is: left at zero,
    // as many zero bytes would pass for the <EOR>.
    known.folded_low = FoldedWord(known.whole.low);
    known.folded_high = FoldedWord(known.whole.high);
    known.whole_size = size;
    known.end = true;
  }

  void ForgetTagsFrom(std::size_t index) {
    for (; index < known_places_; --known_places_)
      known_tags_[known_places_ - 1] = KnownTag();
  }

  // Keeps the name, of \a name_size bytes, of the tag at \a index whose gap
  // of \a gap_size bytes starts at \a at, with its \a spelling; and when
  // \a whole_size is not 0, the gap and the tag <NAME:LENGTH> together
  // (whole_size bytes from \a at) with its \a length; \a end ends what may
  // be read. What does not fit is forgotten.
  void RememberTag(std::size_t index, const char* at, std::size_t gap_size,
                   std::size_t name_size, std::size_t whole_size,
                   std::size_t length, std::uint64_t spelling,
                   const char* end) {
    known_places_ = std::max(known_places_, index + 1);
    KnownTag& known = known_tags_[index];
    known = KnownTag();
    if (name_size > KnownTag::kRoom) return;
    known.name = KnownTag::Bytes(at + gap_size + 1, name_size, end);
    known.name_size = name_size;
    known.gap_size = gap_size;
    known.spelling = spelling;
    if (whole_size == 0 || whole_size > KnownTag::kRoom) return;
    known.whole = KnownTag::Bytes(at, whole_size, end);
    known.folded_low = FoldedWord(known.whole.low);
    known.folded_high = FoldedWord(known.whole.high);
    known.whole_size = whole_size;
    known.length = length;
  }

  // Takes a tag other than text; true when a record was completed.
  bool Take(std::uint64_t at, const Tag& tag, std::string_view tag_text) {
    switch (tag.kind) {
      case TagKind::kBad: {
        AdifSyntaxProblem problem = Problem(AdifSyntax::kTagNotClosed, "-");
        problem.text = EscapedToken(tag_text);
        AddProblem(std::move(problem));
        return false;
      }
      case TagKind::kBadLength: {
        AdifSyntaxProblem problem =
            Problem(AdifSyntax::kLengthNotNumber, UpperName(tag.name));
        problem.length = EscapedToken(tag.length_text);
        AddProblem(std::move(problem));
        return false;
      }
      case TagKind::kBare:
        return Bare(tag, tag_text);
      case TagKind::kField:
        Field(at, tag);
        return false;
      case TagKind::kText:
        break;
    }
    return false;
  }

  // A problem of the record at hand.
  void AddProblem(AdifSyntaxProblem&& problem) {
    only_app_ = false;
    builder_.AddProblem(std::move(problem));
  }

  bool Bare(const Tag& tag, std::string_view tag_text) {
    if (SameName(tag.name, "EOR")) {
      builder_.HandOver(/*complete=*/true, /*terminated=*/true);
      delivered_ = true;
      only_app_ = true;
      return true;
    }
    // An application's mark out of a record, such as the <APP_LoTW_EOF>
    // that ends LoTW's files: no field, and no record.
    if (only_app_ && StartsWithIgnoringCase(tag.name, "APP_")) return false;
    if (SameName(tag.name, "EOH") && !delivered_ && !has_header_) {
      // Fields written before an <EOH> by a file that opens with a tag.
      has_header_ = true;
      std::vector<AdifSyntaxProblem> problems;
      builder_.MoveToHeader(&header_fields_, &problems);
      AddFileProblems(&problems);
      only_app_ = true;
      return false;
    }
    AdifSyntaxProblem problem =
        Problem(SameName(tag.name, "EOH") ? AdifSyntax::kEohOutOfPlace
                                          : AdifSyntax::kTagWithoutLength,
                "-");
    problem.text = EscapedToken(tag_text);
    AddProblem(std::move(problem));
    return false;
  }

  // Takes the field whose tag is at \a at: its data is held, measured and
  // looked through for a tag its length swallowed.
  void Field(std::uint64_t at, const Tag& tag) {
    const std::uint64_t start = at + tag.end;
    const std::uint64_t end = start + tag.length;
    // The tag's views go with the window: what is needed later is copied.
    builder_.StartField(
        tag.name, tag.type, at, start, tag.length,
        tag.length_text.size() > 1 && tag.length_text[0] == '0');
    if (!StartsWithIgnoringCase(tag.name, "APP_")) only_app_ = false;
    length_text_.assign(tag.length_text.data(), tag.length_text.size());
    std::string swallowed;  // the first tag inside the data, if any
    bool skip_first = false;
    std::uint64_t p = start;
    while (p < end) {
      std::string_view view = in_.At(p);
      if (view.empty()) break;
      std::string_view chunk =
          view.substr(0, static_cast<std::size_t>(
                             std::min<std::uint64_t>(view.size(), end - p)));
      std::size_t stop = chunk.size();
      if (swallowed.empty()) {
        std::size_t lt = chunk.find('<', skip_first ? 1 : 0);
        if (lt != std::string_view::npos) stop = lt;
      }
      builder_.AddData(chunk.substr(0, stop));
      p += stop;
      skip_first = false;
      if (stop < chunk.size()) {
        std::string_view text = in_.At(p, kAdifTagLimit + 1);
        Tag inner = ParseTag(text.substr(0, kAdifTagLimit));
        if (IsMeantTag(inner))
          swallowed = EscapedToken(text.substr(0, inner.end));
        skip_first = true;
      }
    }
    pos_ = p;
    if (p < end) {
      AdifSyntaxProblem problem =
          Problem(AdifSyntax::kLengthPastEnd, UpperName(builder_.FieldName()));
      problem.length = EscapedToken(length_text_);
      problem.number = p - start;
      builder_.EndField();
      AddProblem(std::move(problem));
    } else if (!swallowed.empty()) {
      AdifSyntaxProblem problem =
          Problem(AdifSyntax::kLengthTakesTag, UpperName(builder_.FieldName()));
      problem.length = EscapedToken(length_text_);
      problem.text = std::move(swallowed);
      problem.value = EscapedToken(builder_.FieldData());
      builder_.EndField();
      AddProblem(std::move(problem));
    } else {
      // After a length that is too long, the text left over is no news.
      gap_.Open(builder_.EndField(), tag.length);
    }
  }

  bool Finish() {
    done_ = true;
    if (in_.failed()) {
      failed_ = true;
      error_ = in_.error();
      return false;
    }
    gap_.Close(&builder_);
    // Application fields after the last <EOR> (LoTW's end mark) are no
    // record.
    if (!builder_.open() || (only_app_ && !builder_.HasProblems()))
      return false;
    builder_.AddProblem(Problem(AdifSyntax::kMissingEor, "-"));
    builder_.HandOver(/*complete=*/true, /*terminated=*/false);
    return true;
  }

  // A header runs from the start up to <EOH> when the file opens with text.
  // Header text is free, so malformed tags in it are no concern. Without an
  // <EOH>, strict readers take all of it for header; it is read again from
  // the start as records.
  void ReadHeader() {
    std::string_view first = in_.At(0);
    if (first.empty() || first[0] == '<') return;
    for (;;) {
      std::string_view view = in_.At(pos_);
      if (view.empty()) break;
      std::size_t lt = view.find('<');
      if (lt == std::string_view::npos) {
        pos_ += view.size();
        continue;
      }
      const std::uint64_t at = pos_ + lt;
      std::string_view text = in_.At(at, kAdifTagLimit + 1);
      Tag tag = ParseTag(text.substr(0, kAdifTagLimit));
      pos_ = at + tag.end;
      if (tag.kind == TagKind::kBare && SameName(tag.name, "EOH")) {
        has_header_ = true;
        return;
      }
      if (tag.kind != TagKind::kField) continue;
      AdifHeaderField field;
      field.name = std::string(tag.name);
      field.type = std::string(tag.type);
      std::string_view data =
          in_.At(pos_, static_cast<std::size_t>(
                           std::min<std::uint64_t>(tag.length, kAdifHeldData)));
      field.data = std::string(
          data.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(
                             tag.length, kAdifHeldData))));
      if (header_fields_.size() < kAdifPartFields)
        header_fields_.push_back(std::move(field));
      pos_ += tag.length;
    }
    if (in_.failed()) return;  // Next() ends at once with the error
    header_fields_.clear();
    AddFileProblem(Problem(AdifSyntax::kMissingEoh, "-"));
    pos_ = 0;
    in_.Restart(0);
  }

  // What is kept of a tag of the last record: its name, and unless it has a
  // type or its data is long, all of it with the gap before it; each as up
  // to sixteen bytes (two words, and masks for the bytes that count).
  struct KnownTag {
    static constexpr std::size_t kRoom = 16;
    struct Bytes {
      std::uint64_t low = 0, high = 0;
      std::uint64_t low_mask = 0, high_mask = 0;
      Bytes() = default;
      // The \a size bytes at \a at, where \a end ends what may be read.
      Bytes(const char* at, std::size_t size, const char* end) {
        if (end - at >= static_cast<std::ptrdiff_t>(kRoom)) {
          // Two words read at once: the masks keep what counts.
          std::memcpy(&low, at, 8);
          std::memcpy(&high, at + 8, 8);
        } else {
          char bytes[kRoom] = {};
          std::memcpy(bytes, at, size);
          std::memcpy(&low, bytes, 8);
          std::memcpy(&high, bytes + 8, 8);
        }
        low_mask = LowMask(size);
        high_mask = HighMask(size);
      }
      // True when the sixteen bytes at \a at begin with these.
      bool At(const char* at) const {
        std::uint64_t a, b;
        std::memcpy(&a, at, 8);
        std::memcpy(&b, at + 8, 8);
        return ((a ^ low) & low_mask) == 0 && ((b ^ high) & high_mask) == 0;
      }
    };
    // The masks of the first \a size bytes of two words.
    static std::uint64_t LowMask(std::size_t size) {
      return size >= 8 ? ~std::uint64_t{0}
                       : (std::uint64_t{1} << (8 * size)) - 1;
    }
    static std::uint64_t HighMask(std::size_t size) {
      return size > 8 ? LowMask(size - 8) : 0;
    }
    Bytes name, whole;
    std::uint64_t folded_low = 0, folded_high = 0;  // whole, in small letters
    std::uint64_t spelling = 0;  // the number given to the name
    std::size_t name_size = 0;   // 0: nothing known
    std::size_t whole_size = 0;  // of the gap and the tag; 0: not known
    std::size_t gap_size = 0;    // of the gap before the tag
    std::size_t length = 0;
    bool end = false;  // the tag is the <EOR> of the record

    // True when the gap and the tag at \a at, where sixteen bytes can be
    // read, are those known whole.
    bool Whole(const char* at) const { return whole_size != 0 && whole.At(at); }
    // The same for the sixteen bytes \a low and \a high in small letters:
    // in any letter case.
    bool WholeFolded(std::uint64_t low, std::uint64_t high) const {
      return whole_size != 0 && ((low ^ folded_low) & whole.low_mask) == 0 &&
             ((high ^ folded_high) & whole.high_mask) == 0;
    }
    // The size of the name at \a at (seventeen bytes can be read) when it
    // is the known one, or 0.
    std::size_t Name(const char* at) const {
      if (name_size == 0 || !name.At(at)) return 0;
      // The byte after the name ends it, as it did there.
      return at[name_size] == ':' || at[name_size] == '>' ? name_size : 0;
    }
  };

  static std::uint64_t Load(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
  }

  // The tag known at this place, \a known, or met lately, that the gap and
  // the tag at \a at (sixteen bytes can be read) are, or nullptr. Where the
  // next field starts hangs on this: the tags met are found by their first
  // bytes as they are, and only when none is spelled so, in small letters.
  const KnownTag* Known(const KnownTag* known, const char* at) const {
    if (known->Whole(at)) return known;
    const std::uint64_t low = Load(at), high = Load(at + 8);
    const KnownTag* met = &met_tags_[MetPair(low)];
    if (met[0].Whole(at)) return &met[0];
    if (met[1].Whole(at)) return &met[1];
    const std::uint64_t folded_low = FoldedWord(low);
    const std::uint64_t folded_high = FoldedWord(high);
    if (known->WholeFolded(folded_low, folded_high)) return known;
    met = &met_folded_[MetPair(folded_low)];
    if (met[0].WholeFolded(folded_low, folded_high)) return &met[0];
    if (met[1].WholeFolded(folded_low, folded_high)) return &met[1];
    return nullptr;
  }

  // Where the pair of tags met lately whose first eight bytes are \a word
  // is kept.
  static std::size_t MetPair(std::uint64_t word) {
    return 2 * ((word * 0x9E3779B97F4A7C15ULL) >> (64 - kMetBits));
  }

  // Keeps \a tag, whose gap starts at \a at, among those met, before the
  // one met before it in its place, as it is spelled and in small letters.
  void Meet(const char* at, const KnownTag& tag) {
    KnownTag* met = &met_tags_[MetPair(Load(at))];
    met[1] = met[0];
    met[0] = tag;
    met = &met_folded_[MetPair(tag.folded_low)];
    met[1] = met[0];
    met[0] = tag;
  }

  BlockInput in_;
  // By place in the record: the tags of the last record handed over, in
  // its first known_places_ places.
  static constexpr std::size_t kKnownPlaces = 64;
  static constexpr std::size_t kNumberedNames = 4096;
  KnownTag known_tags_[kKnownPlaces];
  // Whole tags met lately at any place, two by two, as they were spelled
  // and in small letters. Room for some hundreds, so that few share a
  // pair: three that do put each other out, and each is then read the long
  // way (a file whose fields come in another order each time meets every
  // tag after a line end as well as after a blank).
  static constexpr int kMetBits = 9;
  KnownTag met_tags_[std::size_t{2} << kMetBits];
  KnownTag met_folded_[std::size_t{2} << kMetBits];
  std::size_t known_places_ = 0;
  NameNumbers numbers_{kNumberedNames};  // of the names of known tags
  RecordBuilder builder_;
  std::string length_text_;  // of the field being read
  Gap gap_;
  std::uint64_t pos_ = 0;
  bool started_ = false;
  bool done_ = false;
  bool delivered_ = false;  // a record, or a part of one, was handed over
  // Since the last <EOR>: no field but application fields, and no problem.
  bool only_app_ = true;
  const bool fast_;
};

}  // namespace

bool SameName(std::string_view name, std::string_view upper) {
  if (name.size() != upper.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i)
    if (AsciiUpper(name[i]) != upper[i]) return false;
  return true;
}

AdifFileProblems AdifRecordReader::TakeFileProblems() {
  AdifFileProblems problems;
  std::swap(problems, file_problems_);
  has_more_file_problems_ = false;
  return problems;
}

void AdifRecordReader::AddFileProblem(AdifSyntaxProblem problem) {
  const int kind = static_cast<int>(problem.kind);
  const std::size_t which =
      problem.kind == AdifSyntax::kXml
          ? kAdifSyntaxKinds + static_cast<std::size_t>(std::min<std::uint64_t>(
                                   problem.number, kAdifXmlProblems - 1))
          : static_cast<std::size_t>(kind);
  if (found_[which]++ < kAdifKeptFileProblems) {
    file_problems_.kept.push_back(std::move(problem));
  } else {
    ++file_problems_.more[kind];
    has_more_file_problems_ = true;
  }
}

void AdifRecordReader::AddFileProblems(
    std::vector<AdifSyntaxProblem>* problems) {
  for (AdifSyntaxProblem& problem : *problems)
    AddFileProblem(std::move(problem));
  problems->clear();
}

AdifForm DetectAdifForm(InputFile* file) {
  BlockInput in(file, 1 << 16, 8);
  std::uint64_t at = 0;
  if (in.At(0, 3).substr(0, 3) == "\xEF\xBB\xBF") at = 3;
  for (;;) {
    std::string_view view = in.At(at);
    std::size_t blanks = 0;
    while (blanks < view.size() && IsGapByte(view[blanks])) ++blanks;
    at += blanks;
    if (blanks < view.size() || view.empty()) break;
  }
  std::string_view start = in.At(at, 5).substr(0, 5);
  file->Seek(0);
  auto opens_with = [&start](std::string_view upper) {
    return start.size() >= upper.size() &&
           SameName(start.substr(0, upper.size()), upper);
  };
  // "<ADX", not the tag of a field whose name starts so.
  const bool adx =
      opens_with("<ADX") &&
      (start.size() == 4 || !IsNameByte(static_cast<unsigned char>(start[4])));
  return opens_with("<?") || opens_with("<!") || adx ? AdifForm::kXml
                                                     : AdifForm::kTagged;
}

AdifForm DetectAdifForm(std::string_view bytes) {
  MemoryInputFile input(bytes);
  return DetectAdifForm(&input);
}

std::unique_ptr<AdifRecordReader> MakeAdifReader(InputFile* file, AdifForm form,
                                                 std::size_t block_size,
                                                 bool fast) {
  if (form == AdifForm::kXml) return MakeAdxReader(file, block_size, fast);
  return std::make_unique<TaggedReader>(file, block_size, fast);
}

std::unique_ptr<AdifRecordReader> MakeAdifReaderAfterRecord(
    InputFile* file, std::uint64_t offset, AdifForm form) {
  if (form == AdifForm::kXml) return MakeAdxReaderAfterRecord(file, offset);
  return std::make_unique<TaggedReader>(file, offset);
}

std::size_t MemoryInputFile::Read(char* buffer, std::size_t size) {
  std::size_t n = std::min(size, bytes_.size() - position_);
  if (n > 0) std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

bool MemoryInputFile::Seek(std::uint64_t offset) {
  position_ =
      static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
  return true;
}

AdifFile ReadAdif(std::string_view bytes, std::size_t block_size, bool fast) {
  MemoryInputFile input(bytes);
  AdifForm form = DetectAdifForm(bytes);
  std::unique_ptr<AdifRecordReader> reader =
      MakeAdifReader(&input, form, block_size, fast);
  AdifFile file;
  AdifRecord part;
  bool first = true;
  auto take_file_problems = [&] {
    AdifFileProblems problems = reader->TakeFileProblems();
    for (AdifSyntaxProblem& problem : problems.kept)
      file.file_problems.push_back(std::move(problem));
    for (std::uint64_t more : problems.more) file.more_file_problems += more;
  };
  while (reader->Next(&part)) {
    if (first) {
      file.has_header = reader->has_header();
      file.header_fields = reader->header_fields();
      first = false;
    }
    take_file_problems();
    if (!part.continued) file.records.emplace_back();
    AdifFile::Record& record = file.records.back();
    for (const AdifField& field : part.fields) {
      AdifFile::Field whole;
      whole.name = std::string(field.name);
      whole.type = std::string(field.type);
      // The tagged form's data lies in the bytes as it is.
      whole.data = form == AdifForm::kTagged
                       ? std::string(bytes.substr(
                             static_cast<std::size_t>(field.data_offset),
                             static_cast<std::size_t>(field.length)))
                       : std::string(field.data);
      whole.declared_length = field.declared_length;
      whole.offset = field.offset;
      record.fields.push_back(std::move(whole));
    }
    for (AdifSyntaxProblem& problem : part.problems)
      record.problems.push_back(std::move(problem));
    record.terminated = part.terminated;
  }
  if (first) {
    file.has_header = reader->has_header();
    file.header_fields = reader->header_fields();
  }
  take_file_problems();
  return file;
}
