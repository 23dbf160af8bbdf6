// Mailbox scan cost per row for pages of 10, 100 and 1,000 rows of about 500 bytes: the
// linear row search beside the rescan of the whole page for every row. The per-row time of
// the linear search stays flat as the page grows; the rescan's grows with the page.

#include <benchmark/benchmark.h>

#include <string>
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
  for (auto _ : state) {
    state.PauseTiming();
    PageText page = original;
    state.ResumeTiming();
    ScanMailbox(page, true, result, search);
    benchmark::DoNotOptimize(result.Messages.sizes.data());
  }
  if (static_cast<int>(result.Messages.RowCount()) != rows) state.SkipWithError("rows lost");
  state.counters["bytes_per_row"] = static_cast<double>(original.Text().size()) / rows;
  state.counters["per_row"] = benchmark::Counter(static_cast<double>(rows) * state.iterations(),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_ScanLinear(benchmark::State& state) { Scan(state, RowSearch::AfterPrevious); }
void BM_ScanRescanFromStart(benchmark::State& state) { Scan(state, RowSearch::FromStart); }

}  // namespace

BENCHMARK(BM_ScanLinear)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScanRescanFromStart)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
