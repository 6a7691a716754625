// The progress line on standard error and its erasure before every other text.
#include "core/progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>

namespace progress {
namespace {
constexpr const char* kEraseToEnd = "\033[K";
constexpr size_t kMaxTail = 256;   // longer unfinished lines are not rewritten
constexpr int kDefaultWidth = 80;  // when the terminal does not tell its width
constexpr int kMinimumRoom = 8;    // fewer free columns: no line at all
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

struct State {
  bool shown = false;  // a line is on the terminal
  bool fresh = true;   // the next show draws at once
  std::chrono::steady_clock::time_point last{};
  LineTail tail;
};

State& state() {
  static State s;
  return s;
}

bool stdout_on_terminal() {
  static const bool on = isatty(STDOUT_FILENO) == 1;
  return on;
}

int terminal_width() {
  winsize ws{};
  if (ioctl(STDERR_FILENO, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0) return ws.ws_col;
  return kDefaultWidth;
}

void put(const std::string& bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

void hide() {
  State& s = state();
  if (!s.shown) return;
  put(erase_bytes(s.tail));
  s.shown = false;
}
}  // namespace

void LineTail::feed(std::string_view text) {
  const size_t end = text.rfind('\n');
  if (end != std::string_view::npos) {
    text_.clear();
    overlong_ = false;
    text.remove_prefix(end + 1);
  }
  if (overlong_) return;
  if (text_.size() + text.size() > kMaxTail) {
    text_.clear();
    overlong_ = true;
    return;
  }
  text_.append(text);
}

void LineTail::reset() {
  text_.clear();
  overlong_ = false;
}

int LineTail::column() const {
  int col = 0;
  for (char ch : text_) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\t')
      col = (col / 8 + 1) * 8;
    else if (c == '\b')
      col = col > 0 ? col - 1 : 0;
    else if (c == '\r')
      col = 0;
    else if (c >= 0x20 && c != 0x7f && (c & 0xc0) != 0x80)
      ++col;  // one column per character
  }
  return col;
}

std::string draw_bytes(const LineTail& tail, std::string_view line, int width) {
  if (tail.overlong()) return {};
  const int gap = tail.text().empty() ? 0 : 1;
  // The last column stays free: a terminal that wraps there would break the rewrite.
  const int room = width - 1 - tail.column() - gap;
  if (room < kMinimumRoom) return {};
  if (line.size() > static_cast<size_t>(room)) line = line.substr(0, static_cast<size_t>(room));
  std::string bytes = "\r" + tail.text() + kEraseToEnd;
  if (gap) bytes += ' ';
  bytes.append(line);
  return bytes;
}

std::string erase_bytes(const LineTail& tail) { return "\r" + tail.text() + kEraseToEnd; }

namespace {
std::atomic<bool> silenced{false};
}  // namespace

bool enabled() {
  static const bool on = isatty(STDERR_FILENO) == 1;
  return on && !silenced.load(std::memory_order_relaxed);
}

void silence() { silenced.store(true, std::memory_order_relaxed); }

void show(const char* fmt, ...) {
  if (!enabled()) return;
  State& s = state();
  const auto now = std::chrono::steady_clock::now();
  if (!s.fresh && now - s.last < kRedrawEvery) return;
  char line[160];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(line, sizeof line, fmt, ap);
  va_end(ap);
  // What the program wrote before goes to the terminal first, so the line comes after it.
  if (stdout_on_terminal()) std::fflush(stdout);
  const std::string bytes = draw_bytes(s.tail, line, terminal_width());
  s.last = now;
  s.fresh = false;
  if (bytes.empty()) {
    hide();
    return;
  }
  put(bytes);
  s.shown = true;
}

void clear() {
  if (!enabled()) return;
  hide();
  state().fresh = true;
}

void note_output(std::string_view text) {
  if (!enabled()) return;
  hide();
  if (stdout_on_terminal()) state().tail.feed(text);
}

void note_line_typed() {
  if (enabled()) state().tail.reset();
}

}  // namespace progress
