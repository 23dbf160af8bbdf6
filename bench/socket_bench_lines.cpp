// SPDX-License-Identifier: MIT
// Line reading: AsyncSocket ReadLine beside a plain blocking reader that splits what recv gives at
// LF, with the system calls that the reading thread makes.
#include <linux/perf_event.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "net/async_socket.h"
#include "socket_bench.h"

namespace socket_bench {
namespace {

constexpr std::size_t kLineLength = 80;  // 78 characters and CR LF

// Counts the system calls of the calling thread at the kernel's syscall tracepoint. -1 when that
// is out of reach: it needs tracefs and the right to open perf events.
class SyscallCounter {
 public:
  SyscallCounter() {
    perf_event_attr attr{};
    if (!(std::ifstream("/sys/kernel/tracing/events/raw_syscalls/sys_enter/id") >> attr.config)) return;
    attr.type = PERF_TYPE_TRACEPOINT;
    attr.size = sizeof attr;
    fd_ = static_cast<int>(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
  }
  SyscallCounter(const SyscallCounter&) = delete;
  SyscallCounter& operator=(const SyscallCounter&) = delete;
  ~SyscallCounter() {
    if (fd_ >= 0) ::close(fd_);
  }
  double Count() const {
    std::uint64_t count = 0;
    if (fd_ < 0 || ::read(fd_, &count, sizeof count) != sizeof count) return -1;
    return static_cast<double>(count);
  }

 private:
  int fd_ = -1;
};

// Sends `lines` lines in 64 KiB pieces, then closes.
void WriteLines(int fd, std::size_t lines) {
  std::string block;
  while (block.size() + kLineLength <= 64 * 1024) block += std::string(kLineLength - 2, 'l') + "\r\n";
  for (std::size_t left = lines * kLineLength; left > 0;) {
    const ssize_t n = ::send(fd, block.data(), std::min(left, block.size()), MSG_NOSIGNAL);
    if (n <= 0) break;
    left -= static_cast<std::size_t>(n);
  }
  ::close(fd);
}

// Times `readLines()` on the reading thread while another thread writes the lines to `peer`.
template <typename ReadLines>
Result TimeReading(int peer, std::size_t lines, ReadLines readLines) {
  SyscallCounter syscalls;
  std::thread writer(WriteLines, peer, lines);
  const double wall = WallSeconds();
  const double cpu = ThreadCpuSeconds();
  const double before = syscalls.Count();
  readLines();
  const double after = syscalls.Count();
  Result result{WallSeconds() - wall, ThreadCpuSeconds() - cpu, before < 0 ? -1 : after - before};
  writer.join();
  return result;
}

}  // namespace

Result PlainReadLines(std::size_t lines) {
  LoopbackPair pair = Listen();
  const int reader = ConnectTo(pair.port);
  const Result result = TimeReading(AcceptOne(pair), lines, [&] {
    char buffer[16 * 1024];
    std::string line;
    std::size_t done = 0;
    while (done < lines) {
      const ssize_t n = ::recv(reader, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      for (const char* at = buffer; at < buffer + n;) {
        const char* end = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(buffer + n - at)));
        line.append(at, (end ? end : buffer + n) - at);
        if (!end) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line.clear();
        ++done;
        at = end + 1;
      }
    }
  });
  ::close(reader);
  return result;
}

Result ComponentReadLines(std::size_t lines) {
  AsyncSocket socket;
  const int peer = ConnectComponent(socket);
  const Result result = TimeReading(peer, lines, [&] {
    std::string line;
    // The writer never pauses for 5 s, so every call ends with a whole line.
    for (std::size_t done = 0; done < lines && socket.State() == wsConnected; ++done) socket.ReadLine(5, line);
  });
  socket.Close();
  return result;
}

}  // namespace socket_bench
