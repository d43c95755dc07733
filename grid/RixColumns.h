// TRixDBGridColumns: the grid's column collection.
//
// For now the collection gives the grid what its object and layout pass
// need: the state, Add and InternalAdd, typed Items and the change
// notification. Rebuilding from the dataset, the column-set files and the
// form-file property "Columns" are added by the column-set work.
#pragma once

#include "grid/RixColumn.h"

enum TRixDBGridColumnsState { csDefault, csCustomized };

class TRixDBGridColumns : public TCollection {
  RIX_CLASS_NAME(TRixDBGridColumns)
public:
  TRixDBGridColumns(TRixCustomDBGrid* Grid, TCollectionItemClass ColumnClass);

  TRixCustomDBGrid* Grid() const { return FGrid; }
  TRixColumn* Add() { return static_cast<TRixColumn*>(TCollection::Add()); }
  // Appends a default column (one the grid made from a field).
  TRixColumn* InternalAdd();
  TRixColumn* Items(int Index) const { return static_cast<TRixColumn*>(TCollection::Items(Index)); }
  TRixColumn* operator[](int Index) const { return Items(Index); }

  TRixDBGridColumnsState State() const;
  TRixDBGridColumnsState GetState() const { return State(); }
  // csDefault clears; csCustomized keeps the columns and marks them stored
  // (regenerating them from the fields comes with the column-set work).
  void SetState(TRixDBGridColumnsState Value);

  TPersistent* GetOwner() override;

protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
  TRixCustomDBGrid* FGrid;
};
