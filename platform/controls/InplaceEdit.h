// The grid's in-place editors.
//
// TInplaceEdit is a single-line editor kept as a text model: the text, the
// caret and the selection (in characters), MaxLength, an edit mask, the
// Modified flag and text exchange with the clipboard. Typing, deleting,
// cutting and pasting ask the grid's CanEditModify first and hand the new
// text to the grid's SetEditText after every change; text loaded from the
// grid (UpdateContents) does not. Escape restores the text the editor was
// loaded with (and tells the grid) before the grid sees the key.
// Caret placement by mouse needs text metrics and comes with painting.
//
// TInplaceEditList adds an ellipsis button or a drop-down pick list.
#pragma once

#include "platform/controls/EditMask.h"
#include "platform/controls/Grids.h"
#include "platform/core/Strings.h"

#include <algorithm>
#include <functional>
#include <memory>

class TInplaceEdit : public TCustomControl {
  RIX_CLASS_NAME(TInplaceEdit)
public:
  explicit TInplaceEdit(TComponent* AOwner);

  TCustomGrid* Grid() const { return FGrid; }
  void SetGrid(TCustomGrid* Value) { FGrid = Value; }

  // The value (for a masked editor: per the mask's save-literals field).
  std::string Text() const;
  // Loads text without telling the grid; clears Modified and the selection.
  void SetText(const std::string& Value);
  // What the editor shows (for a masked editor: literals and blanks too).
  std::string EditText() const { return rix::Utf32ToUtf8(FText); }
  int TextLength() const { return static_cast<int>(FText.size()); }

  int SelStart() const { return std::min(FAnchor, FCaret); }
  int SelLength() const { return std::abs(FCaret - FAnchor); }
  void SetSelStart(int Value);
  void SetSelLength(int Value);
  std::string SelText() const;
  int CaretPos() const { return FCaret; }
  void SelectAll();
  // Caret to the end, nothing selected.
  void Deselect();

  // 0: no limit; -1: the grid allows no change.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value);
  bool IsMasked() const { return FMask.IsMasked(); }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }

  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void ClearSelection();
  // Puts back the text loaded by UpdateContents (when modified).
  void Reset();

  void SetOnChange(TNotifyEvent E) { FOnChange = std::move(E); }

  // Loads the editor for the grid's current cell.
  virtual void UpdateContents();
  // Shows the editor over Loc (hides it for an empty Loc) and takes the focus
  // from the grid.
  void Move(const TRect& Loc);
  void UpdateLoc(const TRect& Loc);
  bool PosEqual(const TRect& R) const { return BoundsRect() == R; }
  // Hides the editor; a focused editor gives the focus back to its grid.
  void Hide();
  // The rectangle the text is laid out in (set by BoundsChanged).
  const TRect& EditRect() const { return FEditRect; }
  // The caret position nearest to client x-coordinate X.
  int CaretPosAt(int X) const;

  void WndProc(TMessage& Message) override;
  void KeyDown(unsigned short& Key, TShiftState Shift) override;
  void KeyUp(unsigned short& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

protected:
  virtual bool EditCanModify();
  virtual void BoundsChanged();
  virtual void Change();
  void DblClick() override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Dispatch(TMessage& M) override;
  void DefaultHandler(TMessage& M) override;
  void WMGetDlgCode(TMessage& M) override;
  void InternalMove(const TRect& Loc, bool Redraw);
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The pixel offsets of the caret positions From ... From + Offsets.size() - 1,
  // relative to position From. Only a stretch of text around the caret is
  // measured, so a value of megabytes costs no more than one that fits.
  struct TMeasured {
    size_t From = 0;
    std::vector<int> Offsets;
    bool Whole = true; // the stretch is the whole text
    int At(size_t Pos) const { return Offsets[std::clamp(Pos, From, From + Offsets.size() - 1) - From]; }
  };
  TMeasured CaretOffsets() const;
  void ScrollCaretIntoView(const TMeasured& Text) const;

  // The edit control's own handling of a key (caret moves, Delete) and of a
  // character (typing, Backspace, ^C ^V ^X).
  void EditKey(unsigned short Key, TShiftState Shift);
  void EditChar(char32_t Ch);
  // Replaces the selection with Chars (typing and pasting); false when refused.
  bool InsertChars(const std::u32string& Chars);
  void DeleteSelectionOr(int Direction);

  TRect FEditRect;

private:
  void SetCaret(int Pos, bool Extend);

  TCustomGrid* FGrid = nullptr;
  std::u32string FText;
  std::u32string FOriginal; // as loaded, for Reset
  int FAnchor = 0, FCaret = 0;
  int FMaxLength = 0;
  std::string FEditMask;
  rix::TEditMaskModel FMask;
  bool FModified = false;
  bool FReadOnly = false;
  bool FSelectingByMouse = false;
  mutable int FScrollX = 0;       // pixels scrolled off to the left of position FScrollFrom
  mutable size_t FScrollFrom = 0; // where the measured stretch began when FScrollX was set
  TNotifyEvent FOnChange;
};

// The drop-down list of a pick-list editor: items, the selected item, and
// selection by keys and by the mouse. It sits on the screen (Left/Top are
// screen coordinates) and never takes the focus.
class TPopupListbox : public TCustomControl {
  RIX_CLASS_NAME(TPopupListbox)
public:
  explicit TPopupListbox(TComponent* AOwner);

  TStrings* Items() const { return FItems.get(); }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value) { FItemHeight = Value > 0 ? Value : 1; }
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  // The item under a client point, or -1.
  int ItemAtPos(TPoint P, bool Existing = true) const;
  // Rows shown at the list's height.
  int VisibleItems() const;

  TPoint ClientOrigin() const override { return {2, 2}; }
  TRect ClientRect() const override;
  TPoint ClientToScreen(TPoint P) const override { return {P.X + Left() + 2, P.Y + Top() + 2}; }
  // Width the widest item needs, margins included.
  int ItemsWidth() const;
  void PaintNonClient(TCanvas* C) override;

  void KeyDown(unsigned short& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void WMKillFocus(TMessage& M) override {}
  void WMGetDlgCode(TMessage& M) override { M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }
  void CMFontChanged(TMessage& M) override;
  void Paint() override;

private:
  std::unique_ptr<TStringList> FItems;
  int FItemIndex = -1;
  int FItemHeight = 16;
  int FTopIndex = 0;
};

using TOnGetPickListItems = std::function<void(int ACol, int ARow, TStrings* Items)>;

class TInplaceEditList : public TInplaceEdit {
  RIX_CLASS_NAME(TInplaceEditList)
public:
  explicit TInplaceEditList(TComponent* AOwner);

  TEditStyle EditStyle() const { return FEditStyle; }
  void SetEditStyle(TEditStyle Value) { FEditStyle = Value; }
  // The pick list, created on first use.
  TPopupListbox* PickList();
  // The list that drops down: the pick list, another list, or nil.
  TWinControl* ActiveList() const { return FActiveList; }
  void SetActiveList(TWinControl* Value) { FActiveList = Value; }
  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int Value) { FDropDownRows = Value; }
  bool ListVisible() const { return FListVisible; }
  bool PickListLoaded() const { return FPickListLoaded; }
  void SetPickListLoaded(bool Value) { FPickListLoaded = Value; }
  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value) { FButtonWidth = Value; }
  TRect ButtonRect() const;
  bool OverButton(TPoint P) const;
  bool Pressed() const { return FPressed; }

  void SetOnGetPickListItems(TOnGetPickListItems E) { FOnGetPickListItems = std::move(E); }
  void SetOnEditButtonClick(TNotifyEvent E) { FOnEditButtonClick = std::move(E); }

  virtual void DropDown();
  // Hides the list; Accept takes its selected item into the text.
  virtual void CloseUp(bool Accept);
  // The list's mouse-up: a left release inside the list accepts.
  void ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void UpdateContents() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(unsigned short& Key, TShiftState Shift) override;

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // For lists of derived editors, which close them up themselves.
  void SetListVisible(bool Value) { FListVisible = Value; }
  virtual void DoEditButtonClick();
  virtual void DoGetPickListItems();
  void DoDropDownKeys(unsigned short& Key, TShiftState Shift);
  void Paint() override;
  void BoundsChanged() override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void CMCancelMode(TMessage& M) override;
  void WMKillFocus(TMessage& M) override;

private:
  void TrackButton(int X, int Y);
  void StopTracking();

  TEditStyle FEditStyle = Grids::esSimple;
  TPopupListbox* FPickList = nullptr;
  TWinControl* FActiveList = nullptr;
  int FDropDownRows = 7;
  bool FListVisible = false;
  bool FTracking = false;
  bool FPressed = false;
  bool FPickListLoaded = false;
  int FButtonWidth;
  TOnGetPickListItems FOnGetPickListItems;
  TNotifyEvent FOnEditButtonClick;
};
