// TList: the framework's list of untyped pointers. It owns nothing; Notify
// lets a subclass react to items arriving and leaving.
#pragma once

#include "platform/core/Classes.h"

#include <functional>
#include <vector>

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
  RIX_CLASS_NAME(TList)
public:
  TList() = default;
  ~TList() override;

  int Count() const { return static_cast<int>(FList.size()); }
  // Growing fills with nil; shrinking deletes (lnDeleted) from the end.
  void SetCount(int NewCount);
  int Capacity() const { return static_cast<int>(FList.capacity()); }
  void SetCapacity(int NewCapacity);

  void* Items(int Index) const;
  void SetItems(int Index, void* Item);
  template <typename T>
  T* ItemAs(int Index) const { return static_cast<T*>(Items(Index)); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // Deletes the first occurrence of Item; its former index, or -1.
  int Remove(void* Item);
  // Takes Item out without the deleting notification; Item, or nil when absent.
  void* Extract(void* Item);
  void Clear();
  int IndexOf(const void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  // Removes every nil entry.
  void Pack();
  // Compare returns <0, 0, >0 like the framework's TListSortCompare.
  void Sort(const std::function<int(void*, void*)>& Compare);
  const std::vector<void*>& List() const { return FList; }

protected:
  virtual void Notify(void* Item, TListNotification Action) {}
  [[noreturn]] static void Error(const char* Msg, int Data);

private:
  void CheckIndex(int Index) const;
  std::vector<void*> FList;
};
