// SPDX-License-Identifier: MIT
#pragma once
// The bytes of one answer, handed out in pieces as the connection can take them. It ends the
// answer early for the close-after-bytes fault and never ends an endless body.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "webmail/service/http_reply.h"

namespace webmail {

class ReplyStream {
 public:
  // `closeAfterBytes`: stop after that many bytes, wherever they end (header or body).
  ReplyStream(const Reply& reply, std::optional<std::size_t> closeAfterBytes = std::nullopt);

  // The next at most `max` bytes; empty once the answer is complete (then close).
  std::string_view Next(std::size_t max);

  bool Finished() const;

 private:
  std::string bytes_;  // head and body
  bool endless_;
  std::size_t limit_;  // total bytes to hand out; SIZE_MAX for an endless body without a limit
  std::size_t sent_ = 0;
};

// What an endless body repeats after the page.
std::string_view EndlessFiller();

}  // namespace webmail
