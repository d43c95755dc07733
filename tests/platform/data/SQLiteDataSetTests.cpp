#include "DataTestSupport.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

using namespace rixtest;

namespace {

// A database file of its own per test, removed afterwards.
struct SQLiteFixture : TDataFixture {
  std::string Path;
  sqlite3* Other = nullptr;  // a second connection, as another program would have

  SQLiteFixture() {
    Path = (std::filesystem::temp_directory_path() /
            ("rix_data_" + std::to_string(::getpid()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".db"))
               .string();
    std::filesystem::remove(Path);
    sqlite3_open(Path.c_str(), &Other);
  }
  ~SQLiteFixture() override {
    Link.SetDataSource(nullptr);
    Owner.reset();
    sqlite3_close(Other);
    std::filesystem::remove(Path);
  }
  void Sql(const std::string& S) {
    char* err = nullptr;
    ASSERT_EQ(sqlite3_exec(Other, S.c_str(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
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
  void MakeItems(int Count) {
    Sql("CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL, Qty INTEGER, Price CURRENCY,"
        " Done BOOLEAN, Due DATE, Memo TEXT, Pic GRAPHIC, Raw BLOB)");
    Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " + std::to_string(Count) +
        ") INSERT INTO Items (ID, Name, Qty, Done, Due) SELECT i * 10, 'item' || i, i, i % 2, '2024-01-0' || (i % 9 + 1)"
        " FROM n");
  }
  TSQLiteDataSet* OpenTable(const std::string& Table = "Items") {
    auto* ds = new TSQLiteDataSet(Owner.get());
    ds->SetName(Table);
    ds->SetDatabaseName(Path);
    ds->SetTableName(Table);
    ds->Open();
    return ds;
  }
};

TEST_F(SQLiteFixture, DeclaredTypesBecomeFieldTypes) {
  MakeItems(3);
  TSQLiteDataSet* ds = OpenTable();
  struct {
    const char* Name;
    TFieldType Type;
  } expected[] = {{"ID", ftAutoInc}, {"Name", ftString}, {"Qty", ftInteger}, {"Price", ftCurrency},
                  {"Done", ftBoolean}, {"Due", ftDate}, {"Memo", ftMemo}, {"Pic", ftGraphic}, {"Raw", ftBlob}};
  ASSERT_EQ(ds->FieldCount(), 9);
  for (auto& e : expected) EXPECT_EQ(ds->FieldByName(e.Name)->DataType(), e.Type) << e.Name;
  EXPECT_EQ(ds->FieldByName("Name")->Size(), 30);
  EXPECT_TRUE(ds->FieldByName("Name")->Required());
  EXPECT_FALSE(ds->FieldByName("ID")->Required());
  EXPECT_NE(dynamic_cast<TGraphicField*>(ds->FieldByName("Pic")), nullptr);
  EXPECT_EQ(ds->FieldByName("Due")->DisplayText(), "2024/01/02");
  EXPECT_TRUE(ds->FieldByName("Done")->AsBoolean());
  EXPECT_TRUE(ds->DefaultFields());
}

TEST_F(SQLiteFixture, EditsInsertsAndDeletesReachOtherConnectionsAndSurviveReopening) {
  MakeItems(5);
  TSQLiteDataSet* ds = OpenTable();
  ds->MoveBy(1);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("名前を変更");
  ds->FieldByName("Due")->SetAsString("2025/03/04");
  ds->Post();
  EXPECT_EQ(Query("SELECT Name FROM Items WHERE ID = 20"), "名前を変更");
  EXPECT_EQ(Query("SELECT Due FROM Items WHERE ID = 20"), "2025-03-04");

  ds->Append();
  ds->FieldByName("Name")->SetAsString("new");
  ds->FieldByName("Raw")->SetAsString(std::string("\0\1\2", 3));
  ds->Post();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 51);  // the rowid SQLite gave
  EXPECT_EQ(Query("SELECT length(Raw) FROM Items WHERE Name = 'new'"), "3");
  EXPECT_EQ(ds->RecordCount(), 6);

  ds->First();
  ds->Delete();
  EXPECT_EQ(Query("SELECT count(*) FROM Items"), "5");
  EXPECT_EQ(ds->RecordCount(), 5);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 20);

  ds->Close();
  ds->Open();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "名前を変更");
  ds->Last();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "new");
}

TEST_F(SQLiteFixture, UpdateWritesOnlyTheChangedColumns) {
  MakeItems(3);
  TSQLiteDataSet* ds = OpenTable();
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("mine");
  Sql("UPDATE Items SET Qty = 77 WHERE ID = 10");  // another program, meanwhile
  ds->Post();
  EXPECT_EQ(Query("SELECT Name || '/' || Qty FROM Items WHERE ID = 10"), "mine/77");
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 77);
}

TEST_F(SQLiteFixture, RefusedPostKeepsTheValuesAndTheState) {
  MakeItems(3);
  TSQLiteDataSet* ds = OpenTable();
  ds->FieldByName("Name")->SetRequired(false);  // let the database be the one that refuses
  ds->Insert();
  ds->FieldByName("Qty")->SetAsInteger(42);
  try {
    ds->Post();
    FAIL() << "Post should have failed";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("NOT NULL constraint failed"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("field 'Name'"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 42);
  EXPECT_EQ(Query("SELECT count(*) FROM Items"), "3");
  ds->FieldByName("Name")->SetAsString("fixed");
  ds->Post();
  EXPECT_EQ(Query("SELECT Qty FROM Items WHERE Name = 'fixed'"), "42");
}

TEST_F(SQLiteFixture, LockedDatabaseRaisesAndKeepsTheEdit) {
  MakeItems(3);
  TSQLiteDataSet* ds = OpenTable();
  ds->SetBusyTimeout(0);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("mine");
  Sql("BEGIN EXCLUSIVE");
  EXPECT_THROW(ds->Post(), EDatabaseError);
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "mine");
  Sql("COMMIT");
  ds->Post();
  EXPECT_EQ(Query("SELECT Name FROM Items WHERE ID = 10"), "mine");
}

TEST_F(SQLiteFixture, BookmarksFollowRowidOrderSurviveEditsAndDieWithTheirRow) {
  MakeItems(20);
  TSQLiteDataSet* ds = OpenTable();
  ds->MoveBy(3);
  TBookmark b4 = ds->Bookmark();
  ds->MoveBy(10);
  TBookmark b14 = ds->Bookmark();
  EXPECT_EQ(ds->CompareBookmarks(b4, b14), -1);
  EXPECT_EQ(ds->CompareBookmarks(b14, b4), 1);
  EXPECT_EQ(ds->CompareBookmarks(b4, b4), 0);
  EXPECT_EQ(ds->CompareBookmarks("", b4), -1);
  ds->GotoBookmark(b4);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("edited");
  ds->Post();
  EXPECT_EQ(ds->Bookmark(), b4);
  ds->First();
  ds->GotoBookmark(b4);
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "edited");
  EXPECT_EQ(ds->RecNo(), 4);
  Sql("DELETE FROM Items WHERE ID = 40");
  EXPECT_FALSE(ds->BookmarkValid(b4));
  EXPECT_TRUE(ds->BookmarkValid(b14));
  EXPECT_THROW(ds->GotoBookmark(b4), EDatabaseError);
}

TEST_F(SQLiteFixture, NavigationAndPositionsOnAManyPagedTable) {
  MakeItems(1000);
  TSQLiteDataSet* ds = OpenTable();
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.SetBufferCount(25);
  EXPECT_EQ(ds->RecordCount(), 1000);
  EXPECT_EQ(ds->RecNo(), 1);
  ds->Last();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10000);
  EXPECT_EQ(ds->RecNo(), 1000);
  EXPECT_EQ(Link.ActiveRecord(), 24);
  EXPECT_EQ(ds->MoveBy(-300), -300);
  EXPECT_EQ(ds->RecNo(), 700);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 7000);
  ds->First();
  int seen = 0;
  while (!ds->Eof()) {
    ++seen;
    ASSERT_EQ(ds->FieldByName("ID")->AsInteger(), seen * 10);
    ds->Next();
  }
  EXPECT_EQ(seen, 1000);
  ds->SetRecNo(333);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3330);
  EXPECT_EQ(ds->RecNo(), 333);
  ds->SetRecNo(990);
  EXPECT_EQ(ds->RecNo(), 990);
  ds->SetRecNo(985);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 9850);
  std::vector<int> window = WindowIds(Link);
  for (size_t i = 1; i < window.size(); ++i) EXPECT_EQ(window[i], window[i - 1] + 10);
}

TEST_F(SQLiteFixture, PositionsSurviveOwnEditsDeletesAndAppends) {
  MakeItems(1000);
  TSQLiteDataSet* ds = OpenTable();
  ds->Last();
  ds->MoveBy(-300);
  ASSERT_EQ(ds->RecNo(), 700);
  ds->Edit();
  ds->FieldByName("Qty")->SetAsInteger(-1);
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 700);
  ds->Delete();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 7010);
  EXPECT_EQ(ds->RecNo(), 700);
  EXPECT_EQ(ds->RecordCount(), 999);
  ds->MoveBy(5);
  EXPECT_EQ(ds->RecNo(), 705);
  ds->Append();
  ds->FieldByName("Name")->SetAsString("tail");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 1000);
  ds->MoveBy(-10);
  EXPECT_EQ(ds->RecNo(), 990);
  ds->Last();
  ds->Delete();
  EXPECT_EQ(ds->RecNo(), 999);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10000);
}

TEST_F(SQLiteFixture, InsertedRecordCountsAndRecNoStayRight) {
  MakeItems(50);
  TSQLiteDataSet* ds = OpenTable();
  ds->MoveBy(9);
  ds->Insert();
  ds->FieldByName("ID")->SetAsInteger(95);
  ds->FieldByName("Name")->SetAsString("between");
  ds->Post();
  EXPECT_EQ(ds->RecordCount(), 51);
  EXPECT_EQ(ds->RecNo(), 10);
  ds->Next();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 100);
  EXPECT_EQ(ds->RecNo(), 11);
}

TEST_F(SQLiteFixture, QueryWithRowIdentityEditsWithoutItReadsOnly) {
  MakeItems(10);
  auto* q = new TSQLiteDataSet(Owner.get());
  q->SetDatabaseName(Path);
  q->SetSQL("SELECT ID, Name, Qty * 2 AS Twice FROM Items WHERE Qty > 5");
  q->Open();
  EXPECT_TRUE(q->CanModify());
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_FALSE(q->FieldByName("Twice")->CanModify());
  EXPECT_EQ(q->FieldByName("Twice")->AsInteger(), 12);
  q->Edit();
  q->FieldByName("Name")->SetAsString("via query");
  q->Post();
  EXPECT_EQ(Query("SELECT Name FROM Items WHERE ID = 60"), "via query");

  auto* g = new TSQLiteDataSet(Owner.get());
  g->SetDatabaseName(Path);
  g->SetSQL("SELECT Done, count(*) AS N FROM Items GROUP BY Done");
  g->Open();
  EXPECT_FALSE(g->CanModify());
  EXPECT_THROW(g->Edit(), EDatabaseError);
  EXPECT_EQ(g->RecordCount(), 2);
  g->Last();
  EXPECT_EQ(g->RecNo(), 2);
  EXPECT_EQ(g->FieldByName("N")->AsInteger(), 5);
  TBookmark last = g->Bookmark();
  g->First();
  EXPECT_EQ(g->CompareBookmarks(g->Bookmark(), last), -1);
}

TEST_F(SQLiteFixture, ViewsAndTablesWithoutRowidOpenReadOnlyByRowNumber) {
  MakeItems(150);
  Sql("CREATE VIEW Big AS SELECT ID, Name FROM Items WHERE Qty > 50");
  Sql("CREATE TABLE Codes (Code TEXT PRIMARY KEY, Label VARCHAR(10)) WITHOUT ROWID");
  Sql("INSERT INTO Codes VALUES ('a', 'A'), ('b', 'B')");
  TSQLiteDataSet* v = OpenTable("Big");
  EXPECT_FALSE(v->Keyed());
  EXPECT_FALSE(v->CanModify());
  EXPECT_EQ(v->RecordCount(), 100);
  v->Last();
  EXPECT_EQ(v->FieldByName("ID")->AsInteger(), 1500);
  EXPECT_EQ(v->RecNo(), 100);
  v->MoveBy(-70);
  EXPECT_EQ(v->FieldByName("ID")->AsInteger(), 800);
  TBookmark b = v->Bookmark();
  v->First();
  v->GotoBookmark(b);
  EXPECT_EQ(v->FieldByName("ID")->AsInteger(), 800);
  EXPECT_TRUE(v->BookmarkValid(b));
  TSQLiteDataSet* c = OpenTable("Codes");
  EXPECT_FALSE(c->CanModify());
  EXPECT_EQ(c->FieldByName("Code")->DataType(), ftMemo);
  c->Next();
  EXPECT_EQ(c->FieldByName("Label")->AsString(), "B");
}

TEST_F(SQLiteFixture, ImpossibleDatesReadAsEmpty) {
  Sql("CREATE TABLE D (ID INTEGER PRIMARY KEY, Due DATE, At DATETIME);"
      "INSERT INTO D VALUES (1, '2024-13-45', 1e20), (2, x'0102', -1e300), (3, 2460000.5, '2024-02-29 10:00:00')");
  TSQLiteDataSet* ds = OpenTable("D");
  for (int i = 0; i < 2; ++i, ds->Next()) {
    EXPECT_TRUE(ds->FieldByName("Due")->IsNull());
    EXPECT_TRUE(ds->FieldByName("At")->IsNull());
    EXPECT_EQ(ds->FieldByName("At")->DisplayText(), "");
  }
  EXPECT_EQ(ds->FieldByName("Due")->DisplayText(), "2023/02/25");
  EXPECT_FALSE(ds->FieldByName("At")->IsNull());
}

TEST_F(SQLiteFixture, TheSmallestCacheWalksBackAndForthOverPages) {
  MakeItems(300);
  TSQLiteDataSet* ds = new TSQLiteDataSet(Owner.get());
  ds->SetDatabaseName(Path);
  ds->SetTableName("Items");
  ds->SetCacheSize(1);
  ds->Open();
  ds->Last();
  for (int id = 3000; id > 0; id -= 10) {
    ASSERT_EQ(ds->FieldByName("ID")->AsInteger(), id);
    ds->Prior();
  }
  EXPECT_TRUE(ds->BOF());
  EXPECT_EQ(ds->MoveBy(250), 250);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2510);
  EXPECT_EQ(ds->MoveBy(-200), -200);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 510);
}

TEST_F(SQLiteFixture, BadNamesAndQueriesRaiseClearly) {
  MakeItems(1);
  auto* ds = new TSQLiteDataSet(Owner.get());
  ds->SetDatabaseName(Path + ".missing");
  ds->SetTableName("Items");
  EXPECT_THROW(ds->Open(), EDatabaseError);
  EXPECT_FALSE(std::filesystem::exists(Path + ".missing"));
  ds->SetDatabaseName(Path);
  ds->SetTableName("Nope");
  EXPECT_THROW(ds->Open(), EDatabaseError);
  // Only one query: no writes, no second statement, no PRAGMA or EXPLAIN
  // (read-only and with a result as they are).
  for (const char* sql : {"DELETE FROM Items", "SELECT 1; DELETE FROM Items", "PRAGMA table_info(Items)",
                          "EXPLAIN SELECT * FROM Items", "EXPLAIN QUERY PLAN SELECT * FROM Items",
                          "/* SELECT */ PRAGMA user_version", "ATTACH 'x.db' AS x", "-- only a comment"}) {
    ds->SetSQL(sql);
    try {
      ds->Open();
      ADD_FAILURE() << "opened " << sql;
    } catch (const EDatabaseError& e) {
      EXPECT_FALSE(std::string(e.what()).empty()) << sql;
    }
  }
  EXPECT_FALSE(std::filesystem::exists("x.db"));
  ds->SetSQL(" -- the rows\n WITH t AS (SELECT * FROM Items) SELECT * FROM t");
  EXPECT_NO_THROW(ds->Open());
  ds->Close();
  EXPECT_EQ(Query("SELECT count(*) FROM Items"), "1");
  EXPECT_FALSE(ds->Active());
  ds->SetSQL("SELECT * FROM Items");
  ds->Open();
  EXPECT_TRUE(ds->Active());
}

// Far positions on a table larger than a few ladder steps, with gaps in the
// keys: RecNo after bookmark jumps and SetRecNo agree with a count, also
// after this dataset's own deletes and inserts, and after Refresh.
// Far positions, set and read back, agree with what the database says
// (the table Items has more than 9000 rows).
void CheckFarPositions(SQLiteFixture& F, TSQLiteDataSet* ds, const char* Step) {
  SCOPED_TRACE(Step);
  auto positionOf = [&](int Id) { return std::stoi(F.Query("SELECT count(*) FROM Items WHERE ID <= " + std::to_string(Id))); };
  auto idAt = [&](int Pos) {
    return std::stoi(F.Query("SELECT ID FROM Items ORDER BY ID LIMIT 1 OFFSET " + std::to_string(Pos - 1)));
  };
  const int count = ds->RecordCount();
  EXPECT_EQ(count, std::stoi(F.Query("SELECT count(*) FROM Items")));
  for (int pos : {2, 1500, count / 2, count - 1500, count - 1, 7777}) {
    ds->SetRecNo(pos);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), idAt(pos)) << pos;
    EXPECT_EQ(ds->RecNo(), pos);
  }
  std::vector<TBookmark> marks;
  for (int pos : {9000, 3, 4500}) {
    ds->SetRecNo(pos);
    marks.push_back(ds->Bookmark());
  }
  ds->First();
  for (const TBookmark& b : marks) {
    ds->SetBookmark(b);
    EXPECT_EQ(ds->RecNo(), positionOf(ds->FieldByName("ID")->AsInteger()));
  }
}

TEST_F(SQLiteFixture, FarPositionsOnALargeTableStayExactThroughJumpsAndWrites) {
  MakeItems(12000);
  Sql("DELETE FROM Items WHERE ID % 70 = 0");
  TSQLiteDataSet* ds = OpenTable();
  auto check = [&](const char* Step) { CheckFarPositions(*this, ds, Step); };
  check("opened");
  ds->SetRecNo(5000);
  ds->Delete();
  ds->SetRecNo(20);
  ds->Delete();
  check("after own deletes");
  ds->SetRecNo(6000);
  const int before = ds->FieldByName("ID")->AsInteger();
  ds->Insert();
  ds->FieldByName("ID")->SetAsInteger(before - 5);
  ds->FieldByName("Name")->SetAsString("between");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), 6000);
  check("after an insert in the middle");
  Sql("DELETE FROM Items WHERE ID < 2000");
  ds->Refresh();
  check("after another connection's delete and Refresh");
}

// Keys without gaps give positions by arithmetic; writes at either end keep
// that, a gap in the middle ends it, and positions stay exact throughout.
TEST_F(SQLiteFixture, DenseKeysKeepExactPositionsThroughWritesThatMakeOrCloseGaps) {
  Sql("CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL)");
  Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
      " INSERT INTO Items SELECT i, 'item' || i FROM n");
  TSQLiteDataSet* ds = OpenTable();
  auto check = [&](const char* Step) { CheckFarPositions(*this, ds, Step); };
  check("opened");
  ds->Last();
  ds->Delete();
  ds->First();
  ds->Delete();
  check("after deleting both ends");
  ds->Append();
  ds->FieldByName("Name")->SetAsString("appended");
  ds->Post();
  EXPECT_EQ(ds->RecNo(), ds->RecordCount());
  check("after an append");
  ds->SetRecNo(4000);
  ds->Delete();
  check("after a delete in the middle");
  Sql("INSERT INTO Items VALUES (4001, 'back')");
  ds->Refresh();
  check("after another connection closed the gap and Refresh");
}

// Held counts stand for a count that takes long: until it is in, the
// dataset answers from the key range, and whatever needs exact figures
// waits for it.
struct THeldCounts {
  THeldCounts() { TSQLiteDataSet::HoldBackgroundCounts(true); }
  ~THeldCounts() { TSQLiteDataSet::HoldBackgroundCounts(false); }
};

TEST_F(SQLiteFixture, OpeningDoesNotWaitForTheCountAndExactFiguresDo) {
  MakeItems(500);  // keys 10, 20, ... 5000
  THeldCounts held;
  TSQLiteDataSet* ds = OpenTable();
  EXPECT_TRUE(ds->RecordCountPending());
  EXPECT_EQ(ds->EstimatedRecordCount(), 4991);
  EXPECT_EQ(ds->EstimatedRecNo(), 1);
  ds->MoveBy(3);
  EXPECT_EQ(ds->EstimatedRecNo(), 4);  // known without counting
  ASSERT_TRUE(ds->Locate("ID", {std::int64_t{2500}}));
  EXPECT_TRUE(ds->RecordCountPending());
  EXPECT_EQ(ds->EstimatedRecNo(), 2491);
  EXPECT_EQ(ds->RecNo(), 250);
  EXPECT_FALSE(ds->RecordCountPending());
  EXPECT_EQ(ds->RecordCount(), 500);
  EXPECT_EQ(ds->EstimatedRecordCount(), 500);

  // A write while a count runs: the count stops, and the figure stays exact.
  ds->Refresh();
  EXPECT_TRUE(ds->RecordCountPending());
  ds->Append();
  ds->FieldByName("Name")->SetAsString("new");
  ds->Post();
  EXPECT_FALSE(ds->RecordCountPending());
  EXPECT_EQ(ds->RecordCount(), 501);
  ds->Refresh();
  ds->First();
  ds->Delete();
  EXPECT_EQ(ds->RecordCount(), 500);
  EXPECT_EQ(std::stoi(Query("SELECT count(*) FROM Items")), 500);
  // Closing while a count runs stops it.
  ds->Refresh();
  EXPECT_TRUE(ds->RecordCountPending());
  ds->Close();
  ds->Open();
  EXPECT_EQ(ds->RecordCount(), 500);
}

} // namespace
