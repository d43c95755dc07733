// rixgrid design run on the sample shop: scripted editor commands give the
// expected form file (read back through rixgrid stream dump), rixgrid show
// draws it, and a command the editor would not offer writes nothing.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using tooltest::TRun;

class RixgridDesignRun : public tooltest::TToolTest {
protected:
  RixgridDesignRun() : TToolTest("rixgrid-design-run") {}

  void SetUp() override {
    TToolTest::SetUp();
    Shop = fs::path(RIX_BINARY_DIR) / "sample" / "shop.db";
    Form = fs::path(RIX_SOURCE_DIR) / "resources" / "demo" / "shop-grid.txt";
    if (!fs::exists(Shop)) GTEST_SKIP() << "the sample database is not built";
  }
  TRun Tool(const std::string& Args) { return Exec(Args, "ASAN_OPTIONS=detect_leaks=0 "); }
  TRun Script(const std::string& Commands, const fs::path& Out) {
    return Tool("design run " + Shop.string() + " --table products --form " + Form.string() + " --do '" + Commands +
                "' -o " + Out.string());
  }
  // The field names of the form file's columns, as stream dump shows them.
  std::vector<std::string> DumpedFieldNames(const fs::path& FormFile) {
    const fs::path bin = Dir / "form.bin";
    TRun build = Tool("stream build " + FormFile.string() + " -o " + bin.string());
    EXPECT_EQ(build.Code, 0) << build.Err;
    TRun dump = Tool("stream dump " + bin.string());
    EXPECT_EQ(dump.Code, 0) << dump.Err;
    std::vector<std::string> names;
    const std::string key = "FieldName = '";
    for (size_t at = dump.Out.find(key); at != std::string::npos; at = dump.Out.find(key, at)) {
      at += key.size();
      names.push_back(dump.Out.substr(at, dump.Out.find('\'', at) - at));
    }
    return names;
  }

  fs::path Shop, Form;
};

TEST_F(RixgridDesignRun, ScriptedChangesGiveTheExpectedFormFile) {
  const fs::path out = Dir / "out.txt";
  TRun run = Script("add; set 10 FieldName=code; up 10; remove 2; set 0 Title.Caption=画像", out);
  ASSERT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(DumpedFieldNames(out), (std::vector<std::string>{"picture", "name", "in_stock", "note", "picture", "kana",
                                                             "stock", "arrived", "code", "note"}));
  EXPECT_NE(tooltest::Slurp(out).find("Title.Caption = '画像'"), std::string::npos);
  EXPECT_NE(tooltest::Slurp(out).find("RowsPerRecord = 2"), std::string::npos);

  // rixgrid show draws the new layout: another picture than the form's own.
  const fs::path before = Dir / "before.png", after = Dir / "after.png";
  for (const auto& [form, png] : {std::pair{Form, before}, std::pair{out, after}}) {
    TRun show = Tool("show " + Shop.string() + " --table products --form " + form.string() + " --png " +
                     png.string() + " --size 640x240");
    ASSERT_EQ(show.Code, 0) << show.Err;
  }
  EXPECT_NE(tooltest::Slurp(before), tooltest::Slurp(after));
}

TEST_F(RixgridDesignRun, AllFieldsThenRestoreDefaultsAndAPictureOfBothWindows) {
  const fs::path out = Dir / "out.txt", png = Dir / "design.png";
  TRun run = Tool("design run " + Shop.string() + " --table products --form " + Form.string() +
                  " --do 'add-all-fields; drag 0 2; restore-defaults' -o " + out.string() + " --png " + png.string());
  ASSERT_EQ(run.Code, 0) << run.Err;
  EXPECT_EQ(DumpedFieldNames(out), (std::vector<std::string>{"code", "name", "id", "kana", "category", "price", "stock",
                                                             "in_stock", "arrived", "note", "picture"}));
  EXPECT_TRUE(fs::file_size(png) > 1000);
}

TEST_F(RixgridDesignRun, ACommandTheEditorWouldNotOfferWritesNothing) {
  const struct {
    const char* Commands;
    const char* Offered;
  } cases[] = {
      {"add; frobnicate", "the editor offers: add, remove N, up N, down N"},
      {"set 0 FieldName=prize", "the editor offers: arrived, category, code, id, in_stock"},
      {"set 0 Colour=clRed", "there are: "},
      {"up 0", "does not offer this now"},
      {"remove 42", "it has: 0 - picture, 1 - name"},
      {"set 1 Alignment=taMiddle", ""},
  };
  for (const auto& c : cases) {
    const fs::path out = Dir / "refused.txt";
    TRun run = Script(c.Commands, out);
    EXPECT_EQ(run.Code, 1) << c.Commands;
    EXPECT_NE(run.Err.find(c.Offered), std::string::npos) << c.Commands << ": " << run.Err;
    EXPECT_FALSE(fs::exists(out)) << c.Commands;
  }
}

TEST_F(RixgridDesignRun, BadCommandLinesAreRefused) {
  const struct {
    std::string Args;
    int Code;
  } cases[] = {
      {"design run", 2},
      {"design run " + Shop.string() + " -o x.txt", 2},
      {"design run " + Shop.string() + " --do add", 2},
      {"design run " + Shop.string() + " --do add --size 3", 2},
      {"design run " + (Dir / "missing.db").string() + " --do add -o x.txt", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Tool(c.Args).Code, c.Code) << c.Args;
  EXPECT_FALSE(fs::exists(Dir / "missing.db"));
}

} // namespace
