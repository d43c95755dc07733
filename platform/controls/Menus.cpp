#include "platform/controls/Menus.h"

#include <algorithm>

// ---- TMenuItem ---------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (FAction != nullptr) FAction->UnRegisterClient(this);
  for (TMenuItem* i : FItems) i->FParent = nullptr;
  if (FParent != nullptr) FParent->Remove(this);
}

void TMenuItem::BeforeDestruction() {
  TComponent::BeforeDestruction();
  SetAction(nullptr);
  if (FParent != nullptr) FParent->Remove(this);
  // Sub-items go with their item, as in the framework.
  while (!FItems.empty()) {
    TMenuItem* i = FItems.back();
    FItems.pop_back();
    i->FParent = nullptr;
    delete i;
  }
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  // The action is going: it forgets its clients itself.
  if (Operation == opRemove && AComponent == FAction) FAction = nullptr;
}

void TMenuItem::SetAction(TAction* Value) {
  if (FAction == Value) return;
  if (FAction != nullptr) {
    FAction->UnRegisterClient(this);
    RemoveFreeNotification(FAction);
  }
  FAction = Value;
  if (Value != nullptr) {
    Value->RegisterClient(this);
    FreeNotification(Value);
    // Linking copies everything.
    FCaption = Value->Caption();
    FHint = Value->Hint();
    FEnabled = Value->Enabled();
    FVisible = Value->Visible();
    FChecked = Value->Checked();
    FSeen = {FCaption, FHint, FEnabled, FVisible, FChecked};
  }
}

void TMenuItem::ActionChanged(TAction* Sender) {
  // A property follows the action while it still shows the action's value.
  auto follow = [](auto& Mine, auto& Seen, const auto& Now) {
    if (Mine == Seen) Mine = Now;
    Seen = Now;
  };
  follow(FCaption, FSeen.Caption, Sender->Caption());
  follow(FHint, FSeen.Hint, Sender->Hint());
  follow(FEnabled, FSeen.Enabled, Sender->Enabled());
  follow(FVisible, FSeen.Visible, Sender->Visible());
  follow(FChecked, FSeen.Checked, Sender->Checked());
}

TMenuItem* TMenuItem::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError("Menu index out of range (" + std::to_string(Index) + ")");
  return FItems[static_cast<size_t>(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (Item == nullptr) throw EInvalidOperation("Cannot insert a nil menu item");
  if (Item->FParent != nullptr) throw EInvalidOperation("Menu inserted twice");
  if (Index < 0 || Index > Count()) throw EListError("Menu index out of range (" + std::to_string(Index) + ")");
  for (const TMenuItem* p = this; p != nullptr; p = p->FParent)
    if (p == Item) throw EInvalidOperation("A menu item cannot contain itself");
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* Item) {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  Item->FParent = nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ItemName) const {
  for (TMenuItem* i : FItems)
    if (SameText(i->Name(), ItemName)) return i;
  return nullptr;
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  if (FOnClick) FOnClick(this);
  else if (FAction != nullptr && !ComponentState().Contains(csDesigning)) FAction->Execute();
}

void TMenuItem::InitiateActions() {
  std::vector<TMenuItem*> items = FItems;
  for (TMenuItem* i : items) {
    if (i->FAction != nullptr) i->FAction->Update();
    i->InitiateActions();
  }
}

// ---- TMenu / TPopupMenu --------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {}

TMenu::~TMenu() { delete FItems; }

void TMenu::BeforeDestruction() {
  TComponent::BeforeDestruction();
  // The items go before the owned components do (they are usually the same).
  delete FItems;
  FItems = nullptr;
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
  if (FPopupComponent == Value) return;
  if (FPopupComponent != nullptr) RemoveFreeNotification(FPopupComponent);
  FPopupComponent = Value;
  if (Value != nullptr) FreeNotification(Value);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::Popup(int X, int Y) {
  FPopupX = X;
  FPopupY = Y;
  if (FOnPopup) FOnPopup(this);
  Items()->InitiateActions();
  std::vector<TMenuItem*> shown;
  for (int i = 0; i < Items()->Count(); ++i)
    if (Items()->Items(i)->Visible()) shown.push_back(Items()->Items(i));
  if (shown.empty()) return;
  TMenuItem* chosen = MenuService().TrackPopup(this, shown, X, Y);
  if (chosen != nullptr && !chosen->IsLine()) chosen->Click();
}

// ---- Menu service ----------------------------------------------------------------

namespace {
TMenuService& DefaultMenuService() {
  thread_local TMenuService S;
  return S;
}
thread_local TMenuService* GMenuService = nullptr;
} // namespace

TMenuService& MenuService() { return GMenuService != nullptr ? *GMenuService : DefaultMenuService(); }
void SetMenuService(TMenuService* Service) { GMenuService = Service; }

void TMenuService::Record(TPopupMenu* Menu, const std::vector<TMenuItem*>& Items, int X, int Y) {
  FLast = TPopupRecord{};
  FLast.MenuName = Menu->Name();
  FLast.X = X;
  FLast.Y = Y;
  for (TMenuItem* i : Items) {
    FLast.ItemNames.push_back(i->Name());
    FLast.Captions.push_back(i->Caption());
    FLast.ItemEnabled.push_back(i->Enabled());
  }
  ++FCount;
}

TMenuItem* TMenuService::TrackPopup(TPopupMenu* Menu, const std::vector<TMenuItem*>& Items, int X, int Y) {
  Record(Menu, Items, X, Y);
  if (FScript.empty()) return nullptr;
  std::string name = FScript.front();
  FScript.pop_front();
  for (TMenuItem* i : Items)
    if (!name.empty() && SameText(i->Name(), name)) return i->Enabled() ? i : nullptr;
  return nullptr;
}

void TMenuService::Reset() {
  FLast = TPopupRecord{};
  FCount = 0;
  FScript.clear();
}
