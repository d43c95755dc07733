// The SQLite dataset under injected I/O faults: one read, write, sync or
// lock fails, for every such operation of a session that opens, scrolls,
// edits, posts, deletes, inserts and saves a picture. Nothing crashes, a
// failed post keeps the record in its edit or insert state with what was
// typed, and the file stays sound, holding each row whole, old or new.
#include "DataTestSupport.h"
#include "FaultVfs.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

using namespace rixtest;

namespace {

const char* const kKinds[] = {"I/O error", "disk full", "busy"};

std::string PictureBytes() {
  std::string b = "BM";
  for (int i = 0; b.size() < 20000; ++i) b += static_cast<char>(i * 7 % 251);
  return b;
}

// The row of Items with the given ID as one string, or nothing.
std::optional<std::string> RowOf(sqlite3* Db, int Id) {
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(Db, "SELECT Name || '|' || ifnull(Qty, '') || '|' || ifnull(Memo, '') || '|' ||"
                         " ifnull(length(Pic), '') || '|' || ifnull(Pic = ?2, '') FROM Items WHERE ID = ?1",
                     -1, &s, nullptr);
  sqlite3_bind_int(s, 1, Id);
  const std::string pic = PictureBytes();
  sqlite3_bind_blob(s, 2, pic.data(), static_cast<int>(pic.size()), SQLITE_TRANSIENT);
  std::optional<std::string> row;
  if (sqlite3_step(s) == SQLITE_ROW)
    row = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
  sqlite3_finalize(s);
  return row;
}

class FaultInjection : public ::testing::Test {
protected:
  std::string Template, Path;
  std::unique_ptr<TComponent> Owner;

  void SetUp() override {
    auto dir = std::filesystem::temp_directory_path();
    Template = (dir / ("rix_fault_template_" + std::to_string(::getpid()) + ".db")).string();
    Path = (dir / ("rix_fault_" + std::to_string(::getpid()) + ".db")).string();
    std::filesystem::remove(Template);
    sqlite3* db = nullptr;
    sqlite3_open(Template.c_str(), &db);
    sqlite3_exec(db,
                 "CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name VARCHAR(30) NOT NULL, Qty INTEGER, Memo TEXT,"
                 " Pic GRAPHIC);"
                 "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400)"
                 " INSERT INTO Items (ID, Name, Qty, Memo) SELECT i * 10, 'item' || i, i, printf('%.200c', 'm') FROM n;",
                 nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  void TearDown() override {
    Owner.reset();
    for (const std::string& p : {Template, Path, Path + "-journal"}) std::filesystem::remove(p);
  }

  void Fresh() {
    Owner.reset();
    std::filesystem::remove(Path + "-journal");
    std::filesystem::copy_file(Template, Path, std::filesystem::copy_options::overwrite_existing);
    Owner = std::make_unique<TComponent>(nullptr);
  }

  static bool Locate(TDataSet* Ds, int Id) {
    return Ds->Locate("ID", {TFieldValue(static_cast<std::int64_t>(Id))});
  }

  // Posts what was typed; when the post fails, the dataset must still be
  // in State with the typed values (Check), and is cancelled. Answers
  // whether the post went through: a read failing after the write, when the
  // dataset fetches the records again, leaves it in browse state, posted.
  static bool PostOrKeep(TDataSet* Ds, TDataSetState State, const std::function<void()>& Check) {
    try {
      Ds->Post();
      return true;
    } catch (const std::exception&) {
      if (Ds->State() == dsBrowse) return true;
      EXPECT_EQ(Ds->State(), State);
      Check();
      Ds->Cancel();
      return false;
    }
  }

  struct TOutcome {
    bool Opened = false, Edited = false, DeleteTried = false, Deleted = false, Inserted = false, Pictured = false;
  };

  // The session; every step may fail and the next one still runs.
  TOutcome Session() {
    TOutcome o;
    auto* ds = new TSQLiteDataSet(Owner.get());
    ds->SetDatabaseName(Path);
    ds->SetTableName("Items");
    ds->SetCacheSize(64);
    auto step = [&](const std::function<void()>& F) {
      try {
        F();
      } catch (const std::exception&) {
        if (ds->State() != dsInsert && ds->State() != dsEdit) return;
        ds->Cancel();
      }
      const TDataSetState s = ds->State();
      EXPECT_TRUE(s == dsBrowse || s == dsInactive) << "state " << static_cast<int>(s);
    };
    step([&] { ds->Open(); });
    o.Opened = ds->Active();
    if (!o.Opened) return o;
    step([&] {
      ds->First();
      ds->MoveBy(150);
      ds->Last();
      ds->MoveBy(-100);
      ds->First();
    });
    step([&] {
      if (!Locate(ds, 20)) return;
      ds->Edit();
      ds->FieldByName("Name")->SetAsString("edited");
      ds->FieldByName("Qty")->SetAsInteger(999);
      ds->FieldByName("Memo")->SetAsString("new memo");
      o.Edited = PostOrKeep(ds, dsEdit, [&] {
        EXPECT_EQ(ds->FieldByName("Name")->AsString(), "edited");
        EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 999);
        EXPECT_EQ(ds->FieldByName("Memo")->AsString(), "new memo");
      });
    });
    step([&] {
      if (!Locate(ds, 30)) return;
      // A failure while the records are fetched again after the delete
      // leaves it done; one before leaves the row.
      o.DeleteTried = true;
      ds->Delete();
      o.Deleted = true;
    });
    step([&] {
      ds->Append();
      ds->FieldByName("ID")->SetAsInteger(5000);
      ds->FieldByName("Name")->SetAsString("inserted");
      ds->FieldByName("Qty")->SetAsInteger(5);
      o.Inserted = PostOrKeep(ds, dsInsert, [&] {
        EXPECT_EQ(ds->FieldByName("Name")->AsString(), "inserted");
        EXPECT_EQ(ds->FieldByName("Qty")->AsInteger(), 5);
      });
    });
    step([&] {
      if (!Locate(ds, 40)) return;
      ds->Edit();
      ds->FieldByName("Pic")->SetAsString(PictureBytes());
      o.Pictured = PostOrKeep(ds, dsEdit, [&] { EXPECT_EQ(ds->FieldByName("Pic")->AsString(), PictureBytes()); });
    });
    step([&] { ds->Close(); });
    return o;
  }

  // The file as another program finds it.
  void CheckFile(const TOutcome& O, const std::string& Label) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(Path.c_str(), &db, SQLITE_OPEN_READWRITE, "unix"), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW) << Label;
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok") << Label;
    sqlite3_finalize(s);
    const std::string oldMemo(200, 'm');
    const auto edited = RowOf(db, 20);
    EXPECT_EQ(edited, O.Edited ? "edited|999|new memo||" : "item2|2|" + oldMemo + "||") << Label;
    if (O.Deleted || !O.DeleteTried) {
      EXPECT_EQ(RowOf(db, 30).has_value(), !O.Deleted) << Label;
    }
    const auto inserted = RowOf(db, 5000);
    EXPECT_EQ(inserted, O.Inserted ? std::optional<std::string>("inserted|5|||") : std::nullopt) << Label;
    EXPECT_EQ(RowOf(db, 40), O.Pictured ? "item4|4|" + oldMemo + "|20000|1" : "item4|4|" + oldMemo + "||")
        << Label;
    EXPECT_EQ(RowOf(db, 50), "item5|5|" + oldMemo + "||") << Label;
    sqlite3_close(db);
  }
};

TEST_F(FaultInjection, EveryFailingFileOperationOfASessionLosesNothing) {
  TFaultVfs vfs;
  Fresh();
  vfs.Arm(1L << 40, TFault::IoError);
  const TOutcome clean = Session();
  const long operations = vfs.Counted();
  ASSERT_TRUE(clean.Opened && clean.Edited && clean.Deleted && clean.Inserted && clean.Pictured);
  CheckFile(clean, "without faults");
  ASSERT_GT(operations, 20);
  // Each operation fails once, the kinds taking turns; then, for the
  // kinds each operation did not get, every seventh operation again.
  long injected = 0;
  for (long n = 1; n <= operations; ++n) {
    for (int k = 0; k < 3; ++k) {
      if (k != n % 3 && n % 7 != 0) continue;
      Fresh();
      vfs.Arm(n, static_cast<TFault>(k));
      const TOutcome o = Session();
      vfs.Disarm();
      injected += vfs.Fired() ? 1 : 0;
      CheckFile(o, "operation " + std::to_string(n) + " failing with " + kKinds[k]);
      if (HasFailure()) return;
    }
  }
  std::printf("%ld file operations in the session, %ld faults injected\n", operations, injected);
  EXPECT_GT(injected, operations / 2);
}

} // namespace
