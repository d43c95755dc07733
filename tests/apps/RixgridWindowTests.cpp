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

} // namespace
