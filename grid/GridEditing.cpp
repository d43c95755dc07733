// TRixCustomDBGrid: the grid's answers to its in-place editor, and writing
// the edited text into the field.
//
// The editor's text goes to SetEditText on every change and is kept in
// FEditText; the field is written only when the data link asks for pending
// data (UpdateData): before a column move, on Enter, on leaving the grid and
// before the dataset posts.
#include "grid/RixDBGrid.h"

#include <algorithm>

namespace {
// Types whose values are not edited as text, unless the field converts text
// itself (an OnSetText handler).
bool IsNonTextType(TFieldType Type, bool ShowMemoText) {
  switch (Type) {
  case ftMemo:
  case ftFmtMemo: return !ShowMemoText;
  case ftBytes:
  case ftVarBytes:
  case ftBlob:
  case ftGraphic:
  case ftParadoxOle:
  case ftDBaseOle:
  case ftTypedBinary:
  case ftCursor:
  case ftADT:
  case ftArray:
  case ftReference:
  case ftDataSet: return true;
  default: return false;
  }
}

bool IsMemoText(const TRixColumn* Column, const TField* Field) {
  return Column != nullptr && Field != nullptr && Column->ShowMemoText() &&
         (Field->DataType() == ftMemo || Field->DataType() == ftFmtMemo);
}

std::string Trim(const std::string& S) {
  const auto first = S.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return S.substr(first, S.find_last_not_of(" \t\r\n") - first + 1);
}
} // namespace

TInplaceEdit* TRixCustomDBGrid::CreateEditor() { return new TRixDBGridInplaceEdit(this); }

TRect TRixCustomDBGrid::EditorRect() const {
  TRixColumn* column = SelectedDrawColumn();
  if (column == nullptr) return TCustomGrid::EditorRect();
  return CalcRect(column, Row());
}

// A lookup field's key is found with FindField: a compound or unknown key
// gives the plain editor instead of an error on every load of the editor.
TRixEditStyle TRixCustomDBGrid::GetRixEditStyle(int, int) {
  TRixDBGridInplaceEdit* editor = RixInplaceEditor();
  if (editor != nullptr) editor->FUseDataList = false;
  auto useDataList = [&] {
    if (editor != nullptr) editor->FUseDataList = true;
    return esPickList;
  };
  TRixColumn* column = SelectedDrawColumn();
  if (column == nullptr) return esSimple;
  switch (column->ButtonStyle()) {
  case cbsEllipsis: return esEllipsis;
  case cbsNone: return esSimple;
  case cbsButton: return esButton;
  case cbsCheck: return esCheck;
  case cbsAuto: break;
  }
  TField* field = column->Field();
  if (field == nullptr) return esSimple;
  if (field->FieldKind() == fkLookup) {
    TField* key = field->DataSet() != nullptr ? field->DataSet()->FindField(field->KeyFields()) : nullptr;
    const bool columnReadOnly = column->AssignedValues().Contains(cvReadOnly) && column->ReadOnly();
    if (key != nullptr && key->CanModify() && !columnReadOnly && !field->ReadOnly() && FDataLink->Active() &&
        !FDataLink->ReadOnly())
      return useDataList();
    return esSimple;
  }
  if (column->ListSource() != nullptr && !column->KeyField().empty() && !column->ListField().empty())
    return useDataList();
  if (column->PickList()->Count() > 0 && !column->ReadOnly()) return esPickList;
  if (field->DataType() == ftReference || field->DataType() == ftDataSet) return esEllipsis;
  return esSimple;
}

TEditStyle TRixCustomDBGrid::GetEditStyle(int ACol, int ARow) {
  switch (GetRixEditStyle(ACol, ARow)) {
  case esEllipsis: return Grids::esEllipsis;
  case esPickList: return Grids::esPickList;
  default: return Grids::esSimple;
  }
}

bool TRixCustomDBGrid::CanEditAcceptKey(char32_t Key) {
  TRixColumn* column = SelectedDrawColumn();
  return FDataLink->Active() && column != nullptr && column->Field() != nullptr &&
         column->Field()->IsValidChar(Key);
}

bool TRixCustomDBGrid::CanEditShow() {
  if (FLayoutLock != 0 || !TCustomGrid::CanEditShow()) return false;
  // Button and check-box cells are worked by clicks and Space. Only a grid
  // being loaded, streamed, freed or designed skips the test; other state
  // flags (a free notification asked for) do not count.
  const TComponentState busy{csLoading, csReading, csWriting, csDestroying, csDesigning};
  if ((ComponentState() * busy).Empty()) {
    TRixColumn* column = SelectedDrawColumn();
    if (column != nullptr && (column->ButtonStyle() == cbsButton || column->ButtonStyle() == cbsCheck)) return false;
  }
  return true;
}

// Leaving the grid writes what was typed, or drops a new record nobody
// touched. When the write fails the focus comes back, so that the text
// stays where the user can correct it.
void TRixCustomDBGrid::CMExit(TMessage& M) {
  if (FDataLink->Active()) {
    try {
      TDataSet* ds = FDataLink->DataSet();
      if (FOptions.Contains(rixdgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() &&
          !FDataLink->IsModified())
        ds->Cancel();
      else
        FDataLink->UpdateData();
    } catch (...) {
      SetFocus();
      throw;
    }
  }
  TCustomGrid::CMExit(M);
}

bool TRixCustomDBGrid::ExecuteAction(TAction* Action) {
  return FDataLink != nullptr && FDataLink->ExecuteAction(Action);
}

bool TRixCustomDBGrid::UpdateAction(TAction* Action) {
  return FDataLink != nullptr && FDataLink->UpdateAction(Action);
}

bool TRixCustomDBGrid::CanEditModify() {
  if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
  TRixColumn* column = SelectedDrawColumn();
  if (column == nullptr || column->ReadOnly()) return false;
  TField* field = column->Field();
  if (field == nullptr || !field->CanModify()) return false;
  if (IsNonTextType(field->DataType(), column->ShowMemoText()) && !field->OnSetText()) return false;
  FDataLink->Edit();
  const bool editing = FDataLink->Editing();
  if (editing) FDataLink->Modified();
  return editing;
}

std::string TRixCustomDBGrid::FieldEditText(const TRixColumn* Column, TField* Field) {
  return IsMemoText(Column, Field) ? Field->AsString() : Field->EditText();
}

// A memo shown as text is edited as its value: its display text is only a
// placeholder, and writing that back would replace the memo.
std::string TRixCustomDBGrid::GetEditText(int ACol, int ARow) {
  std::string text;
  if (FDataLink->Active()) {
    TRixColumn* column = GetColumns(RawToDataColumn(ACol));
    TField* field = column != nullptr ? column->Field() : nullptr;
    if (field != nullptr) text = FieldEditText(column, field);
  }
  FEditText = text;
  return text;
}

void TRixCustomDBGrid::SetEditText(int, int, const std::string& Value) { FEditText = Value; }

std::string TRixCustomDBGrid::GetEditMask(int ACol, int) {
  if (!FDataLink->Active()) return {};
  TRixColumn* column = GetColumns(RawToDataColumn(ACol));
  TField* field = column != nullptr ? column->Field() : nullptr;
  return field != nullptr ? field->EditMask() : std::string();
}

int TRixCustomDBGrid::GetEditLimit() {
  TField* field = SelectedField();
  if (field != nullptr && (field->DataType() == ftString || field->DataType() == ftWideString)) return field->Size();
  return 0;
}

// Both branches go through the field's text conversion, so that an OnSetText
// handler (which is what lets a non-text field be edited at all) is honoured.
void TRixCustomDBGrid::UpdateData() {
  TField* field = SelectedField();
  if (field == nullptr) return;
  TRixColumn* column = SelectedDrawColumn();
  if (column != nullptr && !column->EditMask().empty())
    field->SetEditText(Trim(FEditText));
  else
    field->SetText(FEditText);
}
