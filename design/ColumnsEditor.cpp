#include "design/ColumnsEditor.h"

#include "design/ColumnsEditorImages.h"
#include "grid/RixDBGrid.h"
#include "platform/core/ScopedValue.h"
#include "platform/data/Data.h"

namespace {

TRixDBGridColumnsEditor*& TheEditor() {
  static TRixDBGridColumnsEditor* editor = nullptr;
  return editor;
}

// The program's own component, owner of the editor: it lives as long as
// the process, like the framework's application object.
TComponent* ApplicationOwner() {
  static TComponent* app = new TComponent(nullptr);
  return app;
}

TAction* NewAction(TComponent* Owner, TActionList* List, const char* Name, const std::string& Caption) {
  auto* a = new TAction(Owner);
  a->SetName(Name);
  a->SetCaption(Caption);
  a->SetActionList(List);
  return a;
}

TToolButton* NewButton(TComponent* Owner, const char* Name) {
  auto* b = new TToolButton(Owner);
  b->SetName(Name);
  return b;
}

} // namespace

TRixDBGridColumnsEditor* RixDBGridColumnsEditor() { return TheEditor(); }

TRixDBGridColumnsEditor* ColumnsEditorForm() {
  if (TheEditor() == nullptr) TheEditor() = new TRixDBGridColumnsEditor(ApplicationOwner());
  return TheEditor();
}

void ReleaseColumnsEditor() { delete TheEditor(); }

void OpenColumnsEditor(IDesigner* Designer, TRixDBGrid* Grid, const std::string& Caption) {
  TRixDBGridColumnsEditor* form = ColumnsEditorForm();
  form->TheDesigner = Designer;
  form->SetCaption(Caption);
  form->Edit(Grid);
}

// ---- the form -------------------------------------------------------------------

TRixDBGridColumnsEditor::TRixDBGridColumnsEditor(TComponent* AOwner) : TForm(AOwner) {
  SetName("RixDBGridColumnsEditor");
  SetCaption("RixDBGridColumnsEditor");
  Font()->SetName("ＭＳ Ｐゴシック");
  Font()->SetCharset(SHIFTJIS_CHARSET);
  Font()->SetHeight(-12);
  SetParentColor(false);
  SetColor(clBtnFace);
  SetVisible(false);
  SetBounds(194, 118, 152, 192);
  CreateComponents();
  RegisterDesignNotification(this);
}

TRixDBGridColumnsEditor::~TRixDBGridColumnsEditor() {
  if (TheEditor() == this) TheEditor() = nullptr;
}

void TRixDBGridColumnsEditor::BeforeDestruction() {
  UnregisterDesignNotification(this);
  Forget();
  if (TheEditor() == this) TheEditor() = nullptr;
  TForm::BeforeDestruction();
}

void TRixDBGridColumnsEditor::CreateComponents() {
  Splitter1 = new TSplitter(this);
  Splitter1->SetName("Splitter1");
  ToolBar1 = new TToolBar(this);
  ToolBar1->SetName("ToolBar1");
  Panel3 = new TPanel(this);
  Panel3->SetName("Panel3");
  lstCols = new TListView(this);
  lstCols->SetName("lstCols");
  ImageList = new TImageList(16, 16, this);
  ImageList->SetName("ImageList");
  AddColumnsEditorImages(ImageList);
  PopupMenu = new TPopupMenu(this);
  PopupMenu->SetName("PopupMenu");
  AddAllFields1 = new TMenuItem(this);
  AddAllFields1->SetName("AddAllFields1");
  Restoredefaults1 = new TMenuItem(this);
  Restoredefaults1->SetName("Restoredefaults1");
  N1 = new TMenuItem(this);
  N1->SetName("N1");
  N1->SetCaption("-");
  ActionList = new TActionList(this);
  ActionList->SetName("ActionList");
  ActionList->SetImages(ImageList);
  MoveUpCmd = NewAction(this, ActionList, "MoveUpCmd", "上(&U)");
  MoveDownCmd = NewAction(this, ActionList, "MoveDownCmd", "下(&N)");
  MoveDownCmd->SetImageIndex(3);
  SelectAllCmd = NewAction(this, ActionList, "SelectAllCmd", "すべて選択(&A)");
  AddAllFieldsCmd = NewAction(this, ActionList, "AddAllFieldsCmd", "すべての項目の追加(&F)");
  AddAllFieldsCmd->SetHint("すべての項目の追加");
  AddAllFieldsCmd->SetImageIndex(4);
  RestoreDefaultsCmd = NewAction(this, ActionList, "RestoreDefaultsCmd", "デフォルトに戻す(&R)");
  RestoreDefaultsCmd->SetHint("デフォルトに戻す");
  RestoreDefaultsCmd->SetImageIndex(5);
  for (TAction* a : {MoveUpCmd, MoveDownCmd, AddAllFieldsCmd, RestoreDefaultsCmd}) a->SetEnabled(false);
  tbAddCol = NewButton(this, "tbAddCol");
  tbRemoveCol = NewButton(this, "tbRemoveCol");
  tbSeparate = NewButton(this, "tbSeparate");
  tbMoveUp = NewButton(this, "tbMoveUp");
  tbAddAllFields = NewButton(this, "tbAddAllFields");
  tbRestoreDefaults = NewButton(this, "tbRestoreDefaults");
  tbMoveDown = NewButton(this, "tbMoveDown");
  ToolButton1 = NewButton(this, "ToolButton1");

  // The tool bar on top, the splitter under it, the list filling the rest.
  ToolBar1->SetAlign(alTop);
  ToolBar1->SetParent(this);
  ToolBar1->SetImages(ImageList);
  ToolBar1->SetShowHint(true);
  Splitter1->SetAlign(alTop);
  Splitter1->SetHeight(2);
  Splitter1->SetCursor(crVSplit);
  Splitter1->SetParent(this);
  Panel3->SetBevelOuter(bvNone);
  Panel3->SetAlign(alClient);
  Panel3->SetParent(this);
  lstCols->SetParentColor(false);
  lstCols->SetColor(clWindow);
  lstCols->SetViewStyle(vsList);
  lstCols->SetDragMode(dmAutomatic);
  lstCols->SetAlign(alClient);
  lstCols->SetParent(Panel3);
  lstCols->SetPopupMenu(PopupMenu);

  AddAllFields1->SetAction(AddAllFieldsCmd);
  Restoredefaults1->SetAction(RestoreDefaultsCmd);
  for (TMenuItem* m : {AddAllFields1, Restoredefaults1, N1}) PopupMenu->Items()->Add(m);

  tbAddCol->SetImageIndex(0);
  tbRemoveCol->SetImageIndex(1);
  tbRemoveCol->SetEnabled(false);
  tbSeparate->SetStyle(tbsSeparator);
  tbMoveUp->SetImageIndex(2);
  tbMoveUp->SetAction(MoveUpCmd);
  tbMoveDown->SetAction(MoveDownCmd);
  ToolButton1->SetStyle(tbsSeparator);
  tbAddAllFields->SetAction(AddAllFieldsCmd);
  tbRestoreDefaults->SetAction(RestoreDefaultsCmd);
  for (TToolButton* b : {tbAddCol, tbRemoveCol, tbSeparate, tbMoveUp, tbMoveDown, ToolButton1, tbAddAllFields,
                         tbRestoreDefaults})
    b->SetToolBar(ToolBar1);

  lstCols->SetOnClick([this](TObject* S) { lstColsClick(S); });
  lstCols->SetOnEditing([this](TObject* S, TListItem* I, bool& A) { lstColsEditing(S, I, A); });
  lstCols->SetOnDragOver(
      [this](TObject* S, TObject* Src, int X, int Y, TDragState St, bool& A) { lstColsDragOver(S, Src, X, Y, St, A); });
  lstCols->SetOnDragDrop([this](TObject* S, TObject* Src, int X, int Y) { lstColsDragDrop(S, Src, X, Y); });
  tbAddCol->SetOnClick([this](TObject* S) { tbAddColClick(S); });
  tbRemoveCol->SetOnClick([this](TObject* S) { tbRemoveColClick(S); });
  MoveUpCmd->SetOnExecute([this](TObject* S) { MoveUpCmdExecute(S); });
  MoveDownCmd->SetOnExecute([this](TObject* S) { MoveDownCmdExecute(S); });
  AddAllFieldsCmd->SetOnExecute([this](TObject* S) { AddAllFieldsCmdExecute(S); });
  RestoreDefaultsCmd->SetOnExecute([this](TObject* S) { RestoreDefaultsCmdExecute(S); });
}

// ---- the grid being edited ----------------------------------------------------------

void TRixDBGridColumnsEditor::Edit(TRixDBGrid* Grid) {
  if (FComponent != nullptr) {
    RemoveFreeNotification(FComponent);
    if (FColumns != nullptr) FColumns->RemoveObserver(this);
  }
  FComponent = Grid;
  FColumns = nullptr;
  if (Grid != nullptr) {
    FreeNotification(Grid);
    FColumns = Grid->Columns();
    FColumns->AddObserver(this);
  }
  lstCols->SetItemIndex(-1);
  RefreshList();
  Show();
}

void TRixDBGridColumnsEditor::Forget() {
  if (FColumns != nullptr) FColumns->RemoveObserver(this);
  if (FComponent != nullptr) RemoveFreeNotification(FComponent);
  FComponent = nullptr;
  FColumns = nullptr;
  lstCols->ClearItems();
}

void TRixDBGridColumnsEditor::Notification(TComponent* AComponent, TOperation Operation) {
  TForm::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent != nullptr && AComponent == FComponent) {
    Close();
    Forget();
    UpdateCommands();
  } else if (dynamic_cast<TField*>(AComponent) != nullptr) {
    auto* grid = dynamic_cast<TRixDBGrid*>(FComponent);
    if (grid != nullptr && grid->GetDataLinkEnabled()) RefreshList();
  }
}

void TRixDBGridColumnsEditor::RefreshList() {
  rix::TScopedValue<bool> refreshing(FRefreshing, true);
  const int old = lstCols->ItemIndex();
  lstCols->ClearItems();
  auto* grid = dynamic_cast<TRixDBGrid*>(FComponent);
  if (grid == nullptr || FColumns == nullptr) return;
  AddAllFieldsCmd->SetEnabled(grid->GetDataLinkEnabled());
  RestoreDefaultsCmd->SetEnabled(FColumns->State() == csCustomized);
  // Default columns come from the dataset; they are not edited here.
  if (FColumns->State() == csCustomized)
    for (int i = 0; i < FColumns->Count(); ++i)
      lstCols->AddItem(std::to_string(i) + " - " + FColumns->Items(i)->GetDisplayName());
  if (old < lstCols->ItemCount()) lstCols->SetItemIndex(old);
  lstColsClick(lstCols);
}

// The list follows every change of the collection, wherever it came from
// (a title dragged in the grid, a column added in code), so that Remove and
// Move act on the column the list shows.
void TRixDBGridColumnsEditor::CollectionChanged(TCollection* Sender) {
  if (FRefreshing || Sender != FColumns) return;
  const bool customized = FColumns->State() == csCustomized;
  bool same = lstCols->ItemCount() == (customized ? FColumns->Count() : 0);
  for (int i = 0; same && i < lstCols->ItemCount(); ++i)
    same = lstCols->Items(i)->Caption() == std::to_string(i) + " - " + FColumns->Items(i)->GetDisplayName();
  if (same) {
    UpdateCommands();
    return;
  }
  // The item selected stays on the column the designer has selected,
  // wherever that column went.
  if (TheDesigner != nullptr) {
    const TDesignerSelections sel = TheDesigner->Selections();
    auto* column = sel.size() == 1 ? dynamic_cast<TCollectionItem*>(sel[0]) : nullptr;
    if (column != nullptr && column->Collection() == FColumns) lstCols->SetItemIndex(column->Index());
    else if (lstCols->ItemIndex() >= FColumns->Count()) lstCols->SetItemIndex(-1);
  }
  RefreshList();
}

// A column that goes must not stay selected in the designer, which would
// hold it after it was freed.
void TRixDBGridColumnsEditor::ItemRemoving(TCollection* Sender, TCollectionItem* Item) {
  if (Sender != FColumns || TheDesigner == nullptr) return;
  for (TPersistent* p : TheDesigner->Selections())
    if (p == Item) {
      TheDesigner->SelectComponent(FColumns);
      return;
    }
}

void TRixDBGridColumnsEditor::SelectionChanged(IDesigner* ADesigner, const TDesignerSelections& ASelection) {
  if (ADesigner != TheDesigner || FColumns == nullptr || FRefreshing) return;
  int index = -1;
  if (ASelection.size() == 1) {
    auto* column = dynamic_cast<TCollectionItem*>(ASelection[0]);
    if (column != nullptr && column->Collection() == FColumns) index = column->Index();
    else if (ASelection[0] != FColumns) return;
  } else if (!ASelection.empty()) {
    return;
  }
  if (index >= lstCols->ItemCount()) return;
  lstCols->SetItemIndex(index);
  UpdateCommands();
}

// ---- commands ---------------------------------------------------------------------

int TRixDBGridColumnsEditor::SelectedColumn() const {
  const int i = lstCols->ItemIndex();
  if (FColumns == nullptr || i < 0 || i >= FColumns->Count() || FColumns->State() != csCustomized) return -1;
  return i;
}

void TRixDBGridColumnsEditor::UpdateCommands() {
  const int i = lstCols->ItemIndex();
  tbRemoveCol->SetEnabled(i >= 0);
  MoveUpCmd->SetEnabled(i > 0);
  MoveDownCmd->SetEnabled(i >= 0 && i < lstCols->ItemCount() - 1);
}

void TRixDBGridColumnsEditor::Modified() {
  if (TheDesigner != nullptr) TheDesigner->Modified();
}

void TRixDBGridColumnsEditor::lstColsClick(TObject*) {
  if (TheDesigner != nullptr && FColumns != nullptr) {
    const int i = SelectedColumn();
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    if (i < 0) TheDesigner->SelectComponent(FColumns);
    else TheDesigner->SelectComponent(FColumns->Items(i));
  }
  UpdateCommands();
}

void TRixDBGridColumnsEditor::lstColsEditing(TObject*, TListItem*, bool& AllowEdit) { AllowEdit = false; }

void TRixDBGridColumnsEditor::lstColsDragOver(TObject*, TObject* Source, int, int, TDragState, bool& Accept) {
  Accept = Source == lstCols;
}

void TRixDBGridColumnsEditor::lstColsDragDrop(TObject*, TObject* Source, int X, int Y) {
  if (Source != lstCols) return;
  TListItem* target = lstCols->GetItemAt(X, Y);
  const int from = SelectedColumn();
  if (target == nullptr || from < 0 || target->Index() >= FColumns->Count()) return;
  const int to = target->Index();
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    FColumns->Items(from)->SetIndex(to);
  }
  lstCols->SetItemIndex(to);
  Modified();
  RefreshList();
  static_cast<TRixDBGrid*>(FComponent)->Invalidate();
}

void TRixDBGridColumnsEditor::tbAddColClick(TObject*) {
  if (FColumns == nullptr) return;
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    FColumns->Add();
  }
  RefreshList();
  lstCols->SetItemIndex(lstCols->ItemCount() - 1);
  // The new column is the one selected, in the designer as in the list.
  lstColsClick(lstCols);
  Modified();
}

void TRixDBGridColumnsEditor::tbRemoveColClick(TObject*) {
  const int i = SelectedColumn();
  if (i < 0) return;
  TRixColumn* column = FColumns->Items(i);
  if (TheDesigner != nullptr) {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    TheDesigner->SelectComponent(FColumns);
  }
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    delete column;
  }
  RefreshList();
  lstCols->SetItemIndex(i < lstCols->ItemCount() ? i : lstCols->ItemCount() - 1);
  auto* grid = static_cast<TRixDBGrid*>(FComponent);
  if (FColumns->Count() < grid->RowsPerRecord()) grid->SetRowsPerRecord(FColumns->Count());
  lstColsClick(lstCols);
  Modified();
}

void TRixDBGridColumnsEditor::MoveUpCmdExecute(TObject*) {
  const int i = SelectedColumn();
  if (i <= 0) return;
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    FColumns->Items(i - 1)->SetIndex(i);
  }
  lstCols->SetItemIndex(i - 1);
  Modified();
  RefreshList();
}

void TRixDBGridColumnsEditor::MoveDownCmdExecute(TObject*) {
  const int i = SelectedColumn();
  if (i < 0 || i + 1 >= FColumns->Count()) return;
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    FColumns->Items(i + 1)->SetIndex(i);
  }
  lstCols->SetItemIndex(i + 1);
  Modified();
  RefreshList();
  static_cast<TRixDBGrid*>(FComponent)->Invalidate();
}

void TRixDBGridColumnsEditor::AddAllFieldsCmdExecute(TObject*) {
  if (FColumns == nullptr) return;
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    FColumns->AddAllFields();
  }
  Modified();
  RefreshList();
  static_cast<TRixDBGrid*>(FComponent)->Invalidate();
}

void TRixDBGridColumnsEditor::RestoreDefaultsCmdExecute(TObject*) {
  if (FColumns == nullptr) return;
  {
    rix::TScopedValue<bool> refreshing(FRefreshing, true);
    FColumns->RestoreDefaults();
  }
  Modified();
  RefreshList();
}
