#include "platform/data/FieldLists.h"

#include "platform/data/DataSet.h"
#include "platform/data/ObjectFields.h"

#include <algorithm>
#include <cctype>

using namespace dbconsts;

namespace {

// The key SameText compares by: case folded the way std::tolower folds.
std::string LowerAscii(std::string S) {
  for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return S;
}

} // namespace

// ---------------------------------------------------------------- field defs

TFieldDef::TFieldDef(TFieldDefs* AOwner, std::string Name, TFieldType DataType, int Size, bool Required, int FieldNo)
    : FOwner(AOwner), FName(std::move(Name)), FDataType(DataType), FSize(Size), FRequired(Required), FFieldNo(FieldNo) {}

TFieldDefs* TFieldDef::ChildDefs() {
  if (!FChildDefs) FChildDefs = std::make_unique<TFieldDefs>(this);
  return FChildDefs.get();
}

bool TFieldDef::HasChildDefs() const { return FChildDefs && FChildDefs->Count() > 0; }

TFieldDef* TFieldDef::ParentDef() const { return FOwner != nullptr ? FOwner->ParentDef() : nullptr; }

TFieldDef* TFieldDefs::Add(const std::string& Name, TFieldType DataType, int Size, bool Required) {
  if (Name.empty()) DatabaseError("A field definition needs a name");
  if (Find(Name) != nullptr) DatabaseErrorFmt(SDuplicateFieldName, Name);
  if (Size < 0) DatabaseError("Field '" + Name + "' has a negative size");
  if (DataType == ftArray && Size == 0) DatabaseError("Array field '" + Name + "' needs a size (its element count)");
  if (DataType == ftUnknown) DatabaseError("Field '" + Name + "' has no type");
  int no = static_cast<int>(FItems.size()) + 1;
  FItems.push_back(std::make_unique<TFieldDef>(this, Name, DataType, Size, Required, no));
  return FItems.back().get();
}

TFieldDef* TFieldDefs::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)].get();
}

int TFieldDefs::IndexOf(const std::string& Name) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (SameText(FItems[i]->Name(), Name)) return static_cast<int>(i);
  return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& Name) const {
  int i = IndexOf(Name);
  return i < 0 ? nullptr : FItems[static_cast<size_t>(i)].get();
}

// ---------------------------------------------------------------- TFields

TFields::~TFields() {
  for (TField* f : FList)
    if (f->FFields == this) f->FFields = nullptr;
}

TField* TFields::Fields(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FList[static_cast<size_t>(Index)];
}

int TFields::IndexOf(const TField* Field) const {
  auto it = std::find(FList.begin(), FList.end(), Field);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

TField* TFields::FindField(const std::string& Name) const {
  for (TField* f : FList)
    if (SameText(f->FieldName(), Name)) return f;
  return nullptr;
}

TField* TFields::FieldByName(const std::string& Name) const {
  TField* f = FindField(Name);
  if (f == nullptr) DatabaseErrorFmt(SFieldNotFound, Name, FParent != nullptr ? FParent->DataSet() : FDataSet);
  return f;
}

void TFields::Add(TField* Field) {
  FList.push_back(Field);
  Field->FFields = this;
  Changed();
}

void TFields::Remove(TField* Field) {
  auto it = std::find(FList.begin(), FList.end(), Field);
  if (it == FList.end()) return;
  FList.erase(it);
  Field->FFields = nullptr;
  Changed();
}

void TFields::Move(int CurIndex, int NewIndex) {
  TField* f = FList[static_cast<size_t>(CurIndex)];
  FList.erase(FList.begin() + CurIndex);
  FList.insert(FList.begin() + NewIndex, f);
  Changed();
}

void TFields::Changed() {
  // An object field's list belongs to the dataset its parent is in.
  TDataSet* d = FParent != nullptr ? FParent->DataSet() : FDataSet;
  if (d != nullptr && !d->ComponentState().Contains(csDestroying)) d->DataEvent(deFieldListChange, 0);
}

// ---------------------------------------------------------------- TFieldList

void TFieldList::Update() const {
  if (FUpdated) return;
  FList.clear();
  struct Walk {
    static void Add(std::vector<TField*>& Out, const TFields& Fields) {
      for (TField* f : Fields) {
        Out.push_back(f);
        if (auto* o = dynamic_cast<TObjectField*>(f)) Add(Out, *o->Fields());
      }
    }
  };
  Walk::Add(FList, *FDataSet->Fields());
  FByName.clear();
  FIndexOf.clear();
  FByName.reserve(FList.size());
  FIndexOf.reserve(FList.size());
  for (size_t i = 0; i < FList.size(); ++i) {
    // The first of equal names wins, as a scan in list order would find it.
    FByName.emplace(LowerAscii(FList[i]->FullName()), FList[i]);
    FIndexOf.emplace(FList[i], static_cast<int>(i));
  }
  FUpdated = true;
}

int TFieldList::Count() const {
  Update();
  return static_cast<int>(FList.size());
}

TField* TFieldList::Fields(int Index) const {
  Update();
  if (Index < 0 || Index >= static_cast<int>(FList.size()))
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FList[static_cast<size_t>(Index)];
}

int TFieldList::IndexOf(const TField* Field) const {
  Update();
  auto it = FIndexOf.find(Field);
  return it == FIndexOf.end() ? -1 : it->second;
}

TField* TFieldList::Find(const std::string& FullName) const {
  Update();
  auto it = FByName.find(LowerAscii(FullName));
  return it == FByName.end() ? nullptr : it->second;
}

TField* TFieldList::FieldByName(const std::string& FullName) const {
  TField* f = Find(FullName);
  if (f == nullptr) DatabaseErrorFmt(SFieldNotFound, FullName, FDataSet);
  return f;
}
