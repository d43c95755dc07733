#include "TestClasses.h"

namespace stt {

const TTypeInfo* ColorType() { return IntegerTypeInfo("TTestColor"); }

void RegisterTestColors() {
  RegisterIntegerConsts(
      ColorType(),
      [](const std::string& Ident, std::int64_t& V) {
        if (SameText(Ident, "clWindow")) V = clWindow;
        else if (SameText(Ident, "clRed")) V = clRed;
        else return false;
        return true;
      },
      [](std::int64_t V, std::string& Ident) {
        if (V == clWindow) Ident = "clWindow";
        else if (V == clRed) Ident = "clRed";
        else return false;
        return true;
      });
}

namespace {
const TTypeInfo* AlignType() { return EnumTypeInfo("TTestAlign", {"taLeftJustify", "taRightJustify", "taCenter"}); }
const TTypeInfo* StylesType() {
  return SetTypeInfo("TTestStyles", EnumTypeInfo("TTestStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}));
}
} // namespace

RIX_IMPLEMENT_PUBLISHED(TFontLike, TPersistent)
void TFontLike::DeclareProperties(rix::TClassBuilder<TFontLike>& B) {
  B.Property("Color", ColorType(), &TFontLike::Color, &TFontLike::SetColor);
  B.Property("Height", IntegerTypeInfo(), &TFontLike::Height, &TFontLike::SetHeight);
  B.Property("Name", StringTypeInfo(), &TFontLike::Name, &TFontLike::SetName);
  B.Property("Style", StylesType(), &TFontLike::Style, &TFontLike::SetStyle).Default(0);
}

RIX_IMPLEMENT_PUBLISHED(TTitleLike, TPersistent)
void TTitleLike::DeclareProperties(rix::TClassBuilder<TTitleLike>& B) {
  B.Property("Alignment", AlignType(), &TTitleLike::Alignment, &TTitleLike::SetAlignment).Default(taLeftJustify);
  B.Property("Caption", StringTypeInfo(), &TTitleLike::Caption, &TTitleLike::SetCaption);
  B.Property("Font", ClassTypeInfo("TFontLike"), &TTitleLike::Font, nullptr)
      .Stored([](TTitleLike* T) { return T->FontAssigned; });
}

void TGlyphLike::DefineProperties(TFiler* Filer) {
  Filer->DefineBinaryProperty(
      "Data",
      [this](TStream& S) {
        Bytes.assign(static_cast<size_t>(S.Size()), '\0');
        S.ReadBuffer(Bytes.data(), S.Size());
      },
      [this](TStream& S) { S.WriteBytes(Bytes); }, !Bytes.empty());
}

TStrings* TColumnLike::PickList() const {
  if (!FPickList) FPickList = std::make_unique<TStringList>();
  return FPickList.get();
}

RIX_IMPLEMENT_PUBLISHED(TColumnLike, TCollectionItem)
void TColumnLike::DeclareProperties(rix::TClassBuilder<TColumnLike>& B) {
  B.Property("Alignment", AlignType(), &TColumnLike::Alignment, &TColumnLike::SetAlignment).Default(taLeftJustify);
  B.Property("Color", ColorType(), &TColumnLike::Color, &TColumnLike::SetColor)
      .Stored([](TColumnLike* C) { return C->Color() != clWindow; });
  B.Property("DropDownWidth", IntegerTypeInfo(), &TColumnLike::DropDownWidth, &TColumnLike::SetDropDownWidth);
  B.Property("Expanded", BooleanTypeInfo(), &TColumnLike::Expanded, &TColumnLike::SetExpanded).Default(1);
  B.Property("FieldName", StringTypeInfo(), &TColumnLike::FieldName, &TColumnLike::SetFieldName);
  B.Property("Glyph", ClassTypeInfo("TGlyphLike"), &TColumnLike::Glyph, nullptr);
  B.Property("PickList", ClassTypeInfo("TStrings"), &TColumnLike::PickList, nullptr);
  B.Property("PopupMenu", ClassTypeInfo("TMenuLike"), &TColumnLike::PopupMenu, &TColumnLike::SetPopupMenu);
  B.Property("Title", ClassTypeInfo("TTitleLike"), &TColumnLike::Title, nullptr);
  B.Property("Visible", BooleanTypeInfo(), &TColumnLike::Visible, &TColumnLike::SetVisible);
  B.Property("Width", IntegerTypeInfo(), &TColumnLike::Width, &TColumnLike::SetWidth)
      .Stored([](TColumnLike* C) { return C->Width() != 64; });
  B.Event<void(TObject*)>("OnClick", MethodTypeInfo("TNotifyEvent"), &TColumnLike::OnClickName,
                          &TColumnLike::SetOnClick);
}

RIX_IMPLEMENT_PUBLISHED(TRixColumnsWrapper, TComponent)
void TRixColumnsWrapper::DeclareProperties(rix::TClassBuilder<TRixColumnsWrapper>& B) {
  B.Property("Columns", ClassTypeInfo("TColumnsLike"), &TRixColumnsWrapper::Columns, &TRixColumnsWrapper::SetColumns);
}

void TFormLike::SetCount(int V) {
  FCount = V;
  LoadingWhileSet = ComponentState().Contains(csLoading);
  ReadingWhileSet = ComponentState().Contains(csReading);
}

void TFormLike::Loaded() {
  LoadingInLoaded = ComponentState().Contains(csLoading);
  TComponent::Loaded();
  ++LoadedCalls;
}

void TFormLike::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent*) {
  for (int i = 0; i < ComponentCount(); ++i) Proc(Components(i));
}

void TFormLike::DefineProperties(TFiler* Filer) {
  auto* ancestor = dynamic_cast<TFormLike*>(Filer->Ancestor());
  Filer->DefineProperty(
      "Extra", [this](TReader& R) { Extra = R.ReadString(); }, [this](TWriter& W) { W.WriteString(Extra); },
      ancestor != nullptr ? ancestor->Extra != Extra : !Extra.empty());
}

RIX_IMPLEMENT_PUBLISHED(TFormLike, TComponent)
void TFormLike::DeclareProperties(rix::TClassBuilder<TFormLike>& B) {
  B.Property("Columns", ClassTypeInfo("TColumnsLike"), [](TFormLike* F) { return &F->Columns; }, nullptr);
  B.Property("Count", IntegerTypeInfo(), &TFormLike::Count, &TFormLike::SetCount).Default(0);
  B.Property("Menu", ClassTypeInfo("TMenuLike"), &TFormLike::Menu, &TFormLike::SetMenu);
  B.Method<void(TObject*)>("ColumnClick", &TFormLike::ColumnClick);
}

} // namespace stt
