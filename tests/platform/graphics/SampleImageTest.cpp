// Renders a sample of the drawing layer to a PNG for a person to look at:
// 3-D frames, check boxes, a push button, scroll arrows, a focus rectangle
// and wrapped Japanese text. Written to $RIX_BINARY_DIR/test-output/
// graphics_sample.png (the test's temporary directory when that is unset).
#include "GraphicsTestUtil.h"

#include <cstdlib>
#include <filesystem>

namespace {

std::string OutputPath() {
  const char* bin = std::getenv("RIX_BINARY_DIR");
  std::filesystem::path dir = bin ? std::filesystem::path(bin) / "test-output" : std::filesystem::path(::testing::TempDir());
  std::filesystem::create_directories(dir);
  return (dir / "graphics_sample.png").string();
}

TEST(Sample, WritesAPngOfFramesCheckBoxesFocusAndJapaneseText) {
  TBitmap b(320, 200);
  TCanvas* c = b.Canvas();
  HDC dc = c->Handle();
  c->Brush()->SetColor(clWindow);
  c->FillRect({0, 0, 320, 200});

  // A title row: raised fixed cells as the grid frames them.
  const char* titles[] = {"コード", "名前", "在庫"};
  for (int i = 0; i < 3; ++i) {
    TRect cell = Bounds(i * 80, 0, 80, 20);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(cell);
    TRect text = cell;
    InflateRect(text, -2, -2);
    DrawText(dc, titles[i], -1, text, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
    DrawEdge(dc, cell, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
    DrawEdge(dc, cell, BDR_RAISEDINNER, BF_TOPLEFT);
  }
  TRect ex{240, 0, 320, 20};
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(ex);
  TRect arrow{300, 2, 318, 18};
  DrawFrameControl(dc, arrow, DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_FLAT);

  // Check boxes: unchecked, checked, greyed, inactive.
  unsigned states[] = {0, DFCS_CHECKED, DFCS_BUTTON3STATE | DFCS_CHECKED, DFCS_CHECKED | DFCS_INACTIVE};
  for (int i = 0; i < 4; ++i) {
    TRect box = Bounds(10 + i * 24, 30, 13, 13);
    DrawFrameControl(dc, box, DFC_BUTTON, states[i]);
  }
  TRect button{120, 28, 220, 50};
  DrawFrameControl(dc, button, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  SetBkMode(dc, TRANSPARENT);
  DrawText(dc, "&保存", -1, button, DT_SINGLELINE | DT_CENTER | DT_VCENTER);

  // A selected cell with its focus rectangle.
  TRect sel{10, 60, 150, 80};
  c->Brush()->SetColor(clHighlight);
  c->FillRect(sel);
  c->Font()->SetColor(clHighlightText);
  TRect selText = sel;
  InflateRect(selText, -2, -2);
  DrawText(dc, "選択されたセル", -1, selText, DT_SINGLELINE | DT_VCENTER);
  DrawFocusRect(dc, sel);

  // Wrapped Japanese text in a framed cell.
  c->Font()->SetColor(clWindowText);
  TRect memo{10, 90, 170, 190};
  c->Brush()->SetColor(clInfoBk);
  c->FillRect(memo);
  c->Brush()->SetColor(clBlack);
  c->FrameRect(memo);
  TRect memoText = memo;
  InflateRect(memoText, -3, -3);
  c->Brush()->SetColor(clInfoBk);
  DrawText(dc, "このフォルダにはすでに同名のファイルが存在します。上書きしますか？", -1, memoText,
           DT_WORDBREAK | DT_NOPREFIX);

  TRect sunken{190, 90, 310, 190};
  DrawEdge(dc, sunken, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
  c->Brush()->SetColor(clBtnFace);
  DrawText(dc, "クリップボードに保存", -1, sunken, DT_WORDBREAK | DT_CENTER);

  std::string path = OutputPath();
  b.SaveToPNG(path);
  TPicture p;
  p.LoadFromFile(path);
  EXPECT_EQ(p.Width(), 320);
  EXPECT_EQ(p.Height(), 200);
}

} // namespace
