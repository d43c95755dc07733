#include "platform/controls/ListView.h"

#include "platform/controls/TextMeasure.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>
#include <cstdlib>

namespace {
// How far a pressed mouse moves before a drag begins (the system's default).
constexpr int DragThreshold = 5;
constexpr int TextMargin = 4;
} // namespace

void TListItem::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  FOwner->Invalidate();
}

int TListItem::Index() const {
  const auto& v = FOwner->FItems;
  for (size_t i = 0; i < v.size(); ++i)
    if (v[i].get() == this) return static_cast<int>(i);
  return -1;
}

TListView::TListView(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(true);
  SetBounds(0, 0, 250, 150);
}

TListView::~TListView() = default;

void TListView::SetViewStyle(TViewStyle Value) {
  if (FViewStyle == Value) return;
  FViewStyle = Value;
  Invalidate();
}

TListItem* TListView::Items(int Index) const {
  if (Index < 0 || Index >= ItemCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)].get();
}

TListItem* TListView::AddItem(const std::string& Caption) {
  FItems.push_back(std::make_unique<TListItem>(this, Caption));
  Invalidate();
  return FItems.back().get();
}

void TListView::ClearItems() {
  FItems.clear();
  FItemIndex = -1;
  FEditing = -1;
  Invalidate();
}

void TListView::SetItemIndex(int Value) {
  if (Value < 0 || Value >= ItemCount()) Value = -1;
  if (FItemIndex == Value) return;
  FItemIndex = Value;
  Invalidate();
}

int TListView::ItemHeight() const { return rix::FontLineHeight(Font()) + 2; }

int TListView::RowsPerColumn() const {
  if (FViewStyle != vsList) return std::max(ItemCount(), 1);
  return std::max(ClientHeight() / ItemHeight(), 1);
}

int TListView::ColumnWidth() const {
  int w = 0;
  for (const auto& item : FItems) w = std::max(w, rix::FontTextWidth(Font(), item->Caption()));
  return w + 2 * TextMargin;
}

TRect TListView::ItemRect(int Index) const {
  const int rows = RowsPerColumn(), h = ItemHeight(), w = ColumnWidth();
  const int col = Index / rows, row = Index % rows;
  return Rect(col * w, row * h, col * w + w, row * h + h);
}

TListItem* TListView::GetItemAt(int X, int Y) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (PtInRect(ItemRect(i), {X, Y})) return Items(i);
  return nullptr;
}

bool TListView::EditCaption(int Index) {
  if (Index < 0 || Index >= ItemCount()) return false;
  bool allow = true;
  if (FOnEditing) FOnEditing(this, Items(Index), allow);
  if (allow) FEditing = Index;
  return allow;
}

void TListView::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (FOnDragOver) {
    Accept = true;
    FOnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TListView::DragDrop(TObject* Source, int X, int Y) {
  if (FOnDragDrop) FOnDragDrop(this, Source, X, Y);
}

void TListView::KeyDown(unsigned short& Key, TShiftState Shift) {
  if (Key == VK_F2 && FItemIndex >= 0 && !IsEditing()) {
    EditCaption(FItemIndex);
    Key = 0;
  } else if ((Key == VK_ESCAPE || Key == VK_RETURN) && IsEditing()) {
    FEditing = -1;
    Key = 0;
  }
  TCustomControl::KeyDown(Key, Shift);
}

void TListView::Click() {
  // A press that became a drag is no click.
  if (FDragged) return;
  TCustomControl::Click();
}

void TListView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus()) SetFocus();
  FDragged = false;
  if (Button == mbLeft) {
    TListItem* item = GetItemAt(X, Y);
    SetItemIndex(item != nullptr ? item->Index() : -1);
    FDragPending = item != nullptr && DragMode() == dmAutomatic;
    FDragStart = {X, Y};
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TListView::MouseMove(TShiftState Shift, int X, int Y) {
  if (FDragPending && !FDragging && Shift.Contains(ssLeft) &&
      (std::abs(X - FDragStart.X) >= DragThreshold || std::abs(Y - FDragStart.Y) >= DragThreshold)) {
    FDragging = true;
    FDragged = true;
    BeginDrag(true);
  }
  if (FDragging) {
    bool accept = false;
    if (PtInRect(ClientRect(), {X, Y})) DragOver(this, X, Y, dsDragMove, accept);
    SetScreenCursor(accept ? crDrag : crNoDrop);
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TListView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FDragging) {
    bool accept = false;
    if (PtInRect(ClientRect(), {X, Y})) DragOver(this, X, Y, dsDragMove, accept);
    EndDrag();
    if (accept) DragDrop(this, X, Y);
  }
  FDragPending = false;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TListView::EndDrag() {
  FDragging = false;
  FDragPending = false;
  TControl::EndDrag(true);
  SetScreenCursor(crDefault);
}

void TListView::DoEnter() {
  Invalidate();
  TCustomControl::DoEnter();
}

void TListView::DoExit() {
  Invalidate();
  TCustomControl::DoExit();
}

void TListView::Paint() {
  TCanvas* c = Canvas();
  if (c == nullptr) return;
  c->SetFont(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  SetBkMode(c->Handle(), TRANSPARENT);
  const TRect clip = PaintClipRect();
  for (int i = 0; i < ItemCount(); ++i) {
    TRect r = ItemRect(i);
    TRect visible;
    if (!IntersectRect(visible, r, clip)) continue;
    TRect text = r;
    text.Right = text.Left + rix::FontTextWidth(Font(), Items(i)->Caption()) + 2 * TextMargin;
    if (i == FItemIndex) {
      c->Brush()->SetColor(Focused() ? clHighlight : clBtnFace);
      c->FillRect(text);
      c->Font()->SetColor(Focused() ? clHighlightText : Font()->Color());
    } else {
      c->Brush()->SetColor(Color());
      c->Font()->SetColor(Font()->Color());
    }
    c->TextRect(text, text.Left + TextMargin, text.Top + 1, Items(i)->Caption());
    if (i == FItemIndex && Focused()) DrawFocusRect(c->Handle(), text);
  }
}
