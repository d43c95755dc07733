// TRixCustomDBGrid: the default blob popup menu.
#include "grid/RixDBGrid.h"

#include "messages/RixRtlCons.h"

void TRixCustomDBGrid::CreateBlobPopupMenu() {
  FBlobPopupMenu = new TPopupMenu(this);
  FBlobPopupMenu->SetName("DefaultBolbMenus");
  struct TItem {
    const char* Name;
    std::string Caption;
    void (TRixCustomDBGrid::*Execute)(TObject*);
  };
  const TItem items[] = {
      {"miSaveToStream", SMenuSaveToStream, &TRixCustomDBGrid::miSaveToStreamClick},
      {"miLoadFromStream", SMenuLoadFromStream, &TRixCustomDBGrid::miLoadFromStreamClick},
      {"miSep1", "-", nullptr},
      {"miSaveToFile", SMenuSaveToFile, &TRixCustomDBGrid::miSaveToFileClick},
      {"miLoadFromFile", SMemuLoadFromFile, &TRixCustomDBGrid::miLoadFromFileClick},
  };
  for (const TItem& it : items) {
    auto* item = new TMenuItem(FBlobPopupMenu);
    item->SetName(it.Name);
    item->SetCaption(it.Caption);
    // The grid owns the actions, the menu owns the items.
    auto* action = new TAction(this);
    if (it.Execute != nullptr) action->SetOnExecute([this, f = it.Execute](TObject* S) { (this->*f)(S); });
    action->SetOnUpdate([this](TObject* S) { GraphicsMenuUpdate(S); });
    // Attaching the action copies its empty caption into the item.
    item->SetAction(action);
    item->SetCaption(it.Caption);
    FBlobPopupMenu->Items()->Add(item);
  }
}

// The blob menu's commands (clipboard and file exchange of graphic fields)
// and its visibility rule come with the blob menu work. Until then they do
// nothing, and the menu's items keep their default state.
void TRixCustomDBGrid::miSaveToStreamClick(TObject*) {}
void TRixCustomDBGrid::miLoadFromStreamClick(TObject*) {}
void TRixCustomDBGrid::miSaveToFileClick(TObject*) {}
void TRixCustomDBGrid::miLoadFromFileClick(TObject*) {}
void TRixCustomDBGrid::GraphicsMenuUpdate(TObject*) {}
void TRixCustomDBGrid::CopyToClipBoardBitmap() {}
void TRixCustomDBGrid::CutToClipBoardBitmap() {}
void TRixCustomDBGrid::PasteFromClipBoardBitmap() {}
