// TPgDataSet: a dataset over a table or a query of a PostgreSQL server,
// through libpq. Several users may browse and edit the same table at once.
//
//   auto* ds = new TPgDataSet(Owner);
//   ds->SetConnectionString("host=/run/pg dbname=shop");  // or postgresql://...
//   ds->SetTableName("orders");         // or SetSQL("SELECT ... FROM ...")
//   ds->Open();
//
// Column types become field types:
//   int2                               ftSmallint
//   int4                               ftInteger   (ftAutoInc for a one-column
//   int8, oid                          ftLargeint   primary key filled by a
//                                                   sequence or an identity)
//   numeric, float4, float8            ftFloat
//   money                              ftCurrency
//   varchar(n), char(n)                ftString    Size n (255 without n)
//   uuid, name                         ftString    Size 36, 64
//   text, json, jsonb, xml             ftMemo
//   boolean                            ftBoolean
//   date / time, timetz / timestamp,
//   timestamptz                        ftDate / ftTime / ftDateTime (the time
//                                      zone of the session; seconds)
//   bytea                              ftBlob
//   anything else                      ftString(255) through its text form
// A domain's name refines its base type the way a declared type does in the
// SQLite dataset: a bytea domain named GRAPHIC, IMAGE, PICTURE or BITMAP
// gives ftGraphic, TYPEDBINARY ftTypedBinary; a text domain named FMTMEMO or
// RTF ftFmtMemo; a numeric domain named CURRENCY or MONEY ftCurrency. NOT NULL
// columns without a default give required fields.
//
// Row identity. A table with a primary key, or a query whose columns all come
// from one such table and include its primary key, is keyed: records come in
// key order, bookmarks are the key's values, and Post and Delete write the
// table. Anything else (views, tables without a key, joins, grouped queries)
// opens read-only, positioned by row number.
//
// Several users. Post sends one UPDATE, INSERT or DELETE in a transaction.
// An UPDATE writes only the changed columns and only when they still hold
// the values this dataset read; a DELETE only when the whole row does. When
// another user changed or deleted the row meanwhile, the post raises
// EDatabaseError naming the record ("Record id=20 was changed by another
// user"), writes nothing, and the dataset stays in its edit state with the
// values typed. To apply them anyway: Cancel, Refresh, Edit, type again, Post.
//
// Connection failures. When the server went away, the next read or write
// raises EDatabaseError ("Lost the connection to the server: ..."); the
// records already in the window stay. Every operation first reconnects when
// the connection is broken, and a read (or the start of a write) that finds
// its connection dead tries once more on a fresh one, so after the server is
// back Refresh and a retried Post work.
//
// Cost. The dataset never loads the table: it fetches pages by key ("key >
// $1 ORDER BY key LIMIT n", one index seek) into a bounded cache of
// consecutive rows (CacheSize, at least four windows). First, Last, a page
// scroll and reading a screenful cost the same on 10 thousand as on 1
// million rows.
//   RecordCount: one count(*) when first asked, kept by this dataset's own
//     inserts and deletes; Refresh counts again.
//   RecNo: free while the position follows from First, Last or moves from
//     there; after a jump by bookmark one count of the keys before it.
//   SetRecNo walks the key index from the nearest of the first, last and
//     current record.
// A read-only query positioned by row number pays a proportional OFFSET for
// each jump far from the cache.
#pragma once

#include "platform/data/SqlDataSet.h"
#include "platform/data/RowCache.h"

struct pg_conn;
struct pg_result;

class TPgDataSet : public TSqlDataSet {
  RIX_CLASS_NAME(TPgDataSet)
public:
  explicit TPgDataSet(TComponent* AOwner);
  ~TPgDataSet() override;

  // libpq's connection string: "key=value ..." or a postgresql:// URL.
  const std::string& ConnectionString() const { return FConnectionString; }
  void SetConnectionString(const std::string& Value);

  bool BookmarkValid(const TBookmark& Value) override;
  int CompareBookmarks(const TBookmark& A, const TBookmark& B) override;
  TFieldValue Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                     const std::string& ResultField) override;
  // One query on a keyed dataset; loCaseInsensitive compares lower() of
  // both sides.
  bool Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
              TLocateOptions Options = {}) override;

protected:
  void InternalInitFieldDefs() override;
  void InternalOpen() override;
  void InternalClose() override;
  bool IsCursorOpen() const override { return FCursorOpen; }
  TGetResult GetRecord(TRecBuf& Buffer, TGetMode GetMode, bool DoCheck) override;
  void InternalFirst() override;
  void InternalLast() override;
  void InternalSetToRecord(const TRecBuf& Buffer) override;
  void InternalGotoBookmark(const TBookmark& Bookmark) override;
  void InternalEdit() override;
  void InternalPost() override;
  void InternalDelete() override;
  void InternalRefresh() override;
  bool GetCanModify() const override;
  int GetRecordCount() const override;
  int GetRecNo() const override;
  void DoSetRecNo(int Value) override;

public:
  // The key of a record: the primary key's columns in their text form, or
  // the 0-based row number when the dataset is positioned by row number.
  using TKey = std::vector<std::string>;

  // One statement's parameter: text, binary (bytea) or NULL.
  struct TParam {
    std::string Value;
    bool Null = false;
    bool Binary = false;
  };

private:
  struct TRow {
    TKey Key;
    std::vector<TFieldValue> Values;  // by result column
    std::vector<std::string> Raw;     // the server's text ("" for NULL and bytea)
  };
  struct TColumn {
    std::string Name;
    std::string Origin;  // column of the base table, empty when computed
    unsigned TypeOid = 0;
    TFieldType Type = ftUnknown;
    int Size = 0;
    bool Required = false;
  };
  class TResult;

  // ---- the connection ----
  void Connect();
  void Disconnect();
  bool Reconnect();
  // Runs one statement; raises on failure. Retry: when the connection turns
  // out dead, reconnect and run it once more.
  TResult Run(const std::string& Sql, const std::vector<TParam>& Params, bool Retry) const;
  [[noreturn]] void RaiseServer(const std::string& What, pg_result* Result) const;
  // The field of a base-table column, nil when it has none.
  TField* FieldOfColumn(const std::string& Origin) const;

  // ---- analysis ----
  void Analyse();
  std::string BaseQuery() const;
  std::string KeyList(const char* Alias) const;
  std::string KeyParams(int First) const;
  // "s.k1, s.k2" for ORDER BY.
  std::string KeyOrder(bool Descending) const;
  std::vector<TParam> KeyArgs(const TKey& Key) const;

  // ---- rows and values ----
  TRow ReadRow(const TResult& R, int Row, std::int64_t Number) const;
  TFieldValue ReadValue(const char* Text, int Length, const TColumn& C) const;
  TParam ParamOf(const TFieldValue& V, const TColumn& C) const;
  void FillBuffer(TRecBuf& Buffer, const TRow& Row) const;

  // ---- paging ----
  std::vector<TRow> Page(bool Forward, bool FromKey, const TKey& Key, int Count);
  bool ReadByKey(const TKey& Key, TRow& Row);
  const TRow* NextRow(bool Forward);
  std::int64_t PositionOf(const TKey& Key) const;
  std::int64_t CountBefore(const TKey& Key) const;
  void GoToKeyAt(const TKey& Key, std::int64_t Pos);

  // Result columns of the named data fields; empty when one is not stored.
  std::vector<int> ColumnsOf(const std::string& FieldNames) const;
  // "WHERE ..." matching KeyValues in the columns Cols, its parameters in Params.
  std::string Matching(const std::vector<int>& Cols, const std::vector<TFieldValue>& KeyValues,
                       TLocateOptions Options, std::vector<TParam>& Params) const;

  // ---- writing ----
  std::string RecordName(const TKey& Key) const;
  // Inside a write's transaction: raises "changed" or "deleted by another
  // user" for the record Key whose check found no row.
  [[noreturn]] void RaiseConflict(const TKey& Key);
  void Write(const std::string& Sql, const std::vector<TParam>& Params, const TKey& Key, TKey* NewKey);

  std::string FConnectionString;

  pg_conn* FConn = nullptr;
  bool FCursorOpen = false;
  bool FIntegerKey = false;   // every key column is an integer: bookmarks compare here
  std::string FBaseTable;     // table written to (quoted, qualified when needed)
  std::vector<int> FKeyCols;  // result columns of the key, in key order
  std::vector<std::string> FKeyTypes;  // their SQL types, for comparisons on the server
  std::vector<TColumn> FColumns;
  std::vector<std::pair<int, int>> FMap;  // (buffer slot, result column)
  // The record as Edit found it: the server's text where the cache still
  // holds what the buffer shows, else the buffer's values.
  std::vector<TParam> FOriginal;  // by result column
  std::vector<TFieldValue> FSeen;  // the buffer at Edit, by slot

  // The cursor and the cache of consecutive rows.
  TRowCache<TRow> FCache;
  mutable std::int64_t FCount = -1;
};
