#include "grid/RixColumnTitle.h"

#include "grid/RixDBGrid.h"

namespace rix {

void AssignFontSilently(TFont& Target, TFont* Source) {
  struct TSilence {
    TFont& F;
    TNotifyEvent Saved;
    explicit TSilence(TFont& Font) : F(Font), Saved(Font.OnChange()) { F.SetOnChange(nullptr); }
    ~TSilence() { F.SetOnChange(std::move(Saved)); }
    TSilence(const TSilence&) = delete;
    TSilence& operator=(const TSilence&) = delete;
  } silence(Target);
  Target.Assign(Source);
}

} // namespace rix

TRixColumnTitle::TRixColumnTitle(TRixColumn* Column) : FColumn(Column), FFont(std::make_unique<TFont>()) {
  FFont->Assign(DefaultFont());
  FFont->SetOnChange([this](TObject* Sender) { FontChanged(Sender); });
}

TRixColumnTitle::~TRixColumnTitle() = default;

bool TRixColumnTitle::Assigned(TRixColumnValue Value) const { return FColumn->Assigned(Value); }
void TRixColumnTitle::Include(TRixColumnValue Value) { FColumn->Include(Value); }

// ---- Defaults ------------------------------------------------------------------

TColor TRixColumnTitle::DefaultColor() const {
  TRixCustomDBGrid* g = FColumn->Grid();
  return g != nullptr ? g->FixedColor() : clBtnFace;
}

// A grid that has no title font yet (a column made by a descendant's
// collection factory while the grid is still being built) lends the column's.
TFont* TRixColumnTitle::DefaultFont() const {
  TRixCustomDBGrid* g = FColumn->Grid();
  return g != nullptr && g->TitleFont() != nullptr ? g->TitleFont() : FColumn->GetFont();
}

std::string TRixColumnTitle::DefaultCaption() const {
  TField* f = FColumn->Field();
  return f != nullptr ? f->DisplayName() : FColumn->FieldName();
}

// ---- Getters -------------------------------------------------------------------

TAlignment TRixColumnTitle::GetAlignment() const {
  return Assigned(cvTitleAlignment) ? FAlignment : DefaultAlignment();
}

TAlignmentV TRixColumnTitle::GetAlignmentV() const { return Assigned(cvTitleAlignmentV) ? FAlignmentV : tavCenter; }

std::string TRixColumnTitle::GetCaption() const { return Assigned(cvTitleCaption) ? FCaption : DefaultCaption(); }

TColor TRixColumnTitle::GetColor() const { return Assigned(cvTitleColor) ? FColor : DefaultColor(); }

TFont* TRixColumnTitle::GetFont() const {
  if (!Assigned(cvTitleFont)) {
    TFont* def = DefaultFont();
    if (def != FFont.get() && (FFont->Handle() != def->Handle() || FFont->Color() != def->Color()))
      rix::AssignFontSilently(*FFont, def);
  }
  return FFont.get();
}

// ---- Setters -------------------------------------------------------------------

void TRixColumnTitle::SetAlignment(TAlignment Value) {
  if (Assigned(cvTitleAlignment) && Value == FAlignment) return;
  FAlignment = Value;
  Include(cvTitleAlignment);
  FColumn->Changed(false);
}

void TRixColumnTitle::SetAlignmentV(TAlignmentV Value) {
  if (Assigned(cvTitleAlignmentV) && Value == FAlignmentV) return;
  FAlignmentV = Value;
  Include(cvTitleAlignmentV);
  FColumn->Changed(false);
}

void TRixColumnTitle::SetColor(TColor Value) {
  if (Assigned(cvTitleColor) && Value == FColor) return;
  FColor = Value;
  Include(cvTitleColor);
  FColumn->Changed(false);
}

void TRixColumnTitle::SetCaption(const std::string& Value) {
  if (!FColumn->IsStored()) {
    TRixCustomDBGrid* g = FColumn->Grid();
    if (g != nullptr && g->DataLink()->Active())
      if (TField* f = FColumn->Field()) f->SetDisplayLabel(Value);
    return;
  }
  if (Assigned(cvTitleCaption) && Value == FCaption) return;
  FCaption = Value;
  Include(cvTitleCaption);
  FColumn->Changed(false);
}

// A font equal to the one held raises no change notification; it is
// assigned all the same, so that a copied title keeps it once the default
// moves on.
void TRixColumnTitle::SetFont(TFont* Value) {
  FFont->Assign(Value);
  if (!Assigned(cvTitleFont)) FontChanged(FFont.get());
}

void TRixColumnTitle::FontChanged(TObject*) {
  Include(cvTitleFont);
  FColumn->Changed(true);
}

// ---- Stored predicates -----------------------------------------------------------

bool TRixColumnTitle::IsAlignmentStored() const {
  return Assigned(cvTitleAlignment) && FAlignment != DefaultAlignment();
}
bool TRixColumnTitle::IsAlignmentVStored() const { return Assigned(cvTitleAlignmentV) && FAlignmentV != tavCenter; }
bool TRixColumnTitle::IsCaptionStored() const { return Assigned(cvTitleCaption) && FCaption != DefaultCaption(); }
bool TRixColumnTitle::IsColorStored() const { return Assigned(cvTitleColor) && FColor != DefaultColor(); }
bool TRixColumnTitle::IsFontStored() const { return Assigned(cvTitleFont); }

// ---- Operations ------------------------------------------------------------------

void TRixColumnTitle::RefreshDefaultFont() {
  if (Assigned(cvTitleFont)) return;
  TFont* def = DefaultFont();
  if (def != FFont.get()) rix::AssignFontSilently(*FFont, def);
}

void TRixColumnTitle::RestoreDefaults() {
  const bool fontAssigned = Assigned(cvTitleFont);
  FColumn->FAssignedValues -= TRixColumnValues{cvTitleColor, cvTitleCaption, cvTitleAlignment, cvTitleFont};
  FCaption.clear();
  RefreshDefaultFont();
  SetAlignmentV(tavCenter);
  FColumn->Changed(fontAssigned);
}

void TRixColumnTitle::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TRixColumnTitle*>(Source);
  if (src == nullptr) {
    TPersistent::Assign(Source);
    return;
  }
  if (src->Assigned(cvTitleAlignment)) SetAlignment(src->GetAlignment());
  if (src->Assigned(cvTitleColor)) SetColor(src->GetColor());
  if (src->Assigned(cvTitleCaption)) SetCaption(src->GetCaption());
  if (src->Assigned(cvTitleFont)) SetFont(src->GetFont());
}
