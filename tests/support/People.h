// The "People" sample dataset the data and grid tests share.
#pragma once

#include "platform/data/Data.h"

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

} // namespace rixtest
