// adx_writer.cpp: record lines read back and written as ADX.

#include "convert/adx_writer.h"

#include "convert/adif_header.h"
#include "convert/record_lines.h"
#include "standard/adif_standard.h"

namespace {

constexpr std::size_t kWriteBlock = 1 << 20;

bool IsIntlType(AdifType type) {
  return type == AdifType::kIntlString ||
         type == AdifType::kIntlMultilineString ||
         type == AdifType::kIntlCharacter;
}

// \a text fit for an attribute value between double quotes.
std::string Attribute(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '&')
      escaped += "&amp;";
    else if (c == '<')
      escaped += "&lt;";
    else if (c == '"')
      escaped += "&quot;";
    else
      escaped += c;
  }
  return escaped;
}

bool HoldsNonAscii(std::string_view value) {
  for (char c : value)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

// The text of the ADI header above its line of dashes, which an XML comment
// cannot hold.
std::string HeaderComment(Language language) {
  std::string text = AdifHeaderText(language);
  text = text.substr(0, text.find("--"));
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
    text.pop_back();
  return "<!-- " + text + " -->\r\n";
}

}  // namespace

AdxWriter::AdxWriter(ByteSink* target, const ColumnPlan& plan, int code_page,
                     bool ascii_only)
    : target_(target),
      ascii_only_(ascii_only),
      ascii_(code_page, Charset::kAscii),
      utf8_(code_page, Charset::kUtf8) {
  int user_fields = 0;
  for (const PlannedColumn& column : plan.columns) {
    const std::string& keyword = column.keyword;
    if (column.skipped || elements_.count(keyword)) continue;
    Element element;
    std::size_t program_end = keyword.find('_', 4);
    if (const AdifFieldDefinition* standard = FindAdifField(keyword)) {
      element.open = "<" + keyword + ">";
      element.close = "</" + keyword + ">";
      element.intl = IsIntlType(standard->type);
      const std::string companion = keyword + "_INTL";
      if (!element.intl && FindAdifField(companion) && !plan.Maps(companion)) {
        element.intl_open = "<" + companion + ">";
        element.intl_close = "</" + companion + ">";
      }
    } else if (keyword.compare(0, 4, "APP_") == 0 && program_end != 4 &&
               program_end != std::string::npos &&
               program_end + 1 < keyword.size()) {
      element.open = "<APP PROGRAMID=\"" +
                     Attribute(keyword.substr(4, program_end - 4)) +
                     "\" FIELDNAME=\"" +
                     Attribute(keyword.substr(program_end + 1)) + "\">";
      element.close = "</APP>";
    } else {
      // Declared in the header as a multiline string: ASCII, any length.
      user_fields_ += "<USERDEF FIELDID=\"" + std::to_string(++user_fields) +
                      "\" TYPE=\"M\">" + Attribute(keyword) + "</USERDEF>\r\n";
      element.open = "<USERDEF FIELDNAME=\"" + Attribute(keyword) + "\">";
      element.close = "</USERDEF>";
    }
    elements_.emplace(keyword, std::move(element));
  }
}

bool AdxWriter::WriteHeader(Language language) {
  out_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<ADX>\r\n<HEADER>\r\n";
  out_ += HeaderComment(language);
  out_ += "<ADIF_VER>" + std::string(kAdifVersion) + "</ADIF_VER>\r\n";
  out_ += "<PROGRAMID>LogWeave</PROGRAMID>\r\n";
  out_ += user_fields_;
  out_ += "</HEADER>\r\n<RECORDS>\r\n";
  return Put(std::string());
}

const AdxWriter::Element& AdxWriter::ElementOf(std::string_view keyword) {
  auto found = elements_.find(keyword);
  if (found != elements_.end()) return found->second;
  // Not in the plan: written as an undeclared user-defined field.
  Element element;
  element.open =
      "<USERDEF FIELDNAME=\"" + Attribute(std::string(keyword)) + "\">";
  element.close = "</USERDEF>";
  return elements_.emplace(std::string(keyword), std::move(element))
      .first->second;
}

bool AdxWriter::AppendEscaped(const std::string& text) {
  bool whole = true;
  for (char c : text) {
    switch (c) {
      case '&':
        record_ += "&amp;";
        break;
      case '<':
        record_ += "&lt;";
        break;
      case '>':
        record_ += "&gt;";
        break;
      case '\r':
        record_ += "&#13;";
        break;  // kept through line-end rules
      case '\t':
      case '\n':
        record_ += c;
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          record_ += '?';  // no XML 1.0 document can hold it
          whole = false;
        } else {
          record_ += c;
        }
    }
  }
  return whole;
}

void AdxWriter::AddField(std::string_view keyword, std::string_view value) {
  const std::size_t size = value.size();
  const Element& element = ElementOf(keyword);
  const bool original = element.intl && !ascii_only_;
  encoded_.clear();
  bool changed = original ? (utf8_.Encode(value.data(), size, &encoded_), false)
                          : ascii_.Encode(value.data(), size, &encoded_);
  record_ += element.open;
  changed |= !AppendEscaped(encoded_);
  record_ += element.close;
  if (changed && !ascii_only_ && !element.intl_open.empty() &&
      HoldsNonAscii(value)) {
    encoded_.clear();
    utf8_.Encode(value.data(), size, &encoded_);
    record_ += element.intl_open;
    AppendEscaped(encoded_);
    record_ += element.intl_close;
    ++kept_in_intl_;
  } else if (changed) {
    ++spelled_;
  }
}

bool AdxWriter::Write(const char* data, std::size_t size) {
  if (failed_) return false;
  pending_.append(data, size);
  std::size_t at = 0;
  for (;;) {
    const LinePartRead read = ReadLinePart(pending_, &at);
    if (read.part == LinePart::kIncomplete) break;
    if (read.part == LinePart::kMalformed) return Fail(read.malformed);
    if (read.part == LinePart::kEndOfRecord) {
      out_ += "<RECORD>" + record_ + "</RECORD>\r\n";
      record_.clear();
      continue;
    }
    AddField(read.name, read.value);
  }
  pending_.erase(0, at);
  return out_.size() < kWriteBlock || Put(std::string());
}

bool AdxWriter::Finish() {
  if (failed_) return false;
  if (!pending_.empty() || !record_.empty())
    return Fail("the record lines end inside a record");
  return Put("</RECORDS>\r\n</ADX>\r\n");
}

bool AdxWriter::Put(const std::string& text) {
  out_ += text;
  if (!target_->Write(out_.data(), out_.size())) {
    failed_ = true;
    error_ = target_->Error();
    return false;
  }
  out_.clear();
  return true;
}

bool AdxWriter::Fail(const char* what) {
  failed_ = true;
  error_ = SystemError();
  error_.text = what;
  return false;
}

SystemError AdxWriter::Error() const { return error_; }
