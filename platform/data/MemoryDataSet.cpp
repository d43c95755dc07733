#include "platform/data/MemoryDataSet.h"

#include "platform/data/ObjectFields.h"

#include <algorithm>

using namespace dbconsts;
using rix::TMemTable;

namespace {
TBookmark IdToBookmark(std::uint64_t Id) {
  TBookmark b(8, '\0');
  for (int i = 7; i >= 0; --i, Id >>= 8) b[static_cast<size_t>(i)] = static_cast<char>(Id & 0xFF);
  return b;
}

bool BookmarkToId(const TBookmark& B, std::uint64_t& Id) {
  if (B.size() != 8) return false;
  Id = 0;
  for (char c : B) Id = (Id << 8) | static_cast<unsigned char>(c);
  return true;
}
} // namespace

// ---------------------------------------------------------------- TMemTable

std::shared_ptr<TNestedData> TMemTable::Clone() const {
  auto t = std::make_shared<TMemTable>();
  t->Columns = Columns;
  t->NextId = NextId;
  t->Rows = Rows;
  for (auto& r : t->Rows)
    for (auto& v : r.Values)
      if (auto* n = std::get_if<std::shared_ptr<TNestedData>>(&v); n != nullptr && *n) v = (*n)->Clone();
  return t;
}

int TMemTable::ColumnIndex(const std::string& Name) const {
  for (size_t i = 0; i < Columns.size(); ++i)
    if (SameText(Columns[i].Name, Name)) return static_cast<int>(i);
  return -1;
}

int TMemTable::IndexOfId(std::uint64_t Id) const {
  if (!FIndexValid) {
    FIndex.clear();
    for (size_t i = 0; i < Rows.size(); ++i) FIndex[Rows[i].Id] = static_cast<int>(i);
    FIndexValid = true;
  }
  auto it = FIndex.find(Id);
  return it == FIndex.end() ? -1 : it->second;
}

void TMemTable::IndexAppended() {
  if (FIndexValid) FIndex[Rows.back().Id] = static_cast<int>(Rows.size()) - 1;
}

TMemTable::TRow TMemTable::NewRow() {
  TRow r;
  r.Values.resize(Columns.size());
  for (size_t i = 0; i < Columns.size(); ++i)
    if (Columns[i].Nested) r.Values[i] = Columns[i].Nested->Clone();
  return r;
}

void TMemTable::AddColumns(std::vector<TColumn>& Out, TFieldDefs* Defs, const std::string& Prefix) {
  for (int i = 0; i < Defs->Count(); ++i) {
    TFieldDef* d = Defs->Items(i);
    std::string name = Prefix + d->Name();
    switch (d->DataType()) {
      case ftADT: AddColumns(Out, d->ChildDefs(), name + "."); break;
      case ftArray: {
        if (d->ChildDefs()->Count() != 1)
          DatabaseError("Array field '" + name + "' needs exactly one element definition");
        TFieldDef* e = d->ChildDefs()->Items(0);
        for (int k = 0; k < d->Size(); ++k) {
          std::string en = name + "[" + std::to_string(k) + "]";
          if (e->DataType() == ftADT)
            AddColumns(Out, e->ChildDefs(), en + ".");
          else
            Out.push_back({en, e->DataType(), nullptr});
        }
        break;
      }
      case ftDataSet: {
        auto proto = std::make_shared<TMemTable>();
        AddColumns(proto->Columns, d->ChildDefs(), "");
        Out.push_back({name, ftDataSet, proto});
        break;
      }
      default: Out.push_back({name, d->DataType(), nullptr}); break;
    }
  }
}

// ---------------------------------------------------------------- TMemoryDataSet

TMemoryDataSet::TMemoryDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TMemoryDataSet::~TMemoryDataSet() { CloseForDestroy(); }

void TMemoryDataSet::BuildTable() {
  if (FieldDefs()->Count() == 0) DatabaseError(SNoFieldDefs, this);
  auto t = std::make_shared<TMemTable>();
  TMemTable::AddColumns(t->Columns, FieldDefs(), "");
  FTable = t;
}

void TMemoryDataSet::CreateDataSet() {
  CheckInactive();
  BuildTable();
  Open();
}

void TMemoryDataSet::EmptyDataSet() {
  CheckActive();
  Cancel();
  FTable->Rows.clear();
  FTable->IndexChanged();
  FCursor = -1;
  First();
}

void TMemoryDataSet::InternalOpen() {
  if (DataSetField() != nullptr) {
    FTable.reset();
    if (TDataSet* master = DataSetField()->DataSet(); master != nullptr && master->Active())
      if (auto* v = master->ActiveRecBuf(); v != nullptr && DataSetField()->DataSlot() >= 0) {
        auto& val = v->Values[static_cast<size_t>(DataSetField()->DataSlot())];
        if (auto* p = std::get_if<std::shared_ptr<TNestedData>>(&val))
          FTable = std::dynamic_pointer_cast<TMemTable>(*p);
      }
    if (!FTable) BuildTable();
  } else if (!FTable) {
    BuildTable();
  }
  FMap.clear();
  for (TField* f : DataFields()) {
    int col = FTable->ColumnIndex(f->FullName());
    if (col < 0) DatabaseErrorFmt(SFieldNotFound, f->FullName(), this);
    FMap.emplace_back(f->DataSlot(), col);
  }
  FCursor = -1;
  FOpen = true;
}

void TMemoryDataSet::InternalClose() {
  FOpen = false;
  FMap.clear();
  if (DataSetField() != nullptr) FTable.reset();
}

void TMemoryDataSet::InternalLast() { FCursor = static_cast<int>(FTable->Rows.size()); }

void TMemoryDataSet::FillBuffer(TRecBuf& Buffer, const TMemTable::TRow& Row, int Index) const {
  for (auto [slot, col] : FMap) Buffer.Values[static_cast<size_t>(slot)] = Row.Values[static_cast<size_t>(col)];
  Buffer.Bookmark = IdToBookmark(Row.Id);
  Buffer.Flag = bfCurrent;
  Buffer.RecNo = Index + 1;
}

TGetResult TMemoryDataSet::GetRecord(TRecBuf& Buffer, TGetMode GetMode, bool) {
  int n = static_cast<int>(FTable->Rows.size());
  switch (GetMode) {
    case gmCurrent:
      if (FCursor < 0) return grBOF;
      if (FCursor >= n) return grEOF;
      break;
    case gmNext:
      if (FCursor >= n - 1) {
        FCursor = n;
        return grEOF;
      }
      ++FCursor;
      break;
    case gmPrior:
      if (FCursor <= 0) {
        FCursor = -1;
        return grBOF;
      }
      FCursor = std::min(FCursor, n) - 1;
      break;
  }
  FillBuffer(Buffer, FTable->Rows[static_cast<size_t>(FCursor)], FCursor);
  return grOK;
}

int TMemoryDataSet::RowIndexOf(const TBookmark& B) const {
  std::uint64_t id = 0;
  if (!BookmarkToId(B, id)) return -1;
  return FTable ? FTable->IndexOfId(id) : -1;
}

void TMemoryDataSet::InternalSetToRecord(const TRecBuf& Buffer) {
  int i = RowIndexOf(Buffer.Bookmark);
  // A record deleted under the window: stand where it was, on the crack.
  FCursor = i >= 0 ? i : std::clamp(FCursor, -1, static_cast<int>(FTable->Rows.size()));
}

void TMemoryDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  int i = RowIndexOf(Bookmark);
  if (i < 0) DatabaseError(SBookmarkNotFound, this);
  FCursor = i;
}

void TMemoryDataSet::InternalInitRecord(TRecBuf& Buffer) {
  TMemTable::TRow row = FTable->NewRow();
  for (auto [slot, col] : FMap) Buffer.Values[static_cast<size_t>(slot)] = row.Values[static_cast<size_t>(col)];
}

void TMemoryDataSet::InternalPost() {
  const TRecBuf& b = *ActiveRecBuf();
  if (State() == dsEdit) {
    int i = RowIndexOf(b.Bookmark);
    if (i < 0) DatabaseError(SRecordNotFound, this);
    auto& row = FTable->Rows[static_cast<size_t>(i)];
    for (auto [slot, col] : FMap) row.Values[static_cast<size_t>(col)] = b.Values[static_cast<size_t>(slot)];
    FCursor = i;
    return;
  }
  TMemTable::TRow row = FTable->NewRow();
  for (auto [slot, col] : FMap) row.Values[static_cast<size_t>(col)] = b.Values[static_cast<size_t>(slot)];
  row.Id = FTable->NextId++;
  int at = static_cast<int>(FTable->Rows.size());
  if (b.Flag == bfInserted) {
    int following = RowIndexOf(b.Bookmark);
    if (following >= 0) at = following;
  } else if (b.Flag == bfBOF) {
    at = 0;
  }
  bool append = at == static_cast<int>(FTable->Rows.size());
  FTable->Rows.insert(FTable->Rows.begin() + at, std::move(row));
  if (append)
    FTable->IndexAppended();
  else
    FTable->IndexChanged();
  FCursor = at;
}

void TMemoryDataSet::InternalDelete() {
  int n = static_cast<int>(FTable->Rows.size());
  if (FCursor < 0 || FCursor >= n) DatabaseError(SRecordNotFound, this);
  FTable->Rows.erase(FTable->Rows.begin() + FCursor);
  FTable->IndexChanged();
}

int TMemoryDataSet::GetRecordCount() const {
  if (!FOpen) DatabaseError(SDataSetClosed, const_cast<TMemoryDataSet*>(this));
  return static_cast<int>(FTable->Rows.size());
}

int TMemoryDataSet::GetRecNo() const {
  const TRecBuf* b = ActiveRecBuf();
  if (b == nullptr || b->Flag != bfCurrent) return -1;
  int i = RowIndexOf(b->Bookmark);
  return i < 0 ? -1 : i + 1;
}

void TMemoryDataSet::DoSetRecNo(int Value) {
  int n = static_cast<int>(FTable->Rows.size());
  if (n == 0) return;
  FCursor = std::clamp(Value, 1, n) - 1;
}

bool TMemoryDataSet::BookmarkValid(const TBookmark& Value) { return FOpen && RowIndexOf(Value) >= 0; }

int TMemoryDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A.empty() || B.empty()) return A.empty() == B.empty() ? 0 : (A.empty() ? -1 : 1);
  int a = RowIndexOf(A), b = RowIndexOf(B);
  if (a < 0 || b < 0) {
    // A record that is gone sorts by its identity, which is still a total order.
    return A < B ? -1 : (A == B ? 0 : 1);
  }
  return a < b ? -1 : (a == b ? 0 : 1);
}

std::vector<int> TMemoryDataSet::ColumnsOf(const std::string& FieldNames) {
  std::vector<int> cols;
  for (const std::string& n : rix::SplitFieldNames(FieldNames)) {
    TField* f = FieldByName(n);
    int col = f->FieldKind() == fkData ? FTable->ColumnIndex(f->FullName()) : -1;
    if (col < 0) return {};
    cols.push_back(col);
  }
  return cols;
}

int TMemoryDataSet::FindRow(const std::vector<int>& Columns, const std::vector<TFieldValue>& Values,
                            TLocateOptions Options) const {
  if (Columns.size() != Values.size()) DatabaseError("One value is needed per key field", const_cast<TMemoryDataSet*>(this));
  for (size_t r = 0; r < FTable->Rows.size(); ++r) {
    const auto& row = FTable->Rows[r];
    bool match = true;
    for (size_t i = 0; i < Columns.size() && match; ++i)
      match = rix::LocateMatch(row.Values[static_cast<size_t>(Columns[i])], Values[i], Options);
    if (match) return static_cast<int>(r);
  }
  return -1;
}

TFieldValue TMemoryDataSet::Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                                   const std::string& ResultField) {
  CheckActive();
  std::vector<int> keys = ColumnsOf(KeyFields);
  std::vector<int> result = ColumnsOf(ResultField);
  if (keys.empty() || result.size() != 1) return TDataSet::Lookup(KeyFields, KeyValues, ResultField);
  int r = FindRow(keys, KeyValues, {});
  return r < 0 ? TFieldValue{} : FTable->Rows[static_cast<size_t>(r)].Values[static_cast<size_t>(result[0])];
}

bool TMemoryDataSet::Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                            TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<int> keys = ColumnsOf(KeyFields);
  if (keys.empty()) return TDataSet::Locate(KeyFields, KeyValues, Options);
  int r = FindRow(keys, KeyValues, Options);
  if (r < 0) return false;
  GotoBookmark(IdToBookmark(FTable->Rows[static_cast<size_t>(r)].Id));
  return true;
}

TDataSet* TMemoryDataSet::CreateNestedDataSet(TDataSetField* Field, TFieldDef* Def) {
  auto* nested = new TMemoryDataSet(nullptr);
  nested->SetDataSetField(Field);
  nested->SetObjectView(ObjectView());
  struct Copy {
    static void Defs(TFieldDefs* From, TFieldDefs* To) {
      for (int i = 0; i < From->Count(); ++i) {
        TFieldDef* s = From->Items(i);
        TFieldDef* d = To->Add(s->Name(), s->DataType(), s->Size(), s->Required());
        if (s->HasChildDefs()) Defs(s->ChildDefs(), d->ChildDefs());
      }
    }
  };
  Copy::Defs(Def->ChildDefs(), nested->FieldDefs());
  return nested;
}

void TMemoryDataSet::DataSetFieldChanged() {
  CheckBrowseMode();
  TDataSet* master = DataSetField()->DataSet();
  std::shared_ptr<TMemTable> t;
  if (auto* b = master->ActiveRecBuf(); b != nullptr && DataSetField()->DataSlot() >= 0)
    if (auto* p = std::get_if<std::shared_ptr<TNestedData>>(&b->Values[static_cast<size_t>(DataSetField()->DataSlot())]))
      t = std::dynamic_pointer_cast<TMemTable>(*p);
  if (!t) {
    t = std::make_shared<TMemTable>();
    TMemTable::AddColumns(t->Columns, FieldDefs(), "");
  }
  FTable = t;
  FCursor = -1;
  First();
}
