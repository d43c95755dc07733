#include "drawing/WriteText.h"

#include "drawing/CompCLR.h"
#include "platform/core/Checked.h"
#include "platform/graphics/Colors.h"

#include <algorithm>
#include <memory>

using rix::CheckedAdd;
using rix::CheckedSub;

namespace {

std::unique_ptr<TBitmap> GDrawBitmap;
int GUserCount = 0;

void DrawDirect(TCanvas* ACanvas, TRect ARect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                TAlignmentV AlignmentV, bool AWordrap, bool ARightToLeft) {
  if (ACanvas->CanvasOrientation() == coRightToLeft && !ARightToLeft) ChangeBiDiModeAlignment(Alignment);
  ACanvas->FillRect(ARect);
  // DrawText stays inside the cell just filled; an opaque text background
  // of the brush's own colour would only fill those pixels again.
  struct TBkModeScope {
    HDC DC;
    int Old;
    ~TBkModeScope() { SetBkMode(DC, Old); }
  } BkMode{ACanvas->Handle(), ACanvas->Handle()->BkMode()};
  if (ACanvas->Brush()->Style() == bsSolid &&
      ColorToRGB(ACanvas->Handle()->BkColor()) == ColorToRGB(ACanvas->Brush()->Color()))
    SetBkMode(ACanvas->Handle(), TRANSPARENT);
  const TRect Cell = ARect;
  ARect = {CheckedAdd(ARect.Left, DX), CheckedAdd(ARect.Top, DY), CheckedSub(ARect.Right, DX),
           CheckedSub(ARect.Bottom, DY)};
  static constexpr unsigned HAlign[3] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static constexpr unsigned VAlign[3] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  unsigned Format = DT_NOPREFIX | DT_EXPANDTABS | (AWordrap ? DT_WORDBREAK : DT_SINGLELINE) | HAlign[Alignment] |
                    VAlign[AlignmentV];
  // Only the characters that can show are measured and drawn. A value cut
  // to them does not fit the cell in any case and shows from its top: where
  // its middle or end would fall is known only by laying all of it out.
  const std::string_view Shown = VisibleText(ACanvas->Handle(), Text, -1, ARect, Format);
  const bool Cut = Shown.size() < std::min(Text.size(), Text.find('\0'));
  const std::string Visible(Shown);
  int Count = rix::CheckedCast<int>(Visible.size());
  if (AWordrap && !Cut) {
    // DrawText aligns only single lines vertically; wrapped text is moved
    // by its measured extent instead.
    TRect RectTest = ARect;
    CompCLR::DrawText(ACanvas->Handle(), Visible, Count, RectTest, Format | DT_CALCRECT);
    int Width = CheckedSub(RectTest.Right, RectTest.Left), Room = CheckedSub(ARect.Right, ARect.Left);
    if (Alignment == taRightJustify)
      ARect.Left = CheckedSub(ARect.Left, CheckedSub(RectTest.Right, ARect.Right));
    else if (Alignment == taCenter && Width > Room) {
      // Lines are centred by DrawText; only text wider than the room (a
      // character wider than the cell) widens the rectangle, equally on
      // both sides, so its middle stays in the middle of the cell.
      int Extra = Width - Room;
      ARect.Left = CheckedSub(ARect.Left, Extra / 2);
      ARect.Right = CheckedAdd(ARect.Right, Extra - Extra / 2);
    }
    if (AlignmentV == tavCenter)
      ARect.Top = CheckedSub(ARect.Top, CheckedSub(CheckedSub(RectTest.Bottom, RectTest.Top) / 2,
                                                   CheckedSub(ARect.Bottom, ARect.Top) / 2));
    else if (AlignmentV == tavBottom)
      ARect.Top = CheckedSub(ARect.Top, CheckedSub(RectTest.Bottom, ARect.Bottom));
  }
  if (ARect.Left < Cell.Left || ARect.Top < Cell.Top || ARect.Right > Cell.Right || ARect.Bottom > Cell.Bottom) {
    // Text moved out of its cell stays inside it: it must not paint over
    // the neighbouring cells.
    TSaveDC Saved(ACanvas->Handle());
    IntersectClipRect(ACanvas->Handle(), Cell.Left, Cell.Top, Cell.Right, Cell.Bottom);
    CompCLR::DrawText(ACanvas->Handle(), Visible, Count, ARect, Format);
  } else {
    CompCLR::DrawText(ACanvas->Handle(), Visible, Count, ARect, Format);
  }
}

void DrawThroughBitmap(TCanvas* ACanvas, TRect ARect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                       bool ARightToLeft) {
  int W = CheckedSub(ARect.Right, ARect.Left), H = CheckedSub(ARect.Bottom, ARect.Top);
  if (W <= 0 || H <= 0) return;
  TDrawBitmapUse Use;  // the bitmap exists even when no grid registered
  TBitmap* Bmp = GDrawBitmap.get();
  TCanvasLock Lock(Bmp->Canvas());
  Bmp->SetSize(std::max(Bmp->Width(), W), std::max(Bmp->Height(), H));
  TRect R = Rect(DX, DY, W - 1, H - 1);
  TRect B = Rect(0, 0, W, H);
  TCanvas* C = Bmp->Canvas();
  C->SetFont(ACanvas->Font());
  C->Font()->SetColor(ACanvas->Font()->Color());
  C->SetBrush(ACanvas->Brush());
  C->Brush()->SetStyle(bsSolid);
  C->FillRect(B);
  SetBkMode(C->Handle(), TRANSPARENT);
  if (ACanvas->CanvasOrientation() == coRightToLeft) ChangeBiDiModeAlignment(Alignment);
  CompCLR::DrawText(C->Handle(), Text, rix::CheckedCast<int>(Text.size()), R,
                    static_cast<unsigned>(AlignFlags[Alignment] | RTL[ARightToLeft ? 1 : 0]));
  // On Windows a right-to-left canvas is a mirrored device context and the
  // copy is given swapped sides to undo the mirroring. Canvases here are
  // never mirrored, so the copy keeps its sides and the text reads the
  // right way round, placed like that of the direct path.
  ACanvas->CopyRect(ARect, C, B);
}

} // namespace

void ChangeBiDiModeAlignment(TAlignment& Alignment) {
  if (Alignment == taLeftJustify)
    Alignment = taRightJustify;
  else if (Alignment == taRightJustify)
    Alignment = taLeftJustify;
}

void UsesBitmap() {
  if (GUserCount == 0) GDrawBitmap = std::make_unique<TBitmap>();
  GUserCount = CheckedAdd(GUserCount, 1);
}

void ReleaseBitmap() {
  if (GUserCount == 0) return;
  if (--GUserCount == 0) GDrawBitmap.reset();
}

TBitmap* DrawBitmap() { return GDrawBitmap.get(); }

int UserCount() { return GUserCount; }

void WriteText(TCanvas* ACanvas, TRect ARect, int DX, int DY, const std::string& Text, TAlignment Alignment,
               TAlignmentV AlignmentV, bool AWordrap, bool ARightToLeft) {
  if (ACanvas == nullptr) return;
  if (Alignment < taLeftJustify || Alignment > taCenter || AlignmentV < tavTop || AlignmentV > tavBottom)
    throw ERangeError("Text alignment out of range: " + std::to_string(static_cast<int>(Alignment)) + ", " +
                      std::to_string(static_cast<int>(AlignmentV)));
  TColor cr = ColorToRGB(ACanvas->Brush()->Color());
  if (GetNearestColor(ACanvas->Handle(), cr) == cr)
    DrawDirect(ACanvas, ARect, DX, DY, Text, Alignment, AlignmentV, AWordrap, ARightToLeft);
  else
    DrawThroughBitmap(ACanvas, ARect, DX, DY, Text, Alignment, ARightToLeft);
}
