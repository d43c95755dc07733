// Editing in rixgrid show's real window on a private Xvfb display: a typed
// value reaches the database file, and a value the database refuses shows a
// message box while the window, the typed text and the file stay as they
// were. The file is read back with the sqlite3 shell. Skipped without Xvfb,
// xdotool or sqlite3.
#include "XvfbSession.h"

namespace {

using namespace tooltest;

class RixgridEditWindow : public TToolTest {
protected:
  RixgridEditWindow() : TToolTest("rixgrid-edit-window"), X(Dir) {}
  void SetUp() override {
    TToolTest::SetUp();
    if (!HaveCommand("sqlite3")) GTEST_SKIP() << "sqlite3 is not installed";
    const std::string why = X.Start();
    if (!why.empty()) GTEST_SKIP() << why;
    Db = Dir / "stock.db";
    ASSERT_EQ(Sql("CREATE TABLE stock(id INTEGER PRIMARY KEY, name VARCHAR(20), qty INTEGER CHECK (qty >= 0));"
                  "INSERT INTO stock(name, qty) VALUES ('bolt', 5), ('nut', 7), ('gear', 9);"),
              "");
  }
  // Runs SQL on the file through a connection of its own; its output.
  std::string Sql(const std::string& Statements) {
    const fs::path out = Dir / "sql.out";
    const std::string cmd = "sqlite3 " + Db.string() + " \"" + Statements + "\" >" + out.string() + " 2>&1";
    std::system(cmd.c_str());
    std::string s = Slurp(out);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
  }
  bool Open() {
    Out = Dir / "out";
    App = X.Launch(Tool.string() + " show " + Db.string() + " --table stock --window --size 600x300 --echo", Out,
                   Dir / "err");
    Wid = X.FindWindow("rixgrid show");
    if (Wid.empty() || !WaitUntil([&] { return Slurp(Out).find("READY") != std::string::npos; }, 20)) return false;
    X.Xdotool("windowfocus --sync " + Wid);
    return true;
  }
  void Keys(const std::string& Keys) { X.Xdotool("key --window " + Wid + " --delay 80 " + Keys); }
  void Type(const std::string& Text) { X.Xdotool("type --window " + Wid + " --delay 80 -- '" + Text + "'"); }
  // The text of the last CELL line.
  std::string Cell() {
    const std::string all = Slurp(Out);
    const size_t at = all.rfind("CELL ");
    return at == std::string::npos ? std::string() : all.substr(at + 5, all.find('\n', at) - at - 5);
  }
  // The value of Key in the last STATE line (-1 when there is none).
  int StateValue(const std::string& Key) {
    const std::string all = Slurp(Out);
    const size_t at = all.rfind("STATE ");
    const size_t k = at == std::string::npos ? at : all.find(" " + Key + "=", at);
    return k == std::string::npos ? -1 : std::atoi(all.c_str() + k + Key.size() + 2);
  }
  std::string Diagnostics() { return "\n--- output:\n" + Slurp(Out) + "\n--- errors:\n" + Slurp(Dir / "err"); }

  TXvfbSession X;
  fs::path Db, Out;
  pid_t App = 0;
  std::string Wid;
};

TEST_F(RixgridEditWindow, ATypedValueIsPostedToTheFileWhenTheRecordIsLeft) {
  ASSERT_TRUE(Open()) << Diagnostics();
  Keys("Tab");
  Type("washer");
  ASSERT_TRUE(WaitUntil([&] { return Cell() == "washer"; }, 20)) << Diagnostics();
  Keys("Return Down");
  EXPECT_TRUE(WaitUntil([&] { return Sql("SELECT name FROM stock WHERE id = 1") == "washer"; }, 20))
      << Sql("SELECT name FROM stock WHERE id = 1") << Diagnostics();
  EXPECT_EQ(Sql("SELECT count(*) FROM stock"), "3");
}

// The refused post leaves the record in edit state (2) with the typed text,
// and a message box (the application's title) says why.
TEST_F(RixgridEditWindow, AValueBreakingACheckShowsAMessageAndKeepsTheTextAndTheFile) {
  ASSERT_TRUE(Open()) << Diagnostics();
  Keys("Tab Tab");
  Type("-4");
  ASSERT_TRUE(WaitUntil([&] { return Cell() == "-4"; }, 20)) << Diagnostics();
  Keys("Return Down");
  const std::string box = X.FindWindow("^rixgrid$");
  ASSERT_FALSE(box.empty()) << "no message box" << Diagnostics();
  EXPECT_TRUE(X.Alive(App));
  EXPECT_EQ(Sql("SELECT qty FROM stock WHERE id = 1"), "5");
  X.Xdotool("key --window " + box + " Return");
  ASSERT_TRUE(WaitUntil([&] { return X.FindWindow("^rixgrid$", 0.5).empty(); }, 20)) << "the box stays";
  X.Xdotool("windowfocus --sync " + Wid);
  ASSERT_TRUE(WaitUntil([&] { return StateValue("recno") == 1 && StateValue("state") == 2; }, 20))
      << Diagnostics();
  EXPECT_TRUE(X.Alive(App));
  EXPECT_EQ(Cell(), "-4") << Diagnostics();
  EXPECT_EQ(Sql("SELECT qty FROM stock WHERE id = 1"), "5");
}

} // namespace
