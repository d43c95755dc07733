// TCustomGrid: the framework's grid of cells with fixed rows and columns,
// scrolling, keyboard and mouse navigation, mouse sizing and moving of rows
// and columns, and the in-place editor protocol. Derived grids draw the cells
// (DrawCell) and answer the editor's questions (GetEditText, SetEditText ...).
//
// Geometry: cells are laid out left to right and top to bottom with
// GridLineWidth pixels between them (when the matching line options are on);
// the fixed rows and columns stay at the top and left, the rest scrolls so
// that LeftCol/TopRow are the first non-fixed cells shown. A column width of
// -1 (with a one-pixel line) takes no room at all, which hides the column.
//
// Scroll bars: the positions run from 0 to 127 across the scrollable range,
// as in the framework; tests read them with GetScrollInfo(SB_HORZ / SB_VERT).
//
// Timed scrolling: while the mouse selects or drags outside the cells the
// grid runs timer 1; the host's TickTimers (or a test) drives it. As in the
// framework, a column dragged along the fixed rows (or a row along the fixed
// columns) follows the mouse on those timer ticks, not on the mouse moves.
//
// The editor: CreateEditor is called the first time the editor is needed
// (never from the constructor), so a derived grid's override is reached
// normally.
#pragma once

#include "platform/controls/Forms.h"
#include "platform/controls/WinControl.h"

#include <array>
#include <string>
#include <vector>

class TInplaceEdit;

enum TGridOption { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
                   goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect,
                   goAlwaysShowEditor, goThumbTracking };
using TGridOptions = TSet<TGridOption, 15>;
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem, 3>;
enum TGridScrollDirectionItem { sdLeft, sdRight, sdUp, sdDown };
using TGridScrollDirection = TSet<TGridScrollDirectionItem, 4>;
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
// The base editor's styles carry the unit's name, as Grids.esSimple does in
// the framework: the database grid declares its own esSimple ... esCheck.
namespace Grids {
enum TEditStyle { esSimple, esEllipsis, esPickList };
}
using TEditStyle = Grids::TEditStyle;

struct TGridCoord {
  int X = 0;
  int Y = 0;
  constexpr bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr bool operator==(const TGridRect&) const = default;
};

class TCustomGrid;

// The layout of one axis of the grid at the current scroll position.
struct TGridAxisDrawInfo {
  int EffectiveLineWidth = 0;
  int FixedBoundary = 0;      // pixel just past the fixed cells
  int GridBoundary = 0;       // pixel just past the last cell shown
  int GridExtent = 0;         // client width or height
  int LastFullVisibleCell = 0;
  int FullVisBoundary = 0;    // pixel just past the last whole cell
  int FixedCellCount = 0;
  int FirstGridCell = 0;      // LeftCol or TopRow
  int GridCellCount = 0;      // ColCount or RowCount
  const TCustomGrid* Grid = nullptr;
  bool Rows = false;
  int GetExtent(int Index) const;
};

struct TGridDrawInfo {
  TGridAxisDrawInfo Horz;
  TGridAxisDrawInfo Vert;
};

class TCustomGrid : public TCustomControl {
  RIX_CLASS_NAME(TCustomGrid)
  friend class TInplaceEdit;

public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  // ---- The cell matrix ----
  int ColCount() const { return FColCount; }
  void SetColCount(int Value);
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  int FixedCols() const { return FFixedCols; }
  // Raises EInvalidGridOperation unless 0 <= Value < ColCount.
  void SetFixedCols(int Value);
  int FixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);

  int ColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int RowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int DefaultColWidth() const { return FDefaultColWidth; }
  // Resets every column to the new width.
  void SetDefaultColWidth(int Value);
  int DefaultRowHeight() const { return FDefaultRowHeight; }
  // Resets every row to the new height.
  void SetDefaultRowHeight(int Value);
  int GridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  bool TabStops(int Index) const;
  void SetTabStops(int Index, bool Value);
  // Reading ColWidths/RowHeights out of range gives the default, as the
  // framework does; writing out of range raises.

  // ---- Position ----
  int Col() const { return FCurrent.X; }
  void SetCol(int Value);
  int Row() const { return FCurrent.Y; }
  void SetRow(int Value);
  int LeftCol() const { return FTopLeft.X; }
  void SetLeftCol(int Value);
  int TopRow() const { return FTopLeft.Y; }
  void SetTopRow(int Value);
  int VisibleColCount() const;
  int VisibleRowCount() const;
  TGridRect Selection() const;
  void SetSelection(const TGridRect& Value);
  // Asks SelectCell, then makes (ACol, ARow) current; the anchor of a range
  // selection follows when MoveAnchor; the cell is scrolled into view only
  // when Show. Raises EInvalidGridOperation for a cell outside the matrix.
  void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);

  // ---- Settings ----
  TGridOptions Options() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TGridOptions DesignOptionsBoost() const { return FDesignOptionsBoost; }
  void SetDesignOptionsBoost(TGridOptions Value) { FDesignOptionsBoost = Value; }
  bool VirtualView() const { return FVirtualView; }
  void SetVirtualView(bool Value) { FVirtualView = Value; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  TColor FixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  bool SaveCellExtents() const { return FSaveCellExtents; }
  void SetSaveCellExtents(bool Value) { FSaveCellExtents = Value; }
  TGridState GridState() const { return FGridState; }
  // How far a one-column grid is scrolled, in pixels.
  int ColOffset() const { return FColOffset; }
  // Pixels of one line step of that scrolling: the width of a digit of the
  // grid's font, as in the framework.
  int PixelScrollStep() const;

  // ---- Geometry ----
  TRect CellRect(int ACol, int ARow) const;
  // Pixels of the block of cells, clipped to what is visible; empty when none is.
  TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
  // The cell under a client point; (-1, -1) when the point is on no cell.
  TGridCoord MouseCoord(int X, int Y) const;
  void CalcDrawInfo(TGridDrawInfo& DrawInfo) const;
  void CalcDrawInfoXY(TGridDrawInfo& DrawInfo, int UseWidth, int UseHeight) const;
  void CalcFixedInfo(TGridDrawInfo& DrawInfo) const;
  // True when the point lies on a border the mouse may drag to size.
  bool Sizing(int X, int Y);

  // ---- Invalidation ----
  using TWinControl::InvalidateRect;
  void InvalidateCell(int ACol, int ARow);
  void InvalidateCol(int ACol);
  void InvalidateRow(int ARow);
  void InvalidateGrid() { Invalidate(); }
  void InvalidateRect(const TGridRect& ARect);
  // Reloads the editor for the current cell.
  void InvalidateEditor();

  // ---- Editing ----
  bool EditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  void ShowEditor();
  void HideEditor();
  TInplaceEdit* InplaceEditor() const { return FInplaceEdit; }

  void PaintWindow() override { Paint(); }
  void CreateWnd() override;

  // The grid's answers to its in-place editor; public because the editor asks.
  virtual bool CanEditAcceptKey(char32_t Key);
  virtual bool CanEditModify();
  virtual std::string GetEditMask(int ACol, int ARow);
  virtual std::string GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const std::string& Value);
  virtual int GetEditLimit();
  virtual TEditStyle GetEditStyle(int ACol, int ARow);
  void KeyDown(unsigned short& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void DblClick() override;
  void Click() override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  // Sends the editor's text to SetEditText for the cell it edits.
  void UpdateText();
  // Stores where the in-place editor goes for the next edit (designer hook).
  void UpdateDesigner() {}

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  int BorderEdge() const override;

  // ---- Hooks ----
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
  void Paint() override;
  virtual bool SelectCell(int ACol, int ARow);
  virtual void TopLeftChanged();
  virtual void TimedScroll(TGridScrollDirection Direction);
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void RowMoved(int FromIndex, int ToIndex);
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  virtual void ChangeSize(int NewColCount, int NewRowCount);
  virtual bool CanEditShow();
  virtual bool CanGridAcceptKey(unsigned short Key, TShiftState Shift);
  virtual TInplaceEdit* CreateEditor();
  // Where the editor goes for the current cell: the cell itself here; a grid
  // whose cells span several raw cells gives the whole span. Asked before
  // the editor is shown, so that nothing resizes a window while it paints.
  virtual TRect EditorRect() const { return CellRect(Col(), Row()); }
  virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                               TGridDrawInfo& FixedInfo);
  virtual bool BeginColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
  virtual bool BeginRowDrag(int& Origin, int& Destination, const TPoint& MousePt);
  virtual bool CheckColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
  virtual bool CheckRowDrag(int& Origin, int& Destination, const TPoint& MousePt);
  virtual bool EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt);
  virtual bool EndRowDrag(int& Origin, int& Destination, const TPoint& MousePt);

  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // ---- Messages ----
  void WMChar(TMessage& M) override;
  void WMGetDlgCode(TMessage& M) override;
  void WMHScroll(TMessage& M) override;
  void WMVScroll(TMessage& M) override;
  void WMKillFocus(TMessage& M) override;
  void WMSetFocus(TMessage& M) override;
  void WMSize(TMessage& M) override;
  void WMSetCursor(TMessage& M) override;
  void WMTimer(TMessage& M) override;
  void WMCancelMode(TMessage& M) override;
  void CMCancelMode(TMessage& M) override;
  void CMDesignHitTest(TMessage& M) override;
  void CMColorChanged(TMessage& M) override;
  void CMFontChanged(TMessage& M) override;
  void CMBiDiModeChanged(TMessage& M) override;
  void CMEnabledChanged(TMessage& M) override;
  void WMMouseMove(TMessage& M) override;

  // ---- Helpers derived grids use ----
  void MoveColumn(int FromIndex, int ToIndex);
  void MoveRow(int FromIndex, int ToIndex);
  void DeleteColumn(int ACol);
  void DeleteRow(int ARow);
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
  void MoveAnchor(const TGridCoord& NewAnchor);
  void MoveTopLeft(int ALeft, int ATop);
  void ClampInView(const TGridCoord& Coord);
  TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TGridDrawInfo& DrawInfo) const;
  TGridCoord CalcCoordFromPoint(int X, int Y, const TGridDrawInfo& DrawInfo) const;
  void GridRectToScreenRect(TGridRect GridRect, TRect& ScreenRect, bool IncludeLine) const;
  void UpdateScrollPos();
  void UpdateScrollRange();
  void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft);
  // A grid of one column scrolls it by pixels (ColOffset).
  void ModifyPixelScrollBar(int ScrollCode, int Pos, int RTLFactor, const TGridDrawInfo& DrawInfo);

  void UpdateEdit();
  void HideEdit();
  void CancelMode();
  bool IsActiveControl() const;
  void Initialize();
  void InvalidateSelection(const TGridRect& OldSel);

  TGridCoord FCurrent;
  TGridCoord FAnchor;
  TGridCoord FTopLeft;
  TGridState FGridState = gsNormal;
  int FSizingIndex = 0, FSizingPos = 0, FSizingOfs = 0;
  int FMoveIndex = 0, FMovePos = 0;
  TPoint FHitTest;
  TInplaceEdit* FInplaceEdit = nullptr;
  int FInplaceCol = -1, FInplaceRow = -1;
  int FColOffset = 0;

private:
  void MoveAndScroll(int Mouse, int CellHit, TGridDrawInfo& DrawInfo, TGridAxisDrawInfo& Axis, int ScrollBar,
                     const TPoint& MousePt);
  void TopLeftMoved(const TGridCoord& OldTopLeft);
  TRect MirrorForPaint(TRect R) const;
  void DefaultDrawCellBackground(const TRect& Cell, TGridDrawState State);
  void DrawMoveMark(TCanvas* C);
  void DrawFixedCellEdge(const TRect& Cell);
  void DrawLines(bool Vert, bool Horz, int FirstCol, int FirstRow, const TRect& Area, TColor LineColor,
                 const TGridDrawInfo& DrawInfo);
  void DrawCells(int ACol, int ARow, int StartX, int StartY, int StopX, int StopY, TGridDrawState IncludeDrawState,
                 const TGridDrawInfo& DrawInfo, const TGridRect& Sel, bool ActiveControl);
  void ResizeCol(int Index, int OldSize, int NewSize);
  void ResizeRow(int Index, int OldSize, int NewSize);

  // The last CalcDrawInfo and what it was made from: a paint asks for the
  // rectangles of hundreds of cells, each of which would otherwise walk the
  // visible columns and rows twice. Lines holds each axis's line positions
  // from its first grid cell on, as GridRectToScreenRect reckons them.
  struct TDrawInfoMemo {
    bool Valid = false;
    std::array<int, 11> Key{};
    TGridDrawInfo Info;
    std::vector<int> HorzLines, VertLines;
  };
  const TDrawInfoMemo& DrawInfoMemo() const;
  // Called whenever a column width or row height may have changed.
  void ExtentsChanged() {
    ++FExtentStamp;
    FDrawInfoMemo.Valid = false;
  }
  mutable TDrawInfoMemo FDrawInfoMemo;
  int FExtentStamp = 0;

  int FColCount = 5, FRowCount = 5;
  int FFixedCols = 1, FFixedRows = 1;
  std::vector<int> FColWidths;   // empty while every column has the default width
  std::vector<int> FRowHeights;  // empty while every row has the default height
  std::vector<char> FTabStops;   // empty while every column is a tab stop
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  int FGridLineWidth = 1;
  TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TGridOptions FDesignOptionsBoost{goColSizing, goRowSizing};
  bool FVirtualView = false;
  TScrollStyle FScrollBars = ssBoth;
  bool FDefaultDrawing = true;
  TColor FFixedColor = clBtnFace;
  TBorderStyle FBorderStyle = bsSingle;
  bool FDoubleBuffered = false;
  bool FSaveCellExtents = true;
  bool FEditorMode = false;
  bool FCanEditModify = false;
};
