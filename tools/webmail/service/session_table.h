// SPDX-License-Identifier: MIT
#pragma once
// Logged-in sessions: session id to account login. Ids are random, so a session URL kept by a
// client across an emulator restart never lands in somebody else's new session.

#include <cstddef>
#include <cstdint>
#include <map>
#include <random>
#include <string>

namespace webmail {

class SessionTable {
 public:
  // Sessions that are never signed out stay until `capacity` newer ones push them out, so a
  // client that forgets to log out cannot make the table grow without end.
  explicit SessionTable(std::size_t capacity = 4096);

  std::string Open(const std::string& login);

  // The login of a live session, or nullptr.
  const std::string* LoginOf(const std::string& sid) const;

  // Ends a session; false when it was not live.
  bool Close(const std::string& sid);

  std::size_t Size() const { return sessions_.size(); }

 private:
  struct Session {
    std::string login;
    std::uint64_t serial;  // opening order, for pushing out the oldest
  };

  std::string NewId();
  void DropOldest();

  std::size_t capacity_;
  std::uint64_t nextSerial_ = 0;
  std::mt19937_64 random_;
  std::map<std::string, Session> sessions_;
};

}  // namespace webmail
