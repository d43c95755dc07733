#include "platform/core/Classes.h"

#include <algorithm>
#include <cctype>

void Abort() { throw EAbort("Operation aborted"); }

namespace rix {
void RaiseOverflow(const char* What) { throw EIntOverflow(std::string("Integer overflow: ") + What); }
} // namespace rix

bool IsValidIdent(const std::string& S) {
  if (S.empty()) return false;
  auto alpha = [](unsigned char c) { return std::isalpha(c) || c == '_'; };
  if (!alpha(static_cast<unsigned char>(S[0]))) return false;
  return std::all_of(S.begin(), S.end(), [&](char c) {
    return alpha(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c));
  });
}

bool SameText(const std::string& A, const std::string& B) {
  return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// ---- TPersistent -----------------------------------------------------------

void TPersistent::Assign(TPersistent* Source) {
  if (Source != nullptr)
    Source->AssignTo(this);
  else
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(TPersistent* Source) {
  std::string from = Source != nullptr ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + from + " to a " + ClassName());
}

std::string TPersistent::GetNamePath() { return ClassName(); }

// ---- TComponent ------------------------------------------------------------

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner != nullptr) AOwner->InsertComponent(this);
}

void TComponent::operator delete(TComponent* P, std::destroying_delete_t) {
  // The whole object is still there: derived Notification overrides of the
  // components told about its removal see it intact.
  void* storage = dynamic_cast<void*>(P);
  P->BeginDestruction();
  P->~TComponent();
  ::operator delete(storage);
}

void TComponent::BeginDestruction() {
  if (FDestructionBegun) return;
  FDestructionBegun = true;
  BeforeDestruction();
  NotifyFreeNotifiers();
  if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::BeforeDestruction() { Destroying(); }

TComponent::~TComponent() {
  // A component that lived on the stack or as a member gets here without the
  // destroying delete; the derived parts are gone already, but the others
  // still must forget it.
  if (!FDestructionBegun) {
    FDestructionBegun = true;
    Destroying();
    NotifyFreeNotifiers();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
  }
  DestroyComponents();
}

void TComponent::NotifyFreeNotifiers() {
  while (!FFreeNotifies.empty()) {
    TComponent* other = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    other->RemoveNotification(this);
    other->Notification(this, opRemove);
  }
}

void TComponent::Destroying() {
  if (!FComponentState.Contains(csDestroying)) {
    FComponentState += csDestroying;
    for (TComponent* c : FComponents) c->Destroying();
  }
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* c = FComponents.back();
    Remove(c);
    delete c;
  }
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
  if (FOwner == nullptr) return -1;
  auto& v = FOwner->FComponents;
  auto it = std::find(v.begin(), v.end(), this);
  return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

TComponent* TComponent::FindComponent(const std::string& Name) const {
  if (Name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, Name)) return c;
  return nullptr;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
  if (AComponent != nullptr && !SameText(CurName, NewName) && AComponent->FOwner == this &&
      FindComponent(NewName) != nullptr)
    throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::SetName(const std::string& NewName) {
  if (FName == NewName) return;
  if (!NewName.empty() && !IsValidIdent(NewName))
    throw EComponentError("''" + NewName + "'' is not a valid component name");
  if (FOwner != nullptr)
    FOwner->ValidateRename(this, FName, NewName);
  FName = NewName;
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
  if (Value)
    FComponentState += csDesigning;
  else
    FComponentState -= csDesigning;
  if (SetChildren)
    for (TComponent* c : FComponents) c->SetDesigning(Value, true);
}

void TComponent::Insert(TComponent* AComponent) {
  FComponents.push_back(AComponent);
  AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
  auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
  if (it != FComponents.end()) FComponents.erase(it);
  AComponent->FOwner = nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
  if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
  ValidateRename(AComponent, "", AComponent->FName);
  Insert(AComponent);
  if (FComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
  Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
  Notification(AComponent, opRemove);
  Remove(AComponent);
}

void TComponent::FreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr || AComponent == this) return;
  FComponentState += csFreeNotification;
  // Links are made and broken in pairs, so the shorter list tells whether
  // the pair exists (a grid links to each of a thousand fields).
  const bool mineShorter = FFreeNotifies.size() <= AComponent->FFreeNotifies.size();
  const auto& shorter = mineShorter ? FFreeNotifies : AComponent->FFreeNotifies;
  if (std::find(shorter.begin(), shorter.end(), mineShorter ? AComponent : this) != shorter.end()) return;
  FFreeNotifies.push_back(AComponent);
  AComponent->FFreeNotifies.push_back(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
  auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
  if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
  if (AComponent == nullptr) return;
  RemoveNotification(AComponent);
  AComponent->RemoveNotification(this);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
  // Like the framework, the news goes on to every owned component, so a
  // component on a form hears when a sibling goes. The list can shrink while
  // we walk it, so walk by index from the end.
  for (size_t i = FComponents.size(); i-- > 0;) {
    if (i >= FComponents.size()) continue;
    FComponents[i]->Notification(AComponent, Operation);
  }
}

void TComponent::Loaded() { FComponentState -= csLoading; }

void TComponent::SetLoading(bool Value) {
  if (Value) FComponentState += csLoading; else FComponentState -= csLoading;
}
void TComponent::SetReading(bool Value) {
  if (Value) FComponentState += csReading; else FComponentState -= csReading;
}
void TComponent::SetWriting(bool Value) {
  if (Value) FComponentState += csWriting; else FComponentState -= csWriting;
}

std::string TComponent::GetNamePath() { return FName; }
