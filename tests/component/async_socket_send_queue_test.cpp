// SPDX-License-Identifier: MIT
// The send queue handing many blocks to the kernel at once: partial sends that end inside a
// block, the byte counts after them, many small sends before a close, one OnDataSent per
// drained queue, and datagrams that keep one block per datagram.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "test_support.h"

using namespace testing_support;

namespace {

std::string Pattern(std::size_t size, std::size_t seed = 0) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 131 + i / 1514 + seed) % 251);
  return data;
}

void SetBuffer(int fd, int option, int bytes) { ::setsockopt(fd, SOL_SOCKET, option, &bytes, sizeof bytes); }

bool Readable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) > 0;
}

// A connected component and the accepted POSIX peer; with a small send buffer the kernel takes
// only part of a large send.
class SendQueue : public ::testing::Test {
 protected:
  void SetUp() override {
    socket.MultiThreaded = true;
    ConnectTo(socket, listener.PortText());
    ASSERT_EQ(socket.State(), wsConnected);
    peer = listener.Accept();
    ASSERT_GE(peer, 0);
    ASSERT_TRUE(PumpUntil([&] { return socket.AllSent; }));
    PumpFor(20);  // the connect's FD_WRITE
  }
  void TearDown() override {
    if (peer >= 0) ::close(peer);
  }
  void SmallSendBuffer() { SetBuffer(static_cast<int>(socket.FHSocket), SO_SNDBUF, 16384); }
  // Close after what the kernel holds has gone out (the component's default linger resets).
  void GracefulClose() {
    const linger off{0, 0};
    ::setsockopt(static_cast<int>(socket.FHSocket), SOL_SOCKET, SO_LINGER, &off, sizeof off);
    socket.Close();
  }
  std::size_t Queued() {
    std::size_t total = 0;
    for (const SendBuffer& block : socket.BufferList) {
      const char* data;
      total += static_cast<std::size_t>(block.PendingData(data));
    }
    return total;
  }
  // What the peer gets, up to `length` bytes, while the component's events run.
  std::string ReceiveWhilePumping(std::size_t length) {
    std::string received;
    std::atomic<bool> done = false;
    std::jthread reader([&] {
      received = ReadExactly(peer, length, 10000);
      done = true;
    });
    PumpUntil([&] { return done.load(); }, 30000);
    reader.join();
    return received;
  }

  PosixListener listener;
  TestSocket socket;
  int peer = -1;
};

TEST_F(SendQueue, PartialSendsEndInsideBlocksAndKeepCountsAndOrder) {
  SmallSendBuffer();
  std::string sent = Pattern(300000);
  ASSERT_EQ(socket.Send(sent.data(), static_cast<int>(sent.size())), static_cast<int>(sent.size()));
  ASSERT_FALSE(socket.AllSent) << "the kernel took all of 300 KB at once";
  std::size_t delivered = 0;
  bool cutInsideABlock = false;
  for (std::size_t round = 0; round < 40 && !socket.AllSent; ++round) {
    // What the kernel took is on its way, exactly that and in order; the rest waits queued.
    const std::size_t taken = sent.size() - Queued();
    ASSERT_EQ(ReadExactly(peer, taken - delivered), sent.substr(delivered, taken - delivered));
    delivered = taken;
    EXPECT_FALSE(Readable(peer, 20)) << "more arrived than the queue says was sent";
    // With room again, a Send hands the kernel the queued blocks together, and it takes a part.
    const std::string more = Pattern(100 + round, round);
    EXPECT_EQ(socket.SendStr(more), static_cast<int>(more.size()));
    sent += more;
    const char* data;
    const int front = socket.BufferList.front().PendingData(data);
    cutInsideABlock |= !socket.AllSent && front > 0 && front < SendBuffer::kDefaultSize;
  }
  EXPECT_TRUE(cutInsideABlock) << "no partial send ended inside a block";
  EXPECT_TRUE(ReceiveWhilePumping(sent.size() - delivered) == sent.substr(delivered));
  EXPECT_EQ(Queued(), 0u);
}

TEST_F(SendQueue, ManySmallSendsThenCloseDeliverAPrefixInOrder) {
  // With room in the kernel every byte goes out, and the peer sees all of it, then the end.
  std::string all;
  for (int i = 0; i < 3000; ++i) {
    const std::string piece = Pattern(1 + (i * 37) % 97, static_cast<std::size_t>(i));
    all += piece;
    ASSERT_EQ(socket.SendStr(piece), static_cast<int>(piece.size()));
  }
  ASSERT_TRUE(PumpUntil([&] { return socket.AllSent; }));
  GracefulClose();
  EXPECT_TRUE(ReadUntilClosed(peer) == all);
  ::close(peer);

  // Into a full socket: the close drops what is still queued, and nothing else.
  PosixListener second;
  ConnectTo(socket, second.PortText());
  peer = second.Accept();
  SmallSendBuffer();
  all.clear();
  for (int i = 0; i < 3000; ++i) {
    const std::string piece = Pattern(1 + (i * 53) % 89, static_cast<std::size_t>(i) + 7);
    all += piece;
    socket.SendStr(piece);
  }
  ASSERT_FALSE(socket.AllSent);
  const std::size_t dropped = Queued();
  GracefulClose();
  const std::string received = ReadUntilClosed(peer);
  EXPECT_EQ(received.size(), all.size() - dropped);
  EXPECT_TRUE(received == all.substr(0, received.size()));
  EXPECT_TRUE(socket.BufferList.empty());
}

TEST_F(SendQueue, OnDataSentOncePerDrain) {
  int sentEvents = 0;
  socket.OnDataSent = [&](AsyncSocketBase*, std::uint16_t) { ++sentEvents; };
  SmallSendBuffer();
  // A full socket arms WinSock's FD_WRITE; a later Send that drains the queue posts its own
  // notice. Both arrive, and the drain is told once.
  std::string sent = Pattern(200000);
  socket.Send(sent.data(), static_cast<int>(sent.size()));
  ASSERT_FALSE(socket.AllSent);
  std::string received;
  std::jthread reader([&] { received = ReadUntilClosed(peer, 10000); });
  for (int i = 0; i < 1000 && !socket.AllSent; ++i) {
    usleep(10000);  // the reader empties the kernel meanwhile; no event runs
    socket.SendStr("x");
    sent += 'x';
  }
  ASSERT_TRUE(socket.AllSent);
  EXPECT_EQ(sentEvents, 0) << "never inside Send";
  PumpFor(200);
  EXPECT_EQ(sentEvents, 1);
  GracefulClose();
  reader.join();
  EXPECT_TRUE(received == sent);

  // Streaming from the handler: the connect's event, then one event for each Send that drains.
  ::close(peer);
  sentEvents = 0;
  int sends = 0;
  std::string streamed;
  socket.OnDataSent = [&](AsyncSocketBase* sender, std::uint16_t) {
    ++sentEvents;
    if (sends == 300) return;
    const std::string piece = Pattern(5000, static_cast<std::size_t>(sends++));
    streamed += piece;
    sender->SendStr(piece);
  };
  PosixListener second;
  ConnectTo(socket, second.PortText());
  peer = second.Accept();
  const std::string got = ReceiveWhilePumping(300 * 5000);
  ASSERT_TRUE(PumpUntil([&] { return sends == 300 && socket.AllSent; }));
  PumpFor(100);
  EXPECT_EQ(sentEvents, 301);
  EXPECT_TRUE(got == streamed);
}

TEST(DatagramQueue, EachBlockIsOneDatagram) {
  const int receiver = UdpReceiverOnLoopback();
  ASSERT_GE(receiver, 0);
  TestSocket socket;
  socket.SetProto("udp");
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(LocalPort(receiver)));
  socket.Connect();
  const std::string payload = Pattern(3000);
  EXPECT_EQ(socket.Send(payload.data(), 3000), 3000);
  char buffer[4096];
  std::string received;
  for (const std::size_t expected : {1514u, 1486u}) {
    ASSERT_TRUE(Readable(receiver, 2000));
    const ssize_t n = ::recv(receiver, buffer, sizeof buffer, 0);
    EXPECT_EQ(n, static_cast<ssize_t>(expected));
    received.append(buffer, n > 0 ? static_cast<std::size_t>(n) : 0);
  }
  EXPECT_EQ(received, payload);
  ::close(receiver);
}

}  // namespace
