#include "support/run_program.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  for (;;) {
    path_ = fs::temp_directory_path() /
            ("protfeat-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" +
             std::to_string(rd() % 100000));
    std::error_code ec;
    if (fs::create_directory(path_, ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void TempDir::write(const std::string& name, const std::string& bytes) const {
  std::ofstream f(path_ / name, std::ios::binary);
  f << bytes;
}

std::string TempDir::read(const std::string& name) const {
  return read_file((path_ / name).string());
}

bool TempDir::exists(const std::string& name) const { return fs::exists(path_ / name); }

std::map<std::string, std::string> TempDir::contents() const {
  std::map<std::string, std::string> files;
  for (const auto& e : fs::recursive_directory_iterator(path_)) {
    const std::string name = e.path().lexically_relative(path_).string();
    if (e.is_symlink())
      files[name] = "(link to " + fs::read_symlink(e.path()).string() + ")";
    else
      files[name] = e.is_directory() ? "(folder)" : read(name);
  }
  return files;
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::string source_path(const std::string& relative) {
  return std::string(PROTFEAT_SOURCE_DIR) + "/" + relative;
}

namespace {
// In a child: the program in `dir` with `args`; never returns.
[[noreturn]] void exec_program(const TempDir& dir, const std::vector<std::string>& args) {
  if (chdir(dir.path().c_str()) != 0) _exit(126);
  std::vector<char*> argv;
  std::string prog = PROTFEAT_BINARY;
  argv.push_back(prog.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(prog.c_str(), argv.data());
  _exit(127);
}

int status_of(int waitStatus) {
  return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}
}  // namespace

ProgramResult run_program(const TempDir& dir, const std::vector<std::string>& args,
                          const std::string& input, int timeout_s, bool keep_input_open) {
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (pipe(in_pipe) || pipe(out_pipe) || pipe(err_pipe)) throw std::runtime_error("pipe");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    dup2(in_pipe[0], 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]})
      close(fd);
    exec_program(dir, args);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  signal(SIGPIPE, SIG_IGN);
  fcntl(in_pipe[1], F_SETFL, O_NONBLOCK);
  ProgramResult r;
  size_t written = 0;
  bool in_open = true;
  // With keep_input_open the program sees no end of input: a read that waits for more waits
  // until the time runs out.
  bool feeding = !input.empty();
  if (!feeding && !keep_input_open) {
    close(in_pipe[1]);
    in_open = false;
  }
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
  bool out_open = true, err_open = true;
  char buf[65536];
  while (out_open || err_open) {
    std::vector<pollfd> fds;
    if (out_open) fds.push_back({out_pipe[0], POLLIN, 0});
    if (err_open) fds.push_back({err_pipe[0], POLLIN, 0});
    if (in_open && feeding) fds.push_back({in_pipe[1], POLLOUT, 0});
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds.data(), fds.size(), static_cast<int>(std::min<long long>(left, 1000))) < 0) break;
    for (auto& p : fds) {
      if (!p.revents) continue;
      if (p.fd == in_pipe[1]) {
        ssize_t n = ::write(in_pipe[1], input.data() + written, input.size() - written);
        if (n > 0) written += static_cast<size_t>(n);
        if (n < 0 || written == input.size()) {
          feeding = false;
          if (!keep_input_open) {
            close(in_pipe[1]);
            in_open = false;
          }
        }
        continue;
      }
      ssize_t n = read(p.fd, buf, sizeof buf);
      if (n <= 0) {
        close(p.fd);
        (p.fd == out_pipe[0] ? out_open : err_open) = false;
      } else {
        (p.fd == out_pipe[0] ? r.out : r.err).append(buf, static_cast<size_t>(n));
      }
    }
  }
  if (in_open) close(in_pipe[1]);
  if (out_open) close(out_pipe[0]);
  if (err_open) close(err_pipe[0]);
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = status_of(st);
  return r;
}

RunningProgram::RunningProgram(const TempDir& dir, const std::vector<std::string>& args,
                               const StartOptions& options) {
  int in_pipe[2];
  if (pipe(in_pipe)) throw std::runtime_error("pipe");
  const std::string out = (logs_.path() / "out").string(), err = (logs_.path() / "err").string();
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out_fd < 0 || err_fd < 0) _exit(126);
    dup2(in_pipe[0], 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    for (int fd : {in_pipe[0], in_pipe[1], out_fd, err_fd}) close(fd);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig = 1; sig < NSIG; ++sig) ::signal(sig, SIG_DFL);
    for (int sig : options.ignored) ::signal(sig, SIG_IGN);
    for (const auto& [resource, limit] : options.limits) {
      const rlimit l{limit, limit};
      if (setrlimit(resource, &l) != 0) _exit(126);
    }
    exec_program(dir, args);
  }
  close(in_pipe[0]);
  input_ = in_pipe[1];
}

RunningProgram::~RunningProgram() {
  if (input_ >= 0) close(input_);
  if (!finished()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
}

void RunningProgram::send_input(const std::string& bytes) {
  ::signal(SIGPIPE, SIG_IGN);  // a program that is gone takes no input: the write fails
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(input_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<size_t>(n);
  }
}

void RunningProgram::signal(int sig) const { kill(pid_, sig); }

bool RunningProgram::finished() {
  if (status_ >= 0) return true;
  int st = 0;
  if (waitpid(pid_, &st, WNOHANG) != pid_) return false;
  status_ = status_of(st);
  return true;
}

ProgramResult RunningProgram::wait(int timeout_s) {
  if (input_ >= 0) close(input_);
  input_ = -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_s);
  while (!finished()) {
    if (std::chrono::steady_clock::now() > deadline) kill(pid_, SIGKILL);
    usleep(2000);
  }
  return ProgramResult{read_file((logs_.path() / "out").string()),
                       read_file((logs_.path() / "err").string()), status_};
}
