// Runs the built program as a user would: in a fresh temporary folder, with given arguments and
// standard input, capturing standard output, standard error and the exit status.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct ProgramResult {
  std::string out;
  std::string err;
  int status = -1;  // exit status, or 128 + signal
};

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  // Writes a file in the folder (binary, exact bytes).
  void write(const std::string& name, const std::string& bytes) const;
  // Reads a file of the folder (exact bytes); empty when missing.
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;
  // Every file of the folder, below it too, by its path in the folder, with its bytes.
  std::map<std::string, std::string> contents() const;

 private:
  std::filesystem::path path_;
};

// Runs the program in `dir` with `args` (the program name excluded) and `input` on standard
// input; standard input is closed after `input` unless `keep_input_open`. Killed after
// `timeout_s` seconds (status 137).
ProgramResult run_program(const TempDir& dir, const std::vector<std::string>& args,
                          const std::string& input, int timeout_s = 120,
                          bool keep_input_open = false);

// The path of a file of the source tree.
std::string source_path(const std::string& relative);
// The whole bytes of a file.
std::string read_file(const std::string& path);
