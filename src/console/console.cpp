// The console's text writer and its prompt reader.
#include "console/console.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cstdarg>

#include "core/files.h"
#include "core/progress.h"
#include "core/run_exit.h"
#include "core/text_format.h"

void Console::print(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::string s = vformat_text(fmt, ap);
  va_end(ap);
  write(s);
}

void Console::write(std::string_view text) {
  // A progress line on the terminal is erased before the text, never mixed with it.
  if (out_ == stdout) progress::note_output(text);
  std::fwrite(text.data(), 1, text.size(), out_);
}

namespace {
// An answer typed on the terminal is echoed with its line end.
void note_typed(FILE* in) {
  if (isatty(fileno(in)) == 1) progress::note_line_typed();
}
}  // namespace

void Console::flush() { std::fflush(out_); }

std::string Console::read_answer() {
  flush();
  std::string line;
  bool ended = false;
  if (!read_line(in_, line, &ended)) fail(1, "unexpected end of input");
  if (ended) note_typed(in_);
  return line;
}

std::optional<std::string> Console::read_word() {
  flush();
  int c;
  do {
    c = std::getc(in_);
  } while (c != EOF && std::isspace(c));
  if (c == EOF) return std::nullopt;
  std::string word;
  while (c != EOF && !std::isspace(c)) {
    word.push_back(static_cast<char>(c));
    c = std::getc(in_);
  }
  if (c != EOF) std::ungetc(c, in_);
  note_typed(in_);
  return word;
}

void Console::discard_rest_of_line() {
  int c;
  while ((c = std::getc(in_)) != EOF && c != '\n') {
  }
}

int Console::getch() {
  flush();
  termios kept{};
  int got = tcgetattr(fileno(in_), &kept);
  if (got == 0) {
    termios raw = kept;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    tcsetattr(fileno(in_), TCSANOW, &raw);
  }
  int c = std::getc(in_);
  if (got == 0) tcsetattr(fileno(in_), TCSANOW, &kept);
  return c;
}
