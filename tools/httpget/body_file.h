// SPDX-License-Identifier: MIT
#pragma once
// The body of `httpget -d @file`, read from the file as the request goes out instead of being
// held whole in memory. A file that cannot be sized up front (a pipe, a terminal) is read into
// memory first, since the request announces its length before the body.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "http/streams.h"

class BodyFile : public Stream {
 public:
  // Opens `path`; throws std::runtime_error when it cannot be read.
  explicit BodyFile(const std::string& path);
  ~BodyFile() override;
  BodyFile(const BodyFile&) = delete;
  BodyFile& operator=(const BodyFile&) = delete;

  // Never more than Size() bytes; a file that ends sooner (it shrank meanwhile) or fails to
  // read throws StreamError, so the request fails instead of going out short.
  std::size_t Read(void* buffer, std::size_t count) override;
  void Write(const void*, std::size_t) override { throw StreamError("the request body is read only"); }
  void Seek(std::size_t position) override;
  std::size_t Position() const override { return position_; }
  std::size_t Size() const override { return size_; }

 private:
  bool Refill();

  std::string path_;
  int fd_ = -1;
  std::unique_ptr<MemoryStream> whole_;  // the contents of a file without a size
  std::size_t size_ = 0;
  std::size_t position_ = 0;
  std::vector<char> buffer_;  // read ahead in large pieces; the client takes small chunks
  std::size_t bufferStart_ = 0;
  std::size_t bufferFill_ = 0;
};
