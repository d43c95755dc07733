#include "design/MaskProperty.h"

namespace {

TMaskDialogProc& MaskDialog() {
  static TMaskDialogProc proc;
  return proc;
}

} // namespace

TInputMaskEditor::TInputMaskEditor(const std::string& Mask) : FMask(Mask) { Update(); }

void TInputMaskEditor::SetMask(const std::string& Value) {
  FMask = Value;
  Update();
}

void TInputMaskEditor::SetTestInput(const std::string& Value) {
  FTestInput = Value;
  Update();
}

void TInputMaskEditor::Update() {
  const rix::TEditMaskModel model(FMask);
  const std::u32string input = rix::Utf8ToUtf32(FTestInput);
  if (!model.IsMasked()) {
    FPreview = FTestValue = FTestInput;
    FComplete = true;
  } else {
    std::u32string text = model.EmptyText();
    int pos = 0;
    for (char32_t ch : input) {
      // A typed literal steps over the same literal in the mask.
      if (pos < model.Length() && !model.IsInput(pos) && text[static_cast<size_t>(pos)] == ch) {
        ++pos;
        continue;
      }
      pos = model.NextInput(pos);
      if (pos >= model.Length()) break;
      if (model.Accepts(pos, ch)) text[static_cast<size_t>(pos++)] = ch;
    }
    FPreview = rix::Utf32ToUtf8(text);
    FTestValue = rix::Utf32ToUtf8(model.ValueOf(text));
    FComplete = model.Complete(text);
  }
  if (FOnChange) FOnChange(this);
}

const std::vector<TSampleMask>& TInputMaskEditor::SampleMasks() {
  static const std::vector<TSampleMask> masks{
      {"郵便番号", "000-0000;1;_", "1000001"},
      {"電話番号", "!999-9999-9999;1;_", "0312345678"},
      {"日付", "!9999/99/99;1;_", "20240401"},
      {"時刻", "!90:00;1;_", "0930"},
  };
  return masks;
}

void SetMaskDialog(TMaskDialogProc Proc) { MaskDialog() = std::move(Proc); }

void TMaskProperty::Edit() {
  const TMaskDialogProc& dialog = MaskDialog();
  if (!dialog) return;
  TInputMaskEditor editor(GetValue());
  if (dialog(editor)) SetValue(editor.Mask());
}
