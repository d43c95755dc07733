// TCollection and TCollectionItem: an ordered list of items of one item class,
// owned by the collection, with nesting update brackets and one change
// notification (Update) that a subclass turns into repaints or relayouts.
//
// Items are created by the collection's item factory, given at construction,
// so a subclass such as a grid's column collection creates its own item type:
//
//   TCollection Items(rix::ItemClass<TMyItem>());
//   TMyItem* I = static_cast<TMyItem*>(Items.Add());
//
// Construction order differs from the framework in one respect: an item's
// constructor only inserts the item into the list; the change notification
// (Notify(cnAdded), Update(nil)) is sent by Add/Insert once the item is fully
// constructed, so an Update override never sees a half-built item. Code that
// constructs an item directly with `new TMyItem(Collection)` gets the item in
// the list without a notification.
//
// Deleting an item (`delete Item`, Delete, Clear) removes it from its
// collection first, while the item is still whole, then reports the change.
#pragma once

#include "platform/core/Classes.h"

#include <exception>
#include <functional>
#include <new>
#include <string>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
  RIX_CLASS_NAME(TCollectionItem)
public:
  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  static void operator delete(TCollectionItem* P, std::destroying_delete_t);

  TCollection* Collection() const { return FCollection; }
  // Moves the item to another collection (nil: takes it out of any).
  void SetCollection(TCollection* Value);
  int ID() const { return FID; }
  // Position in the collection, -1 when the item belongs to none.
  int Index() const;
  virtual void SetIndex(int Value);
  virtual std::string DisplayName() const;
  std::string GetDisplayName() const { return DisplayName(); }

  TPersistent* GetOwner() override;
  std::string GetNamePath() override;

  // Reports a change of this item: Update(this), or Update(nil) when the
  // change affects all items. Nothing is reported inside an update bracket.
  // Public because the objects an item owns (a column's title) report their
  // changes through it, as units of the framework do among themselves.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  // Where the item stood when last asked: checked before it is trusted, so
  // that walking a large collection by index stays linear.
  mutable std::size_t FIndexHint = 0;
  int FID = 0;
};

// Creates one item of the collection's item class inside the collection.
using TCollectionItemClass = std::function<TCollectionItem*(TCollection* Collection)>;

namespace rix {
template <typename T>
TCollectionItemClass ItemClass() {
  return [](TCollection* C) -> TCollectionItem* { return new T(C); };
}
} // namespace rix

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

// Someone outside the collection who follows it (a designer window listing
// the items): told after every reported change, and before an item leaves
// the collection while it is still whole. Observers unregister themselves
// before they go; a collection being destroyed tells them nothing.
class TCollectionObserver {
public:
  virtual void CollectionChanged(TCollection* Sender) = 0;
  virtual void ItemRemoving(TCollection* Sender, TCollectionItem* Item) = 0;

protected:
  ~TCollectionObserver() = default;
};

class TCollection : public TPersistent {
  RIX_CLASS_NAME(TCollection)
public:
  explicit TCollection(TCollectionItemClass ItemClass);
  ~TCollection() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int Index) const;
  // Items[Index] copies Value (Assign); the item itself stays.
  void SetItems(int Index, TCollectionItem* Value);
  const TCollectionItemClass& ItemClass() const { return FItemClass; }

  TCollectionItem* Add();
  TCollectionItem* Insert(int Index);
  void Delete(int Index);
  // Frees every item; reports one Update(nil).
  void Clear();
  TCollectionItem* FindItemID(int ID) const;

  // Brackets nest; changes inside are not reported and the outermost
  // EndUpdate reports one Update(nil). An EndUpdate without a matching
  // BeginUpdate does nothing.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  // From another collection: replaces the items by copies of the source's
  // (Add, then the new item's Assign), inside one update bracket. When a copy
  // fails, the items added so far are removed and the old items stay.
  void Assign(TPersistent* Source) override;
  std::string GetNamePath() override;
  // The name of the owner's property that holds this collection, for
  // GetNamePath ("Grid1.Columns[0]").
  const std::string& PropName() const { return FPropName; }
  void SetPropName(const std::string& Value) { FPropName = Value; }

  void AddObserver(TCollectionObserver* Observer);
  void RemoveObserver(TCollectionObserver* Observer);

protected:
  // The change notification: Item changed, or everything (Item nil).
  virtual void Update(TCollectionItem* Item) {}
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action) {}
  // Update(nil) unless an update bracket is open.
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);
  TCollectionItem* NewItem();
  void MoveItem(int CurIndex, int NewIndex);
  // Update, then the observers.
  void Updated(TCollectionItem* Item);
  void ItemLeaving(TCollectionItem* Item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionObserver*> FObservers;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
  std::string FPropName;
  bool FDestroying = false;
};

// A collection that knows its owner (GetOwner), like a grid's column set.
class TOwnedCollection : public TCollection {
  RIX_CLASS_NAME(TOwnedCollection)
public:
  TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
      : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

private:
  TPersistent* FOwner;
};

namespace rix {
// Holds an update bracket open for its lifetime, on the error path too.
template <typename T>
class TUpdateBracket {
public:
  explicit TUpdateBracket(T& Target) : FTarget(Target), FUncaught(std::uncaught_exceptions()) {
    FTarget.BeginUpdate();
  }
  // The closing notification may raise; while another error unwinds, that
  // one wins and the closing error is dropped.
  ~TUpdateBracket() noexcept(false) {
    if (std::uncaught_exceptions() == FUncaught) {
      FTarget.EndUpdate();
      return;
    }
    try {
      FTarget.EndUpdate();
    } catch (...) {
    }
  }
  TUpdateBracket(const TUpdateBracket&) = delete;
  TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
  T& FTarget;
  int FUncaught;
};
} // namespace rix
