// THintWindow: the small yellow box that names what is under the mouse.
// It sits on top of the form that shows it and never takes the focus.
#pragma once

#include "platform/controls/WinControl.h"

#include <string>

class THintWindow : public TCustomControl {
  RIX_CLASS_NAME(THintWindow)
public:
  explicit THintWindow(TComponent* AOwner);

  const std::string& Text() const { return FText; }
  // Shows Text with its top-left corner at P (client point of Form); the
  // box is kept inside the form.
  void ActivateHint(TWinControl* Form, TPoint P, const std::string& Text);
  bool CanFocus() const override { return false; }

protected:
  void Paint() override;

private:
  std::string FText;
};

// The short part of a hint: the text before the first '|'.
std::string GetShortHint(const std::string& Hint);
