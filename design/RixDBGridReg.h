// The grid's design-time editors: the component editor with its two verbs,
// the editors of the column's field-name properties, and the helpers that
// open one named property's editor and read an object property.
#pragma once

#include "design/DesignEditors.h"
#include "design/DesignRegistry.h"

#include <string>

class TDataSource;

// The first line of the About box.
inline constexpr const char* RixDBGridVersion = "RixDBGrid Ver.3.2.11";

class TRixDBGridCompEditor : public TComponentEditor {
  RIX_CLASS_NAME(TRixDBGridCompEditor)
public:
  using TComponentEditor::TComponentEditor;

  int GetVerbCount() override;
  std::string GetVerb(int Index) override;
  void ExecuteVerb(int Index) override;
};

// The field names of the grid's dataset.
class TColumnDataFieldProperty : public TDBStringProperty {
  RIX_CLASS_NAME(TColumnDataFieldProperty)
public:
  using TDBStringProperty::TDBStringProperty;
  void GetValueList(TStrings* List) const override;
};

// The field names of the dataset behind the column's own ListSource.
class TColumnListFieldProperty : public TDBStringProperty {
  RIX_CLASS_NAME(TColumnListFieldProperty)
public:
  using TDBStringProperty::TDBStringProperty;
  void GetValueList(TStrings* List) const override;
};

// Opens the editor of the property it was made for, when the enumeration
// passes it by.
class TCallBack {
public:
  explicit TCallBack(std::string PropName) : FPropName(std::move(PropName)) {}
  void EditProp(TPropertyEditor& Prop) const;

private:
  std::string FPropName;
};

// Opens the editor of Component's published property PropName (any letter
// case), as the ellipsis button of the object inspector does; nothing when
// there is no such property.
void EditProperty(IDesigner* Designer, TComponent* Component, const std::string& PropName);

// The object held by Instance's published object property PropName; nil
// when there is no such property or it is not an object property.
TPersistent* GetPropertyValue(TPersistent* Instance, const std::string& PropName);

// The grid's palette registration, and the registrations of its editors and
// property categories.
void RegisterRixDBGrid(TDesignRegistry& Registry);
void RegisterRixDBGridReg(TDesignRegistry& Registry);
