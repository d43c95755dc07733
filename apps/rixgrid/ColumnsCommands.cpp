// rixgrid columns new DB --table T -o FILE: the column set a grid rebuilds
// for a table of an SQLite database (one stored column per table column, in
// table order), written as a column-set file.
#include "apps/rixgrid/Commands.h"

#include <RixDBGrids.h>

#include <filesystem>
#include <memory>

namespace rixgrid {
namespace {

int RunNew(const std::vector<std::string>& Args) {
  std::string db, table, output;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--table" || a == "-o") {
      if (i + 1 >= Args.size()) throw TUsageError{a + " needs a value"};
      (a == "-o" ? output : table) = Args[++i];
    } else if (db.empty() && !a.starts_with("-")) {
      db = a;
    } else {
      throw TUsageError{"unexpected argument '" + a + "'"};
    }
  }
  if (db.empty() || table.empty() || output.empty()) throw TUsageError{"expected DB, --table T and -o FILE"};
  // Opening a missing file would create an empty database.
  if (!std::filesystem::is_regular_file(db)) throw EFOpenError("Cannot open database " + db);

  std::unique_ptr<TComponent> owner(new TComponent(nullptr));
  auto* ds = new TSQLiteDataSet(owner.get());
  ds->SetDatabaseName(db);
  ds->SetTableName(table);
  ds->Open();
  auto* source = new TDataSource(owner.get());
  source->SetDataSet(ds);
  auto* grid = new TRixDBGrid(owner.get());
  grid->SetDataSource(source);
  grid->Columns()->RebuildColumns();

  TMemoryStream out;
  grid->Columns()->SaveToStream(out);
  WriteFileBytes(output, out.DataString());
  return 0;
}

TCommandRegistration NewReg({"columns", "new"}, "DB --table T -o FILE",
                            "write the column set a grid builds for an SQLite table", RunNew);

} // namespace
} // namespace rixgrid
