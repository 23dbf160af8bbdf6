// SPDX-License-Identifier: MIT
// The socket options the component sets, translated to their POSIX counterparts.
#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "platform/winsock_internal.h"

namespace ws {

using detail::Fail;

namespace {

int PosixFlagOption(int optname) {
  switch (optname) {
    case WS_SO_REUSEADDR: return SO_REUSEADDR;
    case WS_SO_KEEPALIVE: return SO_KEEPALIVE;
    case WS_SO_BROADCAST: return SO_BROADCAST;
    default: return -1;
  }
}

int SetLinger(int fd, const char* optval, int optlen) {
  linger value;
  if (optval == nullptr || optlen < static_cast<int>(sizeof value)) return Fail(WSAEFAULT);
  std::memcpy(&value, optval, sizeof value);
  ::linger posix{value.l_onoff != 0 ? 1 : 0, value.l_linger};
  if (::setsockopt(fd, SOL_SOCKET, SO_LINGER, &posix, sizeof posix) < 0) return Fail(detail::FromErrno(errno));
  return 0;
}

int SetFlag(int fd, int option, const char* optval, int optlen) {
  std::int32_t value;
  if (optval == nullptr || optlen < static_cast<int>(sizeof value)) return Fail(WSAEFAULT);
  std::memcpy(&value, optval, sizeof value);
  int posix = value != 0 ? 1 : 0;
  if (::setsockopt(fd, SOL_SOCKET, option, &posix, sizeof posix) < 0) return Fail(detail::FromErrno(errno));
  return 0;
}

}  // namespace

int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen) {
  detail::SocketEntry* entry = detail::FindSocket(s);
  if (!entry) return Fail(WSAENOTSOCK);
  if (level != WS_SOL_SOCKET) return Fail(WSAEINVAL);
  if (optname == WS_SO_LINGER) {
    if (entry->datagram) return Fail(WSAENOPROTOOPT);
    return SetLinger(entry->fd, optval, optlen);
  }
  int option = PosixFlagOption(optname);
  if (option < 0) return Fail(WSAENOPROTOOPT);
  return SetFlag(entry->fd, option, optval, optlen);
}

}  // namespace ws
