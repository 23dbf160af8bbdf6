// SPDX-License-Identifier: MIT
// Opening a connection, closing it, and the options that go with it.
#include "net/async_socket.h"

namespace {

constexpr long kConnectEvents = ws::FD_READ | ws::FD_WRITE | ws::FD_ACCEPT | ws::FD_CONNECT | ws::FD_CLOSE;
constexpr long kResumeEvents = ws::FD_READ | ws::FD_WRITE | ws::FD_CONNECT | ws::FD_CLOSE;

bool SetFlagOption(ws::SOCKET s, int option, std::int32_t value) {
  return ws::setsockopt(s, ws::WS_SOL_SOCKET, option, reinterpret_cast<const char*>(&value), sizeof value) !=
         ws::SOCKET_ERROR;
}

}  // namespace

void AsyncSocketBase::Connect() {
  if (FHSocket != ws::INVALID_SOCKET && FState != wsClosed) {
    RaiseSocketException("Connect: Socket already in use");
    return;
  }
  if (!PortAssigned) return RaiseSocketException("Connect: No Port Specified");
  if (!AddrAssigned) return RaiseSocketException("Connect: No IP Address Specified");
  if (!ProtoAssigned) return RaiseSocketException("Connect: No Protocol Specified");

  FHSocket = ws::socket(FAddrFormat, FType, FProto);
  if (FHSocket == ws::INVALID_SOCKET) return ReportSocketError("Connect (socket)");
  ChangeState(wsOpened);
  if (FType == ws::WS_SOCK_DGRAM) {
    BindAnyLocal();
    if (PeerSockAddr.sin_addr.s_addr == ws::WS_INADDR_NONE && !SetFlagOption(FHSocket, ws::WS_SO_BROADCAST, 1)) {
      return ReportSocketError("setsockopt(SO_BROADCAST)");
    }
  } else {
    ApplyLinger();
    if (!SetFlagOption(FHSocket, ws::WS_SO_KEEPALIVE, -1)) return ReportSocketError("setsockopt(SO_KEEPALIVE)");
    if (!SetFlagOption(FHSocket, ws::WS_SO_REUSEADDR, -1)) return ReportSocketError("setsockopt(SO_REUSEADDR)");
  }
  if (ws::WSAAsyncSelect(FHSocket, FWindowHandle, WM_SOCKET_EVENT, kConnectEvents) == ws::SOCKET_ERROR) {
    return ReportSocketError("WSAAsyncSelect");
  }
  if (FType == ws::WS_SOCK_DGRAM) {
    ChangeState(wsConnected);
    FireSessionConnected(0);
    return;
  }
  const auto* peer = reinterpret_cast<const ws::sockaddr*>(&PeerSockAddr);
  if (ws::connect(FHSocket, peer, sizeof PeerSockAddr) == ws::SOCKET_ERROR &&
      ws::WSAGetLastError() != ws::WSAEWOULDBLOCK) {
    FLastError = ws::WSAGetLastError();
    return ReportSocketError("Connect");
  }
  ChangeState(wsConnecting);
}

void AsyncSocketBase::ApplyLinger() {
  if (LingerOnOff == wsLingerNoSet) return;
  if (FHSocket == ws::INVALID_SOCKET) return RaiseSocketException("Cannot set linger option at this time");
  ws::linger value{static_cast<ws::u_short>(LingerOnOff == wsLingerOn ? 1 : 0),
                   static_cast<ws::u_short>(LingerTimeout & 0xFFFF)};
  if (ws::setsockopt(FHSocket, ws::WS_SOL_SOCKET, ws::WS_SO_LINGER, reinterpret_cast<const char*>(&value),
                     sizeof value) == ws::SOCKET_ERROR) {
    ReportSocketError("setsockopt(SO_LINGER)");
  }
}

void AsyncSocketBase::BindAnyLocal() {
  ws::sockaddr_in local{};
  local.sin_family = ws::WS_AF_INET;
  if (ws::bind(FHSocket, reinterpret_cast<const ws::sockaddr*>(&local), sizeof local) == ws::SOCKET_ERROR) {
    return RaiseSocketExceptionFmt("winsock.bind failed, error #%d", ws::WSAGetLastError());
  }
  int length = sizeof local;
  if (ws::getsockname(FHSocket, reinterpret_cast<ws::sockaddr*>(&local), &length) == ws::SOCKET_ERROR) {
    return RaiseSocketExceptionFmt("winsock.getsockname failed, error #%d", ws::WSAGetLastError());
  }
  LocalPort = (ws::ntohs)(local.sin_port);
}

void AsyncSocketBase::Close() { DoClose(true); }
void AsyncSocketBase::Abort() { DoClose(false); }

// The shim's closesocket never has to wait for a lingering close, so there is no would-block
// retry here.
void AsyncSocketBase::DoClose(bool ShutdownFirst) {
  if (FHSocket == ws::INVALID_SOCKET) {
    if (FState != wsClosed) {
      ChangeState(wsClosed);
      DiscardSendQueue();
      ResetToDefaults();
    }
    return;
  }
  if (FState == wsClosed) return;
  if (ShutdownFirst) Shutdown(ws::SD_BOTH);
  const ws::SOCKET closing = FHSocket;
  FHSocket = ws::INVALID_SOCKET;
  if (ws::closesocket(closing) == ws::SOCKET_ERROR) {
    FLastError = ws::WSAGetLastError();
    return ReportSocketError("Disconnect (closesocket)");
  }
  ChangeState(wsClosed);
  if (!FDestroying && OnSessionClosed && !CloseNotified) {
    CloseNotified = true;
    FireSessionClosed(0);
  }
  DiscardSendQueue();
  ResetToDefaults();
}

void AsyncSocketBase::Shutdown(int How) {
  if (FHSocket != ws::INVALID_SOCKET) ws::shutdown(FHSocket, How);
}

void AsyncSocketBase::Pause() {
  Paused = true;
  ws::WSAAsyncSelect(FHSocket, FWindowHandle, 0, 0);
}

void AsyncSocketBase::Resume() {
  Paused = false;
  ws::WSAAsyncSelect(FHSocket, FWindowHandle, WM_SOCKET_EVENT, kResumeEvents);
}
