// SPDX-License-Identifier: MIT
// The gateway's byte stream to an IMAP server against plain loopback sockets: what a failure
// is called, and that no server can hold it past its deadline, its byte budget or a stop.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "webmail/imap/imap_transport.h"

using namespace std::chrono_literals;
using webmail::ImapFailure;
using webmail::ImapTransport;
using webmail::StopSignal;
using webmail::TransportBounds;
using Clock = std::chrono::steady_clock;

namespace {

// A loopback socket; listening unless `listen` is false (then its port refuses connections).
struct LoopbackSocket {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  std::uint16_t port = 0;
  explicit LoopbackSocket(bool listen = true) {
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    if (listen) ::listen(fd, 4);
  }
  ~LoopbackSocket() { ::close(fd); }
};

TransportBounds Within(std::chrono::milliseconds limit, std::size_t budget = 1024 * 1024) {
  return {Clock::now() + limit, 1s, budget};
}

std::string FailureOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const ImapFailure& e) {
    return e.what();
  }
  return "no failure";
}

bool Loopback(const char* text) {
  sockaddr_in6 six{};
  six.sin6_family = AF_INET6;
  if (inet_pton(AF_INET6, text, &six.sin6_addr) == 1) return webmail::IsLoopbackAddress(reinterpret_cast<sockaddr*>(&six));
  sockaddr_in four{};
  four.sin_family = AF_INET;
  inet_pton(AF_INET, text, &four.sin_addr);
  return webmail::IsLoopbackAddress(reinterpret_cast<sockaddr*>(&four));
}

}  // namespace

// Plain text is allowed by the address connected to, never by how the name is spelled.
TEST(ImapTransport, LoopbackIsDecidedByTheAddress) {
  for (const char* address : {"127.0.0.1", "127.0.0.2", "127.255.1.9", "::1", "::ffff:127.0.0.1"})
    EXPECT_TRUE(Loopback(address)) << address;
  for (const char* address : {"128.0.0.1", "192.0.2.10", "::", "::2", "::ffff:192.0.2.10", "fe80::1"})
    EXPECT_FALSE(Loopback(address)) << address;
  StopSignal stop;
  LoopbackSocket server;
  EXPECT_TRUE(ImapTransport("127.0.0.1", server.port, Within(2s), stop).ToLoopback());
}

TEST(ImapTransport, FailuresSayWhatHappened) {
  StopSignal stop;
  LoopbackSocket closed(/*listen=*/false);
  EXPECT_EQ(FailureOf([&] { ImapTransport("127.0.0.1", closed.port, Within(2s), stop); }),
            "the server refused the connection");

  LoopbackSocket silent;  // accepts (in the kernel) and never says a word
  ImapTransport transport("127.0.0.1", silent.port, Within(300ms), stop);
  char byte;
  const auto started = Clock::now();
  EXPECT_EQ(FailureOf([&] { transport.Read(&byte, 1); }), "no answer within 1 seconds");
  EXPECT_LT(Clock::now() - started, 1s);
}

TEST(ImapTransport, BudgetAndStopBoundWhatAServerCanDo) {
  StopSignal stop;
  LoopbackSocket server;
  ImapTransport transport("127.0.0.1", server.port, Within(5s, 1024 * 1024), stop);
  const int peer = ::accept(server.fd, nullptr, nullptr);
  std::thread flood([peer] {
    const std::string chunk(16 * 1024, '*');
    for (int i = 0; i < 80; ++i) ::send(peer, chunk.data(), chunk.size(), MSG_NOSIGNAL);
  });
  char buffer[4096];
  std::size_t received = 0;
  const std::string failure = FailureOf([&] {
    while (true) received += transport.Read(buffer, sizeof buffer);
  });
  flood.join();
  EXPECT_EQ(failure, "the server's answer is larger than the gateway accepts (1 MiB)");
  EXPECT_EQ(received, 1024u * 1024);

  ::close(peer);

  ImapTransport quiet("127.0.0.1", server.port, Within(10s), stop);  // stopped from another thread
  std::thread stopper([&stop] {
    std::this_thread::sleep_for(100ms);
    stop.Raise();
  });
  const auto started = Clock::now();
  EXPECT_EQ(FailureOf([&] { quiet.Read(buffer, sizeof buffer); }), "the gateway is stopping");
  EXPECT_LT(Clock::now() - started, 2s);
  stopper.join();
}
