// TStrings and TStringList: string lists with attached objects and change events.
#pragma once

#include "platform/core/Classes.h"

#include <string>
#include <utility>
#include <vector>

class TStrings : public TPersistent {
  RIX_CLASS_NAME(TStrings)
public:
  virtual int Count() const = 0;
  virtual std::string Get(int Index) const = 0;
  virtual void Put(int Index, const std::string& S) = 0;
  virtual TObject* GetObject(int Index) const = 0;
  virtual void PutObject(int Index, TObject* AObject) = 0;
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  std::string Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const std::string& S) { Put(Index, S); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }

  virtual int Add(const std::string& S);
  int AddObject(const std::string& S, TObject* AObject);
  void AddStrings(const TStrings& Other);
  virtual int IndexOf(const std::string& S) const;
  int IndexOfObject(const TObject* AObject) const;
  void Move(int CurIndex, int NewIndex);
  void Exchange(int Index1, int Index2);
  bool Equals(const TStrings& Other) const;

  // Lines joined with "\n" (each line ends with one); setting splits on
  // "\n", "\r\n" or "\r".
  std::string Text() const;
  void SetText(const std::string& Value);
  // Comma-separated, quoting items that hold spaces, commas or quotes.
  std::string CommaText() const;
  void SetCommaText(const std::string& Value);
  // name=value pairs.
  std::string Names(int Index) const;
  std::string Values(const std::string& Name) const;
  void SetValues(const std::string& Name, const std::string& Value);
  int IndexOfName(const std::string& Name) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  void Assign(TPersistent* Source) override;
  std::vector<std::string> ToVector() const;

protected:
  // Called when the outermost update bracket opens or closes.
  virtual void SetUpdateState(bool Updating) {}
  [[noreturn]] void Error(const char* Msg, int Data) const;

private:
  int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
  RIX_CLASS_NAME(TStringList)
public:
  TStringList() = default;
  ~TStringList() override;

  int Count() const override { return static_cast<int>(FList.size()); }
  std::string Get(int Index) const override;
  void Put(int Index, const std::string& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int Add(const std::string& S) override;
  int IndexOf(const std::string& S) const override;

  // Binary search in a sorted list; Index is where S is or would go.
  bool Find(const std::string& S, int& Index) const;
  void Sort();
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);
  // When set, the list deletes its objects when items go.
  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

  void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
  void SetOnChanging(TNotifyEvent Value) { FOnChanging = std::move(Value); }
  const TNotifyEvent& OnChange() const { return FOnChange; }
  const TNotifyEvent& OnChanging() const { return FOnChanging; }

protected:
  void SetUpdateState(bool Updating) override;
  virtual void Changed();
  virtual void Changing();
  int CompareStrings(const std::string& A, const std::string& B) const;

private:
  void CheckIndex(int Index) const;
  void InsertItem(int Index, const std::string& S, TObject* AObject);

  std::vector<std::pair<std::string, TObject*>> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
  bool FCaseSensitive = false;
  bool FOwnsObjects = false;
  TNotifyEvent FOnChange;
  TNotifyEvent FOnChanging;
};
