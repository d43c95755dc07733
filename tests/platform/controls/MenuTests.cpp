#include "TestGrid.h"

namespace {
struct MenuSet {
  TComponent* Owner = new TComponent(nullptr);
  TPopupMenu* Menu = new TPopupMenu(Owner);
  TMenuItem* Save = new TMenuItem(Menu);
  TMenuItem* Sep = new TMenuItem(Menu);
  TMenuItem* Load = new TMenuItem(Menu);
  TAction* SaveAction = new TAction(Owner);
  TAction* SepAction = new TAction(Owner);
  TAction* LoadAction = new TAction(Owner);
  std::vector<std::string> Events;

  MenuSet() {
    Menu->SetName("Menu");
    Save->SetName("miSave");
    Sep->SetName("miSep");
    Load->SetName("miLoad");
    for (TMenuItem* i : {Save, Sep, Load}) Menu->Items()->Add(i);
    // Caption, action, caption again: linking copies the action's empty caption.
    Save->SetCaption("保存");
    Save->SetAction(SaveAction);
    Save->SetCaption("保存");
    Sep->SetCaption("-");
    Sep->SetAction(SepAction);
    Sep->SetCaption("-");
    Load->SetCaption("読み込み");
    Load->SetAction(LoadAction);
    Load->SetCaption("読み込み");
    auto update = [this](TObject* Sender) {
      auto* a = dynamic_cast<TAction*>(Sender);
      ASSERT_NE(a, nullptr);
      Events.push_back("update");
      a->SetVisible(a != LoadAction);
    };
    for (TAction* a : {SaveAction, SepAction, LoadAction}) a->SetOnUpdate(update);
    SaveAction->SetOnExecute([this](TObject*) { Events.push_back("save"); });
  }
  ~MenuSet() { delete Owner; }
};

// Checks, at the moment the menu shows, that every OnUpdate has run.
class CheckingService : public TMenuService {
public:
  std::vector<std::string>* Events = nullptr;
  size_t UpdatesSeen = 0;
  TMenuItem* TrackPopup(TPopupMenu* Menu, const std::vector<TMenuItem*>& Items, int X, int Y) override {
    UpdatesSeen = Events->size();
    return TMenuService::TrackPopup(Menu, Items, X, Y);
  }
};
} // namespace

TEST(Menus, LinkingAnActionCopiesItsCaptionAndStateFollowsIt) {
  MenuSet m;
  TMenuItem item(nullptr);
  TAction action(nullptr);
  action.SetCaption("Act");
  item.SetCaption("Mine");
  item.SetAction(&action);
  EXPECT_EQ(item.Caption(), "Act");
  action.SetEnabled(false);
  action.SetVisible(false);
  EXPECT_FALSE(item.Enabled());
  EXPECT_FALSE(item.Visible());
  EXPECT_EQ(m.Save->Caption(), "保存");
  EXPECT_TRUE(m.Sep->IsLine());
  EXPECT_EQ(m.Menu->ComponentCount(), 3); // the items, not the root
  EXPECT_EQ(m.Menu->Items()->Find("miLoad"), m.Load);
}

TEST(Menus, PopupRunsEveryOnUpdateFirstAndShowsOnlyVisibleItems) {
  MenuSet m;
  CheckingService service;
  service.Events = &m.Events;
  SetMenuService(&service);
  m.Menu->Popup(100, 200);
  SetMenuService(nullptr);
  EXPECT_EQ(service.UpdatesSeen, 3u);
  const TPopupRecord& shown = service.LastPopup();
  EXPECT_EQ(shown.ItemNames, (std::vector<std::string>{"miSave", "miSep"}));
  EXPECT_EQ(shown.Captions, (std::vector<std::string>{"保存", "-"}));
  EXPECT_EQ(shown.X, 100);
  EXPECT_EQ(shown.Y, 200);
}

TEST(Menus, AChosenItemRunsItsAction) {
  MenuSet m;
  MenuService().Reset();
  MenuService().ScriptPopupChoice("miSave");
  m.Menu->Popup(0, 0);
  EXPECT_EQ(m.Events.back(), "save");
  m.Menu->Popup(0, 0); // nothing scripted: dismissed
  EXPECT_EQ(m.Events.back(), "update");
  MenuService().ScriptPopupChoice("miLoad"); // hidden: cannot be chosen
  m.Menu->Popup(0, 0);
  EXPECT_EQ(m.Events.back(), "update");
}

TEST(Menus, FreeingAnActionUnlinksItsItems) {
  MenuSet m;
  delete m.SaveAction;
  EXPECT_EQ(m.Save->Action(), nullptr);
  m.Save->Click(); // no action left: nothing happens
  delete m.Load;
  EXPECT_EQ(m.Menu->Items()->Count(), 2);
  EXPECT_EQ(m.LoadAction->ClientCount(), 0);
}

TEST_F(GridFixture, RightButtonReleasePopsUpTheControlsMenu) {
  MenuSet m;
  MenuService().Reset();
  Grid->SetPopupMenu(m.Menu);
  Input::Mouse(Grid, WM_RBUTTONDOWN, 100, 50);
  Input::Mouse(Grid, WM_RBUTTONUP, 100, 50);
  EXPECT_EQ(MenuService().PopupCount(), 1);
  EXPECT_EQ(m.Menu->PopupComponent(), Grid);
  TPoint screen = Grid->ClientToScreen({100, 50});
  EXPECT_EQ(MenuService().LastPopup().X, screen.X);
  EXPECT_EQ(MenuService().LastPopup().Y, screen.Y);
  m.Menu->SetAutoPopup(false);
  Input::Mouse(Grid, WM_RBUTTONUP, 100, 50);
  EXPECT_EQ(MenuService().PopupCount(), 1);
  Grid->SetPopupMenu(nullptr);
}

TEST_F(GridFixture, AFreedPopupMenuIsForgotten) {
  auto* menu = new TPopupMenu(nullptr);
  Grid->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(Grid->PopupMenu(), nullptr);
}

TEST(Dialogs, MessageDlgAnswersFromTheScriptThenTheSafeDefault) {
  DialogService().Reset();
  DialogService().ScriptModalResult(mrYes);
  EXPECT_EQ(MessageDlg("上書きしますか？", mtWarning, {mbYes, mbNo}, 0), mrYes);
  EXPECT_EQ(MessageDlg("上書きしますか？", mtWarning, {mbYes, mbNo}, 0), mrNo);
  EXPECT_EQ(MessageDlg("削除しますか？", mtConfirmation, {mbOK, mbCancel}, 0), mrCancel);
  EXPECT_EQ(MessageDlg("完了", mtInformation, {mbOK}, 0), mrOk);
  ASSERT_EQ(DialogService().Requests().size(), 4u);
  EXPECT_EQ(DialogService().Requests()[0].Text, "上書きしますか？");
  EXPECT_EQ(DialogService().Requests()[0].DlgType, mtWarning);
  EXPECT_EQ(MessageBox("Text", "Caption", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBox("Text", "Caption", MB_OK), IDOK);
}

TEST(Dialogs, PictureDialogsTakeScriptedFilesAndAskBeforeOverwriting) {
  DialogService().Reset();
  TOpenPictureDialog open(nullptr);
  EXPECT_FALSE(open.Filter().empty());
  EXPECT_FALSE(open.Execute()); // unscripted: cancelled
  DialogService().ScriptFileName("/tmp/picture");
  TSavePictureDialog save(nullptr);
  save.SetDefaultExt("bmp");
  EXPECT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), "/tmp/picture.bmp");

  std::string existing = testing::TempDir() + "rix_dialog_existing.bmp";
  { FILE* f = std::fopen(existing.c_str(), "wb"); ASSERT_NE(f, nullptr); std::fclose(f); }
  save.SetOptions(save.Options() + ofOverwritePrompt);
  save.SetFileName("");
  DialogService().ScriptFileName(existing);
  EXPECT_FALSE(save.Execute()); // overwrite unanswered: No
  EXPECT_EQ(save.FileName(), "");
  DialogService().ScriptFileName(existing);
  DialogService().ScriptOverwrite(true);
  EXPECT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName(), existing);
  std::remove(existing.c_str());
}

TEST(ClipboardText, HoldsTextAndFormatData) {
  Clipboard()->SetAsText("クリップ");
  EXPECT_EQ(Clipboard()->AsText(), "クリップ");
  EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
  Clipboard()->SetFormatData(CF_BITMAP, {1, 2, 3});
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT)); // a new owner empties it
  Clipboard()->Open();
  Clipboard()->SetFormatData(CF_BITMAP, {4});
  Clipboard()->SetAsText("both");
  Clipboard()->Close();
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_EQ(Clipboard()->AsText(), "both");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
}
