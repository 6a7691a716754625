// The list of outputs in progress and the handler that removes them.
#include "workflow/signal_cleanup.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <vector>

#include "core/out_file.h"

namespace signal_cleanup {
namespace {
constexpr int kSignals[] = {SIGINT,  SIGTERM, SIGHUP,  SIGQUIT, SIGUSR1,
                            SIGUSR2, SIGALRM, SIGPIPE, SIGXFSZ};

struct Entry {
  uint64_t id;
  std::string path;
  Kind kind;
  std::string tooLarge;  // the error line of a write stopped by SIGXFSZ
};

// Read by the handler, changed only with the signals held, and under the mutex (the Python
// module makes outputs on several threads; it installs no handler).
std::vector<Entry>& entries() {
  static std::vector<Entry> list;
  return list;
}
std::mutex& entries_mutex() {
  static std::mutex m;
  return m;
}
std::atomic<bool> signalsLeftAlone{false};

void erase_entry(uint64_t entry) {
  std::vector<Entry>& list = entries();
  list.erase(
      std::remove_if(list.begin(), list.end(), [&](const Entry& e) { return e.id == entry; }),
      list.end());
}

sigset_t signal_set() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kSignals) sigaddset(&set, sig);
  return set;
}

void remove_path(const Entry& e) {
  if (e.path.empty()) return;
  if (e.kind == Kind::Folder)
    ::rmdir(e.path.c_str());
  else
    ::unlink(e.path.c_str());
}

void on_signal(int sig) {
  const int savedErrno = errno;
  const std::vector<Entry>& list = entries();
  for (auto e = list.rbegin(); e != list.rend(); ++e) remove_path(*e);
  if (sig == SIGXFSZ) {
    const auto last = std::find_if(list.rbegin(), list.rend(),
                                   [](const Entry& e) { return e.kind == Kind::File; });
    if (last != list.rend()) {
      const ssize_t written = ::write(STDERR_FILENO, last->tooLarge.data(), last->tooLarge.size());
      (void)written;  // nothing more to do when standard error is gone
    }
  }
  // The disposition went back to the default on entry (SA_RESETHAND), and the signal is not
  // blocked in its own handler (SA_NODEFER): raising it again ends the run by it.
  ::raise(sig);
  errno = savedErrno;
}

void install() {
  struct sigaction action {};
  action.sa_handler = on_signal;
  action.sa_mask = signal_set();
  action.sa_flags = static_cast<int>(SA_RESETHAND | SA_NODEFER);
  for (int sig : kSignals) {
    struct sigaction previous {};
    if (::sigaction(sig, nullptr, &previous) == 0 && previous.sa_handler != SIG_IGN)
      ::sigaction(sig, &action, nullptr);
  }
}
}  // namespace

HeldSignals::HeldSignals() {
  const sigset_t set = signal_set();
  ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
}

HeldSignals::~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

void leave_signals_alone() { signalsLeftAlone.store(true); }

uint64_t add(std::string path, Kind kind, const std::string& outputName) {
  if (!signalsLeftAlone.load()) {
    static const bool installed = (install(), true);
    (void)installed;
  }
  const std::string line = "error: " + write_failure_text(outputName, EFBIG) + "\n";
  const std::lock_guard<std::mutex> lock(entries_mutex());
  static uint64_t next = 0;
  entries().push_back(Entry{++next, std::move(path), kind, line});
  return next;
}

void drop(uint64_t entry) {
  const std::lock_guard<std::mutex> lock(entries_mutex());
  erase_entry(entry);
}

void remove(uint64_t entry) {
  HeldSignals held;
  const std::lock_guard<std::mutex> lock(entries_mutex());
  for (const Entry& e : entries())
    if (e.id == entry) remove_path(e);
  erase_entry(entry);
}

}  // namespace signal_cleanup
