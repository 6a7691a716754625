// Output files and folders written under temporary names and put in place at the end.
#include "workflow/staged_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/run_exit.h"
#include "workflow/signal_cleanup.h"

namespace fs = std::filesystem;
using signal_cleanup::HeldSignals;

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

bool same_file(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The file `path` names ("-": the descriptor `standard`), if there is one.
std::optional<struct stat> identity(const std::string& path, int standard) {
  struct stat st {};
  if (path == "-" ? ::fstat(standard, &st) != 0 : ::stat(path.c_str(), &st) != 0)
    return std::nullopt;
  return st;
}

// The template of a temporary beside `path`: short, so that any name the file system takes for
// the output fits, and a dot-name, out of sight of a plain listing.
std::vector<char> temporary_beside(const std::string& path) {
  const size_t slash = path.rfind('/');
  std::string name = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  name += ".protfeat-XXXXXX";
  return {name.c_str(), name.c_str() + name.size() + 1};
}

std::string without_trailing_slashes(std::string p) {
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  return p;
}

// The real path of an existing file (links resolved), or `path` itself.
std::string resolved(const std::string& path) {
  std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : path;
}
}  // namespace

void refuse_output_over_inputs(const std::string& path, const std::vector<std::string>& inputs) {
  std::vector<std::pair<std::string, struct stat>> files;
  for (const std::string& in : inputs)
    if (const auto st = identity(in, STDIN_FILENO); st && S_ISREG(st->st_mode))
      files.emplace_back(in == "-" ? "standard input" : in, *st);
  auto check = [&](const std::string& output) {
    const auto st = identity(output, STDOUT_FILENO);
    if (!st) return;
    for (const auto& [name, in] : files)
      if (same_file(*st, in))
        fail(1, "the output \"%s\" is the same file as the input \"%s\": choose another output",
             output == "-" ? "standard output" : output.c_str(), name.c_str());
  };
  check(path);
  std::error_code ec;
  if (path == "-" || !fs::is_directory(path, ec)) return;
  for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::end(it);
       it.increment(ec))
    check(it->path().string());
}

StagedFile::StagedFile(const std::string& path) {
  const std::optional<struct stat> old = identity(path, STDOUT_FILENO);
  const std::optional<struct stat> standard = identity("-", STDOUT_FILENO);
  onStandardOutput_ = path == "-" || (old && standard && same_file(*old, *standard));
  const std::string name = path == "-" ? "standard output" : path;
  int fd = -1;
  if (onStandardOutput_) {
    fd = ::dup(STDOUT_FILENO);
  } else if (old && !S_ISREG(old->st_mode)) {
    fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);  // a device or a FIFO: never replaced
  } else {
    target_ = old ? resolved(path) : path;
    std::vector<char> temp = temporary_beside(target_);
    HeldSignals held;
    fd = ::mkstemp(temp.data());
    if (fd >= 0) {
      temp_ = temp.data();
      entry_ = signal_cleanup::add(temp_, signal_cleanup::Kind::File, name);
    }
  }
  if (fd < 0) fail_system(errno, "%s", creation_failure_text(name, errno).c_str());
  if (temp_.empty()) {
    HeldSignals held;
    entry_ = signal_cleanup::add("", signal_cleanup::Kind::File, name);
  } else if (old) {
    // The replaced file's owner where we may give it (best effort), and its mode.
    const int owned = ::fchown(fd, old->st_uid, old->st_gid);
    (void)owned;
    ::fchmod(fd, old->st_mode & 07777);
  } else {
    ::fchmod(fd, 0666 & ~creation_mask());
  }
  try {
    out_ = OutFile::on_descriptor(fd, name);
  } catch (...) {
    signal_cleanup::remove(entry_);
    throw;
  }
}

StagedFile::~StagedFile() {
  if (committed_) return;
  out_.reset();
  signal_cleanup::remove(entry_);
}

void StagedFile::commit() {
  out_->close();
  HeldSignals held;
  if (!temp_.empty() && std::rename(temp_.c_str(), target_.c_str()) != 0)
    fail_system(errno, "%s", write_failure_text(out_->name(), errno).c_str());
  committed_ = true;
  signal_cleanup::drop(entry_);
}

void StagedFolder::check(const std::string& path) {
  std::error_code ec;
  if (fs::exists(path, ec) && !fs::is_directory(path, ec))
    fail(1, "\"%s\" is a file, not a folder: give -d a folder that does not exist, or is empty",
         path.c_str());
  if (fs::exists(path, ec) && !fs::is_empty(path, ec))
    fail(1, "the folder \"%s\" exists and is not empty", path.c_str());
}

StagedFolder::StagedFolder(std::string path) : path_(without_trailing_slashes(std::move(path))) {
  check(path_);
  struct stat old {};
  const mode_t mode =
      ::stat(path_.c_str(), &old) == 0 ? old.st_mode & 07777 : 0777 & ~creation_mask();
  HeldSignals held;
  std::vector<char> name = temporary_beside(path_);
  if (!::mkdtemp(name.data()))
    fail_system(errno, "cannot create the folder \"%s\": %s", path_.c_str(), std::strerror(errno));
  temp_ = name.data();
  entries_.push_back(signal_cleanup::add(temp_, signal_cleanup::Kind::Folder, path_));
  ::chmod(temp_.c_str(), mode);
}

StagedFolder::~StagedFolder() {
  if (committed_) return;
  HeldSignals held;
  for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) signal_cleanup::remove(*e);
}

void StagedFolder::add_folder(const std::string& relative) {
  HeldSignals held;
  if (::mkdir(inside(relative).c_str(), 0777) != 0)
    fail_system(errno, "cannot create the folder \"%s\": %s", final_name(relative).c_str(),
                std::strerror(errno));
  entries_.push_back(
      signal_cleanup::add(inside(relative), signal_cleanup::Kind::Folder, final_name(relative)));
}

OutFile StagedFolder::add_file(const std::string& relative) {
  int fd;
  {
    HeldSignals held;
    fd = ::open(inside(relative).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
      fail_system(errno, "%s", creation_failure_text(final_name(relative), errno).c_str());
    entries_.push_back(
        signal_cleanup::add(inside(relative), signal_cleanup::Kind::File, final_name(relative)));
  }
  return OutFile::on_descriptor(fd, final_name(relative));
}

void StagedFolder::commit() {
  HeldSignals held;
  // rename replaces an empty folder of the final name, and refuses a folder that is not empty.
  if (std::rename(temp_.c_str(), path_.c_str()) != 0)
    fail_system(errno, "cannot write the folder \"%s\": %s", path_.c_str(), std::strerror(errno));
  committed_ = true;
  for (uint64_t e : entries_) signal_cleanup::drop(e);
}
