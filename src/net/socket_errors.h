// SPDX-License-Identifier: MIT
// English texts of the WinSock error codes.
#pragma once

#include <cstdint>
#include <string>

// "Not a WinSock error" for a code outside the table.
std::string SocketErrorDesc(std::int32_t code);

// "Error <code> in function <name>" CR LF "<text of the code>".
std::string SocketErrorMessage(std::int32_t code, const std::string& functionName);
