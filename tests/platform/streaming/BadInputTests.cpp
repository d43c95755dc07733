#include "TestClasses.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

using namespace stt;

namespace {

TBytes Header() {
  TBytes b;
  b.Raw({'T', 'P', 'F', '0'}).Str("TRixColumnsWrapper").Raw({0}).Str("Columns").Raw({0x0E, 0x01});
  return b;
}

std::string Full() {
  TBytes b = Header();
  b.Str("FieldName").Raw({vaString}).Str("Name");
  b.Str("Title.Caption").Raw({vaString}).Str("名前");
  b.Str("PickList.Strings").Raw({vaList, vaString}).Str("a").Raw({vaLString, 1, 0, 0, 0, 'b', vaNull});
  b.Str("Width").Raw({vaInt16, 0x10, 0x01});
  b.Raw({0, 0, 0, 0});
  return b.S;
}

// The error a load raises, or "" when it loads.
std::string LoadError(const std::string& Bytes, TColumnsLike* Into = nullptr) {
  TColumnsLike local;
  TRixColumnsWrapper w(nullptr);
  w.SetColumns(Into != nullptr ? Into : &local);
  TMemoryStream s(Bytes);
  try {
    ReadComponent(s, &w);
  } catch (const EReadError& E) {
    EXPECT_FALSE(w.ComponentState().Contains(csLoading));
    EXPECT_FALSE(w.ComponentState().Contains(csReading));
    return E.Message();
  }
  return "";
}

TEST(BadStream, EveryTruncationRaisesReadErrorWithOffset) {
  const std::string full = Full();
  ASSERT_EQ(LoadError(full), "");
  for (size_t n = 0; n < full.size(); ++n) {
    std::string msg = LoadError(full.substr(0, n));
    EXPECT_NE(msg.find("at offset"), std::string::npos) << n << ": " << msg;
  }
  EXPECT_NE(LoadError(full.substr(0, 60)).find("property Columns[0]"), std::string::npos);
}

struct TBadCase {
  const char* Name;
  std::string Bytes;
  const char* Message;
};

void PrintTo(const TBadCase& C, std::ostream* Os) { *Os << C.Name; }

class BadStreams : public testing::TestWithParam<TBadCase> {};

TEST_P(BadStreams, RaiseReadErrorNamingOffsetAndProperty) {
  std::string msg = LoadError(GetParam().Bytes);
  EXPECT_NE(msg.find(GetParam().Message), std::string::npos) << msg;
}

std::string Item(const TBytes& Props) { return Header().S + Props.S + std::string(4, '\0'); }

INSTANTIATE_TEST_SUITE_P(
    Cases, BadStreams,
    testing::Values(
        TBadCase{"WrongSignature", "TPF1\x12TRixColumnsWrapper", "no TPF0 signature at offset 0"},
        TBadCase{"Empty", "", "no TPF0 signature at offset 0"},
        TBadCase{"UnknownProperty", Item(TBytes().Str("Colour").Raw({vaInt8, 1})),
                 "Property Colour does not exist at offset 34 (property Columns[0].Colour)"},
        TBadCase{"UnknownNestedProperty", Item(TBytes().Str("Title.Font.Size").Raw({vaInt8, 1})),
                 "Property Title.Font.Size does not exist"},
        TBadCase{"WrongKind", Item(TBytes().Str("Width").Raw({vaString}).Str("x")),
                 "Expected an integer, found vaString at offset 40 (property Columns[0].Width)"},
        TBadCase{"UnknownTag", Item(TBytes().Str("Width").Raw({0x55})), "Invalid value tag 85 at offset 40"},
        TBadCase{"LengthBeyondData", Item(TBytes().Str("FieldName").Raw({vaLString, 0xFF, 0xFF, 0xFF, 0x7F})),
                 "exceeds the"},
        TBadCase{"NegativeLength", Item(TBytes().Str("FieldName").Raw({vaLString, 0xFF, 0xFF, 0xFF, 0xFF})),
                 "Negative length"},
        TBadCase{"BinaryBeyondData", Item(TBytes().Str("Glyph.Data").Raw({vaBinary, 0, 0, 0, 1})), "exceeds the"},
        TBadCase{"UnknownEnum", Item(TBytes().Str("Alignment").Raw({vaIdent}).Str("taMiddle")),
                 "Invalid property value taMiddle"},
        TBadCase{"UnknownColour", Item(TBytes().Str("Color").Raw({vaIdent}).Str("clPuce")),
                 "Invalid property value clPuce"},
        TBadCase{"UnknownSetElement", Item(TBytes().Str("Title.Font.Style").Raw({vaSet}).Str("fsWide").Raw({0})),
                 "Invalid set element fsWide"},
        TBadCase{"OutOfRangeForSetter", Item(TBytes().Str("Width").Raw({vaInt32, 0xA0, 0x86, 0x01, 0x02})),
                 "Width too large at offset 40 (property Columns[0].Width)"},
        TBadCase{"NegativeForUnsigned", Item(TBytes().Str("DropDownWidth").Raw({vaInt8, 0xFF})), "Range check error"},
        TBadCase{"EventWithoutMethod", Item(TBytes().Str("OnClick").Raw({vaIdent}).Str("Click")),
                 "Method Click not found"},
        TBadCase{"MissingListEnd", Header().S + "\x05Width\x02\x01\x05Width", "Unexpected end of stream at offset 48"},
        TBadCase{"CollectionWhereItemExpected", Header().S.substr(0, Header().S.size() - 1) + "\x07", "Expected vaList, found vaIdent at offset 33"},
        TBadCase{"ComponentAsNestedPath", Item(TBytes().Str("PopupMenu.Name").Raw({vaString}).Str("x")),
                 "does not exist"},
        TBadCase{"ReadOnlyObjectGivenAValue", Item(TBytes().Str("Title").Raw({vaIdent}).Str("X")),
                 "Invalid property value"}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(BadStream, DeepNestingIsRefusedNotRecursed) {
  std::string s = "TPF0\x06TThing\x00\x01P"s;
  for (int i = 0; i < 10000; ++i) s += '\x01';
  EXPECT_THROW(rix::BinaryToText(s), EReadError);
}

TEST(BadStream, FailedReadCreatesNothingAndFreesWhatItMade) {
  rix::RegisterClass<TMenuLike>();
  TFormLike form(nullptr);
  form.SetName("F");
  TBytes b;
  b.Raw({'T', 'P', 'F', '0'}).Str("TFormLike").Str("F").Raw({0});
  b.Str("TMenuLike").Str("M1").Raw({0, 0});
  b.Str("TMenuLike").Str("M2").Str("Bogus").Raw({vaInt8, 1, 0, 0, 0});
  TMemoryStream s(b.S);
  EXPECT_THROW(ReadComponent(s, &form), EReadError);
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_FALSE(form.ComponentState().Contains(csLoading));

  TBytes unknown;
  unknown.Raw({'T', 'P', 'F', '0'}).Str("TNoSuchClass").Str("").Raw({0, 0});
  TMemoryStream u(unknown.S);
  try {
    ReadComponent(u, nullptr);
    FAIL();
  } catch (const EReadError& E) {
    EXPECT_NE(E.Message().find("Class TNoSuchClass not found at offset 4"), std::string::npos);
  }
}

TEST(BadStream, ReadingACollectionTwiceDropsStaleReferences) {
  // The second "Columns" frees the items the first one made, including one
  // with a pending component reference.
  TBytes b = Header();
  b.Str("PopupMenu").Raw({vaIdent}).Str("Nobody").Raw({0, 0});
  b.Str("Columns").Raw({0x0E, 0x01, 0, 0});
  b.Raw({0, 0});
  TColumnsLike cols;
  EXPECT_EQ(LoadError(b.S, &cols), "");
  EXPECT_EQ(cols.Count(), 1);
}

} // namespace
