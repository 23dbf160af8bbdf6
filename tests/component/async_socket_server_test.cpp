// SPDX-License-Identifier: MIT
// The server side: a listening component, Accept, and components that take connections over
// with Dup; the refusals of each step.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "net/socket_errors.h"
#include "test_support.h"

using namespace testing_support;

namespace {

// Listens on 127.0.0.1 with a port of the system's choice.
void ListenOnLoopback(AsyncSocket& server) {
  server.SetAddr("127.0.0.1");
  server.SetPort("0");
  ASSERT_EQ(server.Listen(), 0);
}

// Each accepted connection gets its own component, which answers one line in capitals and
// closes gracefully.
struct UpperCaseServer {
  TestSocket listener;
  EventLog listenerLog;
  std::vector<std::unique_ptr<AsyncSocket>> sessions;
  std::vector<EventLog> sessionLogs = std::vector<EventLog>(8);
  std::set<std::uint16_t> acceptedPeerPorts;

  UpperCaseServer() {
    listenerLog.Attach(listener);
    listener.OnSessionAvailable = [this](AsyncSocketBase*, std::uint16_t) { TakeOver(listener.Accept()); };
  }
  void TakeOver(ws::SOCKET handle) {
    EXPECT_EQ(listener.State(), wsListening);
    acceptedPeerPorts.insert((ws::ntohs)(listener.PeerSockAddr.sin_port));
    EXPECT_EQ(listener.PeerSockAddr.sin_addr.s_addr, ws::inet_addr("127.0.0.1"));
    auto session = std::make_unique<AsyncSocket>();
    sessionLogs[sessions.size()].Attach(*session);
    session->LingerOnOff = wsLingerOff;
    session->OnDataAvailable = [](AsyncSocketBase* s, std::uint16_t) {
      char buffer[256];
      const int n = s->Receive(buffer, sizeof buffer);
      if (n <= 0) return;
      std::string text(buffer, static_cast<std::size_t>(n));
      std::transform(text.begin(), text.end(), text.begin(), ::toupper);
      s->SendStr(text);
      s->Close();
    };
    session->Dup(handle);
    EXPECT_EQ(session->GetPeerAddr(), "127.0.0.1");
    sessions.push_back(std::move(session));
  }
};

TEST(Server, ListeningComponentServesSeveralClientsThroughDup) {
  UpperCaseServer server;
  ListenOnLoopback(server.listener);
  EXPECT_EQ(server.listenerLog.events, (std::vector<std::string>{"ChangeState 7->2", "ChangeState 2->6"}));
  const std::string port = server.listener.GetLocalPortText();
  ASSERT_NE(port, "error");
  ASSERT_NE(port, "0");

  std::vector<int> clients;
  std::set<std::uint16_t> clientPorts;
  for (int i = 0; i < 3; ++i) {
    clients.push_back(ConnectLoopback(port));
    clientPorts.insert(LocalPort(clients.back()));
  }
  ASSERT_TRUE(PumpUntil([&] { return server.sessions.size() == 3; }));
  EXPECT_EQ(server.acceptedPeerPorts, clientPorts) << "PeerSockAddr holds each caller after Accept";
  for (std::size_t i = 0; i < clients.size(); ++i) SendAll(clients[i], "hello " + std::to_string(i));
  std::vector<std::string> answers(clients.size());
  ASSERT_TRUE(PumpUntil([&] {
    return std::all_of(server.sessions.begin(), server.sessions.end(), [](auto& s) { return s->State() == wsClosed; });
  }));
  for (std::size_t i = 0; i < clients.size(); ++i) {
    EXPECT_EQ(ReadUntilClosed(clients[i]), "HELLO " + std::to_string(i)) << "the whole answer, then the close";
    ::close(clients[i]);
  }
  EXPECT_EQ(server.sessionLogs[0].events,
            (std::vector<std::string>{"ChangeState 7->4", "DataSent 0", "ChangeState 4->7", "SessionClosed 0"}));
  EXPECT_EQ(server.listener.State(), wsListening);
}

TEST(Server, ListenChecksPortProtocolAddressInThatOrder) {
  TestSocket socket;
  auto text = [](const char* name) { return SocketErrorMessage(10022, name); };
  ExceptionText([&] { socket.SetProto("nonexistent-protocol"); });
  ASSERT_FALSE(socket.ProtoAssigned);
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), text("listen: port not assigned"));
  socket.SetPort("0");
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), text("listen: protocol not assigned"));
  socket.SetProto("tcp");
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), text("listen: address not assigned"));
  EXPECT_EQ(socket.FHSocket, ws::INVALID_SOCKET);
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_EQ(socket.GetLocalPortText(), "error") << "closed: no report";
}

TEST(Server, FailedBindLeavesNoDescriptorAndASecondListenIsRefused) {
  PosixListener taken;
  const std::size_t descriptors = OpenDescriptorCount();
  TestSocket socket;
  socket.SetAddr("127.0.0.1");
  socket.SetPort(taken.PortText());
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), SocketErrorMessage(10048, "Bind"));
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  int errors = 0;
  socket.OnError = [&](AsyncSocketBase*) { ++errors; };
  EXPECT_EQ(socket.Listen(), -1);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  EXPECT_EQ(socket.State(), wsClosed);

  socket.SetPort("0");
  ASSERT_EQ(socket.Listen(), 0);
  const ws::SOCKET first = socket.FHSocket;
  EXPECT_EQ(socket.Listen(), -1);
  EXPECT_EQ(errors, 2) << "listen: socket already in use";
  EXPECT_EQ(socket.FHSocket, first);
  socket.OnError = nullptr;
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), "listen: socket already in use");
}

TEST(Server, AcceptOnlyOnAListeningComponent) {
  TestSocket socket;
  EXPECT_EQ(ExceptionText([&] { socket.Accept(); }), SocketErrorMessage(10022, "not a listening socket"));
  int errors = 0;
  socket.OnError = [&](AsyncSocketBase*) { ++errors; };
  EXPECT_EQ(socket.Accept(), ws::INVALID_SOCKET);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(ws::WSAGetLastError(), ws::WSAEINVAL);
}

TEST(Server, DupRefusesNoHandleAndReplacesALiveConnectionWithoutItsQueue) {
  TestSocket socket;
  EXPECT_EQ(ExceptionText([&] { socket.Dup(ws::INVALID_SOCKET); }), SocketErrorMessage(10022, "Dup"));
  EXPECT_EQ(ExceptionText([&] { socket.Dup(0); }), SocketErrorMessage(10022, "Dup"));

  PosixListener oldPeerListener;
  ConnectTo(socket, oldPeerListener.PortText());
  ASSERT_EQ(socket.State(), wsConnected);
  const int oldPeer = oldPeerListener.Accept();
  socket.QueueSendData("stale", 5);  // queued, never pushed
  socket.AllSent = false;

  AsyncSocket listener;
  ws::SOCKET accepted = ws::INVALID_SOCKET;
  listener.OnSessionAvailable = [&](AsyncSocketBase*, std::uint16_t) { accepted = listener.Accept(); };
  ListenOnLoopback(listener);
  const int newPeer = ConnectLoopback(listener.GetLocalPortText());
  ASSERT_TRUE(PumpUntil([&] { return accepted != ws::INVALID_SOCKET; }));

  EventLog log;
  log.Attach(socket);
  socket.Dup(accepted);
  EXPECT_EQ(log.events, (std::vector<std::string>{"ChangeState 4->7", "ChangeState 7->4"})) << "no SessionClosed";
  EXPECT_EQ(ReadUntilClosed(oldPeer), "");
  socket.SendStr("fresh");
  EXPECT_EQ(ReadExactly(newPeer, 5), "fresh") << "nothing queued for the old peer";
  ::close(oldPeer);
  ::close(newPeer);
}

TEST(Server, DatagramListenIsConnectedAtOnceAndReceives) {
  TestSocket socket;
  EventLog log;
  log.Attach(socket);
  std::string received;
  socket.OnDataAvailable = [&](AsyncSocketBase*, std::uint16_t) {
    char buffer[64];
    ws::sockaddr_in from{};
    int length = sizeof from;
    const int n = socket.ReceiveFrom(buffer, sizeof buffer, from, length);
    if (n > 0) received.assign(buffer, static_cast<std::size_t>(n));
  };
  socket.SetProto("udp");
  ListenOnLoopback(socket);
  EXPECT_EQ(log.events, (std::vector<std::string>{"ChangeState 7->2", "ChangeState 2->6", "ChangeState 6->4",
                                                  "SessionConnected 0"}));
  const int sender = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<std::uint16_t>(std::stoi(socket.GetLocalPortText())));
  to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::sendto(sender, "ping", 4, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
  EXPECT_TRUE(PumpUntil([&] { return received == "ping"; }));
  ::close(sender);
}

}  // namespace
