#include "reference/input_reference.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
// A line reader over bytes with the old fgets(buf, 6000) behaviour: at most `max` bytes, up to
// and including a line end; false at the end of the data.
struct LineBuffer {
  explicit LineBuffer(const std::string& d) : data(d) {}
  const std::string& data;
  size_t pos = 0;
  char buf[6001];
  size_t len = 0;
  bool gets(size_t max) {
    len = 0;
    while (len < max && pos < data.size()) {
      char c = data[pos++];
      buf[len++] = c;
      if (c == '\n') break;
    }
    buf[len] = 0;
    return len > 0;
  }
  void rewind() { pos = 0; }
};
}  // namespace

RefSequences reference_read_sequences(const std::string& file, ReaderMember member) {
  const bool test = member == ReaderMember::GetTestData;
  const char* nonLetter = test ? "\tErr input : Get test Data\n" : "\tErr input\n";
  RefSequences r;
  LineBuffer lb(file);
  while (lb.gets(5999))
    if (lb.buf[0] == '>') r.count++;
  if (r.count > 4000) {
    r.out += "\tErr: Too many sequences\n";
    return r;
  }
  lb.rewind();
  bool got = lb.gets(5999);
  while (got && lb.buf[0] != '>') got = lb.gets(5999);
  for (int ordinal = 0; ordinal < r.count; ordinal++) {
    char seq[6000];
    int i = 0;
    long n = 0;
    got = lb.gets(5999);
    while (got && lb.buf[0] != '>') {
      for (size_t j = 0; j < lb.len; j++) {
        char c = lb.buf[j];
        if (c == '\n' && j == lb.len - 1) continue;
        if (c == ' ' || c == '*' || c == '\t') continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        if (!(c >= 'A' && c <= 'Z')) {
          r.out += nonLetter;
          if (c == 0) continue;
        }
        n++;
        if (i < 5998) {
          seq[i++] = c;
        } else if (test) {
          r.out += "\tErr: Too long\n";
          r.ended = true;
          return r;
        } else if (member == ReaderMember::GetData) {
          char msg[64];
          std::snprintf(msg, sizeof msg, "\tErr: Too long sequence: %hd N\xc2\xb0%hd\n",
                        static_cast<short>(n), static_cast<short>(ordinal));
          r.out += msg;
        } else {
          r.out += "\tErr: Too long\n";
        }
      }
      got = lb.gets(5999);
    }
    if (test && i > 0 && !(seq[i - 1] >= 'A' && seq[i - 1] <= 'Z')) i--;
    r.P.emplace_back(seq, static_cast<size_t>(i));
  }
  return r;
}

RefSeqFile reference_seq_file(const std::string& classFile, const std::vector<std::string>& P) {
  RefSeqFile r;
  const int Tot = static_cast<int>(P.size());
  std::vector<std::string> lines;
  {
    size_t pos = 0;
    while (pos < classFile.size()) {
      size_t end = classFile.find('\n', pos);
      if (end == std::string::npos) {
        lines.push_back(classFile.substr(pos));
        break;
      }
      lines.push_back(classFile.substr(pos, end - pos));
      pos = end + 1;
    }
  }
  size_t next = 0;
  auto line = [&](std::string& out) {
    if (next >= lines.size()) return false;
    out = lines[next++];
    return true;
  };
  std::string l;
  if (!line(l)) {
    r.failed = true;
    return r;
  }
  if (l.empty() || l[0] != '#') r.out += "\tErr: Class file invalid @class_number";
  if (!line(l)) {
    r.failed = true;
    return r;
  }
  long N = std::strtol(l.c_str(), nullptr, 10);
  if (!line(l)) {
    r.failed = true;
    return r;
  }
  if (l.empty() || l[0] != '#') r.out += "\tErr: Class file invalid @class_names";
  if (N > 100) {
    r.failed = true;
    return r;
  }
  for (long i = 0; i < N; i++) {
    if (!line(l)) {
      r.failed = true;
      return r;
    }
    // A class named twice is refused (the class attribute cannot list it twice).
    if (std::find(r.names.begin(), r.names.end(), l) != r.names.end()) {
      r.failed = true;
      return r;
    }
    r.names.push_back(l);
  }
  r.out += "j ai ouvert SeqFile.seq en ecriture\n";
  if (!line(l)) {
    r.failed = true;
    return r;
  }
  if (l.empty() || l[0] != '#') r.out += "\tErr: Class file invalid @data";

  long k = 0;
  int s = 0;
  bool newLabel = true;
  std::string label;
  while (k < N) {
    r.seqfile += "/\n";
    for (;;) {
      if (newLabel && s < Tot && !line(label)) {
        r.failed = true;
        return r;
      }
      if (s == Tot) return r;
      if (label != r.names[static_cast<size_t>(k)]) {
        newLabel = false;
        k++;
        break;
      }
      r.seqfile += P[static_cast<size_t>(s)];
      if (s != Tot - 1) r.seqfile += "\n";
      s++;
      r.written = s;
      newLabel = true;
    }
  }
  return r;
}

RefTable reference_fill_table(const std::string& seqfile) {
  RefTable t;
  LineBuffer lb(seqfile);
  t.Drapeau.push_back(0);
  RefFamily* fam = nullptr;
  uint32_t nextStart = 0;
  while (lb.gets(5999)) {
    if (lb.buf[0] == '/') {
      t.families.push_back(RefFamily{static_cast<uint32_t>(t.families.size() + 1), {}});
      fam = &t.families.back();
      continue;
    }
    uint32_t L = static_cast<uint32_t>(lb.len);
    if (L > 0 && lb.buf[L - 1] == '\n') L--;
    if (L >= t.Longueur) t.Longueur = L;
    t.NbChaines++;
    if (fam) fam->sequences.push_back(RefSequence{t.NbChaines, L, nextStart});
    t.T.append(lb.buf, L);
    t.Drapeau.push_back(static_cast<int64_t>(t.T.size()) - 1);
    nextStart = static_cast<uint32_t>(t.Drapeau.back() + 1);
  }
  t.Drapeau[0] = 0;
  return t;
}
