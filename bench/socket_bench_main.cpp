// SPDX-License-Identifier: MIT
// AsyncSocket beside a plain blocking POSIX socket doing the same transfer on loopback, paired and
// alternated in one run: each pair runs both (the order swapping from pair to pair), and the
// figures are ratios within a pair, reported as median and spread. Then what a connected
// socket costs while it waits for data.
//   bench_socket [MiB per transfer] [pairs]
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "socket_bench.h"

using namespace socket_bench;

namespace {

std::string Load() {
  std::ifstream in("/proc/loadavg");
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string Spread(const std::vector<double>& values) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f (%.2f-%.2f)", Median(values), *std::min_element(values.begin(), values.end()),
                *std::max_element(values.begin(), values.end()));
  return text;
}

// Speed is plain time / component time (above 1: the component is faster), CPU is component
// CPU / plain CPU (below 1: the component costs less). `amount` is what one transfer moves, in
// `unit`s; where the system calls were counted, their medians per unit follow.
void Compare(const char* name, double amount, const char* unit, int pairs, const std::function<Result()>& plain,
             const std::function<Result()>& component, const char* goal) {
  std::vector<double> speed, cpu, plainRate, componentRate, plainCalls, componentCalls;
  for (int i = 0; i < pairs; ++i) {
    Result p{}, c{};
    if (i % 2 == 0) {
      p = plain();
      c = component();
    } else {
      c = component();
      p = plain();
    }
    speed.push_back(p.seconds / c.seconds);
    cpu.push_back(c.cpuSeconds / p.cpuSeconds);
    plainRate.push_back(amount / p.seconds);
    componentRate.push_back(amount / c.seconds);
    plainCalls.push_back(p.syscalls / amount);
    componentCalls.push_back(c.syscalls / amount);
  }
  std::printf("  %-40s plain %7.0f %s/s  AsyncSocket %7.0f %s/s  speed x%s  CPU x%s  %s\n", name, Median(plainRate),
              unit, Median(componentRate), unit, Spread(speed).c_str(), Spread(cpu).c_str(), goal);
  if (Median(plainCalls) >= 0) {
    std::printf("  %-40s system calls per %s: plain %.3f  AsyncSocket %.3f\n", "", unit, Median(plainCalls),
                Median(componentCalls));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 64;
  const int pairs = argc > 2 ? std::atoi(argv[2]) : 7;
  const std::size_t total = mib * kMiB;
  std::printf("Loopback, %zu MiB per transfer, %d pairs; CPU is that of the thread under test\n", mib, pairs);
  std::printf("load before: %s\n", Load().c_str());

  std::printf("Send to a blocking reader: plain send() of N bytes beside AsyncSocket Send of N from OnDataSent\n");
  for (const std::size_t chunk : {std::size_t{64 * 1024}, std::size_t{8 * 1024}}) {
    const std::string name = std::to_string(chunk / 1024) + " KiB chunks";
    Compare(name.c_str(), static_cast<double>(mib), "MiB", pairs, [&] { return PlainSend(total, chunk); },
            [&] { return ComponentSend(total, chunk); }, "[goal speed >= 0.8, CPU <= 1.5]");
  }
  // The component cannot block in send(): beside it, the same loop on a non-blocking socket.
  std::printf("The same beside a plain non-blocking send() that waits in poll() when the kernel has no room\n");
  for (const std::size_t chunk : {std::size_t{64 * 1024}, std::size_t{8 * 1024}}) {
    const std::string name = std::to_string(chunk / 1024) + " KiB chunks";
    Compare(name.c_str(), static_cast<double>(mib), "MiB", pairs,
            [&] { return PlainNonBlockingSend(total, chunk); },
            [&] { return ComponentSend(total, chunk); }, "");
  }

  std::printf("Receive from a blocking writer: plain recv() of N bytes beside AsyncSocket Receive in OnDataAvailable\n");
  for (const std::size_t chunk : {std::size_t{64 * 1024}, std::size_t{8 * 1024}}) {
    const std::string name = std::to_string(chunk / 1024) + " KiB reads";
    Compare(name.c_str(), static_cast<double>(mib), "MiB", pairs,
            [&] { return PlainReceive(total, chunk); },
            [&] { return ComponentReceive(total, chunk); }, "");
  }

  std::printf("Lines of 80 bytes: a plain recv() reader splitting its 16 KiB buffer at LF beside ReadLine\n");
  const std::size_t lines = total / 80;
  Compare("ReadLine", static_cast<double>(lines), "line", pairs, [&] { return PlainReadLines(lines); },
          [&] { return ComponentReadLines(lines); }, "");

  std::printf("Idle: a connected AsyncSocket waits 3 s for a line that never comes\n");
  std::printf("  process CPU during the wait: %.4f s\n", IdleWaitCpu(3));
  std::printf("load after: %s\n", Load().c_str());
  return 0;
}
