#include "grid/RixColumn.h"

#include "grid/RixDBGrid.h"
#include "platform/core/Checked.h"

#include <optional>

int rix::WidthToDisplayChars(int Width, const TTextMetric& TM) {
  if (Width < 0 || TM.tmAveCharWidth <= 0) return -1;
  return CheckedSub(CheckedSub(CheckedAdd(Width, TM.tmAveCharWidth / 2), TM.tmOverhang), 3) / TM.tmAveCharWidth;
}

namespace {

// Text is measured on a canvas of its own: the grid's canvas exists only
// while it paints, and Pango's metrics at the fixed 96 dpi are the same on
// every canvas (the framework's screen device context).
TCanvas& MeasuringCanvas() {
  static TCanvas* Canvas = new TCanvas();
  return *Canvas;
}

TTextMetric MetricsOf(TFont* Font) {
  TCanvas& c = MeasuringCanvas();
  c.SetFont(Font);
  TTextMetric tm;
  GetTextMetrics(c.Handle(), tm);
  return tm;
}

} // namespace

// ---- Lifecycle -----------------------------------------------------------------

TRixColumn::TRixColumn(TCollection* Collection) : TRixColumn(Collection, &TRixColumn::CreateTitle) {}

// The framework brackets construction with the grid's BeginLayout/EndLayout.
// Here the collection reports a new item only once it is whole (Add), and
// nothing below reports a change, so the bracket would only add a layout
// pass over a column whose descendant part is not built yet.
TRixColumn::TRixColumn(TCollection* Collection, const TTitleFactory& TitleFactory)
    : TCollectionItem(Collection) {
  FDropDownRows = 7;
  FButtonStyle = cbsAuto;
  FFont = std::make_unique<TFont>();
  FFont->Assign(DefaultFont());
  FFont->SetOnChange([this](TObject* Sender) { FontChanged(Sender); });
  FImeMode = imDontCare;
  FImeName = Screen().DefaultIme;
  FTitle.reset(TitleFactory(this));
  FVisible = FExpanded = FStored = true;
  FButtonState = bs2State;
  FGlyph = std::make_unique<TButtonGlyph>();
  FGlyph->SetOnChange([this](TObject* Sender) { Invalidated(Sender); });
  FSpacing = 4;
  FMargin = -1;
  FLayout = blGlyphLeft;
  FTransparent = true;
  FOrderState = osDisable;
  FShowImages = FShowMemoText = FTabStop = true;
}

TRixColumnTitle* TRixColumn::CreateTitle(TRixColumn* Column) { return new TRixColumnTitle(Column); }

TRixColumn::~TRixColumn() {
  FTitle.reset();
  FFont.reset();
  FPickList.reset();
  // Freeing the glyph must not report into a column being taken apart.
  FGlyph->SetOnChange(nullptr);
}

// Other columns' draw links and the grid's drag column may point here. The
// next layout pass would reset the links, but until then (a pass may be held
// off by a lock) no one may follow one to a freed column.
void TRixColumn::ForgetReferences() {
  TRixDBGridColumns* cols = Columns();
  if (cols == nullptr) return;
  for (int i = 0; i < cols->Count(); ++i) {
    TRixColumn* c = cols->Items(i);
    if (c->FDrawColumn == this) c->FDrawColumn = c;
    if (c->FDrawEndColumn == this) c->FDrawEndColumn = c;
  }
  if (TRixCustomDBGrid* g = Grid(); g != nullptr && g->FDragCol == this) g->FDragCol = nullptr;
}

TRixDBGridColumns* TRixColumn::Columns() const { return dynamic_cast<TRixDBGridColumns*>(Collection()); }

TRixCustomDBGrid* TRixColumn::Grid() const {
  TRixDBGridColumns* c = Columns();
  return c != nullptr ? c->Grid() : nullptr;
}

bool TRixColumn::LinkActive() const {
  TRixCustomDBGrid* g = Grid();
  return g != nullptr && g->DataLink() != nullptr && g->DataLink()->Active();
}

std::string TRixColumn::DisplayName() const {
  return FFieldName.empty() ? TCollectionItem::DisplayName() : FFieldName;
}

void TRixColumn::Invalidated(TObject* Sender) {
  if (FInvalidate) FInvalidate(Sender);
  Changed(false);
}

// ---- Defaults --------------------------------------------------------------------

TAlignment TRixColumn::DefaultAlignment() const {
  TField* f = Field();
  return f != nullptr ? f->Alignment() : taLeftJustify;
}

TColor TRixColumn::DefaultColor() const {
  TRixCustomDBGrid* g = Grid();
  return g != nullptr ? g->Color() : clWindow;
}

TFont* TRixColumn::DefaultFont() const {
  TRixCustomDBGrid* g = Grid();
  return g != nullptr ? g->Font() : FFont.get();
}

TImeMode TRixColumn::DefaultImeMode() const {
  TRixCustomDBGrid* g = Grid();
  return g != nullptr ? g->ImeMode() : FImeMode;
}

TImeName TRixColumn::DefaultImeName() const {
  TRixCustomDBGrid* g = Grid();
  return g != nullptr ? g->ImeName() : FImeName;
}

bool TRixColumn::DefaultReadOnly() const {
  TRixCustomDBGrid* g = Grid();
  if (g != nullptr && g->ReadOnly()) return true;
  TField* f = Field();
  return f != nullptr && f->ReadOnly();
}

int TRixColumn::DefaultWidth() const {
  TRixCustomDBGrid* g = Grid();
  if (g == nullptr) return 64;
  TField* f = Field();
  if (f == nullptr) return g->DefaultColWidth();
  TCanvas& c = MeasuringCanvas();
  TTextMetric tm = MetricsOf(GetFont());
  const int w = c.TextWidth("0");
  int result = rix::CheckedAdd(rix::CheckedAdd(rix::CheckedMul(rix::CheckedSub(w, tm.tmOverhang), f->DisplayWidth()),
                                               tm.tmOverhang),
                               4);
  if (g->Options().Contains(rixdgTitles)) {
    c.SetFont(FTitle->GetFont());
    const int titleWidth = rix::CheckedAdd(c.TextWidth(FTitle->GetCaption()), 4);
    if (titleWidth > result) result = titleWidth;
  }
  return result;
}

// ---- Getters ---------------------------------------------------------------------

TAlignment TRixColumn::GetAlignment() const { return Assigned(cvAlignment) ? FAlignment : DefaultAlignment(); }
TAlignmentV TRixColumn::GetAlignmentV() const { return Assigned(cvAlignmentV) ? FAlignmentV : tavCenter; }
TBindType TRixColumn::GetBindColumn() const { return Assigned(cvBindColumn) ? FBindColumn : btNone; }
TColor TRixColumn::GetColor() const { return Assigned(cvColor) ? FColor : DefaultColor(); }
TImeMode TRixColumn::GetImeMode() const { return Assigned(cvImeMode) ? FImeMode : DefaultImeMode(); }
TImeName TRixColumn::GetImeName() const { return Assigned(cvImeName) ? FImeName : DefaultImeName(); }
bool TRixColumn::GetReadOnly() const { return Assigned(cvReadOnly) ? FReadonly : DefaultReadOnly(); }
bool TRixColumn::GetTabStop() const { return Assigned(cvTabStop) ? FTabStop : true; }

int TRixColumn::GetWidth() const {
  if (!Showing()) return -1;
  return Assigned(cvWidth) ? FWidth : DefaultWidth();
}

// Only the face and size are compared: a colour change alone of the grid's
// font reaches the column through RefreshDefaultFont.
TFont* TRixColumn::GetFont() const {
  if (!Assigned(cvFont)) {
    TFont* def = DefaultFont();
    if (def != FFont.get() && FFont->Handle() != def->Handle()) rix::AssignFontSilently(*FFont, def);
  }
  return FFont.get();
}

TStrings* TRixColumn::GetPickList() const {
  if (!FPickList) FPickList = std::make_unique<TStringList>();
  return FPickList.get();
}

// ---- Stored predicates -------------------------------------------------------------

bool TRixColumn::IsAlignmentStored() const { return Assigned(cvAlignment) && FAlignment != DefaultAlignment(); }
bool TRixColumn::IsAlignmentVStored() const { return Assigned(cvAlignmentV) && FAlignmentV != tavCenter; }
bool TRixColumn::IsBindColumnStored() const { return Assigned(cvBindColumn) && FBindColumn != btNone; }
bool TRixColumn::IsColorStored() const { return Assigned(cvColor) && FColor != DefaultColor(); }
bool TRixColumn::IsFontStored() const { return Assigned(cvFont); }
bool TRixColumn::IsImeModeStored() const { return Assigned(cvImeMode) && FImeMode != DefaultImeMode(); }
bool TRixColumn::IsImeNameStored() const { return Assigned(cvImeName) && FImeName != DefaultImeName(); }
bool TRixColumn::IsReadOnlyStored() const { return Assigned(cvReadOnly) && FReadonly != DefaultReadOnly(); }
bool TRixColumn::IsTabStop() const { return Assigned(cvTabStop) && !FTabStop; }
bool TRixColumn::IsWidthStored() const { return Assigned(cvWidth) && FWidth != DefaultWidth(); }

// ---- Setters of assigned values -------------------------------------------------------

void TRixColumn::SetAlignment(TAlignment Value) {
  if (!FStored) {
    if (LinkActive())
      if (TField* f = Field()) f->SetAlignment(Value);
    return;
  }
  if (Assigned(cvAlignment) && Value == FAlignment) return;
  FAlignment = Value;
  Include(cvAlignment);
  Changed(false);
}

void TRixColumn::SetAlignmentV(TAlignmentV Value) {
  if (!FStored) {
    FAlignmentV = tavCenter;
    return;
  }
  if (Assigned(cvAlignmentV) && Value == FAlignmentV) return;
  FAlignmentV = Value;
  Include(cvAlignmentV);
  Changed(false);
}

void TRixColumn::SetBindColumn(TBindType Value) {
  if (!FStored) {
    FBindColumn = btNone;
    return;
  }
  if (Assigned(cvBindColumn) && Value == FBindColumn) return;
  FBindColumn = Value;
  Include(cvBindColumn);
  // Through the layout lock: a pass run directly in the middle of a
  // collection's Assign would free columns the copy is still working on.
  if (TRixCustomDBGrid* g = Grid(); g != nullptr && g->Columns() == Columns()) g->LayoutChanged();
  Changed(false);
}

void TRixColumn::SetColor(TColor Value) {
  if (Assigned(cvColor) && Value == FColor) return;
  FColor = Value;
  Include(cvColor);
  Changed(false);
}

void TRixColumn::SetEditMask(const std::string& Value) {
  if (!FStored) {
    FEditMask.clear();
    return;
  }
  if (Assigned(cvEditMask) && Value == FEditMask) return;
  FEditMask = Value;
  Include(cvEditMask);
  Changed(false);
}

void TRixColumn::SetFont(TFont* Value) {
  FFont->Assign(Value);
  Include(cvFont);
  Changed(false);
}

void TRixColumn::FontChanged(TObject*) {
  Include(cvFont);
  FTitle->RefreshDefaultFont();
  Changed(false);
}

void TRixColumn::SetImeMode(TImeMode Value) {
  if (Assigned(cvImeMode) || Value != DefaultImeMode()) {
    FImeMode = Value;
    Include(cvImeMode);
  }
  Changed(false);
}

void TRixColumn::SetImeName(const TImeName& Value) {
  if (Assigned(cvImeName) || Value != DefaultImeName()) {
    FImeName = Value;
    Include(cvImeName);
  }
  Changed(false);
}

void TRixColumn::SetReadOnly(bool Value) {
  if (!FStored && LinkActive())
    if (TField* f = Field()) {
      f->SetReadOnly(Value);
      return;
    }
  if (Assigned(cvReadOnly) && Value == FReadonly) return;
  FReadonly = Value;
  Include(cvReadOnly);
  Changed(false);
}

void TRixColumn::SetTabStop(bool Value) {
  if (Value == FTabStop) return;
  FTabStop = Value;
  if (!Value) Include(cvTabStop);
  Changed(false);
}

// A default column hands the width on to its field as a display width in
// average characters. -1 (a hidden column's width) and a font without a
// measurable average width leave the field alone.
void TRixColumn::SetWidth(int Value) {
  bool doSetWidth = FStored;
  TRixCustomDBGrid* g = Grid();
  if (!FStored && g != nullptr) {
    TField* f = g->HandleAllocated() && g->FUpdateFields ? Field() : nullptr;
    if (f != nullptr)
      if (const int chars = rix::WidthToDisplayChars(Value, MetricsOf(GetFont())); chars >= 0)
        f->SetDisplayWidth(chars);
    doSetWidth = !g->FLayoutFromDataset || Assigned(cvWidth);
  } else if (!FStored) {
    doSetWidth = true;
  }
  if (!doSetWidth) return;
  if ((Assigned(cvWidth) || Value != DefaultWidth()) && Value != -1) {
    FWidth = Value;
    Include(cvWidth);
  }
  Changed(false);
}

// ---- Plain setters -----------------------------------------------------------------

void TRixColumn::SetButtonState(TRixButtonState Value) {
  if (Value == FButtonState) return;
  FButtonState = Value;
  Changed(true);
}

void TRixColumn::SetButtonStyle(TRixColumnButtonStyle Value) {
  if (Value == FButtonStyle) return;
  FButtonStyle = Value;
  Changed(false);
}

void TRixColumn::SetGlyph(TBitmap* Value) {
  FGlyph->SetGlyph(Value);
  Invalidated(this);
  Changed(false);
}

void TRixColumn::SetNumGlyphs(TNumGlyphs Value) {
  if (Value > 4) Value = 4;
  if (Value != FGlyph->NumGlyphs()) {
    FGlyph->SetNumGlyphs(Value);
    Invalidated(this);
  }
  Changed(false);
}

template <typename T>
static bool Store(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

void TRixColumn::SetLayout(TButtonLayout Value) {
  if (!Store(FLayout, Value)) return;
  Changed(false);
  Invalidated(this);
}

void TRixColumn::SetMargin(int Value) {
  if (Value < -1 || !Store(FMargin, Value)) return;
  Changed(false);
  Invalidated(this);
}

void TRixColumn::SetSpacing(int Value) {
  if (!Store(FSpacing, Value)) return;
  Changed(false);
  Invalidated(this);
}

void TRixColumn::SetShowImages(bool Value) {
  if (!Store(FShowImages, Value)) return;
  Changed(false);
  Invalidated(this);
}

void TRixColumn::SetShowMemoText(bool Value) {
  if (!Store(FShowMemoText, Value)) return;
  Changed(false);
  Invalidated(this);
}

void TRixColumn::SetOrderState(TOrderState Value) {
  if (Store(FOrderState, Value)) Invalidated(this);
}

void TRixColumn::SetWordrap(bool Value) {
  if (Store(FWordrap, Value)) Invalidated(this);
}

void TRixColumn::SetPickList(TStrings* Value) {
  if (Value == nullptr) {
    FPickList.reset();
    return;
  }
  GetPickList()->Assign(Value);
}

void TRixColumn::WatchComponent(TComponent* Value) {
  // Other columns may still share the old one: the grid keeps that notice.
  if (TRixCustomDBGrid* g = Grid(); g != nullptr && Value != nullptr) Value->FreeNotification(g);
}

void TRixColumn::SetPopupMenu(TPopupMenu* Value) {
  FPopupMenu = Value;
  WatchComponent(Value);
}

void TRixColumn::SetListSource(TDataSource* Value) {
  FListSource = Value;
  WatchComponent(Value);
}

void TRixColumn::SetTitle(TRixColumnTitle* Value) { FTitle->Assign(Value); }

void TRixColumn::SetOnClickNamed(const std::string& Method, TNotifyEvent Value) {
  FOnClickName = Method;
  FOnClick = std::move(Value);
}

// ---- Operations --------------------------------------------------------------------

void TRixColumn::RefreshDefaultFont() {
  if (Assigned(cvFont)) return;
  TFont* def = DefaultFont();
  if (def != FFont.get()) rix::AssignFontSilently(*FFont, def);
}

void TRixColumn::RestoreDefaults() {
  const bool fontAssigned = Assigned(cvFont);
  FTitle->RestoreDefaults();
  FAssignedValues = TRixColumnValues{};
  RefreshDefaultFont();
  FPickList.reset();
  SetButtonStyle(cbsAuto);
  FAlignmentV = tavCenter;
  FButtonCaption.clear();
  FButtonState = bs3State;
  FEditMask.clear();
  FGlyph->SetGlyph(nullptr);
  SetNumGlyphs(1);
  FKeyField.clear();
  FListField.clear();
  FListSource = nullptr;
  FOrderState = osDisable;
  Changed(fontAssigned);
}

void TRixColumn::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TRixColumn*>(Source);
  if (src == nullptr) {
    TCollectionItem::Assign(Source);
    return;
  }
  std::optional<rix::TUpdateBracket<TCollection>> bracket;
  if (Collection() != nullptr) bracket.emplace(*Collection());
  RestoreDefaults();
  SetFieldName(src->FieldName());
  if (src->Assigned(cvColor)) SetColor(src->GetColor());
  if (src->Assigned(cvWidth)) SetWidth(src->GetWidth());
  if (src->Assigned(cvFont)) SetFont(src->GetFont());
  if (src->Assigned(cvImeMode)) SetImeMode(src->GetImeMode());
  if (src->Assigned(cvImeName)) SetImeName(src->GetImeName());
  if (src->Assigned(cvAlignment)) SetAlignment(src->GetAlignment());
  if (src->Assigned(cvAlignmentV)) SetAlignmentV(src->GetAlignmentV());
  if (src->Assigned(cvReadOnly)) SetReadOnly(src->GetReadOnly());
  if (src->Assigned(cvBindColumn)) SetBindColumn(src->GetBindColumn());
  SetTitle(src->Title());
  FDropDownRows = src->FDropDownRows;
  SetButtonStyle(src->FButtonStyle);
  SetButtonState(src->FButtonState);
  FButtonCaption = src->FButtonCaption;
  SetEditMask(src->FEditMask);
  SetPickList(src->GetPickList());
  SetPopupMenu(src->FPopupMenu);
  FVisible = src->FVisible;
  FExpanded = src->FExpanded;
}
