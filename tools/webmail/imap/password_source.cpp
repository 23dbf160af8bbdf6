// SPDX-License-Identifier: MIT
#include "webmail/imap/password_source.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <thread>

extern char** environ;

namespace webmail {
namespace {

constexpr std::size_t kMaxOutput = 64 * 1024;

std::string FirstLine(const std::string& text) {
  std::string line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

class Pipe {
 public:
  Pipe() {
    if (::pipe2(ends_, O_CLOEXEC) != 0) throw GatewayConfigError(std::string("Cannot make a pipe: ") + std::strerror(errno));
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  int Read() const { return ends_[0]; }
  int Write() const { return ends_[1]; }
  void CloseRead() { Close(ends_[0]); }
  void CloseWrite() { Close(ends_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  int ends_[2] = {-1, -1};
};

// Reads the child's output until it closes it or the time is up; false on the time limit.
bool ReadUntilClosed(int fd, std::string& output, std::chrono::steady_clock::time_point deadline) {
  char buffer[4096];
  while (true) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;
    if (output.size() < kMaxOutput) output.append(buffer, static_cast<std::size_t>(n));
  }
}

// "30 seconds", "0.5 seconds": to a tenth of a second.
std::string SecondsText(std::chrono::milliseconds limit) {
  const long long tenths = (std::max<long long>(limit.count(), 0) + 50) / 100;
  std::string text = std::to_string(tenths / 10);
  if (tenths % 10 != 0) text += "." + std::to_string(tenths % 10);
  return text + (tenths == 10 ? " second" : " seconds");
}

// The command under /bin/sh, with no input, in a process group of its own: whatever it starts
// there ends with it. What it writes on stderr goes to ours, so that its own complaints reach
// the log.
class CommandGroup {
 public:
  CommandGroup(const std::string& command, const std::string& what, int output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output, 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);  // the shell leads a new group
    // We ignore SIGPIPE; a pipeline in the command ends as it would in a terminal.
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    const int spawned = ::posix_spawn(&shell_, "/bin/sh", &actions, &attributes, const_cast<char**>(argv), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
      throw GatewayConfigError("Cannot run the " + what + ": " + std::strerror(spawned));
  }

  // The group is killed before the shell is reaped: until then the shell's id cannot name
  // another group.
  ~CommandGroup() {
    ::kill(-shell_, SIGKILL);
    while (::waitpid(shell_, nullptr, 0) < 0 && errno == EINTR) {
    }
  }
  CommandGroup(const CommandGroup&) = delete;
  CommandGroup& operator=(const CommandGroup&) = delete;

  // The shell's exit status (128 + the signal when one ended it), leaving it unreaped;
  // nullopt when it still runs at `deadline`.
  std::optional<int> WaitForExit(std::chrono::steady_clock::time_point deadline, const std::string& what) const {
    while (true) {
      siginfo_t info{};
      if (::waitid(P_PID, static_cast<id_t>(shell_), &info, WEXITED | WNOHANG | WNOWAIT) != 0 && errno != EINTR)
        throw GatewayConfigError("Cannot wait for the " + what + ": " + std::strerror(errno));
      if (info.si_pid != 0) return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
      const auto left = deadline - std::chrono::steady_clock::now();
      if (left <= std::chrono::steady_clock::duration::zero()) return std::nullopt;
      std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, kExitPoll));
    }
  }

 private:
  static constexpr std::chrono::milliseconds kExitPoll{5};
  pid_t shell_ = 0;
};

}  // namespace

// One deadline bounds both the output and the exit: a command may close its output and go on.
std::string RunSecretCommand(const std::string& command, const std::string& what, std::chrono::milliseconds timeLimit) {
  const auto deadline = std::chrono::steady_clock::now() + timeLimit;
  Pipe out;
  const CommandGroup group(command, what, out.Write());
  out.CloseWrite();
  std::string output;
  std::optional<int> status;
  if (ReadUntilClosed(out.Read(), output, deadline)) status = group.WaitForExit(deadline, what);
  std::string name = what;
  name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
  if (!status) throw GatewayConfigError(name + " did not finish within " + SecondsText(timeLimit));
  if (*status != 0) throw GatewayConfigError(name + " failed (status " + std::to_string(*status) + ")");
  return FirstLine(output);
}

namespace {

std::string ReadPasswordFile(const std::string& path) {
  RequireOwnerOnly(path, "Password file");
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) throw GatewayConfigError("Cannot read password file " + path);
  return FirstLine(line);
}

}  // namespace

std::string FetchPassword(const PasswordSource& source, std::chrono::milliseconds timeLimit) {
  std::string password;
  switch (source.kind) {
    case PasswordSource::Kind::Environment: {
      const char* value = std::getenv(source.value.c_str());
      if (!value) throw GatewayConfigError("The environment variable " + source.value + " is not set");
      password = value;
      break;
    }
    case PasswordSource::Kind::File:
      password = ReadPasswordFile(source.value);
      break;
    case PasswordSource::Kind::Command:
      password = RunSecretCommand(source.value, "the password command", timeLimit);
      break;
  }
  if (password.empty()) throw GatewayConfigError("The IMAP password from its source is empty");
  return password;
}

}  // namespace webmail
