#include "platform/controls/StringGrid.h"

#include "platform/graphics/Canvas.h"

std::string TStringGrid::Cells(int ACol, int ARow) const {
  auto it = FCells.find({ACol, ARow});
  return it == FCells.end() ? std::string() : it->second;
}

void TStringGrid::SetCells(int ACol, int ARow, const std::string& Value) {
  if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
    throw EInvalidGridOperation("Grid index out of range");
  if (Value.empty()) FCells.erase({ACol, ARow});
  else FCells[{ACol, ARow}] = Value;
  InvalidateCell(ACol, ARow);
  if (EditorMode() && ACol == Col() && ARow == Row()) InvalidateEditor();
}

std::string TStringGrid::GetEditText(int ACol, int ARow) {
  std::string value = Cells(ACol, ARow);
  if (FOnGetEditText) FOnGetEditText(this, ACol, ARow, value);
  return value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const std::string& Value) {
  if (Value.empty()) FCells.erase({ACol, ARow});
  else FCells[{ACol, ARow}] = Value;
  if (FOnSetEditText) FOnSetEditText(this, ACol, ARow, Value);
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  TCanvas* c = Canvas();
  if (c == nullptr || !DefaultDrawing()) return;
  SetBkMode(c->Handle(), TRANSPARENT);
  c->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, Cells(ACol, ARow));
}
