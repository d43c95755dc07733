#include "platform/controls/ToolBar.h"

#include "platform/controls/Forms.h"
#include "platform/controls/HintWindow.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ImageList.h"

#include <algorithm>

namespace {
constexpr int SeparatorWidth = 8;
constexpr int BarIndent = 2;
constexpr std::uintptr_t HintTimer = 1;
// Timers tick every 60 ms, whatever the interval asked for: the hint
// counts the time itself.
constexpr int TimerTick = 60;
} // namespace

// ---- TToolButton ------------------------------------------------------------------

TToolButton::~TToolButton() = default;

void TToolButton::BeforeDestruction() {
  SetAction(nullptr);
  SetToolBar(nullptr);
  TComponent::BeforeDestruction();
}

void TToolButton::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FAction) FAction = nullptr;
  if (AComponent == FToolBar) FToolBar = nullptr;
}

void TToolButton::SetToolBar(TToolBar* Bar) {
  if (FToolBar == Bar) return;
  if (FToolBar != nullptr) {
    FToolBar->RemoveButton(this);
    RemoveFreeNotification(FToolBar);
  }
  FToolBar = Bar;
  if (Bar != nullptr) {
    FreeNotification(Bar);
    Bar->InsertButton(this);
  }
}

void TToolButton::Changed() {
  if (FToolBar != nullptr) FToolBar->Invalidate();
}

void TToolButton::SetStyle(TToolButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TToolButton::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed();
}

void TToolButton::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Changed();
}

void TToolButton::SetAction(TAction* Value) {
  if (FAction == Value) return;
  if (FAction != nullptr) {
    FAction->UnRegisterClient(this);
    RemoveFreeNotification(FAction);
  }
  FAction = Value;
  if (Value != nullptr) {
    Value->RegisterClient(this);
    FreeNotification(Value);
    ActionChanged(Value);
  }
}

void TToolButton::ActionChanged(TAction* Sender) {
  if (Sender != FAction) return;
  FEnabled = Sender->Enabled();
  FHint = Sender->Hint();
  FCaption = Sender->Caption();
  if (Sender->ImageIndex() >= 0) FImageIndex = Sender->ImageIndex();
  Changed();
}

void TToolButton::Click() {
  if (!FEnabled || FStyle == tbsSeparator || FStyle == tbsDivider) return;
  if (FOnClick) FOnClick(this);
  else if (FAction != nullptr) FAction->Execute();
}

// ---- TToolBar ---------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(false);
  SetColor(clBtnFace);
  SetBounds(0, 0, 150, FButtonHeight + 2 * BarIndent);
}

TToolBar::~TToolBar() = default;

void TToolBar::BeforeDestruction() {
  const std::vector<TToolButton*> buttons = FButtons;
  for (TToolButton* b : buttons) b->SetToolBar(nullptr);
  TCustomControl::BeforeDestruction();
}

void TToolBar::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) FImages = nullptr;
  if (AComponent == FHint) FHint = nullptr;
}

void TToolBar::SetImages(TImageList* Value) {
  if (FImages == Value) return;
  if (FImages != nullptr) RemoveFreeNotification(FImages);
  FImages = Value;
  if (Value != nullptr) FreeNotification(Value);
  Invalidate();
}

void TToolBar::SetButtonSize(int Width, int Height) {
  FButtonWidth = Width;
  FButtonHeight = Height;
  SetHeight(Height + 2 * BarIndent);
  Invalidate();
}

TToolButton* TToolBar::Buttons(int Index) const {
  if (Index < 0 || Index >= ButtonCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FButtons[static_cast<size_t>(Index)];
}

void TToolBar::InsertButton(TToolButton* B) {
  FButtons.push_back(B);
  Invalidate();
}

void TToolBar::RemoveButton(TToolButton* B) {
  FButtons.erase(std::remove(FButtons.begin(), FButtons.end(), B), FButtons.end());
  if (FPressed == B) FPressed = nullptr;
  if (FHot == B) CancelHint();
  Invalidate();
}

TRect TToolBar::ButtonRect(int Index) const {
  int x = BarIndent;
  for (int i = 0; i < Index; ++i) {
    const TToolButtonStyle s = Buttons(i)->Style();
    x += (s == tbsSeparator || s == tbsDivider) ? SeparatorWidth : FButtonWidth;
  }
  const TToolButtonStyle s = Buttons(Index)->Style();
  return Rect(x, BarIndent, x + ((s == tbsSeparator || s == tbsDivider) ? SeparatorWidth : FButtonWidth),
              BarIndent + FButtonHeight);
}

TToolButton* TToolBar::ButtonAt(int X, int Y) const {
  for (int i = 0; i < ButtonCount(); ++i)
    if (PtInRect(ButtonRect(i), {X, Y})) return Buttons(i);
  return nullptr;
}

void TToolBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  CancelHint();
  if (Button == mbLeft) {
    TToolButton* b = ButtonAt(X, Y);
    FPressed = (b != nullptr && b->Enabled() && b->Style() == tbsButton) ? b : nullptr;
    Invalidate();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TToolBar::MouseMove(TShiftState Shift, int X, int Y) {
  TToolButton* b = ButtonAt(X, Y);
  if (b != FHot) {
    CancelHint();
    FHot = b;
    Invalidate();
    if (FShowHint && b != nullptr && !b->Hint().empty() && !Shift.Contains(ssLeft) && HandleAllocated())
      SetTimer(Handle(), HintTimer, TimerTick);
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TToolBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TToolButton* pressed = FPressed;
  FPressed = nullptr;
  Invalidate();
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button == mbLeft && pressed != nullptr && ButtonAt(X, Y) == pressed) pressed->Click();
}

void TToolBar::WMTimer(TMessage& M) {
  if (M.WParam != HintTimer) {
    TCustomControl::WMTimer(M);
    return;
  }
  FHintElapsed += TimerTick;
  const bool shown = FHint != nullptr && FHint->Visible();
  if (!shown && FHintElapsed >= HintPause && FHot != nullptr) {
    FHintElapsed = 0;
    ShowHintOf(FHot);
  } else if (shown && FHintElapsed >= HintHidePause) {
    CancelHint();
  }
}

void TToolBar::ShowHintOf(TToolButton* B) {
  TCustomForm* form = GetParentForm(this);
  if (form == nullptr) return;
  const int i = static_cast<int>(std::find(FButtons.begin(), FButtons.end(), B) - FButtons.begin());
  const TRect r = ButtonRect(i);
  TPoint p = form->ScreenToClient(ClientToScreen({r.Left, r.Bottom + 2}));
  if (FHint == nullptr) {
    FHint = new THintWindow(this);
  }
  FHint->ActivateHint(form, p, GetShortHint(B->Hint()));
}

void TToolBar::CancelHint() {
  FHot = nullptr;
  FHintElapsed = 0;
  if (HandleAllocated()) KillTimer(Handle(), HintTimer);
  if (FHint != nullptr && FHint->Visible()) FHint->Hide();
}

void TToolBar::Paint() {
  TCanvas* c = Canvas();
  if (c == nullptr) return;
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  for (int i = 0; i < ButtonCount(); ++i) {
    TToolButton* b = Buttons(i);
    TRect r = ButtonRect(i);
    if (b->Style() == tbsSeparator || b->Style() == tbsDivider) {
      TRect line = Rect(r.Left + SeparatorWidth / 2 - 1, r.Top + 2, r.Left + SeparatorWidth / 2 + 1, r.Bottom - 2);
      DrawEdge(c->Handle(), line, EDGE_ETCHED, BF_LEFT);
      continue;
    }
    if (b == FPressed) DrawEdge(c->Handle(), r, BDR_SUNKENOUTER, BF_RECT);
    else if (b == FHot && b->Enabled()) DrawEdge(c->Handle(), r, BDR_RAISEDINNER, BF_RECT);
    if (FImages != nullptr && b->ImageIndex() >= 0 && b->ImageIndex() < FImages->Count()) {
      const int off = b == FPressed ? 1 : 0;
      FImages->Draw(c, r.Left + (r.Width() - FImages->Width()) / 2 + off,
                    r.Top + (r.Height() - FImages->Height()) / 2 + off, b->ImageIndex(), b->Enabled());
    }
  }
}
