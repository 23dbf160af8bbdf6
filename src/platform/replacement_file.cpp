// SPDX-License-Identifier: MIT
#include "platform/replacement_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "platform/file_error.h"

namespace win::detail {
namespace {

constexpr std::string_view kMarker = ".tmp-";
constexpr std::size_t kSuffixLength = 6;
constexpr std::string_view kSuffixCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr int kNameAttempts = 100;

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

std::string RandomSuffix() {
  unsigned char bytes[kSuffixLength] = {};
  if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) FailWithErrno();
  std::string suffix;
  for (const unsigned char byte : bytes) suffix += kSuffixCharacters[byte % kSuffixCharacters.size()];
  return suffix;
}

bool IsReplacementOf(std::string_view entry, std::string_view targetName) {
  if (!entry.starts_with(targetName)) return false;
  entry.remove_prefix(targetName.size());
  if (!entry.starts_with(kMarker)) return false;
  entry.remove_prefix(kMarker.size());
  return entry.size() == kSuffixLength && entry.find_first_not_of(kSuffixCharacters) == std::string_view::npos;
}

// Left by a save that was killed between naming its file and the rename, or while writing where
// files cannot be unnamed. Only regular files of this user's under our own naming are touched;
// one that cannot be removed is no reason to fail this save.
void RemoveStaleReplacements(const std::string& target) {
  DIR* directory = ::opendir(DirectoryOf(target).c_str());
  if (!directory) return;
  const std::string targetName = NameOf(target);
  while (const dirent* entry = ::readdir(directory)) {
    struct stat info {};
    if (IsReplacementOf(entry->d_name, targetName) &&
        ::fstatat(::dirfd(directory), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == ::geteuid())
      ::unlinkat(::dirfd(directory), entry->d_name, 0);
  }
  ::closedir(directory);
}

// Unsupported by the kernel (EISDIR) or by the file system (EOPNOTSUPP).
bool UnnamedUnsupported(int error) { return error == EOPNOTSUPP || error == EISDIR; }

}  // namespace

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {
  RemoveStaleReplacements(target_);
  fd_.Reset(::open(DirectoryOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (fd_.Get() >= 0) return;
  if (!UnnamedUnsupported(errno)) FailWithErrno();
  std::string name = target_ + std::string(kMarker) + "XXXXXX";
  fd_.Reset(::mkostemp(name.data(), O_CLOEXEC));  // mode 0600
  if (fd_.Get() < 0) FailWithErrno();
  name_ = std::move(name);
}

ReplacementFile::~ReplacementFile() {
  if (!placed_ && !name_.empty()) ::unlink(name_.c_str());
}

// A link into the directory under a fresh name of ours: linkat cannot replace the target itself.
void ReplacementFile::GiveName() {
  const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = target_ + std::string(kMarker) + RandomSuffix();
    int linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
    if (linked != 0 && errno == ENOENT)  // no /proc: the privileged form
      linked = ::linkat(fd_.Get(), "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
    if (linked == 0) {
      name_ = std::move(name);
      return;
    }
    if (errno != EEXIST) FailWithErrno();
  }
  FailWithErrno();
}

void ReplacementFile::PutInPlace() {
  if (name_.empty()) GiveName();
  if (::close(fd_.Release()) != 0 || ::rename(name_.c_str(), target_.c_str()) != 0) FailWithErrno();
  placed_ = true;
  // Makes the rename itself durable; the new content is complete either way.
  FileDescriptor directory(::open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.Get() >= 0) ::fsync(directory.Get());
}

}  // namespace win::detail
