#include "drawing/BtnGlyph.h"

#include "platform/core/Checked.h"

using rix::CheckedAdd;
using rix::CheckedSub;

namespace {

// Pixel arithmetic of the layout; a rectangle near the integer limits
// raises instead of wrapping.
int Add(int A, int B) { return CheckedAdd(A, B); }
int Sub(int A, int B) { return CheckedSub(A, B); }

// The coordinate along the layout direction: X for glyph left or right,
// Y for glyph above or below.
int& Along(TPoint& P, bool Horizontal) { return Horizontal ? P.X : P.Y; }
int& Across(TPoint& P, bool Horizontal) { return Horizontal ? P.Y : P.X; }

} // namespace

void TButtonGlyph::CalcButtonLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset,
                                    const std::string& Caption, TButtonLayout Layout, int Margin, int Spacing,
                                    TPoint& GlyphPos, TRect& TextBounds, int BiDiFlags) {
  if (BiDiFlags & DT_RIGHT) {
    if (Layout == blGlyphLeft)
      Layout = blGlyphRight;
    else if (Layout == blGlyphRight)
      Layout = blGlyphLeft;
  }
  TPoint ClientSize{Sub(Client.Right, Client.Left), Sub(Client.Bottom, Client.Top)};
  TPoint Glyph = GlyphSize();
  TPoint TextSize{0, 0};
  if (!Caption.empty()) {
    TextBounds = Rect(0, 0, ClientSize.X, 0);
    CompCLR::DrawText(Canvas->Handle(), Caption, rix::CheckedCast<int>(Caption.size()), TextBounds,
                      DT_CALCRECT | static_cast<unsigned>(BiDiFlags));
    TextSize = {Sub(TextBounds.Right, TextBounds.Left), Sub(TextBounds.Bottom, TextBounds.Top)};
  } else {
    TextBounds = EmptyRect;
  }

  bool Horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
  TPoint TextPos{0, 0};
  // Centred across the layout direction.
  Across(GlyphPos, Horizontal) = Add(Sub(Across(ClientSize, Horizontal), Across(Glyph, Horizontal)), 1) / 2;
  Across(TextPos, Horizontal) = Add(Sub(Across(ClientSize, Horizontal), Across(TextSize, Horizontal)), 1) / 2;

  if (TextSize.X == 0 || Glyph.X == 0) Spacing = 0;

  int Client1 = Along(ClientSize, Horizontal), Glyph1 = Along(Glyph, Horizontal), Text1 = Along(TextSize, Horizontal);
  if (Margin == -1) {
    if (Spacing < 0) {
      // Equal gaps before, between and after.
      Margin = Sub(Client1, Add(Glyph1, Text1)) / 3;
      Spacing = Margin;
    } else {
      // One block, centred.
      Margin = Add(Sub(Client1, Add(Add(Glyph1, Spacing), Text1)), 1) / 2;
    }
  } else if (Spacing < 0) {
    // The text centred in the room after the glyph.
    Spacing = Sub(Sub(Client1, Add(Margin, Glyph1)), Text1) / 2;
  }

  switch (Layout) {
  case blGlyphLeft:
  case blGlyphTop:
    Along(GlyphPos, Horizontal) = Margin;
    Along(TextPos, Horizontal) = Add(Add(Margin, Glyph1), Spacing);
    break;
  case blGlyphRight:
  case blGlyphBottom:
    Along(GlyphPos, Horizontal) = Sub(Sub(Client1, Margin), Glyph1);
    Along(TextPos, Horizontal) = Sub(Sub(Along(GlyphPos, Horizontal), Spacing), Text1);
    break;
  }

  int DX = Add(Client.Left, Offset.X), DY = Add(Client.Top, Offset.Y);
  GlyphPos = {Add(GlyphPos.X, DX), Add(GlyphPos.Y, DY)};
  int TX = Add(TextPos.X, DX), TY = Add(TextPos.Y, DY);
  TextBounds = {Add(TextBounds.Left, TX), Add(TextBounds.Top, TY), Add(TextBounds.Right, TX),
                Add(TextBounds.Bottom, TY)};
}

void TButtonGlyph::DrawButtonText(TCanvas* Canvas, const std::string& Caption, TRect TextBounds, TButtonState State,
                                  int BiDiFlags) {
  Canvas->Brush()->SetStyle(bsClear);
  unsigned Format = DT_CENTER | DT_VCENTER | static_cast<unsigned>(BiDiFlags);
  int Count = rix::CheckedCast<int>(Caption.size());
  if (State == bsDisabled) {
    TRect Shifted = TextBounds;
    OffsetRect(Shifted, 1, 1);
    Canvas->Font()->SetColor(clBtnHighlight);
    CompCLR::DrawText(Canvas->Handle(), Caption, Count, Shifted, Format);
    Canvas->Font()->SetColor(clBtnShadow);
    CompCLR::DrawText(Canvas->Handle(), Caption, Count, TextBounds, Format);
  } else {
    CompCLR::DrawText(Canvas->Handle(), Caption, Count, TextBounds, Format);
  }
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const std::string& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State, bool Transparent,
                         int BiDiFlags) {
  TPoint GlyphPos;
  TRect Result;
  CalcButtonLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing, GlyphPos, Result, BiDiFlags);
  DrawButtonGlyph(Canvas, GlyphPos, State, Transparent);
  DrawButtonText(Canvas, Caption, Result, State, BiDiFlags);
  return Result;
}
