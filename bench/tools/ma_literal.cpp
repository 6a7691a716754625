// The literal motif search (dynamic-programming match for every test, pointer tree, fixed
// tables) on a sequence file, for the benchmark ratio against the program.
//
// usage: ma_literal SEQ_FILE LIST_FILE
//   reads SEQ_FILE with the program's reader, runs the literal search and writes the motifs,
//   one per line, to LIST_FILE; prints "St Ct" on standard output.
#include <cstdio>

#include "console/sequence_reader.h"
#include "console/work_area.h"
#include "reference/ma_reference.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SEQ_FILE LIST_FILE\n", argv[0]);
    return 2;
  }
  FILE* in = std::fopen(argv[1], "r");
  FILE* out = std::fopen(argv[2], "w");
  if (!in || !out) {
    std::perror("ma_literal");
    return 1;
  }
  WorkArea wa;
  wa.input.Sam = 4000;
  get_data(wa.input, wa.con, in);
  std::fclose(in);
  literal_ma::Result r = literal_ma::search(wa.input.P, wa.input.D);
  for (const std::string& m : r.MLst) std::fprintf(out, "%s\n", m.c_str());
  std::fclose(out);
  std::printf("%lu %lu\n", r.St, r.Ct);
  return 0;
}
