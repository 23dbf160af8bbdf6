// SPDX-License-Identifier: MIT
#include "net/send_buffer.h"

#include <algorithm>
#include <cstring>

SendBuffer::SendBuffer(std::int32_t size) { Resize(size); }

void SendBuffer::Resize(std::int32_t size) {
  if (size <= 0) size = kDefaultSize;
  if (size == FBufSize) return;
  // Only bytes below the write position are ever read, so the block needs no zero fill.
  auto block = std::make_unique_for_overwrite<char[]>(static_cast<std::size_t>(size));
  if (FWrCount != FRdCount) std::memcpy(block.get(), FBuf.get(), static_cast<std::size_t>(std::min(FWrCount, size)));
  FBuf = std::move(block);
  FBufSize = size;
  // A block cut below its write position keeps what still fits.
  FWrCount = std::min(FWrCount, size);
  FRdCount = std::min(FRdCount, FWrCount);
}

std::int32_t SendBuffer::Append(const char* data, std::int32_t length) {
  std::int32_t count = std::clamp(length, 0, FBufSize - FWrCount);
  if (count > 0) std::memcpy(FBuf.get() + FWrCount, data, static_cast<std::size_t>(count));
  FWrCount += count;
  return count;
}

std::int32_t SendBuffer::PendingData(const char*& data) const {
  std::int32_t count = FWrCount - FRdCount;
  data = count > 0 ? FBuf.get() + FRdCount : nullptr;
  return count;
}

std::int32_t SendBuffer::Consume(std::int32_t count) {
  std::int32_t consumed = std::clamp(count, 0, FWrCount - FRdCount);
  FRdCount += consumed;
  if (FRdCount == FWrCount) FWrCount = FRdCount = 0;
  return consumed;
}
