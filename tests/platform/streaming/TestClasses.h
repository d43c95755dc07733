// Classes registered in the property registry for the streaming tests: a
// column-like collection item with a nested title and font, a pick list, a
// binary glyph and references, carried by a wrapper component like the
// grid's column-set wrapper.
#pragma once

#include "platform/core/Core.h"
#include "platform/streaming/Streaming.h"

#include <memory>

namespace stt {

enum TAlign { taLeftJustify, taRightJustify, taCenter };
enum TStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TStyles = TSet<TStyle, 4>;

constexpr std::int32_t clWindow = static_cast<std::int32_t>(0x80000005u);
constexpr std::int32_t clRed = 0x0000FF;
// Registers colour names for the test colour type (idempotent).
void RegisterTestColors();
const TTypeInfo* ColorType();

class TFontLike : public TPersistent {
  RIX_CLASS_NAME(TFontLike)
  RIX_PUBLISHED(TFontLike)
public:
  std::int32_t Color() const { return FColor; }
  void SetColor(std::int32_t V) { FColor = V; }
  int Height() const { return FHeight; }
  void SetHeight(int V) { FHeight = V; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& V) { FName = V; }
  TStyles Style() const { return FStyle; }
  void SetStyle(TStyles V) { FStyle = V; }

private:
  std::int32_t FColor = 0;
  int FHeight = -11;
  std::string FName = "Tahoma";
  TStyles FStyle;
};

class TTitleLike : public TPersistent {
  RIX_CLASS_NAME(TTitleLike)
  RIX_PUBLISHED(TTitleLike)
public:
  TTitleLike() : FFont(std::make_unique<TFontLike>()) {}
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& V) { FCaption = V; }
  TAlign Alignment() const { return FAlignment; }
  void SetAlignment(TAlign V) { FAlignment = V; }
  TFontLike* Font() const { return FFont.get(); }
  bool FontAssigned = false;

private:
  std::string FCaption;
  TAlign FAlignment = taLeftJustify;
  std::unique_ptr<TFontLike> FFont;
};

// Raw bytes written through DefineBinaryProperty("Data").
class TGlyphLike : public TPersistent {
  RIX_CLASS_NAME(TGlyphLike)
public:
  std::string Bytes;
  void DefineProperties(TFiler* Filer) override;
};

class TMenuLike : public TComponent {
  RIX_CLASS_NAME(TMenuLike)
public:
  using TComponent::TComponent;
};

class TColumnLike : public TCollectionItem {
  RIX_CLASS_NAME(TColumnLike)
  RIX_PUBLISHED(TColumnLike)
public:
  explicit TColumnLike(TCollection* C) : TCollectionItem(C), FTitle(std::make_unique<TTitleLike>()) {}
  TAlign Alignment() const { return FAlignment; }
  void SetAlignment(TAlign V) { FAlignment = V; }
  std::int32_t Color() const { return FColor; }
  void SetColor(std::int32_t V) { FColor = V; }
  unsigned DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(unsigned V) { FDropDownWidth = V; }
  bool Expanded() const { return FExpanded; }
  void SetExpanded(bool V) { FExpanded = V; }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& V) { FFieldName = V; }
  TGlyphLike* Glyph() const { return FGlyph.get(); }
  TStrings* PickList() const;
  TMenuLike* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TMenuLike* V) { FPopupMenu = V; }
  TTitleLike* Title() const { return FTitle.get(); }
  bool Visible() const { return FVisible; }
  void SetVisible(bool V) { FVisible = V; }
  int Width() const { return FWidth; }
  void SetWidth(int V) {
    if (V > 100000) throw EInvalidOperation("Width too large");
    FWidth = V;
  }
  const std::string& OnClickName() const { return FOnClickName; }
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const std::string& Name, TNotifyEvent E) {
    FOnClickName = Name;
    FOnClick = std::move(E);
  }

private:
  TAlign FAlignment = taLeftJustify;
  std::int32_t FColor = clWindow;
  unsigned FDropDownWidth = 0;
  bool FExpanded = true;
  std::string FFieldName;
  std::unique_ptr<TGlyphLike> FGlyph = std::make_unique<TGlyphLike>();
  mutable std::unique_ptr<TStringList> FPickList;
  TMenuLike* FPopupMenu = nullptr;
  std::unique_ptr<TTitleLike> FTitle;
  bool FVisible = true;
  int FWidth = 64;
  std::string FOnClickName;
  TNotifyEvent FOnClick;
};

class TColumnsLike : public TCollection {
  RIX_CLASS_NAME(TColumnsLike)
public:
  TColumnsLike() : TCollection(rix::ItemClass<TColumnLike>()) {}
  TColumnLike* Column(int I) const { return static_cast<TColumnLike*>(Items(I)); }
  TColumnLike* AddColumn() { return static_cast<TColumnLike*>(Add()); }
};

// Carries a collection it does not own, like the grid's column-set wrapper.
class TRixColumnsWrapper : public TComponent {
  RIX_CLASS_NAME(TRixColumnsWrapper)
  RIX_PUBLISHED(TRixColumnsWrapper)
public:
  using TComponent::TComponent;
  TColumnsLike* FColumns = nullptr;
  TColumnsLike* Columns() const { return FColumns; }
  void SetColumns(TColumnsLike* V) { FColumns = V; }
};

// A root with children, references, events and a defined property, that
// records its streaming states.
class TFormLike : public TComponent {
  RIX_CLASS_NAME(TFormLike)
  RIX_PUBLISHED(TFormLike)
public:
  using TComponent::TComponent;
  TColumnsLike Columns;
  TMenuLike* Menu() const { return FMenu; }
  void SetMenu(TMenuLike* V) { FMenu = V; }
  int Count() const { return FCount; }
  void SetCount(int V);
  bool LoadingWhileSet = false;
  bool ReadingWhileSet = false;
  int LoadedCalls = 0;
  bool LoadingInLoaded = false;
  std::string Extra;  // written as the defined property "Extra"
  int Clicks = 0;
  void ColumnClick(TObject*) { ++Clicks; }
  void GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) override;
  void DefineProperties(TFiler* Filer) override;

protected:
  void Loaded() override;
  void Notification(TComponent* C, TOperation Op) override {
    TComponent::Notification(C, Op);
    if (Op == opRemove && C == FMenu) FMenu = nullptr;
  }

private:
  TMenuLike* FMenu = nullptr;
  int FCount = 0;
};

// Stream bytes built by hand.
struct TBytes {
  std::string S;
  TBytes& Raw(std::initializer_list<int> Bs) {
    for (int b : Bs) S += static_cast<char>(b);
    return *this;
  }
  TBytes& Str(const std::string& V) {
    S += static_cast<char>(V.size());
    S += V;
    return *this;
  }
};

} // namespace stt
