// The benchmarks' SQLite tables. Items is the table the painting benchmarks
// show: 20 columns of a shop's stock (Japanese names, numbers, dates, flags),
// built once and kept in build/bench-data.
// Orders is the cursor and scrolling benchmarks' table.
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace benchtable {

inline const char* TableName = "Items";
// The font both grids draw with, in pixels.
inline const char* FontName = "IPAPGothic";
constexpr int FontPixels = 13;
constexpr int FrameWidth = 1920, FrameHeight = 1080;

// Replaces Path with the database that the script Sql builds. A benchmark
// without its table has nothing to measure, so a failure ends the process.
inline void BuildDatabase(const std::string& Path, const std::string& Sql) {
  std::filesystem::remove(Path);
  sqlite3* db = nullptr;
  if (sqlite3_open(Path.c_str(), &db) != SQLITE_OK) {
    std::fprintf(stderr, "cannot create %s\n", Path.c_str());
    std::exit(1);
  }
  char* err = nullptr;
  if (sqlite3_exec(db, Sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::fprintf(stderr, "cannot build %s: %s\n", Path.c_str(), err != nullptr ? err : "?");
    std::exit(1);
  }
  sqlite3_close(db);
}

// A script making the table Orders of Rows rows; NoteType is the type of its
// last column.
// KeyStep 2 gives keys with gaps (2, 4, 6, ...): positions cannot follow
// from the keys by arithmetic.
inline std::string OrdersScript(long Rows, const std::string& NoteType, int KeyStep = 1) {
  return "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
         "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Customer VARCHAR(40) NOT NULL, Qty INTEGER,"
         " Price CURRENCY, Shipped BOOLEAN, Due DATE, Note " +
         NoteType +
         ");"
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
         std::to_string(Rows) +
         ") INSERT INTO Orders SELECT i * " + std::to_string(KeyStep) + ", '顧客 ' || i, i % 100, i * 1.25, i % 2,"
         " date('2020-01-01', '+' || (i % 1000) || ' days'), 'note ' || i FROM n;"
         "COMMIT;";
}

// The table sizes every benchmark reports: 10 thousand, 1 million and 10
// million rows, and 100 million when RIX_BENCH_HUGE is set (./do bench
// --huge). Ratios are taken to the first.
inline std::vector<long> Sizes() {
  std::vector<long> sizes{10000L, 1000000L, 10000000L};
  const char* huge = std::getenv("RIX_BENCH_HUGE");
  if (huge != nullptr && *huge != '\0' && std::string(huge) != "0") sizes.push_back(100000000L);
  return sizes;
}

// Where the benchmark tables are kept between runs: build/bench-data next to
// the benchmark's build folder (a large table takes minutes to make).
inline std::filesystem::path DataDir() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  std::filesystem::path dir = ec ? std::filesystem::temp_directory_path() / "rix-bench-data"
                                 : exe.parent_path().parent_path().parent_path() / "bench-data";
  std::filesystem::create_directories(dir, ec);
  return dir;
}

// The database Tag_Rows.db in DataDir(), made by Make(Path, Rows) the first
// time. It is made under a temporary name and renamed when whole, so a run
// stopped half-way leaves nothing that looks finished.
inline std::string TempDatabase(const std::string& Tag, long Rows, void (*Make)(const std::string&, long)) {
  const std::filesystem::path path = DataDir() / (Tag + "_" + std::to_string(Rows) + ".db");
  if (std::filesystem::exists(path)) return path.string();
  const std::filesystem::path part = path.string() + ".part";
  if (Rows >= 10000000L) std::fprintf(stderr, "making %s (once)...\n", path.string().c_str());
  Make(part.string(), Rows);
  std::filesystem::rename(part, path);
  return path.string();
}

// Fills Path with Rows rows (the file is replaced).
inline void Build(const std::string& Path, long Rows) {
  const std::string sql =
      "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
      "CREATE TABLE Items (id INTEGER PRIMARY KEY, code VARCHAR(8), name VARCHAR(40), kana VARCHAR(40),"
      " price INTEGER, stock INTEGER, in_stock BOOLEAN, arrived DATE, category VARCHAR(10), maker VARCHAR(20),"
      " weight REAL, width INTEGER, height INTEGER, depth INTEGER, color VARCHAR(10), origin VARCHAR(10),"
      " rating REAL, orders INTEGER, updated DATETIME, remark VARCHAR(40));"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
      std::to_string(Rows) +
      ") INSERT INTO Items SELECT i, printf('P%07d', i), '商品 ' || i || ' 号', 'ショウヒン ' || i, i % 997 * 10,"
      " i % 61, i % 61 > 0, date('2020-01-01', '+' || (i % 1500) || ' days'),"
      " substr('果物野菜飲料菓子文具', (i % 5) * 2 + 1, 2), 'メーカー ' || (i % 40), (i % 500) / 10.0, i % 300,"
      " i % 200, i % 100, substr('赤青緑黄白黒', (i % 6) + 1, 1), substr('北海道東京大阪福岡沖縄', (i % 5) * 2 + 1, 2),"
      " (i % 50) / 10.0, i % 1000, datetime('2024-01-01', '+' || (i % 10000) || ' minutes'), '備考 ' || i FROM n;"
      "COMMIT;";
  BuildDatabase(Path, sql);
}

// The Items table of Rows rows.
inline std::string TablePath(long Rows) { return TempDatabase("items", Rows, Build); }

} // namespace benchtable
