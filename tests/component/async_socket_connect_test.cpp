// SPDX-License-Identifier: MIT
// Connecting and closing: event order, refusals, the reset after close, destruction.
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>

#include "net/socket_errors.h"
#include "test_support.h"

using namespace testing_support;

namespace {

TEST(Connect, RefusedConnectionEventOrderAndText) {
  RefusingPort refusing;
  AsyncSocket socket;
  EventLog log;
  log.Attach(socket);
  ConnectTo(socket, refusing.PortText());
  std::vector<std::string> expected{"ChangeState 7->1", "ChangeState 1->3", "ChangeState 3->4", "SessionConnected 10061",
                                    "ChangeState 4->7", "SessionClosed 0"};
  EXPECT_EQ(log.events, expected);
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_EQ(SocketErrorDesc(10061), "Connection refused");
}

TEST(Connect, SuccessfulConnectionThenOwnerCloseNotifiesOnce) {
  PosixListener listener;
  AsyncSocket socket;
  EventLog log;
  log.Attach(socket);
  ConnectTo(socket, listener.PortText());
  ASSERT_EQ(socket.State(), wsConnected);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("DataSent 0"); })) << "first FD_WRITE with an empty queue";
  int peer = listener.Accept();
  EXPECT_EQ(socket.GetPeerAddr(), "127.0.0.1");
  socket.Close();
  EXPECT_EQ(log.Count("SessionClosed 0"), 1u);
  EXPECT_EQ(socket.State(), wsClosed);
  socket.Close();  // closed already: nothing
  socket.Abort();
  EXPECT_EQ(log.Count("SessionClosed 0"), 1u);
  EXPECT_EQ(ReadUntilClosed(peer), "");
  ::close(peer);
}

TEST(Connect, ChecksComeBeforeAnySocketIsMade) {
  TestSocket socket;
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No Port Specified");
  EXPECT_EQ(socket.FHSocket, ws::INVALID_SOCKET);
  socket.SetPort("1");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No IP Address Specified");
  int errors = 0;
  socket.OnError = [&](AsyncSocketBase*) { ++errors; };
  socket.SetProto("not found");  // stored, otherwise ignored
  socket.SetProto("nonexistent-protocol");
  EXPECT_EQ(errors, 1);
  socket.SetAddr("127.0.0.1");
  socket.Connect();
  EXPECT_EQ(errors, 2) << "Connect: No Protocol Specified through OnError";
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST(Connect, SettersRefuseWhileOpenAndNeedSettingAgainAfterClose) {
  PosixListener listener;
  TestSocket socket;
  ConnectTo(socket, listener.PortText());
  ASSERT_EQ(socket.State(), wsConnected);
  EXPECT_EQ(ExceptionText([&] { socket.SetPort("1"); }), "Cannot change Port if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetAddr("10.0.0.1"); }), "Cannot change Addr if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetProto("udp"); }), "Cannot change Proto if not closed");
  EXPECT_EQ(socket.Port(), "1") << "the text is kept even when refused";
  socket.Close();
  EXPECT_FALSE(socket.PortAssigned);
  EXPECT_FALSE(socket.AddrAssigned);
  EXPECT_EQ(socket.Proto(), "tcp");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "Connect: No Port Specified");
  ConnectTo(socket, listener.PortText());  // same texts convert again
  EXPECT_EQ(socket.State(), wsConnected);
}

TEST(Connect, ReportOfNotConnectedClosesWithoutResetOrSessionClosed) {
  PosixListener listener;
  TestSocket socket;
  EventLog log;
  log.Attach(socket);
  ConnectTo(socket, listener.PortText());
  log.events.clear();
  ws::WSASetLastError(ws::WSAENOTCONN);
  EXPECT_EQ(ExceptionText([&] { socket.ReportSocketError("Probe"); }),
            "Error 10057 in function Probe\r\nSocket is not connected");
  EXPECT_EQ(log.events, std::vector<std::string>{"ChangeState 4->7"});
  EXPECT_EQ(socket.FHSocket, ws::INVALID_SOCKET);
  EXPECT_TRUE(socket.PortAssigned) << "no reset";
  socket.Close();
  EXPECT_EQ(log.events.size(), 1u);
  socket.Connect();  // address, port and protocol are still assigned
  EXPECT_EQ(socket.State(), wsConnecting);
}

TEST(Connect, IgnoresCloseWhileConnectingOtherHandlesAndPausedNotifications) {
  PosixListener listener;
  TestSocket socket;
  EventLog log;
  log.Attach(socket);
  socket.SetAddr("127.0.0.1");
  socket.SetPort(listener.PortText());
  socket.Connect();
  ASSERT_EQ(socket.State(), wsConnecting);
  const win::LPARAM close = ws::WSAMAKESELECTREPLY(ws::FD_CLOSE, 0);
  win::PostMessage(socket.FWindowHandle, WM_SOCKET_EVENT, socket.FHSocket, close);
  ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsConnected; }));
  EXPECT_FALSE(log.Has("SessionClosed 0"));
  win::PostMessage(socket.FWindowHandle, WM_SOCKET_EVENT, socket.FHSocket + 1, close);
  socket.Pause();
  win::PostMessage(socket.FWindowHandle, WM_SOCKET_EVENT, socket.FHSocket, close);
  PumpFor(50);
  EXPECT_EQ(socket.State(), wsConnected);
  socket.Resume();
  win::PostMessage(socket.FWindowHandle, WM_SOCKET_EVENT, socket.FHSocket, close);
  ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
  EXPECT_EQ(log.Count("SessionClosed 0"), 1u);
}

TEST(Connect, ExceptionOfSessionConnectedHandlerReachesTheDispatcher) {
  PosixListener listener;
  AsyncSocket socket;
  socket.OnSessionConnected = [](AsyncSocketBase*, std::uint16_t) { throw SocketError("handler"); };
  socket.SetAddr("127.0.0.1");
  socket.SetPort(listener.PortText());
  socket.Connect();
  bool raised = false;
  for (int i = 0; i < 100 && !raised; ++i) {
    try {
      win::WaitMessages();
    } catch (const SocketError& e) {
      raised = std::string(e.what()) == "handler";
    }
  }
  EXPECT_TRUE(raised);
}

TEST(Connect, DestructionWhileConnectedOrLookingUpFiresNothing) {
  PosixListener listener;
  std::vector<std::string> events;
  {
    auto socket = std::make_unique<AsyncSocket>();
    ConnectTo(*socket, listener.PortText());
    ASSERT_EQ(socket->State(), wsConnected);
    EventLog log;
    log.Attach(*socket);
    socket->DnsLookup("localhost");
    socket.reset();
    EXPECT_TRUE(log.events.empty());
  }
  int peer = listener.Accept();
  EXPECT_EQ(ReadUntilClosed(peer), "");
  ::close(peer);
  PumpFor(100);  // the look-up's reply, if any, must find nobody
}

TEST(Connect, DatagramConnectsAtOnceAndSends) {
  const int receiver = UdpReceiverOnLoopback();
  ASSERT_GE(receiver, 0);

  TestSocket socket;
  EventLog log;
  log.Attach(socket);
  socket.SetProto("udp");
  EXPECT_EQ(socket.FType, ws::WS_SOCK_DGRAM);
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(LocalPort(receiver)));
  socket.Connect();
  EXPECT_EQ(log.events, (std::vector<std::string>{"ChangeState 7->1", "ChangeState 1->4", "SessionConnected 0"}));
  EXPECT_NE(socket.LocalPort, 0);
  EXPECT_EQ(socket.GetLocalPortText(), std::to_string(socket.LocalPort));
  EXPECT_EQ(socket.SendStr("datagram"), 8);
  char buffer[32];
  sockaddr_in from{};
  socklen_t fromLength = sizeof from;
  ssize_t n = ::recvfrom(receiver, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
  EXPECT_EQ(std::string(buffer, n > 0 ? n : 0), "datagram");

  std::string reply;
  ws::sockaddr_in replier{};
  socket.OnDataAvailable = [&](AsyncSocketBase* sender, std::uint16_t) {
    int length = sizeof replier;
    int got = sender->ReceiveFrom(buffer, sizeof buffer, replier, length);
    if (got > 0) reply.assign(buffer, got);
  };
  ::sendto(receiver, "reply", 5, 0, reinterpret_cast<sockaddr*>(&from), fromLength);
  ASSERT_TRUE(PumpUntil([&] { return !reply.empty(); }));
  EXPECT_EQ(reply, "reply");
  EXPECT_EQ(ws::inet_ntoa(replier.sin_addr), "127.0.0.1");
  EXPECT_EQ((ws::ntohs)(replier.sin_port), LocalPort(receiver));
  ::close(receiver);
}

TEST(Connect, BroadcastAddressSetsTheBroadcastOption) {
  TestSocket socket;
  socket.SetProto("17");
  socket.SetAddr("255.255.255.255");
  EXPECT_EQ(socket.PeerSockAddr.sin_addr.s_addr, ws::WS_INADDR_NONE);
  socket.SetPort("9");
  socket.Connect();  // nothing is sent
  int broadcast = 0;
  socklen_t length = sizeof broadcast;
  ::getsockopt(static_cast<int>(socket.FHSocket), SOL_SOCKET, SO_BROADCAST, &broadcast, &length);
  EXPECT_EQ(broadcast, 1);
}

TEST(Connect, SendFlagsAreCheckedAndSurviveClose) {
  AsyncSocket socket;
  socket.SetSendFlags(wsSendUrgent);
  socket.Close();
  EXPECT_EQ(socket.SendFlags(), wsSendUrgent);
  EXPECT_EQ(ExceptionText([&] { socket.SetSendFlags(static_cast<SocketSendFlags>(5)); }), "Invalid SendFlags");
  EXPECT_EQ(socket.SendFlags(), wsSendUrgent);
}

TEST(Connect, LastComponentCleansWinsockUpAndTheNextStartsItAgain) {
  { AsyncSocket only; }
  EXPECT_EQ(ws::socket(ws::WS_AF_INET, ws::WS_SOCK_STREAM, 6), ws::INVALID_SOCKET);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSANOTINITIALISED);
  AsyncSocket next;
  ws::SOCKET s = ws::socket(ws::WS_AF_INET, ws::WS_SOCK_STREAM, 6);
  EXPECT_NE(s, ws::INVALID_SOCKET);
  ws::closesocket(s);
}

}  // namespace
