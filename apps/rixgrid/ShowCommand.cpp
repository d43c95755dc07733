// rixgrid show DB [--table T | --sql SELECT] [--form FORMFILE] [--columns FILE]
//                 [--rows-per-record N] [--png OUT --size WxH] [--window] [--time]
//                 [--read-only]
// rixgrid show postgresql://... [options as above]
// rixgrid show --pg CONNINFO [options as above]
//
// Shows a table or query of an SQLite database, or of a PostgreSQL server
// (a postgresql:// URL, or any libpq connection string after --pg), in a
// TRixDBGrid: one frame drawn into a PNG file, or the grid in a window
// (scroll bars, wheel and resizing; keyboard and mouse as far as the grid
// answers them). Without --png the window opens. Without --table and --sql
// the database's first table is shown.
//
// --form reads the grid's properties and its "Columns" from a form file in
// the text form (an "object Name: TRixDBGrid ... end" block); --columns loads
// a column-set file over them. The data source is bound after both, so the
// columns find their fields by name. --time prints how long opening and the
// first frame took on stderr.
//
// In the window the cells are edited in place: typing replaces the cell's
// text, Enter writes it into the record, moving to another record posts it
// to the database, Escape cancels. A write the database refuses (a
// constraint, a lock, another user's change, a server gone away) shows its
// message in a message box and keeps the typed text in the record.
// --read-only opens the table for browsing only.
//
// For scripts and tests driving the window: --echo prints READY once the
// first frame is up, then a STATE line whenever the current record or cell
// changed, a CELL line with the current cell's text (the editor's while
// it shows) whenever that changed, and the COLUMN lines (each column's
// cell and title in window pixels) whenever they moved; with --snapshot
// FILE, the signal SIGUSR1 writes what the window
// shows into FILE (PNG) and prints "SNAPSHOT FILE".
#include "apps/rixgrid/Commands.h"

#include <RixDBGrids.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>

namespace rixgrid {
namespace {

struct TShowOptions {
  std::string Database, Pg, Table, Sql, FormFile, ColumnsFile, Png;
  int RowsPerRecord = 0;
  int Width = 1024, Height = 640;
  std::string Snapshot;
  bool SizeGiven = false, Window = false, Time = false, Echo = false, ReadOnly = false;
};

int ParseInt(const std::string& Option, const std::string& S, int Lo, int Hi) {
  size_t used = 0;
  int v = 0;
  try {
    v = std::stoi(S, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != S.size() || S.empty() || v < Lo || v > Hi)
    throw TUsageError{Option + " expects a number from " + std::to_string(Lo) + " to " + std::to_string(Hi) +
                      ", not '" + S + "'"};
  return v;
}

TShowOptions Parse(const std::vector<std::string>& Args) {
  TShowOptions o;
  auto value = [&](size_t& i) -> const std::string& {
    if (i + 1 >= Args.size()) throw TUsageError{Args[i] + " needs a value"};
    return Args[++i];
  };
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--table") {
      o.Table = value(i);
      if (o.Table.empty()) throw TUsageError{"--table needs a table name"};
    }
    else if (a == "--sql") {
      o.Sql = value(i);
      if (o.Sql.find_first_not_of(" \t\r\n;") == std::string::npos) throw TUsageError{"--sql needs a SELECT statement"};
    }
    else if (a == "--pg") o.Pg = value(i);
    else if (a == "--form") o.FormFile = value(i);
    else if (a == "--columns") o.ColumnsFile = value(i);
    else if (a == "--rows-per-record") o.RowsPerRecord = ParseInt(a, value(i), 1, 255);
    else if (a == "--png") o.Png = value(i);
    else if (a == "--window") o.Window = true;
    else if (a == "--time") o.Time = true;
    else if (a == "--echo") o.Echo = true;
    else if (a == "--read-only") o.ReadOnly = true;
    else if (a == "--snapshot") o.Snapshot = value(i);
    else if (a == "--size") {
      const std::string& s = value(i);
      const size_t x = s.find('x');
      if (x == std::string::npos) throw TUsageError{"--size expects WIDTHxHEIGHT, not '" + s + "'"};
      o.Width = ParseInt("--size", s.substr(0, x), 16, 16384);
      o.Height = ParseInt("--size", s.substr(x + 1), 16, 16384);
      o.SizeGiven = true;
    } else if (!a.empty() && a[0] == '-') {
      throw TUsageError{"unknown option '" + a + "'"};
    } else if (o.Database.empty() && o.Pg.empty() && (a.rfind("postgresql://", 0) == 0 || a.rfind("postgres://", 0) == 0)) {
      o.Pg = a;
    } else if (o.Database.empty() && o.Pg.empty()) {
      o.Database = a;
    } else {
      throw TUsageError{"unexpected argument '" + a + "'"};
    }
  }
  if (o.Database.empty() && o.Pg.empty()) throw TUsageError{"expected a database file or --pg CONNINFO"};
  if (!o.Database.empty() && !o.Pg.empty()) throw TUsageError{"a database file and --pg exclude each other"};
  if (!o.Table.empty() && !o.Sql.empty()) throw TUsageError{"--table and --sql exclude each other"};
  if (o.SizeGiven && o.Png.empty() && !o.Window) throw TUsageError{"--size goes with --png or --window"};
  if (o.Png.empty()) o.Window = true;
  return o;
}

struct TShowForm {
  std::unique_ptr<TForm> Form;
  TRixDBGrid* Grid = nullptr;
  TSqlDataSet* Data = nullptr;
};

TShowForm Build(const TShowOptions& O) {
  TShowForm f;
  f.Form = std::make_unique<TForm>(nullptr);
  f.Grid = new TRixDBGrid(f.Form.get());
  f.Grid->SetParent(f.Form.get());
  if (!O.FormFile.empty()) LoadFormFile(f.Grid, O.FormFile);
  if (!O.ColumnsFile.empty()) f.Grid->Columns()->LoadFromFile(O.ColumnsFile);
  if (!O.Pg.empty()) {
    auto* pg = new TPgDataSet(f.Form.get());
    pg->SetConnectionString(O.Pg);
    f.Data = pg;
  } else {
    auto* lite = new TSQLiteDataSet(f.Form.get());
    lite->SetDatabaseName(O.Database);
    f.Data = lite;
  }
  f.Data->SetReadOnly(O.ReadOnly);
  if (!O.Sql.empty())
    f.Data->SetSQL(O.Sql);
  else if (!O.Table.empty())
    f.Data->SetTableName(O.Table);
  else
    f.Data->SetTableName(O.Pg.empty() ? FirstTable(f.Form.get(), O.Database) : FirstPgTable(f.Form.get(), O.Pg));
  f.Data->Open();
  auto* source = new TDataSource(f.Form.get());
  source->SetDataSet(f.Data);
  f.Grid->SetDataSource(source);
  if (O.RowsPerRecord > 0) f.Grid->SetRowsPerRecord(O.RowsPerRecord);
  if (O.ReadOnly) f.Grid->SetReadOnly(true);
  return f;
}

void LayOut(TShowForm& F) {
  F.Grid->SetBounds(0, 0, F.Form->ClientWidth(), F.Form->ClientHeight());
}

volatile std::sig_atomic_t SnapshotAsked = 0;
extern "C" void AskForSnapshot(int) { SnapshotAsked = 1; }

// The grid's place as a line: the record, the cell, its record row, and the
// indicator row last painted.
std::string StateLine(const TShowForm& F) {
  const TRixDBGrid* g = F.Grid;
  return "STATE recno=" + std::to_string(F.Data->RecNo()) + " row=" + std::to_string(g->Row()) +
         " col=" + std::to_string(g->Col()) + " offset=" + std::to_string(g->Offset()) +
         " active=" + std::to_string(g->DataLink()->ActiveRecord()) + " titles=" + std::to_string(g->TitleOffset()) +
         " rpr=" + std::to_string(g->RowsPerRecord()) + " state=" + std::to_string(F.Data->State());
}

// Where each column shows: its cell in the first record row on screen and
// its title, in window pixels, one line a column.
std::string ColumnLines(const TShowForm& F) {
  TRixDBGrid* g = F.Grid;
  std::string out;
  auto rect = [](const TRect& R) {
    return std::to_string(R.Left) + " " + std::to_string(R.Top) + " " + std::to_string(R.Right) + " " +
           std::to_string(R.Bottom);
  };
  const int firstRow = g->TitleOffset();
  for (int i = 0; i < g->Columns()->Count(); ++i) {
    TRixColumn* c = g->Columns()->Items(i);
    out += "COLUMN " + std::to_string(i) + " " + c->FieldName() + " " + rect(g->CalcRect(c, firstRow)) + " " +
           rect(g->CalcRect(c, 0)) + "\n";
  }
  return out;
}

// What the current cell shows: the editor's text while it is up.
std::string CellLine(const TShowForm& F) {
  const TRixDBGrid* g = F.Grid;
  if (g->EditorMode() && g->InplaceEditor() != nullptr && g->InplaceEditor()->Visible())
    return "CELL " + g->InplaceEditor()->Text();
  const TField* field = g->SelectedField();
  return "CELL " + (field != nullptr ? field->Text() : std::string());
}

double MsSince(std::chrono::steady_clock::time_point T) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - T).count();
}

int RunShow(const std::vector<std::string>& Args) {
  const TShowOptions o = Parse(Args);
  const auto start = std::chrono::steady_clock::now();
  TShowForm f = Build(o);
  if (!o.Png.empty()) {
    THeadlessHost host(f.Form.get(), o.Width, o.Height);
    LayOut(f);
    f.Grid->SetFocus();
    host.Paint();
    const double firstFrame = MsSince(start);
    host.SaveToPNG(o.Png);
    if (o.Time)
      std::cerr << "open and first frame: " << firstFrame << " ms; with the PNG written: " << MsSince(start)
                << " ms\n";
    std::cout << o.Png << "\n";
    if (!o.Window) return 0;
  }
  Application()->SetTitle("rixgrid");
  TSdlHost host(f.Form.get(), o.Width, o.Height, "rixgrid show " + (o.Pg.empty() ? o.Database : o.Pg));
  host.SetOnResize([&f] { LayOut(f); });
  LayOut(f);
  f.Grid->SetFocus();
  if (o.Time) {
    host.Step(0);
    std::cerr << "open and first frame in the window: " << MsSince(start) << " ms\n";
  }
  if (!o.Snapshot.empty()) std::signal(SIGUSR1, AskForSnapshot);
  if (o.Echo || !o.Snapshot.empty()) {
    host.SetOnIdle([&, last = std::string(), lastCell = std::string(), columns = std::string(),
                    ready = false]() mutable {
      if (o.Echo) {
        if (!ready) std::cout << "READY" << std::endl;
        ready = true;
        std::string now = StateLine(f);
        if (now != last) std::cout << now << std::endl;
        last = now;
        std::string cols = ColumnLines(f);
        if (cols != columns) std::cout << cols << "COLUMNS-END" << std::endl;
        columns = cols;
        std::string cell = CellLine(f);
        if (cell != lastCell) std::cout << cell << std::endl;
        lastCell = cell;
      }
      if (SnapshotAsked) {
        SnapshotAsked = 0;
        host.Painter().SaveToPNG(o.Snapshot);
        std::cout << "SNAPSHOT " << o.Snapshot << std::endl;
      }
    });
  }
  return host.Run();
}

TCommandRegistration Reg({"show"},
                         "DB|postgresql://...|--pg CONNINFO [--table T | --sql SELECT] [--form FORMFILE] [--columns FILE] "
                         "[--rows-per-record N] [--png OUT --size WxH] [--window] [--time] [--echo] [--snapshot FILE] "
                         "[--read-only]",
                         "show a table or query in the grid: one frame into a PNG, or a window", RunShow);

} // namespace
} // namespace rixgrid
