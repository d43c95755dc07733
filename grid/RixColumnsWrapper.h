// TRixColumnsWrapper: the root component of a column-set stream.
//
// Component streams carry components; a column collection is not one. The
// wrapper is a component with one published property, Columns, that points
// at a collection it neither creates nor frees: SaveToStream points it at
// the columns to write, LoadFromStream at the scratch collection to fill.
#pragma once

#include "grid/RixColumns.h"

class TRixColumnsWrapper : public TComponent {
  RIX_CLASS_NAME(TRixColumnsWrapper)
  RIX_PUBLISHED(TRixColumnsWrapper)
public:
  using TComponent::TComponent;

  TRixDBGridColumns* Columns() const { return FColumns; }
  void SetColumns(TRixDBGridColumns* Value) { FColumns = Value; }

private:
  TRixDBGridColumns* FColumns = nullptr;
};
