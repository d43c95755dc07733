#include "platform/controls/ActnList.h"

#include <algorithm>

TAction::~TAction() { FClients.clear(); }

void TAction::BeforeDestruction() {
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
