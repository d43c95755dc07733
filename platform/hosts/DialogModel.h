// TDialogModel: a modal question drawn with our own canvas: a message, an
// optional one-line text field (file names) and a row of buttons. Hosts with
// a screen show it in a window of its own and feed it input; it knows its
// size, paints itself and tells when it is answered.
//
// Keys: Enter answers with the focused button (the first one, or OK, unless
// Tab or the arrows moved the focus); Escape answers with the cancel result
// (Cancel, else No, else the only button); characters and Backspace edit the
// text field. A click on a button answers with it.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/GdiCalls.h"

#include <string>
#include <vector>

struct TDialogButton {
  std::string Caption;
  int Result;
};

class TDialogModel {
public:
  TDialogModel(std::string Title, std::string Message, std::vector<TDialogButton> Buttons, int CancelResult,
               bool HasTextField = false, std::string Text = {});

  // The buttons of a MessageDlg / a MessageBox, captions in Japanese.
  static std::vector<TDialogButton> ButtonsFor(TMsgDlgButtons Buttons);
  static std::vector<TDialogButton> ButtonsForFlags(unsigned MessageBoxFlags);
  static std::string TitleFor(TMsgDlgType Type);
  // The cancel answer of a set of buttons (Cancel, else No, else the last).
  static int CancelResultOf(const std::vector<TDialogButton>& Buttons);

  const std::string& Title() const { return FTitle; }
  TSize Size();
  void Paint(TCanvas& C);

  // Each returns true once the dialog is answered.
  bool Key(unsigned short Vk, TShiftState Shift);
  bool Char(char32_t Ch);
  bool Click(TPoint P);
  bool Answered() const { return FAnswered; }
  int Result() const { return FResult; }
  std::string Text() const;
  int FocusedButton() const { return FFocused; }
  TRect ButtonRect(int Index);

private:
  void Layout();
  bool Answer(int Result);

  std::string FTitle, FMessage;
  std::vector<TDialogButton> FButtons;
  int FCancelResult;
  bool FHasTextField;
  std::u32string FText;
  int FFocused = 0;
  bool FAnswered = false;
  int FResult = 0;
  bool FLaidOut = false;
  TSize FSize{};
  TSize FMessageSize{};
  int FButtonWidth = 0, FButtonHeight = 0, FLineHeight = 0;
};
