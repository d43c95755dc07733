// Object fields: ADT (a record of named sub-fields), array (Size sub-fields
// of one type, named "Name[0]" ...) and nested dataset fields.
//
// Sub-fields always sit in their parent's Fields, with ParentField set, and
// in the dataset's flat FieldList right after the parent. With ObjectView
// False the dataset's Fields is flat as well; with ObjectView True it holds
// only the top-level fields.
#pragma once

#include "platform/data/Fields.h"

#include <memory>

class TFields;

class TObjectField : public TField {
  RIX_CLASS_NAME(TObjectField)
public:
  explicit TObjectField(TComponent* AOwner);
  ~TObjectField() override;
  TFields* Fields() const { return FFields.get(); }
  int FieldCount() const;
  // Null when every sub-field is null.
  bool IsNullObject() const;
  void Clear() override;

protected:
  // "(Street, City)": the sub-fields' texts.
  void GetText(std::string& Text, bool DisplayText) const override;
  std::string GetAsString() const override;

private:
  std::unique_ptr<TFields> FFields;
};

class TADTField : public TObjectField {
  RIX_CLASS_NAME(TADTField)
public:
  explicit TADTField(TComponent* AOwner);
};

class TArrayField : public TObjectField {
  RIX_CLASS_NAME(TArrayField)
public:
  explicit TArrayField(TComponent* AOwner);
};

// A field whose value is a dataset of its own: NestedDataSet shows the rows
// held in the master's current record and follows the master's moves. The
// master's class creates the nested dataset (TDataSet::CreateNestedDataSet).
class TDataSetField : public TObjectField {
  RIX_CLASS_NAME(TDataSetField)
public:
  explicit TDataSetField(TComponent* AOwner);
  ~TDataSetField() override;
  TDataSet* NestedDataSet() const { return FNestedDataSet; }

protected:
  void GetText(std::string& Text, bool DisplayText) const override;
  std::string GetAsString() const override;

private:
  friend class TDataSet;
  TDataSet* FNestedDataSet = nullptr;  // owned by the field
};
