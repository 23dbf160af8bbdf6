// SPDX-License-Identifier: MIT
// WinSock notifications turned into events.
#include "net/async_socket.h"

void AsyncSocketBase::HandleSocketEvent(win::WPARAM wParam, win::LPARAM lParam) {
  if (wParam != FHSocket || Paused) return;
  const long events = ws::WSAGETSELECTEVENT(lParam);
  const auto error = static_cast<std::uint16_t>(ws::WSAGETSELECTERROR(lParam));
  if (events & ws::FD_CONNECT) {
    ChangeState(wsConnected);  // also for a failed attempt, which is closed right after
    FireSessionConnected(error);
    if (error != 0 && FState != wsClosed) Close();
  }
  if (events & ws::FD_READ) {
    ReadNoticeQueued = false;
    HandleReadEvent(error);
  }
  if (events & ws::FD_WRITE) HandleWriteEvent(error);
  if (events & ws::FD_ACCEPT) FireSessionAvailable(error);
  if ((events & ws::FD_CLOSE) && FState != wsConnecting) {
    HandleReadEvent(error);  // data still buffered goes first
    if (LineReading) {
      LineReading = false;
      StopWaitCtrl();
    }
    if (OnSessionClosed && !CloseNotified) {
      CloseNotified = true;
      FireSessionClosed(error);
    }
    if (FState != wsClosed) Close();
  }
}

// OnDataSent tells once that the queue has drained, however many notices found it so: the one
// Send posted, and the one WinSock sends when space frees up after a full socket.
void AsyncSocketBase::HandleWriteEvent(std::uint16_t Error) {
  DrainNoticeQueued = false;
  TryToSend();
  if (!AllSent || !DataSentDue) return;
  DataSentDue = false;
  if (OnDataSent) FireDataSent(Error);
}

// Offers the data until none is left. A handler must read at least once per call; an
// exception from it ends the loop here and goes no further.
void AsyncSocketBase::HandleReadEvent(std::uint16_t Error) {
  try {
    for (;;) {
      FLastError = 0;
      if (LineReading) {
        ReceiveLineBytes();
      } else if (!FireDataAvailable(Error)) {
        return;
      }
      if (FLastError != 0) return;
      ws::u_long pending = 0;
      if (ws::ioctlsocket(FHSocket, ws::WS_FIONREAD, &pending) == ws::SOCKET_ERROR) {
        FLastError = ws::WSAGetLastError();
        return;
      }
      if (pending == 0 && !HasReadAhead()) return;
    }
  } catch (...) {
  }
}
