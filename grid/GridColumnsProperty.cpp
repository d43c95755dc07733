// The grid's form-file entry "Columns". The published Columns property is
// not stored; the entry carries the column set instead, and only when it
// says something: a grid that makes its columns from the dataset writes no
// entry, and an inherited form writes none for a set equal to its
// ancestor's.
#include "grid/RixDBGrid.h"

void TRixCustomDBGrid::DefineProperties(TFiler* Filer) {
  TCustomGrid::DefineProperties(Filer);
  const TRixDBGridColumnsState state = FColumns->State();
  bool storeIt;
  if (auto* ancestor = dynamic_cast<TRixCustomDBGrid*>(Filer->Ancestor())) {
    const TRixDBGridColumnsState ancestorState = ancestor->Columns()->State();
    storeIt = state != ancestorState ||
              (state == csCustomized && !CollectionsEqual(FColumns, ancestor->Columns(), Owner(), ancestor->Owner()));
  } else {
    storeIt = state == csCustomized;
  }
  Filer->DefineProperty(
      "Columns", [this](TReader& R) { ReadColumns(R); }, [this](TWriter& W) { WriteColumns(W); }, storeIt);
}

// The grid is loading: the columns report nothing and bind their fields
// when first read.
void TRixCustomDBGrid::ReadColumns(TReader& Reader) {
  FColumns->Clear();
  Reader.CheckValue(vaCollection);
  Reader.ReadCollection(FColumns);
}

// An inherited form whose grid went back to default columns writes an empty
// set, so that loading it drops the ancestor's columns.
void TRixCustomDBGrid::WriteColumns(TWriter& Writer) {
  if (FColumns->State() == csCustomized) {
    Writer.WriteCollection(FColumns);
    return;
  }
  Writer.WriteValue(vaCollection);
  Writer.WriteListEnd();
}
