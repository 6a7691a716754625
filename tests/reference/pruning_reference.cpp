#include "reference/pruning_reference.h"

namespace {
struct Table {
  std::vector<std::string> MLst;
  std::vector<float> CLst;
  std::vector<int> CLst2;
  std::vector<std::string> CLst3;
  unsigned NbMSDD = 0;
};

int RefIndex(char c) {
  for (int i = 0; i < 20; ++i)
    if (AA[static_cast<size_t>(i)] == c) return i;
  return -1;
}

void Echange(Table& t, int a, int b) {
  std::string s = t.MLst[a];
  t.MLst[a] = t.MLst[b];
  t.MLst[b] = s;
  float p = t.CLst[a];
  t.CLst[a] = t.CLst[b];
  t.CLst[b] = p;
  std::string c = t.CLst3[a];
  t.CLst3[a] = t.CLst3[b];
  t.CLst3[b] = c;
  int m = t.CLst2[a];
  t.CLst2[a] = t.CLst2[b];
  t.CLst2[b] = m;
}

void RefTri(Table& t, int lo, int hi) {
  if (hi <= lo) return;
  float pivot = t.CLst[hi];
  int a = lo - 1, b = hi;
  do {
    a++;
    while (t.CLst[a] > pivot) a++;
    b--;
    while (pivot > t.CLst[b] && b > lo) b--;
    if (a < b) Echange(t, a, b);
  } while (a < b);
  Echange(t, a, hi);
  RefTri(t, lo, a - 1);
  RefTri(t, a + 1, hi);
}

void RefDelete(Table& t, unsigned count, unsigned index) {
  for (unsigned k = index; k + 1 < count; ++k) {
    t.MLst[k] = t.MLst[k + 1];
    t.CLst[k] = t.CLst[k + 1];
    t.CLst2[k] = t.CLst2[k + 1];
    t.CLst3[k] = t.CLst3[k + 1];
  }
}
}  // namespace

int ReferenceSubstitute(const Matrix& MS, float score, const std::string& first,
                        const std::string& second) {
  size_t n = first.size();
  float self = 0;
  for (size_t p = 0; p < n; ++p) {
    int a = RefIndex(first[p]);
    if (a < 0) return 0;
    self = self + MS[a][a];
  }
  float pair = 0;
  for (size_t p = 0; p < n; ++p) {
    if (p >= second.size()) return 0;
    int a = RefIndex(first[p]);
    int b = RefIndex(second[p]);
    if (b < 0) return 0;
    int v = MS[a][b];
    if (v < 0) return 0;
    pair = pair + v;
  }
  float ratio = pair / self;
  return ratio > score ? 1 : 0;
}

std::vector<ReferenceEntry> ReferencePrune(const std::vector<ReferenceEntry>& entries,
                                           const Matrix& MS, float score) {
  Table t;
  for (const auto& e : entries) {
    t.MLst.push_back(e.text);
    t.CLst.push_back(0);
    t.CLst2.push_back(0);
    t.CLst3.push_back(e.className);
  }
  t.NbMSDD = static_cast<unsigned>(entries.size());

  for (unsigned i = 0; i < t.NbMSDD; ++i) {
    t.CLst2[i] = 0;
    t.CLst[i] = 1.0f;
    for (char c : t.MLst[i]) {
      int x = RefIndex(c);
      if (x < 0) continue;  // no matrix row: factor 1
      float s = 0;
      for (int k = 0; k < 20; ++k)
        if (k != x && MS[x][k] > 0) s = s + MS[x][k];
      float factor = MS[x][x] / (MS[x][x] + s);
      t.CLst[i] = t.CLst[i] * factor;
    }
    t.CLst[i] = 1.0f - t.CLst[i];
  }

  unsigned i = 0;
  while (i < t.NbMSDD) {
    size_t L = t.MLst[i].size();
    unsigned j = i;
    while (j < t.NbMSDD && t.MLst[j].size() >= L) j++;
    RefTri(t, static_cast<int>(i), static_cast<int>(j) - 1);
    i = j;
  }

  for (int k = static_cast<int>(t.NbMSDD) - 1; k >= 0; --k) {
    if (t.CLst[k] == 0) {
      t.CLst2[k] = 1;
      continue;
    }
    int found = -1;
    for (int j = 0; j < k; ++j) {
      if (t.MLst[j].size() == t.MLst[k].size() &&
          ReferenceSubstitute(MS, score, t.MLst[j], t.MLst[k]) == 1) {
        found = j;
        break;
      }
    }
    if (found >= 0)
      t.CLst2[found] = 1;
    else
      t.CLst2[k] = 1;
  }

  unsigned k = 0;
  while (k < t.NbMSDD) {
    if (t.CLst2[k] == 0) {
      RefDelete(t, t.NbMSDD, k);
      t.NbMSDD--;
    } else {
      k++;
    }
  }

  std::vector<ReferenceEntry> kept;
  for (unsigned m = 0; m < t.NbMSDD; ++m) kept.push_back({t.MLst[m], t.CLst[m], t.CLst3[m]});
  return kept;
}
