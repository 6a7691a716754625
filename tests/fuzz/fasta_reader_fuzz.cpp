// Fuzz target of the workflow's FASTA reader, plain and gzip-compressed. The first byte picks
// the file made of the rest: the text itself; gzip of it; two gzip members (the text cut at its
// first 0x01); or one member and the rest of the text after it uncompressed. Every form of the
// same text gives the same records, or the same refusal, as the plain text; bytes after a member
// that begin no member are refused; the records keep the reader's rules.
//
// Built by `make fuzz`; run from the top folder, for example:
//   nice build-fuzz/fasta_reader_fuzz -max_len=20000 -timeout=10 -max_total_time=300 \
//     -close_fd_mask=3 tests/fuzz/corpus/fasta_reader
// Point the run at a copy of the corpus folder to keep the one in the repository small.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/workflow_fuzz.h"
#include "workflow/fasta_reader.h"

namespace {
std::string gzip(const std::string& text) {
  z_stream z{};
  FUZZ_CHECK(deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK);
  std::string out(deflateBound(&z, text.size()) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  FUZZ_CHECK(deflate(&z, Z_FINISH) == Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

struct Read {
  bool accepted = false;
  std::vector<std::string> ids, headers, residues;
  std::vector<uint64_t> lines;
  bool operator==(const Read&) const = default;
};

Read read_all(const std::string& path) {
  Read r;
  r.accepted = fuzz_accepts([&] {
    FastaReader reader(path);
    FastaRecord rec;
    while (reader.next(rec)) {
      r.ids.emplace_back(rec.id);
      r.headers.emplace_back(rec.header);
      r.residues.emplace_back(rec.residues);
      r.lines.push_back(rec.line);
      FUZZ_CHECK(reader.consumed() <= reader.file_size());
    }
  });
  if (!r.accepted) r = Read{};  // what was read before the refusal is not compared
  return r;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FuzzTempDir here;
  const int form = data[0] % 4;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t cut = std::min(text.find('\x01'), text.size());
  const std::string first = text.substr(0, cut), rest = text.substr(cut);

  // A text that begins as gzip does is read as gzip: the forms are compared on other texts.
  const bool gzipText = text.size() >= 2 && text[0] == '\x1f' && text[1] == '\x8b';
  const Read plain = read_all(fuzz_file("plain.fa", text));
  uint64_t previous = 0;
  for (size_t i = 0; i < plain.ids.size(); ++i) {
    FUZZ_CHECK(!plain.ids[i].empty());
    FUZZ_CHECK(plain.ids[i].find_first_of(" \t") == std::string::npos);
    FUZZ_CHECK(plain.lines[i] > previous);
    previous = plain.lines[i];
    for (char c : plain.residues[i]) FUZZ_CHECK(c >= 'A' && c <= 'Z');
  }
  if (form == 0 || gzipText) return 0;
  if (form == 1) {
    FUZZ_CHECK(read_all(fuzz_file("one.fa.gz", gzip(text))) == plain);
  } else if (form == 2) {
    FUZZ_CHECK(read_all(fuzz_file("two.fa.gz", gzip(first) + gzip(rest))) == plain);
  } else {
    // The rest begins with 0x01, which begins no member.
    const Read trailing = read_all(fuzz_file("trailing.fa.gz", gzip(first) + rest));
    if (rest.empty())
      FUZZ_CHECK(trailing == plain);
    else
      FUZZ_CHECK(!trailing.accepted);
  }
  return 0;
}
