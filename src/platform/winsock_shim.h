// SPDX-License-Identifier: MIT
// WinSock 1.1 over POSIX sockets, as wide as the socket component needs.
//
// Calls, return values and error codes follow WinSock: 0 or a count on success, SOCKET_ERROR
// or INVALID_SOCKET on failure with the WinSock code in WSAGetLastError(). Sockets are used on
// the thread that created them; WSAAsyncSelect notifications go to that thread's hidden windows.
//
// Constants whose POSIX spelling is a macro (AF_INET, SOL_SOCKET, FIONREAD, ...) carry a WS_
// prefix, because their WinSock values differ and both must coexist in the shim itself.
#pragma once

#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/message_window.h"

namespace ws {

using win::HWND;
using win::LPARAM;
using win::UINT;
using u_short = std::uint16_t;
using u_long = std::uint32_t;
using SOCKET = std::uint32_t;
using HANDLE = std::uintptr_t;  // asynchronous task handle, 0 when none

constexpr SOCKET INVALID_SOCKET = ~SOCKET{0};
constexpr int SOCKET_ERROR = -1;

constexpr int WS_AF_INET = 2;
constexpr int WS_SOCK_STREAM = 1;
constexpr int WS_SOCK_DGRAM = 2;
constexpr int WS_IPPROTO_TCP = 6;
constexpr int WS_IPPROTO_UDP = 17;
constexpr int WS_SOL_SOCKET = 0xFFFF;
constexpr int WS_SO_REUSEADDR = 0x0004;
constexpr int WS_SO_KEEPALIVE = 0x0008;
constexpr int WS_SO_BROADCAST = 0x0020;
constexpr int WS_SO_LINGER = 0x0080;
constexpr long WS_FIONREAD = 0x4004667F;
// Not a WinSock code: bytes of a stream socket that the peer has not acknowledged yet (sent or
// still waiting in the system). Lets a sender see its data move while no event comes.
constexpr long WS_SIOCOUTQ = 0x40047380;
constexpr int WS_MSG_OOB = 1;
constexpr u_long WS_INADDR_ANY = 0;
constexpr u_long WS_INADDR_NONE = 0xFFFFFFFF;
constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;

constexpr int WSAEINTR = 10004;
constexpr int WSAEBADF = 10009;
constexpr int WSAEACCES = 10013;
constexpr int WSAEFAULT = 10014;
constexpr int WSAEINVAL = 10022;
constexpr int WSAEMFILE = 10024;
constexpr int WSAEWOULDBLOCK = 10035;
constexpr int WSAEINPROGRESS = 10036;
constexpr int WSAEALREADY = 10037;
constexpr int WSAENOTSOCK = 10038;
constexpr int WSAEDESTADDRREQ = 10039;
constexpr int WSAEMSGSIZE = 10040;
constexpr int WSAEPROTOTYPE = 10041;
constexpr int WSAENOPROTOOPT = 10042;
constexpr int WSAEPROTONOSUPPORT = 10043;
constexpr int WSAESOCKTNOSUPPORT = 10044;
constexpr int WSAEOPNOTSUPP = 10045;
constexpr int WSAEPFNOSUPPORT = 10046;
constexpr int WSAEAFNOSUPPORT = 10047;
constexpr int WSAEADDRINUSE = 10048;
constexpr int WSAEADDRNOTAVAIL = 10049;
constexpr int WSAENETDOWN = 10050;
constexpr int WSAENETUNREACH = 10051;
constexpr int WSAENETRESET = 10052;
constexpr int WSAECONNABORTED = 10053;
constexpr int WSAECONNRESET = 10054;
constexpr int WSAENOBUFS = 10055;
constexpr int WSAEISCONN = 10056;
constexpr int WSAENOTCONN = 10057;
constexpr int WSAESHUTDOWN = 10058;
constexpr int WSAETOOMANYREFS = 10059;
constexpr int WSAETIMEDOUT = 10060;
constexpr int WSAECONNREFUSED = 10061;
constexpr int WSAELOOP = 10062;
constexpr int WSAENAMETOOLONG = 10063;
constexpr int WSAEHOSTDOWN = 10064;
constexpr int WSAEHOSTUNREACH = 10065;
constexpr int WSAENOTEMPTY = 10066;
constexpr int WSAEPROCLIM = 10067;
constexpr int WSAEUSERS = 10068;
constexpr int WSAEDQUOT = 10069;
constexpr int WSAESTALE = 10070;
constexpr int WSAEREMOTE = 10071;
constexpr int WSASYSNOTREADY = 10091;
constexpr int WSAVERNOTSUPPORTED = 10092;
constexpr int WSANOTINITIALISED = 10093;
constexpr int WSAHOST_NOT_FOUND = 11001;
constexpr int WSATRY_AGAIN = 11002;
constexpr int WSANO_RECOVERY = 11003;
constexpr int WSANO_DATA = 11004;

struct in_addr {
  u_long s_addr;  // network order
};
struct sockaddr {
  u_short sa_family;
  char sa_data[14];
};
struct sockaddr_in {
  std::int16_t sin_family;
  u_short sin_port;  // network order
  in_addr sin_addr;
  char sin_zero[8];
};
static_assert(sizeof(sockaddr_in) == 16 && sizeof(sockaddr) == 16);

struct linger {
  u_short l_onoff;
  u_short l_linger;  // seconds
};
struct timeval {
  long tv_sec;
  long tv_usec;
};
struct WSADATA {
  std::uint16_t wVersion;
  std::uint16_t wHighVersion;
  std::string szDescription;
  std::string szSystemStatus;
};

// Results of the database look-ups. WinSock hands out pointers into its own storage; values
// are simpler and no caller needs the raw layout.
struct HostEntry {
  std::string h_name;
  std::vector<u_long> h_addr_list;  // IPv4 addresses, network order, in resolver order
};
struct ServEntry {
  std::string s_name;
  std::string s_proto;
  u_short s_port;  // network order
};
struct ProtoEntry {
  std::string p_name;
  std::int16_t p_proto;
};

// Byte order. The names are parenthesised so that the POSIX macros of the same names, where a
// translation unit has them, do not expand here.
constexpr std::uint16_t(htons)(std::uint16_t v) {
  return std::endian::native == std::endian::little ? static_cast<std::uint16_t>((v >> 8) | (v << 8)) : v;
}
constexpr std::uint16_t(ntohs)(std::uint16_t v) { return (htons)(v); }
constexpr std::uint32_t(htonl)(std::uint32_t v) {
  return std::endian::native == std::endian::little
             ? (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24)
             : v;
}
constexpr std::uint32_t(ntohl)(std::uint32_t v) { return (htonl)(v); }

constexpr long WSAGETSELECTEVENT(LPARAM l) { return win::LOWORD(l); }
constexpr int WSAGETSELECTERROR(LPARAM l) { return win::HIWORD(l); }
constexpr int WSAGETASYNCERROR(LPARAM l) { return win::HIWORD(l); }
constexpr LPARAM WSAMAKESELECTREPLY(long event, int error) {
  return win::MAKELONG(static_cast<std::uint16_t>(event), static_cast<std::uint16_t>(error));
}

// Start-up and errors.
int WSAStartup(std::uint16_t versionRequested, WSADATA* data);  // returns the error code
int WSACleanup();
int WSAGetLastError();
void WSASetLastError(int code);

// Sockets. Blocking until WSAAsyncSelect makes them non-blocking; SIGPIPE is never raised.
SOCKET socket(int af, int type, int protocol);
int bind(SOCKET s, const sockaddr* name, int namelen);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, sockaddr* addr, int* addrlen);
int connect(SOCKET s, const sockaddr* name, int namelen);
int send(SOCKET s, const char* buf, int len, int flags);
int sendto(SOCKET s, const char* buf, int len, int flags, const sockaddr* to, int tolen);
// Gathering send of a connected socket (the WinSock 2 call, without overlapped I/O): the
// buffers go out in order as one stream, as far as the socket takes them; *sent tells how far.
// 0 on success, SOCKET_ERROR with the code otherwise; a full socket re-arms FD_WRITE like send.
struct WSABUF {
  u_long len;
  char* buf;
};
int WSASend(SOCKET s, const WSABUF* buffers, u_long count, u_long* sent, int flags);
int recv(SOCKET s, char* buf, int len, int flags);
int recvfrom(SOCKET s, char* buf, int len, int flags, sockaddr* from, int* fromlen);
int closesocket(SOCKET s);
int shutdown(SOCKET s, int how);
int setsockopt(SOCKET s, int level, int optname, const char* optval, int optlen);
int getsockname(SOCKET s, sockaddr* name, int* namelen);
int getpeername(SOCKET s, sockaddr* name, int* namelen);
int ioctlsocket(SOCKET s, long cmd, u_long* argp);  // WS_FIONREAD and WS_SIOCOUTQ

// Addresses and blocking database look-ups.
u_long inet_addr(const char* text);  // WS_INADDR_NONE when not a dotted address
std::string inet_ntoa(in_addr address);
std::optional<HostEntry> gethostbyname(const char* name);
std::optional<ServEntry> getservbyname(const char* name, const char* proto);  // proto may be null
std::optional<ProtoEntry> getprotobyname(const char* name);

// Asynchronous selection: posts `message` to `window` with wParam = s and
// lParam = WSAMAKESELECTREPLY(event, error) for the events of `mask`, by WinSock's rules:
// FD_CONNECT once, with its error; FD_WRITE once connected and again after a send that would
// block or was cut short; FD_READ and FD_ACCEPT again after each recv or accept; FD_CLOSE once,
// after the data has been read. A mask of 0 stops the notifications. Notifications still queued
// when the socket is closed are dropped.
int WSAAsyncSelect(SOCKET s, HWND window, UINT message, long mask);
// Posts a notification on behalf of `s`, dropped like the shim's own if `s` is closed first.
bool PostSocketNotification(SOCKET s, HWND window, UINT message, LPARAM lParam);

// Asynchronous host look-up: the reply is posted to `window` as `message` with wParam = the
// handle and the WinSock error in the high word of lParam; `entry` is filled just before the
// reply is delivered. A cancelled request never delivers nor touches `entry`.
HANDLE WSAAsyncGetHostByName(HWND window, UINT message, const char* name, HostEntry* entry);
int WSACancelAsyncRequest(HANDLE task);

}  // namespace ws
