// SPDX-License-Identifier: MIT
// Wait for a state in MultiThreaded mode, its refusal without a wait control, and
// WaitUntilClosed.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "net/socket_errors.h"
#include "test_support.h"

using namespace testing_support;
using Clock = std::chrono::steady_clock;

namespace {

std::int64_t MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

void StartConnect(AsyncSocket& socket, const std::string& port) {
  socket.SetAddr("127.0.0.1");
  socket.SetPort(port);
  socket.Connect();
}

TEST(Wait, MultiThreadedWaitForConnection) {
  TestSocket socket;
  socket.MultiThreaded = true;
  EXPECT_FALSE(socket.Wait(5, wsClosed)) << "already there";

  PosixListener listener;
  StartConnect(socket, listener.PortText());
  EXPECT_TRUE(socket.Wait(5, wsConnected));
  EXPECT_EQ(socket.AwaitedState, wsInvalidState);
  socket.Close();

  // A refused connection passes through wsConnected inside one notification; the loop only
  // sees wsClosed and runs on to the timeout.
  RefusingPort refusing;
  StartConnect(socket, refusing.PortText());
  const auto start = Clock::now();
  EXPECT_FALSE(socket.Wait(1, wsConnected));
  EXPECT_GE(MillisecondsSince(start), 950);
  EXPECT_EQ(socket.State(), wsClosed);
}

TEST(Wait, WithoutWaitControlOutsideMultiThreadedModeReportsNoData) {
  TestSocket socket;
  PosixListener listener;
  StartConnect(socket, listener.PortText());
  EXPECT_EQ(ExceptionText([&] { socket.Wait(5, wsConnected); }), SocketErrorMessage(11004, "TWSocket.Wait"));
  int errors = 0;
  socket.OnError = [&](AsyncSocketBase*) { ++errors; };
  EXPECT_FALSE(socket.Wait(5, wsConnected));
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(socket.AwaitedState, wsConnected) << "left set by the refusal";
}

TEST(WaitUntilClosed, DeliversDataWhileSleepingUntilThePeerCloses) {
  PosixListener listener;
  TestSocket socket;
  std::string received;
  socket.OnDataAvailable = [&](AsyncSocketBase* s, std::uint16_t) {
    char buffer[64];
    const int n = s->Receive(buffer, sizeof buffer);
    if (n > 0) received.append(buffer, static_cast<std::size_t>(n));
  };
  ConnectTo(socket, listener.PortText());
  const int peer = listener.Accept();
  std::jthread talker([peer] {
    SendAll(peer, "abc");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    SendAll(peer, "def");
    ::close(peer);
  });
  const std::clock_t cpuBefore = std::clock();
  socket.WaitUntilClosed();
  const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
  EXPECT_EQ(received, "abcdef");
  EXPECT_EQ(socket.State(), wsClosed);
  EXPECT_LT(cpuMs, 100) << "the wait must sleep, not spin";
}

TEST(WaitUntilClosed, EndsWhenNobodyTakesPendingData) {
  PosixListener listener;
  TestSocket socket;
  ConnectTo(socket, listener.PortText());
  const int peer = listener.Accept();
  SendAll(peer, "unwanted");
  ASSERT_TRUE(PumpUntil([&] { return socket.RcvdCount() == 8; }));
  socket.WaitUntilClosed();  // would never see the close behind bytes nobody reads
  EXPECT_EQ(socket.State(), wsConnected);
  ::close(peer);
}

}  // namespace
