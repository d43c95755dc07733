#include "platform/core/Core.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class TCountingList : public TList {
public:
  int Added = 0, Deleted = 0, Extracted = 0;

protected:
  void Notify(void*, TListNotification A) override {
    (A == lnAdded ? Added : A == lnDeleted ? Deleted : Extracted)++;
  }
};

TEST(List, KeepsOrderAndNotifies) {
  int a = 1, b = 2, c = 3;
  TCountingList l;
  l.Add(&a);
  l.Add(&c);
  l.Insert(1, &b);
  EXPECT_EQ(l.ItemAs<int>(1), &b);
  EXPECT_EQ(l.IndexOf(&c), 2);
  l.Move(2, 0);
  EXPECT_EQ(l.First(), &c);
  l.Exchange(0, 2);
  EXPECT_EQ(l.Last(), &c);
  EXPECT_EQ(l.Remove(&b), 0);  // [b, a, c] after the exchange
  EXPECT_EQ(l.Extract(&a), &a);
  EXPECT_EQ(l.Extract(&a), nullptr);
  EXPECT_EQ(l.Added, 3);
  EXPECT_EQ(l.Deleted, 1);
  EXPECT_EQ(l.Extracted, 1);
  l.SetCount(3);
  l.Pack();
  EXPECT_EQ(l.Count(), 1);
  l.Sort([](void* x, void* y) { return *static_cast<int*>(x) - *static_cast<int*>(y); });
  l.Clear();
  EXPECT_EQ(l.Count(), 0);
}

TEST(List, BadIndexesRaiseListError) {
  TList l;
  EXPECT_THROW(l.Items(0), EListError);
  EXPECT_THROW(l.Delete(-1), EListError);
  EXPECT_THROW(l.Insert(1, nullptr), EListError);
  EXPECT_THROW(l.SetCount(-1), EListError);
  EXPECT_THROW(l.Move(0, 0 + 1), EListError);
}

struct TLocaleCase {
  const char* Name;
  int Id;
};
void PrintTo(const TLocaleCase& C, std::ostream* Os) { *Os << '"' << C.Name << '"'; }

class LocaleName : public testing::TestWithParam<TLocaleCase> {};

TEST_P(LocaleName, MapsToThePrimaryLanguageId) {
  EXPECT_EQ(rix::LanguageIdFromLocaleName(GetParam().Name), GetParam().Id);
}

INSTANTIATE_TEST_SUITE_P(Names, LocaleName,
                         testing::Values(TLocaleCase{"ko_KR.UTF-8", 0x12}, TLocaleCase{"ko", 0x12},
                                         TLocaleCase{"ja_JP.eucJP", 0x11}, TLocaleCase{"zh_TW.UTF-8", 0x04},
                                         TLocaleCase{"de_DE@euro", 0x07}, TLocaleCase{"C", 0x09},
                                         TLocaleCase{"POSIX", 0x09}, TLocaleCase{"", 0x09},
                                         TLocaleCase{"xx_YY", 0x09}));

TEST(Locale, ComesFromTheEnvironmentInPosixOrder) {
  const char* saved[3];
  const char* vars[3] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::string keep[3];
  for (int i = 0; i < 3; ++i) {
    saved[i] = std::getenv(vars[i]);
    if (saved[i]) keep[i] = saved[i];
  }
  unsetenv("LC_ALL");
  setenv("LC_CTYPE", "ja_JP.UTF-8", 1);
  setenv("LANG", "ko_KR.UTF-8", 1);
  ReloadSysLocale();
  EXPECT_EQ(SysLocale().PriLangID, LANG_JAPANESE);
  unsetenv("LC_CTYPE");
  ReloadSysLocale();
  EXPECT_EQ(SysLocale().PriLangID, LANG_KOREAN);
  EXPECT_TRUE(SysLocale().FarEast);
  for (int i = 0; i < 3; ++i)
    if (saved[i]) setenv(vars[i], keep[i].c_str(), 1); else unsetenv(vars[i]);
  ReloadSysLocale();
}

TEST(Locale, OverrideLastsForItsScope) {
  int before = SysLocale().PriLangID;
  {
    TSysLocaleOverride korean(LANG_KOREAN);
    EXPECT_EQ(SysLocale().PriLangID, 0x12);
    EXPECT_TRUE(SysLocale().FarEast);
  }
  EXPECT_EQ(SysLocale().PriLangID, before);
}

// The grid's option set: 16 values, default set $D9BD.
enum TOpt { o0, o1, o2, o3, o4, o5, o6, o7, o8, o9, o10, o11, o12, o13, o14, o15 };
TEST(Basics, SetBitsStartAtBitZero) {
  TSet<TOpt, 16> s{o0, o2, o3, o4, o5, o7, o8, o11, o12, o14, o15};
  EXPECT_EQ(s.ToInt(), 0xD9BDu);
  EXPECT_EQ((s + o1).ToInt(), 0xD9BFu);
  EXPECT_FALSE((s - o0).Contains(o0));
}

TEST(Basics, OverflowRaisesIntOverflow) {
  EXPECT_THROW(rix::CheckedAdd(INT32_MAX, 1), EIntOverflow);
  EXPECT_THROW(rix::CheckedMul(1 << 20, 1 << 12), EIntOverflow);
  rix::TByteCounter lock;
  for (int i = 0; i < 255; ++i) lock.Inc();
  EXPECT_THROW(lock.Inc(), EIntOverflow);
  EXPECT_EQ(lock.Value(), 255);
}

} // namespace
