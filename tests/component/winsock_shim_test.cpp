// SPDX-License-Identifier: MIT
// The WinSock shim on its own: notification rules, error codes, look-ups.
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/winsock_shim.h"
#include "test_support.h"

using namespace testing_support;

namespace {

constexpr win::UINT kMessage = win::WM_USER + 1;

struct Notifications : win::MessageReceiver {
  std::vector<std::pair<long, int>> events;  // (event, error)
  win::HWND window = win::CreateMessageWindow(*this);
  ~Notifications() { win::DestroyMessageWindow(window); }
  void WindowProc(win::UINT, win::WPARAM, win::LPARAM l) override {
    events.push_back({ws::WSAGETSELECTEVENT(l), ws::WSAGETSELECTERROR(l)});
  }
  std::size_t Count(long event) const {
    std::size_t n = 0;
    for (auto& e : events) n += e.first == event;
    return n;
  }
};

class Shim : public ::testing::Test {
 protected:
  void SetUp() override {
    ws::WSADATA data;
    ASSERT_EQ(ws::WSAStartup(0x0101, &data), 0);
  }
  void TearDown() override {
    if (s != ws::INVALID_SOCKET) ws::closesocket(s);
    ws::WSACleanup();
  }

  // A non-blocking stream socket connecting to 127.0.0.1:port under async selection.
  void StartConnect(std::uint16_t port) {
    s = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_STREAM, ws::WS_IPPROTO_TCP);
    ASSERT_NE(s, ws::INVALID_SOCKET);
    ASSERT_EQ(ws::WSAAsyncSelect(s, n.window, kMessage, 0x3B), 0);
    ws::sockaddr_in to{};
    to.sin_family = ws::WS_AF_INET;
    to.sin_port = (ws::htons)(port);
    to.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
    EXPECT_EQ(ws::connect(s, reinterpret_cast<ws::sockaddr*>(&to), sizeof to), ws::SOCKET_ERROR);
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
  }

  Notifications n;
  ws::SOCKET s = ws::INVALID_SOCKET;
};

TEST_F(Shim, RefusedConnectIsOneFdConnectWithItsError) {
  RefusingPort refusing;
  StartConnect(static_cast<std::uint16_t>(std::stoi(refusing.PortText())));
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_CONNECT) > 0; }));
  PumpFor(50);
  std::vector<std::pair<long, int>> expected{{ws::FD_CONNECT, ws::WSAECONNREFUSED}};
  EXPECT_EQ(n.events, expected);
}

TEST_F(Shim, ReadIsRearmedByRecvAndCloseComesOnceAfterTheData) {
  PosixListener listener;
  StartConnect(listener.Port());
  int peer = listener.Accept();
  ASSERT_GE(peer, 0);
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_WRITE) > 0; }));
  EXPECT_EQ(n.events.front(), (std::pair<long, int>{ws::FD_CONNECT, 0}));

  SendAll(peer, "0123456789");
  ::close(peer);
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_READ) == 1; }));
  PumpFor(50);
  EXPECT_EQ(n.Count(ws::FD_READ), 1u) << "no recv yet, no second FD_READ";
  EXPECT_EQ(n.Count(ws::FD_CLOSE), 0u) << "data is still unread";

  char buffer[4];
  ASSERT_EQ(ws::recv(s, buffer, 4, 0), 4);
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_READ) == 2; }));
  char rest[16];
  ASSERT_EQ(ws::recv(s, rest, sizeof rest, 0), 6);
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_CLOSE) == 1; }));
  EXPECT_EQ(n.events.back(), (std::pair<long, int>{ws::FD_CLOSE, 0}));
  EXPECT_EQ(ws::recv(s, rest, sizeof rest, 0), 0);
  PumpFor(50);
  EXPECT_EQ(n.Count(ws::FD_CLOSE), 1u);
}

TEST_F(Shim, ResetPeerGivesFdCloseWithResetAndSendNeverRaisesSigpipe) {
  PosixListener listener;
  StartConnect(listener.Port());
  int peer = listener.Accept();
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_WRITE) > 0; }));
  CloseWithReset(peer);
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_CLOSE) == 1; }));
  EXPECT_EQ(n.events.back().second, ws::WSAECONNRESET);
  char data[4096] = {};
  int result = 0;
  for (int i = 0; i < 4 && result != ws::SOCKET_ERROR; ++i) result = ws::send(s, data, sizeof data, 0);
  EXPECT_EQ(result, ws::SOCKET_ERROR);  // still alive: no SIGPIPE
  int code = ws::WSAGetLastError();
  EXPECT_TRUE(code == ws::WSAECONNRESET || code == ws::WSAENOTCONN) << code;
}

TEST_F(Shim, WriteComesAgainOnlyAfterASendThatFilledTheSocket) {
  PosixListener listener;
  StartConnect(listener.Port());
  int peer = listener.Accept();
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_WRITE) == 1; }));
  ASSERT_EQ(ws::send(s, "x", 1, 0), 1);
  PumpFor(50);
  EXPECT_EQ(n.Count(ws::FD_WRITE), 1u);
  std::vector<char> block(1 << 20, 'y');
  int sent;
  do {
    sent = ws::send(s, block.data(), static_cast<int>(block.size()), 0);
  } while (sent == static_cast<int>(block.size()));
  if (sent == ws::SOCKET_ERROR) {
    EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEWOULDBLOCK);
  }
  ReadExactly(peer, 4 << 20, 200);  // drain some so that space frees up
  ASSERT_TRUE(PumpUntil([&] { return n.Count(ws::FD_WRITE) == 2; }));
  ::close(peer);
}

// A notice still queued when its socket closes must not reach a new socket that got the same
// number meanwhile: its FD_WRITE would claim a drained queue the new socket never had.
TEST_F(Shim, ANoticeOfAClosedSocketNeverReachesTheNextOneUnderItsNumber) {
  const ws::SOCKET first = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_STREAM, ws::WS_IPPROTO_TCP);
  ASSERT_TRUE(ws::PostSocketNotification(first, n.window, kMessage, ws::WSAMAKESELECTREPLY(ws::FD_WRITE, 0)));
  ASSERT_EQ(ws::closesocket(first), 0);
  s = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_STREAM, ws::WS_IPPROTO_TCP);
  ASSERT_EQ(s, first) << "the number was not reused; nothing to test";
  ASSERT_TRUE(ws::PostSocketNotification(s, n.window, kMessage, ws::WSAMAKESELECTREPLY(ws::FD_READ, 0)));
  win::PumpMessages();
  std::vector<std::pair<long, int>> expected{{ws::FD_READ, 0}};
  EXPECT_EQ(n.events, expected);
}

TEST_F(Shim, ErrorCodesOfMisuse) {
  EXPECT_EQ(ws::closesocket(ws::INVALID_SOCKET), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
  ws::u_long pending;
  EXPECT_EQ(ws::ioctlsocket(12345, ws::WS_FIONREAD, &pending), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTSOCK);
  EXPECT_EQ(ws::socket(99, ws::WS_SOCK_STREAM, 0), ws::INVALID_SOCKET);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEAFNOSUPPORT);
  s = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_STREAM, 6);
  char byte;
  EXPECT_EQ(ws::recv(s, &byte, 1, 0), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOTCONN);
  int option = 1;
  EXPECT_EQ(ws::setsockopt(s, ws::WS_SOL_SOCKET, 0x7777, reinterpret_cast<char*>(&option), 4), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAENOPROTOOPT);
  RefusingPort refusing;  // blocking socket: the refusal comes from connect itself
  ws::sockaddr_in to{};
  to.sin_family = ws::WS_AF_INET;
  to.sin_port = (ws::htons)(static_cast<std::uint16_t>(std::stoi(refusing.PortText())));
  to.sin_addr.s_addr = ws::inet_addr("127.0.0.1");
  EXPECT_EQ(ws::connect(s, reinterpret_cast<ws::sockaddr*>(&to), sizeof to), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAECONNREFUSED);
}

TEST_F(Shim, CancelledLookupNeverRepliesNorWritesTheEntry) {
  ws::HostEntry entry{"untouched", {}};
  ws::HANDLE cancelled = ws::WSAAsyncGetHostByName(n.window, kMessage, "localhost", &entry);
  ASSERT_NE(cancelled, 0u);
  EXPECT_EQ(ws::WSACancelAsyncRequest(cancelled), 0);
  ws::HostEntry answered;
  ws::HANDLE kept = ws::WSAAsyncGetHostByName(n.window, kMessage, "localhost", &answered);
  ASSERT_TRUE(PumpUntil([&] { return !n.events.empty(); }));
  PumpFor(50);
  EXPECT_EQ(n.events.size(), 1u);
  EXPECT_EQ(entry.h_name, "untouched");
  EXPECT_FALSE(answered.h_addr_list.empty());
  EXPECT_EQ(ws::WSACancelAsyncRequest(kept), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEALREADY);
  EXPECT_EQ(ws::WSACancelAsyncRequest(kept + 1000), ws::SOCKET_ERROR);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
}

}  // namespace
