// TSQLiteDataSet: a dataset over a table or a query of an SQLite database
// file, through the SQLite C library.
//
//   auto* ds = new TSQLiteDataSet(Owner);
//   ds->SetDatabaseName("/path/shop.db");
//   ds->SetTableName("Orders");         // or SetSQL("SELECT ... FROM ...")
//   ds->Open();
//
// Declared column types become field types (case-insensitive, first match):
//   BOOLEAN, BOOL, BIT                     ftBoolean   stored 0/1
//   DATETIME, TIMESTAMP                    ftDateTime  stored 'yyyy-mm-dd hh:nn:ss'
//   DATE                                   ftDate      stored 'yyyy-mm-dd'
//   TIME                                   ftTime      stored 'hh:nn:ss'
//   CURRENCY, MONEY                        ftCurrency
//   GRAPHIC, IMAGE, PICTURE, BITMAP        ftGraphic   (picture bytes)
//   FMTMEMO, RTF                           ftFmtMemo
//   MEMO, TEXT, CLOB, LONGTEXT             ftMemo      (declare VARCHAR(n) for
//                                                       a plain string column)
//   VARCHAR(n), CHAR(n), NVARCHAR(n), STRING ftString  Size n (255 without n)
//   TYPEDBINARY                            ftTypedBinary
//   BLOB, BINARY, VARBINARY                ftBlob
//   SMALLINT, TINYINT                      ftSmallint
//   BIGINT, INT8, LARGEINT                 ftLargeint
//   INTEGER PRIMARY KEY (the rowid)        ftAutoInc   not required on insert
//   other types containing INT             ftInteger
//   REAL, FLOAT, DOUBLE, NUMERIC, DECIMAL  ftFloat
//   no declared type (an expression)       from the first row's value:
//                                          ftLargeint, ftFloat, ftBlob or
//                                          ftString(255)
//   anything else                          SQLite's affinity rules: CHAR/TEXT
//                                          ftString(255), BLOB ftBlob, else ftFloat
// Dates stored as numbers are read as Julian day numbers (SQLite's own
// convention). NOT NULL columns give required fields.
//
// Row identity. A table with a rowid, or a query whose result includes the
// rowid (or the INTEGER PRIMARY KEY column) of the one table all its columns
// come from, is keyed: bookmarks are the rowid, they stay valid across edits,
// records come in rowid order (a query's ORDER BY does not change that), and
// Post writes an UPDATE or INSERT and Delete a DELETE, each in its own
// transaction. Anything else (views, WITHOUT ROWID tables, joins, grouped
// queries) opens read-only, positioned by row number.
//
// Failures lose nothing: a refused write (constraint, locked database)
// raises EDatabaseError with SQLite's message and the field when SQLite names
// the column, rolls back, and leaves the dataset in its edit or insert state
// with the values typed.
//
// Cost. The dataset never loads the table. It holds the buffer window plus a
// bounded cache of consecutive rows (CacheSize, grown to four windows when
// the window is larger) and fetches pages by key (keyset paging: "rowid > ?
// ORDER BY rowid LIMIT n" is one index seek). First, Last, MoveBy of a page
// and reading a screenful cost the same on 10 thousand as on 1 million rows.
//   RecordCount: one count(*), then cached and kept by inserts and deletes
//     of this dataset; Refresh counts again. On a database file the count
//     runs on a second, read-only connection in a background thread from
//     Open (or Refresh) on, so opening never waits for it; RecordCount and
//     anything needing exact positions wait for it to finish.
//     RecordCountPending is True meanwhile, and EstimatedRecordCount answers
//     from the key range (one index seek at each end). A write of this
//     dataset while the count runs stops it; the next RecordCount counts
//     on this connection.
//   Dense keys: when the count shows that the keys run without gaps from
//     the lowest to the highest, positions are arithmetic (key - lowest + 1)
//     and no counting or ladder is needed, until a write makes a gap.
//   RecNo: free while the position follows from First, Last or moves from
//     there (positions are carried along the cached rows), and kept across
//     this dataset's own edits, deletes and appends. After a jump by
//     bookmark, or an insert in the middle, the first RecNo costs one count
//     of the rows before the current key, then it is free again.
//     IsSequenced is True.
//   Setting RecNo counts from the nearest of the first record, the last
//     record and the current one.
//   The position ladder bounds both counts on large tables (more than four
//     ladder steps of rows): the key of every 1024th record with its
//     position, built by one pass over the keys on a second connection in
//     the background once the count shows gaps (or by that scan here, the
//     first time a count would reach far before it is done; writes stop
//     the pass and start it again), then kept by this dataset's own inserts
//     and deletes. A far
//     RecNo or SetRecNo then counts at most one step of rows, whatever the
//     table size. Like RecordCount, the ladder does not see other
//     connections' writes until Refresh.
// A read-only query positioned by row number pays a proportional OFFSET for
// each jump far from the cache.
#pragma once

#include "platform/data/SqlDataSet.h"
#include "platform/data/RowCache.h"

#include <memory>

struct sqlite3;
struct sqlite3_stmt;

class TSQLiteDataSet : public TSqlDataSet {
  RIX_CLASS_NAME(TSQLiteDataSet)
public:
  explicit TSQLiteDataSet(TComponent* AOwner);
  ~TSQLiteDataSet() override;

  const std::string& DatabaseName() const { return FDatabaseName; }
  void SetDatabaseName(const std::string& Value);
  // Milliseconds a write waits for a lock held by another connection.
  int BusyTimeout() const { return FBusyTimeout; }
  void SetBusyTimeout(int Value);

  // While held, background counts that have finished are not taken in
  // (RecordCountPending stays True) unless something needs the exact count;
  // for tests of what shows meanwhile.
  static void HoldBackgroundCounts(bool Value);

  bool RecordCountPending() const override;
  // True while the position ladder of keys with gaps is being built in the
  // background (from when the count is in).
  bool PositionLadderPending() const;
  int EstimatedRecordCount() const override;
  int EstimatedRecNo() const override;
  bool BookmarkValid(const TBookmark& Value) override;
  int CompareBookmarks(const TBookmark& A, const TBookmark& B) override;
  TFieldValue Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                     const std::string& ResultField) override;
  // One query on a keyed dataset; string keys compare with SQLite's NOCASE
  // (ASCII) for loCaseInsensitive.
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

private:
  using TKey = std::int64_t;
  struct TRow {
    std::int64_t Key = 0;
    std::vector<TFieldValue> Values;  // by result column
  };
  struct TColumn {
    std::string Name;
    std::string Origin;  // column of the base table, empty when computed
    TFieldType Type = ftUnknown;
    bool RowidAlias = false;
  };

  void OpenDatabase();
  void CloseDatabase();
  void Analyse();
  std::string BaseQuery() const;
  sqlite3_stmt* Prepare(const std::string& Sql) const;
  void Finalize();
  [[noreturn]] void RaiseSQLite(const std::string& What, TField* Field = nullptr) const;
  void Exec(const char* Sql);

  TRow ReadRow(sqlite3_stmt* S) const;
  TFieldValue ReadValue(sqlite3_stmt* S, int Col, TFieldType Type) const;
  void BindValue(sqlite3_stmt* S, int Index, const TFieldValue& V, TFieldType Type) const;
  std::vector<TRow> Page(bool Forward, bool FromKey, std::int64_t Key, int Count);
  const TRow* NextRow(bool Forward);
  void FillBuffer(TRecBuf& Buffer, const TRow& Row) const;
  std::int64_t PositionOf(std::int64_t Key) const;
  std::int64_t CountRows(const std::string& Where, std::int64_t Key) const;
  // Rows between two keys, Low included, High not.
  std::int64_t CountRange(std::int64_t Low, std::int64_t High) const;
  // The position ladder (see the file comment).
  struct TRung {
    std::int64_t Key = 0;
    std::int64_t Pos = 0;  // 1-based
  };
  static constexpr std::int64_t LadderStep = 1024;
  bool UseLadder() const;
  void BuildLadder() const;
  void DropLadder() {
    StopLadderPass();
    FLadder.clear();
    FLadderBuilt = false;
  }
  // The ladder's pass over the keys in the background, started once the
  // count shows gaps; BuildLadder takes it in. Writes stop it.
  // Every key of the records, in record order: what the ladder is made from.
  std::string KeysInOrderSql() const;
  void StartLadderPass() const;
  void StopLadderPass() const;
  class TLadderPassAgain {
  public:
    explicit TLadderPassAgain(const TSQLiteDataSet& Data);
    ~TLadderPassAgain();
    TLadderPassAgain(const TLadderPassAgain&) = delete;
    TLadderPassAgain& operator=(const TLadderPassAgain&) = delete;

  private:
    const TSQLiteDataSet& FData;
    bool FRestart;
  };
  // Records before Key in record order.
  std::int64_t CountBefore(std::int64_t Key) const;
  // The key of the record at 1-based position Pos (1 <= Pos <= count).
  std::int64_t KeyAtPosition(std::int64_t Pos) const;
  // The lowest and highest key (keyed datasets), read once per count.
  bool KeyRange(std::int64_t& Low, std::int64_t& High) const;
  // The background count: started by Open and Refresh, taken in by
  // HarvestCount (Wait: until it ends), stopped by StopCount.
  class TCounter;
  void SetCount(std::int64_t Count) const;
  void StartCount();
  void StopCount();
  void HarvestCount(bool Wait) const;
  // Writes: the count and the key range no longer hold as they were.
  void KeysInserted(std::int64_t Key);
  void KeyDeleted(std::int64_t Key);
  void LadderInserted(std::int64_t Key);
  void LadderDeleted(std::int64_t Key);
  void GoToKeyAt(std::int64_t Key, std::int64_t Pos);
  std::string ColumnForMessage(const std::string& Message) const;
  // Result columns of the named data fields; empty when one is not stored.
  std::vector<int> ColumnsOf(const std::string& FieldNames);

  std::string FDatabaseName;
  int FBusyTimeout = 2000;

  sqlite3* FDb = nullptr;
  bool FDbReadOnly = false;
  bool FCursorOpen = false;
  std::string FBaseTable;  // table written to, keyed mode
  std::string FKeyColumn;  // name of the key in the base query's result
  int FKeyIndex = -1;      // result column of the key
  bool FHiddenKey = false; // the key column is ours, not a field
  std::vector<TColumn> FColumns;
  std::vector<std::pair<int, int>> FMap;  // (buffer slot, result column)
  std::vector<TFieldValue> FOriginal;     // the record as Edit found it

  // The cursor and the cache of consecutive rows.
  TRowCache<TRow> FCache;
  mutable std::int64_t FCount = -1;
  mutable std::unique_ptr<TCounter> FCounter;
  mutable std::unique_ptr<TCounter> FLadderPass;
  mutable bool FRangeKnown = false;
  mutable std::int64_t FLowKey = 0, FHighKey = 0;
  // Every key from FLowKey to FHighKey is a record (needs FCount and the range).
  mutable bool FDense = false;
  mutable std::vector<TRung> FLadder;
  mutable bool FLadderBuilt = false;

  sqlite3_stmt* FNext = nullptr;
  sqlite3_stmt* FFirst = nullptr;
  sqlite3_stmt* FPrior = nullptr;
  sqlite3_stmt* FLast = nullptr;
  sqlite3_stmt* FByKey = nullptr;
};
