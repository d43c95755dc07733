#include "design/PropertyPanel.h"

#include "design/DesignEditors.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/InplaceEdit.h"
#include "platform/core/ScopedValue.h"

#include <algorithm>

TPropertyPanel::TPropertyPanel(TComponent* AOwner) : TStringGrid(AOwner) {
  SetColCount(2);
  SetRowCount(2);
  SetFixedCols(1);
  SetFixedRows(1);
  SetOptions(Options() + TGridOptions{goEditing, goColSizing, goAlwaysShowEditor} - TGridOptions{goRangeSelect});
  SetCells(0, 0, "プロパティ");
  SetCells(1, 0, "値");
  RegisterDesignNotification(this);
}

TPropertyPanel::~TPropertyPanel() = default;

void TPropertyPanel::BeforeDestruction() {
  UnregisterDesignNotification(this);
  TStringGrid::BeforeDestruction();
}

void TPropertyPanel::Resize() {
  TStringGrid::Resize();
  SetColWidths(0, std::max(ClientWidth() * 2 / 5, 40));
  SetColWidths(1, std::max(ClientWidth() - ColWidths(0) - 2, 40));
}

void TPropertyPanel::SetDesigner(IDesigner* Value) {
  FDesigner = Value;
  RefreshProperties();
}

void TPropertyPanel::SelectionChanged(IDesigner* ADesigner, const TDesignerSelections&) {
  if (ADesigner == FDesigner && !FCommitting) RefreshProperties();
}

void TPropertyPanel::RefreshProperties() {
  HideEditor();
  FPendingRow = -1;
  FEditors.clear();
  if (FDesigner != nullptr) {
    const TDesignerSelections sel = FDesigner->Selections();
    GetComponentProperties(sel, tkAny(), FDesigner, [this](TPropertyEditor& Prop) {
      FEditors.push_back(GetPropertyEditor(Prop.Designer(), {Prop.GetComponent(0)}, Prop.GetPropInfo()));
    });
  }
  SetRowCount(std::max<int>(static_cast<int>(FEditors.size()) + 1, 2));
  for (int i = 0; i < RowCount() - 1; ++i) {
    TPropertyEditor* e = i < static_cast<int>(FEditors.size()) ? FEditors[static_cast<size_t>(i)].get() : nullptr;
    SetCells(0, i + 1, e != nullptr ? e->GetName() : "");
    SetCells(1, i + 1, e != nullptr ? e->GetValue() : "");
  }
  Invalidate();
}

int TPropertyPanel::RowOf(const std::string& PropName) const {
  for (size_t i = 0; i < FEditors.size(); ++i)
    if (SameText(FEditors[i]->GetName(), PropName)) return static_cast<int>(i) + 1;
  return -1;
}

TPropertyEditor* TPropertyPanel::EditorAt(int ARow) const {
  if (ARow < 1 || ARow > static_cast<int>(FEditors.size())) return nullptr;
  return FEditors[static_cast<size_t>(ARow - 1)].get();
}

void TPropertyPanel::SetPropertyValue(const std::string& PropName, const std::string& Value) {
  TPropertyEditor* e = EditorAt(RowOf(PropName));
  if (e == nullptr) throw EPropertyError("The selection has no property " + PropName);
  {
    rix::TScopedValue<bool> committing(FCommitting, true);
    e->SetValue(Value);
  }
  RefreshProperties();
}

TInplaceEdit* TPropertyPanel::CreateEditor() {
  auto* edit = new TInplaceEditList(this);
  edit->SetOnGetPickListItems([this](int, int ARow, TStrings* Items) {
    if (TPropertyEditor* e = EditorAt(ARow))
      for (const std::string& v : e->ValueList()) Items->Add(v);
  });
  return edit;
}

TEditStyle TPropertyPanel::GetEditStyle(int ACol, int ARow) {
  TPropertyEditor* e = EditorAt(ARow);
  return e != nullptr && e->GetAttributes().Contains(paValueList) ? Grids::esPickList : Grids::esSimple;
}

bool TPropertyPanel::CanEditShow() {
  TPropertyEditor* e = EditorAt(Row());
  return Col() == 1 && e != nullptr && !e->GetAttributes().Contains(paReadOnly) && TStringGrid::CanEditShow();
}

bool TPropertyPanel::SelectCell(int ACol, int ARow) {
  Commit();
  return TStringGrid::SelectCell(ACol, ARow);
}

void TPropertyPanel::SetEditText(int ACol, int ARow, const std::string& Value) {
  TStringGrid::SetEditText(ACol, ARow, Value);
  if (FCommitting || EditorAt(ARow) == nullptr) return;
  FPendingRow = ARow;
  FPendingText = Value;
  // A value picked from the list goes in at once.
  TPropertyEditor* e = EditorAt(ARow);
  if (e->GetAttributes().Contains(paValueList)) {
    const std::vector<std::string> values = e->ValueList();
    if (std::find(values.begin(), values.end(), Value) != values.end()) Commit();
  }
}

void TPropertyPanel::KeyDown(unsigned short& Key, TShiftState Shift) {
  if (Key == VK_RETURN && FPendingRow >= 0) {
    Commit();
    Key = 0;
    return;
  }
  TStringGrid::KeyDown(Key, Shift);
}

void TPropertyPanel::Commit() {
  if (FPendingRow < 0 || FCommitting) return;
  TPropertyEditor* e = EditorAt(FPendingRow);
  const std::string text = FPendingText;
  FPendingRow = -1;
  if (e == nullptr || text == e->GetValue()) return;
  std::string error;
  {
    rix::TScopedValue<bool> committing(FCommitting, true);
    try {
      e->SetValue(text);
    } catch (const Exception& E) {
      error = E.Message();
    }
  }
  if (!error.empty()) MessageDlg(error, mtError, TMsgDlgButtons{mbOK}, 0);
  for (int i = 1; i <= static_cast<int>(FEditors.size()); ++i) SetCells(1, i, EditorAt(i)->GetValue());
  InvalidateEditor();
}
