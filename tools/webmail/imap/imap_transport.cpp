// SPDX-License-Identifier: MIT
#include "webmail/imap/imap_transport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/err.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "webmail/imap/gateway_config.h"

namespace webmail {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kSystemCertificates = "/etc/ssl/certs/ca-certificates.crt";

std::string MiB(std::size_t bytes) { return std::to_string(bytes / (1024 * 1024)) + " MiB"; }

std::string SystemText(int error) { return std::strerror(error); }

// The reason a connection attempt failed, as a person reads it.
std::string ConnectFailure(int error) {
  if (error == ECONNREFUSED) return "the server refused the connection";
  return "the server cannot be reached (" + SystemText(error) + ")";
}

bool IsIpLiteral(const std::string& host) {
  unsigned char address[sizeof(in6_addr)];
  return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

std::string OpenSslText() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "the connection ended during the handshake";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

struct AddressList {
  addrinfo* first = nullptr;
  ~AddressList() {
    if (first) freeaddrinfo(first);
  }
};

}  // namespace

bool IsLoopbackAddress(const sockaddr* address) {
  if (address->sa_family == AF_INET)
    return (ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr) >> 24) == 127;
  if (address->sa_family != AF_INET6) return false;
  const in6_addr& six = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
  if (IN6_IS_ADDR_LOOPBACK(&six)) return true;
  return IN6_IS_ADDR_V4MAPPED(&six) && six.s6_addr[12] == 127;
}

TlsTrust::TlsTrust(const std::string& caFile) : context_(SSL_CTX_new(TLS_client_method()), SSL_CTX_free) {
  if (!context_) throw GatewayConfigError("Cannot set up TLS: " + OpenSslText());
  SSL_CTX_set_min_proto_version(context_.get(), TLS1_2_VERSION);
  SSL_CTX_set_verify(context_.get(), SSL_VERIFY_PEER, nullptr);
  const std::string& file = caFile.empty() ? std::string(kSystemCertificates) : caFile;
  if (SSL_CTX_load_verify_locations(context_.get(), file.c_str(), nullptr) != 1) {
    ERR_clear_error();
    throw GatewayConfigError("Cannot read certificate file " + file);
  }
  // A file of the user's own may hold the server's certificate itself rather than its issuer.
  if (!caFile.empty()) X509_VERIFY_PARAM_set_flags(SSL_CTX_get0_param(context_.get()), X509_V_FLAG_PARTIAL_CHAIN);
}

StopSignal::StopSignal() : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (fd_ < 0) throw std::runtime_error("Cannot make an event descriptor: " + SystemText(errno));
}

StopSignal::~StopSignal() { ::close(fd_); }

void StopSignal::Raise() {
  raised_ = true;
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = ::write(fd_, &one, sizeof one);
}

ImapTransport::ImapTransport(const std::string& host, std::uint16_t port, const TransportBounds& bounds,
                             const StopSignal& stop)
    : host_(host), bounds_(bounds), stop_(stop) {
  Connect(port);
}

ImapTransport::~ImapTransport() {
  if (tls_) SSL_free(tls_);
  if (fd_ >= 0) ::close(fd_);
}

// Each address of the name in turn; the last failure is the one reported.
void ImapTransport::Connect(std::uint16_t port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
  AddressList addresses;
  const int looked = getaddrinfo(host_.c_str(), std::to_string(port).c_str(), &hints, &addresses.first);
  if (looked == EAI_NONAME || looked == EAI_NODATA || looked == EAI_FAIL)
    throw ImapFailure("the server's name was not found (" + std::string(gai_strerror(looked)) + ")");
  if (looked != 0)
    throw ImapFailure("the server's name could not be looked up (" +
                      (looked == EAI_SYSTEM ? SystemText(errno) : std::string(gai_strerror(looked))) + ")");
  std::string failure;
  for (const addrinfo* a = addresses.first; a; a = a->ai_next) {
    fd_ = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd_ < 0) throw ImapFailure("the server cannot be reached (" + SystemText(errno) + ")");
    int error = ::connect(fd_, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
    if (error == EINPROGRESS) {
      try {
        Wait(POLLOUT);
      } catch (const ImapFailure&) {
        ::close(fd_);  // the constructor does not finish, so no destructor will
        throw;
      }
      socklen_t length = sizeof error;
      ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length);
    }
    if (error == 0) {
      loopback_ = IsLoopbackAddress(a->ai_addr);
      const int on = 1;
      ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);  // commands are small and wait for answers
      return;
    }
    failure = ConnectFailure(error);
    ::close(fd_);
    fd_ = -1;
  }
  throw ImapFailure(failure.empty() ? "the server's name has no address" : failure);
}

// Until the socket is ready for `events`, the deadline passes or the gateway stops.
void ImapTransport::Wait(short events) {
  while (true) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(bounds_.deadline - Clock::now()).count();
    if (left <= 0) TimedOut();
    if (stop_.Raised()) throw ImapFailure("the gateway is stopping");
    pollfd waits[2] = {{fd_, events, 0}, {stop_.Descriptor(), POLLIN, 0}};
    const int ready = ::poll(waits, 2, static_cast<int>(std::min<long long>(left, 60'000)));
    if (ready < 0 && errno != EINTR) throw ImapFailure("the connection failed (" + SystemText(errno) + ")");
    if (waits[1].revents) throw ImapFailure("the gateway is stopping");
    if (ready > 0 && waits[0].revents) return;
  }
}

void ImapTransport::TimedOut() const {
  throw ImapFailure("no answer within " + std::to_string(bounds_.timeLimit.count()) + " seconds");
}

// One TLS call, repeated while it waits for the socket.
template <class Step>
int ImapTransport::TlsStep(Step step) {
  while (true) {
    const int result = step();
    if (result > 0) return result;
    switch (SSL_get_error(tls_, result)) {
      case SSL_ERROR_WANT_READ:
        Wait(POLLIN);
        break;
      case SSL_ERROR_WANT_WRITE:
        Wait(POLLOUT);
        break;
      case SSL_ERROR_ZERO_RETURN:
        return 0;
      case SSL_ERROR_SYSCALL:
        if (ERR_peek_error() == 0) return 0;  // the peer closed without a TLS goodbye
        [[fallthrough]];
      default:
        return -1;
    }
  }
}

void ImapTransport::StartTls(const TlsTrust& trust) {
  tls_ = SSL_new(trust.Context());
  if (!tls_ || SSL_set_fd(tls_, fd_) != 1) throw ImapFailure("TLS failed: " + OpenSslText());
  X509_VERIFY_PARAM* check = SSL_get0_param(tls_);
  if (IsIpLiteral(host_)) {
    X509_VERIFY_PARAM_set1_ip_asc(check, host_.c_str());
  } else {
    SSL_set_tlsext_host_name(tls_, host_.c_str());
    X509_VERIFY_PARAM_set_hostflags(check, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    X509_VERIFY_PARAM_set1_host(check, host_.c_str(), 0);
  }
  if (TlsStep([this] { return SSL_connect(tls_); }) > 0) return;
  const long verified = SSL_get_verify_result(tls_);
  if (verified != X509_V_OK)
    throw ImapFailure(std::string("the server's certificate is not trusted: ") + X509_verify_cert_error_string(verified));
  throw ImapFailure("TLS failed: " + OpenSslText());
}

std::size_t ImapTransport::Read(void* buffer, std::size_t size) {
  if (received_ >= bounds_.budget)
    throw ImapFailure("the server's answer is larger than the gateway accepts (" + MiB(bounds_.budget) + ")");
  size = std::min(size, bounds_.budget - received_);
  std::size_t got = 0;
  if (tls_) {
    const int n = TlsStep([&] { return SSL_read(tls_, buffer, static_cast<int>(size)); });
    if (n < 0) throw ImapFailure("TLS failed: " + OpenSslText());
    got = static_cast<std::size_t>(n);
  } else {
    while (true) {
      const ssize_t n = ::recv(fd_, buffer, size, 0);
      if (n >= 0) {
        got = static_cast<std::size_t>(n);
        break;
      }
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        Wait(POLLIN);
      } else if (errno != EINTR) {
        throw ImapFailure("the connection failed (" + SystemText(errno) + ")");
      }
    }
  }
  received_ += got;
  return got;
}

void ImapTransport::Write(const void* data, std::size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    std::size_t sent = 0;
    if (tls_) {
      const int n = TlsStep([&] { return SSL_write(tls_, bytes, static_cast<int>(size)); });
      if (n <= 0) throw ImapFailure("TLS failed: " + OpenSslText());
      sent = static_cast<std::size_t>(n);
    } else {
      const ssize_t n = ::send(fd_, bytes, size, MSG_NOSIGNAL);
      if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        Wait(POLLOUT);
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw ImapFailure("the connection failed (" + SystemText(errno) + ")");
      sent = static_cast<std::size_t>(n);
    }
    bytes += sent;
    size -= sent;
  }
}

}  // namespace webmail
