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
