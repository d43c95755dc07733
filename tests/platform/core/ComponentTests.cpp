#include "platform/core/Core.h"

#include <gtest/gtest.h>

namespace {

// Remembers one referenced component and forgets it when told it goes.
class TWatcher : public TComponent {
public:
  using TComponent::TComponent;
  TComponent* Ref = nullptr;
  bool RefWasDestroying = false;
  void Watch(TComponent* C) {
    Ref = C;
    C->FreeNotification(this);
  }

protected:
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    if (Op == opRemove && C == Ref) {
      RefWasDestroying = C->ComponentState().Contains(csDestroying);
      Ref = nullptr;
    }
  }
};

class TTracked : public TComponent {
public:
  using TComponent::TComponent;
  std::string Kind = "tracked";  // read through the derived type during notification
};

TEST(Component, FreeNotificationClearsEveryWatcher) {
  auto* target = new TTracked(nullptr);
  TWatcher a(nullptr), b(nullptr);
  a.Watch(target);
  b.Watch(target);
  delete target;
  EXPECT_EQ(a.Ref, nullptr);
  EXPECT_EQ(b.Ref, nullptr);
  EXPECT_TRUE(a.RefWasDestroying);
}

TEST(Component, OwnerDeletesOwnedAndWatchersOfThemHear) {
  auto* owner = new TComponent(nullptr);
  auto* child = new TTracked(owner);
  child->SetName("Child");
  TWatcher w(nullptr);
  w.Watch(child);
  EXPECT_EQ(owner->ComponentCount(), 1);
  EXPECT_EQ(owner->FindComponent("child"), child);
  delete owner;
  EXPECT_EQ(w.Ref, nullptr);
}

TEST(Component, WatcherDyingFirstUnregisters) {
  auto* target = new TTracked(nullptr);
  {
    TWatcher w(nullptr);
    w.Watch(target);
  }
  delete target;  // must not reach the dead watcher
  SUCCEED();
}

TEST(Component, DeletingOwnedComponentRemovesItFromOwner) {
  TComponent owner(nullptr);
  auto* c = new TComponent(&owner);
  delete c;
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(Component, DuplicateNameUnderOneOwnerRaises) {
  TComponent owner(nullptr);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  a->SetName("Grid1");
  EXPECT_THROW(b->SetName("grid1"), EComponentError);
  EXPECT_THROW(b->SetName("1abc"), EComponentError);
  EXPECT_EQ(b->Name(), "");
}

} // namespace
