// Loads arbitrary bytes as a column set into a grid bound to a dataset with
// plain, ADT and array fields. A rejected set must raise EReadError (or the
// file-level errors) and leave the grid's columns byte for byte as they
// were; an accepted one must save and load again to the same bytes. Any
// other exception, a crash or a leak is a finding.
#include <RixDBGrids.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct TFixture {
  std::unique_ptr<TComponent> Owner{new TComponent(nullptr)};
  TRixDBGrid* Grid = nullptr;

  TFixture() {
    auto* ds = new TMemoryDataSet(Owner.get());
    ds->SetName("People");
    ds->FieldDefs()->Add("ID", ftInteger, 0, true);
    ds->FieldDefs()->Add("Name", ftString, 20, false);
    TFieldDef* addr = ds->FieldDefs()->Add("Address", ftADT, 0, false);
    addr->ChildDefs()->Add("City", ftString, 30, false);
    addr->ChildDefs()->Add("Zip", ftString, 8, false);
    TFieldDef* tags = ds->FieldDefs()->Add("Tags", ftArray, 2, false);
    tags->ChildDefs()->Add("Tag", ftString, 10, false);
    ds->SetObjectView(true);
    ds->CreateDataSet();
    for (int i = 0; i < 3; ++i) {
      ds->Append();
      ds->FieldByName("ID")->SetAsInteger(i + 1);
      ds->FieldByName("Name")->SetAsString("名前" + std::to_string(i));
      ds->Post();
    }
    auto* source = new TDataSource(Owner.get());
    source->SetDataSet(ds);
    auto* menu = new TPopupMenu(Owner.get());
    menu->SetName("Menu1");
    Grid = new TRixDBGrid(Owner.get());
    Grid->SetName("Grid1");
    Grid->SetDataSource(source);
  }
};

std::string Save(TRixDBGridColumns* Columns) {
  TMemoryStream s;
  Columns->SaveToStream(s);
  return s.DataString();
}

void Load(TRixDBGridColumns* Columns, const std::string& Bytes) {
  TMemoryStream s;
  s.WriteBytes(Bytes);
  s.SetPosition(0);
  Columns->LoadFromStream(s);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFixture f;
  TRixDBGridColumns* cols = f.Grid->Columns();
  // Start customised, so that a half-applied load would show.
  cols->RebuildColumns();
  const std::string before = Save(cols);
  std::string input(reinterpret_cast<const char*>(Data), Size);
  try {
    Load(cols, input);
  } catch (const EReadError&) {
    if (Save(cols) != before) std::abort();
    return 0;
  }
  const std::string once = Save(cols);
  Load(cols, once);
  if (Save(cols) != once) std::abort();
  return 0;
}
