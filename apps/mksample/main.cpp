// mksample: builds the bundled sample database. Runs the SQL script, then
// gives every product a small picture (even ids PNG, odd ids BMP, so both
// formats are exercised) drawn with the grid's own canvas.
//
//   mksample SCRIPT.sql OUT.db
//
// The database is written to a temporary file and renamed into place, so an
// interrupted build never leaves a half-filled database behind.
#include <RixDBGrids.h>

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

namespace {

struct TDbCloser {
  void operator()(sqlite3* Db) const { sqlite3_close(Db); }
};
struct TStmtCloser {
  void operator()(sqlite3_stmt* S) const { sqlite3_finalize(S); }
};
using TDb = std::unique_ptr<sqlite3, TDbCloser>;
using TStmt = std::unique_ptr<sqlite3_stmt, TStmtCloser>;

[[noreturn]] void Fail(sqlite3* Db, const std::string& What) {
  throw Exception(What + ": " + (Db != nullptr ? sqlite3_errmsg(Db) : "cannot open"));
}

// One colour per category, soft enough to carry white text.
TColor CategoryColor(int Category) {
  static const TColor colors[] = {RGB(0x5B, 0x8F, 0xD0), RGB(0xD9, 0x4F, 0x4F), RGB(0x4C, 0xA6, 0x5A),
                                  RGB(0x3E, 0x8E, 0xA8), RGB(0xC7, 0x8B, 0x2E), RGB(0x8E, 0x6B, 0xB8)};
  return colors[static_cast<unsigned>(Category) % 6];
}

// The first character of a UTF-8 string.
std::string FirstChar(const std::string& S) {
  if (S.empty()) return S;
  auto c = static_cast<unsigned char>(S[0]);
  size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
  return S.substr(0, std::min(n, S.size()));
}

std::string Picture(int Id, int Category, const std::string& Name, bool Png) {
  TBitmap bmp(64, 48);
  TCanvas* c = bmp.Canvas();
  c->Brush()->SetColor(RGB(0xF4, 0xF1, 0xEA));
  c->FillRect(Rect(0, 0, 64, 48));
  TColor color = CategoryColor(Category);
  c->Brush()->SetColor(color);
  c->Pen()->SetColor(color);
  int shift = (Id * 7) % 12;
  c->Ellipse(8 + shift, 4, 48 + shift, 44);
  c->Font()->SetName("IPAGothic");
  c->Font()->SetHeight(-24);
  c->Font()->SetColor(clWhite);
  c->Font()->SetStyle(TFontStyles{fsBold});
  c->Brush()->SetStyle(bsClear);
  std::string ch = FirstChar(Name);
  TSize ext = c->TextExtent(ch);
  c->TextOut(28 + shift - ext.cx / 2, 24 - ext.cy / 2, ch);
  TMemoryStream s;
  if (Png)
    bmp.SaveToPNGStream(s);
  else
    bmp.SaveToStream(s);
  return s.DataString();
}

void Build(const std::string& ScriptPath, const std::string& OutPath) {
  std::ifstream in(ScriptPath, std::ios::binary);
  if (!in) throw EFOpenError("Cannot open file \"" + ScriptPath + "\"");
  std::stringstream script;
  script << in.rdbuf();

  std::string tmp = OutPath + ".tmp";
  std::filesystem::remove(tmp);
  sqlite3* raw = nullptr;
  if (sqlite3_open(tmp.c_str(), &raw) != SQLITE_OK) {
    TDb guard(raw);
    Fail(raw, "Cannot create " + tmp);
  }
  TDb db(raw);
  char* err = nullptr;
  if (sqlite3_exec(db.get(), script.str().c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err != nullptr ? err : "unknown error";
    sqlite3_free(err);
    throw Exception(ScriptPath + ": " + msg);
  }

  sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* rs = nullptr;
  if (sqlite3_prepare_v2(db.get(), "SELECT id, category, name FROM products ORDER BY id", -1, &rs, nullptr) != SQLITE_OK)
    Fail(db.get(), "Cannot read products");
  TStmt rows(rs);
  sqlite3_stmt* us = nullptr;
  if (sqlite3_prepare_v2(db.get(), "UPDATE products SET picture = ? WHERE id = ?", -1, &us, nullptr) != SQLITE_OK)
    Fail(db.get(), "Cannot prepare the picture update");
  TStmt update(us);
  while (sqlite3_step(rows.get()) == SQLITE_ROW) {
    int id = sqlite3_column_int(rows.get(), 0);
    int category = sqlite3_column_int(rows.get(), 1);
    std::string name = reinterpret_cast<const char*>(sqlite3_column_text(rows.get(), 2));
    std::string bytes = Picture(id, category, name, id % 2 == 0);
    sqlite3_reset(update.get());
    sqlite3_bind_blob(update.get(), 1, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(update.get(), 2, id);
    if (sqlite3_step(update.get()) != SQLITE_DONE) Fail(db.get(), "Cannot store the picture of product " + std::to_string(id));
  }
  if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, &err) != SQLITE_OK) {
    std::string msg = err != nullptr ? err : "unknown error";
    sqlite3_free(err);
    throw Exception("Cannot commit: " + msg);
  }
  rows.reset();
  update.reset();
  db.reset();
  std::filesystem::rename(tmp, OutPath);
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: mksample SCRIPT.sql OUT.db\n";
    return 2;
  }
  try {
    Build(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::cerr << "mksample: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
