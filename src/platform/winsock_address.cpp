// SPDX-License-Identifier: MIT
#include "platform/winsock_address.h"

#include <cstring>

namespace ws::detail {

// Both records are family (16 bits), port, address and 8 zero bytes.
static_assert(sizeof(::sockaddr_in) == sizeof(sockaddr_in));

bool ToPosix(const sockaddr* from, int length, ::sockaddr_in& to) {
  if (from == nullptr || length < static_cast<int>(sizeof(sockaddr_in))) return false;
  sockaddr_in in;
  std::memcpy(&in, from, sizeof in);
  if (in.sin_family != WS_AF_INET) return false;
  to = {};
  to.sin_family = AF_INET;
  to.sin_port = in.sin_port;
  to.sin_addr.s_addr = in.sin_addr.s_addr;
  return true;
}

bool FromPosix(const ::sockaddr_in& from, sockaddr* to, int* length) {
  if (to == nullptr) return true;
  if (length == nullptr || *length < static_cast<int>(sizeof(sockaddr_in))) return false;
  sockaddr_in out{};
  out.sin_family = WS_AF_INET;
  out.sin_port = from.sin_port;
  out.sin_addr.s_addr = from.sin_addr.s_addr;
  std::memcpy(to, &out, sizeof out);
  *length = sizeof out;
  return true;
}

}  // namespace ws::detail
