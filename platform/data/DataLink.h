// TDataSource and TDataLink: how controls hear from a dataset and reach its
// record-buffer window.
//
// Notifications a link receives, in the framework's order:
//   Open               ActiveChanged
//   Close              ActiveChanged (then EditingChanged when it was editing)
//   First, Last        CheckBrowseMode, DataSetChanged
//   MoveBy, Next ...   CheckBrowseMode, DataSetScrolled(Distance)
//   Edit               CheckBrowseMode, EditingChanged, RecordChanged(nil)
//   Insert, Append     CheckBrowseMode, EditingChanged, DataSetChanged
//   field assignment   RecordChanged(Field)
//   Post               UpdateData, CheckBrowseMode, EditingChanged, DataSetChanged
//   Cancel             CheckBrowseMode, EditingChanged, DataSetChanged
//   Delete             CheckBrowseMode, DataSetChanged
//   field layout       LayoutChanged (the base reports DataSetChanged)
//   Field->FocusControl  FocusControl(Field)
// DataSetScrolled's Distance is how many records the link's window moved:
// 0 while the active record moves inside the window, n when its first
// record is now the one that was n below it.
#pragma once

#include "platform/data/DataSet.h"

class TDataSource : public TComponent {
  RIX_CLASS_NAME(TDataSource)
public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  // When False the links see an inactive dataset.
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  // Lets TDataLink::Edit put the dataset into edit state.
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // The dataset's state, dsInactive without a dataset or while disabled.
  TDataSetState State() const { return FState; }
  // Edit when AutoEdit and the dataset browses.
  void Edit();
  // True when this source shows ADataSet.
  bool IsLinkedTo(TDataSet* ADataSet) const;

  void SetOnStateChange(TNotifyEvent F) { FOnStateChange = std::move(F); }
  void SetOnDataChange(std::function<void(TObject*, TField*)> F) { FOnDataChange = std::move(F); }
  void SetOnUpdateData(TNotifyEvent F) { FOnUpdateData = std::move(F); }

  int DataLinkCount() const { return static_cast<int>(FDataLinks.size()); }
  TDataLink* DataLinks(int Index) const { return FDataLinks.at(static_cast<size_t>(Index)); }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  void NotifyLinks(TDataEvent Event, std::intptr_t Info);
  void SetState(TDataSetState Value);
  void UpdateState();
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataSet* FDataSet = nullptr;
  bool FEnabled = true;
  bool FAutoEdit = true;
  TDataSetState FState = dsInactive;
  std::vector<TDataLink*> FDataLinks;
  TNotifyEvent FOnStateChange;
  std::function<void(TObject*, TField*)> FOnDataChange;
  TNotifyEvent FOnUpdateData;
};

// A control's link to a data source. Subclass it and override the
// notifications; the base versions do what the framework's do (see the file
// comment). Not a component: its owner holds it, e.g. in a unique_ptr.
class TDataLink : public TPersistent {
  RIX_CLASS_NAME(TDataLink)
public:
  TDataLink();
  ~TDataLink() override;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return FDataSource != nullptr ? FDataSource->DataSet() : nullptr; }
  // The source has an enabled, open dataset.
  bool Active() const { return FActive; }
  // Active, the dataset is in an edit state and the link is not ReadOnly.
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Links of visual controls hear each notification after the others.
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }

  // Records the link wants in its window (at least 1). Setting it resizes
  // the dataset's window at once, so RecordCount is up to date on return.
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // Slot of the current record in the link's window (0-based). Setting it
  // points the dataset's fields at another buffered record; put it back
  // before anything else happens (TActiveRecordGuard does).
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  // Records in the link's window (0 when inactive).
  int RecordCount() const;
  bool BOF() const;
  bool Eof() const;
  // Moves the dataset; the move comes back as DataSetScrolled.
  int MoveBy(int Distance);
  // Asks the data source to edit (honouring AutoEdit) unless ReadOnly;
  // returns Editing.
  bool Edit();
  // Has the link write its pending changes (UpdateData), without hearing
  // RecordChanged for them.
  void UpdateRecord();

protected:
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  // Field is the caller's variable: set it to nil once the request is served.
  virtual void FocusControl(TField*& Field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}

private:
  friend class TDataSource;
  friend class TDataSet;
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();

  TDataSource* FDataSource = nullptr;
  int FFirstRecord = 0;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FVisualControl = false;
  bool FUpdating = false;
};

// Moves a link's ActiveRecord for a scope and puts it back, also when the
// scope is left by an exception. Painting a record slot:
//   TActiveRecordGuard g(Link, Slot);  ... read fields ...
class TActiveRecordGuard {
public:
  TActiveRecordGuard(TDataLink* Link, int NewActiveRecord) : FLink(Link), FOld(Link->ActiveRecord()) {
    FLink->SetActiveRecord(NewActiveRecord);
  }
  ~TActiveRecordGuard() { FLink->SetActiveRecord(FOld); }
  int OldActiveRecord() const { return FOld; }
  TActiveRecordGuard(const TActiveRecordGuard&) = delete;
  TActiveRecordGuard& operator=(const TActiveRecordGuard&) = delete;

private:
  TDataLink* FLink;
  int FOld;
};
