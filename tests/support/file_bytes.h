// The whole bytes of a file, for tests and fuzz targets that check what the program wrote.
#pragma once
#include <cstdio>
#include <string>

inline std::string file_bytes(const char* path) {
  std::string bytes;
  FILE* f = std::fopen(path, "rb");
  if (!f) return bytes;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  std::fclose(f);
  return bytes;
}
