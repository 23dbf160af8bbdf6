// SPDX-License-Identifier: MIT
// Asynchronous host look-up.
#include "net/async_socket.h"

void AsyncSocketBase::DnsLookup(const std::string& HostName) {
  if (HostName.empty()) {
    RaiseSocketException("DNS lookup: invalid host name.");
    FireDnsLookupDone(ws::WSAEINVAL);
    return;
  }
  if (DnsLookupHandle != 0) {
    ws::WSACancelAsyncRequest(DnsLookupHandle);
    DnsLookupHandle = 0;  // its reply can no longer arrive; nothing is left to cancel later
  }
  FDnsResult.clear();
  FDnsResultList.clear();
  ws::u_long address = ws::inet_addr(HostName.c_str());
  if (address != ws::WS_INADDR_NONE) {
    FDnsResult = ws::inet_ntoa({address});
    FireDnsLookupDone(0);
    return;
  }
  DnsLookupHandle = ws::WSAAsyncGetHostByName(FWindowHandle, WM_DNS_REPLY, HostName.c_str(), &HostEntryBuffer);
  if (DnsLookupHandle == 0) {
    RaiseSocketExceptionFmt("%s: can't start DNS lookup, error #%d", HostName.c_str(), ws::WSAGetLastError());
  }
}

void AsyncSocketBase::CancelDnsLookup() {
  if (DnsLookupHandle == 0) return;
  const int result = ws::WSACancelAsyncRequest(DnsLookupHandle);
  DnsLookupHandle = 0;
  if (result == ws::SOCKET_ERROR) {
    ReportSocketError("WSACancelAsyncRequest");
    return;
  }
  FireDnsLookupDone(ws::WSAEINTR);
}

void AsyncSocketBase::HandleDnsReply(win::WPARAM wParam, win::LPARAM lParam) {
  if (DnsLookupHandle == 0 || wParam != DnsLookupHandle) return;
  DnsLookupHandle = 0;
  const auto error = static_cast<std::uint16_t>(ws::WSAGETASYNCERROR(lParam));
  if (error == 0) {
    for (ws::u_long address : HostEntryBuffer.h_addr_list) FDnsResultList.push_back(ws::inet_ntoa({address}));
    if (!FDnsResultList.empty()) FDnsResult = FDnsResultList.front();
  }
  FireDnsLookupDone(error);
}
