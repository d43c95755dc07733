// Costs of the grid's layout pass and of a page scroll.
//
//   LayoutPass/<columns>/<rows per record>: one full layout pass of a grid
//     bound to a dataset with that many fields (default columns).
//   PageScroll/<rows>: one SB_PAGEDOWN on a 1920x1080 grid bound to a SQLite
//     table (MoveBy a page, Scroll, UpdateScrollBar). The 1M figure should
//     stay within twice the 10k one. buffered is the link's window, which
//     holds only the records that fit.
//
//   CtrlEndAndHome/<rows>, PageDownKey/<rows>: the same moves by key.
//
//   ThumbDrop/<rows>, RecNoAfterBookmarkJump/<rows>: far positions; the
//     first one after opening is reported as first_ms / first_far_ms.
//
// The SQLite tables are built on the first run in build/bench-data and
// reused afterwards; the sizes are BenchTable.h's.
#include "../common/Ratios.h"

#include <RixDBGrids.h>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

void MakeOrders(const std::string& Path, long Rows) {
  benchtable::BuildDatabase(Path, benchtable::OrdersScript(Rows, "VARCHAR(40)"));
}

std::string TablePath(long Rows) { return benchtable::TempDatabase("layout_orders", Rows, MakeOrders); }

void MakeGappedOrders(const std::string& Path, long Rows) {
  benchtable::BuildDatabase(Path, benchtable::OrdersScript(Rows, "VARCHAR(40)", 2));
}

void Sizes(benchmark::internal::Benchmark* B) {
  for (long rows : benchtable::Sizes()) B->Arg(rows);
  B->ArgName("rows")->Unit(benchmark::kMicrosecond);
}

TSQLiteDataSet* OpenOrders(TComponent* Owner, long Rows) {
  auto* ds = new TSQLiteDataSet(Owner);
  ds->SetDatabaseName(TablePath(Rows));
  ds->SetTableName("Orders");
  ds->Open();
  return ds;
}

// A form with a grid of Width x Height bound to Ds, its window made.
struct TGridOnForm {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TRixDBGrid* Grid = new TRixDBGrid(Form.get());
  TDataSource* Source = new TDataSource(Form.get());
  TGridOnForm(TDataSet* Ds, int Width, int Height) {
    Form->SetBounds(0, 0, Width + 16, Height + 16);
    Grid->SetParent(Form.get());
    Grid->SetBounds(0, 0, Width, Height);
    Source->SetDataSet(Ds);
    Grid->SetDataSource(Source);
    Form->HandleNeeded();
  }
};

void LayoutPass(benchmark::State& State) {
  const int columns = static_cast<int>(State.range(0));
  const int rowsPerRecord = static_cast<int>(State.range(1));
  TComponent owner(nullptr);
  auto* ds = new TMemoryDataSet(&owner);
  for (int i = 0; i < columns; ++i) {
    std::string name = std::to_string(i);
    name.insert(0, 1, 'F');
    ds->FieldDefs()->Add(name, ftInteger);
  }
  ds->CreateDataSet();
  for (int r = 0; r < 60; ++r) {
    ds->Append();
    ds->Fields()->Fields(0)->SetAsInteger(r);
    ds->Post();
  }
  ds->First();
  TGridOnForm g(ds, 1920, 1080);
  g.Grid->SetRowsPerRecord(rowsPerRecord);
  for (auto _ : State) g.Grid->LayoutChanged();
  State.counters["columns"] = g.Grid->Columns()->Count();
  State.counters["rows"] = g.Grid->RowCount();
}
BENCHMARK(LayoutPass)
    ->ArgsProduct({{10, 100, 1000}, {1, 4}})
    ->ArgNames({"columns", "rpr"})
    ->Unit(benchmark::kMicrosecond);

void PageScroll(benchmark::State& State) {
  const int rows = static_cast<int>(State.range(0));
  TComponent owner(nullptr);
  TSQLiteDataSet* ds = OpenOrders(&owner, rows);
  TGridOnForm g(ds, 1920, 1080);
  const WPARAM pageDown = MakeWParam(SB_PAGEDOWN, 0);
  for (auto _ : State) {
    SendMessage(g.Grid->Handle(), WM_VSCROLL, pageDown, 0);
    if (ds->Eof()) {
      State.PauseTiming();
      ds->First();
      State.ResumeTiming();
    }
  }
  State.counters["buffered"] = g.Grid->DataLink()->BufferCount();
  State.counters["visible_rows"] = g.Grid->VisibleRowCount();
  State.counters["recno"] = ds->RecNo();
  State.counters["bar_pos"] = g.Grid->GetScrollInfo(SB_VERT).Pos;
}
BENCHMARK(PageScroll)->Apply(Sizes);

// Dropping the scroll bar's thumb at spread-out places (SetRecNo).
void ThumbDrop(benchmark::State& State) {
  const int rows = static_cast<int>(State.range(0));
  TComponent owner(nullptr);
  TSQLiteDataSet* ds = OpenOrders(&owner, rows);
  TGridOnForm g(ds, 1920, 1080);
  {
    // The first far drop after opening: to the middle.
    const auto start = std::chrono::steady_clock::now();
    g.Grid->SetScrollTrackPos(SB_VERT, rows / 2);
    SendMessage(g.Grid->Handle(), WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 0), 0);
    State.counters["first_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  std::uint32_t seed = 12345;
  for (auto _ : State) {
    seed = seed * 1103515245u + 12345u;
    const int track = 2 + static_cast<int>(seed % static_cast<std::uint32_t>(rows - 2));
    g.Grid->SetScrollTrackPos(SB_VERT, track);
    SendMessage(g.Grid->Handle(), WM_VSCROLL, MakeWParam(SB_THUMBPOSITION, 0), 0);
  }
  State.counters["bar_pos"] = g.Grid->GetScrollInfo(SB_VERT).Pos;
}
BENCHMARK(ThumbDrop)->Apply(Sizes);

// The timed loop: to one of 16 spread-out records by bookmark, and its RecNo.
void JumpsByBookmark(benchmark::State& State, TDataSet* Ds, long Rows) {
  std::vector<TBookmark> marks;
  for (int i = 1; i <= 16; ++i) {
    Ds->SetRecNo(static_cast<int>(Rows * i / 17));
    marks.push_back(Ds->Bookmark());
  }
  size_t i = 0;
  for (auto _ : State) {
    Ds->SetBookmark(marks[i++ % marks.size()]);
    benchmark::DoNotOptimize(Ds->RecNo());
  }
}

// Going to a record by bookmark and asking its RecNo, as the scroll bar does
// after a jump.
void RecNoAfterBookmarkJump(benchmark::State& State) {
  const int rows = static_cast<int>(State.range(0));
  TComponent owner(nullptr);
  TSQLiteDataSet* ds = OpenOrders(&owner, rows);
  // The first far position builds the dataset's position ladder: one scan.
  const auto start = std::chrono::steady_clock::now();
  ds->SetRecNo(rows / 2);
  State.counters["first_far_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  JumpsByBookmark(State, ds, rows);
}
BENCHMARK(RecNoAfterBookmarkJump)->Apply(Sizes);

// The same on keys with gaps, where positions need the ladder: the first far
// position once the count is in and the ladder's background pass had the
// time a user takes to reach for the thumb (first_far_ms, with the pass's
// own time as ladder_ms), then jumps by bookmark as above.
void RecNoAfterBookmarkJumpGapped(benchmark::State& State) {
  const long rows = State.range(0);
  TComponent owner(nullptr);
  auto* ds = new TSQLiteDataSet(&owner);
  ds->SetDatabaseName(benchtable::TempDatabase("layout_gapped_orders", rows, MakeGappedOrders));
  ds->SetTableName("Orders");
  ds->Open();
  const auto opened = std::chrono::steady_clock::now();
  while (ds->RecordCountPending() || ds->PositionLadderPending())
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  State.counters["ladder_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - opened).count();
  const auto start = std::chrono::steady_clock::now();
  ds->SetRecNo(static_cast<int>(rows / 2));
  State.counters["first_far_ms"] =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  JumpsByBookmark(State, ds, rows);
}
BENCHMARK(RecNoAfterBookmarkJumpGapped)->Apply(Sizes);

// Keys through the grid's KeyDown, as the window delivers them: Ctrl+End then
// Ctrl+Home (a pair, so that every round does the same work), and PageDown.
void CtrlEndAndHome(benchmark::State& State) {
  const int rows = static_cast<int>(State.range(0));
  TComponent owner(nullptr);
  TSQLiteDataSet* ds = OpenOrders(&owner, rows);
  TGridOnForm g(ds, 1920, 1080);
  for (auto _ : State) {
    unsigned short end = VK_END, home = VK_HOME;
    g.Grid->KeyDown(end, TShiftState{ssCtrl});
    g.Grid->KeyDown(home, TShiftState{ssCtrl});
  }
  State.counters["recno"] = ds->RecNo();
}
BENCHMARK(CtrlEndAndHome)->Apply(Sizes);

void PageDownKey(benchmark::State& State) {
  const int rows = static_cast<int>(State.range(0));
  TComponent owner(nullptr);
  TSQLiteDataSet* ds = OpenOrders(&owner, rows);
  TGridOnForm g(ds, 1920, 1080);
  for (auto _ : State) {
    unsigned short key = VK_NEXT;
    g.Grid->KeyDown(key, TShiftState{});
    if (ds->Eof()) {
      State.PauseTiming();
      ds->First();
      State.ResumeTiming();
    }
  }
  State.counters["visible_rows"] = g.Grid->VisibleRowCount();
}
BENCHMARK(PageDownKey)->Apply(Sizes);

} // namespace

int main(int argc, char** argv) { return benchtable::RunWithRatios(argc, argv); }
