// TRixCustomDBGrid: the default blob popup menu.
#include "grid/RixDBGrid.h"

#include "messages/RixRtlCons.h"

#include <filesystem>
#include <memory>
#include <utility>

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

namespace {
bool EmptyBlob(const TField* Field) {
  if (Field->IsNull()) return true;
  auto* blob = dynamic_cast<const TBlobField*>(Field);
  return blob != nullptr && blob->BlobSize() == 0;
}

// A picture file's bytes, checked to be a picture the picture classes read
// (EInvalidGraphic when not).
void ReadPictureFile(const std::string& FileName, TMemoryStream& bytes) {
  bytes.LoadFromFile(FileName);
  TPicture check;
  check.LoadFromStream(bytes);
  bytes.SetPosition(0);
}
} // namespace

bool TRixCustomDBGrid::LoadableField(TField* Field) const {
  if (Field == nullptr || FDataLink == nullptr || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
  TDataSet* ds = FDataLink->DataSet();
  if (ds == nullptr || !ds->CanModify() || !Field->CanModify()) return false;
  if (FDataLink->Editing()) return true;
  TDataSource* source = FDataLink->DataSource();
  return source != nullptr && source->AutoEdit() && ds->State() == dsBrowse;
}

// The framework's version asks the data link to edit here, so opening the
// menu put the record into edit state (and a refusal escaped from the
// popup). The test below changes nothing; the load handlers edit themselves.
void TRixCustomDBGrid::GraphicsMenuUpdate(TObject* Sender) {
  auto* action = dynamic_cast<TAction*>(Sender);
  if (action == nullptr) return;
  TField* field = FDefaultMenuShow ? SelectedField() : nullptr;
  action->SetVisible(dynamic_cast<TGraphicField*>(field) != nullptr && LoadableField(field));
}

// The new store is filled first and then replaces the old one, so a failing
// read keeps the picture saved before.
void TRixCustomDBGrid::miSaveToStreamClick(TObject*) {
  auto* field = dynamic_cast<TGraphicField*>(SelectedField());
  if (field == nullptr) return;
  auto fresh = std::make_unique<TMemoryStream>();
  field->SaveToStream(*fresh);
  delete std::exchange(FStream, fresh.release());
}

void TRixCustomDBGrid::miLoadFromStreamClick(TObject*) {
  auto* field = dynamic_cast<TGraphicField*>(SelectedField());
  if (field == nullptr || FStream->Size() == 0 || !FDataLink->Edit()) return;
  field->LoadFromStream(*FStream);
}

// Asks before replacing a file; the picture then goes through a new file
// that replaces the old one only once it is complete.
void TRixCustomDBGrid::miSaveToFileClick(TObject*) {
  auto* field = dynamic_cast<TGraphicField*>(SelectedField());
  if (field == nullptr) return;
  std::unique_ptr<TSavePictureDialog> dialog(new TSavePictureDialog(nullptr));
  if (!dialog->Execute()) return;
  const std::string name = dialog->FileName();
  std::error_code error;
  if (std::filesystem::is_regular_file(name, error) &&
      MessageDlg(SConfirmOverwrite, mtWarning, TMsgDlgButtons{mbYes, mbNo}, 0) != mrYes)
    return;
  TMemoryStream bytes;
  field->SaveToStream(bytes);
  SaveFileReplacing(name, bytes.Memory(), bytes.Size());
}

// The dialog opens only when a load could edit the field; the record enters
// edit state once a readable picture was chosen.
void TRixCustomDBGrid::miLoadFromFileClick(TObject*) {
  auto* field = dynamic_cast<TGraphicField*>(SelectedField());
  if (field == nullptr || !LoadableField(field)) return;
  std::unique_ptr<TOpenPictureDialog> dialog(new TOpenPictureDialog(nullptr));
  if (!dialog->Execute()) return;
  TMemoryStream bytes;
  ReadPictureFile(dialog->FileName(), bytes);
  if (!FDataLink->Edit()) return;
  field->LoadFromStream(bytes);
}

void TRixCustomDBGrid::CopyToClipBoardBitmap() {
  TField* field = SelectedField();
  if (!IsBlobLikeField(field) || EmptyBlob(field)) return;
  TPicture picture;
  picture.Assign(field);
  if (picture.Graphic() == nullptr || picture.Graphic()->Empty()) return;
  Clipboard()->Assign(picture.Graphic());
}

// Copy comes before Clear: a copy that fails leaves the field as it was.
void TRixCustomDBGrid::CutToClipBoardBitmap() {
  TField* field = SelectedField();
  if (!IsBlobLikeField(field) || EmptyBlob(field) || !FDataLink->Edit()) return;
  CopyToClipBoardBitmap();
  field->Clear();
}

// The framework takes the clipboard's bitmap only. Pictures that other
// programs copied as PNG or JPEG come in their own format (the clipboard
// keeps their bytes), so the field stores them as they were copied. The
// picture is read before the record enters edit state.
void TRixCustomDBGrid::PasteFromClipBoardBitmap() {
  TField* field = SelectedField();
  if (!IsBlobLikeField(field) || !Clipboard()->HasFormat(CF_BITMAP)) return;
  TPicture picture;
  picture.Assign(Clipboard());
  if (picture.Graphic() == nullptr || picture.Graphic()->Empty() || !FDataLink->Edit()) return;
  field->Assign(picture.Graphic());
}
