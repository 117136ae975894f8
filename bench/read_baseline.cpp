// read_baseline.cpp: reads a file once with fread in large blocks and
// nothing else; the floor the conversion's speed is measured against.
//
// usage: read_baseline FILE          fread in 1 MiB blocks
//        read_baseline --getc FILE   getc, one byte at a time (for scale)

#include <cstdio>
#include <vector>

#include <cstring>

int main(int argc, char** argv) {
  bool by_byte = argc == 3 && std::strcmp(argv[1], "--getc") == 0;
  if (argc != 2 && !by_byte) {
    std::fprintf(stderr, "usage: read_baseline [--getc] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::FILE* in = std::fopen(path, "rb");
  if (!in) {
    std::perror(path);
    return 1;
  }
  if (by_byte) {
    unsigned long long total = 0, sum = 0;
    int c;
    while ((c = std::getc(in)) != EOF) {
      ++total;
      sum += static_cast<unsigned>(c);
    }
    std::fclose(in);
    std::printf("%llu bytes read (%llu)\n", total, sum);
    return 0;
  }
  std::vector<char> block(1 << 20);
  unsigned long long total = 0, sum = 0;
  std::size_t got;
  while ((got = std::fread(block.data(), 1, block.size(), in)) > 0) {
    total += got;
    sum += static_cast<unsigned char>(block[got - 1]);  // keep the read live
  }
  std::fclose(in);
  std::printf("%llu bytes read (%llu)\n", total, sum);
  return 0;
}
