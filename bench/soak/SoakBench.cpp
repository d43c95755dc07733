// A long session: 100,000 random input steps (keys, typing, input-method
// text, clicks, drags, wheel, resizes, popup menus; see fuzz/InputScript.h)
// on the grid over the million-row table, each followed by the repaint.
// Memory must level off: the peak at the end may exceed the peak after the
// first 1,000 steps by at most 5 MB, or the benchmark reports an error.
#include "../../fuzz/InputScript.h"
#include "../common/RixGridFrame.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <vector>

namespace {

// The process's peak resident memory so far, in kilobytes.
long PeakKB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

void BM_SoakRandomInput(benchmark::State& State) {
  const long steps = State.range(0);
  benchtable::TRixGridFrame f(benchtable::TablePath(1000000));
  constexpr int Width = 800, Height = 600;
  f.Host->SetSize(Width, Height);
  f.Grid->SetBounds(0, 0, Width, Height);
  std::mt19937 random(19);
  std::vector<std::uint8_t> bytes(static_cast<size_t>(steps) * 8);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
  long afterWarmUp = 0, done = 0;
  // The first full-HD frame set a peak that would hide 8 MB of growth: the
  // peak starts again from what the session holds now (Linux resets it).
  f.Host->Paint();
  std::ofstream("/proc/self/clear_refs") << "5";
  for (auto _ : State) {
    rixinput::TInputScript script(*f.Host, f.Grid, Width, Height);
    const std::uint8_t* p = bytes.data();
    const std::uint8_t* end = bytes.data() + bytes.size();
    for (done = 0; done < steps && script.Step(p, end); ++done) {
      f.Host->Paint();
      if (done + 1 == 1000) afterWarmUp = PeakKB();
      // Where memory goes, for when the check below fails: the heap in use
      // (main arena), SQLite's own and the text caches' estimate.
      if ((done + 1) % 10000 == 0 || done + 1 == 1000) {
        struct mallinfo2 mi = mallinfo2();
        std::fprintf(stderr, "soak %ld: peak %.1f MB, heap in use %.1f MB, sqlite %.1f MB, text cache %zu entries %zu bytes\n",
                     done + 1, PeakKB() / 1024.0, mi.uordblks / 1048576.0, sqlite3_memory_used() / 1048576.0,
                     rix::TextCacheEntries(), rix::TextCacheBytes());
      }
    }
  }
  const long atEnd = PeakKB();
  State.counters["steps"] = static_cast<double>(done);
  State.counters["peak_after_1000_MB"] = afterWarmUp / 1024.0;
  State.counters["peak_at_end_MB"] = atEnd / 1024.0;
  State.counters["growth_MB"] = (atEnd - afterWarmUp) / 1024.0;
  std::fprintf(stderr, "soak: %ld steps, peak %.1f MB after 1,000 steps, %.1f MB at the end\n", done,
               afterWarmUp / 1024.0, atEnd / 1024.0);
  if (atEnd - afterWarmUp > 5 * 1024) State.SkipWithError("memory grew by more than 5 MB after the first 1,000 steps");
}
BENCHMARK(BM_SoakRandomInput)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
