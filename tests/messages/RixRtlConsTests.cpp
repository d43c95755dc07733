#include "messages/RixRtlCons.h"

#include <gtest/gtest.h>

namespace {

TEST(RixRtlCons, TextsAreReachableByIdInResourceOrder) {
  struct Case { int Id; std::string Text; };
  const Case cases[] = {
      {65520, "入力済みの項目を削除してもよいですか？"},
      {65521, "このフォルダにはすでに同名のファイルが存在します。上書きしますか？"},
      {65522, "RowsPerRecord の数は列数より小さくなければなりません"},
      {65523, "クリップボードから読み込み"},
      {65524, "クリップボードに保存"},
      {65525, "ファイルから読み込み"},
      {65526, "ファイルに保存"},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadResString(c.Id), c.Text) << c.Id;
  EXPECT_EQ(LoadResString(65519), "");
  EXPECT_EQ(LoadResString(65527), "");
}

TEST(RixRtlCons, NamedTextsMatchTheirIds) {
  EXPECT_EQ(std::string(SRowsPerRecordTooBig), LoadResString(SRowsPerRecordTooBig.Id));
  EXPECT_EQ(SMemuLoadFromFile.Id, 65525);
}

} // namespace
