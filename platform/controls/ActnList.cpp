#include "platform/controls/ActnList.h"

#include "platform/graphics/ImageList.h"

#include <algorithm>

TAction::~TAction() { FClients.clear(); }

void TAction::BeforeDestruction() {
  SetActionList(nullptr);
  TComponent::BeforeDestruction();
  // Clients hear of the action's end through their free notification.
  FClients.clear();
}

void TAction::Changed() {
  std::vector<TActionClient*> clients = FClients;
  for (TActionClient* c : clients) c->ActionChanged(this);
}

void TAction::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  Changed();
}

void TAction::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Changed();
}

void TAction::SetVisible(bool Value) {
  if (FVisible == Value) return;
  FVisible = Value;
  Changed();
}

void TAction::SetChecked(bool Value) {
  if (FChecked == Value) return;
  FChecked = Value;
  Changed();
}

void TAction::SetHint(const std::string& Value) {
  if (FHint == Value) return;
  FHint = Value;
  Changed();
}

bool TAction::Execute() {
  if (!FOnExecute) return false;
  FOnExecute(this);
  return true;
}

bool TAction::Update() {
  if (!FOnUpdate) return false;
  FOnUpdate(this);
  return true;
}

void TAction::RegisterClient(TActionClient* Client) {
  if (std::find(FClients.begin(), FClients.end(), Client) == FClients.end()) FClients.push_back(Client);
}

void TAction::UnRegisterClient(TActionClient* Client) {
  FClients.erase(std::remove(FClients.begin(), FClients.end(), Client), FClients.end());
}

void TAction::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed();
}

void TAction::SetActionList(TActionList* Value) {
  if (FActionList == Value) return;
  if (FActionList != nullptr) {
    auto& v = FActionList->FActions;
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
  }
  FActionList = Value;
  if (Value != nullptr) Value->FActions.push_back(this);
}

// ---- TActionList ------------------------------------------------------------

TActionList::~TActionList() { FActions.clear(); }

TAction* TActionList::Actions(int Index) const {
  if (Index < 0 || Index >= ActionCount()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FActions[static_cast<size_t>(Index)];
}

void TActionList::SetImages(TImageList* Value) {
  if (FImages == Value) return;
  if (FImages != nullptr) RemoveFreeNotification(FImages);
  FImages = Value;
  if (Value != nullptr) FreeNotification(Value);
}

void TActionList::UpdateActions() {
  const std::vector<TAction*> actions = FActions;
  for (TAction* a : actions) a->Update();
}

void TActionList::BeforeDestruction() {
  const std::vector<TAction*> actions = FActions;
  for (TAction* a : actions) a->FActionList = nullptr;
  FActions.clear();
  TComponent::BeforeDestruction();
}

void TActionList::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}
