// TRixGridDataLink: the grid's only route for dataset notifications, and the
// field map that says which dataset field each grid data column shows.
//
// Map entries are positions in the dataset's FieldList (sub-fields
// included), or -1 for a name that did not resolve in a sparse map.
#pragma once

#include "platform/controls/ActnList.h"
#include "platform/data/Data.h"

#include <string>
#include <vector>

class TRixCustomDBGrid;

class TRixGridDataLink : public TDataLink {
  RIX_CLASS_NAME(TRixGridDataLink)
public:
  static constexpr int MaxMapSize = 0x0FFFFFFF;

  explicit TRixGridDataLink(TRixCustomDBGrid* AGrid);
  ~TRixGridDataLink() override;

  TRixCustomDBGrid* Grid() const { return FGrid; }

  // Appends one entry for FieldName (always returns true). A sparse map
  // takes names the dataset lacks as -1; otherwise the dataset's own
  // field-not-found error propagates and the map is left as it was.
  bool AddMapping(const std::string& FieldName);
  void ClearMapping();
  int GetMappedIndex(int ColIndex) const;
  int FieldCount() const { return FFieldCount; }
  // Capacity of the map (entries allocated): 0, 8, 16, 32 ...
  int MapCapacity() const { return static_cast<int>(FFieldMap.size()); }
  TField* Fields(int I) const;
  TField* GetFields(int I) const { return Fields(I); }
  bool DefaultFields() const;
  bool GetDefaultFields() const { return DefaultFields(); }
  bool SparseMap() const { return FSparseMap; }
  void SetSparseMap(bool Value) { FSparseMap = Value; }

  bool IsModified() const { return FModified; }
  void Modified() { FModified = true; }
  void Reset();
  virtual bool IsAggRow(int Value) const;
  void BuildAggMap() {}
  // An action that works on data sources (next record, post ...) aimed at
  // the link's source; false when it serves no such target.
  bool ExecuteAction(TAction* Action);
  bool UpdateAction(TAction* Action);

protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField*& Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

private:
  friend class TRixCustomDBGrid;
  TRixCustomDBGrid* FGrid;
  int FFieldCount = 0;
  std::vector<int> FFieldMap;
  bool FModified = false;
  bool FInUpdateData = false;
  bool FSparseMap = false;
};
