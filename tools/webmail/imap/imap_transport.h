// SPDX-License-Identifier: MIT
#pragma once
// The byte stream to an IMAP server: TCP, TLS from the start or after STARTTLS, the server's
// certificate checked against the name as configured. Every step is bounded by the work's
// deadline and by a byte budget, and ends at once when the gateway stops.

#include <openssl/ssl.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace webmail {

// What went wrong with the server, as a person reads it ("the server refused the connection").
class ImapFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The server refused the password or the token.
class LoginRefused : public ImapFailure {
 public:
  using ImapFailure::ImapFailure;
};

// The certificates a server must chain to, as one TLS client context.
class TlsTrust {
 public:
  // `caFile`: PEM certificates to trust, which may also be the server's own; empty: the
  // system's certificate authorities. Throws GatewayConfigError when they cannot be read.
  explicit TlsTrust(const std::string& caFile);
  SSL_CTX* Context() const { return context_.get(); }

 private:
  std::unique_ptr<SSL_CTX, void (*)(SSL_CTX*)> context_;
};

// A flag that stops every transport reading it, waking those that wait.
class StopSignal {
 public:
  StopSignal();
  ~StopSignal();
  StopSignal(const StopSignal&) = delete;
  StopSignal& operator=(const StopSignal&) = delete;
  void Raise();
  bool Raised() const { return raised_; }
  int Descriptor() const { return fd_; }

 private:
  int fd_;
  std::atomic<bool> raised_{false};
};

// How far one piece of work may go: until `deadline`, reading at most `budget` bytes.
struct TransportBounds {
  std::chrono::steady_clock::time_point deadline;
  std::chrono::seconds timeLimit{30};  // what the deadline stands for, for the error text
  std::size_t budget = 0;
};

class ImapTransport {
 public:
  // Connects to each address of `host` in turn. Throws ImapFailure.
  ImapTransport(const std::string& host, std::uint16_t port, const TransportBounds& bounds, const StopSignal& stop);
  ~ImapTransport();
  ImapTransport(const ImapTransport&) = delete;
  ImapTransport& operator=(const ImapTransport&) = delete;

  // TLS handshake on the connection, the certificate checked against the host name (or IP
  // literal) as configured. Throws ImapFailure.
  void StartTls(const TlsTrust& trust);

  // The connection ends on this machine, judged by the connected address, not its name.
  bool ToLoopback() const { return loopback_; }

  // The next piece of work's bounds; its budget starts afresh.
  void SetBounds(const TransportBounds& bounds) {
    bounds_ = bounds;
    received_ = 0;
  }

  // Up to `size` bytes, 0 at the end of the stream. Throws ImapFailure.
  std::size_t Read(void* buffer, std::size_t size);
  void Write(const void* data, std::size_t size);

 private:
  void Connect(std::uint16_t port);
  void Wait(short events);
  template <class Step>
  int TlsStep(Step step);
  [[noreturn]] void TimedOut() const;

  std::string host_;
  TransportBounds bounds_;
  const StopSignal& stop_;
  std::size_t received_ = 0;  // under the current bounds
  int fd_ = -1;
  SSL* tls_ = nullptr;
  bool loopback_ = false;
};

// True for 127.0.0.0/8, ::1 and IPv4-mapped loopback addresses.
bool IsLoopbackAddress(const sockaddr* address);

}  // namespace webmail
