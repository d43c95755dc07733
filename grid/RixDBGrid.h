// RixDBGrid: the data-aware grid. TRixCustomDBGrid holds all behaviour;
// TRixDBGrid only publishes properties.
//
// The grid's operations are spread over files by concern:
//   GridCore.cpp        construction, destruction, locks, notifications, messages
//   GridProperties.cpp  options, data source, colours, fonts, simple setters
//   GridPublished.cpp   the published property table of TRixDBGrid
//   GridLayout.cpp      the layout pass, row heights, fixed columns, size hooks
//   GridGeometry.cpp    conversions between index spaces, cell rectangles,
//                       the selected column
//   GridScroll.cpp      the current row, dataset scrolling and the scroll bars
//   GridData.cpp        the grid's answers to its data link and the field map
//   GridKeyboard.cpp    the key table, the wheel, record insertion and deletion
//   GridMoves.cpp       column and cell moves (MoveCol), keyboard selection
//   GridMouse.cpp       clicks on cells, check boxes and buttons
//   GridEditing.cpp     the grid's answers to its in-place editor, writing
//   GridPopupEditor.cpp the edit button and the nested-dataset popup grid
//   GridIme.cpp         input methods per column
//   GridBlobMenu.cpp    the default blob popup menu and the picture clipboard
//
// Construction and the overridable factories. CreateColumns and CreateDataLink
// are virtual, but a C++ constructor does not reach an override. A descendant
// that wants its own collection or data link passes factories to the protected
// constructor; the public constructor uses this class's CreateColumns and
// CreateDataLink.
#pragma once

#include "grid/RixBookmarkList.h"
#include "grid/RixColumns.h"
#include "grid/RixDBGridInplaceEdit.h"
#include "grid/RixGridDataLink.h"

#include "platform/controls/Controls.h"
#include "platform/data/Data.h"
#include "platform/graphics/Graphics.h"
#include "platform/streaming/Streaming.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

// The grid's own deferred-layout message (WM_USER + 100).
constexpr unsigned CM_DEFERLAYOUT = WM_USER + 100;
static_assert(CM_DEFERLAYOUT == 1124);

// Framework messages the grid raises with; their texts are ours to choose.
inline constexpr const char* STooManyColumns = "Grid requested to display more than 256 columns";
inline constexpr const char* SGridIndexOutOfRange = "Grid index out of range";
inline constexpr const char* SFixedColTooBig = "Fixed column count must be less than column count";

enum TRixDBGridOption {
  rixdgEditing, rixdgAlwaysShowEditor, rixdgTitles, rixdgIndicator, rixdgColumnResize, rixdgColLines,
  rixdgRowResize, rixdgRowLines, rixdgTabs, rixdgRowSelect, rixdgAlwaysShowSelection, rixdgConfirmDelete,
  rixdgCancelOnExit, rixdgMultiSelect, rixdgAllowUserToAddRows, rixdgAllowUserToDeleteRows
};
using TRixDBGridOptions = TSet<TRixDBGridOption, 16>;

// $D9BD.
inline const TRixDBGridOptions DefaultRixDBGridOptions{
    rixdgEditing, rixdgTitles, rixdgIndicator, rixdgColumnResize, rixdgColLines, rixdgRowLines, rixdgTabs,
    rixdgConfirmDelete, rixdgCancelOnExit, rixdgAllowUserToAddRows, rixdgAllowUserToDeleteRows};
// Options whose change needs a new layout ($06AF).
inline const TRixDBGridOptions LayoutOptions{rixdgEditing, rixdgAlwaysShowEditor, rixdgTitles, rixdgIndicator,
                                             rixdgColLines, rixdgRowLines, rixdgRowSelect,
                                             rixdgAlwaysShowSelection};
// The base grid options a set of grid options maps to. rixdgRowSelect drops
// rixdgEditing and rixdgAlwaysShowEditor from Value.
TGridOptions RixToGridOptions(TRixDBGridOptions& Value);

// Framework control settings the grid keeps and streams so forms round-trip;
// nothing reads them (TAlign comes with the platform's controls).
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSet<TAnchorKind, 4>;

class TSizeConstraints : public TPersistent {
  RIX_CLASS_NAME(TSizeConstraints)
  RIX_PUBLISHED(TSizeConstraints)
public:
  int MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int V) { FMaxHeight = V; }
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int V) { FMaxWidth = V; }
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int V) { FMinHeight = V; }
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int V) { FMinWidth = V; }
  void Assign(TPersistent* Source) override;

private:
  int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};

class TRixCustomDBGrid;

using TRixDBGridClickEvent = std::function<void(TRixColumn* Column)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TDrawDataCellEvent =
    std::function<void(TObject* Sender, const TRect& Rect, TField* Field, TGridDrawState State)>;
using TRixDrawColumnCellEvent = std::function<void(TObject* Sender, const TRect& Rect, int DataCol,
                                                   TRixColumn* Column, TGridDrawState State)>;

// Drag-and-dock events of the framework; the grid keeps and streams them
// without raising them (TDragState comes with the platform's controls).
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TObject*& DragObject)>;

struct TRixGridFactories {
  std::function<TRixDBGridColumns*(TRixCustomDBGrid*)> Columns;
  std::function<TRixGridDataLink*(TRixCustomDBGrid*)> DataLink;
};

// Raise EInvalidGridOperation with Message.
[[noreturn]] void InvalidOp(const std::string& Message);
[[noreturn]] void RaiseGridError(const std::string& Message);
// Removes one waiting Msg for Wnd from the queue; a quit request met on the
// way is posted again with its exit code.
void KillMessage(HWND Wnd, unsigned Msg);
// The field cannot be edited: read-only itself, or a lookup field whose key
// field is missing or read-only.
bool ReadOnlyField(TField* Field);
// Blob-like types: pictures and other binary values the grid draws as
// images, moves through the blob menu and never edits as text.
bool IsBlobLikeType(TFieldType Type);
inline bool IsBlobLikeField(const TField* Field) { return Field != nullptr && IsBlobLikeType(Field->DataType()); }

class TRixCustomDBGrid : public TCustomGrid {
  RIX_CLASS_NAME(TRixCustomDBGrid)
public:
  explicit TRixCustomDBGrid(TComponent* AOwner);
  ~TRixCustomDBGrid() override;

  // ---- Locks ----
  void BeginUpdate();
  void EndUpdate();
  void BeginLayout();
  void EndLayout();
  void CancelLayout();
  bool AcquireLayoutLock();
  void DeferLayout();
  virtual void LayoutChanged();
  int UpdateLock() const { return FUpdateLock; }
  int LayoutLock() const { return FLayoutLock; }
  // Layout passes run so far (diagnostics and tests).
  int LayoutPassCount() const { return FLayoutPassCount; }
  // A deferred layout was asked for before the window existed; CreateWnd runs it.
  bool LayoutPending() const { return FLayoutPending; }

  // ---- Public properties ----
  int FieldCount() const { return GetFieldCount(); }
  int GetFieldCount() const;
  TField* Fields(int Index) const { return GetFields(Index); }
  TField* GetFields(int Index) const;
  TDataSource* DataSource() const { return GetDataSource(); }
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* Value);
  int RecordIndex() const;
  bool DataLinkEnabled() const { return GetDataLinkEnabled(); }
  bool GetDataLinkEnabled() const { return FDataLink != nullptr; }
  TRixGridDataLink* DataLink() const { return FDataLink; }
  TRixBookmarkList* SelectedRows() const { return FBookmarks; }
  int IndicatorOffset() const { return FIndicatorOffset; }
  int TitleOffset() const { return FTitleOffset; }
  int ColsPerRow() const { return FColsPerRow; }

  TColor AlternatingRecordColor() const { return FAlternatingRecordColor; }
  void SetAlternatingRecordColor(TColor Value);
  bool AlternatingRecordColorChange() const { return FAlternatingRecordColorChange; }
  void SetAlternatingRecordColorChange(bool Value);
  TColor FocusedRecordColor() const { return FFocusedRecordColor; }
  void SetFocusedRecordColor(TColor Value);
  bool FocusedRecordColorChange() const { return FFocusedRecordColorChange; }
  void SetFocusedRecordColorChange(bool Value);
  TPopupMenu* BlobPopupMenu() const { return FBlobPopupMenu; }
  TRixDBGridColumns* Columns() const { return FColumns; }
  void SetColumns(TRixDBGridColumns* Value);
  bool StoreColumns() const;
  bool CRtoNextCol() const { return FCRtoNextCol; }
  void SetCRtoNextCol(bool Value) { FCRtoNextCol = Value; }
  int DataRowHeight() const { return FDataRowHeight; }
  void SetDataRowHeight(int Value);
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  bool DefaultMenuShow() const { return FDefaultMenuShow; }
  void SetDefaultMenuShow(bool Value) { FDefaultMenuShow = Value; }
  // Data columns kept fixed at the left, not counting the indicator. The base
  // grid's count is TCustomGrid::FixedCols().
  int FixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  TRixDBGridOptions Options() const { return FOptions; }
  void SetOptions(TRixDBGridOptions Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  int RowsPerRecord() const { return FRowsPerRecord; }
  void SetRowsPerRecord(int Value);
  TFont* TitleFont() const { return FTitleFont; }
  void SetTitleFont(TFont* Value);
  bool AcquireFocusEnabled() const { return FAcquireFocus; }
  void SetAcquireFocusEnabled(bool Value) { FAcquireFocus = Value; }

  TImageList* Indicators() const { return FIndicators; }
  TImageList* OrderArrow() const { return FOrderArrow; }
  TStream* BlobStream() const { return FStream; }
  const TRect& SelectedRect() const { return FSelectedRect; }

  // Framework settings kept for streaming (see TAlign above).
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign V) { FAlign = V; }
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors V) { FAnchors = V; }
  TSizeConstraints* Constraints() const { return FConstraints.get(); }
  void SetConstraints(TSizeConstraints* V) { FConstraints->Assign(V); }
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool V) { FCtl3D = V; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor V) { FDragCursor = V; }
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool V) { FParentCtl3D = V; }
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool V) { FParentShowHint = V; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool V) { FShowHint = V; }
  int TabOrder() const { return FTabOrder; }
  void SetTabOrder(int V) { FTabOrder = V; }

  // ---- Events ----
  void SetOnCellClick(TRixDBGridClickEvent E) { FOnCellClick = std::move(E); }
  void SetOnColEnter(TNotifyEvent E) { FOnColEnter = std::move(E); }
  void SetOnColExit(TNotifyEvent E) { FOnColExit = std::move(E); }
  void SetOnColumnMoved(TMovedEvent E) { FOnColumnMoved = std::move(E); }
  void SetOnDrawColumnCell(TRixDrawColumnCellEvent E) { FOnDrawColumnCell = std::move(E); }
  void SetOnDrawDataCell(TDrawDataCellEvent E) { FOnDrawDataCell = std::move(E); }
  void SetOnEditButtonClick(TNotifyEvent E) { FOnEditButtonClick = std::move(E); }
  void SetOnTitleClick(TRixDBGridClickEvent E) { FOnTitleClick = std::move(E); }
  void SetOnDragDrop(TDragDropEvent E) { FOnDragDrop = std::move(E); }
  void SetOnDragOver(TDragOverEvent E) { FOnDragOver = std::move(E); }
  void SetOnEndDock(TEndDragEvent E) { FOnEndDock = std::move(E); }
  void SetOnEndDrag(TEndDragEvent E) { FOnEndDrag = std::move(E); }
  void SetOnStartDock(TStartDragEvent E) { FOnStartDock = std::move(E); }
  void SetOnStartDrag(TStartDragEvent E) { FOnStartDrag = std::move(E); }
  // The method name a form stream bound to an event ("" when none).
  std::string EventName(const std::string& Event) const;
  void SetEventName(const std::string& Event, const std::string& Method);

  // ---- Columns and fields ----
  // The draw column of the column at Index; nil when Index is outside the
  // collection. Painting, which must always land on a column, uses
  // CheckedColumn instead.
  TRixColumn* GetColumns(int Index) const;
  TField* GetColField(int DataCol) const;
  std::string GetFieldValue(int ACol) const;
  bool ValidFieldIndex(int FieldIndex) const;
  void Invalidated(TObject* Sender);

  // ---- Geometry (GridGeometry.cpp) ----
  // Index spaces: raw columns and rows are the base grid's; a data column is
  // an index into Columns(); a record row is a row inside a record (0 ..
  // RowsPerRecord - 1); a record slot is a record of the link's buffer window.
  // Record rows are counted from the first data row (TitleOffset), so the
  // conversions stay right when the title band is not a whole record high
  // (object view with RowsPerRecord above 1, or fewer columns than
  // RowsPerRecord after loading). Title row t shows record row t, and the
  // last record row for the deeper title rows of nested object columns.
  //
  // The column at Index; column 0 when Index is out of range; nil when the
  // grid has no columns. Every lookup of a computed index goes through it.
  TRixColumn* CheckedColumn(int Index) const;
  // The data column of raw column ACol in the current record row (Offset).
  int RawToDataColumn(int ACol) const;
  // The data column of cell (ACol, ARow), title or data row.
  int RawToDataColumn(int ACol, int ARow) const;
  int DataToRawColumn(int ACol) const;
  // ACol below ColsPerRow is a position in the current record row; otherwise
  // a data column. ACol becomes the raw column, Offset its record row.
  void DataToRawColumn(int& ACol, int& Offset) const;
  // The data column at position ACol of raw row ARow's record row (-1: Row).
  int DspToRawColumn(int ACol, int ARow = -1) const;
  // The record row of raw row ARow (negative or 0 in title rows).
  int GetOffset(int ARow) const;
  void SetOffset(int ARow);
  int Offset() const { return FOffset; }
  // The record row raw row ARow shows, title rows included.
  int RecordRowOf(int ARow) const;
  // Which column a cell shows: the data column of (ACol, ARow); when that
  // does not exist, the column at the same position of record row 0; else
  // column 0. -1 for the indicator column and when there are no columns.
  // The cell draws CellColumn's FDrawColumn in CalcRect(CellColumn, ARow).
  int CellDataColumn(int ACol, int ARow) const;
  TRixColumn* CellColumn(int ACol, int ARow) const;
  // The record slot of a data row; -1 for a title row.
  int RecordSlot(int ARow) const;
  // The raw cell of data column ColIndex in the record that holds ARawRow.
  TGridCoord GetColumnPosInRecord(int ColIndex, int ARawRow) const;
  // Pixels of Column's cell in the record of raw row ARow, merged over the
  // columns bound to its draw column. Empty for nil.
  TRect CalcRect(TRixColumn* Column, int ARow) const;
  // Title cell of a nested object column at depth ARow; MasterCol is the
  // group (ColumnAtDepth) whose title it is, nil when none.
  TRect CalcTitleRect(TRixColumn* Col, int ARow, TRixColumn*& MasterCol) const;
  // The centre of cell (ACol, ARow) lies in Column's merged cell of the
  // current record.
  bool InBindColumn(int ACol, int ARow, TRixColumn* Column) const;
  // Col, or its ancestor at depth ADepth; nil when none.
  static TRixColumn* ColumnAtDepth(TRixColumn* Col, int ADepth);
  // The current column: the draw column of the column under the current
  // cell, -1 without columns. Setting moves the current cell to the column's
  // cell in the current record.
  int SelectedIndex() const;
  void SetSelectedIndex(int Value);
  TField* SelectedField() const;
  void SetSelectedField(TField* Value);

  // ---- Painting helpers for event handlers ----
  void DefaultDrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
  void DefaultDrawColumnCell(const TRect& Rect, int DataCol, TRixColumn* Column, TGridDrawState State);
  bool UseRightToLeftAlignmentForField(const TField* AField, TAlignment Alignment) const;
  // The check box's side in the last check-box cell painted.
  int CheckSize() const { return FCheckSize; }
  // Raw grid row of the last indicator row painted for the current record.
  int SelRow() const { return FSelRow; }

  // ---- Answers to the data link ----
  virtual void DefineFieldMap();
  virtual void LinkActive(bool Value);
  virtual void DataChanged();
  virtual void RecordChanged(TField* Field);
  virtual void Scroll(int Distance);
  virtual void EditingChanged();
  virtual void UpdateData();
  void UpdateRowCount();
  void UpdateActive();
  void UpdateScrollBar();
  void SetRecordIndex();

  bool AcquireFocus();
  void CreateWnd() override;
  void DefaultHandler(TMessage& Message) override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;

  // Called by the bookmark list whenever it empties.
  void SelectionCleared();
  bool Selecting() const { return FSelecting; }
  const std::string& SelectionAnchor() const { return FSelectionAnchor; }

  // ---- Mouse (GridMouse.cpp) ----
  // The point lies on the expand button of a title; MasterCol is the object
  // column the button belongs to (nil when none).
  bool PtInExpandButton(int X, int Y, TRixColumn*& MasterCol);
  // The data cell (column, row) of the push button drawn pressed; (-1, -1)
  // when none is.
  TPoint MouseDownPos() const { return FMouseDownPos; }
  TRixColumn* DragCol() const { return FDragCol; }

  // ---- Keyboard and moves (GridKeyboard.cpp, GridMoves.cpp) ----
  void KeyDown(unsigned short& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  // Moves along the current grid row; Direction -1 or 1 skips hidden and
  // bound columns that way, 0 takes RawCol as it is.
  void MoveCol(int RawCol, int Direction);
  // Moves to any cell; RowDirection is the vertical direction of travel,
  // Shift the shift state that extends a multi-selection.
  void MoveCol(int RawCol, int Direction, int RawRow, int RowDirection, TShiftState Shift);
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

  // ---- The editor's answers (GridEditing.cpp) ----
  bool CanEditModify() override;
  std::string GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;
  std::string GetEditMask(int ACol, int ARow) override;
  int GetEditLimit() override;
  // The current column's edit style (esSimple without one); sets the
  // editor's UseDataList. ACol and ARow are not used.
  TRixEditStyle GetRixEditStyle(int ACol, int ARow);
  // The text the editor edits for Column's Field: a memo shown as text is
  // edited as its value, anything else as its EditText.
  static std::string FieldEditText(const TRixColumn* Column, TField* Field);
  TEditStyle GetEditStyle(int ACol, int ARow) override;
  bool CanEditAcceptKey(char32_t Key) override;
  // The selected column's whole merged cell.
  TRect EditorRect() const override;
  bool ExecuteAction(TAction* Action) override;
  bool UpdateAction(TAction* Action) override;
  TRixDBGridInplaceEdit* RixInplaceEditor() const { return dynamic_cast<TRixDBGridInplaceEdit*>(InplaceEditor()); }
  // The ellipsis button: OnEditButtonClick, or the popup grid of a
  // nested-dataset column.
  virtual void EditButtonClick();
  // No position: X and Y at NoPopupPosition.
  static constexpr int NoPopupPosition = -2147483647 - 1;
  virtual void ShowPopupEditor(TRixColumn* Column, int X = NoPopupPosition, int Y = NoPopupPosition);
  // Input methods: the grid's own, replaced by the current column's where it
  // has one; UpdateIme applies them (on every column enter).
  void SetIme();
  void UpdateIme();

  // ---- The blob menu and the clipboard (GridBlobMenu.cpp) ----
  // The menu's handlers work on the selected field when it is a graphic
  // field. GraphicsMenuUpdate shows the items only where a load could edit
  // the field, and changes nothing to find out (LoadableField).
  void miSaveToStreamClick(TObject* Sender);
  void miLoadFromStreamClick(TObject* Sender);
  void miSaveToFileClick(TObject* Sender);
  void miLoadFromFileClick(TObject* Sender);
  void GraphicsMenuUpdate(TObject* Sender);
  // Pictures of a blob-like selected field and the system clipboard (the
  // keyboard's Ctrl+C, Ctrl+X, Ctrl+V). An empty field makes Copy and Cut do
  // nothing; Paste takes a picture in any registered format.
  void CopyToClipBoardBitmap();
  void CutToClipBoardBitmap();
  void PasteFromClipBoardBitmap();
  // The field could be put into edit state through the data link now: the
  // link is active and writable, the data source edits automatically or the
  // dataset is editing already, and dataset and field can be modified.
  bool LoadableField(TField* Field) const;

protected:
  TRixCustomDBGrid(TComponent* AOwner, const TRixGridFactories& Factories);

  virtual TRixDBGridColumns* CreateColumns();
  virtual TRixGridDataLink* CreateDataLink();
  virtual void SetColumnAttributes();
  virtual void ColEnter();
  virtual void ColExit() { if (FOnColExit) FOnColExit(this); }
  // ---- The mouse (GridMouse.cpp) ----
  virtual void CellClick(TRixColumn* Column);
  virtual void ButtonCheckBoxClick(TRixColumn* Column);
  virtual void TitleClick(TRixColumn* Column);
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs,
                       TGridDrawInfo& FixedInfo) override;
  bool BeginColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) override;
  bool CheckColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) override;
  bool EndColumnDrag(int& Origin, int& Destination, const TPoint& MousePt) override;
  void CMDesignHitTest(TMessage& M) override;
  void WMSetCursor(TMessage& M) override;
  void WMChar(TMessage& M) override;
  void WMMouseWheel(TMessage& M) override;
  bool CanEditShow() override;
  TInplaceEdit* CreateEditor() override;
  void CMExit(TMessage& M) override;
  void WMSetFocus(TMessage& M) override;
  void WMKillFocus(TMessage& M) override;
  void WMIMEStartComposition(TMessage& M) override;

  // ---- The layout pass and its steps (GridLayout.cpp) ----
  void InternalLayout();
  void SetFixedCols_(int Value);
  void CheckForPassthroughs();
  void ResetColumnFieldBindings();
  void MeasureTitleHeights();
  void SetColumnBindings();
  void ColWidthsChanged() override;
  void RowHeightsChanged() override;
  void ColumnMoved(int FromIndex, int ToIndex) override;

  // ---- Scrolling (GridScroll.cpp) ----
  void TopLeftChanged() override;
  void TimedScroll(TGridScrollDirection Direction) override;
  void WMVScroll(TMessage& M) override;
  void WMHScroll(TMessage& M) override;

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // ---- Painting (GridPaint.cpp, GridPaintCells.cpp) ----
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  // ACol, ARow are data coordinates here.
  virtual void DrawCellSpecial(int ACol, int ARow, TRixColumn* Column, const TRect& ARect, TGridDrawState AState);
  virtual bool HighlightCell(int DataCol, int DataRow, const std::string& Value, TGridDrawState AState);
  virtual void DrawDataCell(const TRect& Rect, TField* Field, TGridDrawState State);
  virtual void DrawColumnCell(const TRect& Rect, int DataCol, TRixColumn* Column, TGridDrawState State);

  void CMDeferLayout(TMessage& M);
  void CMFontChanged(TMessage& M) override;
  void CMParentFontChanged(TMessage& M) override;
  void CMParentColorChanged(TMessage& M) override;
  void CMBiDiModeChanged(TMessage& M) override;
  void CMEnabledChanged(TMessage& M) override;
  void WMSize(TMessage& M) override;
  void TitleFontChanged(TObject* Sender);
  void InvalidateTitles();

private:
  friend class TRixGridDataLink;
  friend class TRixDBGridInplaceEdit;
  friend class TRixDBGrid;
  // A column reads FUpdateFields and FLayoutFromDataset when it sets its
  // width, and runs InternalLayout when its binding changes.
  friend class TRixColumn;
  // A column set is read into a scratch collection made by CreateColumns.
  friend class TRixDBGridColumns;
  void Construct(const TRixGridFactories& Factories);
  void LoadImageLists();
  void CreateBlobPopupMenu();
  void DrawTitleCell(const TRect& CellRect, int ARow, TRixColumn* Column, TGridDrawState& AState, int FrameOffs);
  void DrawIndicatorCell(TRect ARect, int DataRow, int ActiveRecord, int FrameOffs);
  bool RowIsMultiSelected() const;
  void DrawDataCellContents(int DataCol, int DataRow, int ActiveRecord, TRixColumn* OldColumn,
                            TRixColumn* DrawColumn, TRect& R, TGridDrawState& AState);
  bool FocusRectWanted() const;
  void PaintImageCell(TRixColumn* Column, const TRect& ARect);
  void MemoCell(TRixColumn* Column, const TRect& ARect);
  void ReadColumns(TReader& Reader);
  void WriteColumns(TWriter& Writer);
  // The keyboard's helpers. Shift is the shift state of the key or of the
  // cell move that asked.
  void ClearSelection();
  int DoSelection(bool Select, int Direction, TShiftState Shift);
  void NextRow(bool Select, bool Eve, TShiftState Shift);
  void PriorRow(bool Select, bool Eve, TShiftState Shift);
  void StepRowInRecord(int Direction, bool Eve, TShiftState Shift);
  // These answer whether the current record changed. Select lets Shift
  // extend the selection (the cell moves of Tab do not).
  bool MoveToRecord(int Direction, int NewOffset, TShiftState Shift, bool Select);
  bool NextRecord(TShiftState Shift, bool Select = true);
  bool PriorRecord(TShiftState Shift, bool Select = true);
  void Tab(bool GoForward, TShiftState Shift);
  bool DeletePrompt();
  // The column at data column Index itself (not its draw column); nil
  // outside the collection.
  TRixColumn* ColumnOrNil(int Index) const;
  // The draw column of the selected column; nil without columns.
  TRixColumn* SelectedDrawColumn() const;
  // Fires ColExit unless one is running; false when its handler moved the
  // current cell away from (OldCol, OldRow).
  bool ColExitAllows(int OldCol, int OldRow);
  void FinishColumnMove();

  // Fields in the order of the grid's own table.
  TColor FAlternatingRecordColor = clWindow;
  bool FAlternatingRecordColorChange = false;
  TPopupMenu* FBlobPopupMenu = nullptr;
  TRixBookmarkList* FBookmarks = nullptr;
  int FColsPerRow = 1;
  TRixDBGridColumns* FColumns = nullptr;
  bool FCRtoNextCol = false;
  TRixGridDataLink* FDataLink = nullptr;
  int FDataRowHeight = 0;
  bool FDefaultDrawing = true;
  bool FDefaultMenuShow = true;
  TRixColumn* FDragCol = nullptr;
  std::string FEditText;
  int FFixedCols = 0;
  int FFixedRows = 0;
  TColor FFocusedRecordColor = clWindow;
  bool FFocusedRecordColorChange = false;
  bool FInColExit = false;
  TImageList* FIndicators = nullptr;
  bool FIsESCKey = false;
  bool FLayoutFromDataset = false;
  std::uint8_t FLayoutLock = 0;
  TPoint FMouseDownPos{-1, -1};
  // The data cell a left press landed on and made current; a release acts on
  // a button or check box only inside that cell's merged area.
  TGridCoord FPressedCell{-1, -1};
  int FOffset = 0;
  int FOldPos = 0;
  // Polls a dataset's background record count (timer 1 is the base grid's).
  static constexpr std::uintptr_t CountTimer = 2;
  static constexpr unsigned CountTimerElapse = 100;
  TRixDBGridClickEvent FOnCellClick;
  TNotifyEvent FOnColEnter;
  TNotifyEvent FOnColExit;
  TMovedEvent FOnColumnMoved;
  TRixDrawColumnCellEvent FOnDrawColumnCell;
  TDrawDataCellEvent FOnDrawDataCell;
  TNotifyEvent FOnEditButtonClick;
  TRixDBGridClickEvent FOnTitleClick;
  TRixDBGridOptions FOptions;
  TImageList* FOrderArrow = nullptr;
  TImeMode FOriginalImeMode = imDontCare;
  TImeName FOriginalImeName;
  bool FReadOnly = false;
  mutable int FRecordIndex = 0;
  // The record index is taken from the dataset when next read: its count
  // was still being made when the record changed, and a scroll need not
  // wait for it.
  mutable bool FRecordIndexDue = false;
  int FRowsPerRecord = 1;
  bool FSelecting = false;
  std::string FSelectionAnchor;
  bool FSelfChangingTitleFont = false;
  int FSelRow = 0;
  TStream* FStream = nullptr;
  TFont* FTitleFont = nullptr;
  std::uint8_t FTitleOffset = 1;
  std::uint8_t FIndicatorOffset = 1;
  std::uint8_t FUpdateLock = 0;
  bool FUserChange = false;
  TList* FVisibleColumns = nullptr;
  TRect FSelectedRect{0, 0, 0, 0};
  bool FUpdateFields = false;
  bool FAcquireFocus = true;
  int FCheckSize = 10;

  // Platform-side state of this implementation.
  bool FLayoutPending = false;   // deferred before the window existed
  int FLayoutPassCount = 0;
  bool FUsesBitmap = false;      // registered with the shared drawing bitmap
  std::map<std::string, std::string> FEventNames;
  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  std::unique_ptr<TSizeConstraints> FConstraints = std::make_unique<TSizeConstraints>();
  bool FCtl3D = true;
  TCursor FDragCursor = crDrag;
  bool FParentCtl3D = true;
  bool FParentShowHint = true;
  bool FShowHint = false;
  int FTabOrder = -1;
  TDragDropEvent FOnDragDrop;
  TDragOverEvent FOnDragOver;
  TEndDragEvent FOnEndDock, FOnEndDrag;
  TStartDragEvent FOnStartDock, FOnStartDrag;
};

class TRixDBGrid : public TRixCustomDBGrid {
  RIX_CLASS_NAME(TRixDBGrid)
  RIX_PUBLISHED(TRixDBGrid)
public:
  explicit TRixDBGrid(TComponent* AOwner) : TRixCustomDBGrid(AOwner) {}

protected:
  using TRixCustomDBGrid::TRixCustomDBGrid;
};

// Holds one layout level of a grid (nil: none) for a scope. End() closes it
// with the relayout of the outermost level; a scope left by an exception
// closes it without one.
class TLayoutBracket {
public:
  // Held: the level was already taken (AcquireLayoutLock); the bracket only
  // closes it.
  explicit TLayoutBracket(TRixCustomDBGrid* Grid, bool Held = false) : FGrid(Grid) {
    if (FGrid != nullptr && !Held) FGrid->BeginLayout();
  }
  ~TLayoutBracket() {
    if (FGrid != nullptr) FGrid->CancelLayout();
  }
  // EndLayout closes the level itself also when the relayout raises.
  void End() {
    if (TRixCustomDBGrid* g = std::exchange(FGrid, nullptr)) g->EndLayout();
  }
  TLayoutBracket(const TLayoutBracket&) = delete;
  TLayoutBracket& operator=(const TLayoutBracket&) = delete;

private:
  TRixCustomDBGrid* FGrid;
};

// Holds a grid's update lock for a scope, also when the scope is left by an
// exception.
class TUpdateLockGuard {
public:
  explicit TUpdateLockGuard(TRixCustomDBGrid* Grid) : FGrid(Grid) { FGrid->BeginUpdate(); }
  ~TUpdateLockGuard() { FGrid->EndUpdate(); }
  TUpdateLockGuard(const TUpdateLockGuard&) = delete;
  TUpdateLockGuard& operator=(const TUpdateLockGuard&) = delete;

private:
  TRixCustomDBGrid* FGrid;
};
