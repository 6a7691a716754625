// Input files of a run: opened for reading, closed by their owner.
#pragma once
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};
using InFile = std::unique_ptr<FILE, FileCloser>;

// Opens `name` for reading; empty when it cannot be opened or is a folder (a folder opens on
// this system but cannot be read, and must be asked for again like a missing file).
InFile open_input(const std::string& name);

// Reads one whole line of `f` into `line`, without its line end (a carriage return before it
// stays). A last line without a line end counts. Returns false at the end of the file with
// nothing read; `ended` (when given) tells whether the line had its line end.
bool read_line(FILE* f, std::string& line, bool* ended = nullptr);

// The whole bytes of `path`; ends the run (status 1) with one line naming it as `what` ("label
// file", ...) when it cannot be opened or read, or is a folder.
std::string read_whole_file(const std::string& path, const char* what);

// The lines of `text` without their line ends, a carriage return before one included (a final
// line end opens no line).
std::vector<std::string_view> split_lines(std::string_view text);
