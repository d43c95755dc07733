// TRixColumnTitle: the header cell of one column.
//
// Every setting is either assigned (its flag is in the owning column's
// AssignedValues) or inherited, computed each time it is read from the grid
// (FixedColor, TitleFont) or the column (field display name, field name,
// column font). The title keeps no flags of its own and reports every change
// through its column's Changed: a font change asks for a new layout of the
// whole grid (it may change the title row height), anything else for a
// repaint of the column.
#pragma once

#include "grid/RixColumnTypes.h"

#include "platform/core/Core.h"
#include "platform/data/Data.h"
#include "platform/graphics/Graphics.h"
#include "platform/streaming/Streaming.h"

#include <memory>
#include <string>

class TRixColumn;

namespace rix {

// Copies Source into Target with Target's change notification silenced, so
// that keeping an inherited font up to date never counts as an assignment.
// The handler is put back also when the copy fails.
void AssignFontSilently(TFont& Target, TFont* Source);

} // namespace rix

class TRixColumnTitle : public TPersistent {
  RIX_CLASS_NAME(TRixColumnTitle)
  RIX_PUBLISHED(TRixColumnTitle)
public:
  // Made by the column (TRixColumn::CreateTitle); Column is never nil.
  explicit TRixColumnTitle(TRixColumn* Column);
  ~TRixColumnTitle() override;
  TRixColumnTitle(const TRixColumnTitle&) = delete;
  TRixColumnTitle& operator=(const TRixColumnTitle&) = delete;

  TRixColumn* Column() const { return FColumn; }

  TAlignment Alignment() const { return GetAlignment(); }
  TAlignment GetAlignment() const;
  void SetAlignment(TAlignment Value);
  TAlignmentV AlignmentV() const { return GetAlignmentV(); }
  TAlignmentV GetAlignmentV() const;
  void SetAlignmentV(TAlignmentV Value);
  std::string Caption() const { return GetCaption(); }
  std::string GetCaption() const;
  // On a default column (one the grid made from a field) the caption is the
  // field's DisplayLabel: written there while the grid's link is active and
  // the column has a field, otherwise dropped.
  virtual void SetCaption(const std::string& Value);
  TColor Color() const { return GetColor(); }
  TColor GetColor() const;
  void SetColor(TColor Value);
  // The title's own font object: the assigned font, or kept equal to
  // DefaultFont (copied silently when the default's face, size or colour
  // changed). Changing it in place assigns it.
  TFont* Font() const { return GetFont(); }
  TFont* GetFont() const;
  void SetFont(TFont* Value);

  TAlignment DefaultAlignment() const { return taLeftJustify; }
  TColor DefaultColor() const;
  TFont* DefaultFont() const;
  std::string DefaultCaption() const;

  bool IsAlignmentStored() const;
  bool IsAlignmentVStored() const;
  bool IsCaptionStored() const;
  bool IsColorStored() const;
  bool IsFontStored() const;

  // Brings an unassigned font up to the default; an assigned one stays.
  void RefreshDefaultFont();
  // Drops colour, caption, alignment and font; leaves the vertical
  // alignment assigned with tavCenter (the column's own reset clears it).
  virtual void RestoreDefaults();
  // From another title: each setting the source's column has assigned, the
  // vertical alignment excepted. Anything else goes to TPersistent::Assign.
  void Assign(TPersistent* Source) override;

private:
  void FontChanged(TObject* Sender);
  bool Assigned(TRixColumnValue Value) const;
  void Include(TRixColumnValue Value);

  TAlignment FAlignment = taLeftJustify;
  TAlignmentV FAlignmentV = tavTop;
  std::string FCaption;
  TColor FColor = clBlack;
  TRixColumn* FColumn;
  std::unique_ptr<TFont> FFont;
};
