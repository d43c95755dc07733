// The columns editor: the designer window that lists the columns of one
// grid and adds, removes, reorders and resets them. Selecting a column in
// the list selects it in the designer (where its properties are edited);
// a column selected in the designer from elsewhere (a click on the grid's
// title) is selected in the list.
//
// One editor exists per process, created on first use (ColumnsEditorForm)
// and reused for every grid; the Columns property opens it. It follows the
// collection it edits, so the list never shows columns the grid no longer
// has in that order, and it moves the designer's selection off a column
// before the column goes.
#pragma once

#include "design/DesignIntf.h"

#include "platform/controls/Controls.h"
#include "platform/core/Collections.h"
#include "platform/graphics/ImageList.h"

#include <string>

class TRixDBGrid;
class TRixDBGridColumns;

class TRixDBGridColumnsEditor : public TForm, public TCollectionObserver, public IDesignNotification {
  RIX_CLASS_NAME(TRixDBGridColumnsEditor)
public:
  explicit TRixDBGridColumnsEditor(TComponent* AOwner);
  ~TRixDBGridColumnsEditor() override;

  // The form's components, in the order the form creates them.
  TSplitter* Splitter1;
  TToolBar* ToolBar1;
  TPanel* Panel3;
  TListView* lstCols;
  TImageList* ImageList;
  TPopupMenu* PopupMenu;
  TMenuItem* AddAllFields1;
  TMenuItem* Restoredefaults1;
  TMenuItem* N1;
  TActionList* ActionList;
  TAction* MoveUpCmd;
  TAction* MoveDownCmd;
  TAction* SelectAllCmd;
  TAction* AddAllFieldsCmd;
  TAction* RestoreDefaultsCmd;
  TToolButton* tbAddCol;
  TToolButton* tbRemoveCol;
  TToolButton* tbSeparate;
  TToolButton* tbMoveUp;
  TToolButton* tbAddAllFields;
  TToolButton* tbRestoreDefaults;
  TToolButton* tbMoveDown;
  TToolButton* ToolButton1;

  // The designer of the form that holds the grid.
  IDesigner* TheDesigner = nullptr;

  // Switches to Grid (forgetting the grid edited before) and shows the form.
  void Edit(TRixDBGrid* Grid);
  void RefreshList();
  // Hides the form; it keeps its grid.
  void Close() { Hide(); }

  TComponent* Component() const { return FComponent; }
  TRixDBGridColumns* Columns() const { return FColumns; }

  void lstColsClick(TObject* Sender);
  void lstColsEditing(TObject* Sender, TListItem* Item, bool& AllowEdit);
  void lstColsDragOver(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept);
  void lstColsDragDrop(TObject* Sender, TObject* Source, int X, int Y);
  void tbAddColClick(TObject* Sender);
  void tbRemoveColClick(TObject* Sender);
  void MoveUpCmdExecute(TObject* Sender);
  void MoveDownCmdExecute(TObject* Sender);
  void AddAllFieldsCmdExecute(TObject* Sender);
  void RestoreDefaultsCmdExecute(TObject* Sender);

  void CollectionChanged(TCollection* Sender) override;
  void ItemRemoving(TCollection* Sender, TCollectionItem* Item) override;
  void SelectionChanged(IDesigner* ADesigner, const TDesignerSelections& ASelection) override;

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

private:
  void CreateComponents();
  void UpdateCommands();
  // The selected item when it still names a column of the collection, else -1.
  int SelectedColumn() const;
  void Modified();
  void Forget();

  TComponent* FComponent = nullptr;
  TRixDBGridColumns* FColumns = nullptr;
  bool FRefreshing = false;
};

// The editor of this process, created on first use; nil until then.
TRixDBGridColumnsEditor* RixDBGridColumnsEditor();
TRixDBGridColumnsEditor* ColumnsEditorForm();
// Frees the editor (a program that ends, a test that is done with it).
void ReleaseColumnsEditor();
// What the Columns property does by default: gives the editor Designer and
// Caption and opens it on Grid.
void OpenColumnsEditor(IDesigner* Designer, TRixDBGrid* Grid, const std::string& Caption);
