// SPDX-License-Identifier: MIT
#pragma once
// Byte streams lent to the HTTP client: the body of a POST is read from one, the document is
// written to another. Whoever creates a stream owns it and releases it.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

class StreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Stream {
 public:
  virtual ~Stream() = default;
  // Reads up to `count` bytes from the position; answers how many were read (0 at the end).
  virtual std::size_t Read(void* buffer, std::size_t count) = 0;
  // Writes all `count` bytes at the position or throws StreamError.
  virtual void Write(const void* buffer, std::size_t count) = 0;
  virtual void Seek(std::size_t position) = 0;
  virtual std::size_t Position() const = 0;
  virtual std::size_t Size() const = 0;
};

// An in-memory stream. A limit bounds what it accepts, so a response that grows without end
// fails the request instead of filling memory.
class MemoryStream : public Stream {
 public:
  static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);

  explicit MemoryStream(std::size_t limit = kNoLimit) : limit_(limit) {}

  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void* buffer, std::size_t count) override;
  void Seek(std::size_t position) override { position_ = position; }
  std::size_t Position() const override { return position_; }
  std::size_t Size() const override { return bytes_.size(); }

  void WriteString(std::string_view text) { Write(text.data(), text.size()); }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
  std::size_t position_ = 0;
  std::size_t limit_;
};
