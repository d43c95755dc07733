#include "grid/RixGridDataLink.h"

#include "grid/RixDBGrid.h"
#include "platform/core/ScopedValue.h"

#include "platform/core/Checked.h"

#include <algorithm>

TRixGridDataLink::TRixGridDataLink(TRixCustomDBGrid* AGrid) : FGrid(AGrid) { SetVisualControl(true); }

TRixGridDataLink::~TRixGridDataLink() { ClearMapping(); }

bool TRixGridDataLink::AddMapping(const std::string& FieldName) {
  if (FFieldCount >= MaxMapSize) RaiseGridError(STooManyColumns);
  TDataSet* ds = DataSet();
  TField* field = nullptr;
  if (ds != nullptr) field = FSparseMap ? ds->FindField(FieldName) : ds->FieldByName(FieldName);
  else if (!FSparseMap) DatabaseError("Field '" + FieldName + "' not found: no dataset");
  if (FFieldCount == static_cast<int>(FFieldMap.size())) {
    std::int64_t len = FFieldMap.empty() ? 8 : std::int64_t{2} * static_cast<std::int64_t>(FFieldMap.size());
    if (len < FFieldCount) len = std::int64_t{FFieldCount} + 1;
    len = std::min<std::int64_t>(len, MaxMapSize);
    FFieldMap.resize(static_cast<size_t>(len));
  }
  int entry = -1;
  if (field != nullptr) {
    entry = ds->FieldList()->IndexOf(field);
    if (FGrid != nullptr) field->FreeNotification(FGrid);
  }
  FFieldMap[static_cast<size_t>(FFieldCount)] = entry;
  FFieldCount = rix::CheckedAdd(FFieldCount, 1);
  return true;
}

void TRixGridDataLink::ClearMapping() {
  FFieldMap.clear();
  FFieldMap.shrink_to_fit();
  FFieldCount = 0;
}

int TRixGridDataLink::GetMappedIndex(int ColIndex) const {
  if (ColIndex < 0 || ColIndex >= FFieldCount) return -1;
  return FFieldMap[static_cast<size_t>(ColIndex)];
}

TField* TRixGridDataLink::Fields(int I) const {
  const int pos = GetMappedIndex(I);
  TDataSet* ds = DataSet();
  if (pos < 0 || ds == nullptr || pos >= ds->FieldList()->Count()) return nullptr;
  return ds->FieldList()->Fields(pos);
}

bool TRixGridDataLink::DefaultFields() const {
  TDataSet* ds = DataSet();
  if (ds == nullptr) return true;
  bool result = ds->DefaultFields();
  if (result && FSparseMap)
    for (int i = 0; i < FFieldCount; ++i)
      if (FFieldMap[static_cast<size_t>(i)] < 0) return false;
  return result;
}

void TRixGridDataLink::Reset() {
  if (FModified)
    RecordChanged(nullptr);
  else if (DataSet() != nullptr)
    DataSet()->Cancel();
}

bool TRixGridDataLink::IsAggRow(int) const { return false; }

void TRixGridDataLink::ActiveChanged() {
  if (Active() && DataSource() != nullptr && DataSource()->DataSet() != nullptr &&
      DataSource()->DataSet()->IsUniDirectional())
    DatabaseError(dbconsts::SDataSetUnidirectional);
  FGrid->LinkActive(Active());
  FModified = false;
}

void TRixGridDataLink::DataSetChanged() {
  FGrid->DataChanged();
  FModified = false;
}

void TRixGridDataLink::DataSetScrolled(int Distance) {
  {
    TUpdateLockGuard lock(FGrid);
    FGrid->Scroll(Distance);
  }
  FGrid->Invalidate();
}

void TRixGridDataLink::EditingChanged() { FGrid->EditingChanged(); }

void TRixGridDataLink::FocusControl(TField*& Field) {
  if (Field == nullptr) return;
  FGrid->SetSelectedField(Field);
  if (FGrid->SelectedField() == Field && FGrid->AcquireFocus()) {
    Field = nullptr;
    if (FGrid->HandleAllocated()) FGrid->ShowEditor();
  }
}

void TRixGridDataLink::LayoutChanged() {
  {
    rix::TScopedValue fromDataset(FGrid->FLayoutFromDataset, true);
    FGrid->LayoutChanged();
  }
  TDataLink::LayoutChanged();
}

void TRixGridDataLink::RecordChanged(TField* Field) {
  FGrid->RecordChanged(Field);
  FModified = false;
}

void TRixGridDataLink::UpdateData() {
  rix::TScopedValue inUpdateData(FInUpdateData, true);
  if (FModified) FGrid->UpdateData();
  FModified = false;
}

bool TRixGridDataLink::ExecuteAction(TAction* Action) {
  if (Action == nullptr || DataSource() == nullptr || !Action->HandlesTarget(DataSource())) return false;
  Action->ExecuteTarget(DataSource());
  return true;
}

bool TRixGridDataLink::UpdateAction(TAction* Action) {
  if (Action == nullptr || DataSource() == nullptr || !Action->HandlesTarget(DataSource())) return false;
  Action->UpdateTarget(DataSource());
  return true;
}
