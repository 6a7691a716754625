// Progress of long work on standard error, only when standard error is a terminal: one line
// redrawn in place and erased when the work ends. When standard error is redirected nothing is
// printed; standard output is never touched.
//
// When standard output is the same terminal, the program's own texts stay intact: every text the
// console writes erases the progress line first, and a line drawn after a partial output line
// (a prompt, "deb Discriminate") is drawn after that text, so erasing it rewrites the text.
#pragma once
#include <string>
#include <string_view>

namespace progress {

// Whether progress is shown (standard error is a terminal, and progress is not silenced).
bool enabled();
// No progress from now on, in any thread: for a process whose caller owns the terminal (the
// Python module, whose calls may run in several threads at once).
void silence();

// Redraws the progress line (printf format). The first line after a clear appears at once;
// later ones at most every 100 ms, so it may be called often from a long loop (still, check a
// counter first in hot loops: formatting costs).
void show(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Erases the progress line, if one is shown; the next show draws at once. Call it at the end of
// every phase.
void clear();

// The console calls this before it writes `text` on standard output: a shown line is erased
// first, and the terminal line that standard output leaves unfinished is followed.
void note_output(std::string_view text);

// A line typed on the terminal was read: its echo left the cursor at the start of a line.
void note_line_typed();

// The unfinished last line of standard output on the terminal, as the console wrote it.
class LineTail {
 public:
  void feed(std::string_view text);
  void reset();
  const std::string& text() const { return text_; }
  // The text is too long to be rewritten in place (the terminal may have wrapped it).
  bool overlong() const { return overlong_; }
  // The terminal column the cursor stands at after the text (tabs of 8, backspaces).
  int column() const;

 private:
  std::string text_;
  bool overlong_ = false;
};

// The bytes that draw `line` after `tail` on a terminal `width` columns wide: the line is cut
// to fit on the terminal line; empty when there is no room at all.
std::string draw_bytes(const LineTail& tail, std::string_view line, int width);
// The bytes that erase a drawn line and leave the tail as the console wrote it.
std::string erase_bytes(const LineTail& tail);

}  // namespace progress
