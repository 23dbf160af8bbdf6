// SPDX-License-Identifier: MIT
// Conversion between the WinSock and POSIX IPv4 address records (internal).
#pragma once

#include <netinet/in.h>

#include "platform/winsock_shim.h"

namespace ws::detail {

// False when the record is too short or not AF_INET.
bool ToPosix(const sockaddr* from, int length, ::sockaddr_in& to);
// Fills `to` (when not null) and its length; false when `*length` is too small.
bool FromPosix(const ::sockaddr_in& from, sockaddr* to, int* length);

}  // namespace ws::detail
