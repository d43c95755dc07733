// A console reporter that, after the usual table, lists every figure taken
// at more than one table size as a ratio to the same figure at 10 thousand
// rows (the first size), so that how a cost grows shows in one run.
//
//   int main(int argc, char** argv) { return benchtable::RunWithRatios(argc, argv); }
#pragma once

#include "BenchTable.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <unistd.h>
#include <string>
#include <utility>
#include <vector>

namespace benchtable {

class TRatioReporter : public benchmark::ConsoleReporter {
public:
  TRatioReporter() : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& Runs) override {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run& r : Runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
      std::string key;
      long rows = 0;
      if (!Split(r.benchmark_name(), key, rows)) continue;
      // Repetitions: the fastest stands for the size (the others met load).
      const double t = r.GetAdjustedRealTime();
      auto& list = FRows[key];
      auto it = std::find_if(list.begin(), list.end(), [&](const auto& E) { return E.first == rows; });
      if (it == list.end())
        list.emplace_back(rows, t);
      else
        it->second = std::min(it->second, t);
      FUnit[key] = benchmark::GetTimeUnitString(r.time_unit);
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const long base = Sizes().front();
    bool header = false;
    for (auto& [key, list] : FRows) {
      double at = -1;
      for (auto& [rows, t] : list)
        if (rows == base) at = t;
      if (at <= 0 || list.size() < 2) continue;
      if (!header) {
        std::printf("\n%-60s %14s  ratio to %ld rows (fastest repetition)\n", "figure (rows in <>)", "time", base);
        header = true;
      }
      for (auto& [rows, t] : list)
        std::printf("%-60s %11.3f %-2s  %6.2fx  <%ld>\n", key.c_str(), t, FUnit[key].c_str(), t / at, rows);
    }
    std::fflush(stdout);
  }

private:
  // The name with its table size taken out ("BM_X/rows:<>/..."), and the size.
  static bool Split(const std::string& Name, std::string& Key, long& Rows) {
    const std::vector<long> sizes = Sizes();
    std::string part;
    bool found = false;
    std::size_t start = 0;
    while (start <= Name.size()) {
      std::size_t end = Name.find('/', start);
      if (end == std::string::npos) end = Name.size();
      part = Name.substr(start, end - start);
      const std::size_t colon = part.find(':');
      const std::string value = colon == std::string::npos ? part : part.substr(colon + 1);
      char* stop = nullptr;
      const long v = std::strtol(value.c_str(), &stop, 10);
      const bool isSize = !found && !value.empty() && *stop == '\0' &&
                          std::find(sizes.begin(), sizes.end(), v) != sizes.end();
      if (!Key.empty()) Key += '/';
      if (isSize) {
        Key += (colon == std::string::npos ? std::string() : part.substr(0, colon + 1)) + "<>";
        Rows = v;
        found = true;
      } else {
        Key += part;
      }
      start = end + 1;
    }
    return found;
  }
  std::map<std::string, std::vector<std::pair<long, double>>> FRows;
  std::map<std::string, std::string> FUnit;
};

inline int RunWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

} // namespace benchtable
