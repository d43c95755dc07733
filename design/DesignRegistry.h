// What a design package tells the designer: which components go on which
// palette page, which editor edits which property or component, and which
// properties fall into which category.
//
// Registrations are made by calling functions, never by static objects, so
// nothing depends on the order of static initialisation or on the linker
// keeping an unreferenced object file. RegisterAll (DesignPackage.h) fills
// the process's registry once.
//
// Finding an editor. A property editor registration names a property type,
// optionally a component class (the property's object must be one) and
// optionally a property name. Of the registrations that fit a property, one
// that names the property beats one that does not, then one that names a
// class beats one that does not; among equals the last registration wins.
// Registering the same key again replaces the earlier registration.
#pragma once

#include "design/DesignIntf.h"

#include "platform/streaming/TypInfo.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TPropertyEditor;
class TComponentEditor;

// A class for registrations: its name, and the test that an object is one
// (or a descendant). An empty reference stands for any class.
struct TClassRef {
  std::string Name;
  std::function<bool(const TPersistent*)> Is;

  bool Any() const { return !Is; }
  bool Matches(const TPersistent* Instance) const { return !Is || (Instance != nullptr && Is(Instance)); }

  template <typename T>
  static TClassRef Of() {
    return {T::StaticClassName(), [](const TPersistent* P) { return dynamic_cast<const T*>(P) != nullptr; }};
  }
};

using TPropertyEditorFactory =
    std::function<std::unique_ptr<TPropertyEditor>(IDesigner*, TDesignerSelections, const TPropInfo*)>;
using TComponentEditorFactory = std::function<std::unique_ptr<TComponentEditor>(TComponent*, IDesigner*)>;

struct TPaletteEntry {
  std::string Page;
  std::string ClassName;
  TComponentFactory Create;
};

struct TPropertyEditorEntry {
  const TTypeInfo* PropertyType;
  TClassRef ComponentClass;
  std::string PropertyName; // empty: any property of the type
  std::string EditorClass;
  TPropertyEditorFactory Create;
};

struct TComponentEditorEntry {
  TClassRef ComponentClass;
  std::string EditorClass;
  TComponentEditorFactory Create;
};

struct TPropertyCategoryEntry {
  std::string Category;
  TClassRef ComponentClass;
  std::string PropertyName;
};

class TDesignRegistry {
public:
  template <typename T>
  void RegisterComponent(const std::string& Page) {
    RegisterPaletteEntry({Page, T::StaticClassName(), [](TComponent* Owner) -> TComponent* { return new T(Owner); }});
  }
  void RegisterPaletteEntry(TPaletteEntry Entry);

  template <typename E>
  void RegisterPropertyEditor(const TTypeInfo* PropertyType, TClassRef ComponentClass, const std::string& PropertyName) {
    RegisterPropertyEditorEntry({PropertyType, std::move(ComponentClass), PropertyName, E::StaticClassName(),
                                 [](IDesigner* D, TDesignerSelections S, const TPropInfo* P) {
                                   return std::unique_ptr<TPropertyEditor>(new E(D, std::move(S), P));
                                 }});
  }
  void RegisterPropertyEditorEntry(TPropertyEditorEntry Entry);

  template <typename E>
  void RegisterComponentEditor(TClassRef ComponentClass) {
    RegisterComponentEditorEntry({std::move(ComponentClass), E::StaticClassName(), [](TComponent* C, IDesigner* D) {
                                    return std::unique_ptr<TComponentEditor>(new E(C, D));
                                  }});
  }
  void RegisterComponentEditorEntry(TComponentEditorEntry Entry);

  void RegisterPropertyInCategory(const std::string& Category, TClassRef ComponentClass,
                                  const std::string& PropertyName);

  const std::vector<TPaletteEntry>& Palette() const { return FPalette; }
  const std::vector<TPropertyEditorEntry>& PropertyEditors() const { return FPropertyEditors; }
  const std::vector<TComponentEditorEntry>& ComponentEditors() const { return FComponentEditors; }
  const std::vector<TPropertyCategoryEntry>& Categories() const { return FCategories; }

  // The registration that edits Prop of Instance, or nil (see the file comment).
  const TPropertyEditorEntry* FindPropertyEditor(const TPersistent* Instance, const TPropInfo* Prop) const;
  // The last registration whose class Component is, or nil.
  const TComponentEditorEntry* FindComponentEditor(const TComponent* Component) const;
  // The categories of a property of Instance, in registration order.
  std::vector<std::string> CategoriesOf(const TPersistent* Instance, const std::string& PropertyName) const;

  // Set by RegisterAll once the package's registrations are in.
  bool PackageRegistered() const { return FPackageRegistered; }
  void SetPackageRegistered() { FPackageRegistered = true; }

private:
  std::vector<TPaletteEntry> FPalette;
  std::vector<TPropertyEditorEntry> FPropertyEditors;
  std::vector<TComponentEditorEntry> FComponentEditors;
  std::vector<TPropertyCategoryEntry> FCategories;
  bool FPackageRegistered = false;
};

// The process's registry, as the designer reads it.
TDesignRegistry& DesignRegistry();
