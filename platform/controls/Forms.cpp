#include "platform/controls/Forms.h"

#include "platform/controls/Dialogs.h"

TCustomForm* GetParentForm(const TControl* Control) {
  if (Control == nullptr) return nullptr;
  const TControl* c = Control;
  while (c->Parent() != nullptr) c = c->Parent();
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

TCustomForm* ValidParentForm(const TControl* Control) {
  TCustomForm* form = GetParentForm(Control);
  if (form == nullptr)
    throw EInvalidOperation("Control '" + (Control != nullptr ? Control->Name() : std::string()) +
                            "' has no parent window");
  return form;
}

namespace {
std::vector<TCustomForm*>& LiveForms() {
  thread_local std::vector<TCustomForm*> forms;
  return forms;
}
} // namespace

const std::vector<TCustomForm*>& Forms() { return LiveForms(); }

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  SetBounds(0, 0, 640, 480);
  LiveForms().push_back(this);
}

TCustomForm::~TCustomForm() { std::erase(LiveForms(), this); }

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control != nullptr &&
      (Control == this || GetParentForm(Control) != this ||
       (!ComponentState().Contains(csLoading) && !Control->CanFocus())))
    throw EInvalidOperation("Cannot focus a disabled or invisible window");
  FActiveControl = Control;
  if (!ComponentState().Contains(csLoading) && FActive) SetWindowFocus();
}

void TCustomForm::FocusControl(TWinControl* Control) {
  SetActiveControl(Control);
  // The framework activates an inactive form here; with one thread-wide focus
  // that means: when the focus is outside this form, bring it back.
  HWND f = GetFocus();
  bool inside = false;
  if (f != 0) {
    std::vector<TWinControl*> list{this};
    GetTabOrderList(list);
    for (TWinControl* w : list)
      if (w->WindowHandle() == f) inside = true;
  }
  if (!inside) SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  TWinControl* target = FActiveControl != nullptr ? FActiveControl : this;
  HWND h = target->Handle();
  if (h != 0 && GetFocus() != h) SetFocusWindow(h);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  FActiveControl = Control != this ? Control : nullptr;
  if (FFocusedControl != Control) {
    TWinControl* old = FFocusedControl;
    FFocusedControl = Control;
    if (old != nullptr) old->Perform(CM_EXIT);
    if (Control != nullptr && FFocusedControl == Control) Control->Perform(CM_ENTER);
  }
  return true;
}

void TCustomForm::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value && HandleAllocated()) SetWindowFocus();
}

void TCustomForm::ControlDestroyed(TControl* Control) {
  auto* w = dynamic_cast<TWinControl*>(Control);
  if (w == nullptr) return;
  if (FActiveControl != nullptr && w->ContainsControl(FActiveControl)) FActiveControl = nullptr;
  if (FFocusedControl != nullptr && w->ContainsControl(FFocusedControl)) FFocusedControl = nullptr;
}

void TCustomForm::CMDialogKey(TMessage& M) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (M.WParam) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) >= 0) {
        SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
        M.Result = 1;
        return;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      if (FActiveControl != nullptr && FActiveControl->Parent() != nullptr) {
        FActiveControl->Parent()->SelectNext(FActiveControl, M.WParam == VK_RIGHT || M.WParam == VK_DOWN, false);
        M.Result = 1;
      }
      return;
    }
  }
  TWinControl::CMDialogKey(M);
}

void TCustomForm::WMSetFocus(TMessage& M) {
  TWinControl::WMSetFocus(M);
  // The form's own window got the focus: hand it on to the active control.
  if (FActiveControl != nullptr && FActiveControl != this && FActiveControl->CanFocus()) SetWindowFocus();
}

TApplication* Application() {
  static TApplication app;
  return &app;
}

void TApplication::HandleException(TObject* Sender) {
  try {
    throw;
  } catch (const std::exception& e) {
    if (FOnException) FOnException(Sender, e);
    else ShowException(e);
  }
}

void TApplication::ShowException(const std::exception& E) {
  ::MessageBox(E.what(), FTitle, MB_OK | MB_ICONERROR);
}
