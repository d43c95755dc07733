// TCustomGrid: the in-place editor protocol.
#include "platform/controls/Grids.h"

#include "platform/controls/InplaceEdit.h"

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

bool TCustomGrid::CanEditAcceptKey(char32_t Key) { return true; }
bool TCustomGrid::CanEditModify() { return FCanEditModify; }
std::string TCustomGrid::GetEditMask(int ACol, int ARow) { return {}; }
std::string TCustomGrid::GetEditText(int ACol, int ARow) { return {}; }
void TCustomGrid::SetEditText(int ACol, int ARow, const std::string& Value) {}
int TCustomGrid::GetEditLimit() { return 0; }
TEditStyle TCustomGrid::GetEditStyle(int ACol, int ARow) { return Grids::esSimple; }

bool TCustomGrid::CanEditShow() {
  return (TGridOptions{goRowSelect, goEditing} * FOptions) == TGridOptions{goEditing} && FEditorMode &&
         !ComponentState().Contains(csDesigning) && HandleAllocated() &&
         (FOptions.Contains(goAlwaysShowEditor) || IsActiveControl());
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  HideEdit();
}

void TCustomGrid::SetEditorMode(bool Value) {
  if (!Value) {
    HideEditor();
  } else {
    ShowEditor();
    if (FInplaceEdit != nullptr) FInplaceEdit->Deselect();
  }
}

void TCustomGrid::UpdateText() {
  if (FInplaceCol != -1 && FInplaceRow != -1 && FInplaceEdit != nullptr)
    SetEditText(FInplaceCol, FInplaceRow, FInplaceEdit->Text());
}

void TCustomGrid::HideEdit() {
  if (FInplaceEdit == nullptr) return;
  struct Finally {
    TCustomGrid* G;
    ~Finally() {
      G->FInplaceCol = -1;
      G->FInplaceRow = -1;
      if (G->FInplaceEdit != nullptr) G->FInplaceEdit->Hide();
    }
  } finally{this};
  UpdateText();
}

void TCustomGrid::UpdateEdit() {
  auto updateEditor = [&] {
    FInplaceCol = Col();
    FInplaceRow = Row();
    FInplaceEdit->UpdateContents();
    FCanEditModify = FInplaceEdit->MaxLength() != -1;
    FInplaceEdit->SelectAll();
  };
  if (!CanEditShow()) {
    // An editor left over another cell would take keys meant for this one.
    if (FInplaceEdit != nullptr && FInplaceCol != -1 && (Col() != FInplaceCol || Row() != FInplaceRow)) HideEdit();
    return;
  }
  if (FInplaceEdit == nullptr) {
    FInplaceEdit = CreateEditor();
    FInplaceEdit->SetGrid(this);
    FInplaceEdit->SetParent(this);
    updateEditor();
  } else if (Col() != FInplaceCol || Row() != FInplaceRow) {
    HideEdit();
    updateEditor();
  }
  if (CanEditShow()) FInplaceEdit->Move(EditorRect());
}

void TCustomGrid::InvalidateEditor() {
  FInplaceCol = -1;
  FInplaceRow = -1;
  UpdateEdit();
}
