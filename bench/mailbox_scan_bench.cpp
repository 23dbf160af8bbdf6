// SPDX-License-Identifier: MIT
// Mailbox scan cost per row, and bytes of page per second, for pages of 10, 100 and 1,000 rows
// of about 580 bytes: the linear row search beside the rescan of the whole page for every row.
// The per-row time of the linear search stays flat as the page grows; the rescan's grows with
// the page. Goal: the linear scan of the 1,000-row page at 1 GB/s or more. A plain substring
// pass over the same page shows what the machine gives at the moment, and the load of the
// body into page text (line breaks made CR LF) what each check pays before the scan.

#include <benchmark/benchmark.h>

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
BENCHMARK_MAIN();
