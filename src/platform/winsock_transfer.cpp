// SPDX-License-Identifier: MIT
// send, sendto, recv, recvfrom with WinSock's re-enabling of FD_WRITE and FD_READ.
#include <sys/socket.h>
#include <sys/uio.h>

#include <cerrno>
#include <limits>

#include "platform/winsock_address.h"
#include "platform/winsock_internal.h"

namespace ws {

using detail::Fail;

namespace {

// Buffers of one gathering send; the system's own limit (IOV_MAX) is far above it.
constexpr u_long kMaxGather = 1024;

int PosixFlags(int flags) { return ((flags & WS_MSG_OOB) ? MSG_OOB : 0) | MSG_NOSIGNAL; }

// Records the outcome of a send; a full socket buffer re-arms FD_WRITE.
int SendOutcome(detail::SocketEntry& entry, ssize_t sent, int len, int error) {
  if (sent >= 0) {
    if (sent < len && !entry.datagram) detail::ArmWrite(entry);
    return static_cast<int>(sent);
  }
  if (error == EWOULDBLOCK) detail::ArmWrite(entry);
  if (error == EPIPE && entry.sendShutDown) return Fail(WSAESHUTDOWN);
  return Fail(detail::FromErrno(error));
}

int ReceiveOutcome(detail::SocketEntry& entry, ssize_t received, int error) {
  detail::ArmRead(entry);
  return received >= 0 ? static_cast<int>(received) : Fail(detail::FromErrno(error));
}

}  // namespace

int send(SOCKET s, const char* buf, int len, int flags) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (len < 0 || (buf == nullptr && len > 0)) return Fail(WSAEFAULT);
  ssize_t sent = ::send(entry->fd, buf, static_cast<std::size_t>(len), PosixFlags(flags));
  return SendOutcome(*entry, sent, len, errno);
}

int WSASend(SOCKET s, const WSABUF* buffers, u_long count, u_long* sent, int flags) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (sent == nullptr || (buffers == nullptr && count > 0) || count > kMaxGather) return Fail(WSAEFAULT);
  iovec vectors[kMaxGather];
  std::size_t total = 0;
  for (u_long i = 0; i < count; ++i) {
    if (buffers[i].buf == nullptr && buffers[i].len > 0) return Fail(WSAEFAULT);
    vectors[i] = {buffers[i].buf, buffers[i].len};
    total += buffers[i].len;
  }
  if (total > static_cast<std::size_t>(std::numeric_limits<int>::max())) return Fail(WSAEFAULT);
  msghdr message{};
  message.msg_iov = vectors;
  message.msg_iovlen = count;
  const ssize_t result = ::sendmsg(entry->fd, &message, PosixFlags(flags));
  const int outcome = SendOutcome(*entry, result, static_cast<int>(total), errno);
  if (outcome == SOCKET_ERROR) return SOCKET_ERROR;
  *sent = static_cast<u_long>(outcome);
  return 0;
}

int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (len < 0 || (buf == nullptr && len > 0)) return Fail(WSAEFAULT);
  ::sockaddr_in address;
  if (!detail::ToPosix(to, tolen, address)) return Fail(WSAEFAULT);
  ssize_t sent = ::sendto(entry->fd, buf, static_cast<std::size_t>(len), PosixFlags(flags),
                          reinterpret_cast<::sockaddr*>(&address), sizeof address);
  return SendOutcome(*entry, sent, len, errno);
}

int recv(SOCKET s, char* buf, int len, int flags) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (len < 0 || (buf == nullptr && len > 0)) return Fail(WSAEFAULT);
  ssize_t received = ::recv(entry->fd, buf, static_cast<std::size_t>(len), (flags & WS_MSG_OOB) ? MSG_OOB : 0);
  return ReceiveOutcome(*entry, received, errno);
}

int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (len < 0 || (buf == nullptr && len > 0)) return Fail(WSAEFAULT);
  ::sockaddr_in peer{};
  socklen_t length = sizeof peer;
  ssize_t received = ::recvfrom(entry->fd, buf, static_cast<std::size_t>(len), (flags & WS_MSG_OOB) ? MSG_OOB : 0,
                                reinterpret_cast<::sockaddr*>(&peer), &length);
  const int error = errno;
  if (received >= 0 && !detail::FromPosix(peer, from, fromlen)) {
    detail::ArmRead(*entry);
    return Fail(WSAEFAULT);
  }
  return ReceiveOutcome(*entry, received, error);
}

}  // namespace ws
