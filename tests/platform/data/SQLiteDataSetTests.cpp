#include "DataSetBackends.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

using namespace rixtest;

namespace {

// What only the SQLite dataset does; the behaviour the database datasets
// share is in DataSetBehaviourTests.cpp.
struct SQLiteFixture : TDataFixture {
  TSQLiteBackend Db;

  ~SQLiteFixture() override {
    Link.SetDataSource(nullptr);
    Owner.reset();
  }
  void Sql(const std::string& S) { Db.Sql(S); }
  std::string Query(const std::string& S) { return Db.Query(S); }
  void MakeItems(int Count) { Db.MakeItems(Count); }
  TSQLiteDataSet* OpenTable(const std::string& Table = "Items") {
    return static_cast<TSQLiteDataSet*>(Db.OpenTable(Owner.get(), Table));
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

// Keys without gaps give positions by arithmetic; writes at either end keep
// that, a gap in the middle ends it, and positions stay exact throughout.
TEST_F(SQLiteFixture, DenseKeysKeepExactPositionsThroughWritesThatMakeOrCloseGaps) {
  Sql("CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL)");
  Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)"
      " INSERT INTO Items SELECT i, 'item' || i FROM n");
  TSQLiteDataSet* ds = OpenTable();
  auto check = [&](const char* Step) { CheckFarPositions(Db, ds, Step); };
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

// The count reads in the background with a lock of its own; an edit must
// not wait for it, or fail when it takes longer than the busy timeout (here
// none at all). The count starts again after the write and comes out exact.
TEST_F(SQLiteFixture, AnEditWhileTheCountRunsNeitherWaitsForItNorFails) {
  MakeItems(3000);
  THeldCounts held;
  TSQLiteDataSet* ds = OpenTable();
  ds->SetBusyTimeout(0);
  // Until the count holds its read lock, seen from a connection of our own
  // that cannot take the file for itself meanwhile.
  auto countHoldsItsLock = [&] {
    sqlite3* probe = nullptr;
    sqlite3_open(Db.Path.c_str(), &probe);
    bool held = false;
    for (int i = 0; i < 5000 && !held; ++i) {
      held = sqlite3_exec(probe, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_BUSY;
      if (!held) {
        sqlite3_exec(probe, "ROLLBACK", nullptr, nullptr, nullptr);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
    sqlite3_close(probe);
    return held;
  };
  for (int round = 0; round < 5; ++round) {
    ds->Refresh();
    ASSERT_TRUE(countHoldsItsLock());
    ds->Edit();
    ds->FieldByName("Name")->SetAsString("edited " + std::to_string(round));
    ASSERT_NO_THROW(ds->Post()) << "round " << round;
    EXPECT_EQ(ds->FieldByName("Name")->AsString(), "edited " + std::to_string(round));
  }
  EXPECT_EQ(Query("SELECT Name FROM Items WHERE ID = 10"), "edited 4");
  EXPECT_TRUE(ds->RecordCountPending()) << "counting again";
  EXPECT_EQ(ds->RecordCount(), 3000);
  EXPECT_EQ(ds->RecNo(), 1);
}

// Keys with gaps: once the count is in, the ladder far positions need is
// built in the background, holding a read lock as the count does. Writes
// meanwhile neither wait for it nor fail, and positions stay exact after
// each, whether the pass was taken in, stopped or started again.
TEST_F(SQLiteFixture, TheLadderOfGappedKeysIsBuiltAsideAndGivesWayToWrites) {
  MakeItems(10000);  // keys 10, 20, ... 100000: more than four ladder steps
  THeldCounts held;
  TSQLiteDataSet* ds = OpenTable();
  ds->SetBusyTimeout(0);
  EXPECT_EQ(ds->RecordCount(), 10000);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("edited");
  ASSERT_NO_THROW(ds->Post()) << "an edit while the ladder's pass holds its lock";
  CheckFarPositions(Db, ds, "after an edit during the pass");
  ds->Refresh();
  EXPECT_EQ(ds->RecordCount(), 10000);
  ds->Append();
  ds->FieldByName("Name")->SetAsString("appended");
  ASSERT_NO_THROW(ds->Post()) << "an append while the ladder's pass holds its lock";
  EXPECT_EQ(ds->RecordCount(), 10001);
  CheckFarPositions(Db, ds, "after an append during the pass");
  ds->Refresh();
  EXPECT_EQ(ds->RecordCount(), 10001);
  ds->SetRecNo(3000);
  ASSERT_NO_THROW(ds->Delete());
  CheckFarPositions(Db, ds, "after a delete in the middle");
  EXPECT_EQ(ds->RecordCount(), 10000);
  EXPECT_EQ(std::stoi(Query("SELECT count(*) FROM Items")), 10000);
}

} // namespace
