// SPDX-License-Identifier: MIT
#include "app/local_channel.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <QDeadlineTimer>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t kLongestLine = 64;

sockaddr_un Address(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) throw std::runtime_error("the path is too long for a socket");
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  return address;
}

int NewSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

// Waits for `events` on fd until the deadline; false when it passed first.
bool WaitFor(int fd, short events, const QDeadlineTimer& deadline) {
  pollfd waiting{fd, events, 0};
  for (;;) {
    const int ready = ::poll(&waiting, 1, static_cast<int>(deadline.remainingTime()));
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
  }
}

}  // namespace

LocalListener::~LocalListener() {
  if (server_.Get() >= 0) ::unlink(path_.c_str());
}

void LocalListener::Listen(const std::string& path, Answer answer) {
  const sockaddr_un address = Address(path);
  server_.Reset(NewSocket());
  ::unlink(path.c_str());
  const mode_t mask = ::umask(0077);  // created for the user alone
  const bool bound = server_.Get() >= 0 && ::bind(server_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::umask(mask);
  if (!bound || ::listen(server_.Get(), 8) != 0) {
    const std::string reason = std::strerror(errno);
    server_.Reset(-1);
    throw std::runtime_error(reason);
  }
  path_ = path;
  answer_ = std::move(answer);
  notifier_ = std::make_unique<QSocketNotifier>(server_.Get(), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { Accept(); });
}

void LocalListener::Accept() {
  for (int fd; (fd = ::accept4(server_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) {
    Client& client = clients_[fd];
    client.fd.Reset(fd);
    client.notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(client.notifier.get(), &QSocketNotifier::activated, this, [this, fd] { Read(fd); });
  }
}

// A line longer than any request, or a client that leaves, is dropped without an answer. The
// answer is a few bytes into an empty socket buffer: it goes at once or not at all.
void LocalListener::Read(int fd) {
  Client& client = clients_.at(fd);
  char bytes[kLongestLine + 1];
  const ssize_t got = ::recv(fd, bytes, sizeof bytes, 0);
  if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
  if (got > 0) client.received.append(bytes, static_cast<std::size_t>(got));
  const std::size_t end = client.received.find('\n');
  if (got > 0 && end == std::string::npos && client.received.size() <= kLongestLine) return;
  std::string answer;
  if (end != std::string::npos && end < kLongestLine) answer = answer_(client.received.substr(0, end + 1));
  if (!answer.empty()) (void)::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
  client.notifier->setEnabled(false);
  client.notifier.release()->deleteLater();  // its own signal is running
  clients_.erase(fd);
}

std::string AskLocalListener(const std::string& path, const std::string& line, int timeoutMilliseconds) {
  const QDeadlineTimer deadline(timeoutMilliseconds);
  win::detail::FileDescriptor socket(NewSocket());
  const sockaddr_un address = Address(path);
  if (socket.Get() < 0) return {};
  if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
      !(errno == EAGAIN && WaitFor(socket.Get(), POLLOUT, deadline)))
    return {};
  if (::send(socket.Get(), line.data(), line.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(line.size())) return {};
  std::string answer;
  while (answer.find('\n') == std::string::npos && answer.size() <= kLongestLine) {
    if (!WaitFor(socket.Get(), POLLIN, deadline)) return {};
    char bytes[kLongestLine + 1];
    const ssize_t got = ::recv(socket.Get(), bytes, sizeof bytes, 0);
    if (got <= 0 && !(got < 0 && (errno == EAGAIN || errno == EINTR))) return {};
    if (got > 0) answer.append(bytes, static_cast<std::size_t>(got));
  }
  return answer.substr(0, answer.find('\n') + 1);
}
