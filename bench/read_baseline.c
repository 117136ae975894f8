/* read_baseline.c: reads a file once with fread in 1 MiB blocks and sums its
 * bytes; the floor the conversion's speed is measured against. Built with
 * -O2.
 *
 * usage: read_baseline FILE          fread in 1 MiB blocks, every byte summed
 *        read_baseline --getc FILE   getc, one byte at a time (for scale) */

#include <stdio.h>
#include <string.h>

static unsigned char block[1 << 20];

int main(int argc, char** argv) {
  int by_byte = argc == 3 && strcmp(argv[1], "--getc") == 0;
  if (argc != 2 && !by_byte) {
    fprintf(stderr, "usage: read_baseline [--getc] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  FILE* in = fopen(path, "rb");
  if (!in) {
    perror(path);
    return 1;
  }
  unsigned long long total = 0, sum = 0;
  if (by_byte) {
    int c;
    while ((c = getc(in)) != EOF) {
      ++total;
      sum += (unsigned)c;
    }
  } else {
    size_t got;
    while ((got = fread(block, 1, sizeof block, in)) > 0) {
      unsigned long long part = 0;
      for (size_t i = 0; i < got; ++i) part += block[i];
      total += got;
      sum += part;
    }
  }
  fclose(in);
  printf("%llu bytes read (%llu)\n", total, sum);
  return 0;
}
