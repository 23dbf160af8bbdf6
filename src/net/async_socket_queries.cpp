// SPDX-License-Identifier: MIT
// Addresses of an open socket, and the timeval helpers.
#include "net/async_socket.h"

std::string AsyncSocketBase::GetPeerAddr() {
  if (FState != wsConnected) return "error";
  ws::sockaddr_in peer{};
  int length = sizeof peer;
  if (ws::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&peer), &length) == ws::SOCKET_ERROR) {
    ReportSocketError("GetPeerName");
    return "error";
  }
  return ws::inet_ntoa(peer.sin_addr);
}

int AsyncSocketBase::GetPeerName(ws::sockaddr_in& Name, int NameLen) {
  if (FState != wsConnected) return -1;
  return ws::getpeername(FHSocket, reinterpret_cast<ws::sockaddr*>(&Name), &NameLen);
}

std::string AsyncSocketBase::GetLocalPortText() {
  if (FState != wsBound && FState != wsConnected && FState != wsListening) return "error";
  ws::sockaddr_in local{};
  int length = sizeof local;
  if (ws::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&local), &length) == ws::SOCKET_ERROR) return "error";
  return std::to_string((ws::ntohs)(local.sin_port));
}

int AsyncSocketBase::GetSockName(ws::sockaddr_in& Name, int& NameLen) {
  return ws::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&Name), &NameLen);
}

bool AsyncSocketBase::TimevalIsSet(const ws::timeval& tvp) { return tvp.tv_sec != 0 || tvp.tv_usec != 0; }

void AsyncSocketBase::TimevalClear(ws::timeval& tvp) { tvp = {0, 0}; }

bool AsyncSocketBase::TimevalCompare(const ws::timeval& tvp, const ws::timeval& uvp, bool Equal) {
  return (tvp.tv_sec == uvp.tv_sec && tvp.tv_usec == uvp.tv_usec) == Equal;
}
