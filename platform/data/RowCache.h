// TRowCache: the cursor and the bounded cache of consecutive rows through
// which the database datasets page a table by key. A row type has a Key
// (the record's identity in the data store) and whatever values it carries;
// the dataset supplies the pager that fetches the Count rows after (or
// before) a key, or from either end, in record order.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

enum TCursorState { csBOF, csEOF, csOn };

template <class TRow>
struct TRowCache {
  using TKey = decltype(TRow::Key);
  // Forward: the rows after Key (or from the start when not FromKey), in
  // record order; else the rows before Key (or the last ones), nearest first.
  using TPager = std::function<std::vector<TRow>(bool Forward, bool FromKey, const TKey& Key, int Count)>;

  std::deque<TRow> Seg;  // consecutive rows in record order
  bool AtStart = false, AtEnd = false;
  std::int64_t FirstPos = 0;  // 1-based position of Seg.front(), 0 unknown
  TCursorState Cursor = csBOF;
  TKey CurKey{};
  // A position that survived a write: the row AnchorKey (after an edit or
  // insert), or the first row after it (after a delete), stands at
  // AnchorPos. 0 when there is none.
  TKey AnchorKey{};
  std::int64_t AnchorPos = 0;
  bool AnchorAfter = false;

  void Clear() {
    Seg.clear();
    AtStart = AtEnd = false;
    FirstPos = 0;
    Hint = 0;
  }

  void Trim(bool KeepBack, int Capacity) {
    while (static_cast<int>(Seg.size()) > Capacity) {
      if (KeepBack) {
        Seg.pop_front();
        AtStart = false;
        if (FirstPos > 0) ++FirstPos;
        if (Hint > 0) --Hint;
      } else {
        Seg.pop_back();
        AtEnd = false;
      }
    }
  }

  // Rows are found by equality, starting where the last one was: the cursor
  // mostly moves to a neighbour, and keys need not sort here as they do in
  // the data store.
  const TRow* Find(const TKey& Key, int& Index) const {
    const int n = static_cast<int>(Seg.size());
    for (int d = 0; d < n; ++d)
      for (int i : {Hint + d, Hint - d - 1})
        if (i >= 0 && i < n && Seg[static_cast<size_t>(i)].Key == Key) {
          Hint = Index = i;
          return &Seg[static_cast<size_t>(i)];
        }
    Index = -1;
    return nullptr;
  }

  // Moves the cursor to the next (or prior) row, paging Page rows at a time
  // and keeping at most Capacity; nil at the end.
  const TRow* Next(bool Forward, int Page, int Capacity, const TPager& Pager) {
    if (Forward) {
      if (Cursor == csEOF) return nullptr;
      if (Cursor == csBOF) {
        if (Seg.empty() || !AtStart) {
          std::vector<TRow> rows = Pager(true, false, TKey{}, Page);
          Clear();
          for (auto& r : rows) Seg.push_back(std::move(r));
          AtStart = true;
          FirstPos = 1;
          AtEnd = static_cast<int>(Seg.size()) < Page;
        }
        if (Seg.empty()) {
          Cursor = csEOF;
          return nullptr;
        }
        return On(0);
      }
      int idx;
      Find(CurKey, idx);
      if (idx < 0 || idx + 1 >= static_cast<int>(Seg.size())) {
        if (idx >= 0 && AtEnd) {
          Cursor = csEOF;
          return nullptr;
        }
        std::vector<TRow> rows = Pager(true, true, CurKey, Page);
        if (idx < 0) {
          Clear();
          if (AnchorPos > 0 && AnchorAfter && AnchorKey == CurKey) FirstPos = AnchorPos;
        }
        for (auto& r : rows) Seg.push_back(std::move(r));
        AtEnd = static_cast<int>(rows.size()) < Page;
        Trim(true, Capacity);
        if (rows.empty()) {
          Cursor = csEOF;
          return nullptr;
        }
        Find(CurKey, idx);
      }
      return On(idx >= 0 ? idx + 1 : 0);
    }
    if (Cursor == csBOF) return nullptr;
    if (Cursor == csEOF) {
      if (Seg.empty() || !AtEnd) {
        std::vector<TRow> rows = Pager(false, false, TKey{}, Page);
        Clear();
        for (auto& r : rows) Seg.push_front(std::move(r));
        AtEnd = true;
        AtStart = static_cast<int>(Seg.size()) < Page;
        if (AtStart) FirstPos = 1;
      }
      if (Seg.empty()) {
        Cursor = csBOF;
        return nullptr;
      }
      return On(static_cast<int>(Seg.size()) - 1);
    }
    int idx;
    Find(CurKey, idx);
    if (idx <= 0) {
      if (idx == 0 && AtStart) {
        Cursor = csBOF;
        return nullptr;
      }
      std::vector<TRow> rows = Pager(false, true, CurKey, Page);
      if (idx < 0) Clear();
      for (auto& r : rows) Seg.push_front(std::move(r));
      if (FirstPos > 0) FirstPos -= static_cast<std::int64_t>(rows.size());
      AtStart = static_cast<int>(rows.size()) < Page;
      if (AtStart) FirstPos = 1;
      Hint += static_cast<int>(rows.size());
      Trim(false, Capacity);
      if (rows.empty()) {
        Cursor = csBOF;
        return nullptr;
      }
      if (idx < 0) return On(static_cast<int>(Seg.size()) - 1);
      Find(CurKey, idx);
    }
    return On(idx - 1);
  }

private:
  const TRow* On(int Index) {
    Hint = Index;
    CurKey = Seg[static_cast<size_t>(Index)].Key;
    Cursor = csOn;
    return &Seg[static_cast<size_t>(Index)];
  }

  mutable int Hint = 0;
};
