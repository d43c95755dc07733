// TSqlDataSet: what the database datasets (TSQLiteDataSet, TPgDataSet)
// share: a table name or one SELECT, the size of the row cache, read-only,
// and the reading of a query's text.
#pragma once

#include "platform/data/DataSet.h"

#include <algorithm>

class TSqlDataSet : public TDataSet {
  RIX_CLASS_NAME(TSqlDataSet)
public:
  explicit TSqlDataSet(TComponent* AOwner) : TDataSet(AOwner) {}

  const std::string& TableName() const { return FTableName; }
  // Selects a whole table; clears SQL.
  void SetTableName(const std::string& Value);
  const std::string& SQL() const { return FSQL; }
  // Selects a query (one SELECT statement); clears TableName.
  void SetSQL(const std::string& Value);
  // Rows kept in the cache (at least 64).
  int CacheSize() const { return FCacheSize; }
  void SetCacheSize(int Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // True when the open dataset has row identity.
  bool Keyed() const { return FKeyed; }
  // Rows fetched from the database since opening (for tests and tuning).
  std::int64_t RowsFetched() const { return FRowsFetched; }

  bool IsSequenced() const override { return true; }

protected:
  // Rows the cache holds: CacheSize, or four windows, or two pages and the
  // current row, whichever is most.
  int Capacity() const;
  // Rows one read fetches: a window, at least 64.
  int PageSize() const { return std::max(64, BufferCount()); }
  // SQL without the blanks and semicolons after it.
  std::string TrimmedSQL() const;
  // Whether the query's rows are not rows of one table: it groups, joins,
  // limits or combines them.
  bool QueryCombinesRows() const;

  std::string FTableName, FSQL;
  int FCacheSize = 256;
  bool FReadOnly = false;
  bool FKeyed = false;
  mutable std::int64_t FRowsFetched = 0;
};

namespace rix {
// "name" with inner quotes doubled: an SQL identifier as written.
std::string QuoteIdent(const std::string& Name);
// The first word of a statement, after white space, comments and opening
// parentheses: what kind of statement it is.
std::string FirstSqlWord(const std::string& Sql);
// ASCII upper case, for reading SQL keywords and type names.
std::string UpperAscii(std::string S);
} // namespace rix
