// TRixCustomDBGrid: painting one cell. DrawCell decides what a cell is
// (indicator, title or data), picks its colours, and for data cells moves
// the data link to the painted record for the duration of the cell. The
// cell kinds with drawing of their own (buttons, check boxes, pictures,
// memos) are in GridPaintCells.cpp.
#include "grid/RixDBGrid.h"

#include "drawing/Drawing.h"
#include "platform/core/Checked.h"

namespace {

// Expand-button arrows by (canvas right-to-left, column expanded).
constexpr unsigned ScrollArrows[2][2] = {{DFCS_SCROLLRIGHT, DFCS_SCROLLLEFT}, {DFCS_SCROLLLEFT, DFCS_SCROLLRIGHT}};

// The raised frame of fixed cells, around R grown by one pixel.
void FrameFixedCell(TCanvas* Canvas, TRect R) {
  R = Rect(R.Left - 1, R.Top - 1, R.Right + 1, R.Bottom + 1);
  DrawEdge(Canvas->Handle(), R, BDR_RAISEDINNER, BF_BOTTOMRIGHT);
  DrawEdge(Canvas->Handle(), R, BDR_RAISEDINNER, BF_TOPLEFT);
}

bool IsMemo(const TField* F) { return F->DataType() == ftMemo || F->DataType() == ftFmtMemo; }

} // namespace

// The framework keeps numbers, dates and times where their alignment puts
// them in a right-to-left grid; text, Booleans and blobs follow the mirror.
bool TRixCustomDBGrid::UseRightToLeftAlignmentForField(const TField* AField, TAlignment Alignment) const {
  if (!IsRightToLeft()) return false;
  if (AField == nullptr) return Alignment != taCenter;
  const TFieldType t = AField->DataType();
  return t < ftSmallint || t == ftBoolean || (t > ftDateTime && t != ftAutoInc);
}

void TRixCustomDBGrid::InvalidateTitles() {
  if (!HandleAllocated() || !FOptions.Contains(rixdgTitles)) return;
  TGridDrawInfo info;
  CalcFixedInfo(info);
  InvalidateRect(Rect(0, 0, Width(), info.Vert.FixedBoundary));
}

bool TRixCustomDBGrid::RowIsMultiSelected() const {
  if (!FOptions.Contains(rixdgMultiSelect) || !FDataLink->Active()) return false;
  int index = 0;
  return FBookmarks->Find(FDataLink->DataSet()->Bookmark(), index);
}

bool TRixCustomDBGrid::HighlightCell(int, int, const std::string&, TGridDrawState AState) {
  if (RowIsMultiSelected()) return true;
  return AState.Contains(gdSelected) && (FOptions.Contains(rixdgAlwaysShowSelection) || Focused()) &&
         (FUpdateLock == 0 || FOptions.Contains(rixdgRowSelect));
}

void TRixCustomDBGrid::DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State) {
  if (FOnDrawDataCell) FOnDrawDataCell(this, Rect, Field, State);
}

void TRixCustomDBGrid::DrawColumnCell(const TRect& Rect, int DataCol, TRixColumn* Column, TGridDrawState State) {
  if (FOnDrawColumnCell) FOnDrawColumnCell(this, Rect, DataCol, Column, State);
}

void TRixCustomDBGrid::DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState) {
  std::string value;
  TAlignment alignment = taLeftJustify;
  if (Field != nullptr) {
    value = Field->DisplayText();
    alignment = Field->Alignment();
  }
  WriteText(Canvas(), Rect, 2, 2, value, alignment, tavCenter, false,
            UseRightToLeftAlignmentForField(Field, alignment));
}

void TRixCustomDBGrid::DefaultDrawColumnCell(const TRect& Rect, int, TRixColumn* Column, TGridDrawState) {
  TField* f = Column->Field();
  WriteText(Canvas(), Rect, 2, 2, f != nullptr ? f->DisplayText() : std::string(), Column->Alignment(),
            Column->AlignmentV(), false, UseRightToLeftAlignmentForField(f, Column->Alignment()));
}

void TRixCustomDBGrid::DrawIndicatorCell(TRect ARect, int DataRow, int ActiveRecord, int FrameOffs) {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(FixedColor());
  canvas->FillRect(ARect);
  if (!FDataLink->Active()) return;
  bool multiSelected = false;
  if (DataRow >= 0) {
    TActiveRecordGuard move(FDataLink, ActiveRecord);
    multiSelected = RowIsMultiSelected();
  }
  const bool current = FDataLink->ActiveRecord() == ActiveRecord;
  if (!current && !multiSelected) return;
  int indicator = 0;
  if (TDataSet* ds = FDataLink->DataSet()) {
    switch (ds->State()) {
    case dsBrowse: indicator = multiSelected ? (current ? 4 : 3) : 0; break;
    case dsEdit: indicator = 1; break;
    case dsInsert: indicator = 2; break;
    default: indicator = 0; break;
    }
  }
  FIndicators->SetBkColor(FixedColor());
  int x = ARect.Right - FIndicators->Width() - FrameOffs;
  if (canvas->CanvasOrientation() == coRightToLeft) ++x;
  FIndicators->Draw(canvas, x, (ARect.Top + ARect.Bottom - FIndicators->Height()) / 2, indicator, true);
  if (current) FSelRow = rix::CheckedAdd(static_cast<int>(FTitleOffset), DataRow);
}

void TRixCustomDBGrid::DrawTitleCell(const TRect& CellRect, int ARow, TRixColumn* Column, TGridDrawState& AState,
                                     int FrameOffs) {
  TCanvas* canvas = Canvas();
  TRixColumn* master = Column->FDrawColumn;
  if (master == nullptr) {
    canvas->FillRect(CellRect);
    return;
  }
  TRect titleRect = CalcRect(Column, ARow);
  canvas->Font()->Assign(master->Title()->Font());
  canvas->Brush()->SetColor(master->Title()->Color());
  const bool lines = FOptions.Contains(rixdgColLines) && FOptions.Contains(rixdgRowLines);
  if (lines) titleRect = Rect(titleRect.Left + 1, titleRect.Top + 1, titleRect.Right - 1, titleRect.Bottom - 1);
  TRect textRect = titleRect;
  const int i = GetSystemMetrics(SM_CXHSCROLL);
  if (textRect.Right - textRect.Left > i && master->Expandable()) {
    textRect.Right -= i;
    TRect buttonRect = titleRect;
    buttonRect.Left = textRect.Right;
    TSaveDC saved(canvas->Handle());
    canvas->FillRect(buttonRect);
    IntersectClipRect(canvas->Handle(), buttonRect.Left + 1, buttonRect.Top + 1, buttonRect.Right - 1,
                      buttonRect.Bottom - 1);
    const bool rtl = canvas->CanvasOrientation() == coRightToLeft;
    if (rtl) buttonRect.Right += i + 4;
    DrawFrameControl(canvas->Handle(), buttonRect, DFC_SCROLL, ScrollArrows[rtl][master->Expanded()] | DFCS_FLAT);
  }
  WriteText(canvas, textRect, FrameOffs, FrameOffs, master->Title()->Caption(), master->Title()->Alignment(),
            master->Title()->AlignmentV(), false, IsRightToLeft());
  if (master->OrderState() == osAsc || master->OrderState() == osDesc) {
    const int w = FOrderArrow->Width();
    const int x = titleRect.Right - titleRect.Left > w + 8 ? titleRect.Right - (w + 4) : titleRect.Left;
    FOrderArrow->Draw(canvas, x, (titleRect.Top + titleRect.Bottom - FOrderArrow->Height()) / 2,
                      master->OrderState() == osAsc ? 0 : 1, true);
  }
  if (lines) FrameFixedCell(canvas, titleRect);
  AState = AState - TGridDrawState{gdFixed};
}

// The focus rectangle belongs to the grid the user works in: its form's
// active control, or, for a grid that is on no form, the focused grid.
bool TRixCustomDBGrid::FocusRectWanted() const {
  if (TCustomForm* form = GetParentForm(this)) return form->ActiveControl() == this;
  return Focused();
}

void TRixCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARectIn, TGridDrawState AState) {
  TCanvas* canvas = Canvas();
  TRect r = ARectIn;
  if (ComponentState().Contains(csLoading)) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
    return;
  }
  const int dataCol = ACol - FIndicatorOffset;
  const int dataRow = ARow - FTitleOffset;
  if (AState.Contains(gdFixed) && dataCol >= 0 && dataRow >= 0) {
    AState = AState - TGridDrawState{gdFixed};
    if (FOptions.Contains(rixdgRowSelect) && ARow == Row()) AState = AState + TGridDrawState{gdSelected};
  }
  const bool lines = FOptions.Contains(rixdgColLines) && FOptions.Contains(rixdgRowLines);
  int frameOffs = 2;
  if (AState.Contains(gdFixed) && lines) {
    r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    frameOffs = 1;
  }
  const int activeRecord = dataRow >= 0 ? dataRow / FRowsPerRecord : dataRow;

  if (AState.Contains(gdFixed) && dataCol < 0) {
    DrawIndicatorCell(r, dataRow, activeRecord, frameOffs);
  } else if (TRixColumn* oldColumn = CellColumn(ACol, ARow); oldColumn == nullptr) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  } else {
    TRixColumn* drawColumn = oldColumn;
    if (dataRow < 0) {
      DrawTitleCell(r, ARow, drawColumn, AState, frameOffs);
    } else {
      r = CalcRect(drawColumn, ARow);
      drawColumn = drawColumn->FDrawColumn;
    }
    if (!drawColumn->Showing()) return;
    if (!AState.Contains(gdFixed)) {
      canvas->Font()->Assign(drawColumn->Font());
      canvas->Brush()->SetColor(drawColumn->Color());
      if (dataRow % (2 * FRowsPerRecord) >= FRowsPerRecord && FAlternatingRecordColorChange)
        canvas->Brush()->SetColor(FAlternatingRecordColor);
      if (FFocusedRecordColorChange && FDataLink->Active() && FDataLink->ActiveRecord() == activeRecord)
        canvas->Brush()->SetColor(FFocusedRecordColor);
    }
    if (dataRow >= 0 && !FDataLink->Active()) {
      canvas->FillRect(r);
    } else if (dataRow >= 0) {
      DrawDataCellContents(dataCol, dataRow, activeRecord, oldColumn, drawColumn, r, AState);
    }
  }
  if (AState.Contains(gdFixed) && lines) FrameFixedCell(canvas, r);
}

void TRixCustomDBGrid::DrawDataCellContents(int DataCol, int DataRow, int ActiveRecord, TRixColumn* OldColumn,
                                            TRixColumn* DrawColumn, TRect& R, TGridDrawState& AState) {
  TCanvas* canvas = Canvas();
  {
    TActiveRecordGuard move(FDataLink, ActiveRecord);
    std::string value;
    TField* field = DrawColumn->Field();
    if (field != nullptr) {
      if (IsMemo(field) && DrawColumn->ShowMemoText()) {
        try {
          value = field->AsString();
        } catch (const std::exception&) {
          value.clear();
        }
      } else {
        value = field->DisplayText();
      }
    }
    if (move.OldActiveRecord() == ActiveRecord) {
      if (FOptions.Contains(rixdgRowSelect)) AState = AState + TGridDrawState{gdSelected};
      if (InBindColumn(Col(), Row(), OldColumn)) AState = AState + TGridDrawState{gdSelected};
    }
    if (AState.Contains(gdSelected)) FSelectedRect = R;
    if (HighlightCell(DataCol, DataRow, value, AState)) {
      canvas->Brush()->SetColor(clHighlight);
      canvas->Font()->SetColor(clHighlightText);
    }
    if (!Enabled()) canvas->Font()->SetColor(clGrayText);
    if (FDefaultDrawing) {
      bool special = DrawColumn->ButtonStyle() == cbsButton || DrawColumn->ButtonStyle() == cbsCheck;
      if (!special && field != nullptr) {
        const TFieldType t = field->DataType();
        special = (IsMemo(field) && DrawColumn->ShowMemoText()) ||
                  (IsBlobLikeType(t) &&
                   DrawColumn->ShowImages());
      }
      if (special)
        DrawCellSpecial(DataCol, DataRow, DrawColumn, R, AState);
      else
        WriteText(canvas, R, 2, 2, value, DrawColumn->Alignment(), DrawColumn->AlignmentV(), DrawColumn->Wordrap(),
                  UseRightToLeftAlignmentForField(field, DrawColumn->Alignment()));
    }
    if (FColumns->State() == csDefault) DrawDataCell(R, field, AState);
    DrawColumnCell(R, DataCol, DrawColumn, AState);
  }
  if (DrawColumn->ButtonStyle() == cbsButton) R = Rect(R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2);
  if (FDefaultDrawing && AState.Contains(gdSelected) &&
      (FOptions.Contains(rixdgAlwaysShowSelection) || Focused()) && !ComponentState().Contains(csDesigning) &&
      !FOptions.Contains(rixdgRowSelect) && FUpdateLock == 0 && FocusRectWanted())
    DrawFocusRect(canvas->Handle(), R);
}
