// Menus: TMenuItem trees, TPopupMenu, and the menu service that shows a popup
// menu and reports the user's choice.
//
// Popup(X, Y) runs OnPopup, then every item action's OnUpdate, then hands the
// items that are Visible to the menu service. The default service records
// what was shown (LastPopup) and answers with the next scripted choice
// (ScriptPopupChoice), or with no choice when nothing is scripted, which is
// what closing a menu with Escape gives.
#pragma once

#include "platform/controls/ActnList.h"
#include "platform/core/Classes.h"

#include <deque>
#include <string>
#include <vector>

class TPopupMenu;

class TMenuItem : public TComponent, public TActionClient {
  RIX_CLASS_NAME(TMenuItem)
public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  // A caption of "-" makes the item a separator line.
  bool IsLine() const { return FCaption == "-"; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value) { FVisible = Value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value) { FEnabled = Value; }
  bool Checked() const { return FChecked; }
  void SetChecked(bool Value) { FChecked = Value; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }

  // Linking an action copies its caption, enabled, visible, checked and hint
  // state into the item. Later changes of the action reach a property of the
  // item while that property still shows the action's value (the framework's
  // linked properties): an item whose caption was set after linking keeps it
  // when the action's visibility changes.
  TAction* Action() const { return FAction; }
  void SetAction(TAction* Value);

  void SetOnClick(TNotifyEvent E) { FOnClick = std::move(E); }

  // Sub-items.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int Index) const;
  TMenuItem* Parent() const { return FParent; }
  void Add(TMenuItem* Item);
  void Insert(int Index, TMenuItem* Item);
  void Remove(TMenuItem* Item);
  int IndexOf(const TMenuItem* Item) const;
  int MenuIndex() const { return FParent != nullptr ? FParent->IndexOf(this) : -1; }
  // The sub-item with this component name, or nil.
  TMenuItem* Find(const std::string& ItemName) const;

  // Runs OnClick (or the action) when the item is enabled.
  virtual void Click();
  // Runs the OnUpdate of this item's action and of all sub-items' actions.
  void InitiateActions();

  void ActionChanged(TAction* Sender) override;

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  std::string FCaption;
  std::string FHint;
  bool FVisible = true;
  bool FEnabled = true;
  bool FChecked = false;
  TAction* FAction = nullptr;
  // The action's values as last seen, to tell which properties are linked.
  struct TActionValues {
    std::string Caption, Hint;
    bool Enabled = true, Visible = true, Checked = false;
  } FSeen;
  TNotifyEvent FOnClick;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
};

class TMenu : public TComponent {
  RIX_CLASS_NAME(TMenu)
public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  // The root item whose sub-items are the menu's items. The menu keeps it
  // outside its Components, so these list only the items users create.
  TMenuItem* Items() const { return FItems; }

protected:
  void BeforeDestruction() override;

private:
  TMenuItem* FItems;
};

class TPopupMenu : public TMenu {
  RIX_CLASS_NAME(TPopupMenu)
public:
  using TMenu::TMenu;

  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool Value) { FAutoPopup = Value; }
  // The component the menu was last popped up for (cleared when it goes).
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* Value);
  void SetOnPopup(TNotifyEvent E) { FOnPopup = std::move(E); }
  int PopupX() const { return FPopupX; }
  int PopupY() const { return FPopupY; }

  // Shows the menu at the screen point (X, Y) and runs the chosen item.
  virtual void Popup(int X, int Y);

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool FAutoPopup = true;
  TComponent* FPopupComponent = nullptr;
  TNotifyEvent FOnPopup;
  int FPopupX = 0, FPopupY = 0;
};

// What a popup showed: for tests and hosts.
struct TPopupRecord {
  std::string MenuName;
  int X = 0, Y = 0;
  std::vector<std::string> ItemNames;
  std::vector<std::string> Captions;
  std::vector<bool> ItemEnabled;
};

// Shows popup menus. Hosts with a screen replace it; the default records and
// answers from a script.
class TMenuService {
public:
  virtual ~TMenuService() = default;
  // Shows Items (the visible ones, in order) and returns the chosen one, or
  // nil when the menu was dismissed.
  virtual TMenuItem* TrackPopup(TPopupMenu* Menu, const std::vector<TMenuItem*>& Items, int X, int Y);

  const TPopupRecord& LastPopup() const { return FLast; }
  int PopupCount() const { return FCount; }
  // Queues the name of the item to choose at the next popup ("" dismisses).
  void ScriptPopupChoice(const std::string& ItemName) { FScript.push_back(ItemName); }
  void Reset();

protected:
  void Record(TPopupMenu* Menu, const std::vector<TMenuItem*>& Items, int X, int Y);

private:
  TPopupRecord FLast;
  int FCount = 0;
  std::deque<std::string> FScript;
};

TMenuService& MenuService();
// Installs another service (nil restores the default).
void SetMenuService(TMenuService* Service);
