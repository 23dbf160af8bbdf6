// SPDX-License-Identifier: MIT
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <stdexcept>
#include <thread>
#include <vector>

#include "socket_bench.h"

namespace socket_bench {
namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

}  // namespace

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& v) { return static_cast<double>(v.tv_sec) + static_cast<double>(v.tv_usec) / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

LoopbackPair Listen() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 || ::listen(fd, 4) < 0) {
    throw std::runtime_error("listen failed");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return {fd, ntohs(address.sin_port)};
}

int AcceptOne(const LoopbackPair& pair) {
  int fd = ::accept4(pair.listener, nullptr, nullptr, SOCK_CLOEXEC);
  ::close(pair.listener);
  return fd;
}

int ConnectTo(std::uint16_t port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) throw std::runtime_error("connect failed");
  return fd;
}

void ReadAllBlocking(int fd, std::size_t total) {
  std::vector<char> buffer(64 * 1024);
  std::size_t done = 0;
  while (done < total) {
    ssize_t n = ::recv(fd, buffer.data(), buffer.size(), 0);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (done != total) throw std::runtime_error("reader got " + std::to_string(done) + " bytes");
}

void WriteAllBlocking(int fd, std::size_t total, std::size_t chunk) {
  std::vector<char> buffer(chunk, 'w');
  std::size_t done = 0;
  while (done < total) {
    ssize_t n = ::send(fd, buffer.data(), std::min(chunk, total - done), MSG_NOSIGNAL);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

namespace {

// Times `sendAll(fd)` on a connected socket whose peer reads `total` bytes in another thread.
template <typename SendAll>
Result SendToReader(std::size_t total, SendAll sendAll) {
  LoopbackPair pair = Listen();
  int sender = ConnectTo(pair.port);
  std::thread reader(ReadAllBlocking, AcceptOne(pair), total);
  double wall = WallSeconds();
  double cpu = ThreadCpuSeconds();
  sendAll(sender);
  reader.join();
  return {WallSeconds() - wall, ThreadCpuSeconds() - cpu};
}

}  // namespace

Result PlainSend(std::size_t total, std::size_t chunk) {
  return SendToReader(total, [&](int sender) { WriteAllBlocking(sender, total, chunk); });
}

// The shape of an event-driven sender without any event loop: a non-blocking socket that waits in
// poll() only when the kernel has no room.
Result PlainNonBlockingSend(std::size_t total, std::size_t chunk) {
  return SendToReader(total, [&](int sender) {
    ::fcntl(sender, F_SETFL, ::fcntl(sender, F_GETFL) | O_NONBLOCK);
    std::vector<char> buffer(chunk, 'n');
    for (std::size_t done = 0; done < total;) {
      const ssize_t n = ::send(sender, buffer.data(), std::min(chunk, total - done), MSG_NOSIGNAL);
      if (n > 0) {
        done += static_cast<std::size_t>(n);
        continue;
      }
      if (n < 0 && errno != EAGAIN) throw std::runtime_error("send failed");
      pollfd room{sender, POLLOUT, 0};
      ::poll(&room, 1, -1);
    }
    ::close(sender);
  });
}

Result PlainReceive(std::size_t total, std::size_t chunk) {
  LoopbackPair pair = Listen();
  int receiver = ConnectTo(pair.port);
  std::thread writer(WriteAllBlocking, AcceptOne(pair), total, std::size_t{64 * 1024});
  double wall = WallSeconds();
  double cpu = ThreadCpuSeconds();
  std::vector<char> buffer(chunk);
  std::size_t done = 0;
  while (done < total) {
    ssize_t n = ::recv(receiver, buffer.data(), buffer.size(), 0);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  Result result{WallSeconds() - wall, ThreadCpuSeconds() - cpu};
  writer.join();
  ::close(receiver);
  return result;
}

}  // namespace socket_bench
