// fuzz_memo.cpp: reading memo texts from a damaged or hostile memo file by
// block numbers taken from damaged or hostile memo columns.
//
// Input: a flags byte (bits 0-1: dBase III .DBT, dBase IV .DBT, FoxPro .FPT,
// Visual FoxPro .FPT), a byte giving the number of memo column values (at
// most 8) and each value as a length byte (at most 16) and its bytes, then
// the memo file.
//
// Checked besides "no crash": a memo file shorter than its header is
// refused; every failure names the memo file and the record; a memo text is
// bytes of the memo file, taken whole from one place, with no end-of-text
// byte in a dBase III text and never longer than the largest memo; reading
// the same value again, after other values, gives the same result.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dbf/memo_file.h"
#include "fuzz_support.h"
#include "mapping/texts.h"
#include "platform/fake_file_system.h"

namespace {

struct Result {
  bool ok;
  std::string text;
  std::string error;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzz::ByteReader reader(data, size);
  static const std::uint8_t kVersions[4] = {0x03, 0x8B, 0xF5, 0x30};
  const int layout = reader.Byte() & 3;
  const std::uint8_t version = kVersions[layout];
  const bool foxpro = layout >= 2;
  std::vector<std::string> fields(reader.Byte() % 9);
  for (std::string& field : fields) field = reader.Bytes(reader.Byte() % 17);
  const std::string memo(reinterpret_cast<const char*>(reader.rest()),
                         reader.rest_size());
  const std::string path = "memo.fpt";
  FakeFileSystem files;
  files.Put(path, memo);

  MemoFile file;
  MemoError memo_error;
  bool opened = file.OpenPath(files, path,
                              foxpro ? MemoFormat::kFoxPro : MemoFormat::kDbase,
                              version, &memo_error);
  std::string error = MemoErrorText(memo_error, kEnglish);
  if (memo.size() < 32)
    FUZZ_CHECK(!opened, "a %zu-byte memo file was opened", memo.size());
  if (!opened) {
    FUZZ_CHECK(error.find(path) != std::string::npos,
               "the error does not name the memo file: %s", error.c_str());
    return 0;
  }

  std::vector<Result> first;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    Result result;
    std::uint32_t record = static_cast<std::uint32_t>(i + 1);
    result.ok = file.Read(fields[i].data(), fields[i].size(), record,
                          &result.text, &memo_error);
    if (!result.ok) result.error = MemoErrorText(memo_error, kEnglish);
    if (!result.ok) {
      FUZZ_CHECK(result.error.find(path) != std::string::npos &&
                     result.error.find("record " + std::to_string(record)) !=
                         std::string::npos,
                 "the error does not name the file and record: %s",
                 result.error.c_str());
    } else {
      FUZZ_CHECK(result.text.size() <= kLargestMemo + 512,
                 "a memo of %zu bytes", result.text.size());
      FUZZ_CHECK(
          result.text.empty() || memo.find(result.text) != std::string::npos,
          "a memo text of %zu bytes that is not in the memo file",
          result.text.size());
      // A dBase III text ends at its end mark, unless its block is one of
      // dBase IV's (FF FF 08 00 and a length), which is read as such.
      if (layout == 0 && result.text.find('\x1A') != std::string::npos) {
        bool dbase4_block = false;
        for (std::size_t at = memo.find(result.text);
             at != std::string::npos && !dbase4_block;
             at = memo.find(result.text, at + 1))
          dbase4_block = at >= 8 && at % 512 == 8 &&
                         memo.compare(at - 8, 4, "\xFF\xFF\x08\x00", 4) == 0;
        FUZZ_CHECK(dbase4_block,
                   "the end-of-text byte inside a dBase III memo");
      }
      bool blank = true;
      for (char c : fields[i])
        if (c != ' ' && c != '\0') blank = false;
      if (blank && !(layout == 3 && fields[i].size() == 4))
        FUZZ_CHECK(result.text.empty(), "a blank block number gave a text");
    }
    first.push_back(result);
  }
  // The same values in the opposite order.
  for (std::size_t i = fields.size(); i-- > 0;) {
    Result again;
    again.ok =
        file.Read(fields[i].data(), fields[i].size(),
                  static_cast<std::uint32_t>(i + 1), &again.text, &memo_error);
    if (!again.ok) again.error = MemoErrorText(memo_error, kEnglish);
    FUZZ_CHECK(again.ok == first[i].ok && again.text == first[i].text &&
                   again.error == first[i].error,
               "memo value %zu reads differently the second time", i);
  }
  return 0;
}
