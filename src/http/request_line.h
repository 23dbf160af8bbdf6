// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// The blank and the controls of the byte world (C0, DEL, C1): none may stand in a request line.
bool UnfitForRequestLine(unsigned char c);

// Percent-encodes (%XX, upper-case hex) the bytes that cannot stand in a request line; every
// other byte, "%" included, stays as it is. CR, LF and NUL stay too: the client refuses a URL
// that holds them, and such a value must not go out in any form.
std::string EncodeForRequestLine(std::string_view text);
