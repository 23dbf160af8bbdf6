// SPDX-License-Identifier: MIT
#include "webmail/imap/token_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "session/password_keyring.h"
#include "webmail/imap/gateway_config.h"

namespace webmail {
namespace {

std::string StateFolder() {
  if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') return state;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.local/state";
}

std::string KeyringName(const std::string& login) { return "gateway refresh token [" + login + "]"; }

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

TokenStore::TokenStore(PasswordKeyring* keyring, std::string folder)
    : keyring_(keyring), folder_(folder.empty() ? StateFolder() + "/vexmira/tokens" : std::move(folder)) {}

bool TokenStore::KeyringRuns() const { return keyring_ && keyring_->Available(); }

// A token kept in the keyring wins; one in a file is from a time without a keyring.
std::string TokenStore::Load(const std::string& login) const {
  if (KeyringRuns()) {
    try {
      if (std::string token = keyring_->Read(KeyringName(login)); !token.empty()) return token;
    } catch (const KeyringError& e) {
      std::fprintf(stderr, "webmail: the keyring did not give [%s]'s refresh token (%s); trying the token file\n",
                   login.c_str(), e.what());
    }
  }
  return LoadFile(login);
}

// A keyring that fails to keep the token must not lose it: the file keeps it then.
std::string TokenStore::Save(const std::string& login, const std::string& token) const {
  if (KeyringRuns()) {
    try {
      keyring_->Write(KeyringName(login), token);
      std::error_code ignored;  // no file is no error; one that cannot go is shadowed by the keyring's
      std::filesystem::remove(PathOf(login), ignored);  // an older token must not outlive the new one
      return "the desktop keyring";
    } catch (const KeyringError& e) {
      std::fprintf(stderr, "webmail: the keyring did not keep [%s]'s refresh token (%s); it goes into %s\n",
                   login.c_str(), e.what(), PathOf(login).c_str());
    }
  }
  return SaveFile(login, token);
}

std::string TokenStore::LoadFile(const std::string& login) const {
  const std::string path = PathOf(login);
  if (::access(path.c_str(), F_OK) != 0) return {};
  RequireOwnerOnly(path, "Token file");
  std::ifstream in(path, std::ios::binary);
  std::string token;
  if (!in || !std::getline(in, token)) throw GatewayConfigError("Cannot read token file " + path);
  return token;
}

std::string TokenStore::SaveFile(const std::string& login, const std::string& token) const {
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
  return path;
}

}  // namespace webmail
