// Cursor costs of TSQLiteDataSet on tables of every benchmark size (see
// BenchTable.h) that the benchmark builds itself, and of TPgDataSet on the
// same rows at 10k and 1M on a private PostgreSQL server the benchmark starts
// (the figures with pg:1; every page is a round trip over a Unix socket).
// Each figure should stay the same across sizes; peak_rss_MB is the
// process's high-water mark after the run, which should not grow with the
// table.
#include "platform/data/Data.h"

#include "../common/Ratios.h"
#include "../../tests/support/PgServer.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <memory>
#include <string>

namespace {

void MakeOrders(const std::string& Path, long Rows) { benchtable::BuildDatabase(Path, benchtable::OrdersScript(Rows, "TEXT")); }

std::string TablePath(long Rows) { return benchtable::TempDatabase("orders", Rows, MakeOrders); }

double PeakRssMB() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
  return 0;
}

// The Orders rows of the SQLite script in a table orders_ROWS on the server.
std::string PgTable(long Rows) {
  static std::set<long> made;
  rixtest::TPgServer& pg = rixtest::TPgServer::Shared();
  const std::string name = "orders_" + std::to_string(Rows);
  if (made.insert(Rows).second) {
    pg.Exec("CREATE TABLE " + name + " (ID integer PRIMARY KEY, Customer varchar(40) NOT NULL, Qty integer,"
            " Price numeric, Shipped boolean, Due date, Note text);"
            "INSERT INTO " + name + " SELECT i, '顧客 ' || i, i % 100, i * 1.25, i % 2 = 1,"
            " date '2020-01-01' + i % 1000, 'note ' || i FROM generate_series(1, " + std::to_string(Rows) + ") i");
    pg.Exec("VACUUM ANALYZE " + name);  // the visibility map, for index-only counts
  }
  return name;
}

enum TKind { kSQLite, kPg };

TDataSet* NewTable(TComponent* Owner, TKind Kind, long Rows) {
  if (Kind == kPg) {
    auto* d = new TPgDataSet(Owner);
    d->SetTableName(PgTable(Rows));
    d->SetConnectionString(rixtest::TPgServer::Shared().ConnInfo());
    return d;
  }
  auto* d = new TSQLiteDataSet(Owner);
  d->SetDatabaseName(TablePath(Rows));
  d->SetTableName("Orders");
  return d;
}

// A dataset with a grid-sized window (40 records) over the table.
struct TOpenTable {
  std::unique_ptr<TComponent> Owner = std::make_unique<TComponent>(nullptr);
  TDataSet* DS;
  TDataSource* Source = new TDataSource(Owner.get());
  TDataLink Link;
  explicit TOpenTable(long Rows, TKind Kind) : DS(NewTable(Owner.get(), Kind, Rows)) {
    DS->Open();
    Source->SetDataSet(DS);
    Link.SetDataSource(Source);
    Link.SetBufferCount(40);
  }
  ~TOpenTable() { Link.SetDataSource(nullptr); }
};

void Finish(benchmark::State& State) { State.counters["peak_rss_MB"] = PeakRssMB(); }

void BM_Last(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  for (auto _ : State) {
    State.PauseTiming();
    t.DS->First();
    State.ResumeTiming();
    t.DS->Last();
  }
  Finish(State);
}

void BM_First(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  for (auto _ : State) {
    State.PauseTiming();
    t.DS->Last();
    State.ResumeTiming();
    t.DS->First();
  }
  Finish(State);
}

void BM_MoveByForward40(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  t.DS->SetRecNo(static_cast<int>(State.range(0) / 2));
  for (auto _ : State) {
    if (t.DS->MoveBy(40) < 40) {
      State.PauseTiming();
      t.DS->First();
      State.ResumeTiming();
    }
  }
  Finish(State);
}

void BM_MoveByBack40(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  t.DS->Last();
  for (auto _ : State) {
    if (t.DS->MoveBy(-40) > -40) {
      State.PauseTiming();
      t.DS->Last();
      State.ResumeTiming();
    }
  }
  Finish(State);
}

// What painting a screen costs: every field of the 40 buffered records,
// read through the link's ActiveRecord.
void BM_Read40Buffered(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  t.DS->SetRecNo(static_cast<int>(State.range(0) / 2));
  TFieldList* fields = t.DS->FieldList();
  std::size_t bytes = 0;
  for (auto _ : State) {
    for (int slot = 0; slot < t.Link.RecordCount(); ++slot) {
      TActiveRecordGuard g(&t.Link, slot);
      for (TField* f : *fields) bytes += f->DisplayText().size();
    }
  }
  benchmark::DoNotOptimize(bytes);
  Finish(State);
}

// Reading 40 records by walking the cursor (Next), the way a report would.
void BM_Read40Next(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  t.DS->SetRecNo(static_cast<int>(State.range(0) / 2));
  TFieldList* fields = t.DS->FieldList();
  std::size_t bytes = 0;
  for (auto _ : State) {
    for (int i = 0; i < 40; ++i) {
      for (TField* f : *fields) bytes += f->DisplayText().size();
      t.DS->Next();
    }
    if (t.DS->Eof()) {
      State.PauseTiming();
      t.DS->First();
      State.ResumeTiming();
    }
  }
  benchmark::DoNotOptimize(bytes);
  Finish(State);
}

void BM_RecNoAfterMove(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  t.DS->Last();
  std::int64_t sum = 0;
  for (auto _ : State) {
    if (t.DS->MoveBy(-40) > -40) t.DS->Last();
    sum += t.DS->RecNo();
  }
  benchmark::DoNotOptimize(sum);
  Finish(State);
}

// The exact count after Refresh: one count(*) (for SQLite in the background
// from Refresh on), proportional to the table.
void BM_FirstRecordCount(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  std::int64_t sum = 0;
  for (auto _ : State) {
    State.PauseTiming();
    t.DS->Refresh();
    State.ResumeTiming();
    sum += t.DS->RecordCount();
  }
  benchmark::DoNotOptimize(sum);
  Finish(State);
}

// Opening costs the field analysis and the first window, not the table.
void BM_Open(benchmark::State& State) {
  TOpenTable t(State.range(0), static_cast<TKind>(State.range(1)));
  for (auto _ : State) {
    t.DS->Close();
    t.DS->Open();
  }
  Finish(State);
}

// Sizes by dataset: the second argument is the kind (0 SQLite, 1 PostgreSQL).
// PostgreSQL is measured at the two smaller sizes: building 10 million rows
// on the server would take most of the run.
void Sizes(benchmark::internal::Benchmark* B) {
  for (long rows : benchtable::Sizes()) B->Args({rows, kSQLite});
  for (long rows : {10000L, 1000000L}) B->Args({rows, kPg});
  B->ArgNames({"rows", "pg"})->Unit(benchmark::kMicrosecond);
}
#define RIX_SIZES ->Apply(Sizes)
BENCHMARK(BM_Last) RIX_SIZES;
BENCHMARK(BM_First) RIX_SIZES;
BENCHMARK(BM_MoveByForward40) RIX_SIZES;
BENCHMARK(BM_MoveByBack40) RIX_SIZES;
BENCHMARK(BM_Read40Buffered) RIX_SIZES;
BENCHMARK(BM_Read40Next) RIX_SIZES;
BENCHMARK(BM_RecNoAfterMove) RIX_SIZES;
BENCHMARK(BM_FirstRecordCount) RIX_SIZES;
BENCHMARK(BM_Open) RIX_SIZES;

} // namespace

int main(int argc, char** argv) { return benchtable::RunWithRatios(argc, argv); }
