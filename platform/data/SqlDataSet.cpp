#include "platform/data/SqlDataSet.h"

#include "platform/core/Checked.h"

#include <algorithm>
#include <cctype>

void TSqlDataSet::SetTableName(const std::string& Value) {
  CheckInactive();
  FTableName = Value;
  if (!Value.empty()) FSQL.clear();
}

void TSqlDataSet::SetSQL(const std::string& Value) {
  CheckInactive();
  FSQL = Value;
  if (!Value.empty()) FTableName.clear();
}

void TSqlDataSet::SetCacheSize(int Value) { FCacheSize = std::max(64, Value); }

void TSqlDataSet::SetReadOnly(bool Value) {
  CheckInactive();
  FReadOnly = Value;
}

// A page fetched next to the current row must fit beside it: trimming
// after the fetch would otherwise drop the row the cursor stands on.
int TSqlDataSet::Capacity() const {
  return std::max({FCacheSize, rix::CheckedMul(BufferCount(), 4), 2 * PageSize() + 1});
}

std::string TSqlDataSet::TrimmedSQL() const {
  std::string q = FSQL;
  while (!q.empty() && (std::isspace(static_cast<unsigned char>(q.back())) || q.back() == ';')) q.pop_back();
  return q;
}

bool TSqlDataSet::QueryCombinesRows() const {
  std::string up = " " + rix::UpperAscii(FSQL) + " ";
  for (char& ch : up)
    if (std::isspace(static_cast<unsigned char>(ch))) ch = ' ';
  for (const char* w : {" GROUP BY ", " DISTINCT ", " UNION ", " INTERSECT ", " EXCEPT ", " LIMIT ", " OFFSET ",
                        " JOIN ", " HAVING "})
    if (up.find(w) != std::string::npos) return true;
  return false;
}

namespace rix {

std::string QuoteIdent(const std::string& Name) {
  std::string q = "\"";
  for (char c : Name) {
    if (c == '"') q += '"';
    q += c;
  }
  return q + "\"";
}

std::string FirstSqlWord(const std::string& Sql) {
  size_t i = 0;
  for (;;) {
    while (i < Sql.size() && (std::isspace(static_cast<unsigned char>(Sql[i])) || Sql[i] == '(')) ++i;
    if (Sql.compare(i, 2, "--") == 0) {
      i = Sql.find('\n', i);
      if (i == std::string::npos) return {};
    } else if (Sql.compare(i, 2, "/*") == 0) {
      i = Sql.find("*/", i + 2);
      if (i == std::string::npos) return {};
      i += 2;
    } else {
      break;
    }
  }
  size_t j = i;
  while (j < Sql.size() && std::isalpha(static_cast<unsigned char>(Sql[j]))) ++j;
  return Sql.substr(i, j - i);
}

std::string UpperAscii(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return S;
}

} // namespace rix
