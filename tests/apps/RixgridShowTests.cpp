// rixgrid show, run as a user would: the sample shop drawn into a PNG, and
// bad command lines and inputs refused without leaving a picture behind.
#include <RixDBGrids.h>

#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using tooltest::TRun;

class RixgridShow : public tooltest::TToolTest {
protected:
  RixgridShow() : TToolTest("rixgrid-show") {}

  void SetUp() override {
    TToolTest::SetUp();
    Shop = fs::path(RIX_BINARY_DIR) / "sample" / "shop.db";
    Form = fs::path(RIX_SOURCE_DIR) / "resources" / "demo" / "shop-grid.txt";
    if (!fs::exists(Shop)) GTEST_SKIP() << "the sample database is not built";
  }
  TRun Run(const std::string& Args) { return Exec("show " + Args, "env -u DISPLAY ASAN_OPTIONS=detect_leaks=0 "); }
  std::unique_ptr<TPicture> Load(const fs::path& P) {
    auto pic = std::make_unique<TPicture>();
    pic->LoadFromFile(P.string());
    return pic;
  }
  // Pixels of an exact colour in the picture.
  int Count(TPicture& Pic, TColor Color) {
    auto b = std::make_unique<TBitmap>(Pic.Width(), Pic.Height());
    b->Canvas()->Draw(0, 0, Pic.Graphic());
    int n = 0;
    for (int y = 0; y < b->Height(); ++y)
      for (int x = 0; x < b->Width(); ++x) n += b->Canvas()->Pixels(x, y) == ColorToRGB(Color) ? 1 : 0;
    return n;
  }

  fs::path Shop, Form;
};

TEST_F(RixgridShow, TheSampleFormDrawsTheShopIntoAPng) {
  const fs::path png = Dir / "shop.png";
  TRun r = Run(Shop.string() + " --table products --form " + Form.string() + " --png " + png.string() +
               " --size 640x400");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(r.Out, png.string() + "\n");
  auto pic = Load(png);
  EXPECT_EQ(pic->Width(), 640);
  EXPECT_EQ(pic->Height(), 400);
  // The focused record's yellow and the alternating grey of the form file.
  EXPECT_GT(Count(*pic, TColor(14811135)), 100);
  EXPECT_GT(Count(*pic, TColor(16446444)), 100);
  EXPECT_GT(Count(*pic, clBtnFace), 100) << "titles";
}

TEST_F(RixgridShow, QueriesAndRowsPerRecordWithoutAForm) {
  const fs::path png = Dir / "q.png";
  TRun r = Run(Shop.string() + " --sql 'SELECT id, name, kana, price FROM products' --rows-per-record 2 --png " +
               png.string() + " --size 320x200");
  ASSERT_EQ(r.Code, 0) << r.Err;
  auto pic = Load(png);
  EXPECT_EQ(pic->Width(), 320);
  EXPECT_GT(Count(*pic, clWindow), 1000);
}

TEST_F(RixgridShow, BadInputFailsWithoutWritingAPicture) {
  const fs::path png = Dir / "bad.png";
  const fs::path badForm = Dir / "bad.txt";
  std::ofstream(badForm) << "object G: TRixDBGrid\n  NoSuchProperty = 1\nend\n";
  struct TCase {
    std::string Args;
    int Code;
  };
  for (const TCase& c : {TCase{"--table products --table2", 2}, TCase{"--table products --sql 'SELECT 1'", 2},
                         TCase{"--size 10", 2}, TCase{"--rows-per-record 0", 2}, TCase{"--table nosuchtable", 1},
                         TCase{"--table products --form " + badForm.string(), 1},
                         TCase{"--table products --rows-per-record 99", 1}}) {
    TRun r = Run(Shop.string() + " " + c.Args + " --png " + png.string());
    EXPECT_EQ(r.Code, c.Code) << c.Args << ": " << r.Err;
    EXPECT_FALSE(fs::exists(png)) << c.Args;
    EXPECT_FALSE(r.Err.empty()) << c.Args;
  }
  TRun missing = Run((Dir / "none.db").string() + " --png " + png.string());
  EXPECT_EQ(missing.Code, 1);
  EXPECT_FALSE(fs::exists(png));
}

} // namespace
