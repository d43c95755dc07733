#include "platform/data/DataSet.h"

#include "platform/core/Checked.h"
#include "platform/data/BlobFields.h"
#include "platform/data/DataLink.h"
#include "platform/data/ObjectFields.h"

#include <algorithm>

using namespace dbconsts;

namespace {
// The framework's limit on the buffer window.
constexpr int MaxBufferCount = 1024;
} // namespace

TDataSet::TDataSet(TComponent* AOwner)
    : TComponent(AOwner), FFields(std::make_unique<TFields>(this)), FFieldList(std::make_unique<TFieldList>(this)) {}

TDataSet::~TDataSet() {
  // Subclasses close in their own destructors (CloseForDestroy); what is left
  // here is only bookkeeping that needs no virtual call.
  FInDestructor = true;
  while (!FDataSources.empty()) FDataSources.back()->SetDataSet(nullptr);
  FBuffers.clear();
  // Fields owned elsewhere outlive the dataset: cut them loose.
  std::vector<TField*> all(FFieldList->begin(), FFieldList->end());
  for (TField* f : all) {
    f->FDataSet = nullptr;
    f->FSlot = -1;
    if (f->FFields == FFields.get()) f->FFields = nullptr;
  }
  FFields->FList.clear();
}

void TDataSet::BeforeDestruction() {
  TComponent::BeforeDestruction();
  CloseForDestroy();
}

void TDataSet::CloseForDestroy() {
  if (FState == dsInactive && !IsCursorOpen()) {
    DestroyDefaultFields();
    return;
  }
  try {
    OpenNested(false);
    SetState(dsInactive);
    CloseCursor();
  } catch (...) {
    // A destructor must not throw; the store's own destructor releases what
    // closing could not.
  }
  DestroyDefaultFields();
}

void TDataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TField* f : *FFieldList)
    if (f->FLookupDataSet == AComponent) f->FLookupDataSet = nullptr;
}

// ---------------------------------------------------------------- checks

void TDataSet::CheckActive() const {
  if (FState == dsInactive) DatabaseError(SDataSetClosed, const_cast<TDataSet*>(this));
}

void TDataSet::CheckInactive() const {
  if (Active()) DatabaseError(SDataSetOpen, const_cast<TDataSet*>(this));
}

void TDataSet::CheckBiDirectional() const {
  if (IsUniDirectional()) DatabaseError(SDataSetUnidirectional, const_cast<TDataSet*>(this));
}

void TDataSet::CheckCanModify() const {
  if (!CanModify()) DatabaseError(SDataSetReadOnly, const_cast<TDataSet*>(this));
}

bool TDataSet::IsEmpty() const { return Active() && FRecordCount == 0; }

void TDataSet::SetObjectView(bool Value) {
  CheckInactive();
  if (FObjectView == Value) return;
  if (FFields->Count() > 0 && !FDefaultFields)
    DatabaseError("ObjectView cannot change while persistent fields exist", this);
  FObjectView = Value;
}

// ---------------------------------------------------------------- state

void TDataSet::SetState(TDataSetState Value) {
  if (FState == Value) return;
  FState = Value;
  FModified = false;
  DataEvent(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState Value) {
  TDataSetState old = FState;
  FState = Value;
  return old;
}

void TDataSet::RestoreState(TDataSetState Value) { FState = Value; }

void TDataSet::SetActive(bool Value) {
  if (ComponentState().Contains(csReading)) return;
  if (Active() == Value) return;
  if (Value) {
    Fire(FBeforeOpen);
    FInternalOpenComplete = false;
    try {
      OpenCursor();
    } catch (...) {
      FState = dsInactive;
      try {
        CloseCursor();
      } catch (...) {
      }
      throw;
    }
    SetState(dsBrowse);
    OpenNested(true);
    Fire(FAfterOpen);
    if (!IsEmpty()) Fire(FAfterScroll);
  } else {
    if (!ComponentState().Contains(csDestroying)) Fire(FBeforeClose);
    OpenNested(false);
    SetState(dsInactive);
    CloseCursor();
    if (!ComponentState().Contains(csDestroying)) Fire(FAfterClose);
  }
}

void TDataSet::OpenCursor() {
  FState = dsOpening;
  InternalInitFieldDefs();
  // Default data fields come from the defs when no data field objects
  // exist; calculated and lookup field objects added beforehand stay, after
  // the data fields.
  bool anyData = false;
  for (TField* f : *FFields)
    if (f->FieldKind() == fkData) anyData = true;
  FDefaultFields = !anyData;
  if (FDefaultFields) {
    std::vector<TField*> extra(FFields->begin(), FFields->end());
    FCreatingDefaults = true;
    try {
      CreateFields();
    } catch (...) {
      FCreatingDefaults = false;
      throw;
    }
    FCreatingDefaults = false;
    for (size_t i = 0; i < extra.size(); ++i) extra[i]->SetIndex(FFields->Count() - 1);
  }
  FFieldList->Invalidate();
  BindFields(true);
  InternalOpen();
  FInternalOpenComplete = true;
  ClearBuffers();
  FBufferCount = 0;
  FState = dsInactive;
  UpdateBufferCount();
  FBOF = true;
}

void TDataSet::CloseCursor() {
  std::vector<TRecBuf>().swap(FBuffers);
  FBufferCount = 0;
  ClearBuffers();
  if (IsCursorOpen() || FInternalOpenComplete) InternalClose();
  FInternalOpenComplete = false;
  BindFields(false);
  DestroyDefaultFields();
  FDefaultFields = false;
}

void TDataSet::DestroyDefaultFields() {
  std::vector<TField*> created;
  created.swap(FCreatedFields);
  // Children first, so parents never hold dangling sub-fields.
  for (auto it = created.rbegin(); it != created.rend(); ++it) delete *it;
  FFieldList->Invalidate();
}

TField* TDataSet::CreateFieldFor(TFieldDef* Def, TObjectField* Parent, const std::string& Name) {
  TField* f = nullptr;
  switch (Def->DataType()) {
    case ftString: case ftFixedChar: case ftWideString: f = new TStringField(this); break;
    case ftSmallint: f = new TSmallintField(this); break;
    case ftInteger: f = new TIntegerField(this); break;
    case ftWord: f = new TWordField(this); break;
    case ftLargeint: f = new TLargeintField(this); break;
    case ftAutoInc: f = new TAutoIncField(this); break;
    case ftBoolean: f = new TBooleanField(this); break;
    case ftFloat: case ftBCD: f = new TFloatField(this); break;
    case ftCurrency: f = new TCurrencyField(this); break;
    case ftDate: f = new TDateField(this); break;
    case ftTime: f = new TTimeField(this); break;
    case ftDateTime: f = new TDateTimeField(this); break;
    case ftBlob: case ftBytes: case ftVarBytes: case ftTypedBinary: case ftParadoxOle: case ftDBaseOle:
      f = new TBlobField(this); break;
    case ftMemo: case ftFmtMemo: f = new TMemoField(this); break;
    case ftGraphic: f = new TGraphicField(this); break;
    case ftADT: f = new TADTField(this); break;
    case ftArray: f = new TArrayField(this); break;
    case ftDataSet: f = new TDataSetField(this); break;
    default:
      DatabaseError(std::string("Field type ") + FieldTypeName(Def->DataType()) + " of field '" + Name +
                        "' is not supported",
                    this);
  }
  f->FDataType = Def->DataType();
  f->FFieldName = Name;
  if (f->IsBlob() || Def->DataType() == ftString || Def->DataType() == ftFixedChar || Def->DataType() == ftWideString)
    f->FSize = Def->Size() > 0 ? Def->Size() : f->FSize;
  f->FRequired = Def->Required();
  f->FReadOnly = Def->ReadOnly();
  f->FFieldNo = Def->FieldNo();
  if (FCreatingDefaults) FCreatedFields.push_back(f);
  if (Parent != nullptr)
    f->SetParentField(Parent);
  else
    f->SetDataSet(this);
  if (Def->DataType() == ftADT) {
    for (int i = 0; i < Def->ChildDefs()->Count(); ++i) {
      TFieldDef* c = Def->ChildDefs()->Items(i);
      CreateFieldFor(c, static_cast<TObjectField*>(f), c->Name());
    }
  } else if (Def->DataType() == ftArray) {
    if (Def->ChildDefs()->Count() != 1)
      DatabaseError("Array field '" + Name + "' needs exactly one element definition", this);
    for (int i = 0; i < Def->Size(); ++i)
      CreateFieldFor(Def->ChildDefs()->Items(0), static_cast<TObjectField*>(f), Name + "[" + std::to_string(i) + "]");
  } else if (Def->DataType() == ftDataSet) {
    auto* df = static_cast<TDataSetField*>(f);
    df->FNestedDataSet = CreateNestedDataSet(df, Def);
  }
  return f;
}

void TDataSet::CreateFields() {
  for (int i = 0; i < FFieldDefs.Count(); ++i) {
    TFieldDef* d = FFieldDefs.Items(i);
    if (FFields->FindField(d->Name()) == nullptr) CreateFieldFor(d, nullptr, d->Name());
  }
  FFieldList->Invalidate();
}

void TDataSet::BindFields(bool Binding) {
  FDataFields.clear();
  FHasCalcFields = false;
  FSlotCount = 0;
  for (TField* f : *FFieldList) {
    f->FSlot = -1;
    if (!Binding) continue;
    bool object = dynamic_cast<TObjectField*>(f) != nullptr && f->DataType() != ftDataSet;
    if (object) continue;
    f->FSlot = FSlotCount++;
    if (f->FieldKind() == fkData)
      FDataFields.push_back(f);
    else
      FHasCalcFields = true;
    if (f->Lookup() && (f->FKeyFields.empty() || f->FLookupKeyFields.empty() || f->FLookupResultField.empty()))
      DatabaseErrorFmt(SLookupInfoError, f->DisplayName(), this);
  }
}

// ---------------------------------------------------------------- fields

TField* TDataSet::FindField(const std::string& FieldName) const {
  if (TField* f = FFieldList->Find(FieldName)) return f;
  return FFields->FindField(FieldName);
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
  TField* f = FindField(FieldName);
  if (f == nullptr) DatabaseErrorFmt(SFieldNotFound, FieldName, const_cast<TDataSet*>(this));
  return f;
}

void TDataSet::GetFieldNames(TStrings* List) {
  List->BeginUpdate();
  try {
    List->Clear();
    if (FFieldList->Count() > 0) {
      for (TField* f : *FFieldList) List->Add(f->FullName());
    } else {
      InternalInitFieldDefs();
      for (int i = 0; i < FFieldDefs.Count(); ++i) List->Add(FFieldDefs.Items(i)->Name());
    }
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

// ---------------------------------------------------------------- buffers

void TDataSet::InitRecord(TRecBuf& Buf) {
  Buf.Values.assign(static_cast<size_t>(FSlotCount), TFieldValue{});
  Buf.Bookmark.clear();
  Buf.Flag = bfInserted;
  Buf.RecNo = 0;
  InternalInitRecord(Buf);
  GetCalcFields(Buf);
}

bool TDataSet::FetchInto(TRecBuf& Buf, TGetMode Mode, bool DoCheck) {
  if (Buf.Values.size() != static_cast<size_t>(FSlotCount)) Buf.Values.resize(static_cast<size_t>(FSlotCount));
  for (auto& v : Buf.Values) v = TFieldValue{};
  Buf.Flag = bfCurrent;
  Buf.RecNo = 0;
  if (GetRecord(Buf, Mode, DoCheck) != grOK) return false;
  GetCalcFields(Buf);
  return true;
}

void TDataSet::ActivateBuffers() {
  FRecordCount = 1;
  FActiveRecord = 0;
  FCurrentRecord = 0;
  FBOF = false;
  FEOF = false;
}

void TDataSet::ClearBuffers() {
  FRecordCount = 0;
  FActiveRecord = 0;
  FCurrentRecord = -1;
  FBOF = true;
  FEOF = true;
}

void TDataSet::MoveBuffer(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  auto b = FBuffers.begin();
  if (CurIndex < NewIndex)
    std::rotate(b + CurIndex, b + CurIndex + 1, b + NewIndex + 1);
  else
    std::rotate(b + NewIndex, b + CurIndex, b + CurIndex + 1);
}

void TDataSet::SetCurrentRecord(int Index) {
  if (FCurrentRecord == Index) return;
  if (!IsUniDirectional()) {
    const TRecBuf& b = FBuffers[static_cast<size_t>(Index)];
    switch (b.Flag) {
      case bfCurrent:
      case bfInserted:
        if (b.Bookmark.empty())
          InternalLast();
        else
          InternalSetToRecord(b);
        break;
      case bfBOF: InternalFirst(); break;
      case bfEOF: InternalLast(); break;
    }
  }
  FCurrentRecord = Index;
}

void TDataSet::UpdateCursorPos() {
  if (FRecordCount > 0) SetCurrentRecord(FActiveRecord);
}

bool TDataSet::GetNextRecord() {
  TGetMode mode = gmNext;
  if (FRecordCount > 0) {
    SetCurrentRecord(FRecordCount - 1);
    const TRecBuf& last = FBuffers[static_cast<size_t>(FRecordCount - 1)];
    // The cursor of an inserted record stands on the record that follows it.
    if (FState == dsInsert && last.Flag == bfInserted && !last.Bookmark.empty()) mode = gmCurrent;
  }
  bool ok = FetchInto(FBuffers[static_cast<size_t>(FRecordCount)], mode, true);
  if (ok) {
    if (FRecordCount == 0)
      ActivateBuffers();
    else if (FRecordCount < FBufferCount)
      ++FRecordCount;
    else
      MoveBuffer(0, FRecordCount);
    FCurrentRecord = FRecordCount - 1;
  } else {
    CursorPosChanged();
  }
  return ok;
}

bool TDataSet::GetPriorRecord() {
  CheckBiDirectional();
  if (FRecordCount > 0) SetCurrentRecord(0);
  bool ok = FetchInto(FBuffers[static_cast<size_t>(FRecordCount)], gmPrior, true);
  if (ok) {
    if (FRecordCount == 0) {
      ActivateBuffers();
    } else {
      MoveBuffer(FRecordCount, 0);
      if (FRecordCount < FBufferCount) {
        ++FRecordCount;
        ++FActiveRecord;
      }
    }
    FCurrentRecord = 0;
  } else {
    CursorPosChanged();
  }
  return ok;
}

int TDataSet::GetNextRecords() {
  int n = 0;
  while (FRecordCount < FBufferCount && GetNextRecord()) ++n;
  return n;
}

int TDataSet::GetPriorRecords() {
  int n = 0;
  while (FRecordCount < FBufferCount && GetPriorRecord()) ++n;
  return n;
}

void TDataSet::AdjustLinkFirstRecords(int Delta) {
  if (Delta == 0) return;
  for (TDataSource* s : FDataSources)
    for (TDataLink* l : s->FDataLinks)
      if (l->FActive) l->FFirstRecord = rix::CheckedAdd(l->FFirstRecord, Delta);
}

void TDataSet::UpdateBufferCount() {
  if (FInDestructor || !IsCursorOpen()) return;
  int maxCount = 1;
  for (TDataSource* s : FDataSources)
    for (TDataLink* l : s->FDataLinks) maxCount = std::max(maxCount, l->FBufferCount);
  SetBufferCount(maxCount);
}

void TDataSet::SetBufferCount(int Value) {
  if (IsUniDirectional()) Value = 1;
  Value = std::clamp(Value, 1, MaxBufferCount);
  if (Value == FBufferCount) return;
  if (Value < FBufferCount) {
    // Keep the active record: drop records in front of it first, then from
    // the end.
    int drop = FActiveRecord - Value + 1;
    if (drop > 0) {
      FBuffers.erase(FBuffers.begin(), FBuffers.begin() + drop);
      FActiveRecord -= drop;
      FRecordCount -= drop;
      FCurrentRecord = FCurrentRecord >= drop ? FCurrentRecord - drop : -1;
      AdjustLinkFirstRecords(-drop);
    }
    if (FRecordCount > Value) FRecordCount = Value;
    if (FCurrentRecord >= FRecordCount) FCurrentRecord = -1;
    FBuffers.resize(static_cast<size_t>(Value) + 1);
    FBufferCount = Value;
    return;
  }
  FBuffers.resize(static_cast<size_t>(Value) + 1);
  FBufferCount = Value;
  GetNextRecords();
  AdjustLinkFirstRecords(GetPriorRecords());
}

const TRecBuf* TDataSet::ActiveRecBuf() const {
  switch (FState) {
    case dsCalcFields: return FCalcBuffer;
    case dsBrowse: case dsEdit: case dsInsert:
      if (FActiveRecord < 0 || FActiveRecord >= FRecordCount) return nullptr;
      return &FBuffers[static_cast<size_t>(FActiveRecord)];
    default: return nullptr;
  }
}

TRecBuf* TDataSet::ActiveRecBuf() { return const_cast<TRecBuf*>(std::as_const(*this).ActiveRecBuf()); }

// ---------------------------------------------------------------- calculated fields

void TDataSet::GetCalcFields(TRecBuf& Buf) {
  if (!FHasCalcFields || FState == dsOpening) return;
  TRecBuf* oldCalc = FCalcBuffer;
  TDataSetState old = SetTempState(dsCalcFields);
  FCalcBuffer = &Buf;
  try {
    for (TField* f : *FFieldList)
      if ((f->Calculated() || f->Lookup()) && f->FSlot >= 0) Buf.Values[static_cast<size_t>(f->FSlot)] = TFieldValue{};
    for (TField* f : *FFieldList)
      if (f->Lookup()) CalculateLookup(f);
    Fire(FOnCalcFields);
  } catch (...) {
    FCalcBuffer = oldCalc;
    RestoreState(old);
    throw;
  }
  FCalcBuffer = oldCalc;
  RestoreState(old);
}

namespace rix {
std::vector<std::string> SplitFieldNames(const std::string& Names) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : Names + ";") {
    if (c != ';') {
      cur += c;
      continue;
    }
    size_t a = cur.find_first_not_of(' ');
    size_t b = cur.find_last_not_of(' ');
    out.push_back(a == std::string::npos ? std::string() : cur.substr(a, b - a + 1));
    cur.clear();
  }
  return out;
}
} // namespace rix

void TDataSet::CalculateLookup(TField* Field) {
  TDataSet* src = Field->FLookupDataSet;
  if (src == nullptr || !src->Active()) return;
  std::vector<TFieldValue> keys;
  for (const std::string& n : rix::SplitFieldNames(Field->FKeyFields)) {
    TField* k = FieldByName(n);
    keys.push_back(k->Value());
  }
  for (const TFieldValue& k : keys)
    if (IsNullValue(k)) return;
  FCalcBuffer->Values[static_cast<size_t>(Field->FSlot)] =
      src->Lookup(Field->FLookupKeyFields, keys, Field->FLookupResultField);
}

TFieldValue TDataSet::Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                             const std::string& ResultField) {
  CheckBrowseMode();
  std::vector<TField*> keys;
  for (const std::string& n : rix::SplitFieldNames(KeyFields)) keys.push_back(FieldByName(n));
  if (keys.size() != KeyValues.size()) DatabaseError("Lookup needs one value per key field", this);
  TField* result = FieldByName(ResultField);
  TBookmark here = Bookmark();
  TFieldValue found;
  {
    TControlsDisabler disabler(this);
    First();
    while (!FEOF) {
      bool match = true;
      for (size_t i = 0; i < keys.size() && match; ++i) match = keys[i]->Value() == KeyValues[i];
      if (match) {
        found = result->Value();
        break;
      }
      Next();
    }
    if (!here.empty()) GotoBookmark(here);
  }
  return found;
}

namespace rix {
bool LocateMatch(const TFieldValue& Value, const TFieldValue& Key, TLocateOptions Options) {
  auto* v = std::get_if<std::string>(&Value);
  auto* k = std::get_if<std::string>(&Key);
  if (v == nullptr || k == nullptr) return Value == Key;
  std::string a = *v, b = *k;
  if (Options.Contains(loPartialKey)) a = a.substr(0, std::min(a.size(), b.size()));
  return Options.Contains(loCaseInsensitive) ? SameText(a, b) : a == b;
}
} // namespace rix

bool TDataSet::Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues, TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<TField*> keys;
  for (const std::string& n : rix::SplitFieldNames(KeyFields)) keys.push_back(FieldByName(n));
  if (keys.size() != KeyValues.size()) DatabaseError("Locate needs one value per key field", this);
  TBookmark here = Bookmark();
  bool found = false;
  {
    TControlsDisabler disabler(this);
    First();
    while (!FEOF && !found) {
      found = true;
      for (size_t i = 0; i < keys.size() && found; ++i) found = rix::LocateMatch(keys[i]->Value(), KeyValues[i], Options);
      if (!found) Next();
    }
    if (!found && !here.empty()) GotoBookmark(here);
  }
  return found;
}

// ---------------------------------------------------------------- moving

// The first record of a new window goes into the spare buffer after the
// window, so that a data store failing to read it (a server gone away)
// leaves the window on screen as it was.
void TDataSet::FetchFirstInto(TGetMode Mode) {
  bool any = false;
  try {
    any = FetchInto(FBuffers[static_cast<size_t>(FRecordCount)], Mode, true);
  } catch (...) {
    CursorPosChanged();
    throw;
  }
  if (any) {
    MoveBuffer(FRecordCount, 0);
    ActivateBuffers();
  } else {
    ClearBuffers();
  }
}

void TDataSet::First() {
  CheckBrowseMode();
  Fire(FBeforeScroll);
  InternalFirst();
  FetchFirstInto(gmNext);
  try {
    GetNextRecords();
  } catch (...) {
    FBOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FBOF = true;
  DataEvent(deDataSetChange, 0);
  Fire(FAfterScroll);
}

void TDataSet::Last() {
  CheckBiDirectional();
  CheckBrowseMode();
  Fire(FBeforeScroll);
  InternalLast();
  FetchFirstInto(gmPrior);
  try {
    GetPriorRecords();
  } catch (...) {
    FEOF = true;
    DataEvent(deDataSetChange, 0);
    throw;
  }
  FEOF = true;
  DataEvent(deDataSetChange, 0);
  Fire(FAfterScroll);
}

int TDataSet::MoveBy(int Distance) {
  CheckBrowseMode();
  int result = 0;
  Fire(FBeforeScroll);
  if ((Distance > 0 && !FEOF) || (Distance < 0 && !FBOF)) {
    FBOF = false;
    FEOF = false;
    int scrollCount = 0;
    try {
      while (Distance > 0) {
        if (FActiveRecord < FRecordCount - 1) {
          ++FActiveRecord;
        } else {
          int shift = FRecordCount < FBufferCount ? 0 : 1;
          if (GetNextRecord()) {
            scrollCount += shift;
            if (shift == 0) FActiveRecord = FRecordCount - 1;
          } else {
            FEOF = true;
            break;
          }
        }
        --Distance;
        ++result;
      }
      while (Distance < 0) {
        if (FActiveRecord > 0) {
          --FActiveRecord;
        } else {
          int shift = FRecordCount < FBufferCount ? 0 : 1;
          if (GetPriorRecord()) {
            scrollCount -= shift;
            if (shift == 0) FActiveRecord = 0;
          } else {
            FBOF = true;
            break;
          }
        }
        ++Distance;
        --result;
      }
    } catch (...) {
      DataEvent(deDataSetScroll, scrollCount);
      throw;
    }
    DataEvent(deDataSetScroll, scrollCount);
    Fire(FAfterScroll);
  }
  return result;
}

void TDataSet::SetRecNo(int Value) {
  CheckBrowseMode();
  Fire(FBeforeScroll);
  DoSetRecNo(Value);
  Resync({rmCenter});
  Fire(FAfterScroll);
}

void TDataSet::Resync(TResyncMode Mode) {
  if (IsUniDirectional()) return;
  TRecBuf& scratch = FBuffers[static_cast<size_t>(FRecordCount)];
  if (Mode.Contains(rmExact)) {
    CursorPosChanged();
    if (!FetchInto(scratch, gmCurrent, true)) DatabaseError(SRecordNotFound, this);
  } else if (!FetchInto(scratch, gmCurrent, false) && !FetchInto(scratch, gmNext, false) &&
             !FetchInto(scratch, gmPrior, false)) {
    ClearBuffers();
    DataEvent(deDataSetChange, 0);
    return;
  }
  int count = Mode.Contains(rmCenter) ? (FBufferCount - 1) / 2 : FActiveRecord;
  MoveBuffer(FRecordCount, 0);
  ActivateBuffers();
  try {
    while (count > 0 && GetPriorRecord()) --count;
    GetNextRecords();
    GetPriorRecords();
  } catch (...) {
    DataEvent(deDataSetChange, 0);
    throw;
  }
  DataEvent(deDataSetChange, 0);
}

void TDataSet::Refresh() {
  CheckBrowseMode();
  UpdateCursorPos();
  InternalRefresh();
  Resync({});
}

// ---------------------------------------------------------------- bookmarks

TBookmark TDataSet::Bookmark() const {
  const TRecBuf* b = ActiveRecBuf();
  if (b == nullptr || FState == dsCalcFields || b->Flag != bfCurrent) return {};
  return b->Bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& Value) {
  if (Value.empty()) return;
  CheckBrowseMode();
  Fire(FBeforeScroll);
  InternalGotoBookmark(Value);
  Resync({rmExact, rmCenter});
  Fire(FAfterScroll);
}

// ---------------------------------------------------------------- editing

void TDataSet::CheckBrowseMode() {
  CheckActive();
  DataEvent(deCheckBrowseMode, 0);
  switch (FState) {
    case dsEdit:
    case dsInsert:
      UpdateRecord();
      if (FModified)
        Post();
      else
        Cancel();
      break;
    case dsSetKey: Post(); break;
    default: break;
  }
}

void TDataSet::UpdateRecord() {
  if (!IsEditMode(FState)) DatabaseError(SNotEditing, this);
  DataEvent(deUpdateRecord, 0);
}

void TDataSet::Edit() {
  if (FState == dsEdit || FState == dsInsert) return;
  if (FRecordCount == 0) {
    Insert();
    return;
  }
  CheckBrowseMode();
  CheckCanModify();
  Fire(FBeforeEdit);
  UpdateCursorPos();
  InternalEdit();
  GetCalcFields(*ActiveRecBuf());
  SetState(dsEdit);
  DataEvent(deRecordChange, 0);
  Fire(FAfterEdit);
}

void TDataSet::Insert() {
  CheckBrowseMode();
  CheckCanModify();
  Fire(FBeforeInsert);
  Fire(FBeforeScroll);
  MoveBuffer(FRecordCount, FActiveRecord);
  TRecBuf& buf = FBuffers[static_cast<size_t>(FActiveRecord)];
  TBookmark following;
  if (FRecordCount > 0) following = FBuffers[static_cast<size_t>(FActiveRecord + 1)].Bookmark;
  InitRecord(buf);
  if (FRecordCount == 0)
    buf.Flag = bfBOF;
  else
    buf.Bookmark = following;
  if (FRecordCount < FBufferCount) ++FRecordCount;
  // The cursor's buffer index no longer holds what it did.
  CursorPosChanged();
  FinishInsert();
}

void TDataSet::Append() {
  CheckBrowseMode();
  CheckCanModify();
  Fire(FBeforeInsert);
  Fire(FBeforeScroll);
  ClearBuffers();
  TRecBuf& buf = FBuffers[0];
  InitRecord(buf);
  buf.Flag = bfEOF;
  FRecordCount = 1;
  FBOF = false;
  GetPriorRecords();
  FinishInsert();
}

// The common end of Insert and Append, once the new record's buffer is in
// place: a failing OnNewRecord takes the dataset back to browsing.
void TDataSet::FinishInsert() {
  InternalInsert();
  SetState(dsInsert);
  try {
    Fire(FOnNewRecord);
  } catch (...) {
    UpdateCursorPos();
    SetState(dsBrowse);
    Resync({});
    throw;
  }
  FModified = false;
  DataEvent(deDataSetChange, 0);
  Fire(FAfterInsert);
  Fire(FAfterScroll);
}

void TDataSet::CheckRequiredFields() {
  for (TField* f : FDataFields)
    if (f->Required() && !f->ReadOnly() && f->IsNull()) {
      f->FocusControl();
      DatabaseErrorFmt(SFieldRequired, f->DisplayName(), this);
    }
}

void TDataSet::Post() {
  UpdateRecord();
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  Fire(FBeforePost);
  CheckRequiredFields();
  InternalPost();
  SetState(dsBrowse);
  Resync({});
  Fire(FAfterPost);
}

void TDataSet::Cancel() {
  if (FState != dsEdit && FState != dsInsert) return;
  DataEvent(deCheckBrowseMode, 0);
  Fire(FBeforeCancel);
  bool scrollEvents = FState == dsInsert;
  if (scrollEvents) Fire(FBeforeScroll);
  UpdateCursorPos();
  InternalCancel();
  SetState(dsBrowse);
  Resync({});
  Fire(FAfterCancel);
  if (scrollEvents) Fire(FAfterScroll);
}

void TDataSet::Delete() {
  CheckActive();
  if (FState == dsInsert || FState == dsSetKey) {
    Cancel();
    return;
  }
  if (FRecordCount == 0) DatabaseError(SDataSetEmpty, this);
  CheckCanModify();
  DataEvent(deCheckBrowseMode, 0);
  Fire(FBeforeDelete);
  Fire(FBeforeScroll);
  UpdateCursorPos();
  InternalDelete();
  SetState(dsBrowse);
  Resync({});
  Fire(FAfterDelete);
  Fire(FAfterScroll);
}

void TDataSet::ClearFields() {
  if (!IsEditMode(FState)) DatabaseError(SNotEditing, this);
  TRecBuf* b = ActiveRecBuf();
  for (TField* f : FDataFields) b->Values[static_cast<size_t>(f->FSlot)] = TFieldValue{};
  GetCalcFields(*b);
  DataEvent(deRecordChange, 0);
}

// ---------------------------------------------------------------- controls and events

void TDataSet::DisableControls() {
  if (FDisableCount == 0) {
    FDisableState = FState;
    FEnableEvent = deDataSetChange;
  }
  FDisableCount = rix::CheckedAdd(FDisableCount, 1);
}

void TDataSet::EnableControls() {
  if (FDisableCount == 0) return;
  if (--FDisableCount == 0) {
    if (FDisableState != FState) DataEvent(deUpdateState, 0);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent, 0);
  }
}

void TDataSet::NotifyDetails() {
  for (TField* f : *FFieldList)
    if (auto* df = dynamic_cast<TDataSetField*>(f))
      if (df->FNestedDataSet != nullptr && df->FNestedDataSet->Active()) df->FNestedDataSet->DataSetFieldChanged();
}

void TDataSet::OpenNested(bool Open) {
  for (TField* f : *FFieldList)
    if (auto* df = dynamic_cast<TDataSetField*>(f))
      if (df->FNestedDataSet != nullptr) df->FNestedDataSet->SetActive(Open);
}

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info) {
  bool notify = !(ControlsDisabled() || FState == dsBlockRead);
  switch (Event) {
    case deFieldChange: {
      auto* f = reinterpret_cast<TField*>(Info);
      if (f->FieldKind() == fkData || f->FieldKind() == fkInternalCalc) FModified = true;
      if (FState != dsSetKey && FState != dsCalcFields && f->FieldKind() == fkData && FHasCalcFields)
        if (TRecBuf* b = ActiveRecBuf()) GetCalcFields(*b);
      break;
    }
    case deFieldListChange: FFieldList->Invalidate(); break;
    case deCheckBrowseMode:
      for (TField* f : *FFieldList)
        if (auto* df = dynamic_cast<TDataSetField*>(f))
          if (df->FNestedDataSet != nullptr && df->FNestedDataSet->Active()) df->FNestedDataSet->CheckBrowseMode();
      break;
    case deDataSetChange:
    case deDataSetScroll: NotifyDetails(); break;
    case deLayoutChange:
      FFieldList->Invalidate();
      if (ControlsDisabled()) FEnableEvent = deLayoutChange;
      break;
    case deUpdateState:
      if (ControlsDisabled()) {
        Event = deDisabledStateChange;
        Info = FState != dsInactive ? 1 : 0;
        notify = true;
        FEnableEvent = deLayoutChange;
      }
      break;
    default: break;
  }
  if (!notify) return;
  // A handler may detach a source; walk a copy.
  std::vector<TDataSource*> sources = FDataSources;
  for (TDataSource* s : sources)
    if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end()) s->DataEvent(Event, Info);
}

void TDataSet::AddDataSource(TDataSource* Source) {
  FDataSources.push_back(Source);
  UpdateBufferCount();
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
  FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source), FDataSources.end());
  UpdateBufferCount();
}
