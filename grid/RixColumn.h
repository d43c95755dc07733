// TRixColumn: one column of the grid, with its title.
//
// Most settings follow the assigned-values pattern: reading gives the value
// the column holds while its flag is in AssignedValues, and otherwise a
// default computed at that moment from the grid or the field, so an
// unassigned setting follows later changes of either. Writing stores the
// value and sets the flag. A setting is streamed only while it is assigned
// and differs from its default (the Is...Stored predicates).
//
// Two kinds of column: a stored (customised) column keeps its settings; a
// default column, made by the grid from a field (InternalAdd), mirrors its
// field: SetAlignment, SetReadOnly and the title's SetCaption write through
// to the field, SetAlignmentV, SetBindColumn and SetEditMask reset instead,
// and binding another field resets the column.
//
// Changes are reported through Changed(AllItems): Changed(false) repaints the
// column and resets its grid width, Changed(true) asks for a new layout.
// Invalidated is the repaint used for drawing-only settings and the glyph.
//
// Construction. The framework builds the title through the virtual
// CreateTitle from the constructor, which in C++ does not reach an override:
// a descendant that wants its own title passes a title factory to the
// protected constructor. CreateTitle is that factory's default.
#pragma once

#include "grid/RixColumnTitle.h"

#include "platform/controls/Controls.h"
#include "platform/core/Core.h"
#include "platform/data/Data.h"

#include <functional>
#include <memory>
#include <string>

class TRixCustomDBGrid;
class TRixDBGridColumns;

namespace rix {

// The field display width, in average characters of a font measured as TM,
// that a default column of Width pixels asks for: about the inverse of the
// column's default width. Nothing (-1) for a negative width, a hidden
// column's -1 included, and for a font without an average character width.
int WidthToDisplayChars(int Width, const TTextMetric& TM);

} // namespace rix

class TRixColumn : public TCollectionItem {
  RIX_CLASS_NAME(TRixColumn)
  RIX_PUBLISHED(TRixColumn)
public:
  using TTitleFactory = std::function<TRixColumnTitle*(TRixColumn* Column)>;

  explicit TRixColumn(TCollection* Collection);
  ~TRixColumn() override;
  TRixColumn(const TRixColumn&) = delete;
  TRixColumn& operator=(const TRixColumn&) = delete;

  // The grid of the collection, or nil.
  TRixCustomDBGrid* Grid() const;
  TRixCustomDBGrid* GetGrid() const { return Grid(); }
  TRixDBGridColumns* Columns() const;
  TRixColumnValues AssignedValues() const { return FAssignedValues; }

  // ---- Field binding ----
  // The bound field; looked up by FieldName on first use while the grid's
  // link is active. A plain reference: the grid clears it when the field goes.
  TField* Field() const;
  TField* GetField() const { return Field(); }
  virtual void SetField(TField* Value);
  // The reference as held, without the lookup by name.
  TField* FieldRef() const { return FField; }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);

  // ---- Hierarchy of object fields ----
  // The column of the field's parent object field, searched before this one.
  TRixColumn* ParentColumn() const;
  int Depth() const;
  // The column shows an object field (ftADT, ftArray).
  bool Expandable() const;
  bool Expanded() const { return GetExpanded(); }
  bool GetExpanded() const { return FExpanded && Expandable(); }
  void SetExpanded(bool Value);
  // Its own wish and its parent's visibility.
  bool Visible() const { return GetVisible(); }
  bool GetVisible() const;
  void SetVisible(bool Value);
  // Has a cell on screen: visible, not expanded, every ancestor expanded.
  bool Showing() const;
  // Moves the column. A stored column takes the run of its descendants that
  // follows it along; a default column moves its field in the dataset too.
  void SetIndex(int Value) override;

  // ---- Settings with inherited defaults ----
  TAlignment Alignment() const { return GetAlignment(); }
  TAlignment GetAlignment() const;
  virtual void SetAlignment(TAlignment Value);
  TAlignmentV AlignmentV() const { return GetAlignmentV(); }
  TAlignmentV GetAlignmentV() const;
  void SetAlignmentV(TAlignmentV Value);
  TBindType BindColumn() const { return GetBindColumn(); }
  TBindType GetBindColumn() const;
  void SetBindColumn(TBindType Value);
  TColor Color() const { return GetColor(); }
  TColor GetColor() const;
  void SetColor(TColor Value);
  // The column's own font object: assigned, or kept equal to DefaultFont
  // (the grid's font). Changing it in place assigns it.
  TFont* Font() const { return GetFont(); }
  TFont* GetFont() const;
  void SetFont(TFont* Value);
  TImeMode ImeMode() const { return GetImeMode(); }
  TImeMode GetImeMode() const;
  virtual void SetImeMode(TImeMode Value);
  TImeName ImeName() const { return GetImeName(); }
  TImeName GetImeName() const;
  virtual void SetImeName(const TImeName& Value);
  bool ReadOnly() const { return GetReadOnly(); }
  bool GetReadOnly() const;
  virtual void SetReadOnly(bool Value);
  bool TabStop() const { return GetTabStop(); }
  bool GetTabStop() const;
  void SetTabStop(bool Value);
  // -1 while the column is not showing.
  int Width() const { return GetWidth(); }
  int GetWidth() const;
  virtual void SetWidth(int Value);

  TAlignment DefaultAlignment() const;
  TColor DefaultColor() const;
  TFont* DefaultFont() const;
  TImeMode DefaultImeMode() const;
  TImeName DefaultImeName() const;
  bool DefaultReadOnly() const;
  // Pixels: 64 outside a grid; the grid's DefaultColWidth without a field;
  // otherwise the field's DisplayWidth in digits "0" of the column font, and
  // at least the title caption in the title font while titles show.
  int DefaultWidth() const;

  bool IsAlignmentStored() const;
  bool IsAlignmentVStored() const;
  bool IsBindColumnStored() const;
  bool IsColorStored() const;
  bool IsFontStored() const;
  bool IsImeModeStored() const;
  bool IsImeNameStored() const;
  bool IsReadOnlyStored() const;
  bool IsTabStop() const;
  bool IsWidthStored() const;

  // ---- Plain settings ----
  const std::string& ButtonCaption() const { return FButtonCaption; }
  void SetButtonCaption(const std::string& Value) { FButtonCaption = Value; }
  TRixButtonState ButtonState() const { return FButtonState; }
  void SetButtonState(TRixButtonState Value);
  TRixColumnButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TRixColumnButtonStyle Value);
  unsigned DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(unsigned Value) { FDropDownRows = Value; }
  unsigned DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(unsigned Value) { FDropDownWidth = Value; }
  const std::string& EditMask() const { return FEditMask; }
  void SetEditMask(const std::string& Value);
  const std::string& KeyField() const { return FKeyField; }
  void SetKeyField(const std::string& Value) { FKeyField = Value; }
  const std::string& ListField() const { return FListField; }
  void SetListField(const std::string& Value) { FListField = Value; }
  TDataSource* ListSource() const { return FListSource; }
  void SetListSource(TDataSource* Value);
  TOrderState OrderState() const { return FOrderState; }
  void SetOrderState(TOrderState Value);
  // Never nil: an empty list is made on first read.
  TStrings* PickList() const { return GetPickList(); }
  TStrings* GetPickList() const;
  // Copies Value; nil drops the list.
  void SetPickList(TStrings* Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  bool ShowImages() const { return FShowImages; }
  void SetShowImages(bool Value);
  bool ShowMemoText() const { return FShowMemoText; }
  void SetShowMemoText(bool Value);
  bool Wordrap() const { return FWordrap; }
  void SetWordrap(bool Value);
  TRixColumnTitle* Title() const { return FTitle.get(); }
  void SetTitle(TRixColumnTitle* Value);

  // ---- Button cells (cbsButton) ----
  // The glyph bitmap (never nil; empty when none). SetGlyph copies; nil clears.
  TBitmap* Glyph() const { return GetGlyph(); }
  TBitmap* GetGlyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* Value);
  TNumGlyphs NumGlyphs() const { return GetNumGlyphs(); }
  TNumGlyphs GetNumGlyphs() const { return FGlyph->NumGlyphs(); }
  // Above 4 is taken as 4; below 0 raises ERangeError and changes nothing.
  void SetNumGlyphs(TNumGlyphs Value);
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  // -1 centres glyph and caption; values below -1 are ignored.
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
  // The state the glyph is drawn in (always up) and whether transparently.
  TButtonState State() const { return FState; }
  bool Transparent() const { return FTransparent; }

  // ---- Events ----
  // Raised with the column as Sender when one of its cells is clicked.
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(TNotifyEvent Value) { FOnClick = std::move(Value); }
  // The method name a form stream bound OnClick to ("" when none).
  const std::string& OnClickName() const { return FOnClickName; }
  void SetOnClickNamed(const std::string& Method, TNotifyEvent Value);
  // Repaint hook called first by Invalidated (the grid installs its own).
  void SetOnInvalidate(TNotifyEvent E) { FInvalidate = std::move(E); }

  // ---- Operations ----
  // Keeps an unassigned font equal to the grid's font.
  void RefreshDefaultFont();
  // Clears every assigned value and resets the button, lookup and glyph
  // settings (FieldName, Visible, Expanded, DropDownRows, DropDownWidth,
  // Layout, Margin, Spacing, ShowImages, ShowMemoText, Wordrap, PopupMenu and
  // OnClick stay).
  virtual void RestoreDefaults();
  // From another column: RestoreDefaults, then the field name, the assigned
  // settings, the title, the drop-down rows, button style, state and caption,
  // the edit mask, pick list, popup menu, visibility and expansion.
  void Assign(TPersistent* Source) override;
  std::string DisplayName() const override;
  void Invalidated(TObject* Sender);

  // Clears every draw and drag reference to this column held by the other
  // columns and the grid; the collection calls it before the column leaves.
  void ForgetReferences();

  bool IsStored() const { return FStored; }
  void SetIsStored(bool Value) { FStored = Value; }

  // Set by the layout pass: the column whose field and title this column's
  // cell shows, and an anchor's last bound column.
  TRixColumn* FDrawColumn = this;
  TRixColumn* FDrawEndColumn = this;

protected:
  TRixColumn(TCollection* Collection, const TTitleFactory& TitleFactory);
  static TRixColumnTitle* CreateTitle(TRixColumn* Column);

private:
  friend class TRixColumnTitle;
  // A title click steps the order arrow without a change notification.
  friend class TRixCustomDBGrid;
  bool Assigned(TRixColumnValue Value) const { return FAssignedValues.Contains(Value); }
  void Include(TRixColumnValue Value) { FAssignedValues.Include(Value); }
  void Exclude(TRixColumnValue Value) { FAssignedValues = FAssignedValues - Value; }
  void FontChanged(TObject* Sender);
  void WatchComponent(TComponent* Value);
  bool LinkActive() const;

  TAlignment FAlignment = taLeftJustify;
  TAlignmentV FAlignmentV = tavTop;
  TRixColumnValues FAssignedValues;
  TBindType FBindColumn = btNone;
  std::string FButtonCaption;
  TRixButtonState FButtonState = bs2State;
  TRixColumnButtonStyle FButtonStyle = cbsAuto;
  TColor FColor = clBlack;
  unsigned FDropDownRows = 7;
  unsigned FDropDownWidth = 0;
  std::string FEditMask;
  bool FExpanded = true;
  mutable TField* FField = nullptr;
  std::string FFieldName;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TButtonGlyph> FGlyph;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  TNotifyEvent FInvalidate;
  std::string FKeyField;
  TButtonLayout FLayout = blGlyphLeft;
  std::string FListField;
  TDataSource* FListSource = nullptr;
  int FMargin = -1;
  TOrderState FOrderState = osDisable;
  mutable std::unique_ptr<TStringList> FPickList;
  TPopupMenu* FPopupMenu = nullptr;
  bool FReadonly = false;
  bool FShowImages = true;
  bool FShowMemoText = true;
  int FSpacing = 4;
  bool FStored = true;
  bool FTabStop = true;
  std::unique_ptr<TRixColumnTitle> FTitle;
  bool FTransparent = true;
  bool FVisible = true;
  int FWidth = 0;
  bool FWordrap = false;
  TNotifyEvent FOnClick;
  std::string FOnClickName;
  TButtonState FState = bsUp;
};
