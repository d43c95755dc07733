// Nothing typed is lost when a write fails: the grid on a real SQLite file,
// keys through the headless host, and the file read back through a second
// connection, as another program would see it.
#include "KeyboardTestSupport.h"

#include <sqlite3.h>

#include <filesystem>
#include <functional>

namespace {

using keytest::KeyFixture;

class SQLiteEditing : public KeyFixture {
protected:
  void SetUp() override {
    KeyFixture::SetUp();
    static int serial = 0;
    Path = (std::filesystem::temp_directory_path() /
            ("rix_edit_" + std::to_string(::getpid()) + "_" + std::to_string(++serial) + ".db"))
               .string();
    std::filesystem::remove(Path);
    sqlite3_open(Path.c_str(), &Other);
    sqlite3_busy_timeout(Other, 5000);  // the dataset's own row count reads meanwhile
    Exec("CREATE TABLE stock (id INTEGER PRIMARY KEY, name VARCHAR(20) NOT NULL UNIQUE,"
         " qty INTEGER CHECK (qty >= 0), due DATE);"
         "INSERT INTO stock (name, qty, due) VALUES ('bolt', 5, '2024-01-02'), ('nut', 7, '2024-01-03');");
  }
  void TearDown() override {
    KeyFixture::TearDown();
    if (Locker != nullptr) sqlite3_close(Locker);
    sqlite3_close(Other);
    std::filesystem::permissions(Path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    std::filesystem::remove(Path);
  }
  void Exec(const std::string& S, sqlite3* Db = nullptr) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(Db != nullptr ? Db : Other, S.c_str(), nullptr, nullptr, &err), SQLITE_OK)
        << (err ? err : "");
  }
  std::string Query(const std::string& S) {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(Other, S.c_str(), -1, &st, nullptr);
    std::string out;
    if (sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL)
      out = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    return out;
  }
  TSQLiteDataSet* OpenStock() { return OpenStockInto(new TSQLiteDataSet(Form)); }
  TSQLiteDataSet* OpenStockInto(TSQLiteDataSet* Ds) {
    Stock = Ds != nullptr ? Ds : new TSQLiteDataSet(Form);
    Stock->SetDatabaseName(Path);
    Stock->SetTableName("stock");
    Stock->SetBusyTimeout(50);
    Stock->Open();
    Source->SetDataSet(Stock);
    Host = std::make_unique<THeadlessHost>(Form, 640, 480);
    Grid->SetDataSource(Source);
    Host->ProcessMessages();
    Grid->SetFocus();
    return Stock;
  }
  // Types Text into the first record's column DataCol, Enter, then Down
  // (which posts).
  void TypeEnterDown(int DataCol, const std::string& Text) {
    Stock->First();
    Grid->SetSelectedIndex(DataCol);
    Host->Type(Text);
    Press(VK_RETURN);
    Press(VK_DOWN);
  }
  std::string EditorText() const {
    return Grid->InplaceEditor() != nullptr ? Grid->InplaceEditor()->Text() : std::string();
  }

  std::string Path;
  sqlite3* Other = nullptr;
  sqlite3* Locker = nullptr;
  TSQLiteDataSet* Stock = nullptr;
};

struct TRefusal {
  const char* Name;
  int DataCol;
  const char* Typed;
  const char* Stored;  // what the record buffer holds afterwards
  const char* Column;  // what the file must still hold
  const char* Before;
};

class RefusedWrites : public SQLiteEditing, public ::testing::WithParamInterface<TRefusal> {};

// The message box shows the error; the record stays in edit state with the
// typed value (or, for text the field cannot hold, the editor keeps it),
// and the file is unchanged.
TEST_P(RefusedWrites, KeepTheTypedTextAndTheFile) {
  const TRefusal& c = GetParam();
  OpenStock();
  TypeEnterDown(c.DataCol, c.Typed);
  ASSERT_FALSE(DialogService().Requests().empty()) << "no message box";
  EXPECT_FALSE(DialogService().Requests().back().Text.empty());
  EXPECT_EQ(Stock->State(), dsEdit);
  EXPECT_EQ(Stock->RecNo(), 1) << "still on the record";
  EXPECT_EQ(Grid->SelectedField()->FieldName(), Stock->Fields()->Fields(c.DataCol)->FieldName());
  if (std::string(c.Stored).empty())
    EXPECT_EQ(EditorText(), c.Typed) << "the editor keeps what the field refused";
  else
    EXPECT_EQ(Stock->Fields()->Fields(c.DataCol)->Text(), c.Stored);
  EXPECT_EQ(Query(std::string("SELECT ") + c.Column + " FROM stock WHERE id = 1"), c.Before);
}

INSTANTIATE_TEST_SUITE_P(
    Editing, RefusedWrites,
    ::testing::Values(TRefusal{"Check", 2, "-4", "-4", "qty", "5"},
                      TRefusal{"Unique", 1, "nut", "nut", "name", "bolt"},
                      TRefusal{"NotANumber", 2, "4-4", "", "qty", "5"},
                      TRefusal{"NotADate", 3, "2024-13-45", "", "due", "2024-01-02"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// A new record without its required name: the insert is refused and the
// new record stays, with what was typed, and the file has no new row.
TEST_F(SQLiteEditing, ANewRecordMissingARequiredValueStaysInInsertState) {
  OpenStock();
  Stock->Last();
  Press(VK_INSERT);
  ASSERT_EQ(Stock->State(), dsInsert);
  Grid->SetSelectedIndex(2);
  Host->Type("3");
  Press(VK_RETURN);
  Press(VK_UP);
  ASSERT_FALSE(DialogService().Requests().empty()) << "no message box";
  EXPECT_EQ(Stock->State(), dsInsert);
  EXPECT_EQ(Stock->FieldByName("qty")->Text(), "3");
  EXPECT_EQ(Query("SELECT count(*) FROM stock"), "2");
}

// A new record typed at the top goes to its place in the key order when a
// click on another record posts it: the current row goes with the dataset's
// record, wherever that now shows, never to a row of another record.
TEST_F(SQLiteEditing, AClickThatPostsANewRecordLeavesTheRowOnTheDatasetsRecord) {
  Exec("WITH RECURSIVE n(i) AS (SELECT 3 UNION ALL SELECT i + 1 FROM n WHERE i < 30)"
       " INSERT INTO stock (name, qty) SELECT 'item' || i, i FROM n");
  OpenStock();
  Grid->SetRowsPerRecord(2);
  Host->ProcessMessages();
  Stock->First();
  Press(VK_INSERT);
  ASSERT_EQ(Stock->State(), dsInsert);
  Grid->SetSelectedIndex(1);
  Host->Type("new one");
  const TRect target = Grid->CellRect(Grid->Col(), Grid->TitleOffset() + 3 * Grid->RowsPerRecord());
  Host->Click(Host->PointOf(Grid, target.Left + 4, target.Top + 4));
  EXPECT_EQ(Stock->State(), dsBrowse);
  EXPECT_EQ(Query("SELECT count(*) FROM stock WHERE name = 'new one'"), "1");
  const int record = (Grid->Row() - Grid->TitleOffset()) / Grid->RowsPerRecord();
  EXPECT_EQ(record, Grid->DataLink()->ActiveRecord());
  EXPECT_EQ(Grid->SelectedRows()->Count(), 0);
}

TEST_F(SQLiteEditing, AValidatorThatRaisesKeepsTheText) {
  OpenStock();
  Stock->FieldByName("qty")->SetOnValidate([](TField* F) {
    if (F->AsInteger() > 100) throw EDatabaseError("在庫は 100 までです");
  });
  TypeEnterDown(2, "500");
  ASSERT_FALSE(DialogService().Requests().empty());
  EXPECT_EQ(DialogService().Requests().back().Text, "在庫は 100 までです");
  EXPECT_EQ(EditorText(), "500");
  EXPECT_EQ(Query("SELECT qty FROM stock WHERE id = 1"), "5");
  // Corrected, the same record posts.
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  Grid->InplaceEditor()->SelectAll();
  Host->Type("50");
  Press(VK_RETURN);
  Press(VK_DOWN);
  EXPECT_EQ(Query("SELECT qty FROM stock WHERE id = 1"), "50");
}

TEST_F(SQLiteEditing, ALockedDatabaseRefusesThePostAndARetryAfterTheLockSucceeds) {
  OpenStock();
  sqlite3_open(Path.c_str(), &Locker);
  Exec("BEGIN IMMEDIATE; UPDATE stock SET qty = qty WHERE id = 2;", Locker);
  TypeEnterDown(2, "8");
  ASSERT_FALSE(DialogService().Requests().empty()) << "no message box";
  EXPECT_EQ(Stock->State(), dsEdit);
  EXPECT_EQ(Stock->FieldByName("qty")->AsInteger(), 8);
  Exec("COMMIT;", Locker);
  Press(VK_DOWN);
  EXPECT_EQ(Stock->State(), dsBrowse);
  EXPECT_EQ(Query("SELECT qty FROM stock WHERE id = 1"), "8");
}

// A file the program may not write opens for browsing; typing changes
// nothing and starts no edit.
TEST_F(SQLiteEditing, AReadOnlyFileIsBrowsedAndTypingChangesNothing) {
  sqlite3_close(Other);
  Other = nullptr;
  std::filesystem::permissions(Path, std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  // Root writes read-only files; its run opens the dataset read-only, as
  // rixgrid show --read-only does, which takes the same way through the grid.
  const bool root = ::geteuid() == 0;
  if (root) {
    Stock = new TSQLiteDataSet(Form);
    Stock->SetReadOnly(true);
  }
  OpenStockInto(Stock);
  TypeEnterDown(2, "9");
  EXPECT_EQ(Stock->State(), dsBrowse);
  EXPECT_EQ(Stock->RecNo(), 2);
  sqlite3_open(Path.c_str(), &Other);
  EXPECT_EQ(Query("SELECT qty FROM stock WHERE id = 1"), "5");
}

} // namespace
