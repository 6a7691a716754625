// The outputs in progress, removed when a signal ends the run. A run ended by SIGINT, SIGTERM,
// SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE or SIGXFSZ first removes every path still
// on the list (in the reverse order of their adding, so a folder's files and subfolders go
// before it), then ends by the same signal with its default action, so that the shell sees
// 128 + the signal's number. A signal that was ignored when the first path was added stays
// ignored (nohup). SIGXFSZ also writes the error line of the file being written.
//
// The handler only reads the list and calls unlink, rmdir, write and sigaction. The list changes
// only with the signals blocked (`HeldSignals`), and threads started while they are held keep
// them blocked for good, so the handler runs on the thread that changes the list and never in
// the middle of a change. Outputs are made on one thread.
#pragma once
#include <signal.h>

#include <cstdint>
#include <string>

namespace signal_cleanup {

// Blocks the signals above on this thread while it lives. Hold them from the creation of a path
// to its adding, from a rename to the path's removal from the list, and around the start of
// threads that must never run the handler.
class HeldSignals {
 public:
  HeldSignals();
  ~HeldSignals();
  HeldSignals(const HeldSignals&) = delete;
  HeldSignals& operator=(const HeldSignals&) = delete;

 private:
  sigset_t previous_;
};

enum class Kind { File, Folder };

// From now on no handler is installed: the process keeps its own (the Python module, whose
// interpreter turns SIGINT into KeyboardInterrupt). Outputs are still removed when their owners
// fail; the list may then change on several threads.
void leave_signals_alone();

// Adds `path` (empty: nothing to remove) and the name that an "error:" line gives the output it
// stands for, when SIGXFSZ stops a write to the last file added. Call it with the signals held.
uint64_t add(std::string path, Kind kind, const std::string& outputName);
// Takes a path off the list (committed, or removed by its owner). Call it with the signals held.
void drop(uint64_t entry);
// Removes the path of an entry as the handler would, and drops it.
void remove(uint64_t entry);

}  // namespace signal_cleanup
