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

// A memo shown as text is edited as its value: its display text is only a
// placeholder, and writing that back would replace the memo.
std::string TRixCustomDBGrid::GetEditText(int ACol, int ARow) {
  std::string text;
  if (FDataLink->Active()) {
    TRixColumn* column = GetColumns(RawToDataColumn(ACol));
    TField* field = column != nullptr ? column->Field() : nullptr;
    if (field != nullptr) text = IsMemoText(column, field) ? field->AsString() : field->EditText();
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
