// Milliseconds per full 1920x1080 frame of the grid over 20 columns, at one
// and at two rows per record, on tables of 10 thousand and 1 million rows;
// scrolling by one record; and the frame after jumping to the last record.
#include "../common/RixGridFrame.h"

#include <benchmark/benchmark.h>

namespace {

void Args(benchmark::internal::Benchmark* B) {
  B->ArgNames({"rows_per_record", "table_rows"});
  for (int rpr : {1, 2})
    for (long rows : {10000L, 1000000L}) B->Args({rpr, rows});
  B->Unit(benchmark::kMillisecond);
}

void BM_FullFrame(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(State.range(1)), static_cast<int>(State.range(0)));
  f.Data->MoveBy(500);
  for (auto _ : State) f.Frame();
  State.counters["visible_cells"] = f.Grid->VisibleColCount() * f.Grid->VisibleRowCount();
}
BENCHMARK(BM_FullFrame)->Apply(Args);

// One record down and the repaint of what changed.
void BM_NextRecordAndPaint(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(State.range(1)), static_cast<int>(State.range(0)));
  for (auto _ : State) {
    f.Data->Next();
    if (f.Data->Eof()) f.Data->First();
    f.Host->Paint();
  }
}
BENCHMARK(BM_NextRecordAndPaint)->Apply(Args);

void BM_LastRecordAndFrame(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TablePath(State.range(1)), static_cast<int>(State.range(0)));
  for (auto _ : State) {
    State.PauseTiming();
    f.Data->First();
    f.Host->Paint();
    State.ResumeTiming();
    f.Data->Last();
    f.Host->Paint();
  }
}
BENCHMARK(BM_LastRecordAndFrame)->Apply(Args);

} // namespace

BENCHMARK_MAIN();
