// SPDX-License-Identifier: MIT
#include "webmail/imap/password_source.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

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

// The command runs under /bin/sh with no input; what it writes on stderr goes to ours, so that
// its own complaints reach the log.
std::string RunCommand(const std::string& command, std::chrono::milliseconds timeLimit) {
  Pipe out;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.Write(), 1);
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, "/bin/sh", &actions, nullptr, const_cast<char**>(argv), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw GatewayConfigError(std::string("Cannot run the password command: ") + std::strerror(spawned));
  out.CloseWrite();
  std::string output;
  const bool finished = ReadUntilClosed(out.Read(), output, std::chrono::steady_clock::now() + timeLimit);
  if (!finished) ::kill(child, SIGKILL);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!finished) throw GatewayConfigError("The password command did not finish in time");
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw GatewayConfigError("The password command failed (status " +
                             std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)) + ")");
  return FirstLine(output);
}

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
      password = RunCommand(source.value, timeLimit);
      break;
  }
  if (password.empty()) throw GatewayConfigError("The IMAP password from its source is empty");
  return password;
}

}  // namespace webmail
