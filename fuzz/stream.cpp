// Feeds arbitrary bytes to the component stream reader (into a registered
// column-set-like wrapper) and to both text conversions, and checks that
// whatever is accepted round-trips.
#include <RixDBGrids.h>

#include <cstdlib>
#include <memory>

namespace {

enum TKind { kA, kB, kC };
enum TFlag { fX, fY, fZ };
using TFlags = TSet<TFlag, 3>;

class TFuzzTitle : public TPersistent {
  RIX_CLASS_NAME(TFuzzTitle)
  RIX_PUBLISHED(TFuzzTitle)
public:
  std::string Caption;
  TFlags Flags;
};

class TFuzzItem : public TCollectionItem {
  RIX_CLASS_NAME(TFuzzItem)
  RIX_PUBLISHED(TFuzzItem)
public:
  using TCollectionItem::TCollectionItem;
  TKind Kind = kA;
  std::int32_t Color = 0;
  bool On = true;
  unsigned char Small = 0;
  std::string Name;
  TFuzzTitle Title;
  TStringList List;
  TComponent* Ref = nullptr;
  std::string Blob;
  void DefineProperties(TFiler* Filer) override {
    Filer->DefineBinaryProperty(
        "Blob",
        [this](TStream& S) {
          Blob.assign(static_cast<size_t>(S.Size()), '\0');
          S.ReadBuffer(Blob.data(), S.Size());
        },
        [this](TStream& S) { S.WriteBytes(Blob); }, !Blob.empty());
  }
};

class TFuzzItems : public TCollection {
  RIX_CLASS_NAME(TFuzzItems)
public:
  TFuzzItems() : TCollection(rix::ItemClass<TFuzzItem>()) {}
};

class TFuzzWrapper : public TComponent {
  RIX_CLASS_NAME(TFuzzWrapper)
  RIX_PUBLISHED(TFuzzWrapper)
public:
  using TComponent::TComponent;
  TFuzzItems Items;
};

RIX_IMPLEMENT_PUBLISHED(TFuzzTitle, TPersistent)
void TFuzzTitle::DeclareProperties(rix::TClassBuilder<TFuzzTitle>& B) {
  B.Property("Caption", StringTypeInfo(), [](TFuzzTitle* T) { return T->Caption; },
             [](TFuzzTitle* T, const std::string& V) { T->Caption = V; });
  B.Property("Flags", SetTypeInfo("TFuzzFlags", EnumTypeInfo("TFuzzFlag", {"fX", "fY", "fZ"})),
             [](TFuzzTitle* T) { return T->Flags; }, [](TFuzzTitle* T, TFlags V) { T->Flags = V; });
}

RIX_IMPLEMENT_PUBLISHED(TFuzzItem, TCollectionItem)
void TFuzzItem::DeclareProperties(rix::TClassBuilder<TFuzzItem>& B) {
  B.Property("Kind", EnumTypeInfo("TFuzzKind", {"kA", "kB", "kC"}), [](TFuzzItem* I) { return I->Kind; },
             [](TFuzzItem* I, TKind V) { I->Kind = V; }).Default(kA);
  B.Property("Color", IntegerTypeInfo("TFuzzColor"), [](TFuzzItem* I) { return I->Color; },
             [](TFuzzItem* I, std::int32_t V) { I->Color = V; });
  B.Property("On", BooleanTypeInfo(), [](TFuzzItem* I) { return I->On; }, [](TFuzzItem* I, bool V) { I->On = V; });
  B.Property("Small", IntegerTypeInfo(), [](TFuzzItem* I) { return I->Small; },
             [](TFuzzItem* I, unsigned char V) { I->Small = V; }).Default(0);
  B.Property("Name", StringTypeInfo(), [](TFuzzItem* I) { return I->Name; },
             [](TFuzzItem* I, const std::string& V) { I->Name = V; });
  B.Property("Title", ClassTypeInfo("TFuzzTitle"), [](TFuzzItem* I) { return &I->Title; }, nullptr);
  B.Property("List", ClassTypeInfo("TStringList"), [](TFuzzItem* I) { return &I->List; }, nullptr);
  B.Property("Ref", ClassTypeInfo("TComponent"), [](TFuzzItem* I) { return I->Ref; },
             [](TFuzzItem* I, TComponent* V) { I->Ref = V; });
}

RIX_IMPLEMENT_PUBLISHED(TFuzzWrapper, TComponent)
void TFuzzWrapper::DeclareProperties(rix::TClassBuilder<TFuzzWrapper>& B) {
  B.Property("Items", ClassTypeInfo("TFuzzItems"), [](TFuzzWrapper* W) { return &W->Items; }, nullptr);
}

void Check(bool Ok) {
  if (!Ok) std::abort();
}

std::string Save(TFuzzWrapper& W) {
  TMemoryStream s;
  WriteComponent(s, &W);
  return s.DataString();
}

void ReadIntoWrapper(const std::string& Bytes) {
  TFuzzWrapper w(nullptr);
  TMemoryStream s(Bytes);
  try {
    ReadComponent(s, &w);
  } catch (const EReadError&) {
    return;
  }
  // What was read writes a stream that reads back to the same stream.
  std::string once = Save(w);
  TFuzzWrapper again(nullptr);
  TMemoryStream s2(once);
  ReadComponent(s2, &again);
  Check(Save(again) == once);
}

void BinaryToText(const std::string& Bytes) {
  std::string text;
  try {
    text = rix::BinaryToText(Bytes);
  } catch (const EReadError&) {
    return;
  }
  std::string bin = rix::TextToBinary(text);
  Check(rix::BinaryToText(bin) == text);
}

void TextToBinary(const std::string& Text) {
  std::string bin;
  try {
    bin = rix::TextToBinary(Text);
  } catch (const EParserError&) {
    return;
  }
  Check(rix::TextToBinary(rix::BinaryToText(bin)) == bin);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, size_t Size) {
  std::string bytes(reinterpret_cast<const char*>(Data), Size);
  ReadIntoWrapper(bytes);
  BinaryToText(bytes);
  TextToBinary(bytes);
  return 0;
}
