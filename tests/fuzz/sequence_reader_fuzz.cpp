// Fuzz target of the sequence-file readers: the first byte picks the member, the rest is the
// file. Each read is compared with the literal reference reader; a refusal is a normal end.
//
// Built by `make fuzz`; run from the top folder, for example:
//   nice build-fuzz/sequence_reader_fuzz -max_len=20000 -timeout=10 -max_total_time=300 \
//     -close_fd_mask=3 tests/fuzz/corpus/sequence_reader
// (-close_fd_mask=3 silences the program's own texts and the checks' messages too: run a crash
// file again without it to see which check failed.)
// Point the run at a copy of the corpus folder to keep the one in the repository small.
#include <cstdint>
#include <string>

#include "console/limits.h"
#include "console/work_area.h"
#include "core/run_exit.h"
#include "fuzz/fuzz_support.h"
#include "reference/input_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto member = static_cast<ReaderMember>(data[0] % 4);
  const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);

  FuzzOutput out;
  WorkArea wa;
  wa.con = Console(out.f, stdin);
  FILE* in = fuzz_input(file);
  FUZZ_CHECK(in != nullptr);
  bool ended = false;
  int status = 0;
  try {
    switch (member) {
      case ReaderMember::FormatFile: read_sequences(wa.input, wa.con, in, member); break;
      case ReaderMember::GetData: get_data(wa.input, wa.con, in); break;
      case ReaderMember::GetDataNg: get_data_ng(wa.input, wa.con, in); break;
      case ReaderMember::GetTestData: get_test_data(wa.input, wa.con, in); break;
    }
  } catch (const RunExit& e) {
    ended = true;
    status = e.status;
  }
  std::fclose(in);
  if (ended) FUZZ_CHECK(status == 1);

  const bool test = member == ReaderMember::GetTestData;
  const int limit = test ? kMaxTestSequences : kSampleSize;
  RefSequences ref = reference_read_sequences(file, member);
  if (ref.count > limit) {
    FUZZ_CHECK(ended);  // refused before any sequence is stored
    return 0;
  }
  FUZZ_CHECK(ended == ref.ended);
  FUZZ_CHECK(out.text() == ref.out);
  if (ended) return 0;
  FUZZ_CHECK((test ? wa.input.Tot1 : wa.input.Tot) == ref.count);
  FUZZ_CHECK((test ? wa.input.Sam1 : wa.input.Sam) == ref.count);
  FUZZ_CHECK(wa.input.P == ref.P);
  FUZZ_CHECK(wa.input.D.empty());
  if (member == ReaderMember::GetDataNg) FUZZ_CHECK(wa.input.SLst == wa.input.P);
  if (test) FUZZ_CHECK(wa.input.SLstT == wa.input.P);
  return 0;
}
