#include "platform/controls/InplaceEdit.h"

#include <algorithm>

TInplaceEditList::TInplaceEditList(TComponent* AOwner)
    : TInplaceEdit(AOwner), FButtonWidth(GetSystemMetrics(SM_CXVSCROLL)) {}

void TInplaceEditList::BeforeDestruction() {
  FActiveList = nullptr;
  TInplaceEdit::BeforeDestruction();
  FPickList = nullptr;
}

void TInplaceEditList::Notification(TComponent* AComponent, TOperation Operation) {
  TInplaceEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FPickList) FPickList = nullptr;
  if (AComponent == FActiveList) {
    FActiveList = nullptr;
    FListVisible = false;
  }
}

TPopupListbox* TInplaceEditList::PickList() {
  if (FPickList == nullptr) {
    FPickList = new TPopupListbox(this);
    FPickList->SetParent(this);
    FPickList->SetOnMouseUp(
        [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
          ListMouseUp(Sender, Button, Shift, X, Y);
        });
  }
  return FPickList;
}

TRect TInplaceEditList::ButtonRect() const {
  if (Grid() == nullptr || !Grid()->UseRightToLeftAlignment()) return Rect(Width() - FButtonWidth, 0, Width(), Height());
  return Rect(0, 0, FButtonWidth, Height());
}

bool TInplaceEditList::OverButton(TPoint P) const { return FEditStyle != Grids::esSimple && PtInRect(ButtonRect(), P); }

void TInplaceEditList::UpdateContents() {
  if (Grid() == nullptr) return;
  FActiveList = nullptr;
  FPickListLoaded = false;
  FEditStyle = Grid()->GetEditStyle(Grid()->Col(), Grid()->Row());
  if (FEditStyle == Grids::esPickList) FActiveList = PickList();
  TInplaceEdit::UpdateContents();
}

void TInplaceEditList::BoundsChanged() {
  TRect r = Rect(2, 2, std::max(Width() - 2, 2), Height());
  if (FEditStyle != Grids::esSimple) {
    if (Grid() == nullptr || !Grid()->UseRightToLeftAlignment()) r.Right -= FButtonWidth;
    else r.Left += FButtonWidth - 2;
  }
  FEditRect = r;
}

void TInplaceEditList::DoGetPickListItems() {
  if (FPickListLoaded) return;
  if (FOnGetPickListItems && Grid() != nullptr) FOnGetPickListItems(Grid()->Col(), Grid()->Row(), PickList()->Items());
  FPickListLoaded = PickList()->Items()->Count() > 0;
}

void TInplaceEditList::DoEditButtonClick() {
  if (FOnEditButtonClick) FOnEditButtonClick(Grid());
}

void TInplaceEditList::DropDown() {
  if (FListVisible || FActiveList == nullptr) return;
  int listHeight = FActiveList->Height();
  if (FActiveList == FPickList) {
    DoGetPickListItems();
    FPickList->SetColor(Color());
    int count = FPickList->Items()->Count();
    int rows = (FDropDownRows > 0 && count >= FDropDownRows) ? FDropDownRows : count;
    listHeight = rows * FPickList->ItemHeight() + 4;
    std::string text = Text();
    FPickList->SetItemIndex(text.empty() ? -1 : FPickList->Items()->IndexOf(text));
  }
  TPoint p = Parent() != nullptr ? Parent()->ClientToScreen({Left(), Top()}) : TPoint{Left(), Top()};
  int listWidth = Width();
  if (FActiveList == FPickList) listWidth = std::max(listWidth, FPickList->ItemsWidth() + 4);
  FActiveList->SetBounds(p.X, p.Y + Height(), listWidth, listHeight);
  if (FActiveList == FPickList) FPickList->SetItemIndex(FPickList->ItemIndex()); // scroll it into view
  FActiveList->SetVisible(true);
  FListVisible = true;
  Invalidate();
  SetFocusWindow(Handle());
}

void TInplaceEditList::CloseUp(bool Accept) {
  if (!FListVisible || FActiveList != FPickList || FPickList == nullptr) return;
  if (GetCapture() != 0) SendMessage(GetCapture(), WM_CANCELMODE);
  int index = FPickList->ItemIndex();
  std::string value = index != -1 ? FPickList->Items()->Strings(index) : std::string();
  FPickList->SetVisible(false);
  FListVisible = false;
  Invalidate();
  if (Accept && index != -1 && EditCanModify()) {
    SetText(value);
    SelectAll();
    Change();
  }
}

void TInplaceEditList::ListMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FActiveList != nullptr) CloseUp(PtInRect(FActiveList->ClientRect(), {X, Y}));
}

void TInplaceEditList::DoDropDownKeys(unsigned short& Key, TShiftState Shift) {
  switch (Key) {
  case VK_UP:
  case VK_DOWN:
    if (Shift.Contains(ssAlt)) {
      if (FListVisible) CloseUp(true);
      else DropDown();
      Key = 0;
    }
    break;
  case VK_RETURN:
  case VK_ESCAPE:
    if (FListVisible && !Shift.Contains(ssAlt)) {
      CloseUp(Key == VK_RETURN);
      Key = 0;
    }
    break;
  default: break;
  }
}

void TInplaceEditList::WndProc(TMessage& Message) {
  switch (Message.Msg) {
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
  case WM_CHAR:
    // Characters beyond 16 bits are no key codes.
    if (FEditStyle == Grids::esPickList && Message.WParam <= 0xFFFF) {
      unsigned short key = static_cast<unsigned short>(Message.WParam);
      DoDropDownKeys(key, KeyDataToShiftState(Message.LParam));
      if (key == 0) return;
      if (FListVisible && FActiveList != nullptr) {
        Message.Result = FActiveList->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
      }
    }
    break;
  }
  TInplaceEdit::WndProc(Message);
}

void TInplaceEditList::KeyDown(unsigned short& Key, TShiftState Shift) {
  if (FEditStyle == Grids::esEllipsis && Key == VK_RETURN && Shift == TShiftState{ssCtrl}) {
    DoEditButtonClick();
    // The Return character that follows must not reach the editor.
    TMsg m;
    if (HandleAllocated() && PeekMessage(m, WindowHandle(), WM_CHAR, WM_CHAR, PM_REMOVE) && m.Message == WM_QUIT)
      PostQuitMessage(static_cast<int>(m.WParam));
    return;
  }
  TInplaceEdit::KeyDown(Key, Shift);
}

void TInplaceEditList::DblClick() {
  if (FEditStyle == Grids::esPickList && FActiveList == FPickList) {
    DoGetPickListItems();
    int n = FPickList->Items()->Count();
    if (n > 0) {
      int index = FPickList->ItemIndex() + 1;
      if (index >= n) index = 0;
      FPickList->SetItemIndex(index);
      if (EditCanModify()) {
        SetText(FPickList->Items()->Strings(index));
        SelectAll();
        Change();
      }
    }
  } else if (FEditStyle == Grids::esEllipsis) {
    DoEditButtonClick();
  } else {
    TInplaceEdit::DblClick();
  }
}

void TInplaceEditList::TrackButton(int X, int Y) {
  bool state = PtInRect(ButtonRect(), {X, Y});
  if (FPressed != state) {
    FPressed = state;
    InvalidateRect(ButtonRect());
  }
}

void TInplaceEditList::StopTracking() {
  if (!FTracking) return;
  TrackButton(-1, -1);
  FTracking = false;
  SetMouseCapture(false);
}

void TInplaceEditList::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FEditStyle != Grids::esSimple && OverButton({X, Y})) {
    if (FListVisible) {
      CloseUp(false);
    } else {
      SetMouseCapture(true);
      FTracking = true;
      TrackButton(X, Y);
      if (FActiveList != nullptr) DropDown();
    }
  }
  TInplaceEdit::MouseDown(Button, Shift, X, Y);
}

void TInplaceEditList::MouseMove(TShiftState Shift, int X, int Y) {
  if (FTracking) {
    TrackButton(X, Y);
    if (FListVisible && FActiveList != nullptr) {
      TPoint listPos = FActiveList->ScreenToClient(ClientToScreen({X, Y}));
      if (PtInRect(FActiveList->ClientRect(), listPos)) {
        StopTracking();
        FActiveList->Perform(WM_LBUTTONDOWN, 0, MakeLParam(listPos.X, listPos.Y));
        return;
      }
    }
  }
  TInplaceEdit::MouseMove(Shift, X, Y);
}

void TInplaceEditList::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool wasPressed = FPressed;
  StopTracking();
  if (Button == mbLeft && FEditStyle == Grids::esEllipsis && wasPressed) DoEditButtonClick();
  TInplaceEdit::MouseUp(Button, Shift, X, Y);
}

void TInplaceEditList::CMCancelMode(TMessage& M) {
  auto* sender = reinterpret_cast<TControl*>(M.LParam);
  if (sender != this && sender != FActiveList) CloseUp(false);
}

void TInplaceEditList::WMKillFocus(TMessage& M) {
  if (SysLocale().FarEast) {
    SetImeName(Screen().DefaultIme);
    SetImeMode(imDontCare);
  }
  TInplaceEdit::WMKillFocus(M);
  if (SysLocale().FarEast && Grid() != nullptr && M.WParam != Grid()->WindowHandle())
    ActivateKeyboardLayout(Screen().DefaultKbLayout, KLF_ACTIVATE);
  CloseUp(false);
}
