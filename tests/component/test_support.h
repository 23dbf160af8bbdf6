// SPDX-License-Identifier: MIT
// Loopback peers written with plain POSIX sockets, an event recorder for the socket component,
// and waits that run the Qt event loop until a condition holds.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "net/async_socket.h"

namespace testing_support {

// Runs the event loop (blocking waits, woken every 20 ms) until `done` or the time is up.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);
void PumpFor(int ms);

// A listening TCP socket on 127.0.0.1 with a port of the system's choice.
class PosixListener {
 public:
  PosixListener();
  ~PosixListener();
  std::uint16_t Port() const { return port_; }
  std::string PortText() const { return std::to_string(port_); }
  int Accept(int timeoutMs = 5000);  // the connected descriptor, or -1

 private:
  int fd_;
  std::uint16_t port_;
};

// A port on 127.0.0.1 that refuses connections: bound, never listening, held while alive.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  std::string PortText() const { return std::to_string(port_); }

 private:
  int fd_;
  std::uint16_t port_;
};

// A blocking POSIX client connected to 127.0.0.1:port, and the local port it got.
int ConnectLoopback(const std::string& port);
std::uint16_t LocalPort(int fd);
// A datagram socket bound to 127.0.0.1 on a free port; -1 when that fails.
int UdpReceiverOnLoopback();
// Descriptors open in this process, to catch leaks.
std::size_t OpenDescriptorCount();

// Blocking helpers on a connected descriptor.
void SendAll(int fd, const std::string& data);
std::string ReadUntilClosed(int fd, int timeoutMs = 5000);
std::string ReadExactly(int fd, std::size_t count, int timeoutMs = 5000);
void CloseWithReset(int fd);  // SO_LINGER 0: the peer sees a reset

// The component with its insides visible to the tests.
class TestSocket : public AsyncSocket {
 public:
  using AsyncSocketBase::AllSent;
  using AsyncSocketBase::BufferList;
  using AsyncSocketBase::FHSocket;
  using AsyncSocketBase::FWindowHandle;
  using AsyncSocketBase::LineReading;
  using AsyncSocketBase::PeerSockAddr;
  using AsyncSocketBase::PortAssigned;
  using AsyncSocketBase::AddrAssigned;
  using AsyncSocketBase::ProtoAssigned;
  using AsyncSocketBase::FType;
  using AsyncSocketBase::FProto;
  using AsyncSocketBase::DnsLookupHandle;
  using AsyncSocketBase::QueueSendData;
  using AsyncSocketBase::ReportSocketError;
  using AsyncSocketBase::LocalPort;
  using AsyncSocketBase::AwaitedState;
};

// Records every event of a component as text, in order.
struct EventLog {
  std::vector<std::string> events;
  void Attach(AsyncSocket& socket);
  bool Has(const std::string& event) const;
  std::size_t Count(const std::string& event) const;
};

// The message of the SocketError that `action` raises, or "no exception".
std::string ExceptionText(const std::function<void()>& action);

// Sets Addr 127.0.0.1 and the port, then connects and waits for the outcome.
void ConnectTo(AsyncSocket& socket, const std::string& port);

}  // namespace testing_support
