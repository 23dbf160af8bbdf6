// The send queue: Send copies into 1514-byte blocks and pushes what WinSock takes; FD_WRITE
// sends the rest and reports the drained queue through OnDataSent.
#include "net/scope_exit.h"
#include "net/async_socket.h"

int AsyncSocketBase::Send(const void* Data, int Len) {
  if (FState != wsConnected) {
    ws::WSASetLastError(ws::WSAENOTCONN);
    ReportSocketError("Send");
    return -1;
  }
  AllSent = false;
  int result = 0;
  if (Len > 0) {
    QueueSendData(static_cast<const char*>(Data), Len);
    result = Len;
  }
  TryToSend();
  // OnDataSent must come from the message loop, never from inside Send.
  if (AllSent) ws::PostSocketNotification(FHSocket, FWindowHandle, WM_SOCKET_EVENT, ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0));
  return result;
}

int AsyncSocketBase::SendStr(const std::string& Str) { return Send(Str.data(), static_cast<int>(Str.size())); }

void AsyncSocketBase::QueueSendData(const char* Data, int Len) {
  if (Len <= 0) return;
  if (BufferList.empty()) BufferList.emplace_back(BufferSize);
  for (;;) {
    const int n = BufferList.back().Append(Data, Len);
    if (n >= Len) return;
    Data += n;
    Len -= n;
    BufferList.emplace_back(BufferSize);
  }
}

// Pushes queued bytes until WinSock would block; one send call per block. Returns false when a
// failure was reported and the bytes stay queued with no FD_WRITE to come.
bool AsyncSocketBase::TryToSend() {
  if (FHSocket == ws::INVALID_SOCKET) return true;
  for (;;) {
    if (BufferList.empty()) {  // nothing was ever queued: that is drained too
      AllSent = true;
      return true;
    }
    const char* data;
    const int count = BufferList.front().PendingData(data);
    if (count == 0) {
      if (BufferList.size() == 1) {
        AllSent = true;
        return true;
      }
      BufferList.pop_front();
      continue;
    }
    const int sent = FType == ws::WS_SOCK_DGRAM
                         ? ws::sendto(FHSocket, data, count, FSendFlags, reinterpret_cast<const ws::sockaddr*>(&PeerSockAddr),
                                      sizeof PeerSockAddr)
                         : ws::send(FHSocket, data, count, FSendFlags);
    if (sent == 0) return true;
    if (sent == ws::SOCKET_ERROR) {
      const int code = ws::WSAGetLastError();
      if (code == ws::WSAEINVAL || code == ws::WSAENOTSOCK || code == ws::WSAECONNRESET || code == ws::WSAENOTCONN) {
        Close();
        return true;
      }
      if (code == ws::WSAEWOULDBLOCK) return true;  // the next FD_WRITE goes on
      ReportSocketError("TryToSend failed");
      return false;
    }
    BufferList.front().Consume(sent);
    if (sent < count) return true;  // the socket is full; FD_WRITE follows
  }
}

void AsyncSocketBase::DiscardSendQueue() {
  BufferList.clear();
  AllSent = true;
}

void AsyncSocketBase::Flush() {
  // Drained, closed, or a failure that no FD_WRITE will follow.
  auto done = [this] { return FHSocket == ws::INVALID_SOCKET || AllSent || !TryToSend() || AllSent; };
  if (MultiThreaded) {
    PumpUntil(FlushTimeout, done);
    return;
  }
  if (!CheckWaitCtrl()) return;
  FWaitCtrl->SetCaption(std::to_string(FlushTimeout));
  FWaitCtrl->SetVisible(true);
  FWaitCtrl->Start();
  ScopeExit finish([this] {
    if (!FWaitCtrl) return;  // the control was destroyed meanwhile
    FWaitCtrl->Stop();
    FWaitCtrl->SetVisible(false);
  });
  while (FWaitCtrl && FWaitCtrl->Running() && !done()) win::WaitMessages();
}

SocketSendFlags AsyncSocketBase::SendFlags() {
  if (FSendFlags == 0) return wsSendNormal;
  if (FSendFlags == ws::WS_MSG_OOB) return wsSendUrgent;
  RaiseSocketException("Invalid internal SendFlags");
  return wsSendNormal;
}

void AsyncSocketBase::SetSendFlags(SocketSendFlags Value) {
  switch (Value) {
    case wsSendNormal: FSendFlags = 0; return;
    case wsSendUrgent: FSendFlags = ws::WS_MSG_OOB; return;
  }
  RaiseSocketException("Invalid SendFlags");
}
