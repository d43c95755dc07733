// rixgrid show in a real window on a private Xvfb display, driven with
// xdotool as a user drives it; the test reads the tool's state lines and a
// snapshot of what the window shows. Skipped without Xvfb or xdotool.
#include "XvfbSession.h"

#include <RixDBGrids.h>

#include <algorithm>
#include <map>

namespace {

using namespace tooltest;

class RixgridWindow : public TToolTest {
protected:
  RixgridWindow() : TToolTest("rixgrid-window"), X(Dir) {}
  void SetUp() override {
    TToolTest::SetUp();
    const std::string why = X.Start();
    if (!why.empty()) GTEST_SKIP() << why;
    Db = Dir / "shop.db";
    fs::copy_file(fs::path(RIX_BINARY_DIR) / "sample" / "shop.db", Db);
  }
  // Opens the window; false when it did not come up.
  bool Open(const std::string& Options) {
    Out = Dir / "out";
    Snapshot = Dir / "frame.png";
    App = X.Launch(Tool.string() + " show " + Db.string() + " " + Options + " --window --size 800x500 --echo" +
                       " --snapshot " + Snapshot.string(),
                   Out, Dir / "err");
    Wid = X.FindWindow("rixgrid show");
    if (Wid.empty() || !WaitUntil([&] { return Slurp(Out).find("READY") != std::string::npos; }, 20)) return false;
    X.Xdotool("windowfocus --sync " + Wid);
    return true;
  }
  // The values of the last STATE line.
  std::map<std::string, int> State() {
    const std::string all = Slurp(Out);
    const size_t at = all.rfind("STATE ");
    std::map<std::string, int> m;
    if (at == std::string::npos) return m;
    std::istringstream line(all.substr(at + 6, all.find('\n', at) - at - 6));
    std::string kv;
    while (line >> kv) {
      const size_t eq = kv.find('=');
      if (eq != std::string::npos) m[kv.substr(0, eq)] = std::stoi(kv.substr(eq + 1));
    }
    return m;
  }
  bool WaitForRecNo(const std::function<bool(int)>& Wanted) {
    return WaitUntil([&] { auto s = State(); return s.count("recno") && Wanted(s["recno"]); }, 20);
  }
  void Keys(const std::string& Keys) { X.Xdotool("key --window " + Wid + " --delay 80 " + Keys); }
  // What the window shows now.
  std::unique_ptr<TBitmap> Frame() {
    fs::remove(Snapshot);
    const size_t before = Slurp(Out).size();
    ::kill(App, SIGUSR1);
    if (!WaitUntil([&] { return Slurp(Out).find("SNAPSHOT", before) != std::string::npos; }, 20)) return nullptr;
    TPicture pic;
    pic.LoadFromFile(Snapshot.string());
    auto bmp = std::make_unique<TBitmap>();
    bmp->SetSize(pic.Width(), pic.Height());
    bmp->Canvas()->Draw(0, 0, pic.Graphic());
    return bmp;
  }
  struct TColumnPlace {
    std::string Field;
    TRect Cell, Title;
  };
  // The columns as the last COLUMN lines give them.
  std::vector<TColumnPlace> Columns() {
    const std::string all = Slurp(Out);
    const size_t end = all.rfind("COLUMNS-END");
    std::vector<TColumnPlace> cols;
    if (end == std::string::npos) return cols;
    size_t start = all.rfind("READY", end);
    const size_t prevEnd = all.rfind("COLUMNS-END", end == 0 ? 0 : end - 1);
    if (prevEnd != std::string::npos && prevEnd != end && (start == std::string::npos || prevEnd > start))
      start = prevEnd;
    std::istringstream in(all.substr(start, end - start));
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream l(line);
      std::string tag;
      int index = 0;
      TColumnPlace c;
      if (l >> tag >> index >> c.Field >> c.Cell.Left >> c.Cell.Top >> c.Cell.Right >> c.Cell.Bottom >> c.Title.Left >>
              c.Title.Top >> c.Title.Right >> c.Title.Bottom &&
          tag == "COLUMN")
        cols.push_back(c);
    }
    return cols;
  }
  const TColumnPlace* Column(const std::string& Field) {
    static thread_local std::vector<TColumnPlace> cols;
    cols = Columns();
    for (const auto& c : cols)
      if (c.Field == Field) return &c;
    return nullptr;
  }
  void Click(int PX, int PY) {
    X.Xdotool("mousemove --window " + Wid + " " + std::to_string(PX) + " " + std::to_string(PY) + " click 1");
  }
  // Presses at one point, moves in steps (the grid follows a dragged title
  // on its timer) and releases at the other.
  void Drag(TPoint From, TPoint To) {
    auto at = [&](TPoint P) { return std::to_string(P.X) + " " + std::to_string(P.Y); };
    X.Xdotool("mousemove --window " + Wid + " " + at(From) + " mousedown 1");
    for (int i = 1; i <= 4; ++i) {
      TPoint p{From.X + (To.X - From.X) * i / 4, From.Y + (To.Y - From.Y) * i / 4};
      X.Xdotool("mousemove --window " + Wid + " " + at(p) + " sleep 0.15");
    }
    X.Xdotool("sleep 0.3 mouseup 1");
  }
  std::string Diagnostics() { return "\n--- output:\n" + Slurp(Out) + "\n--- errors:\n" + Slurp(Dir / "err"); }

  TXvfbSession X;
  fs::path Db, Out, Snapshot;
  pid_t App = 0;
  std::string Wid;
};

// The rows of Frame where Pred holds for some pixels of the x range, but
// not for all of them (which a line across the range would give).
std::vector<int> RowsWhere(TBitmap& Frame, int X0, int X1, const std::function<bool(TColor)>& Pred) {
  std::vector<int> rows;
  for (int y = 0; y < Frame.Height(); ++y) {
    int n = 0;
    for (int x = X0; x < X1; ++x) n += Pred(Frame.Canvas()->Pixels(x, y)) ? 1 : 0;
    if (n > 0 && (n < X1 - X0 || X1 - X0 > 40)) rows.push_back(y);
  }
  return rows;
}

// After Down three times and PageDown the dataset has moved, and the one
// highlighted cell and the indicator arrow stand on the same grid row.
TEST_F(RixgridWindow, KeysMoveTheDatasetAndTheIndicatorAndHighlightAgree) {
  ASSERT_TRUE(Open("--table products --rows-per-record 1")) << Diagnostics();
  ASSERT_TRUE(WaitForRecNo([](int R) { return R == 1; })) << Diagnostics();
  Keys("Down Down Down");
  ASSERT_TRUE(WaitForRecNo([](int R) { return R == 4; })) << Diagnostics();
  Keys("Next");
  ASSERT_TRUE(WaitForRecNo([](int R) { return R > 4; })) << Diagnostics();
  auto s = State();
  EXPECT_EQ(s["row"], s["titles"] + s["active"]) << "the current row is the active record's";
  std::unique_ptr<TBitmap> frame = Frame();
  ASSERT_NE(frame, nullptr) << Diagnostics();
  // The indicator column is the first dozen pixels, inside its frame; its
  // arrow is black.
  const std::vector<int> arrow = RowsWhere(*frame, 3, 12, [](TColor C) { return C == clBlack; });
  const TColor highlight = ColorToRGB(clHighlight);
  const std::vector<int> lit = RowsWhere(*frame, 14, frame->Width() - 20, [&](TColor C) { return C == highlight; });
  ASSERT_FALSE(arrow.empty()) << "no indicator arrow";
  ASSERT_FALSE(lit.empty()) << "no highlighted cell";
  EXPECT_LT(lit.back() - lit.front(), 40) << "one highlighted cell, one row high";
  const int arrowMiddle = (arrow.front() + arrow.back()) / 2;
  EXPECT_GE(arrowMiddle, lit.front());
  EXPECT_LE(arrowMiddle, lit.back());
}

// The n-th row of the table in rowid order, one column of it, through a
// connection of our own.
std::string ValueInFile(const fs::path& Db, int Row, const std::string& Column) {
  TComponent owner(nullptr);
  auto* q = new TSQLiteDataSet(&owner);
  q->SetDatabaseName(Db.string());
  q->SetSQL("SELECT " + Column + " FROM products ORDER BY rowid LIMIT 1 OFFSET " + std::to_string(Row - 1));
  q->Open();
  return q->Fields()->Fields(0)->AsString();
}

// The pixels of the left half of R in Frame (the caption; the order arrow,
// which the title click after a drag steps on, sits at the right), less a
// margin that grid lines and frames take.
std::vector<TColor> Block(TBitmap& Frame, TRect R) {
  std::vector<TColor> px;
  for (int y = R.Top + 3; y < R.Bottom - 3; ++y)
    for (int x = R.Left + 3; x < (R.Left + R.Right) / 2; ++x) px.push_back(Frame.Canvas()->Pixels(x, y));
  return px;
}

// With the sample form (two rows per record, a check-box column): a click
// on the fifth record makes it current; a click on its check box and a
// click on another record change that row in the file; dragging a title
// moves the column, and the next frame shows its title in the new place.
TEST_F(RixgridWindow, ClicksMoveRecordsToggleCheckBoxesAndTitlesMoveColumns) {
  const std::string form = std::string(RIX_SOURCE_DIR) + "/resources/demo/shop-grid.txt";
  ASSERT_TRUE(Open("--table products --form " + form)) << Diagnostics();
  ASSERT_TRUE(WaitUntil([&] { return Column("in_stock") != nullptr; }, 20)) << Diagnostics();
  const TColumnPlace name = *Column("name"), kana = *Column("kana"), inStock = *Column("in_stock");
  const int recordHeight = kana.Cell.Bottom - name.Cell.Top + 1;
  ASSERT_GT(recordHeight, 10);

  Click(name.Cell.Left + 6, name.Cell.Top + 4 * recordHeight + 4);
  ASSERT_TRUE(WaitForRecNo([](int R) { return R == 5; })) << Diagnostics();

  const std::string before = ValueInFile(Db, 5, "in_stock");
  Click((inStock.Cell.Left + inStock.Cell.Right) / 2, (inStock.Cell.Top + inStock.Cell.Bottom) / 2 + 4 * recordHeight);
  ASSERT_TRUE(WaitUntil([&] { return State()["state"] == dsEdit; }, 20)) << "the check box put the record in edit"
                                                                         << Diagnostics();
  Click(name.Cell.Left + 6, name.Cell.Top + 4);
  ASSERT_TRUE(WaitForRecNo([](int R) { return R == 1; })) << Diagnostics();
  EXPECT_EQ(State()["state"], dsBrowse);
  EXPECT_NE(ValueInFile(Db, 5, "in_stock"), before) << "the toggled value reached the file";
  EXPECT_EQ(ValueInFile(Db, 1, "in_stock"), ValueInFile(Db, 1, "in_stock"));

  const TColumnPlace price = *Column("price");
  std::unique_ptr<TBitmap> first = Frame();
  ASSERT_NE(first, nullptr) << Diagnostics();
  const std::vector<TColor> nameTitle = Block(*first, name.Title);
  Drag({(name.Title.Left + name.Title.Right) / 2, (name.Title.Top + name.Title.Bottom) / 2},
       {(price.Title.Left + price.Title.Right) / 2, (price.Title.Top + price.Title.Bottom) / 2});
  ASSERT_TRUE(WaitUntil([&] { const TColumnPlace* n = Column("name"); return n != nullptr && n->Title.Left != name.Title.Left; }, 20))
      << "the column did not move" << Diagnostics();
  const TColumnPlace moved = *Column("name");
  EXPECT_GT(moved.Title.Left, name.Title.Left);
  std::unique_ptr<TBitmap> second = Frame();
  ASSERT_NE(second, nullptr) << Diagnostics();
  EXPECT_EQ(Block(*second, moved.Title), nameTitle) << "the name's title is drawn in its new place";
  EXPECT_NE(Block(*second, name.Title), nameTitle);
}

} // namespace
