#include "platform/data/SQLiteDataSet.h"

#include "platform/core/Checked.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cctype>
#include <climits>
#include <cmath>
#include <system_error>
#include <thread>

using namespace dbconsts;

namespace {

// Days from 1899-12-30 that still name a date (beyond year 9999 either way).
constexpr double MaxDateTime = 3e6;
constexpr const char* HiddenKey = "rix$key";

bool Has(const std::string& Hay, const char* Needle) { return Hay.find(Needle) != std::string::npos; }

// Bookmarks are the key as 8 big-endian bytes with the sign bit flipped, so
// that byte order is key order.
TBookmark KeyToBookmark(std::int64_t Key) {
  std::uint64_t u = static_cast<std::uint64_t>(Key) ^ (std::uint64_t(1) << 63);
  TBookmark b(8, '\0');
  for (int i = 7; i >= 0; --i, u >>= 8) b[static_cast<size_t>(i)] = static_cast<char>(u & 0xFF);
  return b;
}

bool BookmarkToKey(const TBookmark& B, std::int64_t& Key) {
  if (B.size() != 8) return false;
  std::uint64_t u = 0;
  for (char c : B) u = (u << 8) | static_cast<unsigned char>(c);
  Key = static_cast<std::int64_t>(u ^ (std::uint64_t(1) << 63));
  return true;
}

// See the header for the table this implements.
TFieldType MapDeclType(const std::string& Decl, int& Size) {
  std::string d = rix::UpperAscii(Decl);
  Size = 0;
  size_t open = d.find('(');
  if (open != std::string::npos) {
    Size = std::atoi(d.c_str() + open + 1);
    if (Size < 0) Size = 0;
    d = d.substr(0, open);
  }
  auto is = [&](std::initializer_list<const char*> Names) {
    for (const char* n : Names) {
      std::string w = d;
      while (!w.empty() && w.back() == ' ') w.pop_back();
      if (w == n) return true;
    }
    return false;
  };
  if (is({"BOOLEAN", "BOOL", "BIT"})) return ftBoolean;
  if (Has(d, "DATETIME") || Has(d, "TIMESTAMP")) return ftDateTime;
  if (Has(d, "DATE")) return ftDate;
  if (is({"TIME"})) return ftTime;
  if (Has(d, "CURRENCY") || Has(d, "MONEY")) return ftCurrency;
  if (Has(d, "GRAPHIC") || Has(d, "IMAGE") || Has(d, "PICTURE") || Has(d, "BITMAP")) return ftGraphic;
  if (Has(d, "FMTMEMO") || is({"RTF"})) return ftFmtMemo;
  if (Has(d, "MEMO") || is({"TEXT", "CLOB", "LONGTEXT", "MEDIUMTEXT", "NTEXT"})) return ftMemo;
  if (Has(d, "TYPEDBINARY")) return ftTypedBinary;
  if (Has(d, "CHAR") || is({"STRING"})) {
    if (Size == 0) Size = 255;
    return ftString;
  }
  if (Has(d, "BLOB") || Has(d, "BINARY")) return ftBlob;
  if (Has(d, "SMALLINT") || Has(d, "TINYINT")) return ftSmallint;
  if (Has(d, "BIGINT") || Has(d, "INT8") || Has(d, "LARGEINT")) return ftLargeint;
  if (Has(d, "INT")) return ftInteger;
  if (Has(d, "REAL") || Has(d, "FLOA") || Has(d, "DOUB") || Has(d, "NUMERIC") || Has(d, "DECIMAL")) return ftFloat;
  if (Has(d, "CLOB") || Has(d, "TEXT")) {
    Size = 255;
    return ftString;
  }
  if (d.find_first_not_of(' ') == std::string::npos) return ftUnknown;
  return ftFloat;
}

bool IsDateType(TFieldType T) { return T == ftDate || T == ftTime || T == ftDateTime; }

// Clears a statement's bindings and state whatever way the scope is left.
struct TStmtReset {
  sqlite3_stmt* S;
  ~TStmtReset() {
    sqlite3_reset(S);
    sqlite3_clear_bindings(S);
  }
};

struct TStmtFinal {
  sqlite3_stmt* S;
  ~TStmtFinal() { sqlite3_finalize(S); }
};

} // namespace

// One count(*) on a read-only connection of its own, in a thread of its own;
// or, for the position ladder, one pass over the keys in order, which also
// counts them. Stopping interrupts the statement; a failed or stopped count
// reports -1.
// An interrupt reaches only a statement that is running, so stopping repeats
// it until the thread is done.
namespace {
std::atomic<bool> CountsHeld{false};
}

class TSQLiteDataSet::TCounter {
public:
  TCounter(const std::string& File, const std::string& Sql, bool Ladder = false) {
    if (sqlite3_open_v2(File.c_str(), &FDb, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
      sqlite3_close(FDb);
      FDb = nullptr;
      FDone = true;
      return;
    }
    try {
      FThread = std::thread([this, Sql, Ladder] {
        // One pass over the pages: a page cache would only hold memory.
        sqlite3_exec(FDb, "PRAGMA cache_size = 16", nullptr, nullptr, nullptr);
        // A writer's lock of a moment must not make the pass give up (the
        // figure would then be counted in the foreground); a longer wait
        // would hold back stopping it.
        sqlite3_busy_timeout(FDb, 200);
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(FDb, Sql.c_str(), -1, &s, nullptr) != SQLITE_OK) {
        } else if (!Ladder) {
          if (sqlite3_step(s) == SQLITE_ROW) FResult = sqlite3_column_int64(s, 0);
        } else {
          std::int64_t pos = 0;
          int rc;
          while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            if (pos % LadderStep == 0) FLadder.push_back({sqlite3_column_int64(s, 0), pos + 1});
            ++pos;
          }
          if (rc == SQLITE_DONE) FResult = pos;
          else FLadder.clear();
        }
        // A held count stands for one that takes long: it keeps its read
        // lock until something needs the figure or stops it.
        while (CountsHeld && !FLetGo) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sqlite3_finalize(s);
        sqlite3_db_release_memory(FDb);
        FDone.store(true, std::memory_order_release);
      });
    } catch (const std::system_error&) {
      FDone = true;  // no thread: the count is made when asked for
    }
  }
  ~TCounter() {
    FLetGo = true;
    if (FThread.joinable())
      while (!Done()) {
        sqlite3_interrupt(FDb);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    Join();
    sqlite3_close(FDb);
  }
  TCounter(const TCounter&) = delete;
  TCounter& operator=(const TCounter&) = delete;
  bool Done() const { return FDone.load(std::memory_order_acquire); }
  std::int64_t Result() {
    FLetGo = true;
    Join();
    return FResult;
  }
  // The ladder of a ladder pass, after Result (empty when it failed).
  std::vector<TRung> TakeLadder() { return std::move(FLadder); }

private:
  void Join() {
    if (FThread.joinable()) FThread.join();
  }
  sqlite3* FDb = nullptr;
  std::atomic<bool> FDone{false};
  std::atomic<bool> FLetGo{false};
  std::int64_t FResult = -1;
  std::vector<TRung> FLadder;
  std::thread FThread;
};

TSQLiteDataSet::TSQLiteDataSet(TComponent* AOwner) : TSqlDataSet(AOwner) {}

TSQLiteDataSet::~TSQLiteDataSet() {
  CloseForDestroy();
  StopCount();
  Finalize();
  CloseDatabase();
}

void TSQLiteDataSet::SetDatabaseName(const std::string& Value) {
  CheckInactive();
  if (Value == FDatabaseName) return;
  CloseDatabase();
  FDatabaseName = Value;
}

void TSQLiteDataSet::SetBusyTimeout(int Value) {
  if (Value < 0) DatabaseError("BusyTimeout cannot be negative", this);
  FBusyTimeout = Value;
  if (FDb != nullptr) sqlite3_busy_timeout(FDb, Value);
}

// ---------------------------------------------------------------- connection

void TSQLiteDataSet::OpenDatabase() {
  if (FDb != nullptr) return;
  if (FDatabaseName.empty()) DatabaseError("DatabaseName is not set", this);
  sqlite3* db = nullptr;
  // Never create a file: a mistyped name must not leave an empty database.
  int rc = sqlite3_open_v2(FDatabaseName.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  FDbReadOnly = false;
  if (rc != SQLITE_OK) {
    sqlite3_close(db);
    db = nullptr;
    rc = sqlite3_open_v2(FDatabaseName.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    FDbReadOnly = true;
  }
  if (rc != SQLITE_OK) {
    std::string msg = db != nullptr ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    DatabaseError("Cannot open database '" + FDatabaseName + "': " + msg, this);
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, FBusyTimeout);
  FDb = db;
}

void TSQLiteDataSet::CloseDatabase() {
  if (FDb == nullptr) return;
  sqlite3_close_v2(FDb);
  FDb = nullptr;
}

sqlite3_stmt* TSQLiteDataSet::Prepare(const std::string& Sql) const {
  sqlite3_stmt* s = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(FDb, Sql.c_str(), static_cast<int>(Sql.size()), &s, &tail) != SQLITE_OK)
    RaiseSQLite("Cannot prepare the query");
  return s;
}

void TSQLiteDataSet::Finalize() {
  for (sqlite3_stmt** s : {&FNext, &FFirst, &FPrior, &FLast, &FByKey}) {
    sqlite3_finalize(*s);
    *s = nullptr;
  }
}

void TSQLiteDataSet::RaiseSQLite(const std::string& What, TField* Field) const {
  std::string msg = FDb != nullptr ? sqlite3_errmsg(FDb) : "no database";
  std::string text = What.empty() ? msg : What + ": " + msg;
  if (Field == nullptr) {
    std::string col = ColumnForMessage(msg);
    if (!col.empty()) Field = FindField(col);
  }
  if (Field != nullptr) text += " (field '" + Field->DisplayName() + "')";
  DatabaseError(text, const_cast<TSQLiteDataSet*>(this));
}

std::string TSQLiteDataSet::ColumnForMessage(const std::string& Message) const {
  // "NOT NULL constraint failed: T.col", "UNIQUE constraint failed: T.a, T.b",
  // "CHECK constraint failed: name" (a constraint name, found only when it
  // happens to be a column's).
  size_t p = Message.find("constraint failed: ");
  if (p == std::string::npos) return {};
  std::string rest = Message.substr(p + 19);
  size_t comma = rest.find(',');
  if (comma != std::string::npos) rest = rest.substr(0, comma);
  size_t dot = rest.rfind('.');
  if (dot != std::string::npos) rest = rest.substr(dot + 1);
  for (const TColumn& c : FColumns)
    if (SameText(c.Origin.empty() ? c.Name : c.Origin, rest)) return c.Name;
  return {};
}

void TSQLiteDataSet::Exec(const char* Sql) {
  char* err = nullptr;
  if (sqlite3_exec(FDb, Sql, nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err != nullptr ? err : "unknown error";
    sqlite3_free(err);
    DatabaseError(msg, this);
  }
}

// ---------------------------------------------------------------- analysis

std::string TSQLiteDataSet::BaseQuery() const {
  if (!FTableName.empty())
    return FHiddenKey ? "SELECT rowid AS " + rix::QuoteIdent(HiddenKey) + ", * FROM " + rix::QuoteIdent(FTableName)
                      : "SELECT * FROM " + rix::QuoteIdent(FTableName);
  return TrimmedSQL();
}

void TSQLiteDataSet::Analyse() {
  FColumns.clear();
  FKeyed = false;
  FHiddenKey = false;
  FKeyIndex = -1;
  FKeyColumn.clear();
  FBaseTable.clear();
  if (FTableName.empty() && FSQL.empty()) DatabaseError("Neither TableName nor SQL is set", this);

  auto hasRowid = [&](const std::string& Table) {
    sqlite3_stmt* s = nullptr;
    std::string q = "SELECT rowid FROM " + rix::QuoteIdent(Table) + " LIMIT 0";
    bool ok = sqlite3_prepare_v2(FDb, q.c_str(), -1, &s, nullptr) == SQLITE_OK;
    sqlite3_finalize(s);
    return ok;
  };

  if (!FTableName.empty()) {
    sqlite3_stmt* s = Prepare("SELECT type FROM sqlite_master WHERE name = ?1 COLLATE NOCASE AND type IN ('table','view')");
    TStmtFinal fin{s};
    sqlite3_bind_text(s, 1, FTableName.c_str(), -1, SQLITE_TRANSIENT);
    if (sqlite3_step(s) != SQLITE_ROW) DatabaseError("Table '" + FTableName + "' not found", this);
    std::string type = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    if (type == "table" && hasRowid(FTableName)) {
      FKeyed = true;
      FHiddenKey = true;
      FKeyIndex = 0;
      FKeyColumn = HiddenKey;
      FBaseTable = FTableName;
    }
  } else {
    const std::string q = BaseQuery();
    sqlite3_stmt* s = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(FDb, q.c_str(), -1, &s, &tail) != SQLITE_OK) RaiseSQLite("Cannot prepare the query");
    TStmtFinal fin{s};
    std::string rest = tail != nullptr ? tail : "";
    // Read-only statements with a result are also PRAGMAs and EXPLAINs:
    // the first word tells a query from them.
    const std::string first = rix::UpperAscii(rix::FirstSqlWord(q));
    if (s == nullptr || rest.find_first_not_of(" \t\r\n;") != std::string::npos || !sqlite3_stmt_readonly(s) ||
        sqlite3_column_count(s) == 0 || sqlite3_stmt_isexplain(s) != 0 ||
        (first != "SELECT" && first != "WITH" && first != "VALUES"))
      DatabaseError("SQL must be one SELECT statement", this);
  }

  sqlite3_stmt* s = Prepare(BaseQuery());
  TStmtFinal fin{s};
  int n = sqlite3_column_count(s);
  std::string table;
  bool oneTable = true;
  std::vector<int> untyped;
  for (int i = 0; i < n; ++i) {
    TColumn c;
    c.Name = sqlite3_column_name(s, i);
    const char* decl = sqlite3_column_decltype(s, i);
    const char* tab = sqlite3_column_table_name(s, i);
    const char* org = sqlite3_column_origin_name(s, i);
    if (tab != nullptr && org != nullptr) {
      c.Origin = org;
      if (table.empty())
        table = tab;
      else if (!SameText(table, tab))
        oneTable = false;
    }
    int size = 0;
    c.Type = MapDeclType(decl != nullptr ? decl : "", size);
    if (FHiddenKey && i == 0) c.Type = ftLargeint;
    if (c.Type == ftUnknown) untyped.push_back(i);
    if (tab != nullptr && org != nullptr) {
      const char* dt = nullptr;
      const char* coll = nullptr;
      int notNull = 0, pk = 0, autoinc = 0;
      if (sqlite3_table_column_metadata(FDb, nullptr, tab, org, &dt, &coll, &notNull, &pk, &autoinc) == SQLITE_OK &&
          pk != 0 && dt != nullptr && SameText(dt, "INTEGER") && hasRowid(tab)) {
        // Only a single-column INTEGER PRIMARY KEY aliases the rowid.
        sqlite3_stmt* p = nullptr;
        std::string pq = "SELECT count(*) FROM pragma_table_info(?1) WHERE pk > 0";
        if (sqlite3_prepare_v2(FDb, pq.c_str(), -1, &p, nullptr) == SQLITE_OK) {
          sqlite3_bind_text(p, 1, tab, -1, SQLITE_TRANSIENT);
          if (sqlite3_step(p) == SQLITE_ROW && sqlite3_column_int(p, 0) == 1) c.RowidAlias = true;
        }
        sqlite3_finalize(p);
      }
      if (SameText(org, "rowid") || SameText(org, "oid") || SameText(org, "_rowid_")) c.RowidAlias = true;
    }
    if (c.RowidAlias && !(FHiddenKey && i == 0)) c.Type = ftAutoInc;
    FColumns.push_back(c);
  }
  if (!untyped.empty()) {
    // Expressions have no declared type: take the first row's storage class.
    bool row = sqlite3_step(s) == SQLITE_ROW;
    for (int i : untyped) {
      int t = row ? sqlite3_column_type(s, i) : SQLITE_NULL;
      auto& c = FColumns[static_cast<size_t>(i)];
      c.Type = t == SQLITE_INTEGER ? ftLargeint : t == SQLITE_FLOAT ? ftFloat : t == SQLITE_BLOB ? ftBlob : ftString;
    }
    sqlite3_reset(s);
  }

  if (FTableName.empty() && oneTable && !table.empty() && hasRowid(table)) {
    const bool grouped = QueryCombinesRows();
    if (!grouped)
      for (int i = 0; i < n; ++i)
        if (FColumns[static_cast<size_t>(i)].RowidAlias) {
          FKeyed = true;
          FKeyIndex = i;
          FKeyColumn = FColumns[static_cast<size_t>(i)].Name;
          FBaseTable = table;
          break;
        }
  }
}

void TSQLiteDataSet::InternalInitFieldDefs() {
  OpenDatabase();
  Analyse();
  FieldDefs()->Clear();
  for (size_t i = 0; i < FColumns.size(); ++i) {
    if (FHiddenKey && i == 0) continue;
    const TColumn& c = FColumns[i];
    std::string name = c.Name;
    for (int k = 1; FieldDefs()->Find(name) != nullptr; ++k) name = c.Name + "_" + std::to_string(k);
    int size = 0;
    std::string decl;
    if (c.Type == ftString) {
      sqlite3_stmt* s = Prepare(BaseQuery());
      TStmtFinal fin{s};
      const char* d = sqlite3_column_decltype(s, static_cast<int>(i));
      MapDeclType(d != nullptr ? d : "", size);
      if (size == 0) size = 255;
    }
    bool required = false;
    if (!c.Origin.empty() && !c.RowidAlias && FKeyed) {
      int notNull = 0, pk = 0, autoinc = 0;
      const char* dt = nullptr;
      const char* coll = nullptr;
      if (sqlite3_table_column_metadata(FDb, nullptr, FBaseTable.c_str(), c.Origin.c_str(), &dt, &coll, &notNull, &pk,
                                        &autoinc) == SQLITE_OK)
        required = notNull != 0;
    }
    TFieldDef* d = FieldDefs()->Add(name, c.Type, size, required);
    if (c.Origin.empty()) d->SetReadOnly(true);
  }
}

// ---------------------------------------------------------------- open / close

void TSQLiteDataSet::InternalOpen() {
  if (FDb == nullptr) InternalInitFieldDefs();
  FMap.clear();
  int defIndex = 0;
  std::vector<std::string> names;
  for (size_t i = 0; i < FColumns.size(); ++i) {
    if (FHiddenKey && i == 0) {
      names.emplace_back();
      continue;
    }
    names.push_back(FieldDefs()->Items(defIndex++)->Name());
  }
  for (TField* f : DataFields()) {
    int col = -1;
    for (size_t i = 0; i < names.size(); ++i)
      if (!names[i].empty() && SameText(names[i], f->FieldName())) col = static_cast<int>(i);
    if (col < 0) DatabaseErrorFmt(SFieldNotFound, f->FullName(), this);
    FMap.emplace_back(f->DataSlot(), col);
  }
  const std::string q = BaseQuery();
  if (FKeyed) {
    const std::string k = rix::QuoteIdent(FKeyColumn);
    FNext = Prepare("SELECT * FROM (" + q + ") WHERE " + k + " > ?1 ORDER BY " + k + " LIMIT ?2");
    FFirst = Prepare("SELECT * FROM (" + q + ") ORDER BY " + k + " LIMIT ?2");
    FPrior = Prepare("SELECT * FROM (" + q + ") WHERE " + k + " < ?1 ORDER BY " + k + " DESC LIMIT ?2");
    FLast = Prepare("SELECT * FROM (" + q + ") ORDER BY " + k + " DESC LIMIT ?2");
    FByKey = Prepare("SELECT * FROM (" + q + ") WHERE " + k + " = ?1");
  } else {
    FNext = Prepare("SELECT * FROM (" + q + ") LIMIT ?2 OFFSET ?1");
    FByKey = Prepare("SELECT * FROM (" + q + ") LIMIT 1 OFFSET ?1");
  }
  FCache.Clear();
  FCache.Cursor = csBOF;
  FCount = -1;
  FRangeKnown = FDense = false;
  DropLadder();
  FCache.AnchorPos = 0;
  FRowsFetched = 0;
  FCursorOpen = true;
  StartCount();
}

void TSQLiteDataSet::InternalClose() {
  StopCount();
  Finalize();
  FCache.Clear();
  FMap.clear();
  FCursorOpen = false;
  FCount = -1;
  DropLadder();
  CloseDatabase();
}

bool TSQLiteDataSet::GetCanModify() const { return FKeyed && !FReadOnly && !FDbReadOnly; }

// ---------------------------------------------------------------- values

TFieldValue TSQLiteDataSet::ReadValue(sqlite3_stmt* S, int Col, TFieldType Type) const {
  int t = sqlite3_column_type(S, Col);
  if (t == SQLITE_NULL) return {};
  switch (Type) {
    case ftSmallint: case ftInteger: case ftWord: case ftLargeint: case ftAutoInc:
      if (t == SQLITE_INTEGER) return static_cast<std::int64_t>(sqlite3_column_int64(S, Col));
      if (t == SQLITE_FLOAT) return static_cast<std::int64_t>(std::llround(sqlite3_column_double(S, Col)));
      break;
    case ftBoolean:
      if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return sqlite3_column_double(S, Col) != 0;
      {
        std::string s(reinterpret_cast<const char*>(sqlite3_column_text(S, Col)));
        if (SameText(s, "true") || SameText(s, "t") || s == "1") return true;
        if (SameText(s, "false") || SameText(s, "f") || s == "0") return false;
      }
      break;
    case ftFloat: case ftCurrency: case ftBCD:
      if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) return sqlite3_column_double(S, Col);
      break;
    case ftDate: case ftTime: case ftDateTime:
      // An unreadable or impossible date (text, blob, or a day number
      // beyond any calendar) shows as empty rather than stopping every read.
      if (t == SQLITE_INTEGER || t == SQLITE_FLOAT) {
        const double v = sqlite3_column_double(S, Col) - 2415018.5;
        if (std::isfinite(v) && std::fabs(v) <= MaxDateTime) return v;
      } else if (t == SQLITE_TEXT) {
        TDateTime v = 0;
        if (rix::TryParseDateTime(reinterpret_cast<const char*>(sqlite3_column_text(S, Col)), v)) return v;
      }
      return {};
    default: break;
  }
  // Text, blobs, and values stored in another class than declared.
  if (t == SQLITE_BLOB) {
    const void* p = sqlite3_column_blob(S, Col);
    int n = sqlite3_column_bytes(S, Col);
    return std::string(static_cast<const char*>(p), static_cast<size_t>(n));
  }
  const unsigned char* p = sqlite3_column_text(S, Col);
  int n = sqlite3_column_bytes(S, Col);
  std::string text(reinterpret_cast<const char*>(p), static_cast<size_t>(n));
  switch (Type) {
    case ftSmallint: case ftInteger: case ftWord: case ftLargeint: case ftAutoInc: {
      std::int64_t v = 0;
      if (rix::TryStrToInt64(text, v)) return v;
      return {};
    }
    case ftFloat: case ftCurrency: case ftBCD: {
      double v = 0;
      if (rix::TryStrToFloat(text, v)) return v;
      return {};
    }
    case ftBoolean: case ftDate: case ftTime: case ftDateTime: return {};
    default: return text;
  }
}

void TSQLiteDataSet::BindValue(sqlite3_stmt* S, int Index, const TFieldValue& V, TFieldType Type) const {
  if (auto* i = std::get_if<std::int64_t>(&V))
    sqlite3_bind_int64(S, Index, *i);
  else if (auto* b = std::get_if<bool>(&V))
    sqlite3_bind_int(S, Index, *b ? 1 : 0);
  else if (auto* d = std::get_if<double>(&V)) {
    if (IsDateType(Type))
      sqlite3_bind_text(S, Index, rix::FormatDateTimeFor(Type, *d, true).c_str(), -1, SQLITE_TRANSIENT);
    else
      sqlite3_bind_double(S, Index, *d);
  } else if (auto* s = std::get_if<std::string>(&V)) {
    if (Type == ftBlob || Type == ftGraphic || Type == ftTypedBinary || Type == ftBytes || Type == ftVarBytes)
      sqlite3_bind_blob64(S, Index, s->data(), s->size(), SQLITE_TRANSIENT);
    else
      sqlite3_bind_text64(S, Index, s->data(), s->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  } else {
    sqlite3_bind_null(S, Index);
  }
}

TSQLiteDataSet::TRow TSQLiteDataSet::ReadRow(sqlite3_stmt* S) const {
  TRow r;
  int n = static_cast<int>(FColumns.size());
  r.Values.resize(FColumns.size());
  for (int i = 0; i < n; ++i) r.Values[static_cast<size_t>(i)] = ReadValue(S, i, FColumns[static_cast<size_t>(i)].Type);
  if (FKeyed) r.Key = sqlite3_column_int64(S, FKeyIndex);
  ++FRowsFetched;
  return r;
}

void TSQLiteDataSet::FillBuffer(TRecBuf& Buffer, const TRow& Row) const {
  for (auto [slot, col] : FMap) Buffer.Values[static_cast<size_t>(slot)] = Row.Values[static_cast<size_t>(col)];
  Buffer.Bookmark = KeyToBookmark(Row.Key);
  Buffer.Flag = bfCurrent;
}

// ---------------------------------------------------------------- paging

std::vector<TSQLiteDataSet::TRow> TSQLiteDataSet::Page(bool Forward, bool FromKey, std::int64_t Key, int Count) {
  std::vector<TRow> rows;
  if (FKeyed) {
    sqlite3_stmt* s = Forward ? (FromKey ? FNext : FFirst) : (FromKey ? FPrior : FLast);
    TStmtReset reset{s};
    if (FromKey) sqlite3_bind_int64(s, 1, Key);
    sqlite3_bind_int(s, 2, Count);
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) rows.push_back(ReadRow(s));
    if (rc != SQLITE_DONE) RaiseSQLite("Cannot read the records");
    return rows;
  }
  // Positioned by row number: the key is the 0-based row.
  std::int64_t start, count = Count;
  if (Forward) {
    start = FromKey ? Key + 1 : 0;
  } else {
    std::int64_t end = FromKey ? Key : GetRecordCount();
    start = std::max<std::int64_t>(0, end - Count);
    count = end - start;
  }
  if (count <= 0) return rows;
  TStmtReset reset{FNext};
  sqlite3_bind_int64(FNext, 1, start);
  sqlite3_bind_int64(FNext, 2, count);
  int rc;
  std::int64_t k = start;
  while ((rc = sqlite3_step(FNext)) == SQLITE_ROW) {
    rows.push_back(ReadRow(FNext));
    rows.back().Key = k++;
  }
  if (rc != SQLITE_DONE) RaiseSQLite("Cannot read the records");
  if (!Forward) std::reverse(rows.begin(), rows.end());
  return rows;
}

const TSQLiteDataSet::TRow* TSQLiteDataSet::NextRow(bool Forward) {
  return FCache.Next(Forward, PageSize(), Capacity(),
                     [this](bool F, bool FromKey, const TKey& Key, int Count) { return Page(F, FromKey, Key, Count); });
}

TGetResult TSQLiteDataSet::GetRecord(TRecBuf& Buffer, TGetMode GetMode, bool) {
  const TRow* r = nullptr;
  switch (GetMode) {
    case gmCurrent: {
      if (FCache.Cursor != csOn) return FCache.Cursor == csBOF ? grBOF : grEOF;
      int idx;
      r = FCache.Find(FCache.CurKey, idx);
      if (r == nullptr) {
        TStmtReset reset{FByKey};
        sqlite3_bind_int64(FByKey, 1, FCache.CurKey);
        int rc = sqlite3_step(FByKey);
        if (rc == SQLITE_DONE) return grError;
        if (rc != SQLITE_ROW) RaiseSQLite("Cannot read the record");
        TRow row = ReadRow(FByKey);
        if (!FKeyed) row.Key = FCache.CurKey;
        FCache.Clear();
        FCache.Seg.push_back(std::move(row));
        if (!FKeyed) FCache.FirstPos = FCache.CurKey + 1;
        if (FKeyed && FCache.AnchorPos > 0 && !FCache.AnchorAfter && FCache.AnchorKey == FCache.CurKey) FCache.FirstPos = FCache.AnchorPos;
        r = &FCache.Seg.front();
      }
      break;
    }
    case gmNext: r = NextRow(true); if (r == nullptr) return grEOF; break;
    case gmPrior: r = NextRow(false); if (r == nullptr) return grBOF; break;
  }
  FillBuffer(Buffer, *r);
  return grOK;
}

void TSQLiteDataSet::InternalFirst() { FCache.Cursor = csBOF; }
void TSQLiteDataSet::InternalLast() { FCache.Cursor = csEOF; }

void TSQLiteDataSet::InternalSetToRecord(const TRecBuf& Buffer) {
  std::int64_t k = 0;
  if (!BookmarkToKey(Buffer.Bookmark, k)) return;
  FCache.Cursor = csOn;
  FCache.CurKey = k;
}

void TSQLiteDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  if (!BookmarkValid(Bookmark)) DatabaseError(SBookmarkNotFound, this);
  std::int64_t k = 0;
  BookmarkToKey(Bookmark, k);
  FCache.Cursor = csOn;
  FCache.CurKey = k;
}

// ---------------------------------------------------------------- counting

std::int64_t TSQLiteDataSet::CountRows(const std::string& Where, std::int64_t Key) const {
  std::string q = "SELECT count(*) FROM (" + BaseQuery() + ")";
  if (!Where.empty()) q += " WHERE " + rix::QuoteIdent(FKeyColumn) + " " + Where + " ?1";
  sqlite3_stmt* s = Prepare(q);
  TStmtFinal fin{s};
  if (!Where.empty()) sqlite3_bind_int64(s, 1, Key);
  if (sqlite3_step(s) != SQLITE_ROW) RaiseSQLite("Cannot count the records");
  return sqlite3_column_int64(s, 0);
}

int TSQLiteDataSet::GetRecordCount() const {
  if (!FCursorOpen) DatabaseError(SDataSetClosed, const_cast<TSQLiteDataSet*>(this));
  if (FCount < 0) HarvestCount(true);
  if (FCount < 0) SetCount(CountRows("", 0));
  return rix::CheckedCast<int>(FCount);
}

void TSQLiteDataSet::SetCount(std::int64_t Count) const {
  FCount = Count;
  std::int64_t low = 0, high = 0;
  FDense = FKeyed && Count > 0 && KeyRange(low, high) && high - low + 1 == Count;
  // Keys with gaps: the ladder a far position needs is built in the
  // background from here on, so that the first one does not scan the keys.
  if (!FDense && UseLadder() && !FLadderBuilt && !FLadderPass) StartLadderPass();
}

std::string TSQLiteDataSet::KeysInOrderSql() const {
  const std::string k = rix::QuoteIdent(FKeyColumn);
  return "SELECT " + k + " FROM (" + BaseQuery() + ") ORDER BY " + k;
}

void TSQLiteDataSet::StartLadderPass() const {
  const char* file = sqlite3_db_filename(FDb, "main");
  if (file == nullptr || *file == '\0') return;
  try {
    FLadderPass = std::make_unique<TCounter>(file, KeysInOrderSql(), true);
  } catch (...) {
    // No pass in the background: the first far position scans.
  }
}

void TSQLiteDataSet::StopLadderPass() const { FLadderPass.reset(); }

bool TSQLiteDataSet::PositionLadderPending() const {
  HarvestCount(false);
  return FLadderPass != nullptr && !FLadderPass->Done();
}

// The ladder's pass holds a read lock a commit would wait for: it stops for
// the write and starts again after, over the keys as they are then.
TSQLiteDataSet::TLadderPassAgain::TLadderPassAgain(const TSQLiteDataSet& Data)
    : FData(Data), FRestart(Data.FLadderPass != nullptr) {
  Data.StopLadderPass();
}

TSQLiteDataSet::TLadderPassAgain::~TLadderPassAgain() {
  if (!FRestart || !FData.Active() || FData.FLadderBuilt || FData.FDense || FData.FCount < 0) return;
  try {
    if (FData.UseLadder()) FData.StartLadderPass();
  } catch (...) {
    // No pass: the first far position scans.
  }
}

bool TSQLiteDataSet::KeyRange(std::int64_t& Low, std::int64_t& High) const {
  if (!FKeyed) return false;
  if (!FRangeKnown) {
    const std::string q = BaseQuery(), k = rix::QuoteIdent(FKeyColumn);
    auto end = [&](const char* Order, std::int64_t& Key) {
      sqlite3_stmt* s = Prepare("SELECT " + k + " FROM (" + q + ") ORDER BY " + k + Order + " LIMIT 1");
      TStmtFinal fin{s};
      const int rc = sqlite3_step(s);
      if (rc != SQLITE_ROW && rc != SQLITE_DONE) RaiseSQLite("Cannot read the record keys");
      if (rc == SQLITE_ROW) Key = sqlite3_column_int64(s, 0);
      return rc == SQLITE_ROW;
    };
    if (!end("", FLowKey) || !end(" DESC", FHighKey)) return false;
    FRangeKnown = true;
  }
  Low = FLowKey;
  High = FHighKey;
  return true;
}

void TSQLiteDataSet::StartCount() {
  StopCount();
  // Only a keyed dataset can estimate meanwhile, and only a database file
  // can be opened a second time.
  const char* file = FKeyed ? sqlite3_db_filename(FDb, "main") : nullptr;
  if (file == nullptr || *file == '\0') return;
  FCounter = std::make_unique<TCounter>(file, "SELECT count(*) FROM (" + BaseQuery() + ")");
}

void TSQLiteDataSet::StopCount() { FCounter.reset(); }

void TSQLiteDataSet::HoldBackgroundCounts(bool Value) { CountsHeld = Value; }

void TSQLiteDataSet::HarvestCount(bool Wait) const {
  if (!FCounter || (!Wait && (CountsHeld || !FCounter->Done()))) return;
  const std::int64_t n = FCounter->Result();
  FCounter.reset();
  if (n >= 0 && FCount < 0) SetCount(n);
}

bool TSQLiteDataSet::RecordCountPending() const {
  HarvestCount(false);
  return FCounter != nullptr;
}

int TSQLiteDataSet::EstimatedRecordCount() const {
  std::int64_t low = 0, high = 0;
  if (!RecordCountPending() || !KeyRange(low, high)) return GetRecordCount();
  return static_cast<int>(std::min<std::int64_t>(high - low + 1, INT_MAX));
}

int TSQLiteDataSet::EstimatedRecNo() const {
  if (!RecordCountPending()) return GetRecNo();
  const TRecBuf* b = ActiveRecBuf();
  std::int64_t k = 0, low = 0, high = 0;
  if (b == nullptr || b->Flag != bfCurrent || !BookmarkToKey(b->Bookmark, k)) return -1;
  int idx = -1;
  const bool inSeg = FCache.Find(k, idx) != nullptr;
  if (inSeg && FCache.FirstPos > 0) return rix::CheckedCast<int>(FCache.FirstPos + idx);
  const std::int64_t count = EstimatedRecordCount();
  if (inSeg && FCache.AtEnd) return static_cast<int>(std::max<std::int64_t>(1, count - (std::ssize(FCache.Seg) - 1 - idx)));
  if (!KeyRange(low, high)) return GetRecNo();
  // As if the keys had no gaps; the exact count corrects it.
  return static_cast<int>(std::clamp<std::int64_t>(k - low + 1, 1, std::max<std::int64_t>(count, 1)));
}

void TSQLiteDataSet::KeysInserted(std::int64_t Key) {
  if (!FRangeKnown) {
    FDense = false;
    return;
  }
  FDense = FDense && (Key == FHighKey + 1 || Key == FLowKey - 1);
  FLowKey = std::min(FLowKey, Key);
  FHighKey = std::max(FHighKey, Key);
}

void TSQLiteDataSet::KeyDeleted(std::int64_t Key) {
  // Taking a key off either end leaves no gap.
  if (FDense && FCount > 0 && Key == FHighKey) {
    --FHighKey;
    return;
  }
  if (FDense && FCount > 0 && Key == FLowKey) {
    ++FLowKey;
    return;
  }
  FDense = false;
  FRangeKnown = false;
}

std::int64_t TSQLiteDataSet::PositionOf(std::int64_t Key) const {
  if (!FKeyed) return Key + 1;
  auto it = std::lower_bound(FCache.Seg.begin(), FCache.Seg.end(), Key, [](const TRow& R, std::int64_t K) { return R.Key < K; });
  bool inSeg = it != FCache.Seg.end() && it->Key == Key;
  auto idx = static_cast<std::int64_t>(it - FCache.Seg.begin());
  if (inSeg && FCache.FirstPos > 0) return FCache.FirstPos + idx;
  if (inSeg && FCache.AtEnd) {
    std::int64_t p = GetRecordCount() - (static_cast<std::int64_t>(FCache.Seg.size()) - 1 - idx);
    const_cast<TSQLiteDataSet*>(this)->FCache.FirstPos = p - idx;
    return p;
  }
  std::int64_t p = CountBefore(Key) + 1;
  if (inSeg) const_cast<TSQLiteDataSet*>(this)->FCache.FirstPos = p - idx;
  return p;
}

// ---------------------------------------------------------------- the ladder

std::int64_t TSQLiteDataSet::CountRange(std::int64_t Low, std::int64_t High) const {
  const std::string k = rix::QuoteIdent(FKeyColumn);
  sqlite3_stmt* s =
      Prepare("SELECT count(*) FROM (" + BaseQuery() + ") WHERE " + k + " >= ?1 AND " + k + " < ?2");
  TStmtFinal fin{s};
  sqlite3_bind_int64(s, 1, Low);
  sqlite3_bind_int64(s, 2, High);
  if (sqlite3_step(s) != SQLITE_ROW) RaiseSQLite("Cannot count the records");
  return sqlite3_column_int64(s, 0);
}

bool TSQLiteDataSet::UseLadder() const { return FKeyed && GetRecordCount() > 4 * LadderStep; }

void TSQLiteDataSet::BuildLadder() const {
  if (FLadderBuilt) return;
  if (FLadderPass) {
    const std::int64_t n = FLadderPass->Result();
    std::vector<TRung> ladder = FLadderPass->TakeLadder();
    FLadderPass.reset();
    // (a pass that failed, or saw other rows than this dataset counted,
    // gives way to a scan here)
    if (n >= 0 && n == FCount && !ladder.empty()) {
      FLadder = std::move(ladder);
      FLadderBuilt = true;
      return;
    }
  }
  sqlite3_stmt* s = Prepare(KeysInOrderSql());
  TStmtFinal fin{s};
  std::vector<TRung> ladder;
  std::int64_t pos = 0;
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    if (pos % LadderStep == 0) ladder.push_back({sqlite3_column_int64(s, 0), pos + 1});
    ++pos;
  }
  if (rc != SQLITE_DONE) RaiseSQLite("Cannot read the record keys");
  FLadder = std::move(ladder);
  FLadderBuilt = true;
  FCount = pos;
}

std::int64_t TSQLiteDataSet::CountBefore(std::int64_t Key) const {
  GetRecordCount();  // settles whether the keys are dense
  if (FDense) return std::clamp<std::int64_t>(Key - FLowKey, 0, FCount);
  if (!UseLadder()) return CountRows("<", Key);
  BuildLadder();
  auto it = std::lower_bound(FLadder.begin(), FLadder.end(), Key,
                             [](const TRung& R, std::int64_t K) { return R.Key < K; });
  if (it == FLadder.begin()) return CountRows("<", Key);
  --it;
  return it->Pos - 1 + CountRange(it->Key, Key);
}

std::int64_t TSQLiteDataSet::KeyAtPosition(std::int64_t Pos) const {
  GetRecordCount();
  if (FDense) return FLowKey + Pos - 1;
  BuildLadder();
  auto it = std::upper_bound(FLadder.begin(), FLadder.end(), Pos,
                             [](std::int64_t P, const TRung& R) { return P < R.Pos; });
  const std::string q = BaseQuery(), k = rix::QuoteIdent(FKeyColumn);
  sqlite3_stmt* s;
  std::int64_t offset;
  if (it == FLadder.begin()) {
    s = Prepare("SELECT " + k + " FROM (" + q + ") ORDER BY " + k + " LIMIT 1 OFFSET ?1");
    offset = Pos - 1;
  } else {
    --it;
    s = Prepare("SELECT " + k + " FROM (" + q + ") WHERE " + k + " >= ?2 ORDER BY " + k + " LIMIT 1 OFFSET ?1");
    sqlite3_bind_int64(s, 2, it->Key);
    offset = Pos - it->Pos;
  }
  TStmtFinal fin{s};
  sqlite3_bind_int64(s, 1, offset);
  if (sqlite3_step(s) != SQLITE_ROW) RaiseSQLite("Cannot find record " + std::to_string(Pos));
  return sqlite3_column_int64(s, 0);
}

void TSQLiteDataSet::LadderInserted(std::int64_t Key) {
  if (!FLadderBuilt) return;
  for (auto it = std::upper_bound(FLadder.begin(), FLadder.end(), Key,
                                  [](std::int64_t K, const TRung& R) { return K < R.Key; });
       it != FLadder.end(); ++it)
    ++it->Pos;
}

void TSQLiteDataSet::LadderDeleted(std::int64_t Key) {
  if (!FLadderBuilt) return;
  auto it = std::lower_bound(FLadder.begin(), FLadder.end(), Key,
                             [](const TRung& R, std::int64_t K) { return R.Key < K; });
  if (it != FLadder.end() && it->Key == Key) it = FLadder.erase(it);
  for (; it != FLadder.end(); ++it) --it->Pos;
}

int TSQLiteDataSet::GetRecNo() const {
  const TRecBuf* b = ActiveRecBuf();
  std::int64_t k = 0;
  if (b == nullptr || b->Flag != bfCurrent || !BookmarkToKey(b->Bookmark, k)) return -1;
  return rix::CheckedCast<int>(PositionOf(k));
}

void TSQLiteDataSet::DoSetRecNo(int Value) {
  std::int64_t count = GetRecordCount();
  if (count == 0) return;
  std::int64_t n = std::clamp<std::int64_t>(Value, 1, count);
  if (!FKeyed) {
    FCache.Cursor = csOn;
    FCache.CurKey = n - 1;
    return;
  }
  if (FDense) {
    GoToKeyAt(KeyAtPosition(n), n);
    return;
  }
  // Walk from the nearest known place: the start, the end or the cursor.
  std::int64_t fromStart = n - 1, fromEnd = count - n, fromCur = -1, curPos = 0;
  if (FCache.Cursor == csOn && !FCache.Seg.empty()) {
    int idx;
    if (FCache.Find(FCache.CurKey, idx) != nullptr && (FCache.FirstPos > 0 || FCache.AtEnd)) {
      curPos = PositionOf(FCache.CurKey);
      fromCur = std::llabs(n - curPos);
    }
  }
  if (fromCur == 0) return;
  const std::int64_t nearest = std::min({fromStart, fromEnd, fromCur >= 0 ? fromCur : fromStart});
  if (nearest > LadderStep && UseLadder()) {
    GoToKeyAt(KeyAtPosition(n), n);
    return;
  }
  const std::string q = BaseQuery(), k = rix::QuoteIdent(FKeyColumn);
  std::string sql;
  std::int64_t offset;
  bool useKey = false;
  if (fromCur >= 0 && fromCur <= fromStart && fromCur <= fromEnd) {
    useKey = true;
    sql = n > curPos ? "SELECT " + k + " FROM (" + q + ") WHERE " + k + " > ?2 ORDER BY " + k + " LIMIT 1 OFFSET ?1"
                     : "SELECT " + k + " FROM (" + q + ") WHERE " + k + " < ?2 ORDER BY " + k +
                           " DESC LIMIT 1 OFFSET ?1";
    offset = fromCur - 1;
  } else if (fromStart <= fromEnd) {
    sql = "SELECT " + k + " FROM (" + q + ") ORDER BY " + k + " LIMIT 1 OFFSET ?1";
    offset = fromStart;
  } else {
    sql = "SELECT " + k + " FROM (" + q + ") ORDER BY " + k + " DESC LIMIT 1 OFFSET ?1";
    offset = fromEnd;
  }
  sqlite3_stmt* s = Prepare(sql);
  TStmtFinal fin{s};
  sqlite3_bind_int64(s, 1, offset);
  if (useKey) sqlite3_bind_int64(s, 2, FCache.CurKey);
  if (sqlite3_step(s) != SQLITE_ROW) RaiseSQLite("Cannot find record " + std::to_string(n));
  GoToKeyAt(sqlite3_column_int64(s, 0), n);
}

// Puts the record Key, which stands at position Pos, in the cache with its
// position known, and the cursor on it.
void TSQLiteDataSet::GoToKeyAt(std::int64_t Key, std::int64_t Pos) {
  TStmtReset reset{FByKey};
  sqlite3_bind_int64(FByKey, 1, Key);
  if (sqlite3_step(FByKey) != SQLITE_ROW) RaiseSQLite("Cannot read record " + std::to_string(Pos));
  TRow row = ReadRow(FByKey);
  FCache.Clear();
  FCache.Seg.push_back(std::move(row));
  FCache.FirstPos = Pos;
  FCache.Cursor = csOn;
  FCache.CurKey = Key;
}

// ---------------------------------------------------------------- bookmarks

bool TSQLiteDataSet::BookmarkValid(const TBookmark& Value) {
  std::int64_t k = 0;
  if (!FCursorOpen || !BookmarkToKey(Value, k)) return false;
  if (!FKeyed) return k >= 0 && k < GetRecordCount();
  TStmtReset reset{FByKey};
  sqlite3_bind_int64(FByKey, 1, k);
  int rc = sqlite3_step(FByKey);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) RaiseSQLite("Cannot check the bookmark");
  return rc == SQLITE_ROW;
}

int TSQLiteDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A.empty() || B.empty()) return A.empty() == B.empty() ? 0 : (A.empty() ? -1 : 1);
  std::int64_t a = 0, b = 0;
  if (!BookmarkToKey(A, a) || !BookmarkToKey(B, b)) return A < B ? -1 : (A == B ? 0 : 1);
  return a < b ? -1 : (a == b ? 0 : 1);
}

std::vector<int> TSQLiteDataSet::ColumnsOf(const std::string& FieldNames) {
  std::vector<int> cols;
  for (const std::string& n : rix::SplitFieldNames(FieldNames)) {
    TField* f = FieldByName(n);
    int col = -1;
    if (f->FieldKind() == fkData)
      for (auto [slot, c] : FMap)
        if (slot == f->DataSlot()) col = c;
    if (col < 0) return {};
    cols.push_back(col);
  }
  return cols;
}

TFieldValue TSQLiteDataSet::Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                                   const std::string& ResultField) {
  CheckActive();
  std::vector<int> keys = ColumnsOf(KeyFields);
  std::vector<int> result = ColumnsOf(ResultField);
  if (keys.empty() || result.size() != 1) return TDataSet::Lookup(KeyFields, KeyValues, ResultField);
  if (keys.size() != KeyValues.size()) DatabaseError("Lookup needs one value per key field", this);
  const TColumn& rc = FColumns[static_cast<size_t>(result[0])];
  std::string sql = "SELECT " + rix::QuoteIdent(rc.Name) + " FROM (" + BaseQuery() + ") WHERE ";
  for (size_t i = 0; i < keys.size(); ++i)
    sql += (i ? " AND " : "") + rix::QuoteIdent(FColumns[static_cast<size_t>(keys[i])].Name) + " = ?" + std::to_string(i + 1);
  sql += " LIMIT 1";
  sqlite3_stmt* s = Prepare(sql);
  TStmtFinal fin{s};
  for (size_t i = 0; i < keys.size(); ++i)
    BindValue(s, static_cast<int>(i) + 1, KeyValues[i], FColumns[static_cast<size_t>(keys[i])].Type);
  int step = sqlite3_step(s);
  if (step == SQLITE_DONE) return {};
  if (step != SQLITE_ROW) RaiseSQLite("Lookup failed");
  return ReadValue(s, 0, rc.Type);
}

bool TSQLiteDataSet::Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                            TLocateOptions Options) {
  CheckBrowseMode();
  std::vector<int> keys = ColumnsOf(KeyFields);
  if (!FKeyed || keys.empty()) return TDataSet::Locate(KeyFields, KeyValues, Options);
  if (keys.size() != KeyValues.size()) DatabaseError("Locate needs one value per key field", this);
  const std::string k = rix::QuoteIdent(FKeyColumn);
  std::string sql = "SELECT " + k + " FROM (" + BaseQuery() + ") WHERE ";
  for (size_t i = 0; i < keys.size(); ++i) {
    std::string col = rix::QuoteIdent(FColumns[static_cast<size_t>(keys[i])].Name);
    std::string p = "?" + std::to_string(i + 1);
    bool text = std::holds_alternative<std::string>(KeyValues[i]);
    std::string nocase = text && Options.Contains(loCaseInsensitive) ? " COLLATE NOCASE" : "";
    sql += i ? " AND " : "";
    if (text && Options.Contains(loPartialKey))
      sql += "substr(" + col + ", 1, length(" + p + "))" + nocase + " = " + p;
    else if (IsNullValue(KeyValues[i]))
      sql += col + " IS NULL";
    else
      sql += col + nocase + " = " + p;
  }
  sql += " ORDER BY " + k + " LIMIT 1";
  sqlite3_stmt* s = Prepare(sql);
  std::int64_t key = 0;
  {
    TStmtFinal fin{s};
    for (size_t i = 0; i < keys.size(); ++i)
      if (!IsNullValue(KeyValues[i]))
        BindValue(s, static_cast<int>(i) + 1, KeyValues[i], FColumns[static_cast<size_t>(keys[i])].Type);
    int step = sqlite3_step(s);
    if (step == SQLITE_DONE) return false;
    if (step != SQLITE_ROW) RaiseSQLite("Locate failed");
    key = sqlite3_column_int64(s, 0);
  }
  GotoBookmark(KeyToBookmark(key));
  return true;
}

// ---------------------------------------------------------------- writing

// An update writes only the columns the user changed, so that changes other
// connections made to the other columns of the row meanwhile survive.
void TSQLiteDataSet::InternalEdit() { FOriginal = ActiveRecBuf()->Values; }

void TSQLiteDataSet::InternalPost() {
  if (!GetCanModify()) DatabaseError(SDataSetReadOnly, this);
  const TRecBuf& b = *ActiveRecBuf();
  bool insert = State() == dsInsert;
  struct TTarget {
    int Slot;
    const TColumn* Column;
  };
  std::vector<TTarget> targets;
  for (auto [slot, col] : FMap) {
    const TColumn& c = FColumns[static_cast<size_t>(col)];
    if (c.Origin.empty() || (FHiddenKey && col == 0)) continue;
    const TFieldValue& v = b.Values[static_cast<size_t>(slot)];
    if (insert && IsNullValue(v)) continue;  // let DEFAULTs apply
    if (!insert && static_cast<size_t>(slot) < FOriginal.size() && FOriginal[static_cast<size_t>(slot)] == v) continue;
    targets.push_back({slot, &c});
  }
  std::int64_t key = 0;
  if (!insert && !BookmarkToKey(b.Bookmark, key)) DatabaseError(SRecordNotFound, this);
  std::string sql;
  if (insert) {
    if (targets.empty()) {
      sql = "INSERT INTO " + rix::QuoteIdent(FBaseTable) + " DEFAULT VALUES";
    } else {
      std::string cols, vals;
      for (size_t i = 0; i < targets.size(); ++i) {
        cols += (i ? ", " : "") + rix::QuoteIdent(targets[i].Column->Origin);
        vals += (i ? ", ?" : "?") + std::to_string(i + 1);
      }
      sql = "INSERT INTO " + rix::QuoteIdent(FBaseTable) + " (" + cols + ") VALUES (" + vals + ")";
    }
  } else {
    if (targets.empty()) return;
    sql = "UPDATE " + rix::QuoteIdent(FBaseTable) + " SET ";
    for (size_t i = 0; i < targets.size(); ++i)
      sql += (i ? ", " : "") + rix::QuoteIdent(targets[i].Column->Origin) + " = ?" + std::to_string(i + 1);
    sql += " WHERE rowid = ?" + std::to_string(targets.size() + 1);
  }
  std::int64_t newKey = key;
  // A count running meanwhile would not know whether it saw the new row.
  if (insert) StopCount();
  // An update leaves the count as it is, but the count's read lock would
  // hold the commit back, and on a table of tens of millions of rows past
  // the busy timeout: the user's own edit refused as "locked" by our own
  // count. It stops for the write and starts again after, whatever comes.
  if (!insert) HarvestCount(false);
  struct TCountAgain {
    TSQLiteDataSet& Data;
    bool Restart;
    ~TCountAgain() {
      if (!Restart || !Data.Active()) return;
      try {
        Data.StartCount();
      } catch (...) {
        // No count in the background: RecordCount counts when asked.
      }
    }
  } countAgain{*this, !insert && FCounter != nullptr};
  if (countAgain.Restart) StopCount();
  // Where the record stands now, if that is known without counting.
  std::int64_t pos = 0;
  if (!insert) {
    int idx;
    if (FCache.Find(key, idx) != nullptr && (FCache.FirstPos > 0 || (FCache.AtEnd && FCount >= 0))) pos = PositionOf(key);
  }
  TLadderPassAgain ladderAgain(*this);
  Exec("BEGIN IMMEDIATE");
  try {
    sqlite3_stmt* s = Prepare(sql);
    TStmtFinal fin{s};
    for (size_t i = 0; i < targets.size(); ++i) {
      const TFieldValue& v = b.Values[static_cast<size_t>(targets[i].Slot)];
      BindValue(s, static_cast<int>(i) + 1, v, targets[i].Column->Type);
      if (!insert && targets[i].Column->RowidAlias)
        if (auto* iv = std::get_if<std::int64_t>(&v)) newKey = *iv;
    }
    if (!insert) sqlite3_bind_int64(s, static_cast<int>(targets.size()) + 1, key);
    if (sqlite3_step(s) != SQLITE_DONE) RaiseSQLite(insert ? "Insert failed" : "Update failed");
    if (!insert && sqlite3_changes(FDb) == 0) DatabaseError(SRecordNotFound, this);
    if (insert) newKey = sqlite3_last_insert_rowid(FDb);
    if (sqlite3_get_autocommit(FDb) == 0 && sqlite3_exec(FDb, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
      RaiseSQLite("Commit failed");
  } catch (...) {
    if (sqlite3_get_autocommit(FDb) == 0) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  if (insert && FCount >= 0) ++FCount;
  if (insert) {
    KeysInserted(newKey);
    LadderInserted(newKey);
  } else if (newKey != key) {
    KeyDeleted(key);
    KeysInserted(newKey);
    DropLadder();
  }
  FCache.AnchorPos = 0;
  FCache.AnchorAfter = false;
  if (!insert && newKey == key && pos > 0) {
    FCache.AnchorKey = key;
    FCache.AnchorPos = pos;
  } else if (insert && FCount >= 0) {
    // An appended row (the usual new rowid) is the last one. The row is
    // committed: a failing look-up only leaves the position to be counted,
    // it must not report the post as failed (a retry would insert twice).
    sqlite3_stmt* m = nullptr;
    const std::string sql = "SELECT max(rowid) FROM " + rix::QuoteIdent(FBaseTable);
    sqlite3_prepare_v2(FDb, sql.c_str(), static_cast<int>(sql.size()), &m, nullptr);
    TStmtFinal fin{m};
    if (m != nullptr && sqlite3_step(m) == SQLITE_ROW && sqlite3_column_int64(m, 0) == newKey && FHiddenKey) {
      FCache.AnchorKey = newKey;
      FCache.AnchorPos = FCount;
    }
  }
  FCache.Clear();
  FCache.Cursor = csOn;
  FCache.CurKey = newKey;
}

void TSQLiteDataSet::InternalDelete() {
  if (!GetCanModify()) DatabaseError(SDataSetReadOnly, this);
  std::int64_t key = 0;
  if (!BookmarkToKey(ActiveRecBuf()->Bookmark, key)) DatabaseError(SRecordNotFound, this);
  std::int64_t pos = 0;
  int idx;
  if (FCache.Find(key, idx) != nullptr && (FCache.FirstPos > 0 || (FCache.AtEnd && FCount >= 0))) pos = PositionOf(key);
  StopCount();
  TLadderPassAgain ladderAgain(*this);
  Exec("BEGIN IMMEDIATE");
  bool gone = false;
  try {
    sqlite3_stmt* s = Prepare("DELETE FROM " + rix::QuoteIdent(FBaseTable) + " WHERE rowid = ?1");
    TStmtFinal fin{s};
    sqlite3_bind_int64(s, 1, key);
    if (sqlite3_step(s) != SQLITE_DONE) RaiseSQLite("Delete failed");
    gone = sqlite3_changes(FDb) == 0;
    if (sqlite3_exec(FDb, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) RaiseSQLite("Commit failed");
  } catch (...) {
    if (sqlite3_get_autocommit(FDb) == 0) sqlite3_exec(FDb, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
  FCache.Clear();
  FCache.Cursor = csOn;
  FCache.CurKey = key;
  // The row after the deleted one takes its place.
  FCache.AnchorKey = key;
  FCache.AnchorPos = gone ? 0 : pos;
  FCache.AnchorAfter = true;
  if (gone) {
    FCount = -1;
    FRangeKnown = FDense = false;
    DropLadder();
    DatabaseError(SRecordNotFound, this);
  }
  if (FCount >= 0) --FCount;
  KeyDeleted(key);
  LadderDeleted(key);
}

void TSQLiteDataSet::InternalRefresh() {
  StopCount();
  FCache.Clear();
  FCount = -1;
  FRangeKnown = FDense = false;
  DropLadder();
  FCache.AnchorPos = 0;
  StartCount();
}
