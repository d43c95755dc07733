// The seven indicator and order-arrow images, checked pixel by pixel through
// the grid's image lists against the pictures the grid is specified with.
#include "GridTestSupport.h"

namespace {

struct BitmapCase {
  const char* Name;
  bool Indicator;  // FIndicators, else FOrderArrow
  int Index;
  std::vector<std::string> Rows;
};

void PrintTo(const BitmapCase& C, std::ostream* Os) { *Os << C.Name; }

const BitmapCase Cases[] = {
    {"RIXDBARROW", true, 0,
     {"X.....", "XX....", "XXX...", "XXXX..", "XXXXX.", "XXXXXX", "XXXXX.", "XXXX..", "XXX...", "XX....", "X....."}},
    {"RIXDBEDIT", true, 1,
     {"XX..XX", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "..XX..", "XX..XX"}},
    {"RIXDBINSERT", true, 2,
     {"......", "......", "......", ".X..X.", "..XX..", "XXXXXX", "..XX..", ".X..X.", "......", "......", "......"}},
    {"RIXDBMULTIDOT", true, 3,
     {"......", "......", "......", "..XX..", ".XXXX.", ".XXXX.", ".XXXX.", "..XX..", "......", "......", "......"}},
    {"RIXDBMULTIARROW", true, 4,
     {"X.....", "XX....", ".XX...", "..XX..", "XX.XX.", "XX..XX", "XX.XX.", "..XX..", ".XX...", "XX....", "X....."}},
    {"RIXDBASCARROW", false, 0, {"...X...", "..XXX..", ".XXXXX.", "XXXXXXX", ".......", ".......", "......."}},
    {"RIXDBDSCARROW", false, 1, {".......", ".......", ".......", "XXXXXXX", ".XXXXX.", "..XXX..", "...X..."}},
};

class GridBitmaps : public ::testing::TestWithParam<BitmapCase> {};

} // namespace

TEST_P(GridBitmaps, ImageHasTheSizeAndPixelsOfItsPictureWithWhiteTransparent) {
  const BitmapCase& c = GetParam();
  TRixDBGrid grid(nullptr);
  TImageList* list = c.Indicator ? grid.Indicators() : grid.OrderArrow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Count(), c.Indicator ? 5 : 2);
  const int h = static_cast<int>(c.Rows.size());
  const int w = static_cast<int>(c.Rows[0].size());
  EXPECT_EQ(list->Width(), w);
  EXPECT_EQ(list->Height(), h);
  // Drawn over red: black where the picture has X, red (transparent) elsewhere.
  TBitmap target(w + 2, h + 2);
  target.Canvas()->Brush()->SetColor(clRed);
  target.Canvas()->FillRect(Rect(0, 0, w + 2, h + 2));
  list->Draw(target.Canvas(), 1, 1, c.Index);
  for (int y = 0; y < h + 2; ++y)
    for (int x = 0; x < w + 2; ++x) {
      bool inside = x >= 1 && y >= 1 && x <= w && y <= h;
      bool black = inside && c.Rows[static_cast<size_t>(y - 1)][static_cast<size_t>(x - 1)] == 'X';
      EXPECT_EQ(ColorToRGB(target.Canvas()->Pixels(x, y)), black ? 0x000000 : ColorToRGB(clRed))
          << c.Name << " at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(All, GridBitmaps, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<BitmapCase>& I) { return std::string(I.param.Name); });
