// Field definitions (what the data store offers) and the field lists (the
// field objects a dataset shows).
#pragma once

#include "platform/data/DB.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TFieldDefs;
class TObjectField;

// One column of the data store. ChildDefs define the sub-fields of an
// ftADT field, the element of an ftArray field (one child; Size is the
// element count) or the fields of an ftDataSet field's nested dataset.
class TFieldDef : public TObject {
  RIX_CLASS_NAME(TFieldDef)
public:
  TFieldDef(TFieldDefs* AOwner, std::string Name, TFieldType DataType, int Size, bool Required, int FieldNo);
  const std::string& Name() const { return FName; }
  TFieldType DataType() const { return FDataType; }
  int Size() const { return FSize; }
  bool Required() const { return FRequired; }
  int FieldNo() const { return FFieldNo; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { FReadOnly = Value; }
  TFieldDefs* ChildDefs();
  bool HasChildDefs() const;
  TFieldDef* ParentDef() const;

private:
  TFieldDefs* FOwner;
  std::string FName;
  TFieldType FDataType;
  int FSize;
  bool FRequired;
  bool FReadOnly = false;
  int FFieldNo;
  std::unique_ptr<TFieldDefs> FChildDefs;
};

class TFieldDefs : public TObject {
  RIX_CLASS_NAME(TFieldDefs)
public:
  explicit TFieldDefs(TFieldDef* AParentDef = nullptr) : FParentDef(AParentDef) {}
  // Raises EDatabaseError for an empty or duplicate name and for a size that
  // the type does not take (negative, or an array without elements).
  TFieldDef* Add(const std::string& Name, TFieldType DataType, int Size = 0, bool Required = false);
  int Count() const { return static_cast<int>(FItems.size()); }
  TFieldDef* Items(int Index) const;
  TFieldDef* operator[](int Index) const { return Items(Index); }
  TFieldDef* Find(const std::string& Name) const;
  int IndexOf(const std::string& Name) const;
  void Clear() { FItems.clear(); }
  TFieldDef* ParentDef() const { return FParentDef; }

private:
  TFieldDef* FParentDef;
  std::vector<std::unique_ptr<TFieldDef>> FItems;
};

// An ordered list of field objects (not owned): a dataset's Fields or an
// object field's sub-fields.
class TFields : public TObject {
  RIX_CLASS_NAME(TFields)
public:
  TFields(TDataSet* ADataSet, TObjectField* AParent = nullptr) : FDataSet(ADataSet), FParent(AParent) {}
  ~TFields() override;
  int Count() const { return static_cast<int>(FList.size()); }
  TField* Fields(int Index) const;
  TField* operator[](int Index) const { return Fields(Index); }
  int IndexOf(const TField* Field) const;
  // By FieldName, case-insensitive; nil when absent.
  TField* FindField(const std::string& Name) const;
  TField* FieldByName(const std::string& Name) const;
  TDataSet* DataSet() const { return FDataSet; }
  TObjectField* Parent() const { return FParent; }
  auto begin() const { return FList.begin(); }
  auto end() const { return FList.end(); }

private:
  friend class TField;
  friend class TDataSet;
  friend class TObjectField;
  void Add(TField* Field);
  void Remove(TField* Field);
  void Move(int CurIndex, int NewIndex);
  void Changed();

  TDataSet* FDataSet;
  TObjectField* FParent;
  std::vector<TField*> FList;
};

// Every field of a dataset, sub-fields included, parents before their
// children; looked up by FullName. Positions in this list are what data
// links store as "the position of a field".
class TFieldList : public TObject {
  RIX_CLASS_NAME(TFieldList)
public:
  explicit TFieldList(TDataSet* ADataSet) : FDataSet(ADataSet) {}
  int Count() const;
  TField* Fields(int Index) const;
  TField* operator[](int Index) const { return Fields(Index); }
  int IndexOf(const TField* Field) const;
  TField* Find(const std::string& FullName) const;
  TField* FieldByName(const std::string& FullName) const;
  auto begin() const { Update(); return FList.begin(); }
  auto end() const { Update(); return FList.end(); }
  void Invalidate() { FUpdated = false; }

private:
  void Update() const;
  TDataSet* FDataSet;
  mutable std::vector<TField*> FList;
  // Lookups by name and by field are hashed: a grid binding a thousand
  // columns looks up every one of them on each layout pass. Rebuilt with
  // FList (renames and list changes invalidate it).
  mutable std::unordered_map<std::string, TField*> FByName;  // lower-case full name
  mutable std::unordered_map<const TField*, int> FIndexOf;
  mutable bool FUpdated = false;
};
