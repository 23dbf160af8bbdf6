// SPDX-License-Identifier: MIT
// Creating, binding, connecting, accepting and closing sockets.
#include <linux/sockios.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "platform/winsock_address.h"
#include "platform/winsock_internal.h"

namespace ws {

using detail::Fail;
using detail::FindSocket;
using detail::FromErrno;

namespace {

// Outcomes that WinSock reports through FD_CONNECT, never from connect itself, on a
// non-blocking socket; Linux may know them at once on loopback.
bool IsConnectOutcome(int posixError) {
  return posixError == ECONNREFUSED || posixError == ENETUNREACH || posixError == EHOSTUNREACH ||
         posixError == ETIMEDOUT || posixError == ECONNRESET;
}

// A lingering close would block the thread on Linux even for a non-blocking socket; the
// kernel delivers the unsent data in the background instead.
void AvoidBlockingLinger(int fd) {
  ::linger value{};
  socklen_t length = sizeof value;
  if (::getsockopt(fd, SOL_SOCKET, SO_LINGER, &value, &length) == 0 && value.l_onoff && value.l_linger > 0) {
    value.l_onoff = 0;
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
  }
}

}  // namespace

SOCKET socket(int af, int type, int protocol) {
  if (!detail::Started()) return static_cast<SOCKET>(Fail(WSANOTINITIALISED));
  if (af != WS_AF_INET) return static_cast<SOCKET>(Fail(WSAEAFNOSUPPORT));
  if (type != WS_SOCK_STREAM && type != WS_SOCK_DGRAM) return static_cast<SOCKET>(Fail(WSAESOCKTNOSUPPORT));
  int fd = ::socket(AF_INET, (type == WS_SOCK_STREAM ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC, protocol);
  if (fd < 0) return static_cast<SOCKET>(Fail(FromErrno(errno)));
  detail::AddSocket(fd, type == WS_SOCK_DGRAM);
  return static_cast<SOCKET>(fd);
}

int bind(SOCKET s, const sockaddr* name, int namelen) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  ::sockaddr_in address;
  if (!detail::ToPosix(name, namelen, address)) return Fail(WSAEFAULT);
  if (::bind(entry->fd, reinterpret_cast<::sockaddr*>(&address), sizeof address) < 0) return Fail(FromErrno(errno));
  if (entry->datagram) detail::ArmRead(*entry);
  return 0;
}

int listen(SOCKET s, int backlog) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (::listen(entry->fd, backlog) < 0) return Fail(FromErrno(errno));
  entry->listening = true;
  detail::ArmRead(*entry);
  return 0;
}

SOCKET accept(SOCKET s, sockaddr* addr, int* addrlen) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return static_cast<SOCKET>(Fail(WSAENOTSOCK));
  ::sockaddr_in peer{};
  socklen_t length = sizeof peer;
  int fd = ::accept4(entry->fd, reinterpret_cast<::sockaddr*>(&peer), &length, SOCK_CLOEXEC);
  const int error = errno;
  detail::ArmRead(*entry);
  if (fd < 0) return static_cast<SOCKET>(Fail(FromErrno(error)));
  if (!detail::FromPosix(peer, addr, addrlen)) {
    ::close(fd);
    return static_cast<SOCKET>(Fail(WSAEFAULT));
  }
  detail::AddSocket(fd, false).connected = true;
  // The accepted socket inherits the listener's selection.
  if (entry->mask != 0) WSAAsyncSelect(static_cast<SOCKET>(fd), entry->window, entry->message, entry->mask);
  return static_cast<SOCKET>(fd);
}

int connect(SOCKET s, const sockaddr* name, int namelen) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  ::sockaddr_in address;
  if (!detail::ToPosix(name, namelen, address)) return Fail(WSAEFAULT);
  int result = ::connect(entry->fd, reinterpret_cast<::sockaddr*>(&address), sizeof address);
  const int error = result < 0 ? errno : 0;
  if (!entry->nonBlocking || entry->datagram) {
    if (result < 0) return Fail(FromErrno(error));
    entry->connected = true;
    return 0;
  }
  if (result == 0 || error == EINPROGRESS) {
    detail::StartConnectWatch(*entry);
  } else if (IsConnectOutcome(error)) {
    detail::PostEvent(*entry, FD_CONNECT, FromErrno(error));
  } else {
    return Fail(FromErrno(error));
  }
  return Fail(WSAEWOULDBLOCK);  // a non-blocking connect always completes through FD_CONNECT
}

int closesocket(SOCKET s) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  const int fd = entry->fd;
  if (entry->nonBlocking) AvoidBlockingLinger(fd);
  detail::RemoveSocket(s);  // notifiers go before the descriptor they watch
  ::close(fd);
  return 0;
}

int shutdown(SOCKET s, int how) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (how < SD_RECEIVE || how > SD_BOTH) return Fail(WSAEINVAL);
  if (::shutdown(entry->fd, how) < 0) return Fail(FromErrno(errno));
  if (how != SD_RECEIVE) entry->sendShutDown = true;
  return 0;
}

int getsockname(SOCKET s, sockaddr* name, int* namelen) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  ::sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(entry->fd, reinterpret_cast<::sockaddr*>(&address), &length) < 0) return Fail(FromErrno(errno));
  if (name == nullptr || !detail::FromPosix(address, name, namelen)) return Fail(WSAEFAULT);
  return 0;
}

int getpeername(SOCKET s, sockaddr* name, int* namelen) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  ::sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getpeername(entry->fd, reinterpret_cast<::sockaddr*>(&address), &length) < 0) return Fail(FromErrno(errno));
  if (name == nullptr || !detail::FromPosix(address, name, namelen)) return Fail(WSAEFAULT);
  return 0;
}

int ioctlsocket(SOCKET s, long cmd, u_long* argp) {
  detail::SocketEntry* entry = FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if ((cmd != WS_FIONREAD && cmd != WS_SIOCOUTQ) || argp == nullptr) return Fail(WSAEINVAL);
  int pending = 0;
  if (::ioctl(entry->fd, cmd == WS_FIONREAD ? FIONREAD : SIOCOUTQ, &pending) < 0) return Fail(FromErrno(errno));
  *argp = static_cast<u_long>(pending);
  return 0;
}

}  // namespace ws
