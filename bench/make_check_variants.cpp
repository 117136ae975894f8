// make_check_variants.cpp: writes, from an ADIF file of the tagged form as
// convert writes it, variants that are harder on `check`, streamed so that
// memory stays small:
//   shuffled  each record's fields in another order, each name in a letter
//             case of its own (the same in every record)
//   cased     each record's fields in their order, each name in a letter
//             case drawn anew on every record
//   userdef   a header declaring 1,000 fields of the file's own (USERDEFn),
//             and in each record 10 of them and 5 fields of no declaration,
//             each name drawn from a thousand
//
// usage: make_check_variants shuffled|cased|userdef IN.adi OUT.adi

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::uint64_t state = 88172645463325252ULL;
std::uint32_t Next() {  // xorshift: the same files on every run
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return static_cast<std::uint32_t>(state);
}

std::string Field(const std::string& name, const std::string& data) {
  return "<" + name + ":" + std::to_string(data.size()) + ">" + data + " ";
}

// The fields of \a line, one record: each name and data.
std::vector<std::pair<std::string, std::string>> Fields(
    const std::string& line) {
  std::vector<std::pair<std::string, std::string>> fields;
  std::size_t at = 0;
  for (;;) {
    std::size_t lt = line.find('<', at);
    std::size_t colon = line.find(':', lt);
    std::size_t gt = line.find('>', lt);
    if (lt == std::string::npos || colon == std::string::npos || colon > gt)
      break;
    std::size_t length = std::strtoul(line.c_str() + colon + 1, nullptr, 10);
    fields.emplace_back(line.substr(lt + 1, colon - lt - 1),
                        line.substr(gt + 1, length));
    at = gt + 1 + length;
  }
  return fields;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string variant = argc == 4 ? argv[1] : "";
  if (variant != "shuffled" && variant != "cased" && variant != "userdef") {
    std::fprintf(
        stderr,
        "usage: make_check_variants shuffled|cased|userdef IN.adi OUT.adi\n");
    return 2;
  }
  const bool shuffled = variant == "shuffled";
  const bool cased = variant == "cased";
  std::FILE* in = std::fopen(argv[2], "rb");
  std::FILE* out = std::fopen(argv[3], "wb");
  if (!in || !out) {
    std::perror("make_check_variants");
    return 1;
  }
  std::string line;
  bool header = true;
  for (int c; (c = std::fgetc(in)) != EOF;) {
    line += static_cast<char>(c);
    if (c != '\n') continue;
    std::string text;
    if (header) {
      // The header's lines as they are, the declarations before <EOH>.
      std::size_t eoh = line.find("<EOH>");
      if (eoh != std::string::npos) {
        header = false;
        text = line.substr(0, eoh);
        if (variant == "userdef")
          for (int i = 1; i <= 1000; ++i) {
            std::string name = "UF" + std::to_string(i);
            text += "<USERDEF" + std::to_string(i) + ":" +
                    std::to_string(name.size()) + ":N>" + name + "\r\n";
          }
        text += line.substr(eoh);
      } else {
        text = line;
      }
    } else {
      std::vector<std::pair<std::string, std::string>> fields = Fields(line);
      if (shuffled) {
        for (std::size_t i = fields.size(); i > 1; --i)
          std::swap(fields[i - 1], fields[Next() % i]);
        for (auto& field : fields) {
          // The letter case of a name, from a hash of it.
          std::uint32_t bits = 2166136261u;
          for (char ch : field.first) bits = (bits ^ ch) * 16777619u;
          for (char& ch : field.first) {
            if (bits & 1) ch = static_cast<char>(std::tolower(ch));
            bits >>= 1;
          }
        }
      } else if (cased) {
        for (auto& field : fields)
          for (char& ch : field.first)
            if (Next() & 1) ch = static_cast<char>(std::tolower(ch));
      } else {
        for (int i = 0; i < 10; ++i)
          fields.emplace_back("UF" + std::to_string(1 + Next() % 1000),
                              std::to_string(Next() % 1000));
        for (int i = 0; i < 5; ++i)
          fields.emplace_back("XF" + std::to_string(1 + Next() % 1000), "x");
      }
      for (const auto& field : fields) text += Field(field.first, field.second);
      text += "<EOR>\r\n";
    }
    std::fwrite(text.data(), 1, text.size(), out);
    line.clear();
  }
  return std::fclose(out) == 0 && !std::ferror(in) ? 0 : 1;
}
