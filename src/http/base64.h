// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// Standard Base64 with "=" padding, on the bytes as they are.
std::string EncodeBase64(std::string_view bytes);
