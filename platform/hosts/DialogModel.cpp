#include "platform/hosts/DialogModel.h"

#include "platform/controls/TextMeasure.h"

#include <algorithm>

namespace {
constexpr int Margin = 12;
constexpr int Gap = 8;
constexpr int TextFieldWidth = 360;
} // namespace

TDialogModel::TDialogModel(std::string Title, std::string Message, std::vector<TDialogButton> Buttons,
                           int CancelResult, bool HasTextField, std::string Text)
    : FTitle(std::move(Title)), FMessage(std::move(Message)), FButtons(std::move(Buttons)),
      FCancelResult(CancelResult), FHasTextField(HasTextField), FText(rix::Utf8ToUtf32(Text)) {
  if (FButtons.empty()) FButtons.push_back({"OK", mrOk});
  for (size_t i = 0; i < FButtons.size(); ++i)
    if (FButtons[i].Result == mrOk || FButtons[i].Result == mrYes) {
      FFocused = static_cast<int>(i);
      break;
    }
}

std::vector<TDialogButton> TDialogModel::ButtonsFor(TMsgDlgButtons Buttons) {
  static const std::pair<TMsgDlgBtn, TDialogButton> all[] = {
      {mbYes, {"はい(&Y)", mrYes}},          {mbNo, {"いいえ(&N)", mrNo}},
      {mbOK, {"OK", mrOk}},                  {mbCancel, {"キャンセル", mrCancel}},
      {mbAbort, {"中止(&A)", mrAbort}},      {mbRetry, {"再試行(&R)", mrRetry}},
      {mbIgnore, {"無視(&I)", mrIgnore}},    {mbAll, {"すべて(&A)", mrAll}},
      {mbNoToAll, {"すべていいえ", mrNoToAll}}, {mbYesToAll, {"すべてはい", mrYesToAll}}};
  std::vector<TDialogButton> out;
  for (const auto& [b, button] : all)
    if (Buttons.Contains(b)) out.push_back(button);
  return out;
}

std::vector<TDialogButton> TDialogModel::ButtonsForFlags(unsigned Flags) {
  switch (Flags & 0xF) {
  case MB_OKCANCEL: return {{"OK", IDOK}, {"キャンセル", IDCANCEL}};
  case MB_ABORTRETRYIGNORE: return {{"中止(&A)", IDABORT}, {"再試行(&R)", IDRETRY}, {"無視(&I)", IDIGNORE}};
  case MB_YESNOCANCEL: return {{"はい(&Y)", IDYES}, {"いいえ(&N)", IDNO}, {"キャンセル", IDCANCEL}};
  case MB_YESNO: return {{"はい(&Y)", IDYES}, {"いいえ(&N)", IDNO}};
  case MB_RETRYCANCEL: return {{"再試行(&R)", IDRETRY}, {"キャンセル", IDCANCEL}};
  default: return {{"OK", IDOK}};
  }
}

std::string TDialogModel::TitleFor(TMsgDlgType Type) {
  switch (Type) {
  case mtWarning: return "警告";
  case mtError: return "エラー";
  case mtInformation: return "情報";
  case mtConfirmation: return "確認";
  default: return "";
  }
}

int TDialogModel::CancelResultOf(const std::vector<TDialogButton>& Buttons) {
  for (const auto& b : Buttons)
    if (b.Result == mrCancel) return mrCancel;
  for (const auto& b : Buttons)
    if (b.Result == mrNo) return mrNo;
  return Buttons.empty() ? mrCancel : Buttons.back().Result;
}

std::string TDialogModel::Text() const { return rix::Utf32ToUtf8(FText); }

void TDialogModel::Layout() {
  if (FLaidOut) return;
  FLaidOut = true;
  TFont font;
  FLineHeight = rix::FontLineHeight(&font);
  TCanvas measure;
  measure.SetFont(&font);
  TRect r = Rect(0, 0, 480, 0);
  DrawText(measure.Handle(), FMessage, -1, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  FMessageSize = {r.Width(), r.Height()};
  FButtonWidth = 75;
  for (const auto& b : FButtons) FButtonWidth = std::max(FButtonWidth, rix::FontTextWidth(&font, b.Caption) + 16);
  FButtonHeight = FLineHeight + 10;
  int n = static_cast<int>(FButtons.size());
  int buttons = n * FButtonWidth + (n - 1) * Gap;
  int w = std::max({FMessageSize.cx, buttons, FHasTextField ? TextFieldWidth : 0}) + 2 * Margin;
  int h = Margin + FMessageSize.cy + Gap + (FHasTextField ? FLineHeight + 8 + Gap : 0) + FButtonHeight + Margin;
  FSize = {w, h};
}

TSize TDialogModel::Size() {
  Layout();
  return FSize;
}

TRect TDialogModel::ButtonRect(int Index) {
  Layout();
  int n = static_cast<int>(FButtons.size());
  int total = n * FButtonWidth + (n - 1) * Gap;
  int left = (FSize.cx - total) / 2 + Index * (FButtonWidth + Gap);
  int top = FSize.cy - Margin - FButtonHeight;
  return Rect(left, top, left + FButtonWidth, top + FButtonHeight);
}

void TDialogModel::Paint(TCanvas& C) {
  Layout();
  TFont font;
  C.SetFont(&font);
  C.Brush()->SetStyle(bsSolid);
  C.Brush()->SetColor(clBtnFace);
  C.FillRect(Rect(0, 0, FSize.cx, FSize.cy));
  SetBkMode(C.Handle(), TRANSPARENT);
  TRect msg = Bounds(Margin, Margin, FMessageSize.cx, FMessageSize.cy);
  DrawText(C.Handle(), FMessage, -1, msg, DT_WORDBREAK | DT_NOPREFIX);
  if (FHasTextField) {
    TRect field = Bounds(Margin, Margin + FMessageSize.cy + Gap, FSize.cx - 2 * Margin, FLineHeight + 8);
    C.Brush()->SetColor(clWindow);
    C.FillRect(field);
    TRect edge = field;
    DrawEdge(C.Handle(), edge, EDGE_SUNKEN, BF_RECT);
    std::string text = Text();
    C.TextOut(field.Left + 4, field.Top + 4, text);
    int caret = field.Left + 4 + C.TextWidth(text);
    C.Brush()->SetColor(clWindowText);
    C.FillRect(Rect(caret, field.Top + 4, caret + 1, field.Top + 4 + FLineHeight));
  }
  for (int i = 0; i < static_cast<int>(FButtons.size()); ++i) {
    TRect b = ButtonRect(i);
    TRect face = b;
    DrawFrameControl(C.Handle(), face, DFC_BUTTON, DFCS_BUTTONPUSH);
    // The caption is drawn over the brush's colour (the caret's left it black).
    C.Brush()->SetColor(clBtnFace);
    TRect text = b;
    DrawText(C.Handle(), FButtons[static_cast<size_t>(i)].Caption, -1, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (i == FFocused) {
      TRect focus = b;
      InflateRect(focus, -4, -4);
      DrawFocusRect(C.Handle(), focus);
    }
  }
}

bool TDialogModel::Answer(int Result) {
  FAnswered = true;
  FResult = Result;
  return true;
}

bool TDialogModel::Key(unsigned short Vk, TShiftState Shift) {
  int n = static_cast<int>(FButtons.size());
  switch (Vk) {
  case VK_RETURN: return Answer(FButtons[static_cast<size_t>(FFocused)].Result);
  case VK_ESCAPE: return Answer(FCancelResult);
  case VK_TAB: FFocused = (FFocused + (Shift.Contains(ssShift) ? n - 1 : 1)) % n; break;
  case VK_RIGHT: if (!FHasTextField) FFocused = (FFocused + 1) % n; break;
  case VK_LEFT: if (!FHasTextField) FFocused = (FFocused + n - 1) % n; break;
  default: break;
  }
  return false;
}

bool TDialogModel::Char(char32_t Ch) {
  if (!FHasTextField) return false;
  if (Ch == 8) {
    if (!FText.empty()) FText.pop_back();
  } else if (Ch >= 32) {
    FText.push_back(Ch);
  }
  return false;
}

bool TDialogModel::Click(TPoint P) {
  for (int i = 0; i < static_cast<int>(FButtons.size()); ++i)
    if (PtInRect(ButtonRect(i), P)) {
      FFocused = i;
      return Answer(FButtons[static_cast<size_t>(i)].Result);
    }
  return false;
}
