// TRixCustomDBGrid: options, the data source, colours, fonts and the simple
// property accessors.
#include "grid/RixDBGrid.h"
#include "platform/core/ScopedValue.h"

#include <algorithm>

TGridOptions RixToGridOptions(TRixDBGridOptions& Value) {
  TGridOptions g;
  if (Value.Contains(rixdgColLines)) g = g + goFixedVertLine + goVertLine;
  if (Value.Contains(rixdgRowLines)) g = g + goFixedHorzLine + goHorzLine;
  if (Value.Contains(rixdgColumnResize)) g = g + goColSizing + goColMoving;
  if (Value.Contains(rixdgRowResize)) g = g + goRowSizing + goRowMoving;
  if (Value.Contains(rixdgTabs)) g = g + goTabs;
  if (Value.Contains(rixdgRowSelect)) {
    g = g + goRowSelect;
    Value = Value - rixdgAlwaysShowEditor - rixdgEditing;
  }
  if (Value.Contains(rixdgEditing)) g = g + goEditing;
  if (Value.Contains(rixdgAlwaysShowEditor)) g = g + goAlwaysShowEditor;
  return g;
}

// The base grid's fixed columns are not touched here: the layout pass and
// LinkActive set them from the indicator option, so nothing below can fail
// halfway with the option set already half applied.
void TRixCustomDBGrid::SetOptions(TRixDBGridOptions Value) {
  if (Value == FOptions) return;
  TGridOptions gridOptions = RixToGridOptions(Value);
  const bool dropSelection = FOptions.Contains(rixdgMultiSelect) && !Value.Contains(rixdgMultiSelect);
  const TRixDBGridOptions changed = (FOptions - Value) + (Value - FOptions);
  FOptions = Value;
  TCustomGrid::SetOptions(gridOptions);
  if (dropSelection) FBookmarks->Clear();
  if (!(changed * LayoutOptions).Empty()) {
    LayoutChanged();
    LinkActive(FDataLink->Active());
  }
}

TDataSource* TRixCustomDBGrid::GetDataSource() const {
  return FDataLink != nullptr ? FDataLink->DataSource() : nullptr;
}

void TRixCustomDBGrid::SetDataSource(TDataSource* Value) {
  if (Value == GetDataSource()) return;
  if (Value != nullptr && Value->DataSet() != nullptr && Value->DataSet()->IsUniDirectional())
    DatabaseError(dbconsts::SDataSetUnidirectional);
  FBookmarks->Clear();
  FDataLink->SetDataSource(Value);
  if (Value != nullptr) Value->FreeNotification(this);
}

int TRixCustomDBGrid::GetFieldCount() const { return FDataLink->FieldCount(); }
TField* TRixCustomDBGrid::GetFields(int Index) const { return FDataLink->Fields(Index); }
bool TRixCustomDBGrid::ValidFieldIndex(int FieldIndex) const { return FDataLink->GetMappedIndex(FieldIndex) >= 0; }

TField* TRixCustomDBGrid::GetColField(int DataCol) const {
  if (DataCol < 0 || !FDataLink->Active() || DataCol >= FColumns->Count()) return nullptr;
  return GetColumns(DataCol)->Field();
}

std::string TRixCustomDBGrid::GetFieldValue(int ACol) const {
  TField* f = GetColField(ACol);
  return f != nullptr ? f->DisplayText() : std::string();
}

void TRixCustomDBGrid::SetColumns(TRixDBGridColumns* Value) { FColumns->Assign(Value); }
bool TRixCustomDBGrid::StoreColumns() const { return FColumns->State() == csCustomized; }

void TRixCustomDBGrid::SelectionCleared() {
  FSelecting = false;
  FSelectionAnchor.clear();
}

std::string TRixCustomDBGrid::EventName(const std::string& Event) const {
  auto it = FEventNames.find(Event);
  return it == FEventNames.end() ? std::string() : it->second;
}

void TRixCustomDBGrid::SetEventName(const std::string& Event, const std::string& Method) {
  if (Method.empty())
    FEventNames.erase(Event);
  else
    FEventNames[Event] = Method;
}

// ---- Colours -----------------------------------------------------------------

void TRixCustomDBGrid::SetAlternatingRecordColor(TColor Value) {
  if (Value == FAlternatingRecordColor) return;
  FAlternatingRecordColor = Value;
  if (!ComponentState().Contains(csReading)) FAlternatingRecordColorChange = true;
  SetParentColor(false);
  Invalidate();
}

void TRixCustomDBGrid::SetAlternatingRecordColorChange(bool Value) {
  if (Value == FAlternatingRecordColorChange) return;
  FAlternatingRecordColorChange = Value;
  Invalidate();
}

void TRixCustomDBGrid::SetFocusedRecordColor(TColor Value) {
  if (Value == FFocusedRecordColor) return;
  FFocusedRecordColor = Value;
  if (!ComponentState().Contains(csReading)) FFocusedRecordColorChange = true;
  SetParentColor(false);
  Invalidate();
}

void TRixCustomDBGrid::SetFocusedRecordColorChange(bool Value) {
  if (Value == FFocusedRecordColorChange) return;
  FFocusedRecordColorChange = Value;
  Invalidate();
}

void TRixCustomDBGrid::CMParentColorChanged(TMessage& M) {
  TCustomGrid::CMParentColorChanged(M);
  if (!ParentColor()) return;
  if (FAlternatingRecordColor != Color()) {
    FAlternatingRecordColor = Color();
    Invalidate();
  }
  if (FFocusedRecordColor != Color()) {
    FFocusedRecordColor = Color();
    Invalidate();
  }
}

// ---- Fonts -------------------------------------------------------------------

void TRixCustomDBGrid::SetTitleFont(TFont* Value) {
  FTitleFont->Assign(Value);
  if (FOptions.Contains(rixdgTitles)) LayoutChanged();
}

void TRixCustomDBGrid::TitleFontChanged(TObject*) {
  if (!FSelfChangingTitleFont && !ComponentState().Contains(csLoading)) SetParentFont(false);
  if (FOptions.Contains(rixdgTitles)) LayoutChanged();
}

void TRixCustomDBGrid::CMParentFontChanged(TMessage& M) {
  TCustomGrid::CMParentFontChanged(M);
  if (!ParentFont()) return;
  {
    rix::TScopedValue selfChanging(FSelfChangingTitleFont, true);
    SetTitleFont(Font());
  }
  LayoutChanged();
}

void TRixCustomDBGrid::CMFontChanged(TMessage& M) {
  TCustomGrid::CMFontChanged(M);
  BeginLayout();
  try {
    for (int i = 0; i < FColumns->Count(); ++i) FColumns->Items(i)->RefreshDefaultFont();
  } catch (...) {
    EndLayout();
    throw;
  }
  EndLayout();
}
