// SPDX-License-Identifier: MIT
// The waits outside MultiThreaded mode, through a wait control that records what it is told.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_support.h"

using namespace testing_support;

namespace {

class RecordingWait : public WaitCountdown {
 public:
  std::vector<std::string> calls;
  void SetCaption(const std::string& caption) override {
    caption_ = caption;
    calls.push_back("Caption " + caption);
  }
  void SetVisible(bool visible) override { calls.push_back(visible ? "Show" : "Hide"); }
  void Start() override {
    running_ = true;
    calls.push_back("Start");
  }
  void Stop() override {
    running_ = false;
    calls.push_back("Stop");
  }
  void RunModal() override {
    Start();
    PumpUntil([this] { return !running_; }, 1000 * std::stoi(caption_));
    running_ = false;
  }
  bool Running() const override { return running_; }

 private:
  std::string caption_;
  bool running_ = false;
};

class SocketCountdown : public ::testing::Test {
 protected:
  void SetUp() override {
    ConnectTo(socket, listener.PortText());
    ASSERT_EQ(socket.State(), wsConnected);
    peer = listener.Accept();
    socket.SetWaitCtrl(&wait);
  }
  void TearDown() override { ::close(peer); }
  PosixListener listener;
  RecordingWait wait;
  TestSocket socket;
  int peer = -1;
};

TEST_F(SocketCountdown, ReadLineRunsTheModalWaitUntilTheLineEnds) {
  SendAll(peer, "par");
  std::jthread late([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SendAll(peer, "tial\r\nnext");
  });
  std::string line;
  socket.ReadLine(5, line);
  EXPECT_EQ(line, "partial");
  EXPECT_EQ(wait.calls, (std::vector<std::string>{"Caption 5", "Show", "Start", "Stop", "Hide"}));
}

TEST_F(SocketCountdown, FlushCountsDownWhileTheQueueDrains) {
  const std::string payload(256 * 1024, 'f');
  std::jthread reader([this, &payload] { EXPECT_EQ(ReadExactly(peer, payload.size()).size(), payload.size()); });
  socket.QueueSendData(payload.data(), static_cast<int>(payload.size()));
  socket.AllSent = false;
  socket.FlushTimeout = 7;
  socket.Flush();
  EXPECT_TRUE(socket.AllSent);
  EXPECT_EQ(wait.calls, (std::vector<std::string>{"Caption 7", "Show", "Start", "Stop", "Hide"}));
}

TEST_F(SocketCountdown, ADestroyedControlIsForgotten) {
  {
    RecordingWait shortLived;
    socket.SetWaitCtrl(&shortLived);
    EXPECT_EQ(socket.WaitCtrl(), &shortLived);
  }
  EXPECT_EQ(socket.WaitCtrl(), nullptr);
}

TEST(WaitWithControl, ConnectionStopsTheControlEarlyAndAFailureEndsItAtOnce) {
  RecordingWait wait;
  TestSocket socket;
  socket.SetWaitCtrl(&wait);
  PosixListener listener;
  socket.SetAddr("127.0.0.1");
  socket.SetPort(listener.PortText());
  socket.Connect();
  EXPECT_TRUE(socket.Wait(5, wsConnected));
  EXPECT_EQ(wait.calls, (std::vector<std::string>{"Caption 5", "Show", "Start", "Stop", "Hide"}));
  socket.Close();

  RefusingPort refusing;
  socket.SetPort(refusing.PortText());
  socket.SetAddr("127.0.0.1");
  socket.Connect();
  wait.calls.clear();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(socket.Wait(5, wsConnected));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(wait.calls, (std::vector<std::string>{"Caption 5", "Show", "Start", "Stop", "Stop", "Hide"}))
      << "stopped on wsConnected, again on wsClosed";
}

}  // namespace
