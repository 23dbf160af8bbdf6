// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

// The one exception of the synchronous calls: Code is 1 (busy), 2 (nothing to post), a
// refused request property (see http_client.h), or the final status code of the request.
class HttpError : public std::runtime_error {
 public:
  HttpError(const std::string& message, std::uint16_t code) : std::runtime_error(message), Code(code) {}
  std::uint16_t Code;
};
