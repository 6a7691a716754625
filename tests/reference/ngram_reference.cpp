#include "reference/ngram_reference.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/arff.h"

namespace {
struct NgramCell {
  char text[16];
  int32_t count;
  int32_t seqcount;
  int32_t pos;
  int32_t mark;
  NgramCell* next;
};

NgramCell* NewNoeud(const char* ngram, int pos) {
  NgramCell* c = static_cast<NgramCell*>(std::malloc(sizeof(NgramCell)));
  std::strcpy(c->text, ngram);
  c->count = 1;
  c->seqcount = 1;
  c->pos = pos;
  c->mark = 1;
  c->next = nullptr;
  return c;
}

void InsertQueud(NgramCell* first, NgramCell* cell) {
  while (first->next) first = first->next;
  first->next = cell;
}

void LireNgram(int start, const char* seq, char* buf, int n) {
  int i = 0;
  while (i < n && seq[start + i] != '\0' && seq[start + i] != '\n') {
    buf[i] = seq[start + i];
    ++i;
  }
  buf[i] = '\0';
}

void CreateListe(int pos, const char* ngram, NgramCell** head) {
  if (!*head) {
    *head = NewNoeud(ngram, pos);
    return;
  }
  for (NgramCell* c = *head; c; c = c->next) {
    if (std::strcmp(c->text, ngram) == 0) {
      ++c->count;
      return;
    }
  }
  InsertQueud(*head, NewNoeud(ngram, pos));
}

NgramCell* Repeat(const char* seq, NgramCell* head, char* buf, int n) {
  for (int p = 0; seq[p] != '\0'; ++p) {
    LireNgram(p, seq, buf, n);
    if (static_cast<int>(std::strlen(buf)) == n) CreateListe(p, buf, &head);
  }
  return head;
}

// The join goes past sequences without any n-gram instead of stopping at them.
NgramCell* OneListe(std::vector<NgramCell*>& heads, int& total) {
  total = 0;
  NgramCell* first = nullptr;
  NgramCell* tail = nullptr;
  for (NgramCell* h : heads) {
    if (!h) continue;
    if (!first) first = h;
    if (tail) tail->next = h;
    tail = h;
    ++total;
    while (tail->next) {
      tail = tail->next;
      ++total;
    }
  }
  return first;
}

NgramCell* Allvariable(NgramCell* first) {
  for (NgramCell* q = first; q && q->next; q = q->next) {
    NgramCell* s = q;
    NgramCell* r = q->next;
    while (r) {
      if (std::strcmp(r->text, q->text) == 0) {
        ++q->seqcount;
        s->next = r->next;
        std::free(r);
        r = s->next;
      } else {
        s = r;
        r = r->next;
      }
    }
  }
  return first;
}

int Nbvariable(NgramCell* first) {
  int n = 0;
  for (; first; first = first->next) ++n;
  return n;
}

std::string take(FILE* f) {
  std::fflush(f);
  long size = std::ftell(f);
  std::rewind(f);
  std::string bytes(static_cast<size_t>(size), '\0');
  if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) bytes.clear();
  std::fclose(f);
  return bytes;
}
}  // namespace

RefNgOutput ReferenceNgRun(const std::vector<std::string>& sequences, int n,
                           const RefClassLabels* classes) {
  RefNgOutput out;
  std::vector<NgramCell*> heads(sequences.size(), nullptr);
  char buf[16];
  for (size_t i = 0; i < sequences.size(); ++i)
    heads[i] = Repeat(sequences[i].c_str(), heads[i], buf, n);
  NgramCell* Liste = Allvariable(OneListe(heads, out.cells));
  out.nbvar = Nbvariable(Liste);
  for (NgramCell* c = Liste; c; c = c->next) {
    out.texts.push_back(c->text);
    out.seqcount.push_back(c->seqcount);
    out.count.push_back(c->count);
    out.pos.push_back(c->pos);
  }

  FILE* Context = std::tmpfile();
  FILE* ContextDAT = std::tmpfile();
  FILE* ContextARFF = std::tmpfile();
  const int Tot = static_cast<int>(sequences.size());

  std::fprintf(ContextARFF, "@relation Context\n\n");
  for (NgramCell* c = Liste; c; c = c->next)
    std::fprintf(ContextARFF, "@attribute %s {1,0}\n", arff_quote(c->text).c_str());
  if (classes) {
    std::fprintf(ContextARFF, "@attribute class {");
    for (size_t j = 0; j < classes->names.size(); ++j)
      std::fprintf(ContextARFF, "%s%s", j > 0 ? "," : "", arff_quote(classes->names[j]).c_str());
    std::fprintf(ContextARFF, "}\n");
  }
  std::fprintf(ContextARFF, "\n@data\n");

  std::fprintf(Context, "#motifs number\n%d\n#motifs\n", out.nbvar);
  for (NgramCell* c = Liste; c; c = c->next) std::fprintf(Context, "%s\n", c->text);
  if (classes) {
    std::fprintf(Context, "#classes number\n%d\n#classes\n", classes->count);
    for (const std::string& name : classes->names) std::fprintf(Context, "%s\n", name.c_str());
  }
  std::fprintf(Context, "#instances number\n%d\n#context\n", Tot);

  if (classes) {
    std::fprintf(ContextDAT, "%d %d %d\n", Tot, out.nbvar, classes->count);
    for (NgramCell* c = Liste; c; c = c->next) std::fprintf(ContextDAT, "%s 2 1 1\n", c->text);
    std::fprintf(ContextDAT, "\n");
  }

  for (int i = 0; i < Tot; ++i) {
    const char* seq = sequences[static_cast<size_t>(i)].c_str();
    for (NgramCell* c = Liste; c; c = c->next)
      std::fprintf(ContextARFF, "%s%d", c == Liste ? "" : ",", std::strstr(seq, c->text) ? 1 : 0);
    if (classes)
      std::fprintf(ContextARFF, "%s%s", Liste ? "," : "",
                   arff_quote(classes->labels[static_cast<size_t>(i)]).c_str());
    std::fprintf(ContextARFF, "\n");

    for (NgramCell* c = Liste; c; c = c->next)
      std::fprintf(Context, "%s%d", c == Liste ? "" : ",", std::strstr(seq, c->text) ? 1 : 0);
    if (classes) {
      for (size_t j = 0; j < classes->names.size(); ++j)
        std::fprintf(Context, "%s%d", (Liste || j > 0) ? "," : "",
                     classes->names[j] == classes->labels[static_cast<size_t>(i)] ? 1 : 0);
    }
    std::fprintf(Context, "\n");

    if (classes) {
      std::fprintf(ContextDAT, "%i", i + 1);
      for (NgramCell* c = Liste; c; c = c->next)
        std::fprintf(ContextDAT, " %d", std::strstr(seq, c->text) ? 1 : 0);
      std::fprintf(ContextDAT, " %s\n", classes->labels[static_cast<size_t>(i)].c_str());
    }
  }
  out.context = take(Context);
  out.dat = take(ContextDAT);
  out.arff = take(ContextARFF);

  while (Liste) {
    NgramCell* next = Liste->next;
    std::free(Liste);
    Liste = next;
  }
  return out;
}
