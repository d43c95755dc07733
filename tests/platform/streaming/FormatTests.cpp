#include "TestClasses.h"

#include <gtest/gtest.h>

using namespace stt;

namespace {

std::string Save(TColumnsLike& Columns) {
  TRixColumnsWrapper w(nullptr);
  w.SetColumns(&Columns);
  TMemoryStream s;
  WriteComponent(s, &w);
  return s.DataString();
}

void Load(const std::string& Bytes, TColumnsLike& Into) {
  TRixColumnsWrapper w(nullptr);
  w.SetColumns(&Into);
  TMemoryStream s(Bytes);
  ReadComponent(s, &w);
}

TEST(StreamFormat, EmptyColumnSetIsThe36ByteLayout) {
  TColumnsLike cols;
  TBytes expected;
  expected.Raw({'T', 'P', 'F', '0'}).Str("TRixColumnsWrapper").Raw({0}).Str("Columns").Raw({0x0E, 0, 0, 0});
  std::string bytes = Save(cols);
  EXPECT_EQ(bytes.size(), 36u);
  EXPECT_EQ(bytes, expected.S);
}

TEST(StreamFormat, FreshColumnWritesOnlyItsUndefaultedProperties) {
  TColumnsLike cols;
  cols.AddColumn()->SetFieldName("CustNo");
  // Expanded reads false for a column that is not an expanded object column.
  cols.Column(0)->SetExpanded(false);
  TBytes ordered;
  ordered.Raw({'T', 'P', 'F', '0'}).Str("TRixColumnsWrapper").Raw({0}).Str("Columns").Raw({0x0E, 0x01});
  ordered.Str("DropDownWidth").Raw({vaInt8, 0}).Str("Expanded").Raw({vaFalse});
  ordered.Str("FieldName").Raw({vaString}).Str("CustNo").Str("Visible").Raw({vaTrue});
  ordered.Raw({0, 0, 0, 0});
  EXPECT_EQ(Save(cols), ordered.S);
}

TEST(StreamFormat, IntegersTakeTheSmallestForm) {
  struct TCase {
    int Value;
    std::vector<int> Bytes;
  };
  for (const TCase& c : {TCase{127, {vaInt8, 0x7F}}, TCase{-128, {vaInt8, 0x80}}, TCase{128, {vaInt16, 0x80, 0}},
                         TCase{-32768, {vaInt16, 0x00, 0x80}}, TCase{32768, {vaInt32, 0, 0x80, 0, 0}},
                         TCase{-70000, {vaInt32, 0x90, 0xEE, 0xFE, 0xFF}}}) {
    TMemoryStream s;
    TWriter(s).WriteInteger(c.Value);
    std::string expected;
    for (int b : c.Bytes) expected += static_cast<char>(b);
    EXPECT_EQ(s.DataString(), expected) << c.Value;
  }
  TMemoryStream s;
  EXPECT_THROW(TWriter(s).WriteInteger(std::int64_t(1) << 33), EWriteError);
}

TEST(StreamFormat, StringsOver255BytesUseTheLongForm) {
  TMemoryStream s;
  TWriter w(s);
  w.WriteString(std::string(255, 'a'));
  w.WriteString(std::string(256, 'b'));
  const std::string d = s.DataString();
  EXPECT_EQ(static_cast<std::uint8_t>(d[0]), vaString);
  EXPECT_EQ(static_cast<std::uint8_t>(d[1]), 255);
  EXPECT_EQ(static_cast<std::uint8_t>(d[257]), vaLString);
  EXPECT_EQ(d.substr(258, 4), std::string("\x00\x01\x00\x00", 4));
  EXPECT_THROW(w.WriteStr(std::string(256, 'x')), EWriteError);
}

// One column whose Width, DropDownWidth and FieldName are written in the form
// the case names; every form must read the same values.
struct TFormCase {
  const char* Name;
  std::vector<int> Width;
  bool LongString;
};

class ReaderForms : public testing::TestWithParam<TFormCase> {};

TEST_P(ReaderForms, AcceptEveryIntegerAndStringForm) {
  const TFormCase& c = GetParam();
  TBytes b;
  b.Raw({'T', 'P', 'F', '0'}).Str("TRixColumnsWrapper").Raw({0}).Str("Columns").Raw({0x0E, 0x01});
  b.Str("Width");
  for (int x : c.Width) b.Raw({x});
  b.Str("FieldName");
  if (c.LongString)
    b.Raw({vaLString, 3, 0, 0, 0}).S += "Abc";
  else
    b.Raw({vaString}).Str("Abc");
  b.Str("Title.Caption").Raw({vaLString, 6, 0, 0, 0}).S += "日本";
  b.Raw({0, 0, 0, 0});
  TColumnsLike cols;
  Load(b.S, cols);
  ASSERT_EQ(cols.Count(), 1);
  EXPECT_EQ(cols.Column(0)->Width(), 300);
  EXPECT_EQ(cols.Column(0)->FieldName(), "Abc");
  EXPECT_EQ(cols.Column(0)->Title()->Caption(), "日本");
}

INSTANTIATE_TEST_SUITE_P(Forms, ReaderForms,
                         testing::Values(TFormCase{"Int16Short", {vaInt16, 0x2C, 0x01}, false},
                                         TFormCase{"Int32Short", {vaInt32, 0x2C, 0x01, 0, 0}, false},
                                         TFormCase{"Int16Long", {vaInt16, 0x2C, 0x01}, true},
                                         TFormCase{"Int32Long", {vaInt32, 0x2C, 0x01, 0, 0}, true}),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(StreamFormat, OneByteIntegersReadToo) {
  TBytes b;
  b.Raw({'T', 'P', 'F', '0'}).Str("TRixColumnsWrapper").Raw({0}).Str("Columns").Raw({0x0E, 0x01});
  b.Str("Width").Raw({vaInt8, 0xF6}).Raw({0, 0, 0, 0});
  TColumnsLike cols;
  Load(b.S, cols);
  EXPECT_EQ(cols.Column(0)->Width(), -10);
}

} // namespace
