// read_baseline.cpp: reads a file once with fread in large blocks and
// nothing else; the floor the conversion's speed is measured against.
//
// usage: read_baseline FILE

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: read_baseline FILE\n");
    return 2;
  }
  std::FILE* in = std::fopen(argv[1], "rb");
  if (!in) {
    std::perror(argv[1]);
    return 1;
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
