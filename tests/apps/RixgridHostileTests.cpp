// `rixgrid show` on a database built to hurt: huge, binary and broken
// values, pictures that lie about their size, odd names, a thousand
// columns. Every table draws to a PNG; the time and peak memory of each run
// are printed (ASan's own overhead included), and `--sql` takes nothing
// but one query.
#include "ToolTestSupport.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

using namespace tooltest;

struct TMeasured {
  int Code = -1;
  double Millis = 0;
  long PeakKB = 0;
  std::string Err;
};

class RixgridHostile : public TToolTest {
protected:
  RixgridHostile() : TToolTest("rixgrid-hostile") {}

  fs::path Db() const { return Dir / "hostile.db"; }

  // Runs the tool with Args as they are (no shell, so names need no
  // quoting) and measures it.
  TMeasured Run(const std::vector<std::string>& Args) {
    const fs::path err = Dir / "stderr";
    const auto start = std::chrono::steady_clock::now();
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid == 0) {
      std::freopen("/dev/null", "w", stdout);
      std::freopen(err.c_str(), "w", stderr);
      ::unsetenv("DISPLAY");
      ::setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
      std::vector<char*> argv{const_cast<char*>(Tool.c_str())};
      for (const std::string& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      ::execv(Tool.c_str(), argv.data());
      ::_exit(127);
    }
    int status = 0;
    struct rusage ru {};
    ::wait4(pid, &status, 0, &ru);
    TMeasured m;
    m.Millis = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    m.Code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m.PeakKB = ru.ru_maxrss;
    m.Err = Slurp(err);
    return m;
  }

  sqlite3* Open() {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(Db().c_str(), &db), SQLITE_OK);
    return db;
  }
  static void Sql(sqlite3* Db, const std::string& S) {
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(Db, S.c_str(), nullptr, nullptr, &err), SQLITE_OK) << S << ": " << (err ? err : "");
    sqlite3_free(err);
  }
  // Inserts one row into Table: the integer key Values[0], then blobs (as
  // they are) or texts.
  static void InsertBlobs(sqlite3* Db, const std::string& Table, const std::vector<std::string>& Values,
                          bool AsText = false) {
    std::string marks;
    for (size_t i = 0; i < Values.size(); ++i) marks += i ? ", ?" : "?";
    sqlite3_stmt* s = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(Db, ("INSERT INTO " + Table + " VALUES (" + marks + ")").c_str(), -1, &s, nullptr),
              SQLITE_OK);
    for (size_t i = 0; i < Values.size(); ++i) {
      const int n = static_cast<int>(Values[i].size()), at = static_cast<int>(i) + 1;
      if (i == 0)
        sqlite3_bind_int64(s, at, std::stoll(Values[i]));
      else if (AsText)
        sqlite3_bind_text(s, at, Values[i].data(), n, SQLITE_TRANSIENT);
      else
        sqlite3_bind_blob(s, at, Values[i].data(), n, SQLITE_TRANSIENT);
    }
    EXPECT_EQ(sqlite3_step(s), SQLITE_DONE);
    sqlite3_finalize(s);
  }

  // Little-endian bytes of V.
  static std::string Le(std::uint64_t V, int Bytes) {
    std::string s;
    for (int i = 0; i < Bytes; ++i) s += static_cast<char>((V >> (8 * i)) & 0xFF);
    return s;
  }
  static std::string Be32(std::uint32_t V) {
    return {static_cast<char>(V >> 24), static_cast<char>(V >> 16), static_cast<char>(V >> 8), static_cast<char>(V)};
  }

  // The tables, by name.
  std::vector<std::string> Build() {
    sqlite3* db = Open();
    std::string huge;
    for (int i = 0; huge.size() < 5'000'000; ++i) huge += "ログ " + std::to_string(i) + " of a long value, ";
    Sql(db, "CREATE TABLE huge_text (id INTEGER PRIMARY KEY, line VARCHAR(100000000), body TEXT)");
    InsertBlobs(db, "huge_text", {"1", huge, huge}, true);
    Sql(db, "CREATE TABLE big_memo (id INTEGER PRIMARY KEY, note MEMO)");
    InsertBlobs(db, "big_memo", {"1", huge.substr(0, 500'000)}, true);

    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
    Sql(db, "CREATE TABLE binary_memo (id INTEGER PRIMARY KEY, note MEMO, name VARCHAR(20))");
    InsertBlobs(db, "binary_memo", {"1", binary, binary.substr(0, 40)});
    InsertBlobs(db, "binary_memo", {"2", binary.substr(100, 9), std::string("\xC3\x28\xA0\xA1\xF0\x28\x8C\xBC", 8)},
                true);

    Sql(db, "CREATE TABLE nul_rtl (id INTEGER PRIMARY KEY, name VARCHAR(40), note MEMO)");
    InsertBlobs(db, "nul_rtl", {"1", std::string("before\0after", 12), std::string("\0\0\0lead", 7)}, true);
    InsertBlobs(db, "nul_rtl",
                {"2", "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D abc \xD8\xB3\xD9\x84\xD8\xA7\xD9\x85",
                 "\xE2\x80\xAE override \xE2\x80\xAC and \xE2\x80\x8F marks \xE2\x81\xA6isolate"},
                true);

    // Pictures: cut off, claiming 2^30 x 2^30 (BMP and PNG), empty, not a
    // picture, and a header alone.
    const std::string bmpHeader = "BM" + Le(54 + 16, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(1u << 30, 4) +
                                  Le(1u << 30, 4) + Le(1, 2) + Le(24, 2) + Le(0, 4) + Le(0, 4) + Le(0, 8) + Le(0, 8);
    const std::string pngHuge = std::string("\x89PNG\r\n\x1A\n", 8) + Be32(13) + "IHDR" + Be32(1u << 30) +
                                Be32(1u << 30) + std::string("\x08\x02\x00\x00\x00", 5) + Be32(0);
    const std::string bmpSmall = "BM" + Le(54 + 48, 4) + Le(0, 4) + Le(54, 4) + Le(40, 4) + Le(4, 4) + Le(4, 4) +
                                 Le(1, 2) + Le(24, 2) + Le(0, 4) + Le(48, 4) + Le(0, 8) + Le(0, 8) +
                                 std::string(48, '\x7F');
    Sql(db, "CREATE TABLE pictures (id INTEGER PRIMARY KEY, pic GRAPHIC, kind VARCHAR(20))");
    const std::vector<std::pair<std::string, std::string>> pictures = {
        {bmpSmall.substr(0, 70), "truncated bmp"}, {bmpHeader + std::string(16, 'x'), "2^30 bmp"},
        {pngHuge, "2^30 png"}, {"", "zero bytes"}, {"hello, not a picture", "text"},
        {binary, "noise"}, {bmpSmall, "a real one"}};
    for (size_t i = 0; i < pictures.size(); ++i)
      InsertBlobs(db, "pictures", {std::to_string(i + 1), pictures[i].first, pictures[i].second});

    Sql(db, "CREATE TABLE mixed_types (id INTEGER PRIMARY KEY, qty INTEGER, price CURRENCY, weight REAL,"
            " flag BOOLEAN, code VARCHAR(10));"
            "INSERT INTO mixed_types VALUES (1, 'twelve', 'cheap', 'heavy', 'maybe', 12345);"
            "INSERT INTO mixed_types VALUES (2, 1e300, -1e300, 9e999, 2, 3.5);"
            "INSERT INTO mixed_types VALUES (3, x'00ff', x'', '', -1, x'c328');"
            "INSERT INTO mixed_types VALUES (4, 9223372036854775807, 922337203685477.5807, -0.0, 1, NULL);");
    Sql(db, "CREATE TABLE dates (id INTEGER PRIMARY KEY, d DATE, t TIME, dt DATETIME);"
            "INSERT INTO dates VALUES (1, '2024-13-45', '25:61:61', '9999-99-99 99:99:99');"
            "INSERT INTO dates VALUES (2, '0000-00-00', '', 'never');"
            "INSERT INTO dates VALUES (3, 1e20, -1, -1e20);"
            "INSERT INTO dates VALUES (4, x'0102', 'noon', '2024-02-30 12:00:00');");
    Sql(db, "CREATE TABLE \"we\"\"ird [t]able 名\" (\"co\"\"l\" INTEGER PRIMARY KEY, [br[ack] VARCHAR(10), \"b]r\" VARCHAR(10),"
            " \"sp ace\" VARCHAR(10), \"'\" TEXT);"
            "INSERT INTO \"we\"\"ird [t]able 名\" VALUES (1, 'a', 'b', 'c', 'd');");
    Sql(db, "CREATE TABLE no_rowid (k VARCHAR(10) PRIMARY KEY, v INTEGER) WITHOUT ROWID;"
            "INSERT INTO no_rowid VALUES ('a', 1), ('b', 2);"
            "CREATE VIEW a_view AS SELECT qty * 2 AS twice, code FROM mixed_types;"
            "CREATE TABLE empty_table (id INTEGER PRIMARY KEY, name VARCHAR(10));");
    std::string cols, vals;
    for (int i = 0; i < 1000; ++i) {
      cols += (i ? ", c" : "c") + std::to_string(i) + " INTEGER";
      vals += (i ? ", " : "") + std::to_string(i);
    }
    Sql(db, "CREATE TABLE wide (" + cols + "); INSERT INTO wide VALUES (" + vals + ");");
    sqlite3_close(db);
    return {"huge_text", "big_memo", "binary_memo", "nul_rtl", "pictures", "mixed_types", "dates",
            "we\"ird [t]able 名", "no_rowid", "a_view", "wide", "empty_table"};
  }
};

TEST_F(RixgridHostile, EveryTableDrawsToAPicture) {
  const std::vector<std::string> tables = Build();
  // The pictures stay in the build tree for a look.
  const fs::path out = fs::path(RIX_BINARY_DIR) / "hostile";
  fs::create_directories(out);
  for (size_t i = 0; i < tables.size(); ++i) {
    const fs::path png = out / ("table" + std::to_string(i) + ".png");
    for (int rows : {3, 1}) {
      const TMeasured m = Run({"show", Db().string(), "--table", tables[i], "--png", png.string(), "--size",
                               "900x500", "--rows-per-record", std::to_string(rows)});
      std::printf("rixgrid show %-20s rows per record %d: %7.0f ms, peak %5ld MB\n", tables[i].c_str(), rows,
                  m.Millis, m.PeakKB / 1024);
      // Records of three rows need at least four columns.
      if (rows > 1 && m.Code == 1 && m.Err.find("RowsPerRecord") != std::string::npos) continue;
      EXPECT_EQ(m.Code, 0) << tables[i] << ": " << m.Err;
      EXPECT_GT(fs::exists(png) ? fs::file_size(png) : 0u, 1000u) << tables[i];
      // Far above the run-time's own share: a picture that claims gigapixels
      // must not be allocated.
      EXPECT_LT(m.PeakKB, 1024L * 1024) << tables[i];
    }
  }
}

TEST_F(RixgridHostile, SqlTakesOnlyOneQuery) {
  Build();
  const fs::path png = Dir / "q.png";
  for (const char* sql : {"DELETE FROM mixed_types", "SELECT 1; DROP TABLE dates", "DROP TABLE dates",
                          "PRAGMA table_info(dates)", "EXPLAIN SELECT 1", "UPDATE dates SET d = 1 RETURNING *",
                          "ATTACH 'other.db' AS o", "VACUUM", ""}) {
    const TMeasured m = Run({"show", Db().string(), "--sql", sql, "--png", png.string()});
    EXPECT_NE(m.Code, 0) << sql;
    EXPECT_FALSE(m.Err.empty()) << sql;
    EXPECT_FALSE(fs::exists(png)) << sql;
  }
  sqlite3* db = Open();
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "SELECT (SELECT count(*) FROM mixed_types) || ',' || (SELECT count(*) FROM dates)", -1, &s,
                     nullptr);
  ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "4,4") << "nothing written";
  sqlite3_finalize(s);
  sqlite3_close(db);
  EXPECT_EQ(Run({"show", Db().string(), "--sql", "SELECT * FROM \"we\"\"ird [t]able 名\"", "--png", png.string()}).Code,
            0);
  EXPECT_TRUE(fs::exists(png));
}

} // namespace
