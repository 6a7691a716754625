// Opening input files and reading whole lines.
#include "core/files.h"

#include <sys/stat.h>

InFile open_input(const std::string& name) {
  FILE* f = std::fopen(name.c_str(), "r");
  if (!f) return InFile();
  struct stat st {};
  if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
    std::fclose(f);
    return InFile();
  }
  return InFile(f);
}

bool read_line(FILE* f, std::string& line, bool* ended) {
  line.clear();
  int c;
  bool any = false;
  while ((c = std::getc(f)) != EOF) {
    any = true;
    if (c == '\n') {
      if (ended) *ended = true;
      return true;
    }
    line.push_back(static_cast<char>(c));
  }
  if (ended) *ended = false;
  return any;
}
