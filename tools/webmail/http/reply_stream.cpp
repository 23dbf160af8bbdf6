// SPDX-License-Identifier: MIT
#include "webmail/http/reply_stream.h"

#include <algorithm>
#include <limits>

namespace webmail {

std::string_view EndlessFiller() {
  static const std::string filler = [] {
    std::string line = "<p>" + std::string(91, '.') + "</p>\r\n";  // 100 bytes
    std::string text;
    for (int i = 0; i < 40; ++i) text += line;
    return text;
  }();
  return filler;
}

ReplyStream::ReplyStream(const Reply& reply, std::optional<std::size_t> closeAfterBytes)
    : bytes_(reply.Head() + reply.body), endless_(reply.endless) {
  const std::size_t natural = endless_ ? std::numeric_limits<std::size_t>::max() : bytes_.size();
  limit_ = std::min(natural, closeAfterBytes.value_or(natural));
}

std::string_view ReplyStream::Next(std::size_t max) {
  const std::size_t count = std::min(max, limit_ - sent_);
  std::string_view piece;
  if (sent_ < bytes_.size()) {
    piece = std::string_view(bytes_).substr(sent_, count);
  } else {
    const std::string_view filler = EndlessFiller();
    const std::size_t offset = (sent_ - bytes_.size()) % filler.size();
    piece = filler.substr(offset, count);
  }
  sent_ += piece.size();
  return piece;
}

bool ReplyStream::Finished() const { return sent_ >= limit_; }

}  // namespace webmail
