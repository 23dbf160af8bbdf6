// SPDX-License-Identifier: MIT
#include "webmail/imap/token_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "webmail/imap/gateway_config.h"

namespace webmail {
namespace {

std::string StateFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') return state;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/state";
}

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
  throw GatewayConfigError("Cannot " + what + " " + path + ": " + std::strerror(errno));
}

void WriteAll(int fd, const std::string& text, const std::string& path) {
  for (std::size_t at = 0; at < text.size();) {
    const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail("write", path);
    at += static_cast<std::size_t>(n);
  }
}

}  // namespace

TokenStore::TokenStore(std::string folder) : folder_(folder.empty() ? StateFolder() + "/vexmira/tokens" : std::move(folder)) {}

std::string TokenStore::Load(const std::string& login) const {
  const std::string path = PathOf(login);
  if (::access(path.c_str(), F_OK) != 0) return {};
  RequireOwnerOnly(path, "Token file");
  std::ifstream in(path, std::ios::binary);
  std::string token;
  if (!in || !std::getline(in, token)) throw GatewayConfigError("Cannot read token file " + path);
  return token;
}

void TokenStore::Save(const std::string& login, const std::string& token) const {
  std::error_code error;
  std::filesystem::create_directories(folder_, error);
  if (error || ::chmod(folder_.c_str(), 0700) != 0) Fail("make the token folder", folder_);
  const std::string path = PathOf(login);
  const std::string temporary = path + ".new";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) Fail("write", temporary);
  try {
    if (::fchmod(fd, 0600) != 0) Fail("write", temporary);  // a file left by a crash keeps no other mode
    WriteAll(fd, token + "\n", temporary);
    if (::fsync(fd) != 0) Fail("write", temporary);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
  if (::rename(temporary.c_str(), path.c_str()) != 0) Fail("replace", path);
}

}  // namespace webmail
