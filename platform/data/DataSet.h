// TDataSet: states, cursor moves, the record-buffer window shared by the
// data links, editing, bookmarks and the field lists.
//
// Record buffers. The dataset owns BufferCount buffers (the largest
// BufferCount any attached data link asks for) plus one scratch buffer.
// Buffers 0 .. RecordCount-1 hold consecutive records around the cursor;
// ActiveRecord is the buffer of the current record. Fields read and write the
// active buffer, so moving ActiveRecord (a data link does this for the time
// of a paint, see TActiveRecordGuard in DataLink.h) makes every field read
// another buffered record without any cursor I/O. A move that stays inside
// the window only changes ActiveRecord; a move past its edge fetches one
// record and rotates the window, which data links see as
// DataSetScrolled(distance).
//
// Writing a data store. A subclass implements the Internal* operations and
// GetRecord, fills a buffer's Values by the fields' DataSlot and keeps its
// own bookmark in the buffer. Everything else, notifications and their order
// included, is done here.
#pragma once

#include "platform/core/Strings.h"
#include "platform/data/FieldLists.h"
#include "platform/data/Fields.h"

#include <functional>
#include <memory>
#include <vector>

class TDataSetField;

// One record as the dataset holds it.
struct TRecBuf {
  std::vector<TFieldValue> Values;  // by TField::DataSlot
  TBookmark Bookmark;
  TBookmarkFlag Flag = bfCurrent;
  // 1-based position when the data store knows it cheaply, else 0.
  std::int64_t RecNo = 0;
};

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption, 2>;

class TDataSet : public TComponent {
  RIX_CLASS_NAME(TDataSet)
public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // ---- opening ----
  bool Active() const { return FState != dsInactive && FState != dsOpening; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  bool CanModify() const { return GetCanModify(); }
  bool IsEmpty() const;
  virtual bool IsUniDirectional() const { return false; }
  bool ObjectView() const { return FObjectView; }
  // Only while closed.
  void SetObjectView(bool Value);
  // True when the open dataset created its data fields from FieldDefs.
  bool DefaultFields() const { return FDefaultFields; }

  // ---- fields ----
  TFieldDefs* FieldDefs() { return &FFieldDefs; }
  TFields* Fields() const { return FFields.get(); }
  TFieldList* FieldList() const { return FFieldList.get(); }
  int FieldCount() const { return FFields->Count(); }
  // By FullName (case-insensitive); nil when absent.
  TField* FindField(const std::string& FieldName) const;
  // Raises EDatabaseError "Field 'X' not found" when absent.
  TField* FieldByName(const std::string& FieldName) const;
  // The full names of the fields, or of the field defs while closed.
  void GetFieldNames(TStrings* List);
  // Creates a field object for every field def that has none yet.
  void CreateFields();
  TDataSetField* DataSetField() const { return FDataSetField; }

  // ---- moving ----
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Returns the distance actually moved.
  int MoveBy(int Distance);
  bool BOF() const { return FBOF; }
  // EOF is a C macro, so the framework's EOF is spelled Eof here.
  bool Eof() const { return FEOF; }
  // 1-based position of the current record; -1 when unknown.
  int RecNo() const { return GetRecNo(); }
  void SetRecNo(int Value);
  int RecordCount() const { return GetRecordCount(); }
  // True when RecNo and RecordCount are exact and cheap.
  virtual bool IsSequenced() const { return false; }
  // True while the exact record count is still being worked out in the
  // background; RecordCount and RecNo then wait for it. Meanwhile the
  // estimates below answer at once (a scroll bar can start from them).
  virtual bool RecordCountPending() const { return false; }
  virtual int EstimatedRecordCount() const { return RecordCount(); }
  virtual int EstimatedRecNo() const { return RecNo(); }
  // Puts the data store's cursor on the active record.
  void UpdateCursorPos();
  void CursorPosChanged() { FCurrentRecord = -1; }
  // Refills the buffer window around the cursor record.
  void Resync(TResyncMode Mode);
  // Rereads the current record and its neighbours from the data store.
  void Refresh();

  // ---- editing ----
  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  void Delete();
  // Posts (when modified) or cancels a pending edit, after telling the links.
  void CheckBrowseMode();
  // Asks the links to write their pending changes into the fields.
  void UpdateRecord();
  void ClearFields();

  // ---- controls ----
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }

  // ---- bookmarks ----
  TBookmark Bookmark() const;
  void SetBookmark(const TBookmark& Value) { GotoBookmark(Value); }
  void GotoBookmark(const TBookmark& Value);
  virtual bool BookmarkValid(const TBookmark& Value) = 0;
  // -1, 0 or 1 in record order; an empty bookmark sorts first.
  virtual int CompareBookmarks(const TBookmark& A, const TBookmark& B) = 0;

  // The value of ResultField in the first record whose KeyFields
  // (";"-separated) equal KeyValues; null when there is none. The base
  // version walks the records with controls disabled and comes back.
  virtual TFieldValue Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                             const std::string& ResultField);

  // Makes the first record whose KeyFields equal KeyValues current and
  // returns True; returns False and stays put when there is none. String
  // keys honour loCaseInsensitive (ASCII) and loPartialKey (prefix).
  virtual bool Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                      TLocateOptions Options = {});

  // ---- events ----
  void SetBeforeOpen(TDataSetNotifyEvent F) { FBeforeOpen = std::move(F); }
  void SetAfterOpen(TDataSetNotifyEvent F) { FAfterOpen = std::move(F); }
  void SetBeforeClose(TDataSetNotifyEvent F) { FBeforeClose = std::move(F); }
  void SetAfterClose(TDataSetNotifyEvent F) { FAfterClose = std::move(F); }
  void SetBeforeInsert(TDataSetNotifyEvent F) { FBeforeInsert = std::move(F); }
  void SetAfterInsert(TDataSetNotifyEvent F) { FAfterInsert = std::move(F); }
  void SetBeforeEdit(TDataSetNotifyEvent F) { FBeforeEdit = std::move(F); }
  void SetAfterEdit(TDataSetNotifyEvent F) { FAfterEdit = std::move(F); }
  void SetBeforePost(TDataSetNotifyEvent F) { FBeforePost = std::move(F); }
  void SetAfterPost(TDataSetNotifyEvent F) { FAfterPost = std::move(F); }
  void SetBeforeCancel(TDataSetNotifyEvent F) { FBeforeCancel = std::move(F); }
  void SetAfterCancel(TDataSetNotifyEvent F) { FAfterCancel = std::move(F); }
  void SetBeforeDelete(TDataSetNotifyEvent F) { FBeforeDelete = std::move(F); }
  void SetAfterDelete(TDataSetNotifyEvent F) { FAfterDelete = std::move(F); }
  void SetBeforeScroll(TDataSetNotifyEvent F) { FBeforeScroll = std::move(F); }
  void SetAfterScroll(TDataSetNotifyEvent F) { FAfterScroll = std::move(F); }
  void SetOnNewRecord(TDataSetNotifyEvent F) { FOnNewRecord = std::move(F); }
  void SetOnCalcFields(TDataSetNotifyEvent F) { FOnCalcFields = std::move(F); }

  // ---- notification machinery (data sources, links, fields) ----
  void DataEvent(TDataEvent Event, std::intptr_t Info);
  // Buffers the window holds (the largest link request, at least 1).
  int BufferCount() const { return FBufferCount; }
  // Records in the window.
  int BufferedRecordCount() const { return FRecordCount; }
  int ActiveRecord() const { return FActiveRecord; }
  // The buffer fields read now: the active record's (or the one being
  // calculated); nil when there is none.
  const TRecBuf* ActiveRecBuf() const;
  TRecBuf* ActiveRecBuf();
  // Recomputes the window size from the links and refills it.
  void UpdateBufferCount();

protected:
  // ---- what a data store implements ----
  virtual void InternalInitFieldDefs() {}
  virtual void InternalOpen() = 0;
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  // Reads the record at (gmCurrent), after (gmNext) or before (gmPrior) the
  // cursor into Buffer and moves the cursor there: Values, Bookmark, Flag
  // bfCurrent, RecNo when known. grBOF/grEOF when there is none.
  virtual TGetResult GetRecord(TRecBuf& Buffer, TGetMode GetMode, bool DoCheck) = 0;
  // Cursor to the crack before the first / after the last record.
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  virtual void InternalSetToRecord(const TRecBuf& Buffer) = 0;
  virtual void InternalGotoBookmark(const TBookmark& Bookmark) = 0;
  virtual void InternalInitRecord(TRecBuf& Buffer) {}
  virtual void InternalInsert() {}
  virtual void InternalEdit() {}
  // Stores the active buffer (an edit or an insert); raise to refuse, the
  // dataset then stays in its edit state with the values typed.
  virtual void InternalPost() = 0;
  virtual void InternalCancel() {}
  virtual void InternalDelete() = 0;
  virtual void InternalRefresh() {}
  virtual bool GetCanModify() const { return true; }
  virtual int GetRecordCount() const { return -1; }
  virtual int GetRecNo() const { return -1; }
  virtual void DoSetRecNo(int Value) {}
  // The nested dataset of a dataset field; nil when the class has none.
  virtual TDataSet* CreateNestedDataSet(TDataSetField* Field, TFieldDef* Def) { return nullptr; }
  // Called on a nested dataset when its master moved or changed.
  virtual void DataSetFieldChanged() {}

  // ---- helpers for data stores ----
  TRecBuf& Buffer(int Index) { return FBuffers[static_cast<size_t>(Index)]; }
  int SlotCount() const { return FSlotCount; }
  // Data fields (fkData, not object fields) in FieldList order.
  const std::vector<TField*>& DataFields() const { return FDataFields; }
  void SetDataSetField(TDataSetField* Field) { FDataSetField = Field; }
  TDataSetState SetTempState(TDataSetState Value);
  void RestoreState(TDataSetState Value);
  void CheckActive() const;
  void CheckInactive() const;
  void CheckBiDirectional() const;
  void CheckCanModify() const;
  // Closes the dataset from a subclass destructor, while the subclass's
  // overrides can still run.
  void CloseForDestroy();
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TField;
  friend class TFields;
  friend class TDataSource;
  friend class TDataLink;
  friend class TDataSetField;
  friend class TFieldList;

  void SetState(TDataSetState Value);
  void SetModified(bool Value) { FModified = Value; }
  void OpenCursor();
  void CloseCursor();
  void BindFields(bool Binding);
  void DestroyDefaultFields();
  void CheckRequiredFields();
  void FinishInsert();
  void OpenNested(bool Open);
  TField* CreateFieldFor(TFieldDef* Def, TObjectField* Parent, const std::string& Name);
  void InitRecord(TRecBuf& Buf);
  void GetCalcFields(TRecBuf& Buf);
  void CalculateLookup(TField* Field);
  bool GetNextRecord();
  void FetchFirstInto(TGetMode Mode);
  bool GetPriorRecord();
  int GetNextRecords();
  int GetPriorRecords();
  void SetBufferCount(int Value);
  void SetCurrentRecord(int Index);
  void ActivateBuffers();
  void ClearBuffers();
  void MoveBuffer(int CurIndex, int NewIndex);
  bool FetchInto(TRecBuf& Buf, TGetMode Mode, bool DoCheck);
  void NotifyDetails();
  void AdjustLinkFirstRecords(int Delta);
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);
  void Fire(const TDataSetNotifyEvent& E) { if (E) E(this); }

  TDataSetState FState = dsInactive;
  bool FModified = false;
  bool FBOF = true;
  bool FEOF = true;
  bool FObjectView = false;
  bool FDefaultFields = false;
  bool FInternalOpenComplete = false;
  int FBufferCount = 0;
  int FRecordCount = 0;
  int FActiveRecord = 0;
  int FCurrentRecord = -1;
  int FDisableCount = 0;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  int FSlotCount = 0;
  bool FHasCalcFields = false;
  TRecBuf* FCalcBuffer = nullptr;
  std::vector<TRecBuf> FBuffers;
  TFieldDefs FFieldDefs;
  std::unique_ptr<TFields> FFields;
  std::unique_ptr<TFieldList> FFieldList;
  std::vector<TField*> FDataFields;
  std::vector<TField*> FCreatedFields;  // default fields, destroyed on close
  bool FCreatingDefaults = false;
  bool FInDestructor = false;
  std::vector<TDataSource*> FDataSources;
  TDataSetField* FDataSetField = nullptr;

  TDataSetNotifyEvent FBeforeOpen, FAfterOpen, FBeforeClose, FAfterClose, FBeforeInsert, FAfterInsert,
      FBeforeEdit, FAfterEdit, FBeforePost, FAfterPost, FBeforeCancel, FAfterCancel, FBeforeDelete,
      FAfterDelete, FBeforeScroll, FAfterScroll, FOnNewRecord, FOnCalcFields;
};

namespace rix {
// "A; B" -> {"A", "B"}: the field-name lists of KeyFields, Lookup and Locate.
std::vector<std::string> SplitFieldNames(const std::string& Names);
// Whether a stored value matches a Locate key under Options.
bool LocateMatch(const TFieldValue& Value, const TFieldValue& Key, TLocateOptions Options);
} // namespace rix

// Holds DisableControls for a scope.
class TControlsDisabler {
public:
  explicit TControlsDisabler(TDataSet* D) : FDataSet(D) { FDataSet->DisableControls(); }
  ~TControlsDisabler() { FDataSet->EnableControls(); }
  TControlsDisabler(const TControlsDisabler&) = delete;
  TControlsDisabler& operator=(const TControlsDisabler&) = delete;

private:
  TDataSet* FDataSet;
};
