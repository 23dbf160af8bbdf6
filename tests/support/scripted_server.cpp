// SPDX-License-Identifier: MIT
#include "scripted_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>

namespace httptest {

namespace {

bool WaitReadable(int fd, int stopFd, int timeoutMs) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
  return poll(fds, 2, timeoutMs) > 0 && (fds[0].revents & (POLLIN | POLLHUP)) && !(fds[1].revents & POLLIN);
}

// False when the client has gone.
bool SendAll(int fd, const std::string& bytes) {
  for (std::size_t sent = 0; sent < bytes.size();) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

// Stops early when the client has sent nothing for 100 ms: it has nothing more to send then.
void ReadUpTo(int fd, std::size_t count) {
  char buffer[16384];
  while (count > 0) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) return;
    const ssize_t n = ::recv(fd, buffer, std::min(count, sizeof buffer), 0);
    if (n <= 0) return;
    count -= static_cast<std::size_t>(n);
  }
}

}  // namespace

std::string ReadRequest(int fd) {
  std::string request;
  char buffer[4096];
  std::size_t headerEnd = std::string::npos;
  std::size_t wanted = 0;
  while (headerEnd == std::string::npos || request.size() < headerEnd + wanted) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) break;
    const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<std::size_t>(n));
    if (headerEnd == std::string::npos && (headerEnd = request.find("\r\n\r\n")) != std::string::npos) {
      headerEnd += 4;
      const std::size_t length = request.find("Content-Length: ");
      if (length != std::string::npos && length < headerEnd) wanted = std::strtoul(request.c_str() + length + 16, nullptr, 10);
    }
  }
  return request;
}

ScriptedServer::ScriptedServer(std::vector<Script> scripts, bool readRequest, const std::string& host,
                               std::uint16_t port)
    : address_(host), readRequest_(readRequest) {
  listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1 || (ntohl(address.sin_addr.s_addr) >> 24) != 127)
    throw std::runtime_error("scripted server listens on loopback only");
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0 || ::pipe(stopPipe_) != 0)
    throw std::runtime_error("scripted server cannot listen");
  port_ = ntohs(address.sin_port);
  thread_ = std::thread(&ScriptedServer::Run, this, std::move(scripts));
}

ScriptedServer::~ScriptedServer() {
  (void)::write(stopPipe_[1], "x", 1);
  thread_.join();
  ::close(listenFd_);
  ::close(stopPipe_[0]);
  ::close(stopPipe_[1]);
}

std::string ScriptedServer::Url(const std::string& path) const { return "http://" + HostPort() + path; }

void ScriptedServer::SetReceiveBuffer(int bytes) {
  ::setsockopt(listenFd_, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
}

std::vector<std::string> ScriptedServer::Requests() {
  std::lock_guard lock(mutex_);
  return requests_;
}

void ScriptedServer::Run(std::vector<Script> scripts) {
  for (std::size_t i = 0;; ++i) {
    if (!WaitReadable(listenFd_, stopPipe_[0], -1)) return;
    const int fd = ::accept(listenFd_, nullptr, nullptr);
    if (fd < 0) continue;
    const int one = 1;  // answers written in pieces must not wait for the client's ACKs
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ++connections_;
    Serve(fd, i < scripts.size() ? scripts[i] : Script{});
    ::close(fd);
  }
}

void ScriptedServer::Serve(int fd, const Script& script) {
  if (readRequest_) {
    std::string request = ReadRequest(fd);
    std::lock_guard lock(mutex_);
    requests_.push_back(std::move(request));
  }
  for (const Step& step : script) {
    switch (step.kind) {
      case Step::Send:
        if (!SendAll(fd, step.bytes)) return;  // the rest of the script is for nobody
        break;
      case Step::Pause:
        std::this_thread::sleep_for(std::chrono::milliseconds(step.ms));
        break;
      case Step::Close:
        return;
      case Step::Reset: {
        linger off{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
        return;
      }
      case Step::Read:
        ReadUpTo(fd, step.count);
        break;
      case Step::Hold:
        // Silent until the client goes away or the test ends.
        while (WaitReadable(fd, stopPipe_[0], -1)) {
          char byte;
          if (::recv(fd, &byte, 1, 0) <= 0) return;
        }
        return;
    }
  }
}

}  // namespace httptest
