// TObject, TPersistent and TComponent: the object model every part of the
// system builds on.
//
// Ownership: a component's owner deletes it. Deleting a component (through
// `delete`, which is how owners, unique_ptr and user code free them) first
// marks it csDestroying and tells every component that asked for its free
// notification, while the object is still whole; only then do the destructor
// bodies run. That ordering is what the framework guarantees and what keeps
// the many plain pointers to fields, data sources and menus safe.
#pragma once

#include "platform/core/Exceptions.h"
#include "platform/core/Sets.h"

#include <cstdint>
#include <functional>
#include <new>
#include <string>
#include <vector>

class TObject;
class TPersistent;
class TComponent;
class TFiler;
class TClassInfo;

using TNotifyEvent = std::function<void(TObject* Sender)>;

#define RIX_CLASS_NAME(Name)                                                   \
public:                                                                        \
  static constexpr const char* StaticClassName() { return #Name; }            \
  const char* ClassName() const override { return #Name; }                    \
                                                                               \
private:

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static constexpr const char* StaticClassName() { return "TObject"; }
  virtual const char* ClassName() const { return "TObject"; }
};

class TPersistent : public TObject {
  RIX_CLASS_NAME(TPersistent)
public:
  // Copies Source into this object. The source gets the chance to copy itself
  // (AssignTo) when this class does not know it; an unsupported pair raises
  // EConvertError.
  virtual void Assign(TPersistent* Source);
  // The object that owns this one in the streaming and design sense.
  virtual TPersistent* GetOwner() { return nullptr; }
  virtual std::string GetNamePath();
  // Extra, non-published properties written to and read from component streams.
  virtual void DefineProperties(TFiler* Filer) {}
  // The published-property table of the object's class (platform/streaming),
  // or nil for a class that publishes nothing of its own.
  virtual const TClassInfo* ClassInfo() const { return nullptr; }

protected:
  virtual void AssignTo(TPersistent* Dest);
  [[noreturn]] void AssignError(TPersistent* Source);
};

enum TOperation { opInsert, opRemove };

enum TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor,
  csUpdating, csFixups, csFreeNotification, csInline, csDesignInstance
};
using TComponentState = TSet<TComponentStateItem, 11>;

class TComponent : public TPersistent {
  RIX_CLASS_NAME(TComponent)
public:
  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;

  // Deleting a component runs BeforeDestruction first (see the file comment).
  static void operator delete(TComponent* P, std::destroying_delete_t);

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;
  int ComponentIndex() const;
  // The owned component named Name (case-insensitive), or nil.
  TComponent* FindComponent(const std::string& Name) const;

  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& NewName);
  std::intptr_t Tag() const { return FTag; }
  void SetTag(std::intptr_t Value) { FTag = Value; }

  TComponentState ComponentState() const { return FComponentState; }
  void SetDesigning(bool Value, bool SetChildren = true);

  // Ask to be told (Notification(AComponent, opRemove)) when AComponent goes.
  // The registration is mutual, so either side's death unregisters the other.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  void DestroyComponents();
  void Destroying();

  // Component streaming: the reader sets csLoading/csReading and calls Loaded
  // once every component of the stream has its properties.
  virtual void Loaded();
  void SetLoading(bool Value);
  void SetReading(bool Value);
  void SetWriting(bool Value);

  std::string GetNamePath() override;
  TPersistent* GetOwner() override { return FOwner; }
  // The components the stream writer writes as this root's children; none
  // by default, like the framework's TComponent.
  virtual void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {}

protected:
  // Called for every insertion into and removal from the owner, and for the
  // removal of every component this one asked free notification of.
  virtual void Notification(TComponent* AComponent, TOperation Operation);
  // Runs while the object is still whole, before any destructor body.
  virtual void BeforeDestruction();
  void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
  // Reparents in the ownership tree without notifications (used by readers).
  void SetOwnerRaw(TComponent* AOwner) { FOwner = AOwner; }

private:
  void Insert(TComponent* AComponent);
  void Remove(TComponent* AComponent);
  void RemoveNotification(TComponent* AComponent);
  void NotifyFreeNotifiers();
  void BeginDestruction();

  TComponent* FOwner = nullptr;
  std::string FName;
  std::intptr_t FTag = 0;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  TComponentState FComponentState;
  bool FDestructionBegun = false;
};

// True when S is a valid identifier for a component name: a letter or '_'
// first, then letters, digits or '_'.
bool IsValidIdent(const std::string& S);
bool SameText(const std::string& A, const std::string& B);
