#include "platform/controls/InplaceEdit.h"

#include "platform/controls/Clipbrd.h"
#include "platform/controls/TextMeasure.h"

#include <algorithm>

using rix::Utf32ToUtf8;
using rix::Utf8ToUtf32;

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetTabStop(false);
  FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks, csSetCaption};
}

// ---- Text model -------------------------------------------------------------------

std::string TInplaceEdit::Text() const {
  return IsMasked() ? Utf32ToUtf8(FMask.ValueOf(FText)) : Utf32ToUtf8(FText);
}

void TInplaceEdit::SetText(const std::string& Value) {
  FText = IsMasked() ? FMask.Format(Utf8ToUtf32(Value)) : Utf8ToUtf32(Value);
  FAnchor = FCaret = 0;
  FModified = false;
  Invalidate();
}

void TInplaceEdit::SetEditMask(const std::string& Value) {
  if (Value == FEditMask) return;
  std::string value = Text();
  FEditMask = Value;
  FMask = rix::TEditMaskModel(Value);
  FText = IsMasked() ? FMask.Format(Utf8ToUtf32(value)) : Utf8ToUtf32(value);
  FAnchor = FCaret = 0;
}

void TInplaceEdit::SetCaret(int Pos, bool Extend) {
  FCaret = std::clamp(Pos, 0, TextLength());
  if (!Extend) FAnchor = FCaret;
  Invalidate();
}

void TInplaceEdit::SetSelStart(int Value) { SetCaret(Value, false); }

void TInplaceEdit::SetSelLength(int Value) {
  FAnchor = SelStart();
  FCaret = std::clamp(FAnchor + Value, 0, TextLength());
}

std::string TInplaceEdit::SelText() const {
  return Utf32ToUtf8(FText.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength())));
}

void TInplaceEdit::SelectAll() {
  FAnchor = 0;
  FCaret = TextLength();
}

void TInplaceEdit::Deselect() {
  FCaret = FAnchor = TextLength();
}

bool TInplaceEdit::EditCanModify() { return FGrid == nullptr || FGrid->CanEditModify(); }

void TInplaceEdit::Change() {
  FModified = true;
  Invalidate();
  if (FOnChange) FOnChange(this);
  if (FGrid != nullptr) FGrid->UpdateText();
}

bool TInplaceEdit::InsertChars(const std::u32string& Chars) {
  if (Chars.empty() || FReadOnly || FMaxLength == -1 || !EditCanModify()) return false;
  if (IsMasked()) {
    std::u32string text = FText;
    int start = SelStart(), end = start + SelLength();
    for (int i = start; i < end; ++i)
      if (FMask.IsInput(i)) text[static_cast<size_t>(i)] = FMask.Blank();
    int pos = start;
    int placed = 0;
    for (char32_t ch : Chars) {
      pos = FMask.NextInput(pos);
      if (pos >= FMask.Length()) break;
      if (!FMask.Accepts(pos, ch)) break;
      text[static_cast<size_t>(pos)] = ch;
      ++pos;
      ++placed;
    }
    if (placed == 0) return false;
    FText = text;
    FAnchor = FCaret = FMask.NextInput(pos) < FMask.Length() ? FMask.NextInput(pos) : pos;
    Change();
    return true;
  }
  std::u32string ins = Chars;
  int start = SelStart(), len = SelLength();
  if (FMaxLength > 0) {
    int room = FMaxLength - (TextLength() - len);
    if (room <= 0) return false;
    if (static_cast<int>(ins.size()) > room) ins.resize(static_cast<size_t>(room));
  }
  FText.replace(static_cast<size_t>(start), static_cast<size_t>(len), ins);
  FAnchor = FCaret = start + static_cast<int>(ins.size());
  Change();
  return true;
}

void TInplaceEdit::DeleteSelectionOr(int Direction) {
  if (FReadOnly || FMaxLength == -1 || !EditCanModify()) return;
  int start = SelStart(), len = SelLength();
  if (len == 0) {
    if (IsMasked()) {
      int p = Direction < 0 ? FMask.PrevInput(FCaret) : FMask.NextInput(FCaret);
      if (p < 0 || p >= FMask.Length()) return;
      FText[static_cast<size_t>(p)] = FMask.Blank();
      FAnchor = FCaret = Direction < 0 ? p : FCaret;
      Change();
      return;
    }
    if (Direction < 0) {
      if (FCaret == 0) return;
      start = FCaret - 1;
    } else {
      if (FCaret >= TextLength()) return;
      start = FCaret;
    }
    len = 1;
  }
  if (IsMasked()) {
    for (int i = start; i < start + len; ++i)
      if (FMask.IsInput(i)) FText[static_cast<size_t>(i)] = FMask.Blank();
  } else {
    FText.erase(static_cast<size_t>(start), static_cast<size_t>(len));
  }
  FAnchor = FCaret = start;
  Change();
}

void TInplaceEdit::ClearSelection() {
  if (SelLength() > 0) DeleteSelectionOr(0);
}

void TInplaceEdit::CopyToClipboard() {
  if (SelLength() == 0) return;
  std::u32string sel = FText.substr(static_cast<size_t>(SelStart()), static_cast<size_t>(SelLength()));
  if (IsMasked())
    for (char32_t& c : sel)
      if (c == FMask.Blank()) c = U' ';
  Clipboard()->SetAsText(Utf32ToUtf8(sel));
}

void TInplaceEdit::CutToClipboard() {
  if (SelLength() == 0 || FReadOnly || !EditCanModify()) return;
  CopyToClipboard();
  ClearSelection();
}

void TInplaceEdit::PasteFromClipboard() {
  std::u32string text = Utf8ToUtf32(Clipboard()->AsText());
  // A single-line editor takes the first line only.
  size_t nl = text.find_first_of(U"\r\n");
  if (nl != std::u32string::npos) text.resize(nl);
  if (!text.empty()) InsertChars(text);
}

void TInplaceEdit::Reset() {
  if (!FModified) return;
  FText = FOriginal;
  SelectAll();
  FModified = false;
  Invalidate();
  if (FOnChange) FOnChange(this);
  if (FGrid != nullptr) FGrid->UpdateText();
}

// ---- Placement ---------------------------------------------------------------------

void TInplaceEdit::UpdateContents() {
  if (FGrid == nullptr) return;
  SetText("");
  SetEditMask(FGrid->GetEditMask(FGrid->Col(), FGrid->Row()));
  SetText(FGrid->GetEditText(FGrid->Col(), FGrid->Row()));
  SetMaxLength(FGrid->GetEditLimit());
  FOriginal = FText;
}

void TInplaceEdit::InternalMove(const TRect& Loc, bool Redraw) {
  if (IsRectEmpty(Loc)) {
    Hide();
    return;
  }
  HandleNeeded();
  SetBounds(Loc.Left, Loc.Top, Loc.Width(), Loc.Height());
  if (!Visible()) TControl::SetVisible(true);
  BoundsChanged();
  Invalidate();
  if (FGrid != nullptr && FGrid->Focused()) SetFocusWindow(Handle());
}

void TInplaceEdit::Move(const TRect& Loc) { InternalMove(Loc, true); }
void TInplaceEdit::UpdateLoc(const TRect& Loc) { InternalMove(Loc, false); }

void TInplaceEdit::Hide() {
  if (!HandleAllocated() || !Visible()) return;
  bool hadFocus = Focused();
  Invalidate();
  TControl::SetVisible(false);
  if (hadFocus && FGrid != nullptr) SetFocusWindow(FGrid->Handle());
}

void TInplaceEdit::BoundsChanged() { FEditRect = Rect(2, 2, std::max(Width() - 2, 2), Height()); }

// ---- Messages and keys -----------------------------------------------------------

void TInplaceEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SETFOCUS) {
    // The grid stays the form's active control while its editor has the focus.
    TCustomForm* form = GetParentForm(this);
    if (form == nullptr || form->SetFocusedControl(FGrid)) Dispatch(Message);
    return;
  }
  TCustomControl::WndProc(Message);
}

void TInplaceEdit::Dispatch(TMessage& M) {
  switch (M.Msg) {
  case WM_CUT: CutToClipboard(); return;
  case WM_COPY: CopyToClipboard(); return;
  case WM_PASTE: PasteFromClipboard(); return;
  case WM_CLEAR: ClearSelection(); return;
  default: TCustomControl::Dispatch(M); return;
  }
}

void TInplaceEdit::DefaultHandler(TMessage& M) {
  switch (M.Msg) {
  case WM_KEYDOWN: EditKey(static_cast<unsigned short>(M.WParam), KeyDataToShiftState(M.LParam)); return;
  case WM_CHAR: EditChar(static_cast<char32_t>(M.WParam)); return;
  default: TCustomControl::DefaultHandler(M); return;
  }
}

void TInplaceEdit::WMGetDlgCode(TMessage& M) {
  M.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (FGrid != nullptr && FGrid->Options().Contains(goTabs)) M.Result |= DLGC_WANTTAB;
}

void TInplaceEdit::EditKey(unsigned short Key, TShiftState Shift) {
  bool extend = Shift.Contains(ssShift);
  switch (Key) {
  case VK_LEFT:
    if (!extend && SelLength() > 0) SetCaret(SelStart(), false);
    else SetCaret(FCaret - 1, extend);
    break;
  case VK_RIGHT:
    if (!extend && SelLength() > 0) SetCaret(SelStart() + SelLength(), false);
    else SetCaret(FCaret + 1, extend);
    break;
  case VK_HOME: SetCaret(0, extend); break;
  case VK_END: SetCaret(TextLength(), extend); break;
  case VK_DELETE:
    if (extend) CutToClipboard();
    else DeleteSelectionOr(+1);
    break;
  case VK_INSERT:
    if (Shift.Contains(ssCtrl)) CopyToClipboard();
    else if (extend) PasteFromClipboard();
    break;
  default: break;
  }
}

void TInplaceEdit::EditChar(char32_t Ch) {
  switch (Ch) {
  case 0x08: DeleteSelectionOr(-1); return;
  case 0x03: CopyToClipboard(); return;
  case 0x16: PasteFromClipboard(); return;
  case 0x18: CutToClipboard(); return;
  case 0x01: SelectAll(); return;
  default:
    if (Ch >= 32) InsertChars(std::u32string(1, Ch));
    return;
  }
}

void TInplaceEdit::KeyDown(unsigned short& Key, TShiftState Shift) {
  if (FGrid == nullptr) {
    TCustomControl::KeyDown(Key, Shift);
    return;
  }
  auto sendToParent = [&] {
    FGrid->KeyDown(Key, Shift);
    Key = 0;
  };
  auto parentEvent = [&] {
    if (FGrid->OnKeyDown()) FGrid->OnKeyDown()(FGrid, Key, Shift);
  };
  bool forwardMovement = FGrid->Options().Contains(goAlwaysShowEditor);
  bool ctrl = Shift.Contains(ssCtrl);
  int selStart = SelStart(), selEnd = SelStart() + SelLength();
  bool rightSide = (selStart == 0 || selEnd == selStart) && selEnd == TextLength();
  bool leftSide = selStart == 0 && (selEnd == 0 || selEnd == TextLength());
  switch (Key) {
  case VK_ESCAPE:
    Reset();
    sendToParent();
    break;
  case VK_UP:
  case VK_DOWN:
  case VK_PRIOR:
  case VK_NEXT: sendToParent(); break;
  case VK_INSERT:
    if (Shift.Empty()) sendToParent();
    else if (Shift == TShiftState{ssShift} && !FGrid->CanEditModify()) Key = 0;
    break;
  case VK_LEFT:
  case VK_HOME:
    if (forwardMovement && (ctrl || leftSide)) sendToParent();
    break;
  case VK_RIGHT:
  case VK_END:
    if (forwardMovement && (ctrl || rightSide)) sendToParent();
    break;
  case VK_F2:
    parentEvent();
    if (Key == VK_F2) {
      Deselect();
      return;
    }
    break;
  case VK_TAB:
    if (!Shift.Contains(ssAlt)) sendToParent();
    break;
  case VK_DELETE:
    if (ctrl) sendToParent();
    else if (!FGrid->CanEditModify()) Key = 0;
    break;
  default: break;
  }
  if (Key != 0) {
    parentEvent();
    TCustomControl::KeyDown(Key, Shift);
  }
}

void TInplaceEdit::KeyUp(unsigned short& Key, TShiftState Shift) {
  if (FGrid != nullptr) FGrid->KeyUp(Key, Shift);
  else TCustomControl::KeyUp(Key, Shift);
}

void TInplaceEdit::KeyPress(char32_t& Key) {
  if (FGrid == nullptr) {
    TCustomControl::KeyPress(Key);
    return;
  }
  FGrid->KeyPress(Key);
  if (Key >= 32 && !FGrid->CanEditAcceptKey(Key)) Key = 0;
  switch (Key) {
  case U'\t':
  case 0x1B: Key = 0; break;
  case U'\r':
    if (SelStart() == 0 && SelLength() == TextLength()) Deselect();
    else SelectAll();
    Key = 0;
    break;
  case 0x08:
  case 0x16:
  case 0x18:
    if (!FGrid->CanEditModify()) Key = 0;
    break;
  default:
    if (Key >= 32 && !FGrid->CanEditModify()) Key = 0;
    break;
  }
  if (Key != 0) TCustomControl::KeyPress(Key);
}

void TInplaceEdit::DblClick() {
  if (FGrid != nullptr) FGrid->DblClick();
  else TCustomControl::DblClick();
}

bool TInplaceEdit::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (FGrid == nullptr) return TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos);
  return FGrid->DoMouseWheel(Shift, WheelDelta, MousePos);
}

// ---- TPopupListbox -------------------------------------------------------------------

TPopupListbox::TPopupListbox(TComponent* AOwner) : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
  TControl::SetVisible(false);
  SetTabStop(false);
  FItemHeight = std::max(rix::FontLineHeight(Font()), 1);
}

TRect TPopupListbox::ClientRect() const { return Rect(0, 0, std::max(Width() - 4, 0), std::max(Height() - 4, 0)); }

int TPopupListbox::VisibleItems() const { return std::max(ClientHeight() / FItemHeight, 1); }

void TPopupListbox::SetTopIndex(int Value) {
  FTopIndex = std::clamp(Value, 0, std::max(FItems->Count() - VisibleItems(), 0));
  Invalidate();
}

void TPopupListbox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  if (Value >= 0) {
    if (Value < FTopIndex) SetTopIndex(Value);
    else if (Value >= FTopIndex + VisibleItems()) SetTopIndex(Value - VisibleItems() + 1);
  }
  Invalidate();
}

int TPopupListbox::ItemAtPos(TPoint P, bool Existing) const {
  if (P.X < 0 || P.Y < 0 || P.X >= ClientWidth() || P.Y >= ClientHeight()) return Existing ? -1 : FItems->Count();
  int i = FTopIndex + P.Y / FItemHeight;
  if (i >= FItems->Count()) return Existing ? -1 : FItems->Count();
  return i;
}

void TPopupListbox::KeyDown(unsigned short& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  int n = FItems->Count();
  if (n == 0) return;
  int page = std::max(VisibleItems() - 1, 1);
  switch (Key) {
  case VK_UP: SetItemIndex(std::max(FItemIndex - 1, 0)); break;
  case VK_DOWN: SetItemIndex(std::min(FItemIndex + 1, n - 1)); break;
  case VK_PRIOR: SetItemIndex(std::max(FItemIndex - page, 0)); break;
  case VK_NEXT: SetItemIndex(std::min(std::max(FItemIndex, 0) + page, n - 1)); break;
  case VK_HOME: SetItemIndex(0); break;
  case VK_END: SetItemIndex(n - 1); break;
  default: return;
  }
  Key = 0;
}

void TPopupListbox::KeyPress(char32_t& Key) {
  TCustomControl::KeyPress(Key);
  // A character selects the next item starting with it.
  if (Key < 32) return;
  std::string prefix = rix::Utf32ToUtf8(std::u32string(1, Key));
  int n = FItems->Count();
  for (int k = 1; k <= n; ++k) {
    int i = (std::max(FItemIndex, -1) + k) % n;
    std::string s = FItems->Strings(i);
    if (s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix)) {
      SetItemIndex(i);
      break;
    }
  }
}

void TPopupListbox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    int i = ItemAtPos({X, Y});
    if (i >= 0) SetItemIndex(i);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TPopupListbox::MouseMove(TShiftState Shift, int X, int Y) {
  if (Shift.Contains(ssLeft) || MouseCapture()) {
    int i = ItemAtPos({X, Y});
    if (i >= 0) SetItemIndex(i);
  }
  TCustomControl::MouseMove(Shift, X, Y);
}
