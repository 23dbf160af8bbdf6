// SPDX-License-Identifier: MIT
#include "webmail/service/session_table.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "webmail/service/site.h"

namespace webmail {

SessionTable::SessionTable(std::size_t capacity) : capacity_(capacity), random_(std::random_device{}()) {
  if (capacity_ == 0) throw std::invalid_argument("A session table needs room for at least one session");
}

std::string SessionTable::NewId() {
  char id[site::kSessionIdLength + 1];
  do {
    std::snprintf(id, sizeof id, "S%016llx", static_cast<unsigned long long>(random_()));
  } while (sessions_.contains(id));
  return id;
}

// Linear, but it runs only when the table is full.
void SessionTable::DropOldest() {
  const auto oldest = std::min_element(sessions_.begin(), sessions_.end(),
                                       [](const auto& a, const auto& b) { return a.second.serial < b.second.serial; });
  sessions_.erase(oldest);
}

std::string SessionTable::Open(const std::string& login) {
  if (sessions_.size() >= capacity_) DropOldest();
  std::string sid = NewId();
  sessions_.emplace(sid, Session{login, nextSerial_++});
  return sid;
}

const std::string* SessionTable::LoginOf(const std::string& sid) const {
  const auto it = sessions_.find(sid);
  return it == sessions_.end() ? nullptr : &it->second.login;
}

bool SessionTable::Close(const std::string& sid) { return sessions_.erase(sid) > 0; }

}  // namespace webmail
