// Milliseconds per full 1920x1080 frame of the grid over 20 columns, at one
// and at two rows per record, and the frame after jumping to the last record.
#include "../common/RixGridFrame.h"

#include <benchmark/benchmark.h>

namespace {

constexpr long TableRows = 100000;

void BM_FullFrame(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(TableRows), static_cast<int>(State.range(0)));
  f.Data->MoveBy(500);
  for (auto _ : State) f.Frame();
  State.counters["cells"] = f.Grid->ColCount() * f.Grid->RowCount();
  State.SetLabel("rows per record " + std::to_string(State.range(0)));
}
BENCHMARK(BM_FullFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Scrolling one record down and painting what changed.
void BM_ScrollOneRecordAndPaint(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(TableRows), static_cast<int>(State.range(0)));
  for (auto _ : State) {
    f.Data->Next();
    if (f.Data->Eof()) f.Data->First();
    f.Host->Paint();
  }
}
BENCHMARK(BM_ScrollOneRecordAndPaint)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_LastRecordAndFrame(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(TableRows), static_cast<int>(State.range(0)));
  for (auto _ : State) {
    State.PauseTiming();
    f.Data->First();
    f.Host->Paint();
    State.ResumeTiming();
    f.Data->Last();
    f.Host->Paint();
  }
}
BENCHMARK(BM_LastRecordAndFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
