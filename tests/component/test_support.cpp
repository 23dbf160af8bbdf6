// SPDX-License-Identifier: MIT
#include "test_support.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <stdexcept>

namespace testing_support {
namespace {

// A window whose only job is a periodic tick, so that blocking waits can check a deadline.
struct Ticker : win::MessageReceiver {
  win::HWND window = win::CreateMessageWindow(*this);
  Ticker() { win::SetTimer(window, 1, 20); }
  ~Ticker() { win::DestroyMessageWindow(window); }
  void WindowProc(win::UINT, win::WPARAM, win::LPARAM) override {}
};

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int BoundSocket(std::uint16_t& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(0);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) throw std::runtime_error("bind");
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

bool WaitReadable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) > 0;
}

}  // namespace

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  Ticker ticker;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    win::WaitMessages();
  }
  return true;
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

PosixListener::PosixListener() : fd_(BoundSocket(port_)) { ::listen(fd_, 8); }
PosixListener::~PosixListener() { ::close(fd_); }

int PosixListener::Accept(int timeoutMs) {
  if (!WaitReadable(fd_, timeoutMs)) return -1;
  return ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
}

RefusingPort::RefusingPort() : fd_(BoundSocket(port_)) {}
RefusingPort::~RefusingPort() { ::close(fd_); }

int ConnectLoopback(const std::string& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = Loopback(static_cast<std::uint16_t>(std::stoi(port)));
  if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0) {
    throw std::runtime_error("connect to 127.0.0.1:" + port + " failed");
  }
  return fd;
}

std::uint16_t LocalPort(int fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

int UdpReceiverOnLoopback() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd >= 0) ::close(fd);
    return -1;
  }
  return fd;
}

std::size_t OpenDescriptorCount() {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

void SendAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n <= 0) throw std::runtime_error("peer send failed");
    done += static_cast<std::size_t>(n);
  }
}

std::string ReadUntilClosed(int fd, int timeoutMs) {
  std::string data;
  char buffer[65536];
  while (WaitReadable(fd, timeoutMs)) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  return data;
}

std::string ReadExactly(int fd, std::size_t count, int timeoutMs) {
  std::string data;
  char buffer[65536];
  while (data.size() < count && WaitReadable(fd, timeoutMs)) {
    ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, count - data.size()), 0);
    if (n <= 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  return data;
}

void CloseWithReset(int fd) {
  linger value{1, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
  ::close(fd);
}

void EventLog::Attach(AsyncSocket& socket) {
  auto code = [this](const char* name) {
    return [this, name](AsyncSocketBase*, std::uint16_t error) { events.push_back(std::string(name) + " " + std::to_string(error)); };
  };
  socket.OnSessionConnected = code("SessionConnected");
  socket.OnSessionClosed = code("SessionClosed");
  socket.OnDataSent = code("DataSent");
  socket.OnDnsLookupDone = code("DnsLookupDone");
  socket.OnChangeState = [this](AsyncSocketBase*, SocketState from, SocketState to) {
    events.push_back("ChangeState " + std::to_string(from) + "->" + std::to_string(to));
  };
}

bool EventLog::Has(const std::string& event) const { return Count(event) > 0; }

std::size_t EventLog::Count(const std::string& event) const {
  return static_cast<std::size_t>(std::count(events.begin(), events.end(), event));
}

std::string ExceptionText(const std::function<void()>& action) {
  try {
    action();
  } catch (const SocketError& e) {
    return e.what();
  }
  return "no exception";
}

void ConnectTo(AsyncSocket& socket, const std::string& port) {
  socket.SetAddr("127.0.0.1");
  socket.SetPort(port);
  socket.Connect();
  PumpUntil([&] { return socket.State() != wsConnecting; });
}

}  // namespace testing_support
