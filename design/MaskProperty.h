// The edit-mask property editor and the model of its dialog: the mask being
// written, a test input typed against it, and the preview of what an editor
// with that mask shows, kept up to date on every change.
//
// The dialog itself belongs to whoever has a screen: a host installs it with
// SetMaskDialog. Without one, Edit leaves the mask alone.
#pragma once

#include "design/PropEdits.h"

#include "platform/controls/EditMask.h"

#include <functional>
#include <string>
#include <vector>

struct TSampleMask {
  std::string Name;   // what the dialog lists, in Japanese
  std::string Mask;
  std::string Sample; // test input that fills it
};

class TInputMaskEditor : public TObject {
  RIX_CLASS_NAME(TInputMaskEditor)
public:
  explicit TInputMaskEditor(const std::string& Mask = "");

  const std::string& Mask() const { return FMask; }
  void SetMask(const std::string& Value);
  const std::string& TestInput() const { return FTestInput; }
  void SetTestInput(const std::string& Value);

  // The editor's text after typing TestInput into the mask: literals as they
  // are, typed characters where the mask accepts them (characters it refuses
  // are dropped, as the editor drops keystrokes), blanks elsewhere.
  const std::string& Preview() const { return FPreview; }
  // The value the field would receive, and whether every required position
  // is filled.
  const std::string& TestValue() const { return FTestValue; }
  bool Complete() const { return FComplete; }

  // Called after every change of Mask or TestInput, with the preview updated.
  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }

  static const std::vector<TSampleMask>& SampleMasks();

private:
  void Update();

  std::string FMask, FTestInput, FPreview, FTestValue;
  bool FComplete = true;
  TNotifyEvent FOnChange;
};

// Shows the dialog on Editor; true when the user accepted its mask.
using TMaskDialogProc = std::function<bool(TInputMaskEditor& Editor)>;
void SetMaskDialog(TMaskDialogProc Proc);

class TMaskProperty : public TStringProperty {
  RIX_CLASS_NAME(TMaskProperty)
public:
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paDialog, paRevertable}; }
  void Edit() override;
};
