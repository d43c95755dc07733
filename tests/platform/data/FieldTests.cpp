#include "DataTestSupport.h"
#include "platform/graphics/Graphics.h"

#include <filesystem>

using namespace rixtest;

namespace {

struct Fields : TDataFixture {
  TMemoryDataSet* DS = new TMemoryDataSet(Owner.get());
  Fields() {
    DS->SetName("Shop");
    DS->FieldDefs()->Add("Code", ftString, 5);
    DS->FieldDefs()->Add("Small", ftSmallint);
    DS->FieldDefs()->Add("Count", ftInteger);
    DS->FieldDefs()->Add("Big", ftLargeint);
    DS->FieldDefs()->Add("Ratio", ftFloat);
    DS->FieldDefs()->Add("Price", ftCurrency);
    DS->FieldDefs()->Add("Flag", ftBoolean);
    DS->FieldDefs()->Add("Day", ftDate);
    DS->FieldDefs()->Add("At", ftTime);
    DS->FieldDefs()->Add("Stamp", ftDateTime);
    DS->FieldDefs()->Add("Notes", ftMemo);
    DS->FieldDefs()->Add("Data", ftBlob);
    DS->FieldDefs()->Add("Photo", ftGraphic);
    DS->CreateDataSet();
    DS->Append();
  }
  TField* F(const char* Name) { return DS->FieldByName(Name); }
};

struct TTextCase {
  const char* Field;
  const char* Typed;
  const char* Display;
  const char* Edit;
};

void PrintTo(const TTextCase& C, std::ostream* Os) { *Os << C.Field << " <- '" << C.Typed << "'"; }

class FieldText : public Fields, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(FieldText, TypedTextReadsBackInDisplayAndEditForms) {
  const TTextCase& c = GetParam();
  F(c.Field)->SetText(c.Typed);
  EXPECT_EQ(F(c.Field)->DisplayText(), c.Display);
  EXPECT_EQ(F(c.Field)->Text(), c.Edit);
  EXPECT_EQ(F(c.Field)->EditText(), c.Edit);
}

INSTANTIATE_TEST_SUITE_P(
    Types, FieldText,
    ::testing::Values(TTextCase{"Code", "ABCDEFG", "ABCDE", "ABCDE"}, TTextCase{"Code", "日本語の文字", "日本語の文", "日本語の文"},
                      TTextCase{"Small", " -42 ", "-42", "-42"}, TTextCase{"Count", "2147483647", "2147483647", "2147483647"},
                      TTextCase{"Big", "9000000000", "9000000000", "9000000000"},
                      TTextCase{"Ratio", "0.25", "0.25", "0.25"}, TTextCase{"Price", "1234567", "\xC2\xA5" "1,234,567", "1234567"},
                      TTextCase{"Price", "\xC2\xA5" "1,500", "\xC2\xA5" "1,500", "1500"}, TTextCase{"Flag", "t", "True", "True"},
                      TTextCase{"Flag", "False", "False", "False"}, TTextCase{"Day", "2024-02-29", "2024/02/29", "2024/02/29"},
                      TTextCase{"At", "7:05", "7:05:00", "7:05:00"},
                      TTextCase{"Stamp", "2024/05/01 13:45:10", "2024/05/01 13:45:10", "2024/05/01 13:45:10"},
                      TTextCase{"Stamp", "2024/05/01", "2024/05/01", "2024/05/01"},
                      TTextCase{"Notes", "memo text", "(MEMO)", "(MEMO)"}, TTextCase{"Count", "", "", ""}),
    [](const auto& I) { return std::string(I.param.Field) + std::to_string(I.index); });

// A time field given a date and time keeps the time of day, and a date field
// the day, as exactly the value their own texts give back: an ancient day
// as well, whose whole-day part is far from zero.
TEST_F(Fields, DateAndTimeFieldsKeepTheValueTheirTextGivesBack) {
  for (const char* typed : {"2024/05/01 3:04:18", "202/1/02 3:04:18", "32/1/01 23:59:59"}) {
    SCOPED_TRACE(typed);
    for (const char* name : {"At", "Day"}) {
      F(name)->SetText(typed);
      const TFieldValue value = F(name)->Value();
      const std::string text = F(name)->Text();
      F(name)->SetText(text);
      EXPECT_TRUE(F(name)->Value() == value) << name << " " << text;
    }
    F("At")->SetText(typed);
    EXPECT_EQ(F("At")->Text(), std::string(typed).substr(std::string(typed).find(' ') + 1));
  }
}

struct TBadCase {
  const char* Field;
  const char* Typed;
};
void PrintTo(const TBadCase& C, std::ostream* Os) { *Os << C.Field << " <- '" << C.Typed << "'"; }
class FieldRejects : public Fields, public ::testing::WithParamInterface<TBadCase> {};

TEST_P(FieldRejects, BadTextRaisesAndKeepsTheOldValue) {
  const TBadCase& c = GetParam();
  TField* f = F(c.Field);
  f->SetText(f->DataType() == ftBoolean ? "True" : f->DataType() == ftDate ? "2020/01/01" : f->DataType() == ftTime ? "1:00" : "1");
  std::string before = f->Text();
  EXPECT_ANY_THROW(f->SetText(c.Typed));
  EXPECT_EQ(f->Text(), before);
}

INSTANTIATE_TEST_SUITE_P(Types, FieldRejects,
                         ::testing::Values(TBadCase{"Small", "40000"}, TBadCase{"Count", "12x"},
                                           TBadCase{"Count", "9999999999"}, TBadCase{"Ratio", "abc"},
                                           TBadCase{"Ratio", "1e999"}, TBadCase{"Flag", "maybe"},
                                           TBadCase{"Day", "2023-02-29"}, TBadCase{"At", "25:00"}),
                         [](const auto& I) { return std::string(I.param.Field) + std::to_string(I.index); });

TEST_F(Fields, NullsReadAsEmptyAndZero) {
  EXPECT_TRUE(F("Count")->IsNull());
  EXPECT_EQ(F("Count")->AsString(), "");
  EXPECT_EQ(F("Count")->AsInteger(), 0);
  EXPECT_FALSE(F("Flag")->AsBoolean());
  EXPECT_EQ(F("Data")->DisplayText(), "(blob)");
  F("Count")->SetAsInteger(5);
  EXPECT_FALSE(F("Count")->IsNull());
  F("Count")->Clear();
  EXPECT_TRUE(F("Count")->IsNull());
}

TEST_F(Fields, ConversionsBetweenRepresentations) {
  F("Code")->SetAsInteger(123);
  EXPECT_EQ(F("Code")->AsInteger(), 123);
  F("Ratio")->SetAsString("2.5");
  EXPECT_EQ(F("Ratio")->AsInteger(), 3);
  F("Count")->SetAsFloat(7.4);
  EXPECT_EQ(F("Count")->AsInteger(), 7);
  F("Big")->SetAsLargeInt(5000000000);
  EXPECT_THROW(F("Big")->AsInteger(), ERangeError);
  EXPECT_THROW(F("Flag")->AsDateTime(), EDatabaseError);
  F("Stamp")->SetAsDateTime(rix::EncodeDateTime(2000, 1, 2, 3, 4, 5));
  EXPECT_EQ(F("Stamp")->AsString(), "2000/01/02 3:04:05");
  F("Day")->SetAsDateTime(rix::EncodeDateTime(2000, 1, 2, 3, 4, 5));
  EXPECT_EQ(F("Day")->AsString(), "2000/01/02");
}

TEST_F(Fields, GetAndSetTextEventsReplaceTheFormats) {
  F("Count")->SetOnGetText([](TField* S, std::string& T, bool Display) {
    T = Display ? "#" + std::to_string(S->AsInteger()) : std::to_string(S->AsInteger());
  });
  F("Count")->SetOnSetText([](TField* S, const std::string& T) { S->SetAsInteger(static_cast<int>(T.size())); });
  F("Count")->SetText("abcd");
  EXPECT_EQ(F("Count")->DisplayText(), "#4");
  EXPECT_EQ(F("Count")->EditText(), "4");
}

TEST_F(Fields, MetadataDefaults) {
  EXPECT_EQ(F("Count")->Alignment(), taRightJustify);
  EXPECT_EQ(F("Code")->Alignment(), taLeftJustify);
  EXPECT_EQ(F("Code")->DisplayWidth(), 5);
  EXPECT_EQ(F("Count")->DisplayWidth(), 11);
  EXPECT_EQ(F("Flag")->DisplayWidth(), 5);
  EXPECT_EQ(F("Code")->DisplayName(), "Code");
  F("Code")->SetDisplayLabel("コード");
  EXPECT_EQ(F("Code")->DisplayName(), "コード");
  EXPECT_TRUE(F("Notes")->IsBlob());
  EXPECT_FALSE(F("Code")->IsBlob());
  EXPECT_EQ(F("Code")->FieldKind(), fkData);
  EXPECT_EQ(F("Code")->Index(), 0);
  EXPECT_EQ(DS->FieldList()->IndexOf(F("Price")), 5);
}

TEST_F(Fields, FieldByNameNamesTheMissingField) {
  EXPECT_EQ(DS->FindField("Nope"), nullptr);
  EXPECT_EQ(DS->FindField("code"), F("Code"));
  try {
    DS->FieldByName("Nope");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "Shop: Field 'Nope' not found");
  }
  EXPECT_THROW(DatabaseError("plain"), EDatabaseError);
}

TEST_F(Fields, WritingIndexReordersFieldsAndFieldList) {
  DS->Post();
  F("Price")->SetIndex(0);
  EXPECT_EQ(DS->Fields()->Fields(0), F("Price"));
  EXPECT_EQ(DS->FieldList()->Fields(0), F("Price"));
  EXPECT_EQ(F("Code")->Index(), 1);
  F("Price")->SetIndex(1000);
  EXPECT_EQ(F("Price")->Index(), DS->FieldCount() - 1);
}

TEST_F(Fields, GetFieldNamesListsFullNames) {
  TStringList names;
  DS->GetFieldNames(&names);
  EXPECT_EQ(names.Count(), 13);
  EXPECT_EQ(names.Strings(0), "Code");
  DS->Cancel();
  DS->Close();
  DS->GetFieldNames(&names);
  EXPECT_EQ(names.Count(), 13);  // from the definitions while closed
}

TEST_F(Fields, BlobsGoThroughStreamsAndFiles) {
  std::string bytes("\x89PNG\0\r\n", 7);
  TMemoryStream in(bytes);
  in.SetPosition(3);  // loading takes the whole stream, from its start
  static_cast<TBlobField*>(F("Photo"))->LoadFromStream(in);
  EXPECT_EQ(static_cast<TBlobField*>(F("Photo"))->BlobSize(), 7);
  EXPECT_EQ(F("Photo")->DisplayText(), "(GRAPHIC)");
  auto path = std::filesystem::temp_directory_path() / ("rix_blob_" + std::to_string(::getpid()));
  static_cast<TBlobField*>(F("Photo"))->SaveToFile(path.string());
  static_cast<TBlobField*>(F("Data"))->LoadFromFile(path.string());
  std::filesystem::remove(path);
  TMemoryStream out;
  static_cast<TBlobField*>(F("Data"))->SaveToStream(out);
  EXPECT_EQ(out.DataString(), bytes);
  EXPECT_THROW(static_cast<TBlobField*>(F("Data"))->LoadFromFile(path.string()), EFOpenError);
  EXPECT_EQ(F("Data")->AsString(), bytes);
}

TEST_F(Fields, GraphicFieldTakesPicturesThroughTheAdapter) {
  struct TFakePicture : TPersistent {
    std::string Bytes;
  } pic;
  pic.Bytes = "GIF89a";
  EXPECT_THROW(F("Photo")->Assign(&pic), EConvertError);
  RegisterGraphicFieldAdapter({[](TPersistent* S, std::string& B) {
                                 auto* p = dynamic_cast<TFakePicture*>(S);
                                 if (p) B = p->Bytes;
                                 return p != nullptr;
                               },
                               [](const std::string& B, TPersistent* D) {
                                 auto* p = dynamic_cast<TFakePicture*>(D);
                                 if (p) p->Bytes = B;
                                 return p != nullptr;
                               }});
  F("Photo")->Assign(&pic);
  EXPECT_EQ(F("Photo")->AsString(), "GIF89a");
  TFakePicture back;
  back.Assign(F("Photo"));
  EXPECT_EQ(back.Bytes, "GIF89a");
  RegisterGraphicFieldAdapter({});
}

TEST_F(Fields, GraphicFieldStoresAndReturnsRealPictures) {
  TBitmap bmp(5, 3);
  bmp.Canvas()->Brush()->SetColor(clRed);
  bmp.Canvas()->FillRect(Rect(0, 0, 5, 3));
  TPicture pic;
  pic.SetGraphic(&bmp);
  F("Photo")->Assign(&pic);
  EXPECT_EQ(F("Photo")->AsString().substr(0, 2), "BM");

  TPicture back;
  back.Assign(F("Photo"));
  ASSERT_NE(back.Graphic(), nullptr);
  EXPECT_EQ(back.Width(), 5);
  EXPECT_EQ(back.Bitmap()->Canvas()->Pixels(2, 1), ColorToRGB(clRed));

  F("Photo")->Clear();
  back.Assign(F("Photo"));
  EXPECT_EQ(back.Graphic(), nullptr);
}

TEST_F(Fields, ReadOnlyFieldRefusesAssignment) {
  F("Code")->SetReadOnly(true);
  EXPECT_FALSE(F("Code")->CanModify());
  EXPECT_THROW(F("Code")->SetAsString("x"), EDatabaseError);
}

TEST_F(Fields, ValidateCanRefuseAndRestoresTheValue) {
  F("Count")->SetAsInteger(1);
  F("Count")->SetOnValidate([](TField* S) {
    if (S->AsInteger() < 0) throw EDatabaseError("negative");
  });
  EXPECT_THROW(F("Count")->SetAsInteger(-5), EDatabaseError);
  EXPECT_EQ(F("Count")->AsInteger(), 1);
}

TEST(FieldDefs, BadDefinitionsRaise) {
  TFieldDefs defs;
  defs.Add("A", ftString, 10);
  EXPECT_THROW(defs.Add("a", ftInteger), EDatabaseError);
  EXPECT_THROW(defs.Add("", ftInteger), EDatabaseError);
  EXPECT_THROW(defs.Add("Arr", ftArray, 0), EDatabaseError);
  EXPECT_THROW(defs.Add("Neg", ftString, -1), EDatabaseError);
  EXPECT_EQ(defs.Count(), 1);
  TMemoryDataSet ds(nullptr);
  EXPECT_THROW(ds.CreateDataSet(), EDatabaseError);
}

} // namespace
