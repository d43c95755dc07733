#include "grid/RixColumns.h"

#include "grid/RixColumnsWrapper.h"
#include "grid/RixDBGrid.h"
#include "platform/core/ScopedValue.h"
#include "messages/RixRtlCons.h"
#include "platform/streaming/Streaming.h"

#include <filesystem>
#include <memory>

namespace {

// Runs the grid's layout bracket around Body: EndLayout on success (one
// relayout), CancelLayout when Body raises (the error passes on).
template <typename F>
void WithinLayout(TRixCustomDBGrid* Grid, F&& Body) {
  TLayoutBracket bracket(Grid);
  Body();
  bracket.End();
}

TDataSet* GridDataSet(TRixCustomDBGrid* Grid) {
  if (Grid == nullptr || Grid->DataSource() == nullptr) return nullptr;
  return Grid->DataSource()->DataSet();
}

} // namespace

TRixDBGridColumns::TRixDBGridColumns(TRixCustomDBGrid* Grid, TCollectionItemClass ColumnClass)
    : TCollection(std::move(ColumnClass)), FGrid(Grid) {}

TRixColumn* TRixDBGridColumns::InternalAdd() {
  rix::TScopedValue adding(FAddingDefault, true);
  TRixColumn* c = Add();
  c->SetIsStored(false);
  return c;
}

TRixDBGridColumnsState TRixDBGridColumns::State() const {
  return Count() > 0 && Items(0)->IsStored() ? csCustomized : csDefault;
}

void TRixDBGridColumns::SetState(TRixDBGridColumnsState Value) {
  if (Value == State()) return;
  if (Value == csDefault)
    Clear();
  else
    RebuildColumns();
}

TPersistent* TRixDBGridColumns::GetOwner() { return FGrid; }

bool TRixDBGridColumns::ReportsToGrid() const {
  return FGrid != nullptr && FGrid->Columns() == this && !FGrid->ComponentState().Contains(csLoading);
}

// Only the columns of record row 0 own a grid column's width: a column of a
// lower record row shares its raw column with the row-0 column above it, so
// it only repaints.
void TRixDBGridColumns::Update(TCollectionItem* Item) {
  if (FAddingDefault || !ReportsToGrid()) return;
  if (Item == nullptr) {
    FGrid->LayoutChanged();
    return;
  }
  auto* column = static_cast<TRixColumn*>(Item);
  const int raw = FGrid->DataToRawColumn(column->Index());
  if (raw < 0 || raw >= FGrid->ColCount()) return;
  FGrid->InvalidateCol(raw);
  if (column->Index() >= FGrid->ColsPerRow()) return;
  // The width comes from the column: the grid must not copy its widths back
  // into the columns and lay out again, which could free the column whose
  // setter is still running.
  TUpdateLockGuard lock(FGrid);
  FGrid->SetColWidths(raw, column->Width());
}

// A column leaving the collection (freed or moved elsewhere) takes every
// reference to it along.
void TRixDBGridColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  TCollection::Notify(Item, Action);
  if (auto* column = dynamic_cast<TRixColumn*>(Item); column != nullptr && Action != cnAdded) column->ForgetReferences();
}

void TRixDBGridColumns::RestoreDefaults() {
  rix::TUpdateBracket<TRixDBGridColumns> bracket(*this);
  for (int i = 0; i < Count(); ++i) Items(i)->RestoreDefaults();
}

// In object view a dataset's Fields lists only top-level fields, and an
// object field's sub-fields are reached through it. In the flat view they
// already follow their parent in the list, and recursing would list them
// twice.
void TRixDBGridColumns::AddFields(TFields* Fields, int Depth) {
  Depth = rix::CheckedAdd(Depth, 1);
  for (int i = 0; i < Fields->Count(); ++i) {
    TField* f = Fields->Fields(i);
    Add()->SetFieldName(f->FullName());
    auto* object = dynamic_cast<TObjectField*>(f);
    if ((f->DataType() == ftADT || f->DataType() == ftArray) && object != nullptr && object->FieldCount() > 0 &&
        Fields->IndexOf(object->Fields()->Fields(0)) < 0)
      AddFields(object->Fields(), Depth);
  }
}

void TRixDBGridColumns::RebuildColumns() {
  TDataSet* ds = GridDataSet(FGrid);
  if (ds == nullptr) {
    Clear();
    return;
  }
  WithinLayout(FGrid, [&] {
    Clear();
    AddFields(ds->Fields(), 0);
  });
}

void TRixDBGridColumns::AddAllFields() {
  TDataSet* ds = GridDataSet(FGrid);
  if (ds == nullptr) {
    Clear();
    return;
  }
  TModalResult answer = mrYes;
  if (Count() > 0)
    answer = MessageDlg(SConfirmDeleteItem, mtInformation, TMsgDlgButtons{mbYes, mbNo, mbCancel}, 0);
  if (answer == mrCancel) return;
  WithinLayout(FGrid, [&] {
    if (answer == mrYes) Clear();
    AddFields(ds->Fields(), 0);
  });
}

// ---- Column-set streams --------------------------------------------------------

void TRixDBGridColumns::SaveToStream(TStream& S) {
  std::unique_ptr<TRixColumnsWrapper> wrapper(new TRixColumnsWrapper(nullptr));
  wrapper->SetColumns(this);
  WriteComponent(S, wrapper.get());
}

// The set goes to a temporary file beside FileName that then replaces it,
// so a failure while writing leaves an existing file as it was.
void TRixDBGridColumns::SaveToFile(const std::string& FileName) {
  TMemoryStream buffer;
  SaveToStream(buffer);
  const std::string temp = FileName + ".tmp";
  try {
    {
      TFileStream file(temp, fmCreate);
      file.WriteBuffer(buffer.Memory(), buffer.Size());
    }
    std::error_code error;
    std::filesystem::rename(temp, FileName, error);
    if (error) throw EFCreateError("Cannot create file \"" + FileName + "\". " + error.message());
  } catch (...) {
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    throw;
  }
}

TRixDBGridColumns* TRixDBGridColumns::NewScratch() const {
  if (FGrid != nullptr) return FGrid->CreateColumns();
  return new TRixDBGridColumns(nullptr, ItemClass());
}

// The scratch columns belong to the same grid, so they see its defaults and
// bind its dataset's fields while they are read; they report nothing to it
// (ReportsToGrid). The whole exchange runs under the grid's layout lock: a
// failed read cancels the bracket without a relayout, a complete one ends it
// with one.
void TRixDBGridColumns::LoadFromStream(TStream& S) {
  std::unique_ptr<TRixDBGridColumns> scratch(NewScratch());
  std::unique_ptr<TRixColumnsWrapper> wrapper(new TRixColumnsWrapper(nullptr));
  wrapper->SetColumns(scratch.get());
  WithinLayout(FGrid != nullptr && FGrid->Columns() == this ? FGrid : nullptr, [&] {
    ReadComponent(S, wrapper.get());
    Assign(scratch.get());
  });
}

// A read error names the file as well as the offset and property.
void TRixDBGridColumns::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  try {
    LoadFromStream(file);
  } catch (const EReadError& E) {
    throw EReadError(FileName + ": " + E.Message());
  }
}
