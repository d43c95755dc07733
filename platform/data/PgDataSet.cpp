#include "platform/data/PgDataSet.h"

#include "platform/core/Checked.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace dbconsts;

namespace {


// Type oids of the server's built-in types (pg_type.h, stable across versions).
enum : unsigned {
  oidBool = 16, oidBytea = 17, oidChar = 18, oidName = 19, oidInt8 = 20, oidInt2 = 21, oidInt4 = 23,
  oidText = 25, oidOid = 26, oidJson = 114, oidXml = 142, oidFloat4 = 700, oidFloat8 = 701, oidMoney = 790,
  oidBpchar = 1042, oidVarchar = 1043, oidDate = 1082, oidTime = 1083, oidTimestamp = 1114,
  oidTimestamptz = 1184, oidTimetz = 1266, oidNumeric = 1700, oidUuid = 2950, oidJsonb = 3802
};

bool Has(const std::string& Hay, const char* Needle) { return Hay.find(Needle) != std::string::npos; }

bool IsIntegerOid(unsigned T) { return T == oidInt2 || T == oidInt4 || T == oidInt8 || T == oidOid; }

// Types compared with "=" on the server; the others (json, xml, geometry,
// ...) have no equality and compare by their text.
bool HasEquality(unsigned T) {
  switch (T) {
    case oidBool: case oidBytea: case oidChar: case oidName: case oidInt8: case oidInt2: case oidInt4:
    case oidText: case oidOid: case oidFloat4: case oidFloat8: case oidMoney: case oidBpchar: case oidVarchar:
    case oidDate: case oidTime: case oidTimestamp: case oidTimestamptz: case oidTimetz: case oidNumeric:
    case oidUuid: case oidJsonb:
      return true;
    default: return false;
  }
}

// See the header for the table this implements.
TFieldType MapType(unsigned Oid, int Mod, const std::string& DeclName, int& Size) {
  Size = 0;
  const std::string d = rix::UpperAscii(DeclName);
  switch (Oid) {
    case oidBool: return ftBoolean;
    case oidInt2: return ftSmallint;
    case oidInt4: return ftInteger;
    case oidInt8: case oidOid: return ftLargeint;
    case oidFloat4: case oidFloat8: return ftFloat;
    case oidNumeric: return Has(d, "CURRENCY") || Has(d, "MONEY") ? ftCurrency : ftFloat;
    case oidMoney: return ftCurrency;
    case oidChar: Size = 1; return ftString;
    case oidName: Size = 64; return ftString;
    case oidUuid: Size = 36; return ftString;
    case oidBpchar: case oidVarchar: Size = Mod > 4 ? Mod - 4 : 255; return ftString;
    case oidText: return Has(d, "FMTMEMO") || Has(d, "RTF") ? ftFmtMemo : ftMemo;
    case oidJson: case oidJsonb: case oidXml: return ftMemo;
    case oidDate: return ftDate;
    case oidTime: case oidTimetz: return ftTime;
    case oidTimestamp: case oidTimestamptz: return ftDateTime;
    case oidBytea:
      if (Has(d, "GRAPHIC") || Has(d, "IMAGE") || Has(d, "PICTURE") || Has(d, "BITMAP")) return ftGraphic;
      if (Has(d, "TYPEDBINARY")) return ftTypedBinary;
      return ftBlob;
    default: Size = 255; return ftString;
  }
}

// "\x48656c6c6f" -> "Hello".
std::string DecodeBytea(const char* Text, int Length) {
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (Length >= 2 && Text[0] == '\\' && Text[1] == 'x') {
    std::string out;
    out.reserve(static_cast<size_t>(Length - 2) / 2);
    for (int i = 2; i + 1 < Length; i += 2) {
      int hi = nibble(Text[i]), lo = nibble(Text[i + 1]);
      if (hi < 0 || lo < 0) break;
      out += static_cast<char>(hi * 16 + lo);
    }
    return out;
  }
  // The old escape format, should a server be set to it.
  size_t n = 0;
  unsigned char* p = PQunescapeBytea(reinterpret_cast<const unsigned char*>(Text), &n);
  std::string out = p != nullptr ? std::string(reinterpret_cast<char*>(p), n) : std::string();
  PQfreemem(p);
  return out;
}

// The time zone of a timetz or timestamptz value ("...+09", "...-03:30").
std::string WithoutZone(std::string S) {
  size_t colon = S.find(':');
  if (colon == std::string::npos) return S;
  size_t z = S.find_first_of("+-", colon);
  if (z != std::string::npos) S.resize(z);
  return S;
}

std::string EncodeKey(const TPgDataSet::TKey& Key) {
  std::string b;
  for (const std::string& part : Key) {
    auto n = static_cast<std::uint32_t>(part.size());
    for (int i = 3; i >= 0; --i) b += static_cast<char>((n >> (8 * i)) & 0xFF);
    b += part;
  }
  return b;
}

bool DecodeKey(const TBookmark& B, size_t Parts, TPgDataSet::TKey& Key) {
  Key.clear();
  size_t i = 0;
  while (i < B.size()) {
    if (B.size() - i < 4) return false;
    std::uint32_t n = 0;
    for (int k = 0; k < 4; ++k) n = (n << 8) | static_cast<unsigned char>(B[i++]);
    if (B.size() - i < n) return false;
    Key.push_back(B.substr(i, n));
    i += n;
  }
  return Key.size() == Parts && Parts > 0;
}

std::int64_t ToInt64(const std::string& S) {
  std::int64_t v = 0;
  std::from_chars(S.data(), S.data() + S.size(), v);
  return v;
}

} // namespace

// ---------------------------------------------------------------- results

// Owns one PGresult.
class TPgDataSet::TResult {
public:
  explicit TResult(pg_result* R) : FR(R) {}
  TResult(TResult&& O) noexcept : FR(O.FR) { O.FR = nullptr; }
  TResult& operator=(TResult&&) = delete;
  ~TResult() { PQclear(FR); }
  pg_result* Get() const { return FR; }
  int Rows() const { return PQntuples(FR); }
  bool Null(int Row, int Col) const { return PQgetisnull(FR, Row, Col) != 0; }
  std::string Text(int Row, int Col) const { return std::string(PQgetvalue(FR, Row, Col), Len(Row, Col)); }
  const char* Ptr(int Row, int Col) const { return PQgetvalue(FR, Row, Col); }
  size_t Len(int Row, int Col) const { return static_cast<size_t>(PQgetlength(FR, Row, Col)); }

private:
  pg_result* FR;
};

TPgDataSet::TPgDataSet(TComponent* AOwner) : TSqlDataSet(AOwner) {}

TPgDataSet::~TPgDataSet() {
  CloseForDestroy();
  Disconnect();
}

void TPgDataSet::SetConnectionString(const std::string& Value) {
  CheckInactive();
  if (Value == FConnectionString) return;
  Disconnect();
  FConnectionString = Value;
}

// ---------------------------------------------------------------- connection

namespace {
// The session settings the text forms here rely on: ISO dates, floats that
// read back exactly, UTF-8.
bool SetUpSession(pg_conn* C) {
  if (PQsetClientEncoding(C, "UTF8") != 0) return false;
  PGresult* r = PQexec(C, "SET DateStyle = ISO, YMD; SET extra_float_digits = 3; SET bytea_output = hex");
  bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
  PQclear(r);
  return ok;
}

std::string Trimmed(const char* Message) {
  std::string s = Message != nullptr ? Message : "";
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  return s;
}
} // namespace

void TPgDataSet::Connect() {
  if (FConn != nullptr) return;
  if (FConnectionString.empty()) DatabaseError("ConnectionString is not set", this);
  pg_conn* c = PQconnectdb(FConnectionString.c_str());
  if (c == nullptr) DatabaseError("Cannot connect to the server: out of memory", this);
  if (PQstatus(c) != CONNECTION_OK || !SetUpSession(c)) {
    std::string msg = Trimmed(PQerrorMessage(c));
    PQfinish(c);
    DatabaseError("Cannot connect to the server: " + msg, this);
  }
  FConn = c;
}

void TPgDataSet::Disconnect() {
  if (FConn == nullptr) return;
  PQfinish(FConn);
  FConn = nullptr;
}

bool TPgDataSet::Reconnect() {
  if (FConn == nullptr) return false;
  PQreset(FConn);
  return PQstatus(FConn) == CONNECTION_OK && SetUpSession(FConn);
}

TPgDataSet::TResult TPgDataSet::Run(const std::string& Sql, const std::vector<TParam>& Params, bool Retry) const {
  auto* self = const_cast<TPgDataSet*>(this);
  if (FConn == nullptr) DatabaseError(SDataSetClosed, self);
  if (PQstatus(FConn) != CONNECTION_OK && !self->Reconnect())
    DatabaseErrorFmt(SConnectionLost, Trimmed(PQerrorMessage(FConn)), self);
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const TParam& p : Params) {
    values.push_back(p.Null ? nullptr : p.Value.data());
    lengths.push_back(rix::CheckedCast<int>(p.Value.size()));
    formats.push_back(p.Binary ? 1 : 0);
  }
  for (int attempt = 0;; ++attempt) {
    TResult r(PQexecParams(FConn, Sql.c_str(), static_cast<int>(Params.size()), nullptr, values.data(),
                           lengths.data(), formats.data(), 0));
    ExecStatusType st = PQresultStatus(r.Get());
    if (st == PGRES_TUPLES_OK || st == PGRES_COMMAND_OK) return r;
    if (PQstatus(FConn) != CONNECTION_OK) {
      std::string msg = Trimmed(PQerrorMessage(FConn));
      if (Retry && attempt == 0 && self->Reconnect()) continue;
      DatabaseErrorFmt(SConnectionLost, msg, self);
    }
    RaiseServer("", r.Get());
  }
}

void TPgDataSet::RaiseServer(const std::string& What, pg_result* Result) const {
  std::string msg = Trimmed(Result != nullptr ? PQresultErrorField(Result, PG_DIAG_MESSAGE_PRIMARY) : nullptr);
  if (msg.empty()) msg = Trimmed(PQerrorMessage(FConn));
  std::string text = What.empty() ? msg : What + ": " + msg;
  const char* col = Result != nullptr ? PQresultErrorField(Result, PG_DIAG_COLUMN_NAME) : nullptr;
  if (TField* f = col != nullptr ? FieldOfColumn(col) : nullptr) text += " (field '" + f->DisplayName() + "')";
  DatabaseError(text, const_cast<TPgDataSet*>(this));
}

TField* TPgDataSet::FieldOfColumn(const std::string& Origin) const {
  for (auto [slot, c] : FMap)
    if (FColumns[static_cast<size_t>(c)].Origin == Origin)
      for (TField* f : DataFields())
        if (f->DataSlot() == slot) return f;
  return nullptr;
}

// ---------------------------------------------------------------- analysis

std::string TPgDataSet::BaseQuery() const {
  if (!FTableName.empty()) return "SELECT * FROM " + FBaseTable;
  return TrimmedSQL();
}

void TPgDataSet::Analyse() {
  FColumns.clear();
  FKeyed = false;
  FIntegerKey = true;
  FKeyCols.clear();
  FKeyTypes.clear();
  FBaseTable.clear();
  if (FTableName.empty() && FSQL.empty()) DatabaseError("Neither TableName nor SQL is set", this);

  unsigned tableOid = 0;
  if (!FTableName.empty()) {
    // Unquoted names fold to lower case as in SQL; a name that only matches
    // as written is taken quoted.
    TResult t = Run("SELECT c.oid, c.oid::regclass::text FROM pg_class c WHERE c.oid = "
                    "coalesce(to_regclass($1), to_regclass(quote_ident($1))) AND c.relkind IN ('r','p','v','m','f')",
                    {{FTableName}}, true);
    if (t.Rows() == 0) DatabaseError("Table '" + FTableName + "' not found", this);
    tableOid = static_cast<unsigned>(std::strtoul(t.Ptr(0, 0), nullptr, 10));
    FBaseTable = t.Text(0, 1);
  } else {
    std::string q = BaseQuery();
    std::string up = " " + rix::UpperAscii(q) + " ";
    for (char& ch : up)
      if (std::isspace(static_cast<unsigned char>(ch))) ch = ' ';
    // Every read wraps the query as a subquery of one statement, so nothing
    // else can run; this only makes the message clear.
    const std::string first = rix::UpperAscii(rix::FirstSqlWord(q));
    if ((first != "SELECT" && first != "WITH" && first != "VALUES") || Has(up, " FOR UPDATE"))
      DatabaseError("SQL must be one SELECT statement", this);
  }

  TResult r = Run("SELECT * FROM (" + BaseQuery() + ") s LIMIT 0", {}, true);
  const int n = PQnfields(r.Get());
  if (n == 0) DatabaseError("SQL must be one SELECT statement", this);
  bool oneTable = true;
  std::vector<int> tableCols(static_cast<size_t>(n), 0);
  for (int i = 0; i < n; ++i) {
    TColumn c;
    c.Name = PQfname(r.Get(), i);
    c.TypeOid = PQftype(r.Get(), i);
    unsigned tab = PQftable(r.Get(), i);
    if (tab != InvalidOid && PQftablecol(r.Get(), i) > 0) {
      if (tableOid == 0 && FTableName.empty()) tableOid = tab;
      if (tab == tableOid)
        tableCols[static_cast<size_t>(i)] = PQftablecol(r.Get(), i);
      else
        oneTable = false;
    }
    c.Type = MapType(c.TypeOid, PQfmod(r.Get(), i), "", c.Size);
    FColumns.push_back(c);
  }
  if (tableOid == 0) return;

  // The base table's columns: names, domains, NOT NULL, defaults, the key.
  TResult a = Run(
      "SELECT a.attnum, a.attname, format_type(a.atttypid, NULL), a.attnotnull AND NOT a.atthasdef AND "
      "a.attidentity = '', a.attidentity <> '' OR coalesce(pg_get_expr(d.adbin, d.adrelid) LIKE 'nextval(%', false), "
      "array_position(i.indkey::int2[], a.attnum) - array_lower(i.indkey::int2[], 1) + 1, format_type(a.atttypid, a.atttypmod), "
      "(SELECT relkind FROM pg_class WHERE oid = $1), $1::oid::regclass::text "
      "FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
      "LEFT JOIN pg_index i ON i.indrelid = a.attrelid AND i.indisprimary "
      "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped",
      {{std::to_string(tableOid)}}, true);
  struct TAttr {
    std::string Name, Decl, Type;
    bool Required = false, Serial = false;
    int KeyPos = 0;
  };
  std::vector<std::pair<int, TAttr>> attrs;
  int keyParts = 0;
  std::string relkind;
  for (int row = 0; row < a.Rows(); ++row) {
    TAttr t;
    t.Name = a.Text(row, 1);
    t.Decl = a.Text(row, 2);
    t.Required = a.Text(row, 3) == "t";
    t.Serial = a.Text(row, 4) == "t";
    t.KeyPos = a.Null(row, 5) ? 0 : std::atoi(a.Ptr(row, 5));
    t.Type = a.Text(row, 6);
    keyParts = std::max(keyParts, t.KeyPos);
    relkind = a.Text(row, 7);
    if (FBaseTable.empty()) FBaseTable = a.Text(row, 8);
    attrs.emplace_back(std::atoi(a.Ptr(row, 0)), t);
  }
  auto attr = [&](int Num) -> const TAttr* {
    for (auto& [num, t] : attrs)
      if (num == Num) return &t;
    return nullptr;
  };
  for (int i = 0; i < n; ++i) {
    TColumn& c = FColumns[static_cast<size_t>(i)];
    const TAttr* t = attr(tableCols[static_cast<size_t>(i)]);
    if (t == nullptr) continue;
    c.Origin = t->Name;
    c.Required = t->Required;
    c.Type = MapType(c.TypeOid, PQfmod(r.Get(), i), t->Decl, c.Size);
  }

  const bool plain = FSQL.empty() || !QueryCombinesRows();
  if (!oneTable || !plain || keyParts == 0 || (relkind != "r" && relkind != "p")) return;
  for (int part = 1; part <= keyParts; ++part) {
    int col = -1;
    for (int i = 0; i < n && col < 0; ++i) {
      const TAttr* t = attr(tableCols[static_cast<size_t>(i)]);
      if (t != nullptr && t->KeyPos == part) col = i;
    }
    if (col < 0) {
      FKeyCols.clear();
      FKeyTypes.clear();
      FIntegerKey = true;
      return;
    }
    FKeyCols.push_back(col);
    FKeyTypes.push_back(attr(tableCols[static_cast<size_t>(col)])->Type);
    if (!IsIntegerOid(FColumns[static_cast<size_t>(col)].TypeOid)) FIntegerKey = false;
  }
  FKeyed = true;
  if (keyParts == 1) {
    TColumn& k = FColumns[static_cast<size_t>(FKeyCols[0])];
    const TAttr* t = attr(tableCols[static_cast<size_t>(FKeyCols[0])]);
    if (IsIntegerOid(k.TypeOid) && k.TypeOid != oidOid && t->Serial) k.Type = ftAutoInc;
  }
}

void TPgDataSet::InternalInitFieldDefs() {
  Connect();
  Analyse();
  FieldDefs()->Clear();
  for (const TColumn& c : FColumns) {
    std::string name = c.Name;
    for (int k = 1; FieldDefs()->Find(name) != nullptr; ++k) name = c.Name + "_" + std::to_string(k);
    TFieldDef* d = FieldDefs()->Add(name, c.Type, c.Size, FKeyed && c.Required);
    if (c.Origin.empty()) d->SetReadOnly(true);
  }
}

std::string TPgDataSet::KeyList(const char* Alias) const {
  std::string s;
  for (size_t i = 0; i < FKeyCols.size(); ++i)
    s += (i ? ", " : "") + std::string(Alias) + rix::QuoteIdent(FColumns[static_cast<size_t>(FKeyCols[i])].Name);
  return s;
}

std::string TPgDataSet::KeyOrder(bool Descending) const {
  std::string s;
  for (size_t i = 0; i < FKeyCols.size(); ++i)
    s += (i ? ", s." : "s.") + rix::QuoteIdent(FColumns[static_cast<size_t>(FKeyCols[i])].Name) +
         (Descending ? " DESC" : "");
  return s;
}

std::string TPgDataSet::KeyParams(int First) const {
  std::string s;
  for (size_t i = 0; i < FKeyCols.size(); ++i)
    s += (i ? ", $" : "$") + std::to_string(First + static_cast<int>(i)) + "::" + FKeyTypes[i];
  return s;
}

std::vector<TPgDataSet::TParam> TPgDataSet::KeyArgs(const TKey& Key) const {
  std::vector<TParam> p;
  for (const std::string& k : Key) p.push_back({k});
  return p;
}

// ---------------------------------------------------------------- open / close

void TPgDataSet::InternalOpen() {
  if (FConn == nullptr || FColumns.empty()) InternalInitFieldDefs();
  FMap.clear();
  for (TField* f : DataFields()) {
    int col = -1;
    for (int i = 0; i < FieldDefs()->Count() && i < static_cast<int>(FColumns.size()); ++i)
      if (SameText(FieldDefs()->Items(i)->Name(), f->FieldName())) col = i;
    if (col < 0) DatabaseErrorFmt(SFieldNotFound, f->FullName(), this);
    FMap.emplace_back(f->DataSlot(), col);
  }
  FCache.Clear();
  FCache.Cursor = csBOF;
  FCount = -1;
  FCache.AnchorPos = 0;
  FRowsFetched = 0;
  FCursorOpen = true;
}

void TPgDataSet::InternalClose() {
  FCache.Clear();
  FMap.clear();
  FColumns.clear();
  FCursorOpen = false;
  FCount = -1;
  Disconnect();
}

bool TPgDataSet::GetCanModify() const { return FKeyed && !FReadOnly; }

// ---------------------------------------------------------------- values

TFieldValue TPgDataSet::ReadValue(const char* Text, int Length, const TColumn& C) const {
  switch (C.Type) {
    case ftSmallint: case ftInteger: case ftLargeint: case ftAutoInc: {
      std::int64_t v = 0;
      if (std::from_chars(Text, Text + Length, v).ec == std::errc()) return v;
      return {};
    }
    case ftFloat: case ftCurrency: case ftBCD: {
      std::string s(Text, static_cast<size_t>(Length));
      if (C.TypeOid == oidMoney)
        s.erase(std::remove_if(s.begin(), s.end(), [](char c) { return !(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-'); }), s.end());
      char* end = nullptr;
      double v = std::strtod(s.c_str(), &end);
      if (end != s.c_str()) return v;
      return {};
    }
    case ftBoolean: return Length > 0 && Text[0] == 't';
    case ftDate: case ftTime: case ftDateTime: {
      TDateTime v = 0;
      // Infinity, BC dates and the like show as empty rather than stopping every read.
      if (rix::TryParseDateTime(WithoutZone(std::string(Text, static_cast<size_t>(Length))), v)) return v;
      return {};
    }
    default: break;
  }
  if (C.TypeOid == oidBytea) return DecodeBytea(Text, Length);
  return std::string(Text, static_cast<size_t>(Length));
}

TPgDataSet::TParam TPgDataSet::ParamOf(const TFieldValue& V, const TColumn& C) const {
  TParam p;
  if (auto* i = std::get_if<std::int64_t>(&V)) {
    p.Value = std::to_string(*i);
  } else if (auto* b = std::get_if<bool>(&V)) {
    p.Value = *b ? "t" : "f";
  } else if (auto* d = std::get_if<double>(&V)) {
    if (C.Type == ftDate || C.Type == ftTime || C.Type == ftDateTime) {
      p.Value = rix::FormatDateTimeFor(C.Type, *d, true);
    } else {
      char buf[64];
      auto res = std::to_chars(buf, buf + sizeof buf, *d);
      p.Value.assign(buf, res.ptr);
    }
  } else if (auto* s = std::get_if<std::string>(&V)) {
    p.Value = *s;
    p.Binary = C.TypeOid == oidBytea;
  } else {
    p.Null = true;
  }
  return p;
}

TPgDataSet::TRow TPgDataSet::ReadRow(const TResult& R, int Row, std::int64_t Number) const {
  TRow r;
  const size_t n = FColumns.size();
  r.Values.resize(n);
  r.Raw.resize(n);
  for (size_t i = 0; i < n; ++i) {
    const int c = static_cast<int>(i);
    if (R.Null(Row, c)) continue;
    const TColumn& col = FColumns[i];
    r.Values[i] = ReadValue(R.Ptr(Row, c), static_cast<int>(R.Len(Row, c)), col);
    if (col.TypeOid != oidBytea) r.Raw[i] = R.Text(Row, c);
  }
  if (FKeyed)
    for (int k : FKeyCols) r.Key.push_back(R.Text(Row, k));
  else
    r.Key.push_back(std::to_string(Number));
  ++FRowsFetched;
  return r;
}

void TPgDataSet::FillBuffer(TRecBuf& Buffer, const TRow& Row) const {
  for (auto [slot, col] : FMap) Buffer.Values[static_cast<size_t>(slot)] = Row.Values[static_cast<size_t>(col)];
  Buffer.Bookmark = EncodeKey(Row.Key);
  Buffer.Flag = bfCurrent;
}

// ---------------------------------------------------------------- paging

std::vector<TPgDataSet::TRow> TPgDataSet::Page(bool Forward, bool FromKey, const TKey& Key, int Count) {
  std::vector<TRow> rows;
  const std::string q = "SELECT * FROM (" + BaseQuery() + ") s";
  if (FKeyed) {
    const std::string order = KeyOrder(!Forward);
    std::string sql = q;
    if (FromKey) sql += " WHERE (" + KeyList("s.") + ") " + (Forward ? ">" : "<") + " (" + KeyParams(1) + ")";
    sql += " ORDER BY " + order + " LIMIT " + std::to_string(Count);
    TResult r = Run(sql, FromKey ? KeyArgs(Key) : std::vector<TParam>{}, true);
    for (int i = 0; i < r.Rows(); ++i) rows.push_back(ReadRow(r, i, 0));
    return rows;
  }
  // Positioned by row number: the key is the 0-based row.
  std::int64_t start, count = Count;
  const std::int64_t at = FromKey ? ToInt64(Key[0]) : 0;
  if (Forward) {
    start = FromKey ? at + 1 : 0;
  } else {
    std::int64_t end = FromKey ? at : GetRecordCount();
    start = std::max<std::int64_t>(0, end - Count);
    count = end - start;
  }
  if (count <= 0) return rows;
  TResult r = Run(q + " LIMIT " + std::to_string(count) + " OFFSET " + std::to_string(start), {}, true);
  for (int i = 0; i < r.Rows(); ++i) rows.push_back(ReadRow(r, i, start + i));
  if (!Forward) std::reverse(rows.begin(), rows.end());
  return rows;
}

bool TPgDataSet::ReadByKey(const TKey& Key, TRow& Row) {
  const std::string q = "SELECT * FROM (" + BaseQuery() + ") s";
  if (!FKeyed) {
    const std::int64_t at = ToInt64(Key[0]);
    TResult r = Run(q + " LIMIT 1 OFFSET " + std::to_string(at), {}, true);
    if (r.Rows() == 0) return false;
    Row = ReadRow(r, 0, at);
    return true;
  }
  TResult r = Run(q + " WHERE (" + KeyList("s.") + ") = (" + KeyParams(1) + ")", KeyArgs(Key), true);
  if (r.Rows() == 0) return false;
  Row = ReadRow(r, 0, 0);
  return true;
}

const TPgDataSet::TRow* TPgDataSet::NextRow(bool Forward) {
  return FCache.Next(Forward, PageSize(), Capacity(),
                     [this](bool F, bool FromKey, const TKey& Key, int Count) { return Page(F, FromKey, Key, Count); });
}

TGetResult TPgDataSet::GetRecord(TRecBuf& Buffer, TGetMode GetMode, bool) {
  const TRow* r = nullptr;
  switch (GetMode) {
    case gmCurrent: {
      if (FCache.Cursor != csOn) return FCache.Cursor == csBOF ? grBOF : grEOF;
      int idx;
      r = FCache.Find(FCache.CurKey, idx);
      if (r == nullptr) {
        TRow row;
        if (!ReadByKey(FCache.CurKey, row)) return grError;
        FCache.Clear();
        FCache.Seg.push_back(std::move(row));
        if (!FKeyed) FCache.FirstPos = ToInt64(FCache.CurKey[0]) + 1;
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

void TPgDataSet::InternalFirst() { FCache.Cursor = csBOF; }
void TPgDataSet::InternalLast() { FCache.Cursor = csEOF; }

void TPgDataSet::InternalSetToRecord(const TRecBuf& Buffer) {
  TKey k;
  if (!DecodeKey(Buffer.Bookmark, FKeyed ? FKeyCols.size() : 1, k)) return;
  FCache.Cursor = csOn;
  FCache.CurKey = std::move(k);
}

void TPgDataSet::InternalGotoBookmark(const TBookmark& Bookmark) {
  if (!BookmarkValid(Bookmark)) DatabaseError(SBookmarkNotFound, this);
  DecodeKey(Bookmark, FKeyed ? FKeyCols.size() : 1, FCache.CurKey);
  FCache.Cursor = csOn;
}

// ---------------------------------------------------------------- counting

int TPgDataSet::GetRecordCount() const {
  if (!FCursorOpen) DatabaseError(SDataSetClosed, const_cast<TPgDataSet*>(this));
  if (FCount < 0) FCount = ToInt64(Run("SELECT count(*) FROM (" + BaseQuery() + ") s", {}, true).Text(0, 0));
  return rix::CheckedCast<int>(FCount);
}

std::int64_t TPgDataSet::CountBefore(const TKey& Key) const {
  const std::string sql =
      "SELECT count(*) FROM (" + BaseQuery() + ") s WHERE (" + KeyList("s.") + ") < (" + KeyParams(1) + ")";
  return ToInt64(Run(sql, KeyArgs(Key), true).Text(0, 0));
}

std::int64_t TPgDataSet::PositionOf(const TKey& Key) const {
  if (!FKeyed) return ToInt64(Key[0]) + 1;
  auto* self = const_cast<TPgDataSet*>(this);
  int idx;
  const bool inSeg = FCache.Find(Key, idx) != nullptr;
  if (inSeg && FCache.FirstPos > 0) return FCache.FirstPos + idx;
  if (inSeg && FCache.AtEnd) {
    std::int64_t p = GetRecordCount() - (static_cast<std::int64_t>(FCache.Seg.size()) - 1 - idx);
    self->FCache.FirstPos = p - idx;
    return p;
  }
  std::int64_t p = CountBefore(Key) + 1;
  if (inSeg) self->FCache.FirstPos = p - idx;
  return p;
}

int TPgDataSet::GetRecNo() const {
  const TRecBuf* b = ActiveRecBuf();
  TKey k;
  if (b == nullptr || b->Flag != bfCurrent || !DecodeKey(b->Bookmark, FKeyed ? FKeyCols.size() : 1, k)) return -1;
  return rix::CheckedCast<int>(PositionOf(k));
}

void TPgDataSet::DoSetRecNo(int Value) {
  const std::int64_t count = GetRecordCount();
  if (count == 0) return;
  const std::int64_t n = std::clamp<std::int64_t>(Value, 1, count);
  if (!FKeyed) {
    FCache.Cursor = csOn;
    FCache.CurKey = {std::to_string(n - 1)};
    return;
  }
  // Walk the key index from the nearest known place: the start, the end or
  // the cursor.
  std::int64_t fromStart = n - 1, fromEnd = count - n, fromCur = -1, curPos = 0;
  int idx;
  if (FCache.Cursor == csOn && FCache.Find(FCache.CurKey, idx) != nullptr && (FCache.FirstPos > 0 || FCache.AtEnd)) {
    curPos = PositionOf(FCache.CurKey);
    fromCur = std::llabs(n - curPos);
  }
  if (fromCur == 0) return;
  const std::string k = KeyList("s.");
  const std::string order = KeyOrder(false), orderDesc = KeyOrder(true);
  const std::string q = "SELECT " + k + " FROM (" + BaseQuery() + ") s";
  std::string sql;
  std::vector<TParam> args;
  if (fromCur >= 0 && fromCur <= fromStart && fromCur <= fromEnd) {
    sql = q + " WHERE (" + k + ") " + (n > curPos ? "> (" : "< (") + KeyParams(1) + ") ORDER BY " +
          (n > curPos ? order : orderDesc) + " LIMIT 1 OFFSET " + std::to_string(fromCur - 1);
    args = KeyArgs(FCache.CurKey);
  } else if (fromStart <= fromEnd) {
    sql = q + " ORDER BY " + order + " LIMIT 1 OFFSET " + std::to_string(fromStart);
  } else {
    sql = q + " ORDER BY " + orderDesc + " LIMIT 1 OFFSET " + std::to_string(fromEnd);
  }
  TResult r = Run(sql, args, true);
  if (r.Rows() == 0) DatabaseError("Cannot find record " + std::to_string(n), this);
  TKey key;
  for (size_t i = 0; i < FKeyCols.size(); ++i) key.push_back(r.Text(0, static_cast<int>(i)));
  GoToKeyAt(key, n);
}

// Puts the record Key, which stands at position Pos, in the cache with its
// position known, and the cursor on it.
void TPgDataSet::GoToKeyAt(const TKey& Key, std::int64_t Pos) {
  TRow row;
  if (!ReadByKey(Key, row)) DatabaseError("Cannot read record " + std::to_string(Pos), this);
  FCache.Clear();
  FCache.Seg.push_back(std::move(row));
  FCache.FirstPos = Pos;
  FCache.Cursor = csOn;
  FCache.CurKey = Key;
}

// ---------------------------------------------------------------- bookmarks

bool TPgDataSet::BookmarkValid(const TBookmark& Value) {
  TKey k;
  if (!FCursorOpen || !DecodeKey(Value, FKeyed ? FKeyCols.size() : 1, k)) return false;
  if (!FKeyed) {
    std::int64_t at = ToInt64(k[0]);
    return at >= 0 && at < GetRecordCount();
  }
  TRow row;
  return ReadByKey(k, row);
}

int TPgDataSet::CompareBookmarks(const TBookmark& A, const TBookmark& B) {
  if (A.empty() || B.empty()) return A.empty() == B.empty() ? 0 : (A.empty() ? -1 : 1);
  TKey a, b;
  const size_t parts = FKeyed ? FKeyCols.size() : 1;
  if (!DecodeKey(A, parts, a) || !DecodeKey(B, parts, b)) return A < B ? -1 : (A == B ? 0 : 1);
  if (a == b) return 0;
  if (FIntegerKey) {
    for (size_t i = 0; i < parts; ++i) {
      std::int64_t x = ToInt64(a[i]), y = ToInt64(b[i]);
      if (x != y) return x < y ? -1 : 1;
    }
    return 0;
  }
  // Text keys sort by the server's collation.
  std::vector<TParam> args = KeyArgs(a);
  for (TParam& p : KeyArgs(b)) args.push_back(std::move(p));
  TResult r = Run("SELECT (" + KeyParams(1) + ") < (" + KeyParams(static_cast<int>(parts) + 1) + ")", args, true);
  return r.Text(0, 0) == "t" ? -1 : 1;
}

// ---------------------------------------------------------------- searching

std::vector<int> TPgDataSet::ColumnsOf(const std::string& FieldNames) const {
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

std::string TPgDataSet::Matching(const std::vector<int>& Cols, const std::vector<TFieldValue>& KeyValues,
                                 TLocateOptions Options, std::vector<TParam>& Params) const {
  if (Cols.size() != KeyValues.size()) DatabaseError("Locate needs one value per key field", const_cast<TPgDataSet*>(this));
  std::string where;
  for (size_t i = 0; i < Cols.size(); ++i) {
    const TColumn& c = FColumns[static_cast<size_t>(Cols[i])];
    std::string col = "s." + rix::QuoteIdent(c.Name);
    where += i ? " AND " : " WHERE ";
    if (IsNullValue(KeyValues[i])) {
      where += col + " IS NULL";
      continue;
    }
    Params.push_back(ParamOf(KeyValues[i], c));
    std::string p = "$" + std::to_string(Params.size());
    if (std::holds_alternative<std::string>(KeyValues[i]) && c.TypeOid != oidBytea) {
      std::string text = "concat(" + col + ")";
      p += "::text";
      if (Options.Contains(loCaseInsensitive)) {
        text = "lower(" + text + ")";
        p = "lower(" + p + ")";
      }
      where += Options.Contains(loPartialKey) ? "left(" + text + ", length(" + p + ")) = " + p : text + " = " + p;
    } else {
      where += col + " = " + p;
    }
  }
  return where;
}

TFieldValue TPgDataSet::Lookup(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                               const std::string& ResultField) {
  CheckActive();
  const std::vector<int> keys = ColumnsOf(KeyFields), result = ColumnsOf(ResultField);
  if (keys.empty() || result.size() != 1) return TDataSet::Lookup(KeyFields, KeyValues, ResultField);
  std::vector<TParam> params;
  const TColumn& rc = FColumns[static_cast<size_t>(result[0])];
  TResult r = Run("SELECT s." + rix::QuoteIdent(rc.Name) + " FROM (" + BaseQuery() + ") s" +
                      Matching(keys, KeyValues, {}, params) + " LIMIT 1",
                  params, true);
  if (r.Rows() == 0 || r.Null(0, 0)) return {};
  return ReadValue(r.Ptr(0, 0), static_cast<int>(r.Len(0, 0)), rc);
}

bool TPgDataSet::Locate(const std::string& KeyFields, const std::vector<TFieldValue>& KeyValues,
                        TLocateOptions Options) {
  CheckBrowseMode();
  const std::vector<int> keys = ColumnsOf(KeyFields);
  if (!FKeyed || keys.empty()) return TDataSet::Locate(KeyFields, KeyValues, Options);
  std::vector<TParam> params;
  const std::string where = Matching(keys, KeyValues, Options, params);
  TResult r = Run("SELECT " + KeyList("s.") + " FROM (" + BaseQuery() + ") s" + where + " ORDER BY " + KeyOrder(false) +
                      " LIMIT 1",
                  params, true);
  if (r.Rows() == 0) return false;
  TKey key;
  for (size_t i = 0; i < FKeyCols.size(); ++i) key.push_back(r.Text(0, static_cast<int>(i)));
  GotoBookmark(EncodeKey(key));
  return true;
}

// ---------------------------------------------------------------- writing

void TPgDataSet::InternalEdit() {
  const TRecBuf& b = *ActiveRecBuf();
  FSeen = b.Values;
  FOriginal.assign(FColumns.size(), TParam{{}, true, false});
  int idx;
  const TRow* row = FCache.Find(FCache.CurKey, idx);
  for (auto [slot, col] : FMap) {
    const TFieldValue& seen = b.Values[static_cast<size_t>(slot)];
    const TColumn& c = FColumns[static_cast<size_t>(col)];
    TParam& o = FOriginal[static_cast<size_t>(col)];
    // The server's own text compares exactly; the buffer's value is the
    // fallback when the cache has moved on from what the buffer shows.
    if (row != nullptr && row->Values[static_cast<size_t>(col)] == seen && c.TypeOid != oidBytea)
      o = TParam{row->Raw[static_cast<size_t>(col)], IsNullValue(seen), false};
    else
      o = ParamOf(seen, c);
  }
}

std::string TPgDataSet::RecordName(const TKey& Key) const {
  std::string s;
  for (size_t i = 0; i < FKeyCols.size() && i < Key.size(); ++i)
    s += (i ? ", " : "") + FColumns[static_cast<size_t>(FKeyCols[i])].Origin + "=" + Key[i];
  return s;
}

void TPgDataSet::RaiseConflict(const TKey& Key) {
  std::string where;
  for (size_t i = 0; i < FKeyCols.size(); ++i)
    where += (i ? " AND " : "") + rix::QuoteIdent(FColumns[static_cast<size_t>(FKeyCols[i])].Origin) + " = $" +
             std::to_string(i + 1) + "::" + FKeyTypes[i];
  TResult r = Run("SELECT 1 FROM " + FBaseTable + " WHERE " + where, KeyArgs(Key), false);
  DatabaseErrorFmt(r.Rows() > 0 ? SRecordChangedByOther : SRecordDeletedByOther, RecordName(Key), this);
}

// Runs one write in its own transaction. Key: the record an UPDATE or
// DELETE aims at (empty for an INSERT); the statement returns the key
// columns of the row it wrote, none when its row check failed.
void TPgDataSet::Write(const std::string& Sql, const std::vector<TParam>& Params, const TKey& Key, TKey* NewKey) {
  Run("BEGIN", {}, true);
  try {
    TResult r = Run(Sql, Params, false);
    if (r.Rows() == 0) RaiseConflict(Key);
    if (NewKey != nullptr) {
      NewKey->clear();
      for (size_t i = 0; i < FKeyCols.size(); ++i) NewKey->push_back(r.Text(0, static_cast<int>(i)));
    }
    Run("COMMIT", {}, false);
  } catch (...) {
    if (FConn != nullptr && PQstatus(FConn) == CONNECTION_OK) PQclear(PQexec(FConn, "ROLLBACK"));
    throw;
  }
}

namespace {
// Appends "col = $n" (or IS NULL) for a row check on a value seen earlier.
void AddCheck(std::string& Where, std::vector<TPgDataSet::TParam>& Params, const std::string& Column,
              const TPgDataSet::TParam& Seen, bool Equality) {
  Where += " AND ";
  if (Seen.Null) {
    Where += Column + " IS NULL";
    return;
  }
  Params.push_back(Seen);
  // concat() writes a value as the server sends it; a cast to text need not.
  Where += (Equality ? Column : "concat(" + Column + ")") + " = $" + std::to_string(Params.size());
}
} // namespace

void TPgDataSet::InternalPost() {
  if (!GetCanModify()) DatabaseError(SDataSetReadOnly, this);
  const TRecBuf& b = *ActiveRecBuf();
  const bool insert = State() == dsInsert;
  std::vector<std::pair<int, int>> targets;  // (slot, column)
  for (auto [slot, col] : FMap) {
    const TColumn& c = FColumns[static_cast<size_t>(col)];
    if (c.Origin.empty()) continue;
    const TFieldValue& v = b.Values[static_cast<size_t>(slot)];
    if (insert && IsNullValue(v)) continue;  // let DEFAULTs apply
    if (!insert && static_cast<size_t>(slot) < FSeen.size() && FSeen[static_cast<size_t>(slot)] == v) continue;
    targets.emplace_back(slot, col);
  }
  TKey key;
  if (!insert && !DecodeKey(b.Bookmark, FKeyCols.size(), key)) DatabaseError(SRecordNotFound, this);
  std::string returning = " RETURNING ";
  for (size_t i = 0; i < FKeyCols.size(); ++i)
    returning += (i ? ", " : "") + rix::QuoteIdent(FColumns[static_cast<size_t>(FKeyCols[i])].Origin);
  std::vector<TParam> params;
  std::string sql;
  if (insert) {
    if (targets.empty()) {
      sql = "INSERT INTO " + FBaseTable + " DEFAULT VALUES";
    } else {
      std::string cols, vals;
      for (auto [slot, col] : targets) {
        const TColumn& c = FColumns[static_cast<size_t>(col)];
        params.push_back(ParamOf(b.Values[static_cast<size_t>(slot)], c));
        cols += (cols.empty() ? "" : ", ") + rix::QuoteIdent(c.Origin);
        vals += (vals.empty() ? "$" : ", $") + std::to_string(params.size());
      }
      sql = "INSERT INTO " + FBaseTable + " (" + cols + ") VALUES (" + vals + ")";
    }
  } else {
    if (targets.empty()) return;
    sql = "UPDATE " + FBaseTable + " SET ";
    for (auto [slot, col] : targets) {
      const TColumn& c = FColumns[static_cast<size_t>(col)];
      params.push_back(ParamOf(b.Values[static_cast<size_t>(slot)], c));
      sql += (params.size() > 1 ? ", " : "") + rix::QuoteIdent(c.Origin) + " = $" + std::to_string(params.size());
    }
    std::string where;
    for (size_t i = 0; i < FKeyCols.size(); ++i) {
      params.push_back({key[i]});
      where += (i ? " AND " : "") + rix::QuoteIdent(FColumns[static_cast<size_t>(FKeyCols[i])].Origin) + " = $" +
               std::to_string(params.size()) + "::" + FKeyTypes[i];
    }
    // Only the changed columns are checked, so that another user's changes
    // to the others survive and do not stop this post.
    for (auto [slot, col] : targets) {
      const TColumn& c = FColumns[static_cast<size_t>(col)];
      AddCheck(where, params, rix::QuoteIdent(c.Origin), FOriginal[static_cast<size_t>(col)], HasEquality(c.TypeOid));
    }
    sql += " WHERE " + where;
  }
  // Where the record stands now, if that is known without counting.
  std::int64_t pos = 0;
  int idx;
  if (!insert && FCache.Find(key, idx) != nullptr && (FCache.FirstPos > 0 || (FCache.AtEnd && FCount >= 0))) pos = PositionOf(key);
  TKey newKey;
  Write(sql + returning, params, key, &newKey);
  if (insert && FCount >= 0) ++FCount;
  FCache.AnchorPos = 0;
  FCache.AnchorAfter = false;
  if (!insert && newKey == key && pos > 0) {
    FCache.AnchorKey = key;
    FCache.AnchorPos = pos;
  } else if (insert && FCount >= 0) {
    // A row appended after the last key is the last record.
    TResult r = Run("SELECT 1 FROM (" + BaseQuery() + ") s WHERE (" + KeyList("s.") + ") > (" + KeyParams(1) +
                        ") LIMIT 1",
                    KeyArgs(newKey), true);
    if (r.Rows() == 0) {
      FCache.AnchorKey = newKey;
      FCache.AnchorPos = FCount;
    }
  }
  FCache.Clear();
  FCache.Cursor = csOn;
  FCache.CurKey = newKey;
}

void TPgDataSet::InternalDelete() {
  if (!GetCanModify()) DatabaseError(SDataSetReadOnly, this);
  const TRecBuf& b = *ActiveRecBuf();
  TKey key;
  if (!DecodeKey(b.Bookmark, FKeyCols.size(), key)) DatabaseError(SRecordNotFound, this);
  InternalEdit();  // the row as seen, for the check
  std::int64_t pos = 0;
  int idx;
  if (FCache.Find(key, idx) != nullptr && (FCache.FirstPos > 0 || (FCache.AtEnd && FCount >= 0))) pos = PositionOf(key);
  std::vector<TParam> params;
  std::string where;
  for (size_t i = 0; i < FKeyCols.size(); ++i) {
    params.push_back({key[i]});
    where += (i ? " AND " : "") + rix::QuoteIdent(FColumns[static_cast<size_t>(FKeyCols[i])].Origin) + " = $" +
             std::to_string(params.size()) + "::" + FKeyTypes[i];
  }
  // The whole row as this user saw it: deleting what another user has just
  // changed would throw their change away unseen.
  for (auto [slot, col] : FMap) {
    const TColumn& c = FColumns[static_cast<size_t>(col)];
    if (!c.Origin.empty())
      AddCheck(where, params, rix::QuoteIdent(c.Origin), FOriginal[static_cast<size_t>(col)], HasEquality(c.TypeOid));
  }
  std::string returning = " RETURNING 1";
  Write("DELETE FROM " + FBaseTable + " WHERE " + where + returning, params, key, nullptr);
  FCache.Clear();
  FCache.Cursor = csOn;
  FCache.CurKey = key;
  // The row after the deleted one takes its place.
  FCache.AnchorKey = key;
  FCache.AnchorPos = pos;
  FCache.AnchorAfter = true;
  if (FCount >= 0) --FCount;
}

void TPgDataSet::InternalRefresh() {
  // A server that is not there fails the refresh before anything is dropped.
  Run("SELECT 1", {}, true);
  FCache.Clear();
  FCount = -1;
  FCache.AnchorPos = 0;
}
