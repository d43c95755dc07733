#include "DataTestSupport.h"
#include "support/PgServer.h"

#include <sqlite3.h>

#include <cstdio>
#include <unistd.h>

using namespace rixtest;

namespace {

struct CalcLookup : TDataFixture {
  TMemoryDataSet* Cities = new TMemoryDataSet(Owner.get());
  TMemoryDataSet* People = new TMemoryDataSet(Owner.get());
  TField* CityName = nullptr;
  TField* Label = nullptr;

  CalcLookup() {
    Cities->FieldDefs()->Add("CityID", ftInteger);
    Cities->FieldDefs()->Add("City", ftString, 20);
    Cities->CreateDataSet();
    for (auto [id, name] : {std::pair{1, "東京"}, {2, "大阪"}}) {
      Cities->Append();
      Cities->FieldByName("CityID")->SetAsInteger(id);
      Cities->FieldByName("City")->SetAsString(name);
      Cities->Post();
    }
    People->FieldDefs()->Add("Name", ftString, 20);
    People->FieldDefs()->Add("CityID", ftInteger);
    CityName = new TStringField(Owner.get());
    CityName->SetFieldName("CityName");
    CityName->SetFieldKind(fkLookup);
    CityName->SetKeyFields("CityID");
    CityName->SetLookupDataSet(Cities);
    CityName->SetLookupKeyFields("CityID");
    CityName->SetLookupResultField("City");
    CityName->SetDataSet(People);
    Label = new TStringField(Owner.get());
    Label->SetFieldName("Label");
    Label->SetFieldKind(fkCalculated);
    Label->SetDataSet(People);
    People->SetOnCalcFields([this](TDataSet* D) {
      Label->SetAsString(D->FieldByName("Name")->AsString() + "@" + D->FieldByName("CityName")->AsString());
    });
    People->CreateDataSet();
    for (auto [n, c] : {std::pair{"Aoi", 2}, {"Ren", 1}, {"Mei", 3}}) {
      People->Append();
      People->FieldByName("Name")->SetAsString(n);
      People->FieldByName("CityID")->SetAsInteger(c);
      People->Post();
    }
    People->First();
  }
};

TEST_F(CalcLookup, LookupAndCalculatedFieldsFollowTheRecord) {
  EXPECT_EQ(People->FieldList()->Fields(0)->FieldName(), "Name");
  EXPECT_EQ(People->FieldCount(), 4);
  EXPECT_TRUE(CityName->Lookup());
  EXPECT_EQ(CityName->AsString(), "大阪");
  EXPECT_EQ(Label->AsString(), "Aoi@大阪");
  People->Next();
  EXPECT_EQ(Label->AsString(), "Ren@東京");
  People->Next();
  EXPECT_TRUE(CityName->IsNull());
  EXPECT_EQ(Label->AsString(), "Mei@");
}

TEST_F(CalcLookup, EditingTheKeyRecalculatesAtOnce) {
  People->Edit();
  People->FieldByName("CityID")->SetAsInteger(1);
  EXPECT_EQ(CityName->AsString(), "東京");
  EXPECT_EQ(Label->AsString(), "Aoi@東京");
}

TEST_F(CalcLookup, CalculatedFieldsCannotBeModifiedAndLookupsFollowTheirKey) {
  EXPECT_FALSE(Label->CanModify());
  EXPECT_TRUE(CityName->CanModify());
  People->FieldByName("CityID")->SetReadOnly(true);
  EXPECT_FALSE(CityName->CanModify());
  People->Edit();
  EXPECT_THROW(Label->SetAsString("x"), EDatabaseError);
}

TEST_F(CalcLookup, AssigningALookupValueSetsItsKey) {
  People->Edit();
  CityName->SetAsString("東京");
  EXPECT_EQ(People->FieldByName("CityID")->AsInteger(), 1);
  EXPECT_EQ(CityName->AsString(), "東京");
  CityName->SetAsString("どこにもない");
  EXPECT_TRUE(People->FieldByName("CityID")->IsNull());
}

TEST_F(CalcLookup, FreeingTheLookupDataSetClearsTheReference) {
  delete Cities;
  Cities = nullptr;
  EXPECT_EQ(CityName->LookupDataSet(), nullptr);
  People->Refresh();
  EXPECT_TRUE(CityName->IsNull());
}

TEST_F(CalcLookup, IncompleteLookupRefusesToOpen) {
  People->Close();
  CityName->SetLookupResultField("");
  EXPECT_THROW(People->Open(), EDatabaseError);
  EXPECT_FALSE(People->Active());
}

} // namespace

namespace {

class LocateRecords : public TDataFixture, public ::testing::WithParamInterface<const char*> {};

TEST_P(LocateRecords, FindsTheFirstMatchOrStaysPut) {
  std::string path;
  TDataSet* ds = nullptr;
  const std::string store = GetParam();
  if (store == "PostgreSQL") {
    TPgServer& pg = TPgServer::Shared();
    pg.Reset();
    pg.Exec("CREATE TABLE People (ID integer PRIMARY KEY, Name varchar(20), Active boolean);"
            "INSERT INTO People VALUES (1,'Sato',false),(2,'suzuki',true),(3,'Suzuki',false),(4,'Takahashi',true)");
    auto* p = new TPgDataSet(Owner.get());
    p->SetConnectionString(pg.ConnInfo());
    p->SetTableName("People");
    p->Open();
    ds = p;
  } else if (store == "SQLite") {
    path = "/tmp/rix_locate_" + std::to_string(::getpid()) + ".db";
    std::remove(path.c_str());
    // The memory dataset writes the rows; the SQLite one reads them back.
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE People (ID INTEGER, Name VARCHAR(20), Active BOOLEAN);"
                 "INSERT INTO People VALUES (1,'Sato',0),(2,'suzuki',1),(3,'Suzuki',0),(4,'Takahashi',1);",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
    auto* s = new TSQLiteDataSet(Owner.get());
    s->SetDatabaseName(path);
    s->SetTableName("People");
    s->Open();
    ds = s;
  } else {
    auto* m = MakePeople(Owner.get(), 0);
    const char* names[] = {"Sato", "suzuki", "Suzuki", "Takahashi"};
    for (int i = 0; i < 4; ++i) {
      m->Append();
      m->FieldByName("ID")->SetAsInteger(i + 1);
      m->FieldByName("Name")->SetAsString(names[i]);
      m->FieldByName("Active")->SetAsBoolean(i % 2 == 1);
      m->Post();
    }
    m->First();
    ds = m;
  }
  Source->SetDataSet(ds);
  Link.SetDataSource(Source);
  Link.Take();
  EXPECT_TRUE(ds->Locate("Name", {std::string("Suzuki")}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3);
  EXPECT_EQ(Link.Take().back(), "DataSetChanged");
  EXPECT_TRUE(ds->Locate("Name", {std::string("SUZUKI")}, {loCaseInsensitive}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2);
  EXPECT_TRUE(ds->Locate("Name", {std::string("Tak")}, {loPartialKey}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 4);
  EXPECT_TRUE(ds->Locate("Name;Active", {std::string("Suzuki"), false}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3);
  EXPECT_FALSE(ds->Locate("Name", {std::string("Tanaka")}));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3);
  EXPECT_THROW(ds->Locate("Nope", {std::int64_t(1)}), EDatabaseError);
  EXPECT_EQ(ds->Lookup("Name;Active", {std::string("Suzuki"), false}, "ID"), TFieldValue(std::int64_t(3)));
  EXPECT_TRUE(IsNullValue(ds->Lookup("Name", {std::string("Tanaka")}, "ID")));
  EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 3);
  Link.SetDataSource(nullptr);
  Owner.reset();
  if (!path.empty()) std::remove(path.c_str());
}

INSTANTIATE_TEST_SUITE_P(Stores, LocateRecords, ::testing::Values("Memory", "SQLite", "PostgreSQL"),
                         [](const auto& I) { return std::string(I.param); });

} // namespace
