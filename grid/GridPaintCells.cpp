// TRixCustomDBGrid: cells with drawing of their own: push buttons with
// glyph and caption, check boxes of Boolean fields, pictures from graphic
// blob fields and the text of memo fields.
#include "grid/RixDBGrid.h"

#include "drawing/Drawing.h"

#include <algorithm>
#include <cmath>

namespace {

// DrawText's flags for a control's bidirectional mode: right-to-left
// reading, and left and right swapped when the alignment is mirrored.
int DrawTextBiDiModeFlags(const TControl& C, int Flags) {
  if (C.UseRightToLeftAlignment()) {
    if ((Flags & (DT_CENTER | DT_RIGHT)) == 0)
      Flags |= DT_RIGHT;
    else if ((Flags & DT_RIGHT) != 0)
      Flags &= ~static_cast<int>(DT_RIGHT);
  }
  if (C.UseRightToLeftReading()) Flags |= DT_RTLREADING;
  return Flags;
}

} // namespace

void TRixCustomDBGrid::DrawCellSpecial(int ACol, int ARow, TRixColumn* Column, const TRect& ARect,
                                       TGridDrawState) {
  TCanvas* canvas = Canvas();
  TField* field = Column->Field();
  switch (Column->ButtonStyle()) {
  case cbsButton: {
    TRect drawRect = ARect;
    unsigned state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (FMouseDownPos.X == ACol && FMouseDownPos.Y == ARow) state |= DFCS_PUSHED;
    DrawFrameControl(canvas->Handle(), drawRect, DFC_BUTTON, state);
    canvas->Font()->SetColor(Font()->Color());
    canvas->Pen()->SetColor(clWindowText);
    canvas->Brush()->SetColor(clBtnFace);
    Column->ButtonGlyph()->Draw(canvas, drawRect, TPoint{0, 0}, Column->ButtonCaption(), Column->Layout(),
                                Column->Margin(), Column->Spacing(), Column->State(), Column->Transparent(),
                                DrawTextBiDiModeFlags(*this, 0));
    break;
  }
  case cbsCheck: {
    canvas->FillRect(ARect);
    if (field == nullptr || field->DataType() != ftBoolean) break;
    const int width = ARect.Right - ARect.Left, height = ARect.Bottom - ARect.Top;
    FCheckSize = std::max(std::min(width, height), 10);
    TRect box;
    box.Left = ARect.Left + (width - FCheckSize) / 2;
    box.Top = ARect.Top + (height - FCheckSize) / 2;
    box.Right = box.Left + FCheckSize;
    box.Bottom = box.Top + FCheckSize;
    unsigned state = 0;
    if (field->IsNull())
      state = DFCS_BUTTON3STATE | DFCS_CHECKED;
    else if (field->AsBoolean())
      state = DFCS_CHECKED;
    if (!Enabled()) state |= DFCS_INACTIVE;
    DrawFrameControl(canvas->Handle(), box, DFC_BUTTON, state);
    break;
  }
  default:
    if (field == nullptr) break;
    if (IsBlobLikeType(field->DataType()) && Column->ShowImages()) PaintImageCell(Column, ARect);
    if ((field->DataType() == ftMemo || field->DataType() == ftFmtMemo) && Column->ShowMemoText())
      MemoCell(Column, ARect);
    break;
  }
}

// The picture keeps its aspect ratio and fills the cell's height, or its
// width when that is the tighter side. A picture or a cell with no extent
// has no ratio to keep: the cell shows its background only.
void TRixCustomDBGrid::PaintImageCell(TRixColumn* Column, const TRect& ARect) {
  TCanvas* canvas = Canvas();
  canvas->FillRect(ARect);
  TPicture picture;
  try {
    picture.Assign(Column->Field());
  } catch (const std::exception&) {
    return;
  }
  if (picture.Graphic() == nullptr || picture.Graphic()->Empty()) return;
  const int cellW = ARect.Right - ARect.Left, cellH = ARect.Bottom - ARect.Top;
  if (picture.Width() <= 0 || picture.Height() <= 0 || cellW <= 0 || cellH <= 0) return;
  const float ratio = static_cast<float>(picture.Width()) / static_cast<float>(picture.Height());
  int h = cellH;
  int w = static_cast<int>(std::trunc(static_cast<float>(h) * ratio));
  if (w > cellW) {
    w = cellW;
    h = static_cast<int>(std::trunc(static_cast<float>(w) / ratio));
  }
  TRect r;
  r.Left = (ARect.Right + ARect.Left - w) / 2;
  r.Right = r.Left + w;
  r.Top = (ARect.Bottom + ARect.Top - h) / 2;
  r.Bottom = r.Top + h;
  r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  canvas->StretchDraw(r, picture.Graphic());
}

void TRixCustomDBGrid::MemoCell(TRixColumn* Column, const TRect& ARect) {
  TCanvas* canvas = Canvas();
  canvas->FillRect(ARect);
  std::string s;
  try {
    s = Column->Field()->AsString();
  } catch (const std::exception&) {
    s.clear();
  }
  if (s.empty()) return;
  TRect r = Rect(ARect.Left + 1, ARect.Top + 1, ARect.Right - 1, ARect.Bottom - 1);
  r.Right -= GetSystemMetrics(SM_CXVSCROLL);
  CompCLR::DrawText(canvas->Handle(), s, -1, r, DT_WORDBREAK | DT_NOPREFIX);
}
