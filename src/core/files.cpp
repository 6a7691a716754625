// Opening input files and reading whole lines.
#include "core/files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/run_exit.h"

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

std::string read_whole_file(const std::string& path, const char* what) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    fail_system(errno, "cannot open the %s \"%s\": %s", what, path.c_str(), std::strerror(errno));
  if (S_ISDIR(st.st_mode)) fail_system(EISDIR, "the %s \"%s\" is a folder", what, path.c_str());
  std::ifstream f(path, std::ios::binary);
  if (!f)
    fail_system(errno, "cannot open the %s \"%s\": %s", what, path.c_str(), std::strerror(errno));
  std::ostringstream ss;
  ss << f.rdbuf();
  if (f.bad()) fail_system(EIO, "cannot read the %s \"%s\"", what, path.c_str());
  return ss.str();
}

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t p = 0;
  while (p < text.size()) {
    size_t e = text.find('\n', p);
    if (e == std::string_view::npos) e = text.size();
    std::string_view line = text.substr(p, e - p);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    p = e + 1;
  }
  return lines;
}
