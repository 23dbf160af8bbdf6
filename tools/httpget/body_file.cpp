// SPDX-License-Identifier: MIT
#include "body_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::size_t kReadAhead = 64 * 1024;

std::string ErrorText(const std::string& path) { return path + ": " + std::strerror(errno); }

}  // namespace

BodyFile::BodyFile(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) {
    const std::string reason = "cannot read " + ErrorText(path);
    if (fd_ >= 0) ::close(fd_);
    throw std::runtime_error(reason);
  }
  if (S_ISREG(info.st_mode)) {
    size_ = static_cast<std::size_t>(info.st_size);
    buffer_.resize(kReadAhead);
    return;
  }
  whole_ = std::make_unique<MemoryStream>();
  std::vector<char> piece(kReadAhead);
  for (;;) {
    const ssize_t n = ::read(fd_, piece.data(), piece.size());
    if (n == 0) break;
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const std::string reason = "cannot read " + ErrorText(path);
      ::close(fd_);
      throw std::runtime_error(reason);
    }
    whole_->Write(piece.data(), static_cast<std::size_t>(n));
  }
  size_ = whole_->Size();
  whole_->Seek(0);
}

BodyFile::~BodyFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t BodyFile::Read(void* buffer, std::size_t count) {
  if (whole_) {
    const std::size_t n = whole_->Read(buffer, count);
    position_ += n;
    return n;
  }
  count = std::min(count, size_ - std::min(position_, size_));
  if (count == 0) return 0;
  if (position_ >= bufferStart_ + bufferFill_ && !Refill())
    throw StreamError(path_ + " ended before its " + std::to_string(size_) + " bytes");
  const std::size_t offset = position_ - bufferStart_;
  const std::size_t n = std::min(count, bufferFill_ - offset);
  std::memcpy(buffer, buffer_.data() + offset, n);
  position_ += n;
  return n;
}

// Reads the next piece at the position; false at the end of the file.
bool BodyFile::Refill() {
  bufferStart_ = position_;
  bufferFill_ = 0;
  for (;;) {
    const ssize_t n = ::pread(fd_, buffer_.data(), buffer_.size(), static_cast<off_t>(position_));
    if (n >= 0) {
      bufferFill_ = static_cast<std::size_t>(n);
      return n > 0;
    }
    if (errno != EINTR) throw StreamError("cannot read " + ErrorText(path_));
  }
}

// A relocated POST sends the body again from its start: the next read starts afresh there.
void BodyFile::Seek(std::size_t position) {
  if (whole_) whole_->Seek(position);
  position_ = position;
  bufferStart_ = position;
  bufferFill_ = 0;
}
