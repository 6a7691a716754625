// Runs the built program as a user would: in a fresh temporary folder, with given arguments and
// standard input, capturing standard output, standard error and the exit status.
#pragma once
#include <sys/resource.h>
#include <sys/types.h>

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
  // Every file of the folder, below it too, by its path in the folder, with its bytes (a link:
  // where it points; a folder: "(folder)").
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

// How a program left running starts: the signals it finds ignored (as nohup leaves them; every
// other has its default action and none is blocked), and the resource limits it gets.
struct StartOptions {
  std::vector<int> ignored;
  std::vector<std::pair<int, rlim_t>> limits;  // setrlimit resource and limit, soft and hard
};

// The program started in `dir` and left running, for tests that act on a run in progress. Its
// standard input is a pipe that stays open until wait(); standard output and standard error go
// to files outside `dir`, so that the folder holds only what the program made there.
class RunningProgram {
 public:
  RunningProgram(const TempDir& dir, const std::vector<std::string>& args,
                 const StartOptions& options = {});
  ~RunningProgram();  // kills a run still going
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  void send_input(const std::string& bytes);
  void signal(int sig) const;
  // Whether the run has ended.
  bool finished();
  // Closes standard input and waits for the end (killed after `timeout_s` seconds: status 137).
  ProgramResult wait(int timeout_s = 60);

 private:
  TempDir logs_;
  pid_t pid_ = -1;
  int input_ = -1;
  int status_ = -1;  // once finished
};

// The path of a file of the source tree.
std::string source_path(const std::string& relative);
// The whole bytes of a file.
std::string read_file(const std::string& path);
