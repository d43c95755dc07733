// TAction: a command with a caption and an enabled/visible state that menu
// items (its clients) follow. OnUpdate lets the owner refresh that state just
// before it is shown; OnExecute runs the command.
#pragma once

#include "platform/core/Classes.h"

#include <string>
#include <vector>

class TAction;

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
  void Changed();

  std::string FCaption;
  std::string FHint;
  bool FEnabled = true;
  bool FVisible = true;
  bool FChecked = false;
  TNotifyEvent FOnExecute, FOnUpdate;
  std::vector<TActionClient*> FClients;
};

// The framework names the class with the shared properties TCustomAction.
using TCustomAction = TAction;
