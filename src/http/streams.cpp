// SPDX-License-Identifier: MIT
#include "http/streams.h"

#include <algorithm>
#include <cstring>

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
  if (position_ >= bytes_.size()) return 0;
  const std::size_t n = std::min(count, bytes_.size() - position_);
  std::memcpy(buffer, bytes_.data() + position_, n);
  position_ += n;
  return n;
}

void MemoryStream::Write(const void* buffer, std::size_t count) {
  if (count > limit_ || position_ > limit_ - count) {
    throw StreamError("Stream write error: more than " + std::to_string(limit_) + " bytes");
  }
  if (position_ + count > bytes_.size()) bytes_.resize(position_ + count);
  std::memcpy(bytes_.data() + position_, buffer, count);
  position_ += count;
}
