// TMemoryDataSet: a dataset whose records live in memory.
//
//   auto* ds = new TMemoryDataSet(Owner);
//   ds->FieldDefs()->Add("Name", ftString, 20, true);
//   TFieldDef* addr = ds->FieldDefs()->Add("Address", ftADT);
//   addr->ChildDefs()->Add("City", ftString, 30);
//   ds->CreateDataSet();              // empty table, opened
//
// Object fields store their sub-fields as columns of their own; a nested
// dataset field stores a whole table per record, which its NestedDataSet
// shows and edits in place (edits there are kept at once, whatever the
// master's state). Bookmarks are record identities: they stay valid across
// edits and inserts and die with their record. Record order is insertion
// order (Insert puts the record before the current one).
#pragma once

#include "platform/data/DataSet.h"

#include <unordered_map>

namespace rix {
// The rows of a memory dataset; also the value of a nested dataset field.
class TMemTable : public TNestedData {
public:
  struct TColumn {
    std::string Name;  // the field's FullName
    TFieldType Type = ftUnknown;
    std::shared_ptr<TMemTable> Nested;  // empty prototype of a nested table
  };
  struct TRow {
    std::uint64_t Id = 0;
    std::vector<TFieldValue> Values;
  };
  std::vector<TColumn> Columns;
  std::vector<TRow> Rows;
  std::uint64_t NextId = 1;

  std::shared_ptr<TNestedData> Clone() const override;
  int ColumnIndex(const std::string& Name) const;
  // Position of the row with Id, or -1.
  int IndexOfId(std::uint64_t Id) const;
  void IndexAppended();
  void IndexChanged() { FIndexValid = false; }
  // A fresh row: nulls, with an empty table for each nested column.
  TRow NewRow();
  static void AddColumns(std::vector<TColumn>& Out, TFieldDefs* Defs, const std::string& Prefix);

private:
  mutable std::unordered_map<std::uint64_t, int> FIndex;
  mutable bool FIndexValid = false;
};
} // namespace rix

class TMemoryDataSet : public TDataSet {
  RIX_CLASS_NAME(TMemoryDataSet)
public:
  explicit TMemoryDataSet(TComponent* AOwner);
  ~TMemoryDataSet() override;

  // Creates an empty table from FieldDefs and opens the dataset.
  void CreateDataSet();
  // Drops every record (the dataset stays open).
  void EmptyDataSet();
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  bool IsSequenced() const override { return true; }

  bool BookmarkValid(const TBookmark& Value) override;
  int CompareBookmarks(const TBookmark& A, const TBookmark& B) override;
  TFieldValue Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                     const std::string& ResultField) override;
  bool Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
              TLocateOptions Options = {}) override;

protected:
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return FOpen; }
  TGetResult GetRecord(TRecBuf& Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalFirst() override { FCursor = -1; }
  void InternalLast() override;
  void InternalSetToRecord(const TRecBuf& Buffer) override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  void InternalInitRecord(TRecBuf& Buffer) override;
  void InternalPost() override;
  void InternalDelete() override;
  bool GetCanModify() const override { return !FReadOnly; }
  int GetRecordCount() const override;
  int GetRecNo() const override;
  void DoSetRecNo(int Value) override;
  TDataSet* CreateNestedDataSet(TDataSetField* Field, TFieldDef* Def) override;
  void DataSetFieldChanged() override;

private:
  void BuildTable();
  void FillBuffer(TRecBuf& Buffer, const rix::TMemTable::TRow& Row, int Index) const;
  int RowIndexOf(const TBookmark& B) const;
  // Table columns of the named data fields; empty when one is not stored.
  std::vector<int> ColumnsOf(const std::string& FieldNames);
  // The first row matching; -1 when none.
  int FindRow(const std::vector<int>& Columns, const std::vector<TFieldValue>& Values, TLocateOptions Options) const;

  std::shared_ptr<rix::TMemTable> FTable;
  // (buffer slot, table column) of every data field.
  std::vector<std::pair<int, int>> FMap;
  int FCursor = -1;  // -1: before the first row; Rows.size(): after the last
  bool FOpen = false;
  bool FReadOnly = false;
};
