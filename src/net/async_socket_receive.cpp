// SPDX-License-Identifier: MIT
// Receiving: straight into the caller's buffer, or line by line.
#include <algorithm>
#include <cstring>

#include "net/async_socket.h"

namespace {

constexpr std::int32_t kMaxLineLength = 254;
// Line reading takes what the kernel holds in one call, up to this much.
constexpr ws::u_long kReadAheadSize = 16 * 1024;

}  // namespace

// The bytes that line reading took past its line come first, as they would have come from the
// kernel; the rest of the buffer is offered to the kernel as usual.
int AsyncSocketBase::Receive(void* Buffer, int BufferSize) {
  const int taken = TakeReadAhead(static_cast<char*>(Buffer), BufferSize);
  if (taken > 0 && taken == BufferSize) return taken;
  const int n = ws::recv(FHSocket, static_cast<char*>(Buffer) + taken, BufferSize - taken, 0);
  if (n < 0) {
    if (taken > 0) return taken;  // a lasting failure shows on the next call
    FLastError = ws::WSAGetLastError();
    return n;
  }
  FReadCount += n;
  return taken + n;
}

int AsyncSocketBase::ReceiveFrom(void* Buffer, int BufferSize, ws::sockaddr_in& From, int& FromLen) {
  const int n = ws::recvfrom(FHSocket, static_cast<char*>(Buffer), BufferSize, 0, reinterpret_cast<ws::sockaddr*>(&From),
                             &FromLen);
  if (n < 0) {
    FLastError = ws::WSAGetLastError();
  } else {
    FReadCount += n;
  }
  return n;
}

std::int32_t AsyncSocketBase::RcvdCount() {
  ws::u_long pending = 0;
  if (ws::ioctlsocket(FHSocket, ws::WS_FIONREAD, &pending) == ws::SOCKET_ERROR) {
    ReportSocketError("ioctlSocket");
    return -1;
  }
  return static_cast<std::int32_t>(pending + (ReadAhead.size() - ReadAheadAt));
}

void AsyncSocketBase::ReadLine(int Timeout, std::string& Buffer) {
  if (!MultiThreaded && !CheckWaitCtrl()) return;
  if (!LineReading) {
    LineBuffer.clear();
    LineLength = 0;
    LineReading = true;
  }
  ReceiveLineBytes();
  if (LineReading) {
    if (MultiThreaded) {
      PumpUntil(Timeout, [this] { return !LineReading; });
    } else if (FWaitCtrl) {
      RunWaitCtrl(Timeout);
    }
  }
  Buffer = LineBuffer;  // complete or not; an unfinished line goes on with the next call
}

// Bytes left after the line would have kept WinSock's read notice armed: one is posted for them,
// so that they reach OnDataAvailable as before; like WinSock's, never a second before the first
// is handled.
void AsyncSocketBase::EndLine() {
  LineReading = false;
  StopWaitCtrl();
  if (HasReadAhead() && !ReadNoticeQueued) {
    ReadNoticeQueued =
        ws::PostSocketNotification(FHSocket, FWindowHandle, WM_SOCKET_EVENT, ws::WSAMAKESELECTREPLY(ws::FD_READ, 0));
  }
}

// Takes the line from the read-ahead, which is filled with what the kernel holds in one call
// whenever it runs dry; what follows the line stays there for the next read.
void AsyncSocketBase::ReceiveLineBytes() {
  for (;;) {
    if (FHSocket == ws::INVALID_SOCKET) return EndLine();
    if (FState != wsConnected) return;
    if (HasReadAhead()) {
      if (TakeLineBytes()) return EndLine();
      continue;
    }
    ws::u_long pending = 0;
    if (ws::ioctlsocket(FHSocket, ws::WS_FIONREAD, &pending) == ws::SOCKET_ERROR) {
      LineReading = false;
      return ReportSocketError("ioctlSocket");
    }
    if (pending == 0) return;
    const int n = FillReadAhead(pending);
    if (n > 0) continue;
    const int code = n == 0 ? 0 : ws::WSAGetLastError();
    if (code == ws::WSAEWOULDBLOCK) continue;
    if (code != 0 && code != ws::WSAECONNRESET) return ReportSocketError("ReadLine");
    EndLine();
    return Close();
  }
}

// One recv of what the kernel holds into the empty read-ahead; returns recv's answer.
int AsyncSocketBase::FillReadAhead(ws::u_long Pending) {
  ReadAhead.resize(std::min(Pending, kReadAheadSize));
  ReadAheadAt = 0;
  const int n = ws::recv(FHSocket, ReadAhead.data(), static_cast<int>(ReadAhead.size()), 0);
  ReadAhead.resize(static_cast<std::size_t>(std::max(n, 0)));
  return n;
}

// Moves read-ahead bytes to the line until it ends; true when it did. CR is dropped, LF ends the
// line, and a line is cut right after its 254th character. A stretch at a time: up to the LF,
// or to where the line would be cut if it held no CR.
bool AsyncSocketBase::TakeLineBytes() {
  while (HasReadAhead()) {
    const char* from = ReadAhead.data() + ReadAheadAt;
    const std::size_t room = static_cast<std::size_t>(kMaxLineLength - LineLength);
    const std::size_t span = std::min(ReadAhead.size() - ReadAheadAt, room);
    const char* lineFeed = static_cast<const char*>(std::memchr(from, '\n', span));
    const std::size_t taken = lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - from) + 1 : span;
    const char* const stop = from + taken;
    for (const char* at = from;;) {
      const char* end = std::find_if(at, stop, [](char c) { return c == '\r' || c == '\n'; });
      LineBuffer.append(at, end);
      LineLength += static_cast<std::int32_t>(end - at);
      if (end == stop) break;
      at = end + 1;
    }
    ReadAheadAt += taken;
    FReadCount += static_cast<std::int32_t>(taken);
    if (lineFeed != nullptr) return true;
    if (LineLength >= kMaxLineLength) {
      if (OnLineTooLong) OnLineTooLong(this);
      return true;
    }
  }
  return false;
}

// Up to BufferSize bytes of the read-ahead; returns the count.
int AsyncSocketBase::TakeReadAhead(char* Buffer, int BufferSize) {
  const auto n = static_cast<int>(std::min<std::size_t>(ReadAhead.size() - ReadAheadAt, std::max(BufferSize, 0)));
  if (n > 0) std::memcpy(Buffer, ReadAhead.data() + ReadAheadAt, static_cast<std::size_t>(n));
  ReadAheadAt += static_cast<std::size_t>(n);
  FReadCount += n;
  return n;
}
