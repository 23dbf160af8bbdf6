// SPDX-License-Identifier: MIT
#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/file_descriptor.h"
#include "platform/replacement_file.h"

namespace win::detail {
namespace {

[[noreturn]] void Fail(const std::string& reason) { throw FileError(reason); }
[[noreturn]] void FailWith(int error) {
  errno = error;
  FailWithErrno();
}

const char* const kTooLarge = "the file is larger than 1 MiB";

// A path whose file or directory does not exist names a file that is yet to be made.
bool NotThere(int error) { return error == ENOENT || error == ENOTDIR; }

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      FailWithErrno();
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
}

std::string LinkText(const std::string& path) {
  std::string text(4096, '\0');
  const ssize_t n = ::readlink(path.c_str(), text.data(), text.size());
  text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return text;
}

std::optional<std::string> ResolvedTarget(const std::string& link) {
  char* resolved = ::realpath(link.c_str(), nullptr);
  if (!resolved) return std::nullopt;
  std::string target(resolved);
  std::free(resolved);
  return target;
}

std::optional<struct stat> Status(const std::string& file) {
  struct stat info {};
  if (::lstat(file.c_str(), &info) == 0) return info;
  if (NotThere(errno)) return std::nullopt;
  FailWithErrno();
}

// No write permission at all, or none for this user.
bool ReadOnly(const std::string& file, const struct stat& info) {
  return (info.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

// The new file takes the old one's place, so it takes its owner, group and mode as well.
void TakeOwnerAndMode(int fd, const std::optional<struct stat>& old) {
  if (old) {
    struct stat mine {};
    if (::fstat(fd, &mine) != 0) FailWithErrno();
    if ((mine.st_uid != old->st_uid || mine.st_gid != old->st_gid) && ::fchown(fd, old->st_uid, old->st_gid) != 0)
      Fail("its owner and group cannot be kept");
  }
  if (::fchmod(fd, old ? old->st_mode & 07777 : 0600) != 0) FailWithErrno();
}

}  // namespace

std::string FileBehindPath(const std::string& path) {
  const std::optional<struct stat> info = Status(path);
  if (!info || !S_ISLNK(info->st_mode)) return path;
  const std::optional<std::string> target = ResolvedTarget(path);
  struct stat targetInfo {};
  if (target && ::stat(target->c_str(), &targetInfo) == 0 && S_ISREG(targetInfo.st_mode) &&
      targetInfo.st_uid == ::geteuid())
    return *target;
  Fail("it is a symbolic link to " + LinkText(path) + ", which is not one of this user's own files");
}

// Opened without blocking (a FIFO in its place would wait for a writer) and read up to one byte
// past the limit whatever the size claims (a device reads without end).
std::string ReadWholeFile(const std::string& file) {
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
  if (fd.Get() < 0) {
    if (NotThere(errno)) return {};
    FailWithErrno();
  }
  struct stat info {};
  if (::fstat(fd.Get(), &info) != 0) FailWithErrno();
  if (S_ISDIR(info.st_mode)) FailWith(EISDIR);
  if (!S_ISREG(info.st_mode)) Fail("it is not a regular file");
  if (static_cast<std::size_t>(info.st_size) > kMaxWholeFileSize) Fail(kTooLarge);
  std::string content;
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n == 0) return content;
    if (n < 0) {
      if (errno == EINTR) continue;
      FailWithErrno();
    }
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > kMaxWholeFileSize) Fail(kTooLarge);
  }
}

// What is written must stay readable: past the read limit it would be refused at the next read.
void ReplaceWholeFile(const std::string& file, std::string_view content) {
  if (content.size() > kMaxWholeFileSize) Fail("the file would be larger than 1 MiB");
  const std::optional<struct stat> old = Status(file);
  if (old && ReadOnly(file, *old)) Fail("the file is read-only");
  ReplacementFile replacement(file);
  WriteAll(replacement.Descriptor(), content);
  TakeOwnerAndMode(replacement.Descriptor(), old);
  if (::fsync(replacement.Descriptor()) != 0) FailWithErrno();
  replacement.PutInPlace();
}

}  // namespace win::detail
