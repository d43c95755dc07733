// TRixColumnTitle and TRixColumn: one column of the grid and its title.
//
// What is here now is the part of the column the grid object itself relies
// on: the references a column holds to a field, a popup menu and a lookup
// data source (all guarded by the grid's removal notifications), its field
// name, width, button style and the draw-column links the layout pass sets.
// The presentation settings with their inherited defaults, the assigned-value
// flags, the glyph, the published table and the object-field hierarchy are
// added to these two classes by the column model; the names below are the
// ones that model uses, so it extends them rather than replacing them.
#pragma once

#include "platform/core/Core.h"
#include "platform/data/Data.h"
#include "platform/controls/Controls.h"

#include <string>

class TRixCustomDBGrid;
class TRixDBGridColumns;

enum TRixColumnButtonStyle { cbsAuto, cbsEllipsis, cbsNone, cbsButton, cbsCheck };

class TRixColumn;

class TRixColumnTitle : public TPersistent {
  RIX_CLASS_NAME(TRixColumnTitle)
public:
  explicit TRixColumnTitle(TRixColumn* Column) : FColumn(Column) {}
  TRixColumn* Column() const { return FColumn; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value);

private:
  TRixColumn* FColumn;
  std::string FCaption;
};

class TRixColumn : public TCollectionItem {
  RIX_CLASS_NAME(TRixColumn)
public:
  explicit TRixColumn(TCollection* Collection);
  ~TRixColumn() override;

  // The grid of the collection, or nil.
  TRixCustomDBGrid* Grid() const;
  TRixDBGridColumns* Columns() const;

  // The bound field; looked up by FieldName on first use while the grid's
  // link is active. A plain reference: the grid clears it when the field goes.
  TField* Field() const;
  TField* GetField() const { return Field(); }
  void SetField(TField* Value);
  // The reference as held, without the lookup by name.
  TField* FieldRef() const { return FField; }
  const std::string& FieldName() const { return FFieldName; }
  void SetFieldName(const std::string& Value);

  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TDataSource* ListSource() const { return FListSource; }
  void SetListSource(TDataSource* Value);

  TRixColumnButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TRixColumnButtonStyle Value);

  int Width() const { return FWidth; }
  int GetWidth() const { return FWidth; }
  void SetWidth(int Value);
  static constexpr int DefaultWidth = 64;

  // Every column is shown until the object-field hierarchy arrives.
  bool Showing() const { return true; }
  bool IsStored() const { return FStored; }
  void SetIsStored(bool Value) { FStored = Value; }

  TRixColumnTitle* Title() const { return FTitle.get(); }
  // Takes the grid's font as the default font; the column's fonts come with
  // the column model.
  void RefreshDefaultFont() {}

  // Set by the layout pass: the column whose field and title this column's
  // cell shows, and an anchor's last bound column.
  TRixColumn* FDrawColumn = this;
  TRixColumn* FDrawEndColumn = this;

  // Repaint hook installed by the grid (Invalidated).
  void SetOnInvalidate(TNotifyEvent E) { FOnInvalidate = std::move(E); }

private:
  void WatchComponent(TComponent* Old, TComponent* New);

  mutable TField* FField = nullptr;
  std::string FFieldName;
  TPopupMenu* FPopupMenu = nullptr;
  TDataSource* FListSource = nullptr;
  TRixColumnButtonStyle FButtonStyle = cbsAuto;
  int FWidth = DefaultWidth;
  bool FStored = true;
  std::unique_ptr<TRixColumnTitle> FTitle;
  TNotifyEvent FOnInvalidate;
};
