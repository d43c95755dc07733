// TCustomForm: the top-level window that owns the focus bookkeeping of its
// controls (ActiveControl) and the dialog keys (Tab and the arrows move the
// focus when the focused control does not want them).
#pragma once

#include "platform/controls/WinControl.h"

class TCustomForm : public TWinControl {
  RIX_CLASS_NAME(TCustomForm)
public:
  explicit TCustomForm(TComponent* AOwner);

  // The control that has (or gets, once the form is active) the focus.
  TWinControl* ActiveControl() const { return FActiveControl; }
  // Raises EInvalidOperation for a control that is not on this form or
  // cannot take the focus.
  void SetActiveControl(TWinControl* Control);
  // Gives Control the focus when it can take it.
  void FocusControl(TWinControl* Control);
  // Called when a window of the form receives the focus: Control becomes the
  // ActiveControl; CM_EXIT / CM_ENTER go to the controls left and entered.
  // False stops the focus change.
  virtual bool SetFocusedControl(TWinControl* Control);
  TWinControl* FocusedControl() const { return FFocusedControl; }

  // An active form passes the focus to its ActiveControl; forms are active
  // from creation (hosts switch them when several windows exist).
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }

  // A control of the form goes away: forget it as the active control.
  void ControlDestroyed(TControl* Control);

protected:
  void CMDialogKey(TMessage& M) override;
  void WMSetFocus(TMessage& M) override;

private:
  void SetWindowFocus();

  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = true;
  bool FKeyPreview = false;
  std::string FCaption;
};

// A form to put controls on.
class TForm : public TCustomForm {
  RIX_CLASS_NAME(TForm)
public:
  using TCustomForm::TCustomForm;
};

// The form the control sits on (its topmost parent, when that is a form).
TCustomForm* GetParentForm(const TControl* Control);
// Like GetParentForm, but raises EInvalidOperation for a control without a form.
TCustomForm* ValidParentForm(const TControl* Control);
