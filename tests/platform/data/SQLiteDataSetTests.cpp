#include "DataSetBackends.h"

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

} // namespace
