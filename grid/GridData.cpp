// TRixCustomDBGrid: the answers to its data link's notifications and the
// field map it builds on every layout pass.
#include "grid/RixDBGrid.h"

#include "platform/controls/InplaceEdit.h"

#include <algorithm>

void TRixCustomDBGrid::DefineFieldMap() {
  if (FColumns->State() == csCustomized) {
    FDataLink->SetSparseMap(true);
    for (int i = 0; i < FColumns->Count(); ++i) FDataLink->AddMapping(FColumns->Items(i)->FieldName());
    return;
  }
  FDataLink->SetSparseMap(false);
  TDataSet* ds = FDataLink->DataSet();
  if (ds == nullptr) return;
  // The names first: mapping asks for notices, which must not disturb the walk.
  std::vector<std::string> names;
  for (TField* f : *ds->FieldList())
    if (f->Visible()) names.push_back(f->FullName());
  for (const auto& n : names) FDataLink->AddMapping(n);
}

// The selection belongs to the records of one open dataset: it is dropped
// when the link's activity really changes, not each time a layout pass,
// a fixed-column change or the focus comes through here.
void TRixCustomDBGrid::LinkActive(bool Value) {
  if (!Value) HideEditor();
  // Popup grids show the nested data of the records there were; they go
  // with the link's activity only, not on every pass through here (gaining
  // the focus, fixed columns), which would throw away what was typed in them.
  const bool changed = Value != FBookmarks->IsLinkActive();
  if (changed) FBookmarks->LinkActive(Value);
  auto after = [&] {
    for (int i = changed ? ComponentCount() - 1 : -1; i >= 0; --i) {
      if (i >= ComponentCount()) continue; // a floating window took its grid along
      auto* sub = dynamic_cast<TRixCustomDBGrid*>(Components(i));
      if (sub == nullptr || sub->DragKind() != dkDock) continue;
      // The floating window goes with its grid.
      if (auto* window = dynamic_cast<TCustomDockForm*>(sub->Parent()); window != nullptr && window->Owner() == this)
        delete window;
      else
        delete sub;
    }
    UpdateScrollBar();
    if (Value && FOptions.Contains(rixdgAlwaysShowEditor) && HandleAllocated()) ShowEditor();
  };
  try {
    LayoutChanged();
  } catch (...) {
    after();
    throw;
  }
  after();
  if (Value) {
    try {
      TCustomGrid::SetFixedCols(FFixedCols + FIndicatorOffset);
      SetFixedRows(FFixedRows < RowCount() ? std::max<int>(FFixedRows, FTitleOffset) : FTitleOffset);
    } catch (const Exception&) {
      // Too many fixed columns for the columns there are: keep what the base has.
    }
  }
}

void TRixCustomDBGrid::DataChanged() {
  // The dataset may have been sorted again; the selection follows its order.
  FBookmarks->Reorder();
  if (!HandleAllocated()) return;
  UpdateRowCount();
  UpdateScrollBar();
  UpdateActive();
  InvalidateEditor();
  ValidateAll();
  SetRecordIndex();
  Invalidate();
}

void TRixCustomDBGrid::RecordChanged(TField* Field) {
  if (!HandleAllocated()) return;
  if (Field == nullptr) {
    Invalidate();
  } else {
    for (int i = 0; i < FColumns->Count(); ++i)
      if (GetColumns(i)->FieldRef() == Field) InvalidateCol(DataToRawColumn(i));
  }
  // A memo edited as its value compares as its value; its display text
  // would always differ and reload the editor under the user's caret.
  TField* selected = GetColField(RawToDataColumn(Col()));
  if (selected != nullptr && (Field == nullptr || Field == selected) &&
      FieldEditText(GetColumns(RawToDataColumn(Col())), selected) != FEditText &&
      (SysLocale().PriLangID != LANG_KOREAN || FIsESCKey)) {
    InvalidateEditor();
    if (InplaceEditor() != nullptr) InplaceEditor()->Deselect();
  }
}

// The editing work shows and hides the in-place editor here.
void TRixCustomDBGrid::EditingChanged() {
  if (FOptions.Contains(rixdgIndicator) && HandleAllocated()) InvalidateCol(0);
}
