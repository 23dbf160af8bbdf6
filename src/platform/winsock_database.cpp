// SPDX-License-Identifier: MIT
// Dotted addresses and the blocking host, service and protocol look-ups.
#include <arpa/inet.h>
#include <netdb.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/winsock_internal.h"

namespace ws {
namespace {

// Records the WinSock code of a failed look-up.
std::nullopt_t Missing(int code) {
  detail::Fail(code);
  return std::nullopt;
}

}  // namespace

namespace detail {

Resolution ResolveIpv4(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address
  hints.ai_flags = AI_CANONNAME;
  addrinfo* list = nullptr;
  int result = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
  if (result != 0) return {{}, FromResolverError(result, errno)};
  Resolution resolution{{list->ai_canonname ? list->ai_canonname : name, {}}, 0};
  for (addrinfo* item = list; item; item = item->ai_next) {
    u_long address = reinterpret_cast<const ::sockaddr_in*>(item->ai_addr)->sin_addr.s_addr;
    std::vector<u_long>& addresses = resolution.entry.h_addr_list;
    if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) addresses.push_back(address);
  }
  ::freeaddrinfo(list);
  return resolution;
}

}  // namespace detail

u_long inet_addr(const char* text) {
  ::in_addr address;
  if (text == nullptr || ::inet_aton(text, &address) == 0) return WS_INADDR_NONE;
  return address.s_addr;
}

std::string inet_ntoa(in_addr address) {
  char text[INET_ADDRSTRLEN];
  ::in_addr posix{address.s_addr};
  return ::inet_ntop(AF_INET, &posix, text, sizeof text);
}

std::optional<HostEntry> gethostbyname(const char* name) {
  if (!detail::Started()) return Missing(WSANOTINITIALISED);
  if (name == nullptr) return Missing(WSAEFAULT);
  detail::Resolution resolution = detail::ResolveIpv4(name);
  if (resolution.error != 0) return Missing(resolution.error);
  return resolution.entry;
}

std::optional<ServEntry> getservbyname(const char* name, const char* proto) {
  if (!detail::Started()) return Missing(WSANOTINITIALISED);
  if (name == nullptr) return Missing(WSAEFAULT);
  ::servent entry;
  ::servent* found = nullptr;
  char buffer[1024];
  if (::getservbyname_r(name, proto, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
    return Missing(WSANO_DATA);
  }
  return ServEntry{found->s_name, found->s_proto, static_cast<u_short>(found->s_port)};
}

std::optional<ProtoEntry> getprotobyname(const char* name) {
  if (!detail::Started()) return Missing(WSANOTINITIALISED);
  if (name == nullptr) return Missing(WSAEFAULT);
  ::protoent entry;
  ::protoent* found = nullptr;
  char buffer[1024];
  if (::getprotobyname_r(name, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) {
    return Missing(WSANO_DATA);
  }
  return ProtoEntry{found->p_name, static_cast<std::int16_t>(found->p_proto)};
}

}  // namespace ws
