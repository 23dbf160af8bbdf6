// SPDX-License-Identifier: MIT
// Addr, Port and Proto: the texts and their conversion into the peer address record.
#include "net/async_socket.h"

namespace {

constexpr std::size_t kMaxDatabaseName = 31;  // service and protocol names
constexpr std::size_t kMaxHostText = 256;

std::string Trim(const std::string& text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool StartsWithDigit(const std::string& text) { return !text.empty() && text[0] >= '0' && text[0] <= '9'; }

// An empty or over-long name is refused before the look-up, as WinSock would not find it.
bool UsableName(const std::string& name) {
  if (!name.empty() && name.size() <= kMaxDatabaseName) return true;
  ws::WSASetLastError(ws::WSAEINVAL);
  return false;
}

}  // namespace

std::int32_t ParseDecimal(const std::string& Text) {
  std::size_t i = 0;
  while (i < Text.size() && Text[i] == ' ') ++i;
  std::uint32_t value = 0;  // wraps like a 32-bit register on absurdly long digit runs
  for (; i < Text.size() && Text[i] >= '0' && Text[i] <= '9'; ++i) value = value * 10 + static_cast<std::uint32_t>(Text[i] - '0');
  return static_cast<std::int32_t>(value);
}

ws::u_long ResolveHost(const std::string& Host) {
  const std::string text = Trim(Host);
  auto fail = [&Host] { return SocketError("SetAddr: Cannot convert host address '" + Host + "'"); };
  if (text.size() > kMaxHostText) throw fail();
  WinsockStartup("wsock32.dll");
  ws::u_long address = ws::inet_addr(text.c_str());
  if (address != ws::WS_INADDR_NONE || text == "255.255.255.255") return address;
  std::optional<ws::HostEntry> entry = ws::gethostbyname(text.c_str());
  if (!entry || entry->h_addr_list.empty()) throw fail();
  return entry->h_addr_list.front();
}

void AsyncSocketBase::SetProto(const std::string& Value) {
  if (ProtoAssigned && Value == FProtoStr) return;
  FProtoStr = Value;
  if (FState != wsClosed) {
    RaiseSocketException("Cannot change Proto if not closed");
    return;
  }
  const std::string name = Trim(Value);
  if (name == "not found") return;
  ProtoAssigned = true;
  if (StartsWithDigit(name)) {
    FProto = ParseDecimal(name);
  } else {
    std::optional<ws::ProtoEntry> entry;
    if (UsableName(name)) entry = ws::getprotobyname(name.c_str());
    if (!entry) {
      ProtoAssigned = false;
      ReportSocketError("SetProto: Cannot convert protocol '" + name + "'");
      return;
    }
    FProto = entry->p_proto;
  }
  FType = FProto == ws::WS_IPPROTO_UDP ? ws::WS_SOCK_DGRAM : ws::WS_SOCK_STREAM;
}

void AsyncSocketBase::SetPort(const std::string& Value) {
  if (PortAssigned && Value == FPortStr) return;
  FPortStr = Value;
  if (FState != wsClosed) {
    RaiseSocketException("Cannot change Port if not closed");
    return;
  }
  PortAssigned = true;
  const std::string name = Trim(Value);
  if (StartsWithDigit(name)) {
    PeerSockAddr.sin_port = (ws::htons)(static_cast<std::uint16_t>(ParseDecimal(name)));
  } else {
    std::optional<ws::ServEntry> entry;
    if (UsableName(name) && FProtoStr.size() <= kMaxDatabaseName) {
      entry = ws::getservbyname(name.c_str(), FProtoStr.empty() ? nullptr : FProtoStr.c_str());
    }
    if (!entry) {
      PortAssigned = false;
      ReportSocketError("SetPort: Cannot convert port '" + name + "'");
      return;
    }
    PeerSockAddr.sin_port = entry->s_port;
  }
  FPortNum = (ws::ntohs)(PeerSockAddr.sin_port);
}

void AsyncSocketBase::SetAddr(const std::string& Value) {
  if (AddrAssigned && Value == FAddrStr) return;
  FAddrStr = Value;
  if (FState != wsClosed) {
    RaiseSocketException("Cannot change Addr if not closed");
    return;
  }
  AddrAssigned = false;
  PeerSockAddr.sin_addr.s_addr = ResolveHost(Value);
  AddrAssigned = true;
}
