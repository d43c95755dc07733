// TCustomForm: the top-level window that owns the focus bookkeeping of its
// controls (ActiveControl) and the dialog keys (Tab and the arrows move the
// focus when the focused control does not want them).
#pragma once

#include "platform/controls/WinControl.h"

#include <exception>
#include <functional>
#include <vector>

class TCustomForm : public TWinControl {
  RIX_CLASS_NAME(TCustomForm)
public:
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

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

// Every form alive, in the order they were made: hosts look here for
// top-level windows besides their own form (a floating popup grid).
const std::vector<TCustomForm*>& Forms();

// The floating window a docked control floats into (ManualFloat); hosts
// show it as a top-level window of its own.
class TCustomDockForm : public TCustomForm {
  RIX_CLASS_NAME(TCustomDockForm)
public:
  using TCustomForm::TCustomForm;
};

// The form the control sits on (its topmost parent, when that is a form).
TCustomForm* GetParentForm(const TControl* Control);
// Like GetParentForm, but raises EInvalidOperation for a control without a form.
TCustomForm* ValidParentForm(const TControl* Control);

// The application object, as far as message handling needs it: an exception
// that escapes a window's message handler (a refused post, a validation
// error) is shown in a message box with its text, and the program goes on.
// OnException replaces the message box.
class TApplication {
public:
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  void SetOnException(std::function<void(TObject* Sender, const std::exception& E)> E) {
    FOnException = std::move(E);
  }
  // Called from inside a catch block.
  void HandleException(TObject* Sender);
  void ShowException(const std::exception& E);

private:
  std::string FTitle;
  std::function<void(TObject* Sender, const std::exception& E)> FOnException;
};
TApplication* Application();
