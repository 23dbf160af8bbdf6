// SPDX-License-Identifier: MIT
// The three ways of reporting a failure, and the event triggers.
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "net/socket_errors.h"
#include "net/async_socket.h"

void AsyncSocketBase::RaiseSocketException(const std::string& Msg) {
  if (OnError) {
    FireError();
    return;
  }
  throw SocketError(Msg);
}

void AsyncSocketBase::RaiseSocketExceptionFmt(const char* Format, ...) {
  if (OnError) {
    FireError();
    return;
  }
  va_list args;
  va_start(args, Format);
  va_list copy;
  va_copy(copy, args);
  std::vector<char> text(static_cast<std::size_t>(std::vsnprintf(nullptr, 0, Format, copy)) + 1);
  va_end(copy);
  std::vsnprintf(text.data(), text.size(), Format, args);
  va_end(args);
  throw SocketError(text.data());
}

// Codes that mean the connection is gone close the socket, without a reset and without
// OnSessionClosed, before the report.
void AsyncSocketBase::ReportSocketError(const std::string& FunctionName) {
  const int code = ws::WSAGetLastError();
  if (code == ws::WSAECONNRESET || code == ws::WSAENOTCONN) {
    ws::closesocket(FHSocket);
    FHSocket = ws::INVALID_SOCKET;
    DiscardSendQueue();
    ChangeState(wsClosed);
  }
  RaiseSocketException(SocketErrorMessage(code, FunctionName));
}

// While the component is destroyed nothing fires: its owner may be half gone already.
bool AsyncSocketBase::FireDataAvailable(std::uint16_t Error) {
  if (!OnDataAvailable || FDestroying) return false;
  OnDataAvailable(this, Error);
  return true;
}

void AsyncSocketBase::FireSessionAvailable(std::uint16_t Error) {
  if (OnSessionAvailable && !FDestroying) OnSessionAvailable(this, Error);
}

void AsyncSocketBase::FireSessionConnected(std::uint16_t Error) {
  if (OnSessionConnected && !FDestroying) OnSessionConnected(this, Error);
}

void AsyncSocketBase::FireSessionClosed(std::uint16_t Error) {
  if (OnSessionClosed && !FDestroying) OnSessionClosed(this, Error);
}

void AsyncSocketBase::FireDataSent(std::uint16_t Error) {
  if (OnDataSent && !FDestroying) OnDataSent(this, Error);
}

void AsyncSocketBase::FireChangeState(SocketState OldState, SocketState NewState) {
  if (OnChangeState && !FDestroying) OnChangeState(this, OldState, NewState);
}

void AsyncSocketBase::FireDnsLookupDone(std::uint16_t Error) {
  if (OnDnsLookupDone && !FDestroying) OnDnsLookupDone(this, Error);
}

void AsyncSocketBase::FireError() {
  if (OnError && !FDestroying) OnError(this);
}
