// The literal descriptor discovery (tests/reference) as a whole program, to time it against
// protfeat on the same input and to check that both write the same report.
//
// usage: dd_literal CLASS_FILE SEQ_FILE ALPHA BETA REPORT
//   reads the files as the dd run does (SeqFile.seq is written in the current folder), runs the
//   literal discovery and writes its "LesDDs.txt" report to REPORT; prints the descriptor count.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "console/class_file.h"
#include "core/files.h"
#include "core/run_exit.h"
#include "engine/descriptors/family_table.h"
#include "reference/literal_discovery.cpp"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: %s CLASS_FILE SEQ_FILE ALPHA BETA REPORT\n", argv[0]);
    return 2;
  }
  std::ifstream classStream(argv[1], std::ios::binary);
  std::stringstream classText;
  classText << classStream.rdbuf();
  InFile classF = open_input(argv[1]);
  InFile seqF = open_input(argv[2]);
  if (!classF || !seqF) {
    std::fprintf(stderr, "cannot open the input files\n");
    return 1;
  }
  FILE* quiet = std::fopen("/dev/null", "w");
  WorkArea wa;
  wa.con = Console(quiet, stdin);
  uint32_t found = 0;
  try {
    FormatFile(wa.input, wa.classes, wa.con, seqF.get(), classF.get());
    wa.families = build_family_table(views_of(wa.input.P), wa.classes.SeqGroups);
    wa.settings.ALPHA = static_cast<float>(std::atof(argv[3]));
    wa.settings.BETA = static_cast<float>(std::atof(argv[4]));
    const literal::Outcome out = literal::Discriminate(wa.families, wa.settings, classText.str());
    std::ofstream(argv[5], std::ios::binary) << out.resultFile;
    found = out.NbMot;
  } catch (const RunExit& e) {
    return e.status;
  }
  std::printf("%u descriptors\n", found);
  return 0;
}
