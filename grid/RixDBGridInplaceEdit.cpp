#include "grid/RixDBGridInplaceEdit.h"

#include "grid/RixDBGrid.h"

#include <algorithm>

TRixDBGridInplaceEdit::TRixDBGridInplaceEdit(TComponent* AOwner)
    : TInplaceEditList(AOwner), FLookupSource(new TDataSource(this)) {}

TRixCustomDBGrid* TRixDBGridInplaceEdit::DBGrid() const { return dynamic_cast<TRixCustomDBGrid*>(Grid()); }

void TRixDBGridInplaceEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TInplaceEditList::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FDataList) FDataList = nullptr;
  if (AComponent == FLookupSource) FLookupSource = nullptr;
}

TRixColumn* TRixDBGridInplaceEdit::GetColumn() const {
  TRixCustomDBGrid* grid = DBGrid();
  return grid != nullptr ? grid->GetColumns(grid->SelectedIndex()) : nullptr;
}

void TRixDBGridInplaceEdit::UpdateContents() {
  TRixCustomDBGrid* grid = DBGrid();
  TRixColumn* column = GetColumn();
  TInplaceEditList::UpdateContents();
  if (grid == nullptr) return;
  FEditStyle = grid->GetRixEditStyle(grid->Col(), grid->Row());
  if (FUseDataList) {
    if (FDataList == nullptr) {
      FDataList = new TPopupDataList(this);
      FDataList->SetVisible(false);
      FDataList->SetParent(this);
      FDataList->SetOnMouseUp([this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
        ListMouseUp(Sender, Button, Shift, X, Y);
      });
    }
    SetActiveList(FDataList);
  }
  if (column == nullptr) return;
  SetReadOnly(column->ReadOnly());
  SetFont(column->Font());
  SetImeMode(column->ImeMode());
  SetImeName(column->ImeName());
  if (!column->EditMask().empty()) SetEditMask(column->EditMask());
  TField* field = column->Field();
  if (field != nullptr && column->ShowMemoText() && (field->DataType() == ftMemo || field->DataType() == ftFmtMemo))
    SetText(field->AsString());
}

void TRixDBGridInplaceEdit::Paint() {
  // A check-box cell is drawn by the grid; the editor over it stays blank.
  if (FEditStyle == esCheck) return;
  TInplaceEditList::Paint();
}

void TRixDBGridInplaceEdit::KeyDown(unsigned short& Key, TShiftState Shift) {
  TRixColumn* column = GetColumn();
  if (column != nullptr && !column->EditMask().empty() && EditMask().empty()) {
    const std::string text = EditText();
    const int start = SelStart(), length = SelLength();
    SetEditMask(column->EditMask());
    SetText(text);
    SetSelStart(start);
    SetSelLength(length);
  }
  if (FEditStyle == esCheck && !(Key >= VK_PRIOR && Key <= VK_DOWN)) {
    if (TRixCustomDBGrid* grid = DBGrid(); grid != nullptr && column != nullptr) {
      grid->ButtonCheckBoxClick(column);
      if (HandleAllocated()) KillMessage(WindowHandle(), WM_CHAR);
    }
    return;
  }
  TInplaceEditList::KeyDown(Key, Shift);
}

void TRixDBGridInplaceEdit::WMSetFocus(TMessage& M) {
  TInplaceEditList::WMSetFocus(M);
  if (FEditStyle == esCheck && HandleAllocated()) HideCaret(WindowHandle());
}

void TRixDBGridInplaceEdit::DoEditButtonClick() {
  if (TRixCustomDBGrid* grid = DBGrid()) grid->EditButtonClick();
}

namespace {
bool ColumnLookup(const TRixColumn* Column) {
  return Column->ListSource() != nullptr && !Column->KeyField().empty() && !Column->ListField().empty();
}

// The single key field of a lookup field; nil for a compound or unknown key,
// which gets no drop-down.
TField* LookupKeyField(TField* Field) {
  return Field != nullptr && Field->DataSet() != nullptr ? Field->DataSet()->FindField(Field->KeyFields()) : nullptr;
}
} // namespace

void TRixDBGridInplaceEdit::DropDown() {
  TRixColumn* column = GetColumn();
  if (!ListVisible() && column != nullptr) {
    if (ActiveList() != nullptr && ActiveList() == FDataList) {
      FDataList->SetColor(Color());
      FDataList->SetFont(Font());
      FDataList->SetRowCount(static_cast<int>(column->DropDownRows()));
      TField* field = column->Field();
      if (ColumnLookup(column)) {
        FDataList->SetKeyField(column->KeyField());
        FDataList->SetListField(column->ListField());
        FDataList->SetListSource(column->ListSource());
        FDataList->SetKeyValue(field != nullptr ? field->Value() : TFieldValue{});
      } else if (field != nullptr && field->Lookup()) {
        TField* key = LookupKeyField(field);
        if (key == nullptr || FLookupSource == nullptr) return;
        FLookupSource->SetDataSet(field->LookupDataSet());
        FDataList->SetKeyField(field->LookupKeyFields());
        FDataList->SetListField(field->LookupResultField());
        FDataList->SetListSource(FLookupSource);
        FDataList->SetKeyValue(key->Value());
      } else {
        return;
      }
      const int rows = std::max(1, std::min(FDataList->RowCount(), FDataList->Items()->Count()));
      FDataList->SetHeight(rows * FDataList->ItemHeight() + 4);
    } else if (ActiveList() != nullptr) {
      PickList()->Items()->Assign(column->PickList());
      SetPickListLoaded(true);
      SetDropDownRows(static_cast<int>(column->DropDownRows()));
    }
  }
  TInplaceEditList::DropDown();
  if (ActiveList() != nullptr && ActiveList() == FDataList && column != nullptr && column->DropDownWidth() > 0)
    FDataList->SetWidth(static_cast<int>(column->DropDownWidth()));
}

void TRixDBGridInplaceEdit::CloseUp(bool Accept) {
  if (!ListVisible() || ActiveList() == nullptr) return;
  if (ActiveList() != FDataList) {
    // The pick list: the base editor takes the chosen line into the text,
    // which reaches the field through the grid like typed text.
    TInplaceEditList::CloseUp(Accept);
    return;
  }
  if (GetCapture() != 0) SendMessage(GetCapture(), WM_CANCELMODE);
  const TFieldValue listValue = FDataList->KeyValue();
  const std::string listText = FDataList->KeyText();
  FDataList->SetVisible(false);
  SetListVisible(false);
  FDataList->SetListSource(nullptr);
  if (FLookupSource != nullptr) FLookupSource->SetDataSet(nullptr);
  Invalidate();
  if (!Accept) return;
  TRixCustomDBGrid* grid = DBGrid();
  TRixColumn* column = GetColumn();
  TField* field = column != nullptr ? column->Field() : nullptr;
  if (grid == nullptr || field == nullptr) return;
  if (ColumnLookup(column)) {
    if (!IsNullValue(listValue) && EditCanModify()) field->SetEditText(listText);
  } else if (field->Lookup()) {
    // The key field takes the chosen key, a null one too; the lookup field
    // then shows its new result.
    TField* master = LookupKeyField(field);
    if (master != nullptr && master->CanModify() && grid->DataLink()->Edit()) master->SetValue(listValue);
  }
  grid->InvalidateEditor();
}
