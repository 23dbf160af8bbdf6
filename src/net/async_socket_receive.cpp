// SPDX-License-Identifier: MIT
// Receiving: straight into the caller's buffer, or line by line.
#include "net/async_socket.h"

namespace {

constexpr std::int32_t kMaxLineLength = 254;

}  // namespace

int AsyncSocketBase::Receive(void* Buffer, int BufferSize) {
  const int n = ws::recv(FHSocket, static_cast<char*>(Buffer), BufferSize, 0);
  if (n < 0) {
    FLastError = ws::WSAGetLastError();
  } else {
    FReadCount += n;
  }
  return n;
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
  return static_cast<std::int32_t>(pending);
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

// Takes one byte at a time so that nothing after the line leaves WinSock. CR is dropped, LF
// ends the line, and a line is cut after its 254th character.
void AsyncSocketBase::ReceiveLineBytes() {
  auto endLine = [this] {
    LineReading = false;
    StopWaitCtrl();
  };
  for (;;) {
    if (FHSocket == ws::INVALID_SOCKET) return endLine();
    if (FState != wsConnected) return;
    ws::u_long pending = 0;
    if (ws::ioctlsocket(FHSocket, ws::WS_FIONREAD, &pending) == ws::SOCKET_ERROR) {
      LineReading = false;
      return ReportSocketError("ioctlSocket");
    }
    if (pending == 0) return;
    char byte;
    const int n = ws::recv(FHSocket, &byte, 1, 0);
    if (n == 1) {
      ++FReadCount;
      if (byte != '\n' && byte != '\r') {
        LineBuffer.push_back(byte);
        ++LineLength;
      }
      if (LineLength >= kMaxLineLength && byte != '\n') {
        byte = '\n';
        if (OnLineTooLong) OnLineTooLong(this);
      }
      if (byte == '\n') return endLine();
      continue;
    }
    const int code = n == 0 ? 0 : ws::WSAGetLastError();
    if (code == ws::WSAEWOULDBLOCK) continue;
    if (code != 0 && code != ws::WSAECONNRESET) return ReportSocketError("ReadLine");
    endLine();
    return Close();
  }
}
