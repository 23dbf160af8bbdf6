// SPDX-License-Identifier: MIT
// The send queue: what WinSock does not take at once waits in 1514-byte blocks; FD_WRITE sends
// the rest and reports the drained queue through OnDataSent.
//
// A stream hands the kernel the pending bytes of many blocks in one gathering call, so a large
// Send costs a few system calls rather than one per block; and a Send into an empty queue goes
// to the kernel straight from the caller's bytes, so only what the kernel leaves is copied.
// Datagrams keep one block per sendto, and urgent data one block per send, because there the
// call boundaries are what the peer sees.
#include <algorithm>
#include <cstdint>

#include "net/scope_exit.h"
#include "net/async_socket.h"

namespace {

// Blocks gathered into one call: about 190 KB, more than a loopback socket takes at once
// while its reader keeps up.
constexpr int kMaxGatherBlocks = 128;
// Drained blocks kept for the next Send: enough for 64 KiB sends without a new allocation.
constexpr std::size_t kMaxSpareBlocks = 64;

}  // namespace

int AsyncSocketBase::Send(const void* Data, int Len) {
  if (FState != wsConnected) {
    ws::WSASetLastError(ws::WSAENOTCONN);
    ReportSocketError("Send");
    return -1;
  }
  AllSent = false;
  DataSentDue = true;
  if (Len > 0 && !SendDirect(static_cast<const char*>(Data), Len)) return Len;
  TryToSend();
  if (AllSent) PostDrainNotice();
  return std::max(Len, 0);
}

// Into an empty stream queue the bytes go to the kernel straight from the caller, and only what
// the kernel leaves is queued. False when that send came short: the rest waits for FD_WRITE, or
// the failure has been dealt with, so there is nothing more to try now.
bool AsyncSocketBase::SendDirect(const char* Data, int Len) {
  const char* pending;
  const bool queueEmpty =
      BufferList.empty() || (BufferList.size() == 1 && BufferList.front().PendingData(pending) == 0);
  if (FType == ws::WS_SOCK_DGRAM || FSendFlags != 0 || !queueEmpty) {
    QueueSendData(Data, Len);
    return true;
  }
  const int sent = ws::send(FHSocket, Data, Len, 0);
  const int taken = std::max(sent, 0);
  QueueSendData(Data + taken, Len - taken);
  if (sent == ws::SOCKET_ERROR) HandleSendError();
  return sent == Len;
}

// A stream whose peer is gone reports the close after its unread data; another broken
// connection is closed, a full socket waits for FD_WRITE (true); any other failure is
// reported, and the bytes stay queued with no FD_WRITE to come (false).
bool AsyncSocketBase::HandleSendError() {
  const int code = ws::WSAGetLastError();
  if (FType == ws::WS_SOCK_STREAM && (code == ws::WSAECONNRESET || code == ws::WSAENOTCONN)) {
    ReportPeerGone(code);
    return true;
  }
  if (code == ws::WSAEINVAL || code == ws::WSAENOTSOCK || code == ws::WSAECONNRESET || code == ws::WSAENOTCONN) {
    Close();
    return true;
  }
  if (code == ws::WSAEWOULDBLOCK) return true;
  ReportSocketError("TryToSend failed");
  return false;
}

// OnDataSent must come from the message loop, never from inside Send. One notice in the queue
// reports every drain that happens before it is handled.
void AsyncSocketBase::PostDrainNotice() {
  if (DrainNoticeQueued) return;
  DrainNoticeQueued = ws::PostSocketNotification(FHSocket, FWindowHandle, WM_SOCKET_EVENT,
                                                 ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0));
}

int AsyncSocketBase::SendStr(const std::string& Str) { return Send(Str.data(), static_cast<int>(Str.size())); }

SendBuffer AsyncSocketBase::NewBlock() {
  while (!SpareBlocks.empty()) {
    SendBuffer block = std::move(SpareBlocks.back());
    SpareBlocks.pop_back();
    if (block.Size() == BufferSize) return block;
  }
  return SendBuffer(BufferSize);
}

void AsyncSocketBase::QueueSendData(const char* Data, int Len) {
  if (Len <= 0) return;
  if (BufferList.empty()) BufferList.push_back(NewBlock());
  for (;;) {
    const int n = BufferList.back().Append(Data, Len);
    if (n >= Len) return;
    Data += n;
    Len -= n;
    BufferList.push_back(NewBlock());
  }
}

// Front blocks that have drained leave the queue, except the last, which is reused.
void AsyncSocketBase::DropDrainedBlocks() {
  const char* data;
  while (BufferList.size() > 1 && BufferList.front().PendingData(data) == 0) {
    if (SpareBlocks.size() < kMaxSpareBlocks) SpareBlocks.push_back(std::move(BufferList.front()));
    BufferList.pop_front();
  }
}

// One send call over the pending bytes at the front of the queue; Offered tells how many it
// carried. Returns what the call returned.
int AsyncSocketBase::SendPending(int& Offered) {
  const char* data;
  if (FType == ws::WS_SOCK_DGRAM) {
    Offered = BufferList.front().PendingData(data);
    return ws::sendto(FHSocket, data, Offered, FSendFlags, reinterpret_cast<const ws::sockaddr*>(&PeerSockAddr),
                      sizeof PeerSockAddr);
  }
  if (FSendFlags != 0) {
    Offered = BufferList.front().PendingData(data);
    return ws::send(FHSocket, data, Offered, FSendFlags);
  }
  ws::WSABUF buffers[kMaxGatherBlocks];
  ws::u_long count = 0;
  Offered = 0;
  for (auto block = BufferList.begin(); block != BufferList.end() && count < kMaxGatherBlocks; ++block) {
    const int pending = block->PendingData(data);
    if (pending == 0) continue;
    buffers[count++] = {static_cast<ws::u_long>(pending), const_cast<char*>(data)};
    Offered += pending;
  }
  ws::u_long sent = 0;
  if (ws::WSASend(FHSocket, buffers, count, &sent, FSendFlags) == ws::SOCKET_ERROR) return ws::SOCKET_ERROR;
  return static_cast<int>(sent);
}

// Marks Sent bytes as gone, block by block from the front; a partly sent block keeps its tail.
void AsyncSocketBase::ConsumeSent(int Sent) {
  for (auto block = BufferList.begin(); Sent > 0 && block != BufferList.end(); ++block) {
    Sent -= block->Consume(Sent);
  }
  DropDrainedBlocks();
}

// Pushes queued bytes until WinSock would block. Returns false when a failure was reported and
// the bytes stay queued with no FD_WRITE to come.
bool AsyncSocketBase::TryToSend() {
  if (FHSocket == ws::INVALID_SOCKET) return true;
  if (SendSideGone) {
    DiscardSendQueue();
    return true;
  }
  for (;;) {
    DropDrainedBlocks();
    const char* data;
    if (BufferList.empty() || BufferList.front().PendingData(data) == 0) {  // never queued, or drained
      AllSent = true;
      return true;
    }
    int offered = 0;
    const int sent = SendPending(offered);
    if (sent == 0) return true;
    if (sent == ws::SOCKET_ERROR) return HandleSendError();
    ConsumeSent(sent);
    if (sent < offered) return true;  // the socket is full; FD_WRITE follows
  }
}

std::int32_t AsyncSocketBase::PendingOutput() {
  if (FHSocket == ws::INVALID_SOCKET) return -1;
  ws::u_long inSystem = 0;
  if (ws::ioctlsocket(FHSocket, ws::WS_SIOCOUTQ, &inSystem) == ws::SOCKET_ERROR) return -1;
  std::int64_t total = inSystem;
  for (const SendBuffer& block : BufferList) {
    const char* data;
    total += block.PendingData(data);
  }
  return static_cast<std::int32_t>(std::min<std::int64_t>(total, INT32_MAX));
}

// The peer reset the connection while we were sending. What it sent before may still wait to be
// read: the close is reported from the message loop, as for FD_CLOSE, after that data has been
// offered. Until then nothing more is sent.
void AsyncSocketBase::ReportPeerGone(int Code) {
  SendSideGone = true;
  DiscardSendQueue();
  ws::PostSocketNotification(FHSocket, FWindowHandle, WM_SOCKET_EVENT, ws::WSAMAKESELECTREPLY(ws::FD_CLOSE, Code));
}

void AsyncSocketBase::DiscardSendQueue() {
  BufferList.clear();
  SpareBlocks.clear();
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
