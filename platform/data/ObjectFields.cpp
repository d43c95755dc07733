#include "platform/data/ObjectFields.h"

#include "platform/data/DataSet.h"

TObjectField::TObjectField(TComponent* AOwner) : TField(AOwner), FFields(std::make_unique<TFields>(nullptr, this)) {}

TObjectField::~TObjectField() {
  // The sub-fields belong to an owner, not to the parent; cut them loose.
  std::vector<TField*> children(FFields->begin(), FFields->end());
  for (TField* f : children) {
    f->FParentField = nullptr;
    f->FFields = nullptr;
  }
  FFields->FList.clear();
}

int TObjectField::FieldCount() const { return FFields->Count(); }

bool TObjectField::IsNullObject() const {
  for (TField* f : *FFields)
    if (!f->IsNull()) return false;
  return true;
}

void TObjectField::Clear() {
  for (TField* f : *FFields) f->Clear();
}

void TObjectField::GetText(std::string& Text, bool DisplayText) const {
  Text.assign(1, '(');
  bool first = true;
  for (TField* f : *FFields) {
    if (!first) Text += ", ";
    Text += DisplayText ? f->DisplayText() : f->Text();
    first = false;
  }
  Text += ")";
}

std::string TObjectField::GetAsString() const {
  std::string s;
  GetText(s, false);
  return s;
}

TADTField::TADTField(TComponent* AOwner) : TObjectField(AOwner) { SetDataType(ftADT); }
TArrayField::TArrayField(TComponent* AOwner) : TObjectField(AOwner) { SetDataType(ftArray); }

TDataSetField::TDataSetField(TComponent* AOwner) : TObjectField(AOwner) { SetDataType(ftDataSet); }

TDataSetField::~TDataSetField() {
  TDataSet* nested = FNestedDataSet;
  FNestedDataSet = nullptr;
  delete nested;
}

void TDataSetField::GetText(std::string& Text, bool) const { Text = IsNull() ? "(dataset)" : "(DATASET)"; }

std::string TDataSetField::GetAsString() const { return "(DATASET)"; }
