// The "People" sample dataset the data and grid tests share.
#pragma once

#include "platform/data/Data.h"

#include <initializer_list>
#include <string>

namespace rixtest {

// A memory dataset with ID (integer), Name (string 20) and Active (boolean),
// holding Count records: ID 1..Count, Name "P<id>", Active on even ids. Fills
// Ds when given, else a new dataset owned by Owner; left on its first record.
inline TMemoryDataSet* MakePeople(TComponent* Owner, int Count, TMemoryDataSet* Ds = nullptr,
                                  const std::string& Name = "People") {
  auto* ds = Ds != nullptr ? Ds : new TMemoryDataSet(Owner);
  ds->SetName(Name);
  ds->FieldDefs()->Add("ID", ftInteger, 0, true);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->FieldDefs()->Add("Active", ftBoolean);
  ds->CreateDataSet();
  for (int i = 1; i <= Count; ++i) {
    ds->Append();
    ds->FieldByName("ID")->SetAsInteger(i);
    ds->FieldByName("Name")->SetAsString("P" + std::to_string(i));
    ds->FieldByName("Active")->SetAsBoolean(i % 2 == 0);
    ds->Post();
  }
  ds->First();
  return ds;
}

// A memory dataset of one empty record: an integer field for each of Plain,
// then an object (ADT) field with string children A and B for each of
// Objects, in object view or flat.
inline TMemoryDataSet* MakeObjects(TComponent* Owner, std::initializer_list<const char*> Plain,
                                   std::initializer_list<const char*> Objects, bool ObjectView) {
  auto* ds = new TMemoryDataSet(Owner);
  for (const char* name : Plain) ds->FieldDefs()->Add(name, ftInteger);
  for (const char* name : Objects) {
    TFieldDef* adt = ds->FieldDefs()->Add(name, ftADT);
    adt->ChildDefs()->Add("A", ftString, 10);
    adt->ChildDefs()->Add("B", ftString, 10);
  }
  ds->SetObjectView(ObjectView);
  ds->CreateDataSet();
  ds->Append();
  ds->Post();
  return ds;
}

} // namespace rixtest
