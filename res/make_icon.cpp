// make_icon.cpp: turns the text pixel map of the program's icon into an .ico
// file holding one 32 by 32, 16-colour image with its transparency mask (744
// bytes of image data). The same map always gives the same bytes.
//
// usage: make_icon MAP.txt OUT.ico
//
// The map has 32 lines of 32 characters, top row first. Lines starting with
// "#" are comments. Characters:
//   .  transparent        K  black        W  white
//   G  grey               S  silver       B  navy blue
//   L  light blue         Y  yellow       R  red

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kSide = 32;

// The standard 16-colour palette, as red, green, blue.
const unsigned char kPalette[16][3] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00},
    {0x80, 0x80, 0x00}, {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80},
    {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}, {0x80, 0x80, 0x80},
    {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF}};

// Palette index of a map character; -1 for transparent, -2 for unknown.
int ColourOf(char c) {
  switch (c) {
    case '.':
      return -1;
    case 'K':
      return 0;
    case 'B':
      return 4;
    case 'S':
      return 7;
    case 'G':
      return 8;
    case 'R':
      return 9;
    case 'Y':
      return 11;
    case 'L':
      return 12;
    case 'W':
      return 15;
    default:
      return -2;
  }
}

void Put16(std::string* out, unsigned value) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(std::string* out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_icon MAP.txt OUT.ico\n");
    return 2;
  }
  std::ifstream map(argv[1]);
  if (!map) {
    std::fprintf(stderr, "make_icon: cannot read %s\n", argv[1]);
    return 1;
  }
  std::vector<std::string> rows;
  for (std::string line; std::getline(map, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    rows.push_back(line);
  }
  if (rows.size() != kSide) {
    std::fprintf(stderr, "make_icon: %s has %zu rows, not %d\n", argv[1],
                 rows.size(), kSide);
    return 1;
  }
  for (int y = 0; y < kSide; ++y) {
    if (rows[y].size() != kSide) {
      std::fprintf(stderr, "make_icon: row %d has %zu characters, not %d\n",
                   y + 1, rows[y].size(), kSide);
      return 1;
    }
    for (int x = 0; x < kSide; ++x)
      if (ColourOf(rows[y][x]) == -2) {
        std::fprintf(stderr, "make_icon: unknown colour '%c' at row %d\n",
                     rows[y][x], y + 1);
        return 1;
      }
  }

  // The image: header, palette, colour bits and mask, rows bottom up.
  std::string image;
  Put32(&image, 40);         // header size
  Put32(&image, kSide);      // width
  Put32(&image, 2 * kSide);  // height of colour bits and mask together
  Put16(&image, 1);          // planes
  Put16(&image, 4);          // bits per pixel
  Put32(&image, 0);          // no compression
  Put32(&image, kSide * kSide / 2 + kSide * kSide / 8);
  Put32(&image, 0);
  Put32(&image, 0);
  Put32(&image, 0);
  Put32(&image, 0);
  for (const auto& rgb : kPalette) {
    image.push_back(static_cast<char>(rgb[2]));
    image.push_back(static_cast<char>(rgb[1]));
    image.push_back(static_cast<char>(rgb[0]));
    image.push_back(0);
  }
  for (int y = kSide - 1; y >= 0; --y)
    for (int x = 0; x < kSide; x += 2) {
      int high = ColourOf(rows[y][x]), low = ColourOf(rows[y][x + 1]);
      image.push_back(static_cast<char>(((high < 0 ? 0 : high) << 4) |
                                        (low < 0 ? 0 : low)));
    }
  for (int y = kSide - 1; y >= 0; --y)
    for (int x = 0; x < kSide; x += 8) {
      unsigned char bits = 0;
      for (int b = 0; b < 8; ++b)
        if (ColourOf(rows[y][x + b]) == -1) bits |= 0x80 >> b;
      image.push_back(static_cast<char>(bits));
    }

  std::string file;
  Put16(&file, 0);  // reserved
  Put16(&file, 1);  // icon
  Put16(&file, 1);  // one image
  file.push_back(static_cast<char>(kSide));
  file.push_back(static_cast<char>(kSide));
  file.push_back(16);  // colours
  file.push_back(0);
  Put16(&file, 1);  // planes
  Put16(&file, 4);  // bits per pixel
  Put32(&file, static_cast<std::uint32_t>(image.size()));
  Put32(&file, 22);  // offset of the image
  file += image;

  std::FILE* out = std::fopen(argv[2], "wb");
  if (!out || std::fwrite(file.data(), 1, file.size(), out) != file.size() ||
      std::fclose(out) != 0) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
