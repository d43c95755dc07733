// TListView in list style: a column of captions that flows into the next
// column when the client height is full, one item selected at most.
//
// With DragMode dmAutomatic a press on an item that moves five pixels starts
// dragging the list itself; only drops inside the list are offered (the
// list is the source and the only target), through DragOver and DragDrop
// and their events. A press that started a drag gives no OnClick.
//
// F2 asks OnEditing whether the selected item's caption may be edited in
// place; editing is recorded (IsEditing) until Escape or Enter, since the
// lists of this system never allow it.
#pragma once

#include "platform/controls/WinControl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TListView;

class TListItem {
public:
  TListItem(TListView* Owner, std::string Caption) : FOwner(Owner), FCaption(std::move(Caption)) {}
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  int Index() const;
  TListView* Owner() const { return FOwner; }

private:
  TListView* FOwner;
  std::string FCaption;
};

using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;

class TListView : public TCustomControl {
  RIX_CLASS_NAME(TListView)
public:
  explicit TListView(TComponent* AOwner);
  ~TListView() override;

  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle Value);

  int ItemCount() const { return static_cast<int>(FItems.size()); }
  // Raises EListError for an index out of range.
  TListItem* Items(int Index) const;
  TListItem* AddItem(const std::string& Caption);
  void ClearItems();
  // -1 when nothing is selected; an index out of range selects nothing.
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value);
  TListItem* Selected() const { return FItemIndex >= 0 ? Items(FItemIndex) : nullptr; }

  int ItemHeight() const;
  // Where item Index lies in the client area.
  TRect ItemRect(int Index) const;
  // The item under a client point, or nil.
  TListItem* GetItemAt(int X, int Y) const;

  // Asks OnEditing; true when the item's caption went into editing.
  bool EditCaption(int Index);
  bool IsEditing() const { return FEditing >= 0; }

  // The target side of a drag: whether a drop of Source at (X, Y) would be
  // taken, and the drop itself.
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);

  void SetOnEditing(TLVEditingEvent E) { FOnEditing = std::move(E); }
  void SetOnDragOver(TDragOverEvent E) { FOnDragOver = std::move(E); }
  void SetOnDragDrop(TDragDropEvent E) { FOnDragDrop = std::move(E); }

  void KeyDown(unsigned short& Key, TShiftState Shift) override;

protected:
  void Paint() override;
  int BorderEdge() const override { return 2; }
  void Click() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMGetDlgCode(TMessage& M) override { M.Result = DLGC_WANTARROWS; }
  // The selection is drawn differently with and without the focus.
  void DoEnter() override;
  void DoExit() override;

private:
  friend class TListItem;
  int RowsPerColumn() const;
  int ColumnWidth() const;
  void EndDrag();

  TViewStyle FViewStyle = vsIcon;
  std::vector<std::unique_ptr<TListItem>> FItems;
  int FItemIndex = -1;
  int FEditing = -1;
  // Dragging: pressed at FDragStart; FDragging once moved far enough.
  bool FDragPending = false;
  bool FDragging = false;
  bool FDragged = false;
  TPoint FDragStart;
  TLVEditingEvent FOnEditing;
  TDragOverEvent FOnDragOver;
  TDragDropEvent FOnDragDrop;
};
