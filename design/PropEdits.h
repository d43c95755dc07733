// Property editors: what the object inspector shows for one published
// property of the selected objects, and how a typed text gets back into it.
// They work on the published-property table (platform/streaming/TypInfo.h),
// never on the C++ classes, so every published property has an editor.
//
// An editor edits the property of every selected object at once; it reads
// from the first. Its class name is the one a registry lists it under.
#pragma once

#include "design/DesignIntf.h"

#include "platform/core/Sets.h"
#include "platform/core/Strings.h"
#include "platform/streaming/TypInfo.h"

#include <functional>
#include <string>
#include <vector>

enum TPropertyAttribute {
  paValueList,      // offers a list of values (a drop-down)
  paSubProperties,  // has nested properties of its own
  paDialog,         // Edit opens a dialog (the ellipsis button)
  paMultiSelect,    // may edit several selected objects at once
  paAutoUpdate,     // SetValue on every keystroke
  paSortList,       // the value list is shown sorted
  paReadOnly,       // the value text cannot be typed
  paRevertable,     // can go back to its inherited value
};
using TPropertyAttributes = TSet<TPropertyAttribute, 8>;

using TTypeKinds = TSet<TTypeKind, 18>;
// Every kind of property.
TTypeKinds tkAny();

using TGetStrProc = std::function<void(const std::string& S)>;

class TPropertyEditor : public TObject {
  RIX_CLASS_NAME(TPropertyEditor)
public:
  // Components: the selected objects, at least one; each has Prop.
  TPropertyEditor(IDesigner* ADesigner, TDesignerSelections Components, const TPropInfo* Prop);

  IDesigner* Designer() const { return FDesigner; }
  int PropCount() const { return static_cast<int>(FComponents.size()); }
  TPersistent* GetComponent(int Index) const;
  const TPropInfo* GetPropInfo() const { return FProp; }
  std::string GetName() const { return FProp->Name; }

  virtual TPropertyAttributes GetAttributes() const { return {paRevertable}; }
  // The value as the inspector shows it.
  virtual std::string GetValue() const { return ""; }
  // Sets every selected object's property from a typed text; bad text
  // raises EPropertyError and changes nothing.
  virtual void SetValue(const std::string& Value);
  virtual void GetValues(const TGetStrProc& Proc) const {}
  // The ellipsis button (paDialog); nothing by default.
  virtual void Edit() {}

  // GetValues as the drop-down shows it: sorted when paSortList is set.
  std::vector<std::string> ValueList() const;

protected:
  // Tells the designer, once a value went in.
  void Modified();
  // Applies Set to every selected object; the designer hears of it once.
  void SetEach(const std::function<void(TPersistent*)>& Set);

private:
  IDesigner* FDesigner;
  TDesignerSelections FComponents;
  const TPropInfo* FProp;
};

// Integers, in decimal or by an identifier registered for their type
// ("clWindow" for a colour).
class TIntegerProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TIntegerProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paRevertable}; }
  std::string GetValue() const override;
  void SetValue(const std::string& Value) override;
};

// Enumerations: the identifier, with every identifier offered.
class TEnumProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TEnumProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paValueList, paSortList, paRevertable}; }
  std::string GetValue() const override;
  void SetValue(const std::string& Value) override;
  void GetValues(const TGetStrProc& Proc) const override;
};

// False and True, in that order.
class TBoolProperty : public TEnumProperty {
  RIX_CLASS_NAME(TBoolProperty)
public:
  using TEnumProperty::TEnumProperty;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paValueList, paRevertable}; }
};

// Sets, written as the stream writes them: "[fsBold,fsItalic]".
class TSetProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TSetProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paSubProperties, paRevertable}; }
  std::string GetValue() const override;
  void SetValue(const std::string& Value) override;
};

class TStringProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TStringProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paRevertable}; }
  std::string GetValue() const override;
  void SetValue(const std::string& Value) override;
};

// A nested object (a font, a title, a collection): its class name in
// parentheses, "(TFont)"; its own properties are edited below it.
class TClassProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TClassProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paSubProperties, paReadOnly}; }
  std::string GetValue() const override;
};

// A reference to another component, by name; a name is looked up among the
// components of the designer's root.
class TComponentProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TComponentProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paRevertable}; }
  std::string GetValue() const override;
  void SetValue(const std::string& Value) override;
};

// An event: the name of its handler. Handlers are written in code, so the
// name cannot be typed here.
class TMethodProperty : public TPropertyEditor {
  RIX_CLASS_NAME(TMethodProperty)
public:
  using TPropertyEditor::TPropertyEditor;
  TPropertyAttributes GetAttributes() const override { return {paMultiSelect, paReadOnly}; }
  std::string GetValue() const override;
};

// A string property of a data-aware control whose value is one of a list of
// names (fields, mostly): GetValueList fills the list.
class TDBStringProperty : public TStringProperty {
  RIX_CLASS_NAME(TDBStringProperty)
public:
  using TStringProperty::TStringProperty;
  TPropertyAttributes GetAttributes() const override { return {paValueList, paSortList, paMultiSelect}; }
  void GetValues(const TGetStrProc& Proc) const override;
  virtual void GetValueList(TStrings* List) const {}
};
