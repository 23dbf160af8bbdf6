// Moves 256 MiB through one AsyncSocket in each direction beside a plain blocking POSIX copy of
// the same bytes, then measures what a connected socket costs while it waits for data.
//   bench_socket [MiB]
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "socket_bench.h"

using namespace socket_bench;

namespace {

void Row(const char* name, std::size_t total, const Result& r, const Result& baseline) {
  const double mib = static_cast<double>(total) / static_cast<double>(kMiB);
  std::printf("  %-44s %9.1f MiB/s %7.3f s CPU   speed x%.2f  CPU x%.2f\n", name, mib / r.seconds, r.cpuSeconds,
              baseline.seconds / r.seconds, r.cpuSeconds / baseline.cpuSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::size_t mib = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  const std::size_t total = mib * kMiB;
  std::printf("Loopback, %zu MiB each; CPU is that of the thread under test; x = ratio to the plain copy\n", mib);

  std::printf("Send to a plain blocking reader\n");
  Result plainSend = PlainSend(total, 64 * 1024);
  Row("plain blocking send, 64 KiB writes", total, plainSend, plainSend);
  Row("plain blocking send, 1514-byte writes", total, PlainSend(total, 1514), plainSend);
  Row("AsyncSocket Send of 64 KiB from OnDataSent", total, ComponentSend(total, 64 * 1024), plainSend);
  Row("AsyncSocket Send of 8 KiB from OnDataSent", total, ComponentSend(total, 8 * 1024), plainSend);

  std::printf("Receive from a plain blocking writer\n");
  Result plainReceive = PlainReceive(total, 64 * 1024);
  Row("plain blocking recv, 64 KiB reads", total, plainReceive, plainReceive);
  Row("AsyncSocket Receive of 64 KiB in OnDataAvailable", total, ComponentReceive(total, 64 * 1024), plainReceive);
  Row("AsyncSocket Receive of 8 KiB in OnDataAvailable", total, ComponentReceive(total, 8 * 1024), plainReceive);

  std::printf("Idle: a connected AsyncSocket waits 3 s for a line that never comes\n");
  std::printf("  process CPU during the wait: %.4f s\n", IdleWaitCpu(3));
  return 0;
}
