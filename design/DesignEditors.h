// Component editors, and the designer's way of finding the editors of an
// object: GetComponentProperties walks the published properties of the
// selection with one property editor each, as the object inspector lists
// them; GetComponentEditor gives the editor of a component's context menu.
#pragma once

#include "design/DesignRegistry.h"
#include "design/PropEdits.h"

#include <functional>
#include <memory>
#include <string>

// The context-menu verbs of a component in the designer, and what a
// double-click on it does.
class TComponentEditor : public TObject {
  RIX_CLASS_NAME(TComponentEditor)
public:
  TComponentEditor(TComponent* AComponent, IDesigner* ADesigner) : FComponent(AComponent), FDesigner(ADesigner) {}

  TComponent* Component() const { return FComponent; }
  IDesigner* Designer() const { return FDesigner; }
  IDesigner* GetDesigner() const { return FDesigner; }

  virtual int GetVerbCount() { return 0; }
  virtual std::string GetVerb(int Index) { return ""; }
  virtual void ExecuteVerb(int Index) {}
  // A double-click: the first verb, when there is one.
  virtual void Edit();

private:
  TComponent* FComponent;
  IDesigner* FDesigner;
};

// The editor for one property of the selection: the registered one, else
// the editor for the property's kind.
std::unique_ptr<TPropertyEditor> GetPropertyEditor(IDesigner* Designer, const TDesignerSelections& Components,
                                                   const TPropInfo* Prop,
                                                   const TDesignRegistry& Registry = DesignRegistry());
// The class name of the editor GetPropertyEditor would make.
std::string PropertyEditorClassName(const TPersistent* Instance, const TPropInfo* Prop,
                                    const TDesignRegistry& Registry = DesignRegistry());

using TGetPropProc = std::function<void(TPropertyEditor& Prop)>;
// Calls Proc with an editor for every published property of a kind in
// Filter that all of Components have, in the order of the first one's
// table. With several components only editors that allow it (paMultiSelect)
// are offered. The editors live for the call.
void GetComponentProperties(const TDesignerSelections& Components, TTypeKinds Filter, IDesigner* Designer,
                            const TGetPropProc& Proc, const TDesignRegistry& Registry = DesignRegistry());

// The registered component editor of Component, else a plain one.
std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* Component, IDesigner* Designer,
                                                     const TDesignRegistry& Registry = DesignRegistry());
