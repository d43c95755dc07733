#include "drawing/BtnGlyph.h"

#include "platform/core/Checked.h"

TGlyphCache* GlyphCache = nullptr;

// ---- TGlyphList --------------------------------------------------------------

TGlyphList::TGlyphList(int AWidth, int AHeight)
    : TImageList(AWidth, AHeight, nullptr), Used(std::make_unique<TBits>()) {}

TGlyphList::~TGlyphList() = default;

int TGlyphList::AllocateIndex() {
  int Result = Used->OpenBit();
  if (Result >= Used->Size()) {
    Result = TImageList::Add(nullptr, nullptr);
    Used->SetSize(rix::CheckedAdd(Result, 1));
  }
  Used->SetBits(Result, true);
  return Result;
}

int TGlyphList::AddMasked(TBitmap* Image, TColor MaskColor) {
  int Result = AllocateIndex();
  try {
    ReplaceMasked(Result, Image, MaskColor);
  } catch (...) {
    Used->SetBits(Result, false);
    throw;
  }
  FCount = rix::CheckedAdd(FCount, 1);
  return Result;
}

void TGlyphList::Delete(int Index) {
  if (Index < 0 || Index >= Used->Size() || !Used->Bits(Index)) return;
  --FCount;
  Used->SetBits(Index, false);
}

// ---- TGlyphCache ---------------------------------------------------------------

TGlyphCache::TGlyphCache() = default;
TGlyphCache::~TGlyphCache() = default;

TGlyphList* TGlyphCache::GetList(int AWidth, int AHeight) {
  for (auto it = GlyphLists.rbegin(); it != GlyphLists.rend(); ++it)
    if ((*it)->Width() == AWidth && (*it)->Height() == AHeight) return it->get();
  GlyphLists.push_back(std::make_unique<TGlyphList>(AWidth, AHeight));
  return GlyphLists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* List) {
  if (List == nullptr || List->Count() != 0) return;
  for (auto it = GlyphLists.begin(); it != GlyphLists.end(); ++it)
    if (it->get() == List) {
      GlyphLists.erase(it);
      return;
    }
}
