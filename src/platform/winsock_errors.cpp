// SPDX-License-Identifier: MIT
#include <netdb.h>

#include <atomic>
#include <cerrno>

#include "platform/winsock_internal.h"

namespace ws {
namespace {

thread_local int lastError = 0;
std::atomic<int> startupCount{0};

}  // namespace

namespace detail {

int FromErrno(int posixError) {
  switch (posixError) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF: return WSAENOTSOCK;  // a handle that is not an open socket
    case EACCES: case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE: case ENFILE: return WSAEMFILE;
    case EWOULDBLOCK: case EINPROGRESS: return WSAEWOULDBLOCK;
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET: case EPIPE: return WSAECONNRESET;
    case ENOBUFS: case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETOOMANYREFS: return WSAETOOMANYREFS;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case ELOOP: return WSAELOOP;
    case ENAMETOOLONG: return WSAENAMETOOLONG;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    case ENOTEMPTY: return WSAENOTEMPTY;
    case EUSERS: return WSAEUSERS;
    case EDQUOT: return WSAEDQUOT;
    case ESTALE: return WSAESTALE;
    case EREMOTE: return WSAEREMOTE;
    default: return WSAENETDOWN;  // an unexpected failure of the network layer
  }
}

int FromResolverError(int gaiError, int posixError) {
  switch (gaiError) {
    case 0: return 0;
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_NODATA: case EAI_ADDRFAMILY: return WSANO_DATA;
    case EAI_MEMORY: return WSAENOBUFS;
    case EAI_SYSTEM: return posixError == ENOMEM ? WSAENOBUFS : WSANO_RECOVERY;
    default: return WSANO_RECOVERY;
  }
}

int Fail(int code) {
  lastError = code;
  return SOCKET_ERROR;
}

bool Started() { return startupCount.load() > 0; }

}  // namespace detail

int WSAGetLastError() { return lastError; }
void WSASetLastError(int code) { lastError = code; }

int WSAStartup(std::uint16_t versionRequested, WSADATA* data) {
  const int major = versionRequested & 0xFF;
  const int minor = versionRequested >> 8;
  if (major < 1 || (major == 1 && minor < 1)) return WSAVERNOTSUPPORTED;
  if (data == nullptr) return WSAEFAULT;
  data->wVersion = 0x0101;
  data->wHighVersion = 0x0101;
  data->szDescription = "WinSock 1.1 over POSIX sockets";
  data->szSystemStatus = "Running";
  ++startupCount;
  return 0;
}

int WSACleanup() {
  if (startupCount.fetch_sub(1) > 0) return 0;
  ++startupCount;
  return detail::Fail(WSANOTINITIALISED);
}

}  // namespace ws
