// TStringGrid: a grid that keeps a text per cell, draws it and edits it, as
// the framework's string grid does (without the per-cell objects).
#pragma once

#include "platform/controls/Grids.h"

#include <functional>
#include <map>
#include <string>
#include <utility>

using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;

class TStringGrid : public TCustomGrid {
  RIX_CLASS_NAME(TStringGrid)
public:
  explicit TStringGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

  // Cells outside the matrix read as empty; writing them raises
  // EInvalidGridOperation, like the framework's index check.
  std::string Cells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const std::string& Value);

  void SetOnGetEditText(TGetEditEvent E) { FOnGetEditText = std::move(E); }
  void SetOnSetEditText(TSetEditEvent E) { FOnSetEditText = std::move(E); }

  std::string GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;

protected:
  // The cell's text two pixels in from its top-left corner, clipped to it.
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;

private:
  std::map<std::pair<int, int>, std::string> FCells;
  TGetEditEvent FOnGetEditText;
  TSetEditEvent FOnSetEditText;
};
