// Fuzz target of the classification file, SeqFile.seq and the family table. The input is a
// sequence file and a classification file separated by the first byte 0x01 (no such byte: no
// sequences). The results are compared with the literal reference; a refusal is a normal end.
//
// Built by `make fuzz`; run from the top folder, for example:
//   nice build-fuzz/class_file_fuzz -max_len=20000 -timeout=10 -max_total_time=300 \
//     -close_fd_mask=3 tests/fuzz/corpus/class_file
// (-close_fd_mask=3 silences the program's own texts and the checks' messages too: run a crash
// file again without it to see which check failed.)
// Point the run at a copy of the corpus folder to keep the one in the repository small.
#include <cstdint>
#include <string>

#include "console/class_file.h"
#include "console/limits.h"
#include "console/work_area.h"
#include "core/run_exit.h"
#include "engine/descriptors/family_table.h"
#include "fuzz/fuzz_support.h"
#include "reference/input_reference.h"
#include "support/file_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzTempDir here;
  const std::string all(reinterpret_cast<const char*>(data), size);
  const size_t cut = all.find('\x01');
  const std::string seqBytes = cut == std::string::npos ? "" : all.substr(0, cut);
  const std::string classBytes = cut == std::string::npos ? all : all.substr(cut + 1);

  RefSequences refSeq = reference_read_sequences(seqBytes, ReaderMember::FormatFile);
  if (refSeq.count > kSampleSize) return 0;  // the reader's own refusal, fuzzed elsewhere
  std::remove("SeqFile.seq");

  FuzzOutput out;
  WorkArea wa;
  wa.con = Console(out.f, stdin);
  FILE* seqF = fuzz_input(seqBytes);
  FILE* classF = fuzz_input(classBytes);
  FUZZ_CHECK(seqF && classF);
  bool ended = false;
  try {
    FormatFile(wa.input, wa.classes, wa.con, seqF, classF);
  } catch (const RunExit& e) {
    FUZZ_CHECK(e.status == 1);
    ended = true;
  }
  std::fclose(seqF);
  std::fclose(classF);

  RefSeqFile ref = reference_seq_file(classBytes, refSeq.P);
  FUZZ_CHECK(ended == ref.failed);
  if (ended) return 0;
  FUZZ_CHECK(out.text() == refSeq.out + ref.out);
  FUZZ_CHECK(wa.classes.LstClsForMSDD == ref.names);
  const std::string seqfile = file_bytes("SeqFile.seq");
  FUZZ_CHECK(seqfile == ref.seqfile);

  wa.families = build_family_table(views_of(wa.input.P), wa.classes.SeqGroups);
  // Checks that hold for every input: the table covers exactly the written sequences.
  size_t written = 0;
  for (const auto& g : wa.classes.SeqGroups) written += g.size();
  FUZZ_CHECK(static_cast<int>(written) == ref.written);
  FUZZ_CHECK(wa.families.sequenceCount == written);
  FUZZ_CHECK(wa.families.familyCount == wa.families.families.size());
  FUZZ_CHECK(wa.families.sequenceEnds.size() == written + 1 && wa.families.sequenceEnds[0] == 0);
  for (const auto& fam : wa.families.families)
    for (const auto& seq : fam.sequences) {
      FUZZ_CHECK(wa.families.sequenceEnds[seq.number] ==
                 static_cast<int64_t>(seq.start + seq.length) - 1);
      for (uint64_t p = seq.start; p < seq.start + seq.length; ++p)
        FUZZ_CHECK(SequenceOfPosition(wa.families, static_cast<int64_t>(p)) == seq.number);
    }

  // Reading SeqFile.seq back gives the same table, except where the file cannot say it: a
  // sequence that begins with '/' reads as a group line, and an empty last sequence leaves no
  // line at all. The table is built from the grouping itself, so it keeps both.
  bool readable = true;
  for (const auto& g : wa.classes.SeqGroups)
    for (uint32_t s : g)
      if (!wa.input.P[static_cast<size_t>(s)].empty() &&
          wa.input.P[static_cast<size_t>(s)][0] == '/')
        readable = false;
  if (written > 0 && static_cast<int>(written) == wa.input.Tot && wa.input.P.back().empty())
    readable = false;
  if (!readable) return 0;
  RefTable table = reference_fill_table(seqfile);
  FUZZ_CHECK(wa.families.text == table.T);
  FUZZ_CHECK(wa.families.sequenceEnds == table.Drapeau);
  FUZZ_CHECK(wa.families.sequenceCount == table.NbChaines);
  FUZZ_CHECK(wa.families.longest == table.Longueur);
  FUZZ_CHECK(wa.families.families.size() == table.families.size());
  for (size_t f = 0; f < table.families.size(); ++f) {
    const auto& a = wa.families.families[f];
    const auto& b = table.families[f];
    FUZZ_CHECK(a.number == b.number && a.size() == b.sequences.size());
    for (size_t i = 0; i < b.sequences.size(); ++i) {
      FUZZ_CHECK(a.sequences[i].number == b.sequences[i].number);
      FUZZ_CHECK(a.sequences[i].length == b.sequences[i].length);
      FUZZ_CHECK(a.sequences[i].start == b.sequences[i].start);
    }
  }
  return 0;
}
