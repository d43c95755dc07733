// Milliseconds per full 1920x1080 frame of the grid over 20 columns, at one
// and at two rows per record, on tables of every benchmark size (see
// BenchTable.h); scrolling by one record; the frame after jumping to the last
// record; opening with the first frame; and a frame holding one value of
// megabytes.
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
  // What the text caches hold once the frame repeats: a frame whose texts
  // do not fit them would lay out and rasterize anew every time.
  State.counters["text_cache_kb"] = static_cast<double>(rix::TextCacheBytes()) / 1024;
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

// A frame over ten records whose first holds one long value, in a string
// column and in a memo column: the frame costs what the cells show, so a
// 5 MB value paints about as fast as a 1 KB one.
void BuildHuge(const std::string& Path, long Bytes) {
  benchtable::BuildDatabase(
      Path, "CREATE TABLE Items (id INTEGER PRIMARY KEY, body VARCHAR(100000000), note MEMO);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10)"
            " INSERT INTO Items SELECT i, 'short ' || i, 'memo ' || i FROM n;"
            "UPDATE Items SET body = substr(replace(hex(zeroblob(" + std::to_string(Bytes) + ")), '00', 'ログ text '), 1, " +
            std::to_string(Bytes) + "), note = body WHERE id = 1;");
}

void BM_FrameWithHugeValue(benchmark::State& State) {
  benchtable::TRixGridFrame f(benchtable::TempDatabase("rix_huge_bench", State.range(0), BuildHuge));
  for (auto _ : State) f.Frame();
  State.counters["value_bytes"] = static_cast<double>(State.range(0));
}
BENCHMARK(BM_FrameWithHugeValue)->ArgName("value_bytes")->Arg(1000)->Arg(500000)->Arg(5000000)->Unit(benchmark::kMillisecond);

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
