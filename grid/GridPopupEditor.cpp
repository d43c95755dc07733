// TRixCustomDBGrid: the ellipsis button and the popup editor, a floating
// grid of the grid's own class on a nested dataset.
#include "grid/RixDBGrid.h"

#include <memory>

void TRixCustomDBGrid::EditButtonClick() {
  if (FOnEditButtonClick) {
    FOnEditButtonClick(this);
    return;
  }
  if (FColumns->Count() == 0) return;
  ShowPopupEditor(GetColumns(SelectedIndex()), NoPopupPosition, NoPopupPosition);
}

namespace {
TPopupMenu* InheritedPopupMenu(TControl* Control) {
  for (TControl* c = Control; c != nullptr; c = c->Parent())
    if (c->PopupMenu() != nullptr) return c->PopupMenu();
  return nullptr;
}
} // namespace

// The popup grid is a TRixDBGrid: C++ has no class references to make
// another instance of a descendant's own class.
void TRixCustomDBGrid::ShowPopupEditor(TRixColumn* Column, int X, int Y) {
  auto* field = Column != nullptr ? dynamic_cast<TDataSetField*>(Column->Field()) : nullptr;
  if (field == nullptr || field->NestedDataSet() == nullptr) return;
  TDataSet* nested = field->NestedDataSet();

  for (int i = 0; i < ComponentCount(); ++i) {
    auto* sub = dynamic_cast<TRixCustomDBGrid*>(Components(i));
    if (sub != nullptr && sub->DataSource() != nullptr && sub->DataSource()->DataSet() == nested && sub->CanFocus()) {
      if (sub->Parent() != nullptr) sub->Parent()->Show();
      sub->SetFocus();
      return;
    }
  }

  // The window owns nothing: the grid owns both, and freeing the window
  // (the parent) frees the popup grid with it.
  auto window = std::unique_ptr<TCustomDockForm>(new TCustomDockForm(this));
  auto* subGrid = new TRixDBGrid(this);
  try {
    auto* ds = new TDataSource(subGrid);
    ds->SetDataSet(nested);
    nested->CheckBrowseMode();
    subGrid->SetDataSource(ds);
    subGrid->Columns()->SetState(FColumns->State());
    if (subGrid->Columns()->Count() > 0) subGrid->Columns()->Items(0)->SetExpanded(true);
    subGrid->SetVisible(false);
    subGrid->SetDragKind(dkDock);

    const TRect cell = CellRect(Col(), Row());
    TPoint topLeft = ClientToScreen({cell.Right, cell.Bottom});
    if (X > NoPopupPosition) topLeft.X = X;
    if (Y > NoPopupPosition) topLeft.Y = Y;
    window->SetBiDiMode(BiDiMode());
    window->SetVisible(false);
    const int lastRight = subGrid->CellRect(subGrid->ColCount() - 1, 0).Right;
    const int width = lastRight > 0 && lastRight < Screen().Width / 2 ? lastRight : Screen().Width / 4;
    window->SetBounds(topLeft.X, topLeft.Y, width, Screen().Height / 4);
    subGrid->SetParent(window.get());
    subGrid->SetAlign(alClient);
    subGrid->SetBounds(0, 0, window->ClientWidth(), window->ClientHeight());
    subGrid->SetColor(Color());
    subGrid->SetCtl3D(Ctl3D());
    subGrid->SetCursor(Cursor());
    subGrid->SetEnabled(Enabled());
    subGrid->SetFixedColor(FixedColor());
    subGrid->SetFont(Font());
    subGrid->TWinControl::SetImeMode(ImeMode());
    subGrid->TWinControl::SetImeName(ImeName());
    subGrid->SetOptions(Options());
    subGrid->SetTitleFont(TitleFont());
    if (TPopupMenu* menu = InheritedPopupMenu(this)) subGrid->SetPopupMenu(menu);
    subGrid->SetVisible(true);
    window->Show();
    window->HandleNeeded();
  } catch (...) {
    if (subGrid->Parent() == nullptr) delete subGrid;
    throw; // the window frees a grid already placed on it
  }
  window.release();
}
