// TRixCustomDBGrid: conversions between the index spaces, cell rectangles of
// merged columns, and the selected column.
//
// Every computed data column is looked up through CheckedColumn: a grid can
// hold fewer columns than its geometry suggests (fewer than RowsPerRecord
// after loading, or a record row left short), and such a lookup must land on
// a column, never past the collection.
#include "grid/RixDBGrid.h"
#include "platform/core/ScopedValue.h"

#include "platform/core/Checked.h"

#include <algorithm>

using rix::CheckedAdd;
using rix::CheckedMul;
using rix::CheckedSub;

namespace {
// The record rows of a record and its raw rows are counted from the first
// data row; this is the distance of ARow from there.
int FromFirstDataRow(int ARow, int TitleOffset) { return CheckedSub(ARow, TitleOffset); }
} // namespace

bool ReadOnlyField(TField* Field) {
  if (Field == nullptr) return false;
  if (Field->ReadOnly()) return true;
  if (Field->FieldKind() != fkLookup) return false;
  TDataSet* ds = Field->DataSet();
  if (ds == nullptr) return true;
  TField* key = ds->FindField(Field->KeyFields());
  return key == nullptr || key->ReadOnly();
}

bool IsBlobLikeType(TFieldType Type) {
  switch (Type) {
  case ftBlob:
  case ftGraphic:
  case ftParadoxOle:
  case ftDBaseOle:
  case ftTypedBinary: return true;
  default: return false;
  }
}

TRixColumn* TRixCustomDBGrid::CheckedColumn(int Index) const {
  if (FColumns == nullptr || FColumns->Count() == 0) return nullptr;
  if (Index < 0 || Index >= FColumns->Count()) Index = 0;
  return FColumns->Items(Index);
}

TRixColumn* TRixCustomDBGrid::GetColumns(int Index) const {
  if (FColumns == nullptr || Index < 0 || Index >= FColumns->Count()) return nullptr;
  TRixColumn* c = FColumns->Items(Index);
  return c->FDrawColumn != nullptr ? c->FDrawColumn : c;
}

int TRixCustomDBGrid::RawToDataColumn(int ACol) const {
  return CheckedAdd(CheckedSub(ACol, static_cast<int>(FIndicatorOffset)), CheckedMul(FColsPerRow, FOffset));
}

int TRixCustomDBGrid::RecordRowOf(int ARow) const {
  const int d = FromFirstDataRow(ARow, FTitleOffset);
  if (d >= 0) return d % FRowsPerRecord;
  // Title row ARow shows record row ARow; the title rows a nested object
  // column adds below the last record row continue that row's titles.
  return std::clamp(ARow, 0, FRowsPerRecord - 1);
}

int TRixCustomDBGrid::RawToDataColumn(int ACol, int ARow) const {
  return CheckedAdd(CheckedMul(RecordRowOf(ARow), FColsPerRow), CheckedSub(ACol, static_cast<int>(FIndicatorOffset)));
}

int TRixCustomDBGrid::DataToRawColumn(int ACol) const {
  return CheckedAdd(ACol % FColsPerRow, static_cast<int>(FIndicatorOffset));
}

void TRixCustomDBGrid::DataToRawColumn(int& ACol, int& Offset) const {
  if (ACol < FColsPerRow) {
    Offset = FOffset;
    ACol = CheckedAdd(ACol, static_cast<int>(FIndicatorOffset));
  } else {
    Offset = ACol / FColsPerRow;
    ACol = DataToRawColumn(ACol);
  }
}

int TRixCustomDBGrid::GetOffset(int ARow) const { return FromFirstDataRow(ARow, FTitleOffset) % FRowsPerRecord; }

void TRixCustomDBGrid::SetOffset(int ARow) { FOffset = GetOffset(ARow); }

int TRixCustomDBGrid::DspToRawColumn(int ACol, int ARow) const {
  if (ARow == -1) ARow = Row();
  return CheckedAdd(CheckedMul(GetOffset(ARow), FColsPerRow), ACol);
}

int TRixCustomDBGrid::CellDataColumn(int ACol, int ARow) const {
  const int count = FColumns->Count();
  if (count == 0 || ACol < FIndicatorOffset) return -1;
  int i = RawToDataColumn(ACol, ARow);
  if (i < 0 || i >= count) i = ACol - FIndicatorOffset;
  if (i >= count) i = 0;
  return i;
}

TRixColumn* TRixCustomDBGrid::CellColumn(int ACol, int ARow) const {
  const int i = CellDataColumn(ACol, ARow);
  return i < 0 ? nullptr : FColumns->Items(i);
}

int TRixCustomDBGrid::RecordSlot(int ARow) const {
  const int d = FromFirstDataRow(ARow, FTitleOffset);
  return d < 0 ? -1 : d / FRowsPerRecord;
}

TGridCoord TRixCustomDBGrid::GetColumnPosInRecord(int ColIndex, int ARawRow) const {
  TGridCoord p;
  p.X = DataToRawColumn(ColIndex);
  const int recordRow = ColIndex / FColsPerRow;
  const int d = FromFirstDataRow(ARawRow, FTitleOffset);
  if (d < 0)
    p.Y = recordRow;  // the title band holds the record's rows from raw row 0
  else
    p.Y = CheckedAdd(CheckedAdd(static_cast<int>(FTitleOffset), CheckedMul(d / FRowsPerRecord, FRowsPerRecord)),
                     recordRow);
  return p;
}

TRect TRixCustomDBGrid::CalcRect(TRixColumn* Column, int ARow) const {
  if (Column == nullptr) return {};
  TRixColumn* first = Column->FDrawColumn != nullptr ? Column->FDrawColumn : Column;
  TRixColumn* last = first->FDrawEndColumn != nullptr ? first->FDrawEndColumn : first;
  const TGridCoord a = GetColumnPosInRecord(first->Index(), ARow);
  const TGridCoord b = GetColumnPosInRecord(last->Index(), ARow);
  return BoxRect(std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y));
}

TRixColumn* TRixCustomDBGrid::ColumnAtDepth(TRixColumn* Col, int ADepth) {
  while (Col != nullptr && ADepth < Col->Depth()) Col = Col->ParentColumn();
  return Col;
}

// A cell scrolled out of view has an empty rectangle; the widening stops at
// the first one, in both reading directions (the base grid already mirrors
// right-to-left rectangles).
TRect TRixCustomDBGrid::CalcTitleRect(TRixColumn* Col, int ARow, TRixColumn*& MasterCol) const {
  MasterCol = ColumnAtDepth(Col, ARow);
  if (MasterCol == nullptr) return {};
  int rawCol = DataToRawColumn(MasterCol->Index());
  int startRow = MasterCol->Depth();
  if (rawCol < LeftCol()) {
    rawCol = LeftCol();
    startRow = Col->Depth() > ARow ? ARow : Col->Depth();
  }
  TRect result = CellRect(rawCol, startRow);
  const bool rtl = UseRightToLeftAlignment();
  for (int i = Col->Index(); i < FColumns->Count(); ++i) {
    if (ColumnAtDepth(GetColumns(i), ARow) != MasterCol) break;
    const TRect cell = CellRect(DataToRawColumn(i), ARow);
    if (cell.Right <= cell.Left) break;
    if (rtl)
      result.Left = std::min(result.Left, cell.Left);
    else
      result.Right = std::max(result.Right, cell.Right);
  }
  if (Col->Depth() <= ARow && Col->Depth() < FixedRows() - 1) {
    TGridDrawInfo di;
    CalcFixedInfo(di);
    result.Bottom = di.Vert.FixedBoundary - di.Vert.EffectiveLineWidth;
  }
  return result;
}

bool TRixCustomDBGrid::InBindColumn(int ACol, int ARow, TRixColumn* Column) const {
  if (Column == nullptr) return false;
  const int current = Row();
  const int firstRow = current >= FTitleOffset ? CheckedSub(current, GetOffset(current)) : FTitleOffset;
  const TRect area = CalcRect(Column, CheckedAdd(firstRow, Column->Index() / FColsPerRow));
  const TRect cell = CellRect(ACol, ARow);
  if (cell.Right <= cell.Left || cell.Bottom <= cell.Top) return false;
  const TPoint centre{(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2};
  return centre.X >= area.Left && centre.X < area.Right && centre.Y >= area.Top && centre.Y < area.Bottom;
}

// ---- The selected column ----------------------------------------------------

// A current cell that shows no column (a record row left short) reports the
// column the painter draws there, so that a selected column always exists
// while the grid has columns.
int TRixCustomDBGrid::SelectedIndex() const {
  TRixColumn* c = CheckedColumn(RawToDataColumn(Col()));
  if (c == nullptr) return -1;
  if (c->FDrawColumn != nullptr) c = c->FDrawColumn;
  return c->Index();
}

TField* TRixCustomDBGrid::SelectedField() const {
  const int i = SelectedIndex();
  if (i < 0) return nullptr;
  return GetColumns(i)->Field();
}
