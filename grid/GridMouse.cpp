// TRixCustomDBGrid: the mouse. Presses move the record and the current cell
// and open the editor; releases click cells, buttons, check boxes and
// titles; the base grid's column sizing and moving are adapted to nested
// object columns; the designer asks which presses the grid takes.
#include "grid/RixDBGrid.h"

#include "platform/core/Checked.h"

#include <utility>

void TRixCustomDBGrid::CellClick(TRixColumn* Column) {
  if (Column == nullptr) return;
  if (Column->OnClick()) Column->OnClick()(Column);
  if (FOnCellClick) FOnCellClick(Column);
}

// A check box on a Boolean field toggles even with AutoEdit off: clicking
// it is the edit. A dataset that refuses the edit state is left alone and
// the value store below reports the refusal.
void TRixCustomDBGrid::ButtonCheckBoxClick(TRixColumn* Column) {
  if (Column == nullptr) return;
  TField* field = Column->Field();
  TDataSet* ds = FDataLink->DataSet();
  if (FReadOnly || field == nullptr || Column->ReadOnly() || ds == nullptr || !ds->CanModify()) {
    CellClick(Column);
    return;
  }
  TDataSource* source = DataSource();
  if (Column->ButtonStyle() == cbsCheck && field->DataType() == ftBoolean && source != nullptr &&
      source->State() != dsInactive) {
    if (source->State() == dsBrowse) {
      try {
        source->DataSet()->Edit();
      } catch (const std::exception&) {
      }
    }
    if (Column->ButtonState() == bs2State) {
      if (field->IsNull()) field->SetAsBoolean(true);
      field->SetAsBoolean(!field->AsBoolean());
    } else if (field->IsNull()) {
      field->SetAsBoolean(true);
    } else if (field->AsBoolean()) {
      field->SetAsBoolean(false);
    } else {
      field->Clear();
    }
  }
  CellClick(Column);
}

// ---- Presses and releases ----------------------------------------------------------

namespace {
bool ObjectViewOf(const TRixGridDataLink* Link) {
  return Link->DataSet() != nullptr && Link->DataSet()->ObjectView();
}
} // namespace

void TRixCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TGridCoord pressed = MouseCoord(X, Y);
  FPressedCell = TGridCoord{-1, -1};
  if (!AcquireFocus()) return;
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    DblClick();
    // The second release of a double click acts like any release on the
    // cell the first click made current.
    if (pressed.X >= FIndicatorOffset && pressed.Y >= FTitleOffset &&
        InBindColumn(pressed.X, pressed.Y, GetColumns(SelectedIndex())))
      FPressedCell = pressed;
    return;
  }
  if (Sizing(X, Y)) {
    FDataLink->UpdateData();
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  TGridCoord cell = pressed;
  if (cell.X < 0 && cell.Y < 0) {
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  const bool designing = ComponentState().Contains(csDesigning);
  if (DragKind() == dkDock && cell.X < FIndicatorOffset && cell.Y < FTitleOffset && !designing) {
    BeginDrag(false);
    return;
  }
  if (TRixColumn* master = nullptr; PtInExpandButton(X, Y, master)) {
    master->SetExpanded(!master->Expanded());
    ReleaseCapture();
    UpdateDesigner();
    return;
  }
  if (cell.Y < FTitleOffset && (designing || FOptions.Contains(rixdgColumnResize))) {
    FDataLink->UpdateData();
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    return;
  }
  if (FDataLink->Active()) {
    TUpdateLockGuard lock(this);
    FDataLink->UpdateData();
    HideEditor();
    const int oldCol = Col(), oldRow = Row();
    if (cell.Y >= FTitleOffset && cell.Y != Row()) {
      // The current record is the link's active record; Row could lag
      // behind it.
      const int current = FDataLink->ActiveRecord();
      const int clicked = RecordSlot(cell.Y);
      if (clicked != current) {
        FDataLink->MoveBy(clicked - current);
        // Where the dataset stopped is the current record: elsewhere in a
        // window it scrolled to reach the record, or short of it when
        // leaving a new record posted it and the record moved to its
        // place in the order. The row is the same record row of it.
        if (FDataLink->ActiveRecord() != clicked)
          cell.Y = rix::CheckedAdd(rix::CheckedAdd(rix::CheckedMul(FDataLink->ActiveRecord(), FRowsPerRecord),
                                                   static_cast<int>(FTitleOffset)),
                                   GetOffset(cell.Y));
      }
    }
    if (cell.Y < FTitleOffset) {
      // A title row stands for the same record row of the current record,
      // counted from the first data row.
      cell.Y = rix::CheckedAdd(rix::CheckedSub(Row(), GetOffset(Row())), RecordRowOf(cell.Y));
    }
    if (cell.X >= FIndicatorOffset) MoveCol(cell.X, 0, cell.Y, 0, TShiftState{});
    if (Button == mbLeft && FOptions.Contains(rixdgMultiSelect) && FDataLink->Active()) {
      FSelecting = false;
      if (Shift.Contains(ssCtrl)) {
        FBookmarks->SetCurrentRowSelected(!FBookmarks->CurrentRowSelected());
      } else {
        FBookmarks->Clear();
        FBookmarks->SetCurrentRowSelected(true);
      }
    }
    if (Button == mbLeft && ((cell.X == oldCol && cell.Y == oldRow) || FOptions.Contains(rixdgAlwaysShowEditor))) {
      TRixColumn* column = SelectedDrawColumn();
      if (column != nullptr &&
          (column->ButtonStyle() == cbsAuto || column->ButtonStyle() == cbsEllipsis ||
           column->ButtonStyle() == cbsNone) &&
          column->Field() != nullptr && !IsBlobLikeField(column->Field()))
        ShowEditor();
    } else {
      InvalidateEditor();
    }
    if (Button == mbLeft && pressed.X >= FIndicatorOffset && pressed.Y >= FTitleOffset && Col() == cell.X)
      FPressedCell = cell;
  }
  if (TRixColumn* column = SelectedDrawColumn(); column != nullptr && column->ButtonStyle() == cbsButton) {
    FMouseDownPos = TPoint{Col() - FIndicatorOffset, Row() - FTitleOffset};
    Invalidate();
  }
}

void TRixCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const TGridState saveState = GridState();
  const TGridCoord pressed = std::exchange(FPressedCell, TGridCoord{-1, -1});
  TCustomGrid::MouseUp(Button, Shift, X, Y);
  if (saveState == gsRowSizing || saveState == gsColSizing) return;
  if (InplaceEditor() != nullptr && InplaceEditor()->Visible() && PtInRect(InplaceEditor()->BoundsRect(), {X, Y}))
    return;
  const TGridCoord cell = MouseCoord(X, Y);
  if (Button == mbLeft && cell.X >= FIndicatorOffset && cell.Y >= 0) {
    if (cell.Y < FTitleOffset) {
      if (TRixColumn* title = GetColumns(RawToDataColumn(cell.X, cell.Y))) TitleClick(title);
    } else if (pressed.X >= 0) {
      // Only a release inside the merged cell that was pressed clicks it: a
      // press elsewhere (a title, the indicator, a refused focus, a drag)
      // must not toggle or fire the current cell.
      TRixColumn* column = GetColumns(SelectedIndex());
      if (column != nullptr && InBindColumn(cell.X, cell.Y, column) && InBindColumn(pressed.X, pressed.Y, column)) {
        if (column->ButtonStyle() == cbsButton || column->ButtonStyle() == cbsCheck)
          ButtonCheckBoxClick(column);
        else
          CellClick(column);
      }
    }
  }
  FMouseDownPos = TPoint{-1, -1};
  Invalidate();
}

// ---- Titles --------------------------------------------------------------------------

// The grid does not sort: the handler reorders the dataset by the new state.
void TRixCustomDBGrid::TitleClick(TRixColumn* Column) {
  if (FDataLink == nullptr || !FDataLink->Active() || Column == nullptr) return;
  switch (Column->FOrderState) {
  case osAsc: Column->FOrderState = osDesc; break;
  case osDesc: Column->FOrderState = osNone; break;
  case osNone: Column->FOrderState = osAsc; break;
  default: break;
  }
  SetRecordIndex();
  if (FOnTitleClick) FOnTitleClick(Column);
  SetSelectedIndex(SelectedIndex());
  if (Column->OrderState() != osDisable) Invalidate();
}

bool TRixCustomDBGrid::PtInExpandButton(int X, int Y, TRixColumn*& MasterCol) {
  MasterCol = nullptr;
  const TGridCoord cell = MouseCoord(X, Y);
  if (cell.Y < 0 || cell.Y >= FTitleOffset || !FDataLink->Active() || cell.X < FIndicatorOffset) return false;
  const int i = RawToDataColumn(cell.X, cell.Y);
  if (i < 0 || i >= FColumns->Count()) return false;
  TRect r = CalcTitleRect(GetColumns(i), cell.Y, MasterCol);
  const int button = GetSystemMetrics(SM_CXHSCROLL);
  if (UseRightToLeftAlignment())
    r.Right = r.Left + button;
  else
    r.Left = r.Right - button;
  return MasterCol != nullptr && MasterCol->Expandable() && PtInRect(r, {X, Y});
}

// ---- Sizing and moving columns ---------------------------------------------------------

// A parent group's title does not size a column; only the row of the
// column's own title does.
void TRixCustomDBGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                                       TGridDrawInfo& FixedInfo) {
  TCustomGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs, FixedInfo);
  if (State != gsColSizing || !ObjectViewOf(FDataLink)) return;
  const TGridCoord r = MouseCoord(X, Y);
  const int i = RawToDataColumn(r.X);
  if (TRixColumn* c = ColumnOrNil(i); c != nullptr && c->Depth() > r.Y) State = gsNormal;
}

// In object view a title row above a nested column grabs its group: the
// whole group moves, and only among its siblings.
bool TRixCustomDBGrid::BeginColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  const bool result = TCustomGrid::BeginColumnDrag(Origin, Destination, MousePt);
  if (result && ObjectViewOf(FDataLink)) {
    const int row = MouseCoord(MousePt.X, MousePt.Y).Y;
    FDragCol = ColumnAtDepth(ColumnOrNil(RawToDataColumn(Origin)), row);
    if (FDragCol != nullptr) {
      Origin = DataToRawColumn(FDragCol->Index());
      Destination = Origin;
    }
  }
  return result;
}

bool TRixCustomDBGrid::CheckColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  const bool result = TCustomGrid::CheckColumnDrag(Origin, Destination, MousePt);
  if (!result || !ObjectViewOf(FDataLink)) return result;
  // The dragged column went away in the middle of the drag (a relayout
  // rebuilt the columns): the drag ends where it started.
  if (FDragCol == nullptr) {
    Destination = Origin;
    return false;
  }
  const int depth = FDragCol->Depth();
  if (Destination == Origin) return result;
  TRixColumn* dest = ColumnAtDepth(ColumnOrNil(RawToDataColumn(Destination)), depth);
  if (dest == nullptr) {
    Destination = Origin;
    return false;
  }
  TRixColumn* parent = FDragCol->ParentColumn();
  if (dest->ParentColumn() != parent) {
    if (Destination < Origin && parent != nullptr) {
      dest = ColumnOrNil(parent->Index() + 1);
    } else {
      while (dest != nullptr && dest->ParentColumn() != parent) dest = ColumnOrNil(dest->Index() - 1);
    }
    if (dest == nullptr) {
      Destination = Origin;
      return false;
    }
  }
  if (dest->Index() > FDragCol->Index()) {
    int last = dest->Index();
    for (int i = dest->Index() + 1; i < FColumns->Count() && ColumnAtDepth(FColumns->Items(i), depth) == dest; ++i)
      last = i;
    dest = FColumns->Items(last);
  }
  Destination = DataToRawColumn(dest->Index());
  return result;
}

bool TRixCustomDBGrid::EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) {
  const bool result = TCustomGrid::EndColumnDrag(Origin, Destination, MousePt);
  FDragCol = nullptr;
  return result;
}

// ---- Design time -------------------------------------------------------------------------

namespace {
// Default columns over default fields (or no data at all) are the
// designer's to select, not to size.
bool NothingToSize(const TRixCustomDBGrid* Grid) {
  const TRixGridDataLink* link = Grid->DataLink();
  return link == nullptr ||
         (Grid->Columns()->State() == csDefault && (link->DefaultFields() || !link->Active()));
}
} // namespace

void TRixCustomDBGrid::CMDesignHitTest(TMessage& M) {
  TCustomGrid::CMDesignHitTest(M);
  if (M.Result == 1 && NothingToSize(this)) {
    M.Result = 0;
  } else if (M.Result == 0 && FDataLink != nullptr && FDataLink->Active() && FColumns->State() == csCustomized) {
    TRixColumn* master = nullptr;
    if (PtInExpandButton(SignedLoWord(static_cast<std::uintptr_t>(M.LParam)),
                         SignedHiWord(static_cast<std::uintptr_t>(M.LParam)), master))
      M.Result = 1;
  }
}

void TRixCustomDBGrid::WMSetCursor(TMessage& M) {
  if (ComponentState().Contains(csDesigning) && NothingToSize(this)) {
    SetScreenCursor(crArrow);
    M.Result = 1;
    return;
  }
  TCustomGrid::WMSetCursor(M);
}
