// SPDX-License-Identifier: MIT
// The socket component's exception: a message text and nothing else.
#pragma once

#include <stdexcept>

class SocketError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
