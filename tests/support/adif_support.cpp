// adif_support.cpp: reading outputs back.

#include "adif_support.h"

#include "adif/adif_check.h"
#include "adif/adif_reader.h"
#include "convert/adif_header.h"
#include "platform/text.h"

std::string ReadBackRecord::Get(const std::string& name) const {
  for (const auto& field : fields)
    if (field.first == name) return field.second;
  return std::string();
}

std::vector<ReadBackRecord> ReadBackAdif(const std::string& text) {
  std::vector<ReadBackRecord> records;
  for (const AdifFile::Record& record : ReadAdif(text).records) {
    ReadBackRecord back;
    for (const AdifFile::Field& field : record.fields)
      back.fields.emplace_back(AsciiUpperText(field.name), field.data);
    records.push_back(back);
  }
  return records;
}

std::string CheckWrittenAdif(const std::string& text, std::size_t* records,
                             Language language) {
  *records = 0;
  const std::string header = AdifHeaderText(language);
  if (text.compare(0, header.size(), header) != 0)
    return "the file does not start with the ADIF header";
  const std::string body = text.substr(header.size());
  AdifFile file = ReadAdif(body);
  if (file.has_header) return "text before the first record";
  for (const AdifSyntaxProblem& problem : file.file_problems)
    return "file: " + SyntaxProblemText(problem, AdifForm::kTagged, kEnglish);
  for (std::size_t i = 0; i < file.records.size(); ++i) {
    const AdifFile::Record& record = file.records[i];
    std::string where = " in record " + std::to_string(i + 1);
    if (!record.problems.empty())
      return SyntaxProblemText(record.problems[0], AdifForm::kTagged,
                               kEnglish) +
             where;
    if (!record.terminated) return "the last line does not end with <EOR>";
    if (!record.fields.empty() &&
        AsciiUpperText(record.fields[0].name) != "CALL")
      return "a line starts with " + std::string(record.fields[0].name) + where;
  }
  // Every record is a line of its own.
  std::size_t lines = 0;
  for (std::size_t at = body.find("<EOR>\r\n"); at != std::string::npos;
       at = body.find("<EOR>\r\n", at + 7))
    ++lines;
  if (lines != file.records.size())
    return "a record that does not end with <EOR> and a line end";
  if (!body.empty() && body.compare(body.size() - 7, 7, "<EOR>\r\n") != 0)
    return "the last line does not end with <EOR>";
  *records = file.records.size();
  return "";
}
