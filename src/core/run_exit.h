// Ending a run early, and the program's own diagnostics. A run never calls exit(): it throws
// RunExit, which main turns into the exit status after the open files have been flushed.
// Diagnostics that the program's own texts do not define go to standard error as one line,
// "error: ..." or "warning: ...", on a line of their own (a progress line is erased first).
#pragma once
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <string_view>

struct RunExit {
  int status;
};

// Writes "error: <message>\n" to standard error (printf format) and ends the run with status.
[[noreturn]] void fail(int status, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// The same (status 1) for what the system refused rather than what the input holds: a file that
// cannot be opened, read, created or written, a thread that cannot start. `err` is the errno (0
// when there is none).
[[noreturn]] void fail_system(int err, const char* fmt, ...) __attribute__((format(printf, 2, 3)));

// The last error line of this thread (fail, fail_system, report_error), without "error: ", for
// callers that turn a failure into an error of their own (the Python module).
struct LastError {
  std::string message;
  bool system = false;  // from fail_system
  int err = 0;          // its errno
};
const LastError& last_error();

// From now on error lines are kept (last_error) but not written, in every thread: for a process
// whose caller reports the errors itself. Warnings are still written.
void keep_errors_quiet();

// Writes "error: <message>\n" to standard error (printf format) without ending anything.
void report_error(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Writes "warning: <message>\n" to standard error (printf format); the run goes on.
void warn(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A text read from a file (a class name, a label) as a diagnostic shows it: a backslash doubled
// and every control byte written as \xNN, so that the diagnostic stays one visible line.
std::string diagnostic_text(std::string_view text);

// Ends the run with status, printing nothing.
[[noreturn]] void end_run(int status);

void finish_output();  // erases a progress line and flushes standard output

// The exit status of a whole run: the status `body` returns, or a RunExit's. Exhausted memory
// calls `no_memory` and gives 1; any other exception gives one "error:" line and 1, instead of an
// abort. Ends with the progress line erased and standard output flushed.
template <class Body, class NoMemory>
int exit_status_of(Body&& body, NoMemory&& no_memory) {
  int status;
  try {
    status = body();
  } catch (const RunExit& e) {
    status = e.status;
  } catch (const std::bad_alloc&) {
    no_memory();
    status = 1;
  } catch (const std::exception& e) {
    report_error("%s", e.what());
    status = 1;
  }
  finish_output();
  return status;
}
