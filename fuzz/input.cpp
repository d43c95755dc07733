// Arbitrary bytes as a user's input (see InputScript.h) to a grid bound to
// a SQLite table, with editing, multi-selection, two rows per record, a
// check-box, a picture, a lookup and a memo column. After every step what
// must always hold is checked: the dataset is browsing, editing or
// inserting; the current row lies in the rows of the data link's active
// record; the selected bookmarks are sorted and live; and every post is in
// the file as a second connection reads it. A failed check, a crash or a
// leak is a finding.
#include "InputScript.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

[[noreturn]] void Finding(const std::string& What) {
  std::fprintf(stderr, "finding: %s\n", What.c_str());
  std::abort();
}

const std::string& TemplatePath() {
  // Kept to the very end: the exit handler removing the file reads it.
  static const std::string& path = *new std::string([] {
    const std::string p =
        (std::filesystem::temp_directory_path() / ("rix_fuzz_input_" + std::to_string(::getpid()) + ".db")).string();
    std::filesystem::remove(p);
    sqlite3* db = nullptr;
    sqlite3_open(p.c_str(), &db);
    const std::string bmp = "x'424d4600000000000000360000002800000002000000020000000100180000000000100000000000000000"
                            "0000000000000000000000ff0000ff00000000ff00ff000000'";
    const std::string sql =
        "CREATE TABLE Kinds (KindID INTEGER PRIMARY KEY, Label VARCHAR(20));"
        "INSERT INTO Kinds VALUES (1, '果物'), (2, '野菜'), (3, '飲料');"
        "CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name VARCHAR(20) NOT NULL, Qty INTEGER, Done BOOLEAN,"
        " Kind INTEGER, Pic GRAPHIC, Note MEMO);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30)"
        " INSERT INTO Items SELECT i, '品 ' || i, i * 3, i % 2, i % 3 + 1, CASE WHEN i % 4 = 0 THEN " +
        bmp + " END, 'メモ ' || i FROM n;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::atexit([] { std::filesystem::remove(TemplatePath()); });
    return p;
  }());
  return path;
}

struct TWorld {
  std::string Path = TemplatePath() + ".run";
  std::unique_ptr<TForm> Form;
  TRixDBGrid* Grid = nullptr;
  TSQLiteDataSet* Data = nullptr;
  std::unique_ptr<THeadlessHost> Host;
  sqlite3* Other = nullptr;
  // Posted rows: key, name, quantity as the dataset had them after Post.
  struct TPosted {
    std::int64_t Key;
    std::string Name, Qty;
  };
  std::map<std::int64_t, TPosted> Posted;  // the last post of each row

  TWorld() {
    std::filesystem::copy_file(TemplatePath(), Path, std::filesystem::copy_options::overwrite_existing);
    Form = std::make_unique<TForm>(nullptr);
    Grid = new TRixDBGrid(Form.get());
    Grid->SetParent(Form.get());
    Data = new TSQLiteDataSet(Form.get());
    Data->SetDatabaseName(Path);
    Data->SetTableName("Items");
    auto* kinds = new TSQLiteDataSet(Form.get());
    kinds->SetDatabaseName(Path);
    kinds->SetTableName("Kinds");
    auto* kindSource = new TDataSource(Form.get());
    kindSource->SetDataSet(kinds);
    kinds->Open();
    for (const char* name : {"Name", "Qty", "Done", "Kind", "Pic", "Note"}) {
      TRixColumn* c = Grid->Columns()->Add();
      c->SetFieldName(name);
      if (std::string(name) == "Done") c->SetButtonStyle(cbsCheck);
      if (std::string(name) == "Kind") {
        c->SetKeyField("KindID");
        c->SetListField("Label");
        c->SetListSource(kindSource);
      }
    }
    Data->Open();
    Data->SetAfterPost([this](TDataSet* D) {
      const std::int64_t key = D->FieldByName("ID")->AsLargeInt();
      Posted[key] = {key, D->FieldByName("Name")->AsString(),
                     D->FieldByName("Qty")->IsNull() ? std::string() : D->FieldByName("Qty")->AsString()};
    });
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(Data);
    Grid->SetDataSource(source);
    Grid->SetOptions(Grid->Options() + TRixDBGridOptions{rixdgMultiSelect});
    Grid->SetRowsPerRecord(2);
    Host = std::make_unique<THeadlessHost>(Form.get(), 400, 300);
    Grid->SetBounds(0, 0, 400, 300);
    Grid->SetFocus();
    Host->ProcessMessages();
    sqlite3_open_v2(Path.c_str(), &Other, SQLITE_OPEN_READONLY, nullptr);
  }
  ~TWorld() {
    sqlite3_close(Other);
    Host.reset();
    Form.reset();
    std::filesystem::remove(Path);
  }

  void Check() {
    const TDataSetState state = Data->State();
    if (state != dsBrowse && state != dsEdit && state != dsInsert)
      Finding("dataset state " + std::to_string(static_cast<int>(state)));
    TRixGridDataLink* link = Grid->DataLink();
    if (link->Active() && link->RecordCount() > 0 && Grid->Row() >= Grid->TitleOffset()) {
      const int record = (Grid->Row() - Grid->TitleOffset()) / Grid->RowsPerRecord();
      if (record != link->ActiveRecord())
        Finding("row " + std::to_string(Grid->Row()) + " is in record " + std::to_string(record) +
                ", the active record is " + std::to_string(link->ActiveRecord()));
    }
    TRixBookmarkList* marks = Grid->SelectedRows();
    for (int i = 0; i < marks->Count(); ++i) {
      if (!Data->BookmarkValid(marks->Items(i))) Finding("a selected bookmark is not a live record");
      if (i > 0 && Data->CompareBookmarks(marks->Items(i - 1), marks->Items(i)) >= 0)
        Finding("the selected bookmarks are not sorted");
    }
    for (const auto& [key, p] : Posted) {
      sqlite3_stmt* s = nullptr;
      sqlite3_prepare_v2(Other, "SELECT Name, ifnull(Qty, '') FROM Items WHERE ID = ?1", -1, &s, nullptr);
      sqlite3_bind_int64(s, 1, p.Key);
      const int rc = sqlite3_step(s);
      // A later delete may have removed the row; it must not hold other values.
      if (rc == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
        const std::string qty = reinterpret_cast<const char*>(sqlite3_column_text(s, 1));
        if (name != p.Name || qty != p.Qty)
          Finding("posted '" + p.Name + "', " + p.Qty + " but the file holds '" + name + "', " + qty);
      }
      sqlite3_finalize(s);
    }
    Posted.clear();
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Bytes, size_t Size) {
  if (Size > 2048) return 0;
  TWorld world;
  rixinput::TInputScript script(*world.Host, world.Grid, 400, 300);
  const std::uint8_t* p = Bytes;
  const std::uint8_t* end = Bytes + Size;
  while (script.Step(p, end)) {
    world.Host->Paint();
    world.Check();
  }
  return 0;
}
