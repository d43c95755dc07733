// rixgrid design, run as a user would: the registrations printed, and the
// values the property editors offer for the sample shop's grid.
#include "ToolTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using tooltest::TRun;

std::vector<std::string> Lines(const std::string& S) {
  std::vector<std::string> r;
  std::istringstream in(S);
  for (std::string line; std::getline(in, line);) r.push_back(line);
  return r;
}

class RixgridDesign : public tooltest::TToolTest {
protected:
  RixgridDesign() : TToolTest("rixgrid-design") {}

  void SetUp() override {
    TToolTest::SetUp();
    Shop = fs::path(RIX_BINARY_DIR) / "sample" / "shop.db";
    Form = fs::path(RIX_SOURCE_DIR) / "resources" / "demo" / "shop-grid.txt";
    if (!fs::exists(Shop)) GTEST_SKIP() << "the sample database is not built";
  }
  TRun Run(const std::string& Args) { return Exec("design " + Args, "ASAN_OPTIONS=detect_leaks=0 "); }
  TRun Values(const std::string& Args) { return Run("values " + Form.string() + " " + Shop.string() + " " + Args); }

  fs::path Shop, Form;
};

TEST_F(RixgridDesign, InfoPrintsEachPartAlone) {
  TRun verbs = Run("info --verbs");
  ASSERT_EQ(verbs.Code, 0) << verbs.Err;
  EXPECT_EQ(verbs.Out, "0\tバージョン情報(&A)\n1\tカラム設定(&C)...\n");

  TRun editors = Run("info --editors");
  ASSERT_EQ(editors.Code, 0) << editors.Err;
  EXPECT_EQ(Lines(editors.Out), (std::vector<std::string>{
                                    "property\tstring\tTRixColumn\tFieldName\tTColumnDataFieldProperty",
                                    "property\tstring\tTRixColumn\tKeyField\tTColumnListFieldProperty",
                                    "property\tstring\tTRixColumn\tListField\tTColumnListFieldProperty",
                                    "property\tstring\tTRixColumn\tEditMask\tTMaskProperty",
                                    "property\tTRixDBGridColumns\tTRixDBGrid\t*\tTRixDBGridColumnsProperty",
                                    "component\tTRixDBGrid\tTRixDBGridCompEditor",
                                }));

  TRun categories = Run("info --categories");
  ASSERT_EQ(categories.Code, 0) << categories.Err;
  const auto rows = Lines(categories.Out);
  ASSERT_EQ(rows.size(), 26u);
  EXPECT_EQ(rows.front(), "表示\tTRixCustomDBGrid\tAlternatingRecordColor");
  EXPECT_EQ(rows[12], "旧式\tTRixCustomDBGrid\tFocusRecordColorChange");
  EXPECT_EQ(rows.back(), "旧式\tTRixColumn\tShowMemoText");
}

TEST_F(RixgridDesign, InfoWithoutAnOptionPrintsEverything) {
  TRun all = Run("info");
  ASSERT_EQ(all.Code, 0) << all.Err;
  for (const char* part :
       {"palette:\n  Data Controls\tTRixDBGrid\n", "editors:\n  property\tstring\tTRixColumn\tFieldName",
        "verbs:\n  0\tバージョン情報(&A)\n  1\tカラム設定(&C)...\n", "categories:\n  表示\tTRixCustomDBGrid"})
    EXPECT_NE(all.Out.find(part), std::string::npos) << part;
  EXPECT_EQ(Lines(all.Out).size(), 1u + 2 + 7 + 3 + 27);
}

TEST_F(RixgridDesign, ValuesOfferTheTablesFieldsSorted) {
  const std::string products = "arrived\ncategory\ncode\nid\nin_stock\nkana\nname\nnote\npicture\nprice\nstock\n";
  struct TCase {
    std::string Args, Out;
  };
  for (const TCase& c : {TCase{"FieldName --table products", products},
                         TCase{"fieldname --table products --column 9", products},
                         // The lookup properties offer the list source's fields, and
                         // nothing without one.
                         TCase{"KeyField --table products --column 1 --list-table categories", "id\nname\n"},
                         TCase{"ListField --table products --list-table categories", "id\nname\n"},
                         TCase{"ListField --table products", ""},
                         TCase{"Alignment --table products", "taCenter\ntaLeftJustify\ntaRightJustify\n"},
                         TCase{"Wordrap --table products", "False\nTrue\n"}}) {
    TRun r = Values(c.Args);
    EXPECT_EQ(r.Code, 0) << c.Args << ": " << r.Err;
    EXPECT_EQ(r.Out, c.Out) << c.Args;
  }
}

TEST_F(RixgridDesign, AFormWithoutColumnsOffersTheFirstTablesFields) {
  const fs::path bare = Dir / "bare.txt";
  tooltest::Spit(bare, "object G: TRixDBGrid\nend\n");
  TRun r = Run("values " + bare.string() + " " + Shop.string() + " FieldName --column 1");
  ASSERT_EQ(r.Code, 0) << r.Err;
  EXPECT_EQ(r.Out, "id\nname\n") << "the first table is categories";
}

TEST_F(RixgridDesign, BadInputIsRefusedWithAMessage) {
  const fs::path badForm = Dir / "bad.txt";
  tooltest::Spit(badForm, "object G: TRixDBGrid\n  NoSuchProperty = 1\nend\n");
  const fs::path missing = Dir / "none.db";
  struct TCase {
    std::string Args;
    int Code;
  };
  for (const TCase& c : {TCase{"info --verbs --editors", 2}, TCase{"info --nothing", 2},
                         TCase{"values " + Form.string() + " " + Shop.string(), 2},
                         TCase{"values " + Form.string() + " " + Shop.string() + " FieldName --column x", 2},
                         TCase{"values " + Form.string() + " " + Shop.string() + " FieldName --column", 2},
                         TCase{"values " + Form.string() + " " + Shop.string() + " FieldName --bogus", 2},
                         TCase{"values " + Form.string() + " " + missing.string() + " FieldName", 1},
                         TCase{"values " + badForm.string() + " " + Shop.string() + " FieldName", 1},
                         TCase{"values " + Form.string() + " " + Shop.string() + " FieldName --table nosuch", 1},
                         TCase{"values " + Form.string() + " " + Shop.string() + " NoSuchProperty --table products", 1},
                         TCase{"values " + Form.string() + " " + Shop.string() + " Width --table products", 1},
                         TCase{"values " + Form.string() + " " + Shop.string() + " FieldName --table products --column 10", 1}}) {
    TRun r = Run(c.Args);
    EXPECT_EQ(r.Code, c.Code) << c.Args << ": " << r.Err;
    EXPECT_TRUE(r.Out.empty()) << c.Args;
    EXPECT_FALSE(r.Err.empty()) << c.Args;
  }
  EXPECT_FALSE(fs::exists(missing)) << "a missing database is not created";
}

} // namespace
