// SPDX-License-Identifier: MIT
// Creation and destruction, WinSock start-up, state changes and the hidden window.
#include <algorithm>

#include "net/scope_exit.h"
#include "net/async_socket.h"

namespace {

std::int32_t SocketCount = 0;  // live components
bool WinsockStarted = false;
ws::WSADATA GInitData;

}  // namespace

void WinsockStartup(const std::string& LibraryName) {
  if (WinsockStarted) return;
  int result = ws::WSAStartup(0x0101, &GInitData);
  if (result != 0) {
    throw SocketError(LibraryName + ": WSAStartup error #" + std::to_string(result));
  }
  WinsockStarted = true;
}

AsyncSocketBase::AsyncSocketBase() {
  FWindowHandle = win::CreateMessageWindow(*this);
  ResetToDefaults();
  ++SocketCount;
  try {
    WinsockStartup("wsock32.dll");
  } catch (...) {
    --SocketCount;
    win::DestroyMessageWindow(FWindowHandle);
    throw;
  }
}

// A destructor cannot report: a failure while closing is dropped, like the events.
AsyncSocketBase::~AsyncSocketBase() {
  FDestroying = true;
  try {
    CancelDnsLookup();
    if (FState != wsClosed) Close();
  } catch (const SocketError&) {
  }
  if (--SocketCount <= 0) {
    if (WinsockStarted) ws::WSACleanup();
    WinsockStarted = false;
    SocketCount = 0;
  }
  SetWaitCtrl(nullptr);
  win::DestroyMessageWindow(FWindowHandle);
}

namespace {

constexpr win::LPARAM kWriteNotice = ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0);
// Drain notices handled in a row without a trip through the event loop; the bound keeps a
// sender that never fills the socket from holding up the rest of the program (256 sends of
// 8 KiB take about a millisecond on loopback), and each trip costs a poll and a wake-up.
constexpr int kWriteNoticesInARow = 256;

}  // namespace

void AsyncSocketBase::WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
  if (message == WM_SOCKET_EVENT) {
    const win::HWND window = FWindowHandle;  // gone when a handler destroyed the component
    HandleSocketEvent(wParam, lParam);
    // An OnDataSent handler that sent again and drained the queue at once has posted the next
    // notice; when it is the thread's next message anyway, it is handled right here.
    for (int n = 1; n < kWriteNoticesInARow && win::IsWindow(window) && FHSocket != ws::INVALID_SOCKET &&
                    win::TakeNextMessage(window, WM_SOCKET_EVENT, FHSocket, kWriteNotice);
         ++n) {
      HandleSocketEvent(FHSocket, kWriteNotice);
    }
  } else if (message == WM_DNS_REPLY) {
    HandleDnsReply(wParam, lParam);
  }
}

void AsyncSocketBase::ResetToDefaults() {
  PeerSockAddr = {};
  PeerSockAddr.sin_family = ws::WS_AF_INET;
  FAddrFormat = ws::WS_AF_INET;
  PortAssigned = false;
  AddrAssigned = false;
  ProtoAssigned = true;
  FProto = ws::WS_IPPROTO_TCP;
  FProtoStr = "tcp";
  FType = ws::WS_SOCK_STREAM;
  LingerOnOff = wsLingerOn;
  LingerTimeout = 0;
  FHSocket = ws::INVALID_SOCKET;
  FState = wsClosed;
  AwaitedState = wsInvalidState;
  AllSent = true;
  DataSentDue = true;
  DrainNoticeQueued = false;
  SendSideGone = false;
  LineReading = false;
  LineLength = 0;
  ReadAhead.clear();
  ReadAheadAt = 0;
  ReadNoticeQueued = false;
  Paused = false;
  FReadCount = 0;
  CloseNotified = false;
  FlushTimeout = 60;
}

void AsyncSocketBase::ChangeState(SocketState NewState) {
  SocketState OldState = FState;
  FState = NewState;
  FireChangeState(OldState, NewState);
  if (MultiThreaded || FWaitCtrl == nullptr) return;
  if (NewState == AwaitedState || (AwaitedState == wsConnected && NewState == wsClosed)) FWaitCtrl->Stop();
}

void AsyncSocketBase::SetWaitCtrl(WaitCountdown* Value) {
  if (FWaitCtrl) std::erase(FWaitCtrl->FUsers, this);
  FWaitCtrl = Value;
  if (FWaitCtrl) FWaitCtrl->FUsers.push_back(this);
}

WaitCountdown::~WaitCountdown() {
  for (AsyncSocketBase* user : FUsers) user->FWaitCtrl = nullptr;
}

void AsyncSocketBase::StopWaitCtrl() {
  if (!MultiThreaded && FWaitCtrl) FWaitCtrl->Stop();
}

bool AsyncSocketBase::CheckWaitCtrl() {
  if (FWaitCtrl) return true;
  RaiseSocketException("No wait object assigned");
  return false;
}

void AsyncSocketBase::PumpMessages() { win::PumpMessages(); }

// The MultiThreaded waits: sleep in the message loop until `Done` holds or the time is up. A
// timer on the component's window wakes the loop at the deadline.
void AsyncSocketBase::PumpUntil(int TimeoutSeconds, const std::function<bool()>& Done) {
  const std::uint32_t TimeoutMs = static_cast<std::uint32_t>(std::max(TimeoutSeconds, 0)) * 1000;
  if (TimeoutMs == 0 || Done()) return;
  const std::uint32_t start = win::GetTickCount();
  const win::UINT_PTR timer = FNextTimerId++;
  win::SetTimer(FWindowHandle, timer, TimeoutMs);
  ScopeExit killTimer([this, timer] { win::KillTimer(FWindowHandle, timer); });
  while (win::GetTickCount() - start < TimeoutMs && !Done()) win::WaitMessages();
}
