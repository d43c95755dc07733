#include "platform/data/DataLink.h"

#include "platform/core/Checked.h"

#include <algorithm>

using namespace dbconsts;

// ---------------------------------------------------------------- TDataSource

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
  FOnStateChange = nullptr;
  FOnDataChange = nullptr;
  SetDataSet(nullptr);
  while (!FDataLinks.empty()) FDataLinks.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  if (FDataSet != nullptr) {
    FDataSet->RemoveFreeNotification(this);
    FDataSet->RemoveDataSource(this);
  }
  FDataSet = Value;
  if (Value != nullptr) {
    Value->FreeNotification(this);
    Value->AddDataSource(this);
  }
  UpdateState();
}

void TDataSource::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  UpdateState();
}

void TDataSource::Edit() {
  if (FAutoEdit && FState == dsBrowse) FDataSet->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ADataSet) const { return ADataSet != nullptr && ADataSet == FDataSet; }

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDataSet) SetDataSet(nullptr);
}

void TDataSource::UpdateState() {
  SetState(FEnabled && FDataSet != nullptr ? FDataSet->State() : dsInactive);
}

void TDataSource::SetState(TDataSetState Value) {
  if (FState == Value) return;
  TDataSetState prior = FState;
  FState = Value;
  NotifyLinks(deUpdateState, 0);
  if (!ComponentState().Contains(csDestroying)) {
    if (FOnStateChange) FOnStateChange(this);
    if (prior == dsInactive && FOnDataChange) FOnDataChange(this, nullptr);
  }
}

void TDataSource::NotifyLinks(TDataEvent Event, std::intptr_t Info) {
  // Links of non-visual controls (details) first, then the visual ones. A
  // handler may remove links, so walk a copy and skip the removed.
  std::vector<TDataLink*> links = FDataLinks;
  for (int pass = 0; pass < 2; ++pass)
    for (TDataLink* l : links)
      if (l->FVisualControl == (pass == 1) &&
          std::find(FDataLinks.begin(), FDataLinks.end(), l) != FDataLinks.end())
        l->DataEvent(Event, Info);
}

void TDataSource::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (Event == deDisabledStateChange) {
    if (Info != 0)
      UpdateState();
    else
      SetState(dsInactive);
    return;
  }
  if (FState == dsInactive) return;
  NotifyLinks(Event, Info);
  switch (Event) {
    case deFieldChange:
      if (FOnDataChange) FOnDataChange(this, reinterpret_cast<TField*>(Info));
      break;
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
      if (FOnDataChange) FOnDataChange(this, nullptr);
      break;
    case deUpdateRecord:
      if (FOnUpdateData) FOnUpdateData(this);
      break;
    default: break;
  }
}

void TDataSource::AddDataLink(TDataLink* Link) {
  FDataLinks.push_back(Link);
  Link->FDataSource = this;
  if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
}

void TDataSource::RemoveDataLink(TDataLink* Link) {
  Link->FDataSource = nullptr;
  FDataLinks.erase(std::remove(FDataLinks.begin(), FDataLinks.end(), Link), FDataLinks.end());
  if (FDataSet != nullptr) FDataSet->UpdateBufferCount();
}

// ---------------------------------------------------------------- TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
  // No virtual notification can reach a subclass from here.
  FActive = false;
  FEditing = false;
  if (FDataSource != nullptr) FDataSource->RemoveDataLink(this);
}

void TDataLink::SetDataSource(TDataSource* Value) {
  if (Value == FDataSource) return;
  if (FDataSource != nullptr) FDataSource->RemoveDataLink(this);
  if (Value != nullptr) Value->AddDataLink(this);
  UpdateState();
}

void TDataLink::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  UpdateState();
}

void TDataLink::UpdateState() {
  SetActive(FDataSource != nullptr && FDataSource->State() != dsInactive);
  SetEditing(FDataSource != nullptr && IsEditMode(FDataSource->State()) && !FReadOnly);
}

void TDataLink::SetActive(bool Value) {
  if (FActive == Value) return;
  FActive = Value;
  if (Value)
    UpdateRange();
  else
    FFirstRecord = 0;
  ActiveChanged();
}

void TDataLink::SetEditing(bool Value) {
  if (FEditing == Value) return;
  FEditing = Value;
  EditingChanged();
}

void TDataLink::SetBufferCount(int Value) {
  if (Value < 1) Value = 1;
  if (FBufferCount == Value) return;
  FBufferCount = Value;
  if (FActive) {
    UpdateRange();
    DataSet()->UpdateBufferCount();
    UpdateRange();
  }
}

// Keeps the link's window inside the dataset's and around its active record,
// and full when the dataset holds enough records.
void TDataLink::UpdateRange() {
  TDataSet* d = DataSet();
  int minFirst = std::max(0, d->FActiveRecord - FBufferCount + 1);
  int maxFirst = std::max(0, d->FBufferCount - FBufferCount);
  maxFirst = std::min(maxFirst, d->FActiveRecord);
  if (FFirstRecord < minFirst) FFirstRecord = minFirst;
  if (FFirstRecord > maxFirst) FFirstRecord = maxFirst;
  int fill = std::max(0, d->FRecordCount - FBufferCount);
  if (FFirstRecord > fill) FFirstRecord = std::max(minFirst, fill);
  if (FFirstRecord < 0) FFirstRecord = 0;
}

int TDataLink::ActiveRecord() const {
  if (!FActive || FDataSource->State() == dsSetKey) return 0;
  return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int Value) {
  if (!FActive || FDataSource->State() == dsSetKey) return;
  TDataSet* d = DataSet();
  int slot = rix::CheckedAdd(Value, FFirstRecord);
  if (slot < 0 || slot >= d->FBufferCount) DatabaseErrorFmt(SRecordSlotOutOfRange, std::to_string(Value), d);
  d->FActiveRecord = slot;
}

int TDataLink::RecordCount() const {
  if (!FActive) return 0;
  return std::clamp(DataSet()->FRecordCount - FFirstRecord, 0, FBufferCount);
}

bool TDataLink::BOF() const { return FActive ? DataSet()->BOF() : true; }
bool TDataLink::Eof() const { return FActive ? DataSet()->Eof() : true; }

int TDataLink::MoveBy(int Distance) {
  if (!FActive) DatabaseError(SDataSetClosed);
  return DataSet()->MoveBy(Distance);
}

bool TDataLink::Edit() {
  if (!FReadOnly && FDataSource != nullptr) FDataSource->Edit();
  return FEditing;
}

void TDataLink::UpdateRecord() {
  FUpdating = true;
  try {
    UpdateData();
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info) {
  if (Event == deUpdateState) {
    UpdateState();
    return;
  }
  if (!FActive) return;
  switch (Event) {
    case deFieldChange:
    case deRecordChange:
      if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(Info));
      break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
      int oldFirst = FFirstRecord;
      int shift = Event == deDataSetScroll ? static_cast<int>(Info) : 0;
      // The dataset rotated its buffers by `shift`: the records this link
      // showed now sit that much lower.
      FFirstRecord = oldFirst - shift;
      UpdateRange();
      int distance = FFirstRecord + shift - oldFirst;
      if (Event == deDataSetScroll)
        DataSetScrolled(distance);
      else if (Event == deLayoutChange)
        LayoutChanged();
      else
        DataSetChanged();
      break;
    }
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(*reinterpret_cast<TField**>(Info)); break;
    default: break;
  }
}
