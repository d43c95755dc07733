#include "design/DesignEditors.h"

void TComponentEditor::Edit() {
  if (GetVerbCount() > 0) ExecuteVerb(0);
}

namespace {

// An object property that holds a component (or nothing yet) refers to it;
// any other object is owned by the instance and edited in place.
bool IsComponentReference(const TPersistent* Instance, const TPropInfo* Prop) {
  TPersistent* value = Prop->GetObj(const_cast<TPersistent*>(Instance));
  return value == nullptr || dynamic_cast<TComponent*>(value) != nullptr;
}

template <typename E>
TPropertyEditorFactory Make() {
  return [](IDesigner* D, TDesignerSelections S, const TPropInfo* P) {
    return std::unique_ptr<TPropertyEditor>(new E(D, std::move(S), P));
  };
}

// The editor of a property nobody registered one for.
std::pair<const char*, TPropertyEditorFactory> KindEditor(const TPersistent* Instance, const TPropInfo* Prop) {
  switch (Prop->Kind()) {
  case tkInteger:
  case tkChar:
  case tkInt64:
    return {TIntegerProperty::StaticClassName(), Make<TIntegerProperty>()};
  case tkEnumeration:
    if (Prop->PropType->IsBoolean()) return {TBoolProperty::StaticClassName(), Make<TBoolProperty>()};
    return {TEnumProperty::StaticClassName(), Make<TEnumProperty>()};
  case tkSet:
    return {TSetProperty::StaticClassName(), Make<TSetProperty>()};
  case tkString:
  case tkLString:
  case tkWString:
    return {TStringProperty::StaticClassName(), Make<TStringProperty>()};
  case tkClass:
    if (IsComponentReference(Instance, Prop))
      return {TComponentProperty::StaticClassName(), Make<TComponentProperty>()};
    return {TClassProperty::StaticClassName(), Make<TClassProperty>()};
  case tkMethod:
    return {TMethodProperty::StaticClassName(), Make<TMethodProperty>()};
  default:
    return {TPropertyEditor::StaticClassName(), Make<TPropertyEditor>()};
  }
}

} // namespace

std::unique_ptr<TPropertyEditor> GetPropertyEditor(IDesigner* Designer, const TDesignerSelections& Components,
                                                   const TPropInfo* Prop, const TDesignRegistry& Registry) {
  if (Components.empty()) throw EInvalidOperation("A property editor needs at least one object");
  if (const TPropertyEditorEntry* e = Registry.FindPropertyEditor(Components[0], Prop))
    return e->Create(Designer, Components, Prop);
  return KindEditor(Components[0], Prop).second(Designer, Components, Prop);
}

std::string PropertyEditorClassName(const TPersistent* Instance, const TPropInfo* Prop,
                                    const TDesignRegistry& Registry) {
  if (const TPropertyEditorEntry* e = Registry.FindPropertyEditor(Instance, Prop)) return e->EditorClass;
  return KindEditor(Instance, Prop).first;
}

void GetComponentProperties(const TDesignerSelections& Components, TTypeKinds Filter, IDesigner* Designer,
                            const TGetPropProc& Proc, const TDesignRegistry& Registry) {
  if (Components.empty()) return;
  for (const TPropInfo* prop : GetPropList(Components[0])) {
    if (!Filter.Contains(prop->Kind())) continue;
    bool shared = true;
    for (size_t i = 1; i < Components.size() && shared; ++i) {
      // The same declaration, not just the same name: the accessors of a
      // property only work on objects of the class that declared it.
      shared = ::GetPropInfo(Components[i], prop->Name) == prop;
    }
    if (!shared) continue;
    std::unique_ptr<TPropertyEditor> editor = GetPropertyEditor(Designer, Components, prop, Registry);
    if (Components.size() > 1 && !editor->GetAttributes().Contains(paMultiSelect)) continue;
    Proc(*editor);
  }
}

std::unique_ptr<TComponentEditor> GetComponentEditor(TComponent* Component, IDesigner* Designer,
                                                     const TDesignRegistry& Registry) {
  if (const TComponentEditorEntry* e = Registry.FindComponentEditor(Component)) return e->Create(Component, Designer);
  return std::make_unique<TComponentEditor>(Component, Designer);
}
