// SPDX-License-Identifier: MIT
// The server side: listening, accepting, and adopting an accepted handle.
#include "net/scope_exit.h"
#include "net/async_socket.h"

namespace {

constexpr long kListenEvents = ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CLOSE;
constexpr long kDupEvents = ws::FD_READ | ws::FD_WRITE | ws::FD_CONNECT | ws::FD_CLOSE;

}  // namespace

// A socket that never left wsClosed is out of reach of Close and of the destructor, which only
// close a component that is open; on a failed Listen or Dup it is released here instead.
void AsyncSocketBase::ReleaseUnadoptedSocket() {
  if (FState != wsClosed || FHSocket == ws::INVALID_SOCKET) return;
  ws::closesocket(FHSocket);
  FHSocket = ws::INVALID_SOCKET;
}

int AsyncSocketBase::Listen() {
  auto refuse = [this](const char* text) {
    ws::WSASetLastError(ws::WSAEINVAL);
    ReportSocketError(text);
    return -1;
  };
  // A second socket would orphan the first, still listening with nobody to accept.
  if (FHSocket != ws::INVALID_SOCKET && FState != wsClosed) {
    RaiseSocketException("listen: socket already in use");
    return -1;
  }
  if (!PortAssigned) return refuse("listen: port not assigned");
  if (!ProtoAssigned) return refuse("listen: protocol not assigned");
  if (!AddrAssigned) return refuse("listen: address not assigned");

  FHSocket = ws::socket(FAddrFormat, FType, FProto);
  if (FHSocket == ws::INVALID_SOCKET) {
    ReportSocketError("socket");
    return -1;
  }
  ScopeExit release([this] { ReleaseUnadoptedSocket(); });
  if (ws::bind(FHSocket, reinterpret_cast<const ws::sockaddr*>(&PeerSockAddr), sizeof PeerSockAddr) ==
      ws::SOCKET_ERROR) {
    ReportSocketError("Bind");
    return -1;
  }
  ChangeState(wsBound);
  if (FType == ws::WS_SOCK_DGRAM) {
    ChangeState(wsListening);
    ChangeState(wsConnected);
    FireSessionConnected(0);
  } else {
    if (ws::listen(FHSocket, ListenBacklog) == ws::SOCKET_ERROR) {
      ReportSocketError("Listen");
      return -1;
    }
    ChangeState(wsListening);
  }
  if (ws::WSAAsyncSelect(FHSocket, FWindowHandle, WM_SOCKET_EVENT, kListenEvents) == ws::SOCKET_ERROR) {
    ReportSocketError("WSAASyncSelect");
    return -1;
  }
  return 0;
}

// The listening component keeps its state; only PeerSockAddr changes, to the caller's address.
ws::SOCKET AsyncSocketBase::Accept() {
  if (FState != wsListening) {
    ws::WSASetLastError(ws::WSAEINVAL);
    ReportSocketError("not a listening socket");
    return ws::INVALID_SOCKET;
  }
  int length = sizeof PeerSockAddr;
  FASocket = ws::accept(FHSocket, reinterpret_cast<ws::sockaddr*>(&PeerSockAddr), &length);
  if (FASocket == ws::INVALID_SOCKET) ReportSocketError("Accept");
  return FASocket;
}

void AsyncSocketBase::Dup(ws::SOCKET NewHSocket) {
  if (NewHSocket == 0 || NewHSocket == ws::INVALID_SOCKET) {
    ws::WSASetLastError(ws::WSAEINVAL);
    return ReportSocketError("Dup");
  }
  if (FState != wsClosed) {
    const ws::SOCKET closing = FHSocket;
    FHSocket = ws::INVALID_SOCKET;
    if (ws::closesocket(closing) == ws::SOCKET_ERROR) return ReportSocketError("Dup (closesocket)");
    DiscardSendQueue();  // bytes queued for the old peer must never reach the new one
    ChangeState(wsClosed);
  }
  FHSocket = NewHSocket;
  ScopeExit release([this] { ReleaseUnadoptedSocket(); });
  ApplyLinger();
  if (ws::WSAAsyncSelect(FHSocket, FWindowHandle, WM_SOCKET_EVENT, kDupEvents) == ws::SOCKET_ERROR) {
    return ReportSocketError("WSAAsyncSelect");
  }
  ChangeState(wsConnected);
}
