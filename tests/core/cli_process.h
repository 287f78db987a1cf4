#pragma once

// The built pelmora-cli as a child process a test can kill midway or run
// under resource limits, with its standard output and error in a file.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "test_paths.h"

namespace pelmora::testing {

struct CliSetup {
  // Another copy of the program (one the other user may run), or another
  // program.
#ifdef PELMORA_CLI_PATH
  std::string program = PELMORA_CLI_PATH;
#else
  std::string program;
#endif
  // RLIMIT_FSIZE in bytes; writes beyond it fail with EFBIG (SIGXFSZ is
  // ignored), as on a full disk.
  std::optional<rlim_t> fileSize;
  // Run as this user and group (tests running as root, where permissions
  // would not bind).
  std::optional<uid_t> user;
  // Standard output to this file (such as /dev/full) instead of the output
  // file, which then holds standard error alone.
  std::optional<std::string> standardOutput;
};

class CliProcess {
 public:
  CliProcess(const std::vector<std::string>& arguments, std::filesystem::path output,
             const CliSetup& setup = {})
      : output_(std::move(output)) {
    std::vector<std::string> all{setup.program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& argument : all) argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ != 0) return;
    const int fd = ::open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out = setup.standardOutput ? ::open(setup.standardOutput->c_str(), O_WRONLY) : fd;
    if (fd < 0 || out < 0 || ::dup2(out, 1) < 0 || ::dup2(fd, 2) < 0) ::_exit(127);
    if (setup.fileSize) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{*setup.fileSize, *setup.fileSize};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(127);
    }
    if (setup.user && (::setgroups(0, nullptr) != 0 || ::setgid(*setup.user) != 0 ||
                       ::setuid(*setup.user) != 0)) {
      ::_exit(127);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ~CliProcess() {
    if (pid_ > 0 && !status_) kill();
  }
  CliProcess(const CliProcess&) = delete;
  CliProcess& operator=(const CliProcess&) = delete;

  bool started() const { return pid_ > 0; }

  // Still at work (not exited, not killed).
  bool running() {
    if (status_ || pid_ <= 0) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
    return !status_;
  }

  void kill() {
    if (pid_ <= 0 || status_) return;
    ::kill(pid_, SIGKILL);
    wait();
  }

  // The exit code; -1 when it ended by a signal.
  int wait() {
    if (!status_ && pid_ > 0) {
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      status_ = status;
    }
    return status_ && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1;
  }

  std::string output() const {
    std::ifstream in(output_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path output_;
  pid_t pid_ = -1;
  std::optional<int> status_;
};

}  // namespace pelmora::testing
