// SPDX-License-Identifier: MIT
// Waiting for a state, for the close of the connection, and the modal wait control.
#include "net/scope_exit.h"
#include "net/async_socket.h"

// Shows the control with the timeout as its caption while it counts down; the socket stops it
// early when the awaited condition arrives.
void AsyncSocketBase::RunWaitCtrl(int Timeout) {
  FWaitCtrl->SetCaption(std::to_string(Timeout));
  FWaitCtrl->SetVisible(true);
  ScopeExit hide([this] {
    if (FWaitCtrl) FWaitCtrl->SetVisible(false);  // the control may have been destroyed meanwhile
  });
  FWaitCtrl->RunModal();
}

// With the wait control, a failed connection ends a wait for wsConnected at once (ChangeState
// stops the control on wsClosed too); the MultiThreaded loop only sees wsClosed and runs on to
// the timeout.
bool AsyncSocketBase::Wait(int Timeout, SocketState WantedState) {
  if (FState == WantedState) return false;
  AwaitedState = WantedState;
  if (MultiThreaded) {
    PumpUntil(Timeout, [this, WantedState] { return FState == WantedState; });
  } else if (FWaitCtrl) {
    RunWaitCtrl(Timeout);
  } else {
    ws::WSASetLastError(ws::WSANO_DATA);
    ReportSocketError("TWSocket.Wait");
    return false;
  }
  const bool reached = FState == WantedState;
  AwaitedState = wsInvalidState;
  return reached;
}

// False when bytes are pending that nobody takes: they would hold back FD_CLOSE for ever.
bool AsyncSocketBase::DeliverPendingData() {
  if (!LineReading) return FireDataAvailable(0);
  ReceiveLineBytes();
  return true;
}

// Sleeps in the message loop between passes, so a quiet connection costs nothing; the peer's
// close arrives as FD_CLOSE, which closes the component and ends the loop. A zero-length recv
// succeeds on any connection here, so only its failure ends the wait early.
void AsyncSocketBase::WaitUntilClosed() {
  while (FHSocket != ws::INVALID_SOCKET && FState != wsClosed) {
    ws::u_long pending = 0;
    if (ws::ioctlsocket(FHSocket, ws::WS_FIONREAD, &pending) == ws::SOCKET_ERROR) return;
    if ((pending > 0 || HasReadAhead()) && !DeliverPendingData()) return;
    if (FHSocket == ws::INVALID_SOCKET) return;  // a handler closed it
    char probe;
    if (ws::recv(FHSocket, &probe, 0, 0) == ws::SOCKET_ERROR) {
      FLastError = ws::WSAGetLastError();
      if (FLastError != ws::WSAEWOULDBLOCK) return;
    }
    win::WaitMessages();
  }
}
