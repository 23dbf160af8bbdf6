// SPDX-License-Identifier: MIT
// State behind the WinSock shim (internal to the platform layer).
#pragma once

#include <QSocketNotifier>

#include <cstdint>
#include <memory>
#include <string>

#include "platform/message_window.h"
#include "platform/winsock_shim.h"

namespace ws::detail {

struct SocketEntry {
  int fd;
  bool datagram;
  std::uint64_t generation;  // tells this socket from a later one under the same number
  HWND window = 0;
  UINT message = 0;
  long mask = 0;
  bool nonBlocking = false;    // WSAAsyncSelect has been called
  bool connecting = false;     // connect started, FD_CONNECT not yet posted
  bool connected = false;
  bool listening = false;
  bool closeNotified = false;  // FD_CLOSE has been posted
  bool sendShutDown = false;
  std::unique_ptr<QSocketNotifier> reader;  // FD_READ, FD_ACCEPT, FD_CLOSE
  std::unique_ptr<QSocketNotifier> writer;  // FD_CONNECT, FD_WRITE
};

// Sockets are created and used on one thread, so the table needs no lock.
SocketEntry* FindSocket(SOCKET s);
SocketEntry& AddSocket(int fd, bool datagram);
void RemoveSocket(SOCKET s);
// For a message about `entry`: admits it while that socket is still open. Small enough to be
// stored without an allocation, as a notice is posted for every drained send.
win::MessageAdmission WhileOpen(const SocketEntry& entry);

// WinSock's re-enabling rules (winsock_async_select.cpp).
void ArmRead(SocketEntry& entry);    // after recv, recvfrom, accept, listen
void ArmWrite(SocketEntry& entry);   // after a send that would block or was cut short
void StartConnectWatch(SocketEntry& entry);
void PostEvent(SocketEntry& entry, long event, int error);

// Blocking IPv4 look-up through getaddrinfo, addresses in resolver order (winsock_database.cpp).
struct Resolution {
  HostEntry entry;
  int error;  // WinSock code, 0 on success
};
Resolution ResolveIpv4(const std::string& name);

// Error codes (winsock_errors.cpp).
int FromErrno(int posixError);
int FromResolverError(int gaiError, int posixError);
int Fail(int code);  // records the code, returns SOCKET_ERROR
bool Started();      // WSAStartup has been called more often than WSACleanup

}  // namespace ws::detail
