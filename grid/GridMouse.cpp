// TRixCustomDBGrid: clicks on data cells, push buttons and check boxes.
#include "grid/RixDBGrid.h"

void TRixCustomDBGrid::CellClick(TRixColumn* Column) {
  if (Column == nullptr) return;
  if (Column->OnClick()) Column->OnClick()(Column);
  if (FOnCellClick) FOnCellClick(Column);
}

// A check box on a Boolean field toggles even with AutoEdit off: clicking
// it is the edit. A dataset that refuses the edit state is left alone and
// the value store below reports the refusal.
void TRixCustomDBGrid::ButtonCheckBoxClick(TRixColumn* Column) {
  if (Column == nullptr) return;
  TField* field = Column->Field();
  TDataSet* ds = FDataLink->DataSet();
  if (FReadOnly || field == nullptr || Column->ReadOnly() || ds == nullptr || !ds->CanModify()) {
    CellClick(Column);
    return;
  }
  TDataSource* source = DataSource();
  if (Column->ButtonStyle() == cbsCheck && field->DataType() == ftBoolean && source != nullptr &&
      source->State() != dsInactive) {
    if (source->State() == dsBrowse) {
      try {
        source->DataSet()->Edit();
      } catch (const std::exception&) {
      }
    }
    if (Column->ButtonState() == bs2State) {
      if (field->IsNull()) field->SetAsBoolean(true);
      field->SetAsBoolean(!field->AsBoolean());
    } else if (field->IsNull()) {
      field->SetAsBoolean(true);
    } else if (field->AsBoolean()) {
      field->SetAsBoolean(false);
    } else {
      field->Clear();
    }
  }
  CellClick(Column);
}
