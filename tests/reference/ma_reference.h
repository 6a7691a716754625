// A literal version of the motif search, kept for differential tests and the benchmark ratio:
// a pointer tree built by plain insertion, the dynamic-programming match for every test, and
// the walk with its fixed-size tables, exactly as the old program ran it. Header-only, so the
// benchmark tools can use it without the test binary.
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace literal_ma {

struct Node {
  Node* child;
  Node* right;
  short seq;
  short start;
  short end;
};

struct Tree {
  const std::vector<std::string>* P = nullptr;
  Node* Root = nullptr;
  short C_seq = 0;
  short Lst = 0;
  std::vector<std::unique_ptr<Node>> owned;

  Node* newnode() {
    owned.push_back(std::make_unique<Node>());
    return owned.back().get();
  }
  const char* text(int idx) const { return (*P)[static_cast<size_t>(idx)].c_str(); }

  void insert(Node* node, short pos) {
    for (;;) {
      Node* cur = node->child;
      if (!cur) {
        Node* leaf = newnode();
        *leaf = {nullptr, node, static_cast<short>(C_seq - 4000), pos, Lst};
        node->child = leaf;
        return;
      }
      for (;;) {
        int idx = cur->seq < 0 ? cur->seq + 4000 : cur->seq;
        int a = cur->start, b = cur->end, len = b - a + 1;
        int i = 0;
        while (i < len && text(idx)[a + i] == text(C_seq)[pos + i]) ++i;
        if (i == len) {
          node = cur;
          pos = static_cast<short>(pos + len);
          break;
        }
        if (i == 0) {
          if (cur->seq >= 0) {
            cur = cur->right;
            continue;
          }
          Node* leaf = newnode();
          *leaf = {nullptr, node, static_cast<short>(C_seq - 4000), pos, Lst};
          cur->seq = static_cast<short>(cur->seq + 4000);
          cur->right = leaf;
          return;
        }
        Node* lower = newnode();
        Node* leaf = newnode();
        *lower = {cur->child, leaf, static_cast<short>(idx), static_cast<short>(a + i),
                  static_cast<short>(b)};
        *leaf = {nullptr, cur, static_cast<short>(C_seq - 4000), static_cast<short>(pos + i), Lst};
        cur->end = static_cast<short>(a + i - 1);
        cur->child = lower;
        for (Node* x = lower->child; x; x = x->right) {
          if (x->seq < 0) {
            x->right = lower;
            break;
          }
        }
        return;
      }
    }
  }

  void build(const std::vector<std::string>& seqs) {
    P = &seqs;
    Root = newnode();
    *Root = {nullptr, nullptr, 0, 1, 0};
    for (C_seq = 0; C_seq < static_cast<short>(seqs.size()); ++C_seq) {
      Lst = static_cast<short>(seqs[static_cast<size_t>(C_seq)].size() - 1);
      for (short pos = 0; pos <= Lst; ++pos) insert(Root, pos);
    }
  }
};

struct State {
  short counter = 0;
  unsigned char K = 0;
  std::string console;
};
inline constexpr char A[4] = {'-', '\\', '|', '/'};

inline short match(const char* pattern, const char* sequence, State& st) {
  if (++st.counter > 100) {
    st.counter = 0;
    if (++st.K == 4) st.K = 0;
    st.console += A[st.K];
    st.console += '\b';
  }
  short R[6000];
  int m = static_cast<int>(std::strlen(pattern)), n = static_cast<int>(std::strlen(sequence));
  R[0] = 0;
  for (int i = 1; i <= m; ++i)
    R[i] = static_cast<short>(R[i - 1] + (pattern[i - 1] == '*' ? 0 : 1));
  for (int j = 1; j <= n; ++j) {
    char s = sequence[j - 1];
    short diag = R[0];
    R[0] = static_cast<short>(j);
    for (int i = 0; i < m; ++i) {
      char p = pattern[i];
      short cost = p == '*' ? 0 : 1;
      short sub = (p == '*' || p == s) ? 0 : 1;
      short up = R[i + 1];
      short best = static_cast<short>(diag + sub);
      if (up + cost < best) best = static_cast<short>(up + cost);
      if (R[i] + cost < best) best = static_cast<short>(R[i] + cost);
      R[i + 1] = best;
      diag = up;
    }
  }
  return R[m];
}

inline short minsam(int Tot, int Sam, short Minocc) {
  short m = 1;
  for (; m <= Sam; ++m) {
    double f = static_cast<double>(m) / Sam;
    double u = 2.58 * std::sqrt(static_cast<double>(Tot - Sam) / (Tot - 1.0));
    double se = std::sqrt((1 - f) * f / Tot);
    double c = 0.5 / Sam + u * se + f;
    if (Tot * c >= Minocc) break;
  }
  return m;
}

struct Result {
  short Minsam = 0;
  unsigned long St = 0, Ct = 0;
  std::string report;   // the motif lines
  std::string console;  // spinner and progress prints of the walk
  std::vector<std::string> MLst;
};

// The settings of a search (the console run's unless the caller sets them).
struct Settings {
  short Minlgh = 3;
  short Maxlgh = 6000;
  short Minocc = 0;
  short Minsam = 1;
  short Dist = 0;
};

// The search over P (sampled) and D (the rest) with the given settings.
inline Result search(const std::vector<std::string>& P, const std::vector<std::string>& D,
                     const Settings& s) {
  const int Sam = static_cast<int>(P.size()), Tot = Sam + static_cast<int>(D.size());
  const short Minlgh = s.Minlgh, Maxlgh = s.Maxlgh, Minocc = s.Minocc, Dist = s.Dist;
  Result r;
  r.Minsam = s.Minsam;
  Tree tree;
  tree.build(P);
  State st;
  static char B[6000];
  static short S1[6000];
  B[0] = '*';
  int depth = 1;
  S1[0] = 0;
  Node* node = tree.Root;
  while (node) {
    int idx = node->seq < 0 ? node->seq + 4000 : node->seq;
    bool climb = false;
    for (int i = node->start; i <= node->end; ++i) {
      int e = depth + (i - node->start);
      B[e] = P[static_cast<size_t>(idx)][static_cast<size_t>(i)];
      B[e + 1] = '*';
      B[e + 2] = 0;
      if (e < Minlgh) continue;
      if (e > Maxlgh) {
        climb = true;
        break;
      }
      ++r.St;
      int count = 0;
      bool fails = false;
      for (int j = 0; j < Sam && !fails; ++j) {
        if (match(B, P[static_cast<size_t>(j)].c_str(), st) <= Dist) ++count;
        if (count + Sam - j <= r.Minsam) fails = true;
      }
      for (int k = 0; k < Tot - Sam && !fails; ++k) {
        if (match(B, D[static_cast<size_t>(k)].c_str(), st) <= Dist) ++count;
        if (count + (Tot - Sam) - k <= Minocc) fails = true;
      }
      if (fails) {
        climb = true;
        break;
      }
      char line[6100];
      std::snprintf(line, sizeof line, "\t%3hd\t\t%s\n", static_cast<short>(count), B);
      r.report += line;
      r.MLst.emplace_back(B + 1, static_cast<size_t>(e));
      ++r.Ct;
      char prog[64];
      std::snprintf(prog, sizeof prog, "%c%6lu\b\b\b\b\b\b\b", A[st.K], r.Ct);
      st.console += prog;
    }
    if (!climb && node->child) {
      short len = static_cast<short>(node->end - node->start + 1);
      S1[++S1[0]] = len;
      depth += len;
      node = node->child;
      continue;
    }
    while (node->seq < 0) {
      depth -= S1[S1[0]--];
      node = node->right;
    }
    node = node->right;
  }
  r.console = st.console;
  return r;
}

// The console run's search: Minlgh 3, Maxlgh 6000, Minocc Tot / 4, Minsam from the sample
// threshold, Dist 0 unless given.
inline Result search(const std::vector<std::string>& P, const std::vector<std::string>& D,
                     short Dist = 0) {
  const int Sam = static_cast<int>(P.size()), Tot = Sam + static_cast<int>(D.size());
  Settings s;
  s.Minocc = static_cast<short>(Tot / 4);
  s.Minsam = minsam(Tot, Sam, s.Minocc);
  s.Dist = Dist;
  return search(P, D, s);
}

}  // namespace literal_ma
