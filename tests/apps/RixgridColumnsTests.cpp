// rixgrid columns new: the column set of an SQLite table, as a user drives
// it, and the round trip through the text form back into a grid.
#include <RixDBGrids.h>

#include "ToolTestSupport.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using tooltest::Slurp;

class RixgridColumns : public tooltest::TToolTest {
protected:
  RixgridColumns() : TToolTest("rixgrid-columns") {}

  void SetUp() override {
    TToolTest::SetUp();
    Db = Dir / "shop.db";
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Db.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Goods(Code INTEGER PRIMARY KEY, Title VARCHAR(40), Price CURRENCY,"
                           " Added DATE, Memo MEMO);"
                           "INSERT INTO Goods VALUES(1, '茶', 120, '2024-01-02', 'x');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
  }
  int Run(const std::string& Args, std::string* Out = nullptr, std::string* Err = nullptr) {
    tooltest::TRun r = Exec(Args);
    if (Out) *Out = r.Out;
    if (Err) *Err = r.Err;
    return r.Code;
  }

  // A grid bound to the table, loaded from File.
  std::vector<std::string> LoadIntoGrid(const fs::path& File, TComponent* Owner, TRixDBGrid*& Grid) {
    auto* ds = new TSQLiteDataSet(Owner);
    ds->SetDatabaseName(Db.string());
    ds->SetTableName("Goods");
    ds->Open();
    auto* source = new TDataSource(Owner);
    source->SetDataSet(ds);
    Grid = new TRixDBGrid(Owner);
    Grid->SetDataSource(source);
    Grid->Columns()->LoadFromFile(File.string());
    std::vector<std::string> names;
    for (int i = 0; i < Grid->Columns()->Count(); ++i) {
      TRixColumn* c = Grid->Columns()->Items(i);
      EXPECT_NE(c->Field(), nullptr) << c->FieldName();
      names.push_back(c->FieldName());
    }
    return names;
  }

  fs::path Db;
};

TEST_F(RixgridColumns, NewWritesOneColumnPerTableColumnInOrder) {
  const fs::path set = Dir / "goods.rixcols";
  std::string err;
  ASSERT_EQ(Run("columns new " + Db.string() + " --table Goods -o " + set.string(), nullptr, &err), 0) << err;
  std::string text;
  ASSERT_EQ(Run("stream dump " + set.string(), &text), 0);
  size_t at = 0;
  for (const char* name : {"'Code'", "'Title'", "'Price'", "'Added'", "'Memo'"}) {
    const size_t next = text.find(std::string("FieldName = ") + name, at);
    ASSERT_NE(next, std::string::npos) << name << "\n" << text;
    at = next;
  }
  EXPECT_EQ(text.rfind("object TRixColumnsWrapper", 0), 0u);

  TComponent owner(nullptr);
  TRixDBGrid* grid = nullptr;
  EXPECT_EQ(LoadIntoGrid(set, &owner, grid), (std::vector<std::string>{"Code", "Title", "Price", "Added", "Memo"}));
  EXPECT_EQ(grid->Columns()->State(), csCustomized);
}

TEST_F(RixgridColumns, ASetEditedAsTextLoadsBackIntoAGrid) {
  const fs::path set = Dir / "goods.rixcols", edited = Dir / "edited.txt", rebuilt = Dir / "edited.rixcols";
  ASSERT_EQ(Run("columns new " + Db.string() + " --table Goods -o " + set.string()), 0);
  std::string text;
  ASSERT_EQ(Run("stream dump " + set.string(), &text), 0);
  // Drop the Code column, give Title a caption and a width.
  const size_t first = text.find("    item");
  const size_t second = text.find("    item", first + 1);
  text.erase(first, second - first);
  const size_t title = text.find("FieldName = 'Title'");
  text.insert(title, "Color = clInfoBk\n      ");
  text.insert(text.find("Visible = True", title), "Title.Caption = '品名'\n      Width = 150\n      ");
  std::ofstream(edited) << text;
  std::string err;
  ASSERT_EQ(Run("stream build " + edited.string() + " -o " + rebuilt.string(), nullptr, &err), 0) << err;

  TComponent owner(nullptr);
  TRixDBGrid* grid = nullptr;
  EXPECT_EQ(LoadIntoGrid(rebuilt, &owner, grid), (std::vector<std::string>{"Title", "Price", "Added", "Memo"}));
  TRixColumn* c = grid->Columns()->Items(0);
  EXPECT_EQ(c->Title()->Caption(), "品名");
  EXPECT_EQ(c->Width(), 150);
  EXPECT_EQ(c->Color(), clInfoBk);
}

TEST_F(RixgridColumns, MissingDatabaseTableOrArgumentsFailWithoutWriting) {
  const fs::path out = Dir / "out.rixcols";
  std::string err;
  EXPECT_EQ(Run("columns new " + (Dir / "none.db").string() + " --table Goods -o " + out.string(), nullptr, &err), 1);
  EXPECT_FALSE(fs::exists(Dir / "none.db"));
  EXPECT_EQ(Run("columns new " + Db.string() + " --table Nope -o " + out.string(), nullptr, &err), 1);
  EXPECT_NE(err.find("Nope"), std::string::npos) << err;
  EXPECT_EQ(Run("columns new " + Db.string() + " -o " + out.string()), 2);
  EXPECT_EQ(Run("columns new " + Db.string() + " --table"), 2);
  EXPECT_FALSE(fs::exists(out));
}

} // namespace
