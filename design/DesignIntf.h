// The designer: what a design-time editor may ask of the program that hosts
// the form being designed. A property or component editor never shows the
// form itself; it reports changes (Modified) and moves the selection, and the
// host decides what that means on its screen.
//
// Two hosts come with the library: TDesigner keeps the state and nothing
// else (what a command-line tool needs), TRecordingDesigner also keeps every
// call in order, so a test can see what an editor asked for.
#pragma once

#include "platform/core/Classes.h"

#include <string>
#include <vector>

using TDesignerSelections = std::vector<TPersistent*>;

class IDesigner {
public:
  virtual ~IDesigner() = default;
  // The component being designed (the form, or a lone grid).
  virtual TComponent* Root() const = 0;
  // Something in the design changed and has to be saved.
  virtual void Modified() = 0;
  // Makes Instance the only selected object (nil selects nothing).
  virtual void SelectComponent(TPersistent* Instance) = 0;
  virtual TDesignerSelections Selections() const = 0;
  virtual void SetSelections(const TDesignerSelections& List) = 0;
};

// A window that follows what the designers select (the columns editor
// marks the column selected elsewhere, by a click on the grid's title).
class IDesignNotification {
public:
  virtual void SelectionChanged(IDesigner* ADesigner, const TDesignerSelections& ASelection) = 0;

protected:
  ~IDesignNotification() = default;
};
void RegisterDesignNotification(IDesignNotification* Notification);
void UnregisterDesignNotification(IDesignNotification* Notification);
// Tells every registered notification; designers call it when their
// selection changed.
void NotifySelectionChanged(IDesigner* ADesigner, const TDesignerSelections& ASelection);

class TDesigner : public IDesigner {
public:
  explicit TDesigner(TComponent* ARoot = nullptr) : FRoot(ARoot) {}

  TComponent* Root() const override { return FRoot; }
  void SetRoot(TComponent* Value) { FRoot = Value; }
  void Modified() override { ++FModifiedCount; }
  void SelectComponent(TPersistent* Instance) override;
  TDesignerSelections Selections() const override { return FSelections; }
  void SetSelections(const TDesignerSelections& List) override;

  int ModifiedCount() const { return FModifiedCount; }
  bool IsModified() const { return FModifiedCount > 0; }

private:
  TComponent* FRoot;
  TDesignerSelections FSelections;
  int FModifiedCount = 0;
};

enum class TDesignerCallKind { Modified, SelectComponent, SetSelections };

struct TDesignerCall {
  TDesignerCallKind Kind;
  TDesignerSelections Objects; // the object selected, or the new selection
};

class TRecordingDesigner : public TDesigner {
public:
  using TDesigner::TDesigner;

  void Modified() override;
  void SelectComponent(TPersistent* Instance) override;
  void SetSelections(const TDesignerSelections& List) override;

  const std::vector<TDesignerCall>& Calls() const { return FCalls; }
  void ClearCalls() { FCalls.clear(); }

private:
  std::vector<TDesignerCall> FCalls;
};
