// What every database dataset does alike, run against each of them: the
// SQLite file and the PostgreSQL server.
#include "DataSetBackends.h"

using namespace rixtest;

namespace {

std::string LowerCase(std::string S) {
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

struct DataSetBehaviour : TDataFixture, ::testing::WithParamInterface<const char*> {
  std::unique_ptr<TBackend> B = MakeBackend(GetParam());
  ~DataSetBehaviour() override {
    Link.SetDataSource(nullptr);
    Owner.reset();  // the datasets go before their database
  }
};

TEST_P(DataSetBehaviour, EditsInsertsAndDeletesReachOtherConnectionsAndSurviveReopening) {
  B->MakeItems(5);
  TDataSet* ds = B->OpenTable(Owner.get());
  ds->MoveBy(1);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("名前を変更");
  ds->FieldByName("Due")->SetAsString("2025/03/04");
  ds->Post();
  EXPECT_EQ(B->Query("SELECT Name FROM Items WHERE ID = 20"), "名前を変更");
  EXPECT_EQ(B->Query("SELECT Due FROM Items WHERE ID = 20"), "2025-03-04");

  ds->Append();
  ds->FieldByName("Name")->SetAsString("new");
  ds->FieldByName("Raw")->SetAsString(std::string("\0\1\2", 3));
  ds->Post();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 51);  // the key the database gave
  EXPECT_EQ(B->Query("SELECT length(Raw) FROM Items WHERE Name = 'new'"), "3");
  EXPECT_EQ(ds->RecordCount(), 6);

  ds->First();
  ds->Delete();
  EXPECT_EQ(B->Query("SELECT count(*) FROM Items"), "5");
  EXPECT_EQ(ds->RecordCount(), 5);
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 20);

  ds->Close();
  ds->Open();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "名前を変更");
  ds->Last();
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "new");
}

TEST_P(DataSetBehaviour, UpdateWritesOnlyTheChangedColumns) {
  B->MakeItems(3);
  TDataSet* ds = B->OpenTable(Owner.get());
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("mine");
  B->Sql("UPDATE Items SET Qty = 77 WHERE ID = 10");  // another program, meanwhile
  ds->Post();
  EXPECT_EQ(B->Query("SELECT Name || '/' || Qty FROM Items WHERE ID = 10"), "mine/77");
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 77);
}

TEST_P(DataSetBehaviour, RefusedPostKeepsTheValuesAndTheState) {
  B->MakeItems(3);
  TDataSet* ds = B->OpenTable(Owner.get());
  ds->FieldByName("Name")->SetRequired(false);  // let the database be the one that refuses
  ds->Insert();
  ds->FieldByName("Qty")->SetAsInteger(42);
  try {
    ds->Post();
    FAIL() << "Post should have failed";
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find(B->NotNullMessage()), std::string::npos) << e.what();
    EXPECT_NE(LowerCase(e.what()).find("field 'name'"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 42);
  EXPECT_EQ(B->Query("SELECT count(*) FROM Items"), "3");
  ds->FieldByName("Name")->SetAsString("fixed");
  ds->Post();
  EXPECT_EQ(B->Query("SELECT Qty FROM Items WHERE Name = 'fixed'"), "42");
}

TEST_P(DataSetBehaviour, BookmarksFollowRowidOrderSurviveEditsAndDieWithTheirRow) {
  B->MakeItems(20);
  TDataSet* ds = B->OpenTable(Owner.get());
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
  B->Sql("DELETE FROM Items WHERE ID = 40");
  EXPECT_FALSE(ds->BookmarkValid(b4));
  EXPECT_TRUE(ds->BookmarkValid(b14));
  EXPECT_THROW(ds->GotoBookmark(b4), EDatabaseError);
}

TEST_P(DataSetBehaviour, NavigationAndPositionsOnAManyPagedTable) {
  B->MakeItems(1000);
  TDataSet* ds = B->OpenTable(Owner.get());
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

TEST_P(DataSetBehaviour, PositionsSurviveOwnEditsDeletesAndAppends) {
  B->MakeItems(1000);
  TDataSet* ds = B->OpenTable(Owner.get());
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

TEST_P(DataSetBehaviour, InsertedRecordCountsAndRecNoStayRight) {
  B->MakeItems(50);
  TDataSet* ds = B->OpenTable(Owner.get());
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

TEST_P(DataSetBehaviour, QueryWithRowIdentityEditsWithoutItReadsOnly) {
  B->MakeItems(10);
  TDataSet* q = B->OpenQuery(Owner.get(), "SELECT ID, Name, Qty * 2 AS Twice FROM Items WHERE Qty > 5");
  EXPECT_TRUE(q->CanModify());
  EXPECT_EQ(q->RecordCount(), 5);
  EXPECT_FALSE(q->FieldByName("Twice")->CanModify());
  EXPECT_EQ(q->FieldByName("Twice")->AsInteger(), 12);
  q->Edit();
  q->FieldByName("Name")->SetAsString("via query");
  q->Post();
  EXPECT_EQ(B->Query("SELECT Name FROM Items WHERE ID = 60"), "via query");

  TDataSet* g = B->OpenQuery(Owner.get(), "SELECT Done, count(*) AS N FROM Items GROUP BY Done");
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

TEST_P(DataSetBehaviour, BadNamesAndQueriesRaiseClearly) {
  B->MakeItems(1);
  TDataSet* missing = B->NewDataSet(Owner.get());
  B->SetMissingDatabase(missing);
  B->SetTable(missing, "Items");
  EXPECT_THROW(missing->Open(), EDatabaseError);
  EXPECT_TRUE(B->MissingStillMissing());
  TDataSet* ds = B->NewDataSet(Owner.get());
  B->SetTable(ds, "Nope");
  EXPECT_THROW(ds->Open(), EDatabaseError);
  // Only one query: no writes, no second statement, no PRAGMA or EXPLAIN
  // (read-only and with a result as they are in SQLite).
  for (const char* sql : {"DELETE FROM Items", "SELECT 1; DELETE FROM Items", "PRAGMA table_info(Items)",
                          "EXPLAIN SELECT * FROM Items", "EXPLAIN QUERY PLAN SELECT * FROM Items",
                          "/* SELECT */ PRAGMA user_version", "ATTACH 'x.db' AS x", "-- only a comment"}) {
    B->SetSQL(ds, sql);
    try {
      ds->Open();
      ADD_FAILURE() << "opened " << sql;
    } catch (const EDatabaseError& e) {
      EXPECT_FALSE(std::string(e.what()).empty()) << sql;
    }
  }
  EXPECT_FALSE(std::filesystem::exists("x.db"));
  B->SetSQL(ds, " -- the rows\n WITH t AS (SELECT * FROM Items) SELECT * FROM t");
  EXPECT_NO_THROW(ds->Open());
  ds->Close();
  EXPECT_EQ(B->Query("SELECT count(*) FROM Items"), "1");
  EXPECT_FALSE(ds->Active());
  B->SetSQL(ds, "SELECT * FROM Items");
  ds->Open();
  EXPECT_TRUE(ds->Active());
}

// A page fetched beside the current row must not push that row out of the
// smallest cache.
TEST_P(DataSetBehaviour, TheSmallestCacheWalksBackAndForthOverPages) {
  B->MakeItems(300);
  auto* ds = static_cast<TSqlDataSet*>(B->NewDataSet(Owner.get()));
  B->SetTable(ds, "Items");
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

// Far positions on a table larger than a few ladder steps, with gaps in the
// keys: RecNo after bookmark jumps and SetRecNo agree with a count, also
// after this dataset's own deletes and inserts, and after Refresh.
TEST_P(DataSetBehaviour, FarPositionsOnALargeTableStayExactThroughJumpsAndWrites) {
  B->MakeItems(12000);
  B->Sql("DELETE FROM Items WHERE ID % 70 = 0");
  TDataSet* ds = B->OpenTable(Owner.get());
  auto check = [&](const char* Step) { CheckFarPositions(*B, ds, Step); };
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
  B->Sql("DELETE FROM Items WHERE ID < 2000");
  ds->Refresh();
  check("after another connection's delete and Refresh");
}


INSTANTIATE_TEST_SUITE_P(Databases, DataSetBehaviour, ::testing::Values("SQLite", "PostgreSQL"),
                         [](const ::testing::TestParamInfo<const char*>& I) { return std::string(I.param); });

} // namespace
