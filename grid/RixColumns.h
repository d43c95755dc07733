// TRixDBGridColumns: the grid's column collection.
//
// The collection is in one of two states. While the grid makes its columns
// from the dataset's fields (csDefault) it holds only default columns, or
// none; once it holds stored columns of the user's choosing (csCustomized)
// the grid shows them as they are. The state follows from the contents
// alone: it is csCustomized exactly when the first column is stored.
//
// Column changes become repaints (one column) or relayouts (all columns) of
// the grid, but only for the grid's own Columns: a scratch collection the
// grid made (the one a column set is read into) never reaches the grid.
//
// Column sets travel as the framework's binary component stream of one
// TRixColumnsWrapper carrying the collection (see RixColumnsWrapper.h).
#pragma once

#include "grid/RixColumn.h"

#include <string>

enum TRixDBGridColumnsState { csDefault, csCustomized };

class TRixDBGridColumns : public TCollection {
  RIX_CLASS_NAME(TRixDBGridColumns)
public:
  TRixDBGridColumns(TRixCustomDBGrid* Grid, TCollectionItemClass ColumnClass);

  TRixCustomDBGrid* Grid() const { return FGrid; }
  // Appends a stored column.
  TRixColumn* Add() { return static_cast<TRixColumn*>(TCollection::Add()); }
  // Appends a default column (one the grid made from a field). Adding it
  // reports nothing to the grid: default columns are what the layout pass
  // itself produces, and a relayout started here could free the column (the
  // grid drops default columns while its link is inactive) before the
  // caller got it.
  TRixColumn* InternalAdd();
  TRixColumn* Items(int Index) const { return static_cast<TRixColumn*>(TCollection::Items(Index)); }
  TRixColumn* GetColumn(int Index) const { return Items(Index); }
  // The column at Index copies Value; the column itself stays.
  void SetColumn(int Index, TRixColumn* Value) { SetItems(Index, Value); }
  TRixColumn* operator[](int Index) const { return Items(Index); }

  TRixDBGridColumnsState State() const;
  TRixDBGridColumnsState GetState() const { return State(); }
  // csDefault clears the collection (the grid then makes default columns);
  // csCustomized rebuilds it as one stored column per dataset field.
  void SetState(TRixDBGridColumnsState Value);

  // Every column forgets its assigned settings; the grid relayouts once.
  void RestoreDefaults();
  // Replaces the columns by one stored column per field of the grid's
  // dataset, object fields followed by their sub-fields; without a dataset
  // the collection is only emptied.
  void RebuildColumns();
  // Appends a stored column per field. When columns exist, first asks
  // whether to replace them (Yes), keep them and append (No) or do nothing
  // (Cancel).
  void AddAllFields();

  // The column set as a component stream, at S's position.
  void SaveToStream(TStream& S);
  // Created, or replaced when it exists: the set is written to FileName +
  // ".tmp" first, so a failure leaves an existing file as it was.
  void SaveToFile(const std::string& FileName);
  // Replaces the columns by the set read from S's position. The set is read
  // completely into a scratch collection first: bad or truncated input
  // raises EReadError and leaves the columns (and the grid's widths) as
  // they were.
  void LoadFromStream(TStream& S);
  void LoadFromFile(const std::string& FileName);

  TPersistent* GetOwner() override;

protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
  // Whether changes of this collection reach the grid: it is the grid's own.
  bool ReportsToGrid() const;
  // A scratch collection for a column set: one the grid makes, or a plain
  // one with this item class when there is no grid.
  TRixDBGridColumns* NewScratch() const;
  void AddFields(TFields* Fields, int Depth);

  TRixCustomDBGrid* FGrid;
  bool FAddingDefault = false;
};
