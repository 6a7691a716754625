// Output files and folders written under temporary names and renamed at the end.
#include "workflow/staged_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/run_exit.h"

namespace {
// The permissions a plain creation would give: mkstemp and mkdtemp make private files.
mode_t creation_mask() {
  static const mode_t mask = [] {
    const mode_t m = ::umask(0);
    ::umask(m);
    return m;
  }();
  return mask;
}

// Temporary files in progress, removed by the signal handler when the user interrupts the run
// (unlink is safe to call there). A slot holds a name from creation to commit or removal.
constexpr size_t kSlots = 64;
std::atomic<const char*> gInProgress[kSlots];

void remove_in_progress(int sig) {
  for (auto& slot : gInProgress)
    if (const char* name = slot.load()) ::unlink(name);
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void watch(const char* name) {
  static const bool installed = [] {
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) std::signal(sig, remove_in_progress);
    return true;
  }();
  (void)installed;
  for (auto& slot : gInProgress) {
    const char* empty = nullptr;
    if (slot.compare_exchange_strong(empty, name)) return;
  }
}

void unwatch(const char* name) {
  for (auto& slot : gInProgress) {
    const char* mine = name;
    if (slot.compare_exchange_strong(mine, nullptr)) return;
  }
}

std::string without_trailing_slashes(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}
}  // namespace

StagedFile::StagedFile(std::string path) : path_(std::move(path)) {
  std::vector<char> name(path_.begin(), path_.end());
  for (char c : std::string(".tmp-XXXXXX")) name.push_back(c);
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) fail(1, "cannot create the file \"%s\": %s", path_.c_str(), std::strerror(errno));
  temp_ = name.data();
  watch(temp_.c_str());
  ::fchmod(fd, 0666 & ~creation_mask());
  ::close(fd);
  out_ = OutFile::create(temp_);
}

StagedFile::~StagedFile() {
  if (committed_) return;
  out_.reset();
  ::unlink(temp_.c_str());
  unwatch(temp_.c_str());
}

void StagedFile::commit() {
  out_->close();
  if (std::rename(temp_.c_str(), path_.c_str()) != 0)
    fail(1, "cannot write the file \"%s\": %s", path_.c_str(), std::strerror(errno));
  committed_ = true;
  unwatch(temp_.c_str());
}

StagedFolder::StagedFolder(std::string path) : path_(without_trailing_slashes(std::move(path))) {
  std::error_code ec;
  if (std::filesystem::exists(path_, ec) && !std::filesystem::is_empty(path_, ec))
    fail(1, "the folder \"%s\" exists and is not empty", path_.c_str());
  std::vector<char> name(path_.begin(), path_.end());
  for (char c : std::string(".tmp-XXXXXX")) name.push_back(c);
  name.push_back('\0');
  if (!::mkdtemp(name.data()))
    fail(1, "cannot create the folder \"%s\": %s", path_.c_str(), std::strerror(errno));
  temp_ = name.data();
  ::chmod(temp_.c_str(), 0777 & ~creation_mask());
}

StagedFolder::~StagedFolder() {
  if (committed_) return;
  std::error_code ec;
  std::filesystem::remove_all(temp_, ec);
}

void StagedFolder::commit() {
  // rename replaces an empty folder of the final name, and refuses a folder that is not empty.
  if (std::rename(temp_.c_str(), path_.c_str()) != 0)
    fail(1, "cannot write the folder \"%s\": %s", path_.c_str(), std::strerror(errno));
  committed_ = true;
}
