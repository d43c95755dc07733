#include "TestClasses.h"

#include <gtest/gtest.h>

using namespace std::string_literals;

namespace {

const char* const Sample = R"(object Form1: TForm
  Caption = 'It''s '#13#10'日本語'
  Tag = -70000
  Flags = [a, b_2]
  Empty = []
  Data = {
    000102FF}
  Lines = (
    'one'
    2
    True)
  Items = <
    item [3]
      Item = 0
      Ref = Other.Thing
    end
    item
    end>
  object Child: TChild [2]
    End = 1
    Object = Item
    Enabled = False
    Handler = nil
  end
  inherited Base: TBase
  end
end
)";

TEST(TextForm, TextToBinaryToTextIsIdentical) {
  std::string bin = rix::TextToBinary(Sample);
  EXPECT_EQ(bin.substr(0, 4), "TPF0");
  EXPECT_EQ(rix::BinaryToText(bin), Sample);
  EXPECT_EQ(rix::TextToBinary(rix::BinaryToText(bin)), bin);
}

TEST(TextForm, BytesThatAreNotTextSurviveAsHashCodes) {
  stt::TBytes b;
  std::string odd = "a\x01\xC3("s + "\xE6\x97\xA5" + "\x7F'"s;
  b.Raw({'T', 'P', 'F', '0'}).Str("TX").Str("").Str("S").Raw({vaString}).Str(odd).Raw({0, 0});
  std::string text = rix::BinaryToText(b.S);
  EXPECT_NE(text.find("S = 'a'#1#195'(日'#127''''"), std::string::npos) << text;
  EXPECT_EQ(rix::TextToBinary(text), b.S);
}

TEST(TextForm, StringPiecesJoinAcrossLines) {
  std::string bin = rix::TextToBinary("object T\n  S = 'ab' +\n    'cd'#65\n  N = $10\nend\n");
  EXPECT_NE(rix::BinaryToText(bin).find("S = 'abcdA'\n  N = 16\n"), std::string::npos);
}

struct TTextCase {
  const char* Name;
  const char* Text;
  const char* Message;
};

void PrintTo(const TTextCase& C, std::ostream* Os) { *Os << C.Message; }

class BadText : public testing::TestWithParam<TTextCase> {};

TEST_P(BadText, RaisesParserErrorNamingTheLine) {
  try {
    rix::TextToBinary(GetParam().Text);
    FAIL() << GetParam().Text;
  } catch (const EParserError& E) {
    EXPECT_NE(E.Message().find(GetParam().Message), std::string::npos) << E.Message();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadText,
    testing::Values(TTextCase{"Empty", "", "Line 1: Expected object"}, TTextCase{"UnterminatedString", "object T\n  A = 'x\nend\n", "Line 2: Unterminated"},
                    TTextCase{"MissingValue", "object T\n  A = \nend", "Line 3: Expected end"},
                    TTextCase{"MissingEnd", "object T\n  A = 1\n", "Line 3: Expected end"},
                    TTextCase{"HugeInteger", "object T\n  A = 99999999999\nend", "Integer out of range"},
                    TTextCase{"OddHex", "object T\n  A = {0F1}\nend", "odd number"},
                    TTextCase{"BadHex", "object T\n  A = {0G}\nend", "Invalid binary data"},
                    TTextCase{"TrailingComma", "object T\n  A = [a,]\nend", "Expected a set element"},
                    TTextCase{"JunkInCollection", "object T\n  A = <\n  junk>\nend", "Line 3: Expected item"},
                    TTextCase{"HashBeyondByte", "object T\n  A = #300\nend", "not a byte"},
                    TTextCase{"TwoRoots", "object T\nend\nobject U\nend", "Line 3: Expected the end"},
                    TTextCase{"UnclosedList", "object T\n  A = (1\nend", "Expected ')'"},
                    TTextCase{"Float", "object T\n  A = 1.5\nend", "Invalid number"},
                    TTextCase{"DottedClass", "object T.U\nend", "Line 1: Expected a class name"},
                    TTextCase{"DottedName", "object A.B: T\nend", "Line 1: Expected a class name"}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(TextForm, MalformedBinaryRaisesReadError) {
  std::string bin = rix::TextToBinary("object T\n  A = 1\nend\n");
  EXPECT_THROW(rix::BinaryToText(bin + "x"), EReadError);  // data after the root
  EXPECT_THROW(rix::BinaryToText(bin.substr(0, bin.size() - 1)), EReadError);
  std::string badName = bin;
  badName[badName.find('A')] = ' ';
  EXPECT_THROW(rix::BinaryToText(badName), EReadError);
  std::string unsupported = bin;
  unsupported[unsupported.find('A') + 1] = vaExtended;
  EXPECT_THROW(rix::BinaryToText(unsupported), EReadError);
}

// A class name's length byte leads an object's binary form; from 240 bytes
// on it would read as a flags byte, so the text form refuses such a name.
TEST(TextForm, AClassNameWhoseLengthReadsAsFlagsIsRefused) {
  EXPECT_THROW(rix::TextToBinary("object " + std::string(240, 'T') + "\nend\n"), EParserError);
  const std::string fits(239, 'T');
  const std::string bin = rix::TextToBinary("object " + fits + "\nend\n");
  EXPECT_NE(rix::BinaryToText(bin).find(fits), std::string::npos);
}

TEST(TextForm, NestingIsBounded) {
  std::string deep = "object T\n  A = " + std::string(500, '(') + std::string(500, ')') + "\nend\n";
  EXPECT_THROW(rix::TextToBinary(deep), EParserError);
}

} // namespace
