// SPDX-License-Identifier: MIT
// Mailbox scan cost per row, and bytes of page per second, for pages of 10, 100 and 1,000 rows
// of about 580 bytes: the linear row search beside the rescan of the whole page for every row.
// The per-row time of the linear search stays flat as the page grows; the rescan's grows with
// the page. A plain substring pass over the same page shows what the machine gives at the
// moment, and the load of the body into page text (line breaks made CR LF) what each check pays
// before the scan. Then the scan of the 1,000-row page and the plain pass run in turns, the
// order swapped every round, and the median of their ratio is printed. Goal: the scan at one
// third of the plain pass's bytes per second or more.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "mailbox_page.h"
#include "session/mailbox_scan.h"

namespace {

std::string BenchPage(int rows) {
  std::vector<testpage::Row> list;
  for (int i = 0; i < rows; ++i) {
    testpage::Row row = testpage::MakeRow(i);
    row.subject += " " + std::string(150, 's');
    row.rowAttributes = " title=\"" + std::string(150, 't') + "\"";  // markup outside the row window
    list.push_back(row);
  }
  return testpage::Page(std::to_string(rows), list);
}

void Scan(benchmark::State& state, RowSearch search) {
  const int rows = static_cast<int>(state.range(0));
  PageText original;
  original.Load(BenchPage(rows));
  MailboxState result;
  PageText page;  // assigned, not built, for each scan: freeing the old text is no part of a scan
  for (auto _ : state) {
    state.PauseTiming();
    page = original;
    state.ResumeTiming();
    ScanMailbox(page, true, result, search);
    benchmark::DoNotOptimize(result.Messages.sizes.data());
  }
  if (static_cast<int>(result.Messages.RowCount()) != rows) state.SkipWithError("rows lost");
  state.SetBytesProcessed(static_cast<std::int64_t>(original.Text().size()) * state.iterations());
  state.counters["bytes_per_row"] = static_cast<double>(original.Text().size()) / rows;
  state.counters["per_row"] = benchmark::Counter(static_cast<double>(rows) * state.iterations(),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The yardstick on the same machine at the same moment: one search for a text that the page
// does not hold, a plain pass over every byte.
void BM_SubstringPass(benchmark::State& state) {
  const std::string page = BenchPage(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(std::string_view(page).find("no such text"));
  state.SetBytesProcessed(static_cast<std::int64_t>(page.size()) * state.iterations());
}

// What each check does before the scan: the body becomes page text, line breaks made CR LF.
void BM_LoadPage(benchmark::State& state) {
  const std::string body = BenchPage(static_cast<int>(state.range(0)));
  PageText page;
  for (auto _ : state) {
    page.Load(body);
    benchmark::DoNotOptimize(page.Text().data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(body.size()) * state.iterations());
}

void BM_ScanLinear(benchmark::State& state) { Scan(state, RowSearch::AfterPrevious); }
void BM_ScanRescanFromStart(benchmark::State& state) { Scan(state, RowSearch::FromStart); }

}  // namespace

BENCHMARK(BM_SubstringPass)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadPage)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanLinear)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanRescanFromStart)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

namespace {

// Keeps the bytes per second of every run it is given and prints nothing.
class RateRecorder : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) rates_[run.benchmark_name()].push_back(run.counters.at("bytes_per_second"));
  }
  double Last(const std::string& name) const { return rates_.at(name).back(); }

 private:
  std::map<std::string, std::vector<double>> rates_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string LoadAverage() {
  std::string one, five, fifteen;
  std::ifstream("/proc/loadavg") >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

// The scan of the 1,000-row page and the plain pass over it, in turns.
void CompareSideBySide(int rounds) {
  const std::string plain = "BM_SubstringPass/1000", scan = "BM_ScanLinear/1000";
  const std::string loadBefore = LoadAverage();
  RateRecorder recorder;
  std::vector<double> plainRates, scanRates, ratios;
  for (int round = 0; round < rounds; ++round) {
    for (const std::string& name : round % 2 == 0 ? std::vector{plain, scan} : std::vector{scan, plain})
      benchmark::RunSpecifiedBenchmarks(&recorder, "^" + name + "$");
    plainRates.push_back(recorder.Last(plain));
    scanRates.push_back(recorder.Last(scan));
    ratios.push_back(scanRates.back() / plainRates.back());
  }
  std::printf("\nSide by side, %d rounds, medians: plain pass %.2f GB/s, linear scan %.2f GB/s\n", rounds,
              Median(plainRates) / 1e9, Median(scanRates) / 1e9);
  std::printf("scan / plain pass: %.3f (lowest %.3f, highest %.3f); goal 0.333 or more\n", Median(ratios),
              *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
  std::printf("load average before: %s, after: %s\n", loadBefore.c_str(), LoadAverage().c_str());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  CompareSideBySide(9);
  benchmark::Shutdown();
  return 0;
}
