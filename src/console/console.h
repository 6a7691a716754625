// The console of a run: the one writer of the program's printf-style texts on standard output,
// and the one prompt reader (whole-line answers, end of input, the single-key read).
#pragma once
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

class Console {
 public:
  explicit Console(FILE* out = stdout, FILE* in = stdin) : out_(out), in_(in) {}

  // Prints a program text (format_text semantics: "%\t" and "%\n" print as they stand).
  void print(const char* fmt, ...);
  void write(std::string_view text);
  void flush();

  // One answer: a whole line without its line end (a carriage return before it is kept). A last
  // line without a line end is an answer too. End of input with nothing read ends the run with
  // "error: unexpected end of input" on standard error and status 1: no prompt loops at the end.
  std::string read_answer();

  // One whitespace-delimited word, as scanf("%s") reads it: leading white space skipped, the
  // character after the word left pending. Empty optional at end of input.
  std::optional<std::string> read_word();

  // Drops what is left of the current input line, its line end included.
  void discard_rest_of_line();

  // Reads one character with the terminal of standard input switched to non-canonical input
  // without echo for that one read; when standard input is no terminal the switch fails
  // silently and the read still happens. Returns EOF at the end of input.
  int getch();

  FILE* out() const { return out_; }
  FILE* in() const { return in_; }

 private:
  FILE* out_;
  FILE* in_;
};
