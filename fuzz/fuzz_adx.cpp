// fuzz_adx.cpp: reading the XML form of ADIF (.adx) of any shape, a block
// at a time, and checking it.
//
// Input: two control bytes (the block size of a second read; where the
// bytes go: as the file after an XML declaration, or inside <ADX>, its
// <HEADER>, its <RECORDS> or a <RECORD>), then the bytes. Checked besides
// "no crash": reading in blocks of any size, the fast way or the careful
// way, gives the same records and problems as one large block; every part
// of a record holds at most what a part may (plus the few a step of reading
// adds), every field's data is held up to kAdifHeldData bytes and measured
// whole, and its measure agrees with what is held; names given the same
// number are the same in any letter case; outside records at most
// kAdifKeptFileProblems of each kind of problem are kept; the report is
// plain ASCII and its counts add up.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "adif/adif_reader.h"
#include "adif/record_builder.h"
#include "adif_checks.h"
#include "fuzz_support.h"

namespace {

// clang-format off
const char* const kFrames[][2] = {
    {"<?xml version=\"1.0\"?>", ""},
    {"<ADX>", "</ADX>"},
    {"<ADX><HEADER>", "</HEADER></ADX>"},
    {"<ADX><RECORDS>", "</RECORDS></ADX>"},
    {"<ADX><RECORDS><RECORD>", "</RECORD></RECORDS></ADX>"},
};
// clang-format on

// Reads \a bytes in the XML form part by part and checks each part.
void CheckParts(std::string_view bytes, std::size_t block) {
  MemoryInputFile input(bytes);
  std::unique_ptr<AdifRecordReader> reader =
      MakeAdifReader(&input, AdifForm::kXml, block);
  std::map<std::pair<int, std::uint64_t>, std::uint64_t> kept;
  auto take_file_problems = [&] {
    for (const AdifSyntaxProblem& problem : reader->TakeFileProblems().kept) {
      std::uint64_t n =
          ++kept[{static_cast<int>(problem.kind), problem.number}];
      FUZZ_CHECK(n <= kAdifKeptFileProblems, "%zu problems of one kind kept",
                 static_cast<std::size_t>(n));
    }
  };
  AdifRecord part;
  fuzz::NumberedNames names;
  while (reader->Next(&part)) {
    take_file_problems();
    names.Check(part);
    FUZZ_CHECK(part.fields.size() + part.problems.size() <= kAdifPartFields + 4,
               "a part of %zu fields and %zu problems", part.fields.size(),
               part.problems.size());
    for (const AdifField& field : part.fields) {
      FUZZ_CHECK(field.data.size() <= kAdifHeldData &&
                     field.data.size() ==
                         std::min<std::uint64_t>(field.length, kAdifHeldData),
                 "%zu bytes held of %zu", field.data.size(),
                 static_cast<std::size_t>(field.length));
      AdifByteCounts held;
      CountBytes(field.data, 0, &held);
      const AdifByteCounts& all = field.bytes;
      FUZZ_CHECK(all.odd + all.line_ends <= field.length &&
                     all.odd >= held.odd && all.line_ends >= held.line_ends &&
                     (held.odd == 0 || all.first_odd == held.first_odd),
                 "byte counts %zu+%zu of %zu",
                 static_cast<std::size_t>(all.odd),
                 static_cast<std::size_t>(all.line_ends),
                 static_cast<std::size_t>(field.length));
    }
  }
  take_file_problems();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  fuzz::ByteReader control(data, size);
  const std::size_t block = 1 + control.Byte() % 64;
  const auto& frame = kFrames[control.Byte() % 5];
  const std::string bytes =
      frame[0] + control.Bytes(control.rest_size()) + frame[1];
  FUZZ_CHECK(DetectAdifForm(bytes) == AdifForm::kXml, "not read as XML");
  AdifFile file = ReadAdif(bytes);
  AdifFile in_blocks = ReadAdif(bytes, block, /*fast=*/block % 2 == 0);
  FUZZ_CHECK(fuzz::Outline(file) == fuzz::Outline(in_blocks),
             "blocks of %zu read otherwise", block);
  CheckParts(bytes, kAdifBlockSize);
  CheckParts(bytes, block);
  fuzz::CheckReport(bytes, 0);
  fuzz::CheckReport(bytes, 2);
  return 0;
}
