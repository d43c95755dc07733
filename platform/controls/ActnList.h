// TAction: a command with a caption and an enabled/visible state that menu
// items (its clients) follow. OnUpdate lets the owner refresh that state just
// before it is shown; OnExecute runs the command.
#pragma once

#include "platform/core/Classes.h"

#include <string>
#include <vector>

class TAction;
class TActionList;
class TImageList;

// Something that shows an action (a menu item): told whenever one of the
// action's shared properties changes.
class TActionClient {
public:
  virtual void ActionChanged(TAction* Sender) = 0;

protected:
  ~TActionClient() = default;
};

class TAction : public TComponent {
  RIX_CLASS_NAME(TAction)
public:
  using TComponent::TComponent;
  ~TAction() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  // The picture of the action in its list's Images (-1: none).
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TActionList* ActionList() const { return FActionList; }
  void SetActionList(TActionList* Value);

  void SetOnExecute(TNotifyEvent E) { FOnExecute = std::move(E); }
  void SetOnUpdate(TNotifyEvent E) { FOnUpdate = std::move(E); }
  bool HasOnExecute() const { return static_cast<bool>(FOnExecute); }

  // Runs OnExecute with the action as Sender; false when there is none.
  virtual bool Execute();
  // Runs OnUpdate with the action as Sender; false when there is none.
  virtual bool Update();
  // Actions that work on a target (a data source, an edit control) say
  // which targets they serve; plain actions serve none.
  virtual bool HandlesTarget(TObject* Target) { return false; }
  virtual void ExecuteTarget(TObject* Target) {}
  virtual void UpdateTarget(TObject* Target) {}

  void RegisterClient(TActionClient* Client);
  void UnRegisterClient(TActionClient* Client);
  int ClientCount() const { return static_cast<int>(FClients.size()); }

protected:
  void BeforeDestruction() override;

private:
  friend class TActionList;
  void Changed();

  std::string FCaption;
  std::string FHint;
  int FImageIndex = -1;
  TActionList* FActionList = nullptr;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  TNotifyEvent FOnExecute, FOnUpdate;
  std::vector<TActionClient*> FClients;
};

// The framework names the class with the shared properties TCustomAction.
using TCustomAction = TAction;

// The actions of a form, with the pictures their buttons show. The actions
// belong to the form (their owner); the list only gathers them.
class TActionList : public TComponent {
  RIX_CLASS_NAME(TActionList)
public:
  using TComponent::TComponent;
  ~TActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  TAction* Actions(int Index) const;
  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  // Runs every action's OnUpdate.
  void UpdateActions();

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  friend class TAction;
  std::vector<TAction*> FActions;
  TImageList* FImages = nullptr;
};
