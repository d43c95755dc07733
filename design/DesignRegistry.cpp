#include "design/DesignRegistry.h"

void TDesignRegistry::RegisterPaletteEntry(TPaletteEntry Entry) {
  std::erase_if(FPalette, [&](const TPaletteEntry& E) { return SameText(E.ClassName, Entry.ClassName); });
  FPalette.push_back(std::move(Entry));
}

void TDesignRegistry::RegisterPropertyEditorEntry(TPropertyEditorEntry Entry) {
  if (Entry.PropertyType == nullptr) throw EInvalidOperation("A property editor needs a property type");
  std::erase_if(FPropertyEditors, [&](const TPropertyEditorEntry& E) {
    return E.PropertyType == Entry.PropertyType && SameText(E.ComponentClass.Name, Entry.ComponentClass.Name) &&
           SameText(E.PropertyName, Entry.PropertyName);
  });
  FPropertyEditors.push_back(std::move(Entry));
}

void TDesignRegistry::RegisterComponentEditorEntry(TComponentEditorEntry Entry) {
  std::erase_if(FComponentEditors,
                [&](const TComponentEditorEntry& E) { return SameText(E.ComponentClass.Name, Entry.ComponentClass.Name); });
  FComponentEditors.push_back(std::move(Entry));
}

void TDesignRegistry::RegisterPropertyInCategory(const std::string& Category, TClassRef ComponentClass,
                                                 const std::string& PropertyName) {
  FCategories.push_back({Category, std::move(ComponentClass), PropertyName});
}

const TPropertyEditorEntry* TDesignRegistry::FindPropertyEditor(const TPersistent* Instance,
                                                                const TPropInfo* Prop) const {
  const TPropertyEditorEntry* best = nullptr;
  auto rank = [](const TPropertyEditorEntry& E) { return (E.PropertyName.empty() ? 0 : 2) + (E.ComponentClass.Any() ? 0 : 1); };
  for (const TPropertyEditorEntry& e : FPropertyEditors) {
    if (e.PropertyType != Prop->PropType || !e.ComponentClass.Matches(Instance)) continue;
    if (!e.PropertyName.empty() && !SameText(e.PropertyName, Prop->Name)) continue;
    if (best == nullptr || rank(e) >= rank(*best)) best = &e;
  }
  return best;
}

const TComponentEditorEntry* TDesignRegistry::FindComponentEditor(const TComponent* Component) const {
  for (auto it = FComponentEditors.rbegin(); it != FComponentEditors.rend(); ++it)
    if (it->ComponentClass.Matches(Component)) return &*it;
  return nullptr;
}

std::vector<std::string> TDesignRegistry::CategoriesOf(const TPersistent* Instance,
                                                       const std::string& PropertyName) const {
  std::vector<std::string> r;
  for (const TPropertyCategoryEntry& e : FCategories)
    if (e.ComponentClass.Matches(Instance) && SameText(e.PropertyName, PropertyName)) r.push_back(e.Category);
  return r;
}

TDesignRegistry& DesignRegistry() {
  static TDesignRegistry r;
  return r;
}
