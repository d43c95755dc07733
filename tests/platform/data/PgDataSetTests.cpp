// What only the PostgreSQL dataset does: the server's types, several users
// on one row, keys that are not one integer, and a server that goes away.
#include "DataSetBackends.h"

using namespace rixtest;

namespace {

struct PgFixture : TDataFixture {
  TPgBackend Db;

  ~PgFixture() override {
    Link.SetDataSource(nullptr);
    Owner.reset();
  }
  TPgDataSet* Open(const std::string& Table = "Items") { return static_cast<TPgDataSet*>(Db.OpenTable(Owner.get(), Table)); }
  // The message of what F raises, "" when it raises nothing.
  template <class F> static std::string ErrorOf(F&& Fn) {
    try {
      Fn();
    } catch (const EDatabaseError& e) {
      return e.what();
    }
    return "";
  }
};

bool Contains(const std::string& S, const std::string& Part) { return S.find(Part) != std::string::npos; }

TEST_F(PgFixture, ServerTypesBecomeFieldTypesAndRoundTrip) {
  Db.Sql("CREATE DOMAIN picture AS bytea");
  Db.Sql("CREATE TABLE t (id bigserial PRIMARY KEY, s smallint, i integer NOT NULL, n numeric(10,2), f real,"
         " d double precision, v varchar(12), c char(3), tx text, b boolean, dt date, tm time, ts timestamp,"
         " tz timestamptz, by bytea, pic picture, j json, jb jsonb, u uuid, other inet)");
  Db.Sql("INSERT INTO t (s, i, n, f, d, v, c, tx, b, dt, tm, ts, tz, by, pic, j, jb, u, other) VALUES"
         " (-2, 7, 12.5, 1.5, 0.1, '日本語', 'ab', 'long text', true, '2024-02-29', '13:14:15', '2024-02-29 13:14:15.25',"
         " '2024-02-29 13:14:15+00', '\\x00ff10', '\\x89504e47', '{\"a\": 1}', '{\"b\": [1, 2]}',"
         " 'a0eebc99-9c0b-4ef8-bb6d-6bb9bd380a11', '10.0.0.1')");
  TPgDataSet* ds = Open("t");
  struct {
    const char* Name;
    TFieldType Type;
    int Size;
  } expected[] = {{"id", ftAutoInc, 0},   {"s", ftSmallint, 0}, {"i", ftInteger, 0},  {"n", ftFloat, 0},
                  {"f", ftFloat, 0},      {"d", ftFloat, 0},    {"v", ftString, 12},  {"c", ftString, 3},
                  {"tx", ftMemo, 0},      {"b", ftBoolean, 0},  {"dt", ftDate, 0},    {"tm", ftTime, 0},
                  {"ts", ftDateTime, 0},  {"tz", ftDateTime, 0}, {"by", ftBlob, 0},   {"pic", ftGraphic, 0},
                  {"j", ftMemo, 0},       {"jb", ftMemo, 0},    {"u", ftString, 36},  {"other", ftString, 255}};
  ASSERT_EQ(ds->FieldCount(), 20);
  for (auto& e : expected) {
    EXPECT_EQ(ds->FieldByName(e.Name)->DataType(), e.Type) << e.Name;
    if (e.Size) {
      EXPECT_EQ(ds->FieldByName(e.Name)->Size(), e.Size) << e.Name;
    }
  }
  EXPECT_TRUE(ds->FieldByName("i")->Required());
  EXPECT_FALSE(ds->FieldByName("id")->Required());
  EXPECT_EQ(ds->FieldByName("s")->AsInteger(), -2);
  EXPECT_DOUBLE_EQ(ds->FieldByName("n")->AsFloat(), 12.5);
  EXPECT_DOUBLE_EQ(ds->FieldByName("d")->AsFloat(), 0.1);
  EXPECT_EQ(ds->FieldByName("v")->AsString(), "日本語");
  EXPECT_TRUE(ds->FieldByName("b")->AsBoolean());
  EXPECT_EQ(ds->FieldByName("dt")->DisplayText(), "2024/02/29");
  EXPECT_EQ(ds->FieldByName("tm")->DisplayText(), "13:14:15");
  EXPECT_EQ(ds->FieldByName("ts")->DisplayText(), "2024/02/29 13:14:15");
  EXPECT_EQ(ds->FieldByName("by")->AsString(), std::string("\0\xff\x10", 3));
  EXPECT_EQ(ds->FieldByName("jb")->AsString(), "{\"b\": [1, 2]}");
  EXPECT_EQ(ds->FieldByName("other")->AsString(), "10.0.0.1");

  // Every type written back through its field reads back the same.
  ds->Edit();
  ds->FieldByName("s")->SetAsInteger(3);
  ds->FieldByName("n")->SetAsFloat(0.25);
  ds->FieldByName("d")->SetAsFloat(1e-300);
  ds->FieldByName("v")->SetAsString("かな");
  ds->FieldByName("b")->SetAsBoolean(false);
  ds->FieldByName("dt")->SetAsString("2025/01/02");
  ds->FieldByName("tm")->SetAsString("01:02:03");
  ds->FieldByName("ts")->SetAsString("2025/01/02 03:04:05");
  ds->FieldByName("by")->SetAsString(std::string("\0\1", 2));
  ds->FieldByName("j")->SetAsString("[true]");
  ds->FieldByName("other")->SetAsString("::1");
  ds->Post();
  EXPECT_EQ(Db.Query("SELECT concat_ws('|', s, n, d, v, b, dt, tm, ts, encode(by, 'hex'), j, other) FROM t"),
            "3|0.25|1e-300|かな|f|2025-01-02|01:02:03|2025-01-02 03:04:05|0001|[true]|::1");
  EXPECT_EQ(ds->FieldByName("i")->AsInteger(), 7);
}

// Two users on the same row: the second post fails, names the record, keeps
// its values and writes nothing; after Refresh it can be applied on purpose.
TEST_F(PgFixture, SecondUsersPostOnAChangedRowFailsAndKeepsItsValues) {
  Db.MakeItems(5);
  TPgDataSet* a = Open();
  TPgDataSet* b = Open();
  a->MoveBy(1);
  b->MoveBy(1);
  a->Edit();
  b->Edit();
  a->FieldByName("Name")->SetAsString("first");
  b->FieldByName("Name")->SetAsString("second");
  b->FieldByName("Qty")->SetAsInteger(99);
  a->Post();
  std::string err = ErrorOf([&] { b->Post(); });
  EXPECT_TRUE(Contains(err, "Record id=20 was changed by another user")) << err;
  EXPECT_EQ(b->State(), dsEdit);
  EXPECT_EQ(b->FieldByName("Name")->AsString(), "second");
  EXPECT_EQ(b->FieldByName("Qty")->AsInteger(), 99);
  EXPECT_EQ(Db.Query("SELECT Name || '/' || Qty FROM Items WHERE ID = 20"), "first/2");

  // On purpose: look at the other user's values, then apply one's own.
  b->Cancel();
  b->Refresh();
  EXPECT_EQ(b->FieldByName("Name")->AsString(), "first");
  b->Edit();
  b->FieldByName("Name")->SetAsString("second");
  b->FieldByName("Qty")->SetAsInteger(99);
  b->Post();
  EXPECT_EQ(Db.Query("SELECT Name || '/' || Qty FROM Items WHERE ID = 20"), "second/99");
}

TEST_F(PgFixture, RowsDeletedOrChangedByAnotherUserAreReportedAsSuch) {
  Db.MakeItems(5);
  TPgDataSet* ds = Open();
  ds->MoveBy(2);
  ds->Edit();
  ds->FieldByName("Qty")->SetAsInteger(1);
  Db.Sql("DELETE FROM Items WHERE ID = 30");
  std::string err = ErrorOf([&] { ds->Post(); });
  EXPECT_TRUE(Contains(err, "Record id=30 was deleted by another user")) << err;
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 1);
  ds->Cancel();

  // A delete of a row another user changed meanwhile would drop their change.
  ds->Refresh();
  ds->First();
  Db.Sql("UPDATE Items SET Memo = 'theirs' WHERE ID = 10");
  err = ErrorOf([&] { ds->Delete(); });
  EXPECT_TRUE(Contains(err, "Record id=10 was changed by another user")) << err;
  EXPECT_EQ(Db.Query("SELECT count(*) FROM Items"), "4");
  ds->Refresh();
  ds->Delete();
  EXPECT_EQ(Db.Query("SELECT count(*) FROM Items"), "3");
}

TEST_F(PgFixture, TextAndCompositeKeysPageInTheServersOrder) {
  Db.Sql("CREATE TABLE codes (code text PRIMARY KEY, label varchar(10))");
  Db.Sql("INSERT INTO codes SELECT 'k' || lpad(i::text, 4, '0'), 'L' || i FROM generate_series(1, 300) i");
  Db.Sql("CREATE TABLE pairs (a int, b text, v int, PRIMARY KEY (a, b))");
  Db.Sql("INSERT INTO pairs SELECT i / 10, 'x' || (i % 10), i FROM generate_series(0, 199) i");
  TPgDataSet* c = Open("codes");
  EXPECT_TRUE(c->CanModify());
  c->Last();
  EXPECT_EQ(c->FieldByName("code")->AsString(), "k0300");
  EXPECT_EQ(c->RecNo(), 300);
  c->MoveBy(-150);
  TBookmark mid = c->Bookmark();
  EXPECT_EQ(c->FieldByName("code")->AsString(), "k0150");
  c->First();
  EXPECT_EQ(c->CompareBookmarks(c->Bookmark(), mid), -1);
  c->GotoBookmark(mid);
  EXPECT_EQ(c->RecNo(), 150);
  c->Edit();
  c->FieldByName("label")->SetAsString("mid");
  c->Post();
  EXPECT_EQ(Db.Query("SELECT label FROM codes WHERE code = 'k0150'"), "mid");

  TPgDataSet* p = Open("pairs");
  p->SetRecNo(123);
  EXPECT_EQ(p->FieldByName("v")->AsInteger(), 122);
  p->Next();
  EXPECT_EQ(p->FieldByName("v")->AsInteger(), 123);
  TBookmark b = p->Bookmark();
  p->Last();
  p->GotoBookmark(b);
  EXPECT_EQ(p->RecNo(), 124);
  p->Delete();
  EXPECT_EQ(Db.Query("SELECT count(*) FROM pairs WHERE v = 123"), "0");
  EXPECT_EQ(p->FieldByName("v")->AsInteger(), 124);
}

TEST_F(PgFixture, ViewsTablesWithoutKeysAndJoinsOpenReadOnlyByRowNumber) {
  Db.MakeItems(150);
  Db.Sql("CREATE VIEW big AS SELECT ID, Name FROM Items WHERE Qty > 50 ORDER BY ID");
  Db.Sql("CREATE TABLE loose (x int)");
  Db.Sql("INSERT INTO loose VALUES (1), (2)");
  TPgDataSet* v = Open("big");
  EXPECT_FALSE(v->Keyed());
  EXPECT_FALSE(v->CanModify());
  EXPECT_EQ(v->RecordCount(), 100);
  v->Last();
  EXPECT_EQ(v->FieldByName("ID")->AsInteger(), 1500);
  v->MoveBy(-70);
  EXPECT_EQ(v->FieldByName("ID")->AsInteger(), 800);
  TBookmark b = v->Bookmark();
  v->First();
  v->GotoBookmark(b);
  EXPECT_EQ(v->FieldByName("ID")->AsInteger(), 800);
  EXPECT_FALSE(Open("loose")->CanModify());
  auto* j = static_cast<TPgDataSet*>(
      Db.OpenQuery(Owner.get(), "SELECT i.ID, o.Name FROM Items i JOIN Items o ON o.ID = i.ID + 10 ORDER BY i.ID"));
  EXPECT_FALSE(j->CanModify());
  EXPECT_EQ(j->FieldByName("Name")->AsString(), "item2");
}

// The server stops under an open grid: clear errors, the window stays, and
// after a restart Refresh and the retried post work.
TEST_F(PgFixture, ServerStoppedAndRestartedUnderAnOpenDataSet) {
  Db.MakeItems(1000);
  TPgDataSet* ds = Open();
  ds->SetCacheSize(64);
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.SetBufferCount(10);
  ds->MoveBy(5);
  const std::vector<int> window = WindowIds(Link);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("kept");

  Db.Server.Stop();
  std::string err = ErrorOf([&] { ds->Post(); });
  EXPECT_TRUE(Contains(err, "Lost the connection to the server")) << err;
  EXPECT_EQ(ds->State(), dsEdit);
  EXPECT_EQ(ds->FieldByName("Name")->AsString(), "kept");
  ds->Cancel();
  err = ErrorOf([&] { ds->Last(); });
  EXPECT_TRUE(Contains(err, "Lost the connection to the server") || Contains(err, "Cannot connect")) << err;
  err = ErrorOf([&] { ds->Refresh(); });
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(ds->Active());
  EXPECT_EQ(WindowIds(Link), window);

  Db.Server.Start();
  ds->Refresh();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 60);
  ds->Edit();
  ds->FieldByName("Name")->SetAsString("kept");
  ds->Post();
  EXPECT_EQ(Db.Query("SELECT Name FROM Items WHERE ID = 60"), "kept");
  ds->Last();
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 10000);
  EXPECT_EQ(ds->RecNo(), 1000);
}

TEST_F(PgFixture, AServerThatIsNotThereRaisesOnOpen) {
  auto* ds = new TPgDataSet(Owner.get());
  ds->SetConnectionString("host=/nonexistent dbname=x");
  ds->SetTableName("Items");
  std::string err = ErrorOf([&] { ds->Open(); });
  EXPECT_TRUE(Contains(err, "Cannot connect to the server")) << err;
  EXPECT_FALSE(ds->Active());
}

} // namespace
