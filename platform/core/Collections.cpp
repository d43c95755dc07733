#include "platform/core/Collections.h"
#include "platform/core/Checked.h"

#include <algorithm>

// ---- TCollectionItem -------------------------------------------------------

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection != nullptr) Collection->InsertItem(this);
}

void TCollectionItem::operator delete(TCollectionItem* P, std::destroying_delete_t) {
  // Taken out of the list while whole, so the collection's notifications
  // never meet a half-destroyed item.
  void* storage = dynamic_cast<void*>(P);
  P->SetCollection(nullptr);
  P->~TCollectionItem();
  ::operator delete(storage);
}

TCollectionItem::~TCollectionItem() {
  if (FCollection != nullptr) {
    TCollection* c = FCollection;
    c->RemoveItem(this);
    if (!c->FDestroying) c->Changed();
  }
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection != nullptr) {
    TCollection* old = FCollection;
    old->ItemLeaving(this);
    old->Notify(this, cnExtracting);
    old->RemoveItem(this);
    if (!old->FDestroying) old->Changed();
  }
  if (Value != nullptr) {
    Value->InsertItem(this);
    Value->Notify(this, cnAdded);
    Value->Changed();
  }
}

int TCollectionItem::Index() const {
  if (FCollection == nullptr) return -1;
  auto& v = FCollection->FItems;
  if (FIndexHint < v.size() && v[FIndexHint] == this) return static_cast<int>(FIndexHint);
  auto it = std::find(v.begin(), v.end(), this);
  if (it == v.end()) return -1;
  FIndexHint = static_cast<std::size_t>(it - v.begin());
  return static_cast<int>(FIndexHint);
}

void TCollectionItem::SetIndex(int Value) {
  int cur = Index();
  if (cur < 0 || cur == Value) return;
  FCollection->MoveItem(cur, Value);
  Changed(true);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

std::string TCollectionItem::GetNamePath() {
  if (FCollection == nullptr) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection != nullptr && FCollection->FUpdateCount == 0 && !FCollection->FDestroying)
    FCollection->Updated(AllItems ? nullptr : this);
}

// ---- TCollection -----------------------------------------------------------

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {
  if (!FItemClass) throw EInvalidOperation("A collection needs an item class");
}

TCollection::~TCollection() {
  FDestroying = true;
  FObservers.clear();
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Items(int Index) const {
  if (Index < 0 || Index >= Count())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID;
  FNextID = rix::CheckedAdd(FNextID, 1);
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it != FItems.end()) FItems.erase(it);
  Item->FCollection = nullptr;
}

void TCollection::MoveItem(int CurIndex, int NewIndex) {
  if (NewIndex < 0 || NewIndex >= Count())
    throw EListError("List index out of bounds (" + std::to_string(NewIndex) + ")");
  TCollectionItem* item = FItems[static_cast<size_t>(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, item);
}

TCollectionItem* TCollection::NewItem() {
  TCollectionItem* item = FItemClass(this);
  if (item == nullptr || item->FCollection != this) {
    delete item;
    throw EInvalidOperation("The item class of " + std::string(ClassName()) + " did not create an item in it");
  }
  return item;
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = NewItem();
  Notify(item, cnAdded);
  Changed();
  return item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > Count())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  TCollectionItem* item;
  {
    rix::TUpdateBracket<TCollection> bracket(*this);
    item = NewItem();
    Notify(item, cnAdded);
    MoveItem(Count() - 1, Index);
  }
  return item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* item = Items(Index);
  Notify(item, cnDeleting);
  delete item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  rix::TUpdateBracket<TCollection> bracket(*this);
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* i : FItems)
    if (i->FID == ID) return i;
  return nullptr;
}

void TCollection::BeginUpdate() { FUpdateCount = rix::CheckedAdd(FUpdateCount, 1); }

void TCollection::EndUpdate() {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0 && !FDestroying) Updated(nullptr);
}

void TCollection::Updated(TCollectionItem* Item) {
  Update(Item);
  // A copy: an observer may unregister (or register another) while told.
  const std::vector<TCollectionObserver*> observers = FObservers;
  for (TCollectionObserver* o : observers)
    if (std::find(FObservers.begin(), FObservers.end(), o) != FObservers.end()) o->CollectionChanged(this);
}

void TCollection::ItemLeaving(TCollectionItem* Item) {
  const std::vector<TCollectionObserver*> observers = FObservers;
  for (TCollectionObserver* o : observers)
    if (std::find(FObservers.begin(), FObservers.end(), o) != FObservers.end()) o->ItemRemoving(this, Item);
}

void TCollection::AddObserver(TCollectionObserver* Observer) {
  if (Observer != nullptr && std::find(FObservers.begin(), FObservers.end(), Observer) == FObservers.end())
    FObservers.push_back(Observer);
}

void TCollection::RemoveObserver(TCollectionObserver* Observer) {
  FObservers.erase(std::remove(FObservers.begin(), FObservers.end(), Observer), FObservers.end());
}

void TCollection::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TCollection*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  rix::TUpdateBracket<TCollection> bracket(*this);
  const size_t oldCount = FItems.size();
  // Copies are appended after the old items and the old ones go only when
  // every copy succeeded; a failing copy leaves the collection as it was.
  try {
    for (int i = 0; i < src->Count(); ++i) {
      TCollectionItem* item = NewItem();
      Notify(item, cnAdded);
      item->Assign(src->Items(i));
    }
  } catch (...) {
    while (FItems.size() > oldCount) delete FItems.back();
    throw;
  }
  std::vector<TCollectionItem*> old(FItems.begin(), FItems.begin() + static_cast<std::ptrdiff_t>(oldCount));
  for (auto it = old.rbegin(); it != old.rend(); ++it) {
    Notify(*it, cnDeleting);
    delete *it;
  }
}

std::string TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (owner == nullptr) return ClassName();
  std::string s = owner->GetNamePath();
  if (s.empty() || FPropName.empty()) return ClassName();
  return s + "." + FPropName;
}
