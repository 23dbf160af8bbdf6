// SPDX-License-Identifier: MIT
#include <map>

#include "platform/winsock_internal.h"

namespace ws::detail {
namespace {

std::map<SOCKET, std::unique_ptr<SocketEntry>>& Table() {
  thread_local std::map<SOCKET, std::unique_ptr<SocketEntry>> table;
  return table;
}

}  // namespace

SocketEntry* FindSocket(SOCKET s) {
  auto it = Table().find(s);
  return it == Table().end() ? nullptr : it->second.get();
}

SocketEntry& AddSocket(int fd, bool datagram) {
  thread_local std::uint64_t generations = 0;
  auto entry = std::make_unique<SocketEntry>();
  entry->generation = ++generations;
  entry->fd = fd;
  entry->datagram = datagram;
  SocketEntry& ref = *entry;
  Table()[static_cast<SOCKET>(fd)] = std::move(entry);
  return ref;
}

void RemoveSocket(SOCKET s) { Table().erase(s); }

win::MessageAdmission WhileOpen(const SocketEntry& entry) {
  return [s = static_cast<SOCKET>(entry.fd), generation = entry.generation] {
    const SocketEntry* now = FindSocket(s);
    return now != nullptr && now->generation == generation;
  };
}

}  // namespace ws::detail
