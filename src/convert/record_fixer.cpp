// record_fixer.cpp: the record fixer's set-up, its slow path, the fields
// it adds and its summary.

#include "convert/record_fixer.h"
#include "convert/record_fixer_inline.h"

#include <algorithm>
#include <cstring>

#include "dbf/code_page.h"
#include "platform/text.h"
#include "standard/modes.h"

namespace {

// Forms of a value counted apart per column.
constexpr std::size_t kMostKinds = 12;
// Mended values remembered per column: 2^kFewBits for columns of few
// different values (bands, modes, flags), 2^kManyBits for times and dates
// (2 MB each, for kMostManyCaches columns at most).
constexpr int kFewBits = 8;
constexpr int kManyBits = 14;
constexpr int kMostManyCaches = 4;
constexpr std::size_t kExampleBytes = 32;

// An example of a column in code page \a code_page as the summary shows
// it: cut, line breaks spelled out, in quotes when blanks stand at either
// end, its letters as messages show them.
std::string Shown(std::string_view value, int code_page) {
  std::string shown;
  for (char c : value.substr(0, kExampleBytes)) {
    if (c == '\r')
      shown += "\\r";
    else if (c == '\n')
      shown += "\\n";
    else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      shown += '?';
    else
      shown += c;
  }
  if (value.size() > kExampleBytes) shown += "...";
  if (!shown.empty() && (shown.front() == ' ' || shown.back() == ' '))
    shown = "\"" + shown + "\"";
  return ShownName(shown, code_page);
}

std::string Values(std::uint64_t count, Language language) {
  return std::to_string(count) +
         (count == 1 ? Choose(language, " valor ", " value ")
                     : Choose(language, " valores ", " values "));
}

}  // namespace

RecordFixer::RecordFixer(const ColumnPlan& plan, std::vector<ColumnFix> fixes,
                         std::vector<ConstantField> constants)
    : fixes_(std::move(fixes)) {
  const std::size_t count = plan.columns.size();
  work_.resize(count);
  kept_.resize(count);
  offsets_.resize(count);
  sizes_.resize(count);
  std::size_t offset = 1;
  for (std::size_t c = 0; c < count; ++c) {
    offsets_[c] = offset;
    sizes_[c] = plan.columns[c].size;
    offset += sizes_[c];
  }
  if (fixes_.size() != count) fixes_.clear();
  auto first = [&plan](const char* keyword) {
    for (std::size_t c = 0; c < plan.columns.size(); ++c)
      if (!plan.columns[c].skipped && plan.columns[c].keyword == keyword)
        return static_cast<int>(c);
    return -1;
  };
  if (MendsValues()) {
    int many_caches = 0;
    for (std::size_t c = 0; c < count; ++c) {
      if (plan.columns[c].skipped) continue;
      const ColumnFix& fix = fixes_[c];
      ColumnWork& work = work_[c];
      if (fix.rule == FixRule::kText && !fix.memo && !fix.time_colons) {
        work.path = ColumnWork::kQuick;
      } else if (!fix.memo &&
                 (fix.rule == FixRule::kBand || fix.rule == FixRule::kMode ||
                  fix.rule == FixRule::kQsl ||
                  fix.rule == FixRule::kFrequency ||
                  fix.rule == FixRule::kNumber ||
                  fix.rule == FixRule::kReport)) {
        work.path = ColumnWork::kCached;
        work.cache_bits = kFewBits;
      } else if (!fix.memo &&
                 (fix.rule == FixRule::kTime || fix.rule == FixRule::kDate)) {
        // A day has 1440 minutes; a log a few thousand days. Past a few
        // such columns, the rest remember less, so that a table of a
        // thousand date columns takes no more memory than a few.
        work.path = fix.rule == FixRule::kTime ? ColumnWork::kTime
                                               : ColumnWork::kCached;
        work.cache_bits =
            ++many_caches <= kMostManyCaches ? kManyBits : kFewBits;
      } else if (!fix.memo && fix.rule == FixRule::kCall) {
        work.path = ColumnWork::kCall;
      } else {
        work.path = ColumnWork::kSlow;
      }
      if (work.cache_bits)
        work.cache.resize((std::size_t{1} << work.cache_bits) + 1);
      if (plan.columns[c].keyword == "CALL")
        call_columns_.push_back(static_cast<int>(c));
    }
    // FREQ is settled by BAND, FREQ_RX by BAND_RX.
    for (std::size_t c = 0; c < count; ++c) {
      if (plan.columns[c].skipped) continue;
      if (plan.columns[c].keyword == "FREQ")
        work_[c].band_column = first("BAND");
      if (plan.columns[c].keyword == "FREQ_RX")
        work_[c].band_column = first("BAND_RX");
    }
    frequency_column_ = first("FREQ");
    mode_column_ = first("MODE");
    if (frequency_column_ >= 0) work_[frequency_column_].notes_record = true;
    if (mode_column_ >= 0) work_[mode_column_].notes_record = true;
    band_column_ = first("BAND");
    if (frequency_column_ >= 0) {
      band_addition_ = static_cast<int>(additions_.size());
      additions_.push_back({"BAND", ""});
    }
    if (band_column_ >= 0) {
      frequency_addition_ = static_cast<int>(additions_.size());
      additions_.push_back({"FREQ", ""});
    }
  }
  // SUBMODE comes from a MODE column, or else from a MODE given by --set
  // (then after it).
  if (MendsValues() && mode_column_ >= 0) {
    submode_addition_ = static_cast<int>(additions_.size());
    additions_.push_back({"SUBMODE", ""});
  }
  for (ConstantField& constant : constants) {
    auto same = std::find_if(additions_.begin(), additions_.end(),
                             [&constant](const Addition& a) {
                               return a.keyword == constant.keyword;
                             });
    if (same == additions_.end()) {
      additions_.push_back({constant.keyword, ""});
      same = additions_.end() - 1;
    }
    same->constant = std::move(constant.value);
    same->constant_submode = std::move(constant.submode);
    if (same->keyword == "MODE")
      mode_addition_ = static_cast<int>(same - additions_.begin());
  }
  if (mode_addition_ >= 0 && submode_addition_ < 0) {
    auto same =
        std::find_if(additions_.begin(), additions_.end(),
                     [](const Addition& a) { return a.keyword == "SUBMODE"; });
    submode_addition_ = static_cast<int>(same - additions_.begin());
    if (same == additions_.end()) additions_.push_back({"SUBMODE", ""});
  }
  for (std::size_t c = 0; c < count; ++c) {
    if (plan.columns[c].skipped) continue;
    for (std::size_t a = 0; a < additions_.size(); ++a)
      if (additions_[a].keyword == plan.columns[c].keyword)
        work_[c].addition = static_cast<int>(a);
  }
  for (const Addition& addition : additions_)
    longest_additions_ += addition.keyword.size() + 12 +
                          std::max<std::size_t>(addition.constant.size(), 64);
  // A band column's frequency is written with its point moved.
  if (frequency_addition_ >= 0) longest_additions_ += sizes_[band_column_] + 8;
  written_.assign(additions_.size(), 0);
  added_fields_.resize(additions_.size() * kAddedSlots);
  counts_.resize(count);
  last_kind_.assign(count, -1);
}

// Values seen before are looked up here; every other path and every value
// not remembered go to FixOtherwise.
RecordFixer::Span RecordFixer::Fix(std::size_t column, Span span) {
  ColumnWork& work = work_[column];
  CacheKey key;
  Cached* entry;
  if (work.path != ColumnWork::kCached || !record_written_ ||
      !KeyOf(work, span.value, span.length, span.padded, &key) ||
      (!Holds(*(entry = SlotOf(work, key)), key) && !Holds(*++entry, key)))
    return FixOtherwise(column, span);
  ++entry->hits;
  entry->last_use = static_cast<std::uint32_t>(record_number_);
  if (!entry->unchanged) span = Span{entry->text, entry->text_size, true};
  if (work.notes_record) NoteRecord(column, *entry, span);
  if (work.addition >= 0 && span.length != 0)
    written_[work.addition] = record_number_;
  return span;
}

RecordFixer::Span RecordFixer::FixOtherwise(std::size_t column, Span span) {
  ColumnWork& work = work_[column];
  // Call signs with nothing to mend and times HH:MM, once counted, need no
  // more than a look.
  if (record_written_ && work.addition < 0) {
    if (work.path == ColumnWork::kCall &&
        IsPlainCall(std::string_view(span.value, span.length)))
      return span;
    if (work.path == ColumnWork::kTime && work.hhmm_kind >= 0 &&
        ReadHhColonMm(std::string_view(span.value, span.length), time_text_)) {
      ++work.hhmm_hits;
      return Span{time_text_, 4, true};
    }
  }
  return FixOnPath(column, span);
}

RecordFixer::Span RecordFixer::FixOnPath(std::size_t column, Span span) {
  const char* value = span.value;
  std::size_t length = span.length;
  bool padded = span.padded;
  const ColumnWork& work = work_[column];
  // A record left out is not mended.
  const ColumnWork::Path path = record_written_ ? work.path : ColumnWork::kNone;
  if (path == ColumnWork::kQuick) {
    if (*value == ' ' && !FixBlanksInFront(column, &value, &length))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kCached) {
    FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kTime) {
    if (!FixHhMm(column, &value, &length, &padded) &&
        !FixFromCache(column, &value, &length, &padded))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kCall) {
    if (!IsPlainCall(std::string_view(value, length)))
      FixSlowly(column, &value, &length, &padded);
  } else if (path == ColumnWork::kSlow || path == ColumnWork::kKept) {
    FixSlowly(column, &value, &length, &padded);
  }
  if (work.addition >= 0 && length != 0)
    written_[work.addition] = record_number_;
  return Span{value, static_cast<std::uint32_t>(length), padded};
}

void RecordFixer::KeepFields() {
  kept_.assign(work_.size(), KeptColumn());
  far_kept_.clear();
  for (std::size_t c = 0; c < work_.size(); ++c) {
    ColumnWork& work = work_[c];
    if (work.path != ColumnWork::kCached && work.path != ColumnWork::kTime)
      continue;
    // The key holds the column's bytes and the band column's.
    const std::size_t size = sizes_[c];
    const std::size_t band_size =
        work.band_column >= 0 ? sizes_[work.band_column] : 0;
    if (size > 16 || band_size > 8) continue;
    work.path = ColumnWork::kKept;
    KeptColumn& kept = kept_[c];
    kept.column = c;
    kept.mask[0] = FirstBytesMask(size);
    kept.mask[1] = size > 8 ? FirstBytesMask(size - 8) : 0;
    kept.mask[2] = FirstBytesMask(band_size);
    kept.band_offset = work.band_column >= 0 ? offsets_[work.band_column] : 0;
    kept.sizes = static_cast<std::uint16_t>(size | band_size << 8);
    kept.cache = work.cache.data();
    kept.shift = 65 - work.cache_bits;
    kept.addition = work.addition;
    kept.notes_record = work.notes_record;
    if (work.cache_bits > kFewBits) far_kept_.push_back(c);
  }
}

void RecordFixer::KeepField(const KeptColumn& kept, const char* bytes,
                            const char* field, const char* end) {
  const std::size_t column = kept.column;
  const bool mended = mended_column_ == static_cast<int>(column) &&
                      mended_record_ == record_number_;
  mended_column_ = -1;
  // A value kept is one mended here, or one that gave no field without
  // being mended (blanks).
  if (!record_written_ || (mended && !mended_keepable_) ||
      (!mended && end != field) ||
      end - field > static_cast<std::ptrdiff_t>(sizeof(Cached::text)))
    return;
  CacheKey key;
  KeptKey(kept, bytes, record_, &key);
  Cached& entry =
      MakeRoom(SlotIn(kept.cache, kept.shift, key), key, &counts_[column]);
  entry.count = mended ? mended_count_ : -1;
  entry.submode = mended ? mended_submode_ : nullptr;
  entry.band = mended ? mended_band_ : nullptr;
  entry.text_size = static_cast<std::uint8_t>(end - field);
  std::memcpy(entry.text, field, entry.text_size);
  const void* tag_end = std::memchr(field, '>', entry.text_size);
  entry.value_start = static_cast<std::uint8_t>(
      tag_end ? static_cast<const char*>(tag_end) - field + 1 : 0);
}

RecordFixer::Cached& RecordFixer::MakeRoom(Cached* slot, const CacheKey& key,
                                           ColumnCounts* counts) {
  // The entry of the slot read least lately makes room; what it counted
  // joins its kind.
  Cached& entry = slot[0].last_use <= slot[1].last_use ? slot[0] : slot[1];
  AddHits(counts, entry.count, entry.hits);
  entry.hits = 0;
  entry.last_use = static_cast<std::uint32_t>(record_number_);
  std::memcpy(entry.key, key.words, sizeof entry.key);
  entry.sizes = key.sizes;
  return entry;
}

bool RecordFixer::FixFromCache(std::size_t column, const char** value,
                               std::size_t* length, bool* padded) {
  ColumnWork& work = work_[column];
  CacheKey key;
  if (!KeyOf(work, *value, *length, *padded, &key)) return false;
  Cached* entry = SlotOf(work, key);
  if (!Holds(*entry, key) && !Holds(*++entry, key)) return false;
  ++entry->hits;
  entry->last_use = static_cast<std::uint32_t>(record_number_);
  if (!entry->unchanged) {
    *value = entry->text;
    *length = entry->text_size;
  }
  if (work.notes_record)
    NoteRecord(column, *entry,
               Span{*value, static_cast<std::uint32_t>(*length), *padded});
  return true;
}

void RecordFixer::FixSlowly(std::size_t column, const char** value,
                            std::size_t* length, bool* padded) {
  const std::string_view raw(*value, *length);
  const ColumnFix& fix = fixes_[column];
  RecordBand band;
  RecordBand* band_source = nullptr;
  const int band_column = work_[column].band_column;
  if (band_column >= 0) {
    band.value =
        std::string_view(record_ + offsets_[band_column], sizes_[band_column]);
    band_source = &band;
  }
  const std::string_view result = FixValue(fix, raw, band_source, &fixed_);
  std::int32_t count = -1;
  // The blanks in front are what an example of their removal shows.
  if (fixed_.outcome != FixOutcome::kUnchanged)
    count = Count(
        column,
        fixed_.outcome == FixOutcome::kFixed && fixed_.kind == FixKind::kBlanks
            ? raw
            : TrimSpaces(raw),
        fixed_.outcome, fixed_.kind, fixed_.shape, result);
  if (static_cast<int>(column) == frequency_column_) {
    record_band_ = fixed_.band;
    if (!band_counted_) NoteFrequency(result);
  }
  if (static_cast<int>(column) == mode_column_)
    record_submode_ = fixed_.submode;
  if (static_cast<int>(column) == band_column_ && !fixed_.frequency.empty())
    record_band_frequency_ = fixed_.frequency;
  ColumnWork& work = work_[column];
  if (work.path == ColumnWork::kKept) {
    // Remembered whole by KeepField once the engine has written it.
    mended_column_ = static_cast<int>(column);
    mended_record_ = record_number_;
    mended_count_ = static_cast<std::int8_t>(count);
    mended_keepable_ = fixed_.frequency.empty();
    mended_submode_ = fixed_.submode;
    mended_band_ = fixed_.band;
  }
  // Once HH:MM has been counted, it is read at once (FixHhMm).
  static const std::uint64_t kHhMm = ValueShape("00:00");
  if (work.path == ColumnWork::kQuick && fixed_.kind == FixKind::kBlanks &&
      fixed_.outcome == FixOutcome::kFixed)
    work.blanks_kind = count;
  if (work.path == ColumnWork::kTime && fixed_.kind == FixKind::kTimeForm &&
      fixed_.outcome == FixOutcome::kFixed && fixed_.shape == kHhMm &&
      !fix.numeric)
    work.hhmm_kind = count;
  CacheKey key;
  if (work.cache_bits != 0 && work.path != ColumnWork::kKept &&
      fixed_.frequency.empty() && result.size() <= sizeof(Cached::text) &&
      KeyOf(work, raw.data(), raw.size(), *padded, &key)) {
    Cached& entry = MakeRoom(SlotOf(work, key), key, &counts_[column]);
    entry.unchanged = fixed_.outcome == FixOutcome::kUnchanged;
    entry.count = static_cast<std::int8_t>(count);
    entry.submode = fixed_.submode;
    entry.band = fixed_.band;
    entry.text_size = static_cast<std::uint8_t>(result.size());
    std::memcpy(entry.text, result.data(), result.size());
    if (!entry.unchanged) {
      *value = entry.text;
      *length = entry.text_size;
      return;  // still padded: the entry's text has room
    }
  }
  if (result.data() != raw.data()) *padded = false;
  *value = result.data();
  *length = result.size();
}

int RecordFixer::KindIndex(std::size_t column, FixKind kind,
                           std::uint64_t shape) {
  std::vector<KindCount>& kinds = counts_[column].kinds;
  int last = last_kind_[column];
  if (last >= 0 && kinds[last].kind == kind && kinds[last].shape == shape)
    return last;
  auto same = std::find_if(kinds.begin(), kinds.end(),
                           [kind, shape](const KindCount& k) {
                             return k.kind == kind && k.shape == shape;
                           });
  // Past the most forms counted apart, a form joins the first of its kind.
  if (same == kinds.end() && kinds.size() >= kMostKinds)
    same = std::find_if(kinds.begin(), kinds.end(),
                        [kind](const KindCount& k) { return k.kind == kind; });
  if (same == kinds.end()) {
    kinds.push_back({kind, shape});
    same = kinds.end() - 1;
  }
  last_kind_[column] = static_cast<int>(same - kinds.begin());
  return last_kind_[column];
}

void RecordFixer::AddHits(ColumnCounts* counts, std::int32_t kind,
                          std::uint64_t hits) const {
  if (kind >= 0)
    counts->kinds[kind].count += hits;
  else if (kind == kNotRead)
    counts->unreadable += hits;
}

std::int32_t RecordFixer::Count(std::size_t column, std::string_view from,
                                FixOutcome outcome, FixKind kind,
                                std::uint64_t shape, std::string_view to) {
  ColumnCounts& counts = counts_[column];
  if (outcome == FixOutcome::kUnreadable) {
    ++counts.unreadable;
    if (counts.unreadable_example.empty())
      counts.unreadable_example =
          std::string(from.substr(0, 4 * kExampleBytes));
    return kNotRead;
  }
  const int index = KindIndex(column, kind, shape);
  KindCount& counted = counts.kinds[index];
  ++counted.count;
  if (counted.from.empty()) {
    counted.from = std::string(from.substr(0, 4 * kExampleBytes));
    counted.to = std::string(to.substr(0, 4 * kExampleBytes));
  }
  return index;
}

char* RecordFixer::PutField(char* out, const std::string& keyword,
                            std::string_view value) {
  *out++ = '<';
  std::memcpy(out, keyword.data(), keyword.size());
  out += keyword.size();
  *out++ = ':';
  char digits[24];
  char* first = digits + sizeof digits;
  std::size_t size = value.size();
  do {
    *--first = static_cast<char>('0' + size % 10);
    size /= 10;
  } while (size);
  std::memcpy(out, first, digits + sizeof digits - first);
  out += digits + sizeof digits - first;
  *out++ = '>';
  std::memcpy(out, value.data(), value.size());
  out += value.size();
  *out++ = ' ';
  return out;
}

char* RecordFixer::PutStandardField(char* out, std::size_t addition,
                                    const char* value) {
  // A few such values make up the most of a log's: each slot keeps one.
  AddedField& added =
      added_fields_[addition * kAddedSlots +
                    (reinterpret_cast<std::uintptr_t>(value) >> 3) %
                        kAddedSlots];
  if (added.value != value) {
    const std::string& keyword = additions_[addition].keyword;
    const std::string_view text(value);
    if (keyword.size() + text.size() + 24 > sizeof added.text)
      return PutField(out, keyword, text);
    added.value = value;
    added.size = static_cast<std::size_t>(PutField(added.text, keyword, text) -
                                          added.text);
  }
  std::memcpy(out, added.text, sizeof added.text);
  return out + added.size;
}

char* RecordFixer::PutMissingFields(char* out, std::size_t first) {
  // A constant of --set wins over a field derived from another column;
  // only a column of the field itself (written_) wins over it.
  const bool mode_from_constant =
      mode_addition_ >= 0 && written_[mode_addition_] != record_number_;
  for (std::size_t a = first; a < additions_.size(); ++a) {
    if (written_[a] == record_number_) continue;
    const Addition& addition = additions_[a];
    const int index = static_cast<int>(a);
    if (!addition.constant.empty()) {
      out = PutField(out, addition.keyword, addition.constant);
      written_[a] = record_number_;
    } else if (index == band_addition_ && record_band_) {
      out = PutStandardField(out, a, record_band_->name);
      Count(static_cast<std::size_t>(frequency_column_),
            std::string_view(record_frequency_, record_frequency_size_),
            FixOutcome::kFixed, FixKind::kBandAdded, 0, record_band_->name);
      band_counted_ = true;
    } else if (index == frequency_addition_ &&
               !record_band_frequency_.empty()) {
      out = PutField(out, addition.keyword, record_band_frequency_);
      Count(static_cast<std::size_t>(band_column_), record_band_frequency_,
            FixOutcome::kFixed, FixKind::kFrequencyAdded, 0,
            record_band_frequency_);
    } else if (index == submode_addition_) {
      // The submode of the record's MODE: of its column, or of --set.
      if (mode_from_constant &&
          !additions_[mode_addition_].constant_submode.empty())
        out = PutField(out, addition.keyword,
                       additions_[mode_addition_].constant_submode);
      else if (record_submode_)
        out = PutStandardField(out, a, record_submode_);
    }
  }
  return out;
}

void RecordFixer::NoteFrequency(std::string_view frequency) {
  record_frequency_size_ = std::min(frequency.size(), sizeof record_frequency_);
  std::memcpy(record_frequency_, frequency.data(), record_frequency_size_);
}

std::vector<std::string> RecordFixer::Summary(
    const std::vector<std::string>& column_names, Language language) const {
  std::vector<std::string> lines;
  const std::string example = Choose(language, ", p. ej. ", ", e.g. ");
  for (std::size_t c = 0; c < counts_.size(); ++c) {
    // The counts, with those the caches still hold.
    ColumnCounts counts = counts_[c];
    for (const Cached& entry : work_[c].cache)
      AddHits(&counts, entry.count, entry.hits);
    AddHits(&counts, work_[c].hhmm_kind, work_[c].hhmm_hits);
    AddHits(&counts, work_[c].blanks_kind, work_[c].blanks_hits);
    std::string line;
    for (const KindCount& kind : counts.kinds) {
      if (kind.count == 0) continue;
      std::string what;
      const int code_page = fixes_[c].code_page;
      std::string from = Shown(kind.from, code_page);
      std::string to = Shown(kind.to, code_page);
      switch (kind.kind) {
        case FixKind::kBlanks:
          what = Choose(language, "sin los blancos de delante",
                        "without the blanks in front");
          break;
        case FixKind::kCallCase:
          what = Choose(language, "en may\xFAsculas y sin blancos",
                        "in upper case without blanks");
          break;
        case FixKind::kDateForm:
          what = DateFormText(kind.from, fixes_[c]) + " -> YYYYMMDD";
          break;
        case FixKind::kTimeForm:
          what = TimeFormText(kind.from) +
                 (kind.to.size() == 6 ? " -> HHMMSS" : " -> HHMM");
          break;
        case FixKind::kKilohertz:
          what = "kHz -> MHz";
          break;
        case FixKind::kHertz:
          what = "Hz -> MHz";
          break;
        case FixKind::kThousands:
          what = Choose(language, "sin separador de miles",
                        "without their thousands separator");
          break;
        case FixKind::kFrequencyAdded:
          what = Choose(language, "han dado FREQ", "gave FREQ");
          break;
        case FixKind::kDecimalComma:
          what = Choose(language, "con coma decimal -> punto",
                        "with a decimal comma -> point");
          break;
        case FixKind::kUnit:
          what = Choose(language, "sin su unidad", "without their unit");
          break;
        case FixKind::kBandName:
          what = Choose(language, "-> bandas ADIF", "-> ADIF bands");
          break;
        case FixKind::kModeCase:
          what = Choose(language, "-> modos ADIF", "-> ADIF modes");
          break;
        case FixKind::kModeSubmode:
          what = Choose(language, "-> MODE y SUBMODE", "-> MODE and SUBMODE");
          if (ModeReading mode;
              ReadMode(kind.from, &mode, fixes_[c].code_page) && mode.submode)
            to += std::string(" + SUBMODE ") + mode.submode;
          break;
        case FixKind::kQslWord:
          what = Choose(language, "-> letras ADIF", "-> ADIF letters");
          break;
        case FixKind::kReportBlanks:
          what = Choose(language, "sin blancos", "without blanks");
          break;
        case FixKind::kSoftBreaks:
          what = Choose(language,
                        "con los saltos de l\xEDnea blandos como blancos",
                        "with their soft line breaks as blanks");
          break;
        case FixKind::kLineFeeds:
          what = Choose(language, "con los saltos de l\xEDnea como CR LF",
                        "with their line feeds as CR LF");
          break;
        case FixKind::kOneLine:
          what = Choose(language,
                        "con los saltos de l\xEDnea como blancos (el campo es "
                        "de una l\xEDnea)",
                        "with their line breaks as blanks (the field holds "
                        "one line)");
          break;
        case FixKind::kUnknownLogical:
          what = Choose(language, "desconocidos (?) omitidos",
                        "unknown (?) left out");
          from.clear();
          break;
        case FixKind::kBandAdded:
          what = Choose(language, "han dado BAND", "gave BAND");
          break;
      }
      line += (line.empty() ? "" : "; ") + Values(kind.count, language) + what;
      if (!from.empty()) line += example + from + " -> " + to;
    }
    if (counts.unreadable > 0)
      line += (line.empty() ? "" : "; ") + Values(counts.unreadable, language) +
              (counts.unreadable == 1
                   ? Choose(language, "sin leer, queda como estaba",
                            "not read, left as it was")
                   : Choose(language, "sin leer, quedan como estaban",
                            "not read, left as they were")) +
              example + Shown(counts.unreadable_example, fixes_[c].code_page);
    if (line.empty()) continue;
    std::string name =
        c < column_names.size() ? column_names[c] : "#" + std::to_string(c + 1);
    lines.push_back(name + ": " + line);
  }
  if (records_left_out_ > 0)
    lines.push_back(
        std::to_string(records_left_out_) +
        (records_left_out_ == 1
             ? Choose(language, " registro sin CALL no se ha escrito",
                      " record without CALL left out")
             : Choose(language, " registros sin CALL no se han escrito",
                      " records without CALL left out")));
  return lines;
}
