// Milliseconds per full 1920x1080 frame of the grid over 20 columns, at one
// and at two rows per record, on tables of every benchmark size (see
// BenchTable.h); scrolling by one record; the frame after jumping to the last
// record; and opening with the first frame.
#include "../common/Ratios.h"
#include "../common/RixGridFrame.h"

#include <benchmark/benchmark.h>

namespace {

void Args(benchmark::internal::Benchmark* B) {
  B->ArgNames({"rows_per_record", "table_rows"});
  for (int rpr : {1, 2})
    for (long rows : benchtable::Sizes()) B->Args({rpr, rows});
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

// Opening the table, binding the grid and drawing the first frame.
void BM_OpenAndFirstFrame(benchmark::State& State) {
  const std::string path = benchtable::TablePath(State.range(1));
  for (auto _ : State) {
    benchtable::TRixGridFrame f(path, static_cast<int>(State.range(0)));
    benchmark::DoNotOptimize(f.Grid);
  }
}
BENCHMARK(BM_OpenAndFirstFrame)->Apply(Args);

} // namespace

int main(int argc, char** argv) { return benchtable::RunWithRatios(argc, argv); }
