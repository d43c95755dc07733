// TRixCustomDBGrid: input methods. On a Far-East system each column may ask
// for its own input-method mode and name while its cell is edited; the
// grid's own settings (captured when its window is made) come back for the
// other columns, and the screen's defaults when the focus leaves the grid.
#include "grid/RixDBGrid.h"

void TRixCustomDBGrid::SetIme() {
  if (!SysLocale().FarEast || FColumns->Count() == 0) return;
  TWinControl::SetImeName(FOriginalImeName);
  TWinControl::SetImeMode(FOriginalImeMode);
  if (TRixColumn* column = SelectedDrawColumn()) {
    if (column->IsImeNameStored()) TWinControl::SetImeName(column->ImeName());
    if (column->IsImeModeStored()) TWinControl::SetImeMode(column->ImeMode());
  }
  if (TInplaceEdit* editor = InplaceEditor()) {
    editor->SetImeName(ImeName());
    editor->SetImeMode(ImeMode());
  }
}

void TRixCustomDBGrid::UpdateIme() {
  if (!SysLocale().FarEast) return;
  SetIme();
  ::SetImeName(ImeName());
  if (HandleAllocated()) ::SetImeMode(WindowHandle(), ImeMode());
}

// Focus coming back from the grid's own editor keeps the column's setting.
void TRixCustomDBGrid::WMSetFocus(TMessage& M) {
  if (SysLocale().FarEast) {
    TInplaceEdit* editor = InplaceEditor();
    if (editor == nullptr || !editor->HandleAllocated() || static_cast<HWND>(M.WParam) != editor->WindowHandle())
      SetIme();
  }
  TCustomGrid::WMSetFocus(M);
  if (FOptions.Contains(rixdgRowSelect) && FRowsPerRecord > 1) LinkActive(FDataLink->Active());
}

void TRixCustomDBGrid::WMKillFocus(TMessage& M) {
  if (SysLocale().FarEast) {
    TWinControl::SetImeName(Screen().DefaultIme);
    TWinControl::SetImeMode(imDontCare);
  }
  TCustomGrid::WMKillFocus(M);
  if (SysLocale().FarEast) {
    TInplaceEdit* editor = InplaceEditor();
    if (editor == nullptr || !editor->HandleAllocated() || static_cast<HWND>(M.WParam) != editor->WindowHandle())
      ActivateKeyboardLayout(Screen().DefaultKbLayout, KLF_ACTIVATE);
  }
  if (FOptions.Contains(rixdgRowSelect) && FRowsPerRecord > 1) Invalidate();
}

// A composition started on the grid itself goes into the cell's editor.
void TRixCustomDBGrid::WMIMEStartComposition(TMessage& M) {
  TCustomGrid::WMIMEStartComposition(M);
  ShowEditor();
}
