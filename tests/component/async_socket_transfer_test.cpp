// SPDX-License-Identifier: MIT
// Sending through the block queue and receiving, in blocks and line by line.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_support.h"

using namespace testing_support;

namespace {

std::string Pattern(std::size_t size) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>('A' + (i * 7 + i / 251) % 26);
  return data;
}

void SetBuffer(int fd, int option, int bytes) { ::setsockopt(fd, SOL_SOCKET, option, &bytes, sizeof bytes); }

// A connected component and the accepted POSIX peer.
class Transfer : public ::testing::Test {
 protected:
  void SetUp() override {
    socket.MultiThreaded = true;
    log.Attach(socket);
    ConnectTo(socket, listener.PortText());
    ASSERT_EQ(socket.State(), wsConnected);
    peer = listener.Accept();
    ASSERT_GE(peer, 0);
  }
  void TearDown() override {
    if (peer >= 0) ::close(peer);
  }
  // A peer that reads 4 KiB at a time on its own thread; with a small send buffer the writer
  // keeps running into a full socket.
  std::jthread Reader(std::size_t size, std::string& received, bool smallBuffers) {
    if (smallBuffers) SetBuffer(static_cast<int>(socket.FHSocket), SO_SNDBUF, 16384);
    return std::jthread([this, size, &received] {
      while (received.size() < size) {
        std::string chunk = ReadExactly(peer, std::min<std::size_t>(4096, size - received.size()), 5000);
        if (chunk.empty()) return;
        received += chunk;
      }
    });
  }

  PosixListener listener;
  TestSocket socket;
  EventLog log;
  int peer = -1;
};

TEST_F(Transfer, PeerThatSendsThenClosesIsReadCompletelyBeforeOneSessionClosed) {
  const std::string payload = Pattern(200000);
  std::string received;
  socket.OnDataAvailable = [&](AsyncSocketBase* sender, std::uint16_t) {
    char buffer[1000];
    int n = sender->Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, n);
    log.events.push_back("DataAvailable");
  };
  SendAll(peer, payload);
  ::close(peer);
  peer = -1;
  ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
  EXPECT_EQ(received, payload);
  EXPECT_EQ(log.Count("SessionClosed 0"), 1u);
  auto closed = std::find(log.events.begin(), log.events.end(), "SessionClosed 0");
  EXPECT_EQ(std::count(closed, log.events.end(), "DataAvailable"), 0) << "no data offered after the close";
  PumpFor(50);
  EXPECT_EQ(log.Count("SessionClosed 0"), 1u);
}

TEST_F(Transfer, BlocksHold1514BytesAndNeverJoin) {
  socket.QueueSendData(Pattern(1514).data(), 1514);
  ASSERT_EQ(socket.BufferList.size(), 1u);
  const char* data;
  EXPECT_EQ(socket.BufferList.front().PendingData(data), 1514);
  TestSocket other;
  other.QueueSendData(Pattern(1515).data(), 1515);
  ASSERT_EQ(other.BufferList.size(), 2u);
  EXPECT_EQ(other.BufferList.back().PendingData(data), 1);
}

TEST_F(Transfer, LargePayloadToSlowReaderArrivesCompleteAndInOrder) {
  const std::string payload = Pattern(4 << 20);
  std::string received;
  std::jthread reader = Reader(payload.size(), received, true);
  bool insideSend = false;
  int sentEvents = 0;
  socket.OnDataSent = [&](AsyncSocketBase*, std::uint16_t) {
    EXPECT_FALSE(insideSend);
    ++sentEvents;
  };
  insideSend = true;
  EXPECT_EQ(socket.Send(payload.data(), static_cast<int>(payload.size())), static_cast<int>(payload.size()));
  insideSend = false;
  EXPECT_FALSE(socket.AllSent) << "the socket took only part of it";
  EXPECT_EQ(sentEvents, 0);
  ASSERT_TRUE(PumpUntil([&] { return sentEvents > 0; }, 20000));
  EXPECT_TRUE(socket.AllSent);
  reader.join();
  EXPECT_TRUE(received == payload) << "received " << received.size() << " bytes";
}

TEST_F(Transfer, DrainedSendReportsFromTheMessageLoopOnly) {
  ASSERT_TRUE(PumpUntil([&] { return log.Has("DataSent 0"); }));  // the connect's FD_WRITE
  log.events.clear();
  EXPECT_EQ(socket.SendStr("ping"), 4);
  EXPECT_TRUE(log.events.empty());
  ASSERT_TRUE(PumpUntil([&] { return log.Has("DataSent 0"); }));
  EXPECT_EQ(ReadExactly(peer, 4), "ping");
  log.events.clear();
  EXPECT_EQ(socket.Send(nullptr, 0), 0);
  ASSERT_TRUE(PumpUntil([&] { return log.Has("DataSent 0"); }));
}

TEST_F(Transfer, FlushSendsEverythingBeforeReturning) {
  const std::string payload = Pattern(1 << 20);
  std::string received;
  std::jthread reader = Reader(payload.size(), received, false);
  socket.QueueSendData(payload.data(), static_cast<int>(payload.size()));
  socket.AllSent = false;
  socket.Flush();
  EXPECT_TRUE(socket.AllSent);
  reader.join();
  EXPECT_TRUE(received == payload);
}

TEST_F(Transfer, CloseDiscardsWhatIsStillQueued) {
  SetBuffer(peer, SO_RCVBUF, 4096);
  SetBuffer(static_cast<int>(socket.FHSocket), SO_SNDBUF, 4096);
  const std::string stale = Pattern(1 << 20);
  socket.Send(stale.data(), static_cast<int>(stale.size()));
  ASSERT_FALSE(socket.AllSent);
  socket.Abort();
  PosixListener second;
  ConnectTo(socket, second.PortText());
  int fresh = second.Accept();
  socket.SendStr("fresh");
  PumpUntil([&] { return socket.AllSent; });
  socket.Close();
  EXPECT_EQ(ReadUntilClosed(fresh), "fresh");
  ::close(fresh);
}

TEST_F(Transfer, ResetMetWhileSendingStillDeliversWhatThePeerSentFirst) {
  std::string received;
  socket.OnDataAvailable = [&](AsyncSocketBase* sender, std::uint16_t) {
    char buffer[100];
    const int n = sender->Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, n);
  };
  SendAll(peer, "the answer");
  CloseWithReset(peer);
  peer = -1;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the reset has arrived
  const std::string body = Pattern(1 << 20);
  EXPECT_EQ(socket.Send(body.data(), static_cast<int>(body.size())), static_cast<int>(body.size()));
  EXPECT_EQ(log.Count("SessionClosed 0") + log.Count("SessionClosed 10054"), 0u) << "not from inside Send";
  ASSERT_TRUE(PumpUntil([&] { return socket.State() == wsClosed; }));
  EXPECT_EQ(received, "the answer");
  EXPECT_EQ(log.Count("SessionClosed 10054"), 1u);
  EXPECT_TRUE(socket.AllSent);
}

TEST_F(Transfer, SendOnUnconnectedSocketReportsAndCloses) {
  socket.Close();
  EXPECT_EQ(ExceptionText([&] { socket.SendStr("x"); }), "Error 10057 in function Send\r\nSocket is not connected");
  int errors = 0;
  socket.OnError = [&](AsyncSocketBase*) { ++errors; };
  socket.SetAddr("127.0.0.1");
  socket.SetPort(listener.PortText());
  socket.Connect();
  ASSERT_EQ(socket.State(), wsConnecting);
  EXPECT_EQ(socket.SendStr("x"), -1);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST_F(Transfer, ReceiveFailureOnlySetsLastError) {
  char buffer[16];
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer), -1);
  EXPECT_EQ(socket.LastError(), ws::WSAEWOULDBLOCK);
  SendAll(peer, "abc");
  ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 3; }));
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer), 3);
  EXPECT_EQ(socket.ReadCount(), 3);
  socket.Close();
  EXPECT_EQ(socket.ReadCount(), 0);
  EXPECT_EQ(ExceptionText([&] { socket.RcvdCount(); }), "Error 10038 in function ioctlSocket\r\nSocket operation on non-socket");
  socket.OnError = [](AsyncSocketBase*) {};
  EXPECT_EQ(socket.RcvdCount(), -1);
}

TEST_F(Transfer, DataHandlerExceptionEndsTheReadLoopQuietly) {
  int calls = 0;
  socket.OnDataAvailable = [&](AsyncSocketBase*, std::uint16_t) {
    ++calls;
    throw SocketError("handler");
  };
  SendAll(peer, "data");
  EXPECT_TRUE(PumpUntil([&] { return calls > 0; }));
  EXPECT_EQ(calls, 1);
}

TEST_F(Transfer, ReadLineDropsCrAndEndsAtLf) {
  SendAll(peer, "first\r\nsec\rond\n");
  std::string line;
  socket.ReadLine(2, line);
  EXPECT_EQ(line, "first");
  socket.ReadLine(2, line);
  EXPECT_EQ(line, "second");
  EXPECT_FALSE(socket.LineReading);
}

TEST_F(Transfer, ReadLineCutsAt254AndContinuesAnUnfinishedLine) {
  int tooLong = 0;
  socket.OnLineTooLong = [&](AsyncSocketBase*) { ++tooLong; };
  SendAll(peer, std::string(300, 'a'));
  std::string line;
  socket.ReadLine(2, line);
  EXPECT_EQ(line, std::string(254, 'a'));
  EXPECT_EQ(tooLong, 1);
  socket.ReadLine(1, line);  // no LF comes: the partial line after the timeout
  EXPECT_EQ(line, std::string(46, 'a'));
  EXPECT_TRUE(socket.LineReading);
  SendAll(peer, "tail\n");
  socket.ReadLine(2, line);
  EXPECT_EQ(line, std::string(46, 'a') + "tail");
  EXPECT_EQ(tooLong, 1);
}

TEST_F(Transfer, BytesAfterACutLineReachDataAvailable) {
  std::string rest;
  socket.OnDataAvailable = [&](AsyncSocketBase* sender, std::uint16_t) {
    char buffer[512];
    int n = sender->Receive(buffer, sizeof buffer);
    if (n > 0) rest.append(buffer, n);
  };
  SendAll(peer, std::string(254, 'b') + std::string(46, 'c'));
  ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 300 || !rest.empty(); }));
  if (!rest.empty()) GTEST_SKIP() << "the data reached the handler before ReadLine";
  std::string line;
  socket.ReadLine(2, line);
  EXPECT_EQ(line, std::string(254, 'b'));
  ASSERT_TRUE(PumpUntil([&] { return rest.size() == 46; }));
  EXPECT_EQ(rest, std::string(46, 'c'));
}

// Line reading takes everything the kernel holds at once; what follows the line must still come
// out of the next reads, in order, and count as pending and as read exactly as before.
TEST_F(Transfer, BytesReadAheadPastALineComeOutOfTheNextReads) {
  SendAll(peer, "one\r\ntwo\nrest");
  ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 13; }));
  std::string line;
  socket.ReadLine(2, line);
  EXPECT_EQ(line, "one");
  EXPECT_EQ(socket.ReadCount(), 5);
  EXPECT_EQ(socket.RcvdCount(), 8);
  socket.ReadLine(2, line);  // from the read-ahead alone
  EXPECT_EQ(line, "two");
  char buffer[2];
  EXPECT_EQ(socket.Receive(buffer, sizeof buffer), 2);
  EXPECT_EQ(std::string(buffer, 2), "re");
  SendAll(peer, "!");
  ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 3; }));
  char more[16];
  EXPECT_EQ(socket.Receive(more, sizeof more), 3);  // the read-ahead, then the kernel
  EXPECT_EQ(std::string(more, 3), "st!");
  EXPECT_EQ(socket.ReadCount(), 14);
  EXPECT_EQ(socket.RcvdCount(), 0);
}

TEST_F(Transfer, ReadLineCountsOnlyKeptCharactersTowardsTheCut) {
  int tooLong = 0;
  socket.OnLineTooLong = [&](AsyncSocketBase*) { ++tooLong; };
  SendAll(peer, std::string(200, 'a') + "\r\r" + std::string(100, 'b') + "\n");
  std::string line;
  socket.ReadLine(2, line);
  EXPECT_EQ(line, std::string(200, 'a') + std::string(54, 'b'));
  socket.ReadLine(2, line);
  EXPECT_EQ(line, std::string(46, 'b'));
  EXPECT_EQ(tooLong, 1);
  EXPECT_EQ(socket.ReadCount(), 303);
}

TEST_F(Transfer, WaitsWithoutWaitControlOutsideMultiThreadedRefuse) {
  socket.MultiThreaded = false;
  std::string line = "kept";
  EXPECT_EQ(ExceptionText([&] { socket.ReadLine(1, line); }), "No wait object assigned");
  EXPECT_EQ(line, "kept");
  EXPECT_EQ(ExceptionText([&] { socket.Flush(); }), "No wait object assigned");
}

}  // namespace
