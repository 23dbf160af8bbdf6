// SPDX-License-Identifier: MIT
// One block of the socket's send queue: bytes are appended at the write position and sent
// from the read position; the block is reused from its start once it has drained.
#pragma once

#include <cstdint>
#include <memory>

class SendBuffer {
 public:
  static constexpr std::int32_t kDefaultSize = 1514;  // one full Ethernet frame

  explicit SendBuffer(std::int32_t size);

  // A size of 0 or less means kDefaultSize; pending bytes are kept.
  void Resize(std::int32_t size);
  // Copies as many bytes as fit; returns how many (0 when the block is full).
  std::int32_t Append(const char* data, std::int32_t length);
  // The pending bytes; count 0 and a null pointer when none.
  std::int32_t PendingData(const char*& data) const;
  // Marks up to `count` pending bytes as sent; returns how many.
  std::int32_t Consume(std::int32_t count);

  std::int32_t Size() const { return FBufSize; }

 private:
  std::unique_ptr<char[]> FBuf;
  std::int32_t FBufSize = 0;
  std::int32_t FWrCount = 0;
  std::int32_t FRdCount = 0;
};
