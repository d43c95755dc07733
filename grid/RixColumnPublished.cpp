// The published properties of a column and its title: the tables that form
// streams, column-set streams and the designer read. Declaration order is
// write order.
#include "grid/RixColumn.h"

#include "platform/graphics/GraphicsStreaming.h"

namespace {

const TTypeInfo* AlignmentType() {
  return EnumTypeInfo("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
}

const TTypeInfo* AlignmentVType() { return EnumTypeInfo("TAlignmentV", {"tavTop", "tavCenter", "tavBottom"}); }

} // namespace

RIX_IMPLEMENT_PUBLISHED(TRixColumnTitle, TPersistent)
void TRixColumnTitle::DeclareProperties(rix::TClassBuilder<TRixColumnTitle>& B) {
  using T = TRixColumnTitle;
  B.Property("Alignment", AlignmentType(), &T::GetAlignment, &T::SetAlignment).Stored(&T::IsAlignmentStored);
  B.Property("AlignmentV", AlignmentVType(), &T::GetAlignmentV, &T::SetAlignmentV).Stored(&T::IsAlignmentVStored);
  B.Property("Caption", StringTypeInfo(), &T::GetCaption, [](T* t, const std::string& v) { t->SetCaption(v); })
      .Stored(&T::IsCaptionStored);
  B.Property("Color", ColorTypeInfo(), &T::GetColor, &T::SetColor).Stored(&T::IsColorStored);
  B.Property("Font", ClassTypeInfo("TFont"), &T::GetFont, &T::SetFont).Stored(&T::IsFontStored);
}

RIX_IMPLEMENT_PUBLISHED(TRixColumn, TCollectionItem)
void TRixColumn::DeclareProperties(rix::TClassBuilder<TRixColumn>& B) {
  using C = TRixColumn;
  B.Property("Alignment", AlignmentType(), &C::GetAlignment, [](C* c, TAlignment v) { c->SetAlignment(v); })
      .Stored(&C::IsAlignmentStored);
  B.Property("AlignmentV", AlignmentVType(), &C::GetAlignmentV, &C::SetAlignmentV).Stored(&C::IsAlignmentVStored);
  B.Property("BindColumn", EnumTypeInfo("TBindType", {"btNone", "btUp", "btLeft"}), &C::GetBindColumn,
             &C::SetBindColumn)
      .Stored(&C::IsBindColumnStored);
  B.Property("ButtonCaption", StringTypeInfo(), &C::ButtonCaption, &C::SetButtonCaption);
  B.Property("ButtonState", EnumTypeInfo("TRixButtonState", {"bs2State", "bs3State"}), &C::ButtonState,
             &C::SetButtonState)
      .Default(bs2State);
  B.Property("ButtonStyle",
             EnumTypeInfo("TRixColumnButtonStyle", {"cbsAuto", "cbsEllipsis", "cbsNone", "cbsButton", "cbsCheck"}),
             &C::ButtonStyle, &C::SetButtonStyle)
      .Default(cbsAuto);
  B.Property("Color", ColorTypeInfo(), &C::GetColor, &C::SetColor).Stored(&C::IsColorStored);
  B.Property("DropDownRows", IntegerTypeInfo(), &C::DropDownRows, &C::SetDropDownRows).Default(7);
  B.Property("DropDownWidth", IntegerTypeInfo(), &C::DropDownWidth, &C::SetDropDownWidth);
  B.Property("EditMask", StringTypeInfo(), &C::EditMask, &C::SetEditMask);
  B.Property("Expanded", BooleanTypeInfo(), &C::GetExpanded, &C::SetExpanded).Default(1);
  B.Property("FieldName", StringTypeInfo(), &C::FieldName, &C::SetFieldName);
  B.Property("Font", ClassTypeInfo("TFont"), &C::GetFont, &C::SetFont).Stored(&C::IsFontStored);
  B.Property("Glyph", ClassTypeInfo("TBitmap"), &C::GetGlyph, &C::SetGlyph);
  B.Property("ImeMode",
             EnumTypeInfo("TImeMode", {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                                       "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"}),
             &C::GetImeMode, [](C* c, TImeMode v) { c->SetImeMode(v); })
      .Stored(&C::IsImeModeStored);
  B.Property("ImeName", StringTypeInfo(), &C::GetImeName, [](C* c, const std::string& v) { c->SetImeName(v); })
      .Stored(&C::IsImeNameStored);
  B.Property("KeyField", StringTypeInfo(), &C::KeyField, &C::SetKeyField);
  B.Property("Layout", EnumTypeInfo("TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}),
             &C::Layout, &C::SetLayout)
      .Default(blGlyphLeft);
  B.Property("ListField", StringTypeInfo(), &C::ListField, &C::SetListField);
  B.Property("ListSource", ClassTypeInfo("TDataSource"), &C::ListSource, &C::SetListSource);
  B.Property("Margin", IntegerTypeInfo(), &C::Margin, &C::SetMargin).Default(-1);
  B.Property("NumGlyphs", IntegerTypeInfo("TNumGlyphs"), &C::GetNumGlyphs, &C::SetNumGlyphs).Default(1);
  B.Property("OrderState", EnumTypeInfo("TOrderState", {"osAsc", "osDesc", "osNone", "osDisable"}), &C::OrderState,
             &C::SetOrderState)
      .Default(osDisable);
  B.Property("PickList", ClassTypeInfo("TStrings"), &C::GetPickList, &C::SetPickList);
  B.Property("PopupMenu", ClassTypeInfo("TPopupMenu"), &C::PopupMenu, &C::SetPopupMenu);
  B.Property("ReadOnly", BooleanTypeInfo(), &C::GetReadOnly, [](C* c, bool v) { c->SetReadOnly(v); })
      .Stored(&C::IsReadOnlyStored);
  B.Property("ShowMemoText", BooleanTypeInfo(), &C::ShowMemoText, &C::SetShowMemoText).Default(1);
  B.Property("ShowImages", BooleanTypeInfo(), &C::ShowImages, &C::SetShowImages).Default(1);
  B.Property("Spacing", IntegerTypeInfo(), &C::Spacing, &C::SetSpacing).Default(4);
  B.Property("TabStop", BooleanTypeInfo(), &C::GetTabStop, &C::SetTabStop).Stored(&C::IsTabStop);
  B.Property("Title", ClassTypeInfo("TRixColumnTitle"), &C::Title, &C::SetTitle);
  B.Property("Visible", BooleanTypeInfo(), &C::GetVisible, &C::SetVisible);
  B.Property("Width", IntegerTypeInfo(), &C::GetWidth,
             [](C* c, int v) {
               // -1 is what a hidden column reads; anything lower is no width.
               if (v < -1) throw ERangeError("Width must not be below -1, not " + std::to_string(v));
               c->SetWidth(static_cast<int>(v));
             })
      .Stored(&C::IsWidthStored);
  B.Property("Wordrap", BooleanTypeInfo(), &C::Wordrap, &C::SetWordrap).Default(0);
  B.Event<void(TObject*)>("OnClick", MethodTypeInfo("TNotifyEvent"), &C::OnClickName, &C::SetOnClickNamed);
}
