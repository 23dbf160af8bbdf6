// SPDX-License-Identifier: MIT
// Throughput and CPU of the socket component beside plain blocking POSIX sockets on loopback.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class AsyncSocket;

namespace socket_bench {

struct Result {
  double seconds;        // wall time of the transfer
  double cpuSeconds;     // CPU of the measured thread (the side under test)
  double syscalls = -1;  // system calls of that thread, where counted
};

constexpr std::size_t kMiB = 1024 * 1024;

// Plain peers and copies (socket_bench_plain.cpp).
struct LoopbackPair {
  int listener;
  std::uint16_t port;
};
LoopbackPair Listen();
int AcceptOne(const LoopbackPair& pair);
int ConnectTo(std::uint16_t port);
void ReadAllBlocking(int fd, std::size_t total);                   // peer that reads, then closes
void WriteAllBlocking(int fd, std::size_t total, std::size_t chunk);  // peer that writes, then closes
Result PlainSend(std::size_t total, std::size_t chunk);
Result PlainNonBlockingSend(std::size_t total, std::size_t chunk);  // waits in poll() for room
Result PlainReceive(std::size_t total, std::size_t chunk);
double ThreadCpuSeconds();
double ProcessCpuSeconds();
double WallSeconds();

// Lines of 80 bytes read one at a time (socket_bench_lines.cpp): a plain reader splitting recv's
// buffer, and ReadLine.
Result PlainReadLines(std::size_t lines);
Result ComponentReadLines(std::size_t lines);

// The same transfers through AsyncSocket (socket_bench_component.cpp).
// A MultiThreaded component connected to a fresh loopback listener; returns the peer descriptor.
int ConnectComponent(AsyncSocket& socket);
Result ComponentSend(std::size_t total, std::size_t chunk);
Result ComponentReceive(std::size_t total, std::size_t chunk);
// CPU of the whole process while a connected component waits `seconds` for a line.
double IdleWaitCpu(int seconds);

}  // namespace socket_bench
