// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "net/async_socket.h"
#include "socket_bench.h"

namespace socket_bench {

int ConnectComponent(AsyncSocket& socket) {
  LoopbackPair pair = Listen();
  socket.MultiThreaded = true;
  socket.SetAddr("127.0.0.1");
  socket.SetPort(std::to_string(pair.port));
  socket.Connect();
  int peer = AcceptOne(pair);
  while (socket.State() == wsConnecting) win::WaitMessages();
  return peer;
}

// Streams like the HTTP client streams a body: the next Send from each OnDataSent.
Result ComponentSend(std::size_t total, std::size_t chunk) {
  AsyncSocket socket;
  std::vector<char> data(chunk, 'c');
  std::size_t queued = 0;
  bool finished = false;
  socket.OnDataSent = [&](AsyncSocketBase* sender, std::uint16_t) {
    if (queued == total) {
      finished = true;
      return;
    }
    const std::size_t n = std::min(chunk, total - queued);
    queued += n;
    sender->Send(data.data(), static_cast<int>(n));
  };
  socket.LingerOnOff = wsLingerOff;
  int peer = ConnectComponent(socket);
  double wall = WallSeconds();
  double cpu = ThreadCpuSeconds();
  std::thread reader(ReadAllBlocking, peer, total);
  while (!finished) win::WaitMessages();
  // Closed as the plain senders close, before the reader has everything: the close pushes out a
  // last segment that Nagle's algorithm may hold for the peer's delayed acknowledgement (40 ms
  // on loopback). A graceful close, since the component's default linger resets the connection.
  socket.Close();
  reader.join();
  return {WallSeconds() - wall, ThreadCpuSeconds() - cpu};
}

Result ComponentReceive(std::size_t total, std::size_t chunk) {
  AsyncSocket socket;
  std::vector<char> buffer(chunk);
  std::size_t received = 0;
  socket.OnDataAvailable = [&](AsyncSocketBase* sender, std::uint16_t) {
    const int n = sender->Receive(buffer.data(), static_cast<int>(chunk));
    if (n > 0) received += static_cast<std::size_t>(n);
  };
  int peer = ConnectComponent(socket);
  double wall = WallSeconds();
  double cpu = ThreadCpuSeconds();
  std::thread writer(WriteAllBlocking, peer, total, std::size_t{64 * 1024});
  while (received < total) win::WaitMessages();
  Result result{WallSeconds() - wall, ThreadCpuSeconds() - cpu};
  writer.join();
  socket.Close();
  return result;
}

double IdleWaitCpu(int seconds) {
  AsyncSocket socket;
  int peer = ConnectComponent(socket);  // never sends
  std::string line;
  double cpu = ProcessCpuSeconds();
  socket.ReadLine(seconds, line);
  double used = ProcessCpuSeconds() - cpu;
  socket.Close();
  ::close(peer);
  return used;
}

}  // namespace socket_bench
