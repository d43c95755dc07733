// TRixDBGridInplaceEdit: the grid's in-place editor. It takes its edit style,
// read-only state, font, input method and mask from the current column, and
// drops down either the column's pick list or a lookup list fed from a
// second dataset (a lookup field's LookupDataSet, or the column's own
// ListSource / KeyField / ListField).
//
// Created by the grid's CreateEditor the first time the editor is needed.
// The grid places it over the current column's whole merged cell
// (EditorRect), before it is shown, so it never resizes itself while it
// paints.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/controls/DBLookupList.h"
#include "platform/data/Data.h"

#include "grid/RixColumnTypes.h"

class TRixCustomDBGrid;
class TRixColumn;

enum TRixEditStyle { esSimple, esEllipsis, esPickList, esButton, esCheck };

class TRixDBGridInplaceEdit : public TInplaceEditList {
  RIX_CLASS_NAME(TRixDBGridInplaceEdit)
  friend class TRixCustomDBGrid;

public:
  explicit TRixDBGridInplaceEdit(TComponent* AOwner);

  TPopupDataList* DataList() const { return FDataList; }
  TRixEditStyle EditStyle() const { return FEditStyle; }
  TDataSource* LookupSource() const { return FLookupSource; }
  // The current cell drops down the lookup list (set by GetRixEditStyle).
  bool UseDataList() const { return FUseDataList; }

  void UpdateContents() override;
  void KeyDown(unsigned short& Key, TShiftState Shift) override;
  void DropDown() override;
  void CloseUp(bool Accept) override;
  // The draw column of the grid's selected column; nil without one.
  virtual TRixColumn* GetColumn() const;

protected:
  void DoEditButtonClick() override;
  void WMSetFocus(TMessage& M) override;
  void Paint() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TRixCustomDBGrid* DBGrid() const;

  TPopupDataList* FDataList = nullptr;
  bool FUseDataList = false;
  TDataSource* FLookupSource = nullptr;
  TRixEditStyle FEditStyle = esSimple;
};
