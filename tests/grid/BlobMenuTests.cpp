// The blob popup menu and the picture clipboard: what the menu
// shows, the private store, files and the clipboard, and the faults the
// framework's version had (editing on opening, copying an empty picture,
// saving over a file in place).
#include <RixDBGrids.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace {
namespace fs = std::filesystem;

std::string Bytes(TGraphic& G) {
  TMemoryStream s;
  G.SaveToStream(s);
  return s.DataString();
}

std::string SolidBmp(int W, int H, TColor Color) {
  TBitmap b(W, H);
  b.Canvas()->Brush()->SetColor(Color);
  b.Canvas()->FillRect(Rect(0, 0, W, H));
  return Bytes(b);
}

std::string SolidPng(int W, int H, TColor Color) {
  TBitmap b(W, H);
  b.Canvas()->Brush()->SetColor(Color);
  b.Canvas()->FillRect(Rect(0, 0, W, H));
  TPngImage png;
  png.Assign(&b);
  return Bytes(png);
}

std::string ReadFile(const std::string& Name) {
  std::ifstream f(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void WriteFile(const std::string& Name, const std::string& Bytes) {
  std::ofstream(Name, std::ios::binary) << Bytes;
}

// Three records: a BMP picture, a PNG picture and none; Name is text.
class BlobMenu : public ::testing::Test {
protected:
  void SetUp() override {
    ClearMessageQueue();
    MenuService().Reset();
    DialogService().Reset();
    Clipboard()->Clear();
    Form = new TForm(nullptr);
    Grid = new TRixDBGrid(Form);
    Grid->SetParent(Form);
    Data = new TMemoryDataSet(Form);
    Data->FieldDefs()->Add("Name", ftString, 20);
    Data->FieldDefs()->Add("Pic", ftGraphic);
    Data->CreateDataSet();
    for (const std::string& pic : {Red, Green, std::string()}) {
      Data->Append();
      Data->FieldByName("Name")->SetAsString("n");
      if (!pic.empty()) Data->FieldByName("Pic")->SetAsString(pic);
      Data->Post();
    }
    Data->First();
    Data->SetBeforeEdit([this](TDataSet*) {
      ++Edits;
      if (RefuseEdit) throw EDatabaseError("refused");
    });
    Source = new TDataSource(Form);
    Source->SetDataSet(Data);
    Grid->SetDataSource(Source);
    Host = std::make_unique<THeadlessHost>(Form, 400, 300);
    Grid->SetBounds(0, 0, 400, 300);
    Grid->SetFocus();
    Grid->SetSelectedField(Pic());
    Dir = fs::temp_directory_path() / ("rix-blob-" + std::to_string(::getpid()));
    fs::remove_all(Dir);
    fs::create_directories(Dir);
  }
  void TearDown() override {
    Host.reset();
    delete Form;
    ClearMessageQueue();
    MenuService().Reset();
    DialogService().Reset();
    fs::remove_all(Dir);
  }
  TField* Pic() { return Data->FieldByName("Pic"); }
  // The items the blob menu shows when it opens (and is dismissed).
  std::vector<std::string> Shown() {
    int before = MenuService().PopupCount();
    Grid->PopupMenu()->Popup(10, 10);
    if (MenuService().PopupCount() == before) return {};
    return MenuService().LastPopup().Captions;
  }
  void Choose(const std::string& Item) {
    MenuService().ScriptPopupChoice(Item);
    Grid->PopupMenu()->Popup(10, 10);
  }
  std::string File(const std::string& Name) { return (Dir / Name).string(); }

  const std::string Red = SolidBmp(4, 3, clRed);
  const std::string Green = SolidPng(5, 2, clLime);
  std::unique_ptr<THeadlessHost> Host;
  TForm* Form = nullptr;
  TRixDBGrid* Grid = nullptr;
  TMemoryDataSet* Data = nullptr;
  TDataSource* Source = nullptr;
  fs::path Dir;
  int Edits = 0;
  bool RefuseEdit = false;
};

const std::vector<std::string> AllItems{"クリップボードに保存", "クリップボードから読み込み", "-", "ファイルに保存",
                                        "ファイルから読み込み"};

TEST_F(BlobMenu, ShowsItsItemsOnlyWhereALoadCouldEditAndOpeningChangesNothing) {
  ASSERT_EQ(Grid->SelectedField(), Pic());
  RefuseEdit = true; // opening must not even ask
  EXPECT_EQ(Shown(), AllItems);
  EXPECT_EQ(Data->State(), dsBrowse);
  EXPECT_EQ(Edits, 0);

  Grid->SetDefaultMenuShow(false);
  EXPECT_TRUE(Shown().empty());
  Grid->SetDefaultMenuShow(true);
  // Hidden and shown again, the items keep their captions.
  EXPECT_EQ(Shown(), AllItems);

  Grid->SetSelectedField(Data->FieldByName("Name"));
  EXPECT_TRUE(Shown().empty());
  Grid->SetSelectedField(Pic());

  Source->SetAutoEdit(false);
  EXPECT_TRUE(Shown().empty());
  RefuseEdit = false;
  Data->Edit(); // already editing: no automatic edit needed
  EXPECT_EQ(Shown(), AllItems);
  Data->Cancel();
  Source->SetAutoEdit(true);

  Pic()->SetReadOnly(true);
  EXPECT_TRUE(Shown().empty());
  Pic()->SetReadOnly(false);
  Data->SetReadOnly(true);
  EXPECT_TRUE(Shown().empty());
  Data->SetReadOnly(false);
  EXPECT_EQ(Data->State(), dsBrowse);
}

TEST_F(BlobMenu, ThePrivateStoreCopiesAPictureBetweenRecords) {
  Choose("miLoadFromStream"); // empty store: nothing, not even edit state
  EXPECT_EQ(Data->State(), dsBrowse);
  Choose("miSaveToStream");
  EXPECT_EQ(Data->State(), dsBrowse);
  Data->Next();
  Data->Next();
  ASSERT_TRUE(Pic()->IsNull());
  Choose("miLoadFromStream");
  EXPECT_EQ(Data->State(), dsEdit);
  EXPECT_EQ(Pic()->AsString(), Red);
  Data->Post();
  // Loading does not empty the store; saving replaces it.
  Data->Prior();
  Choose("miLoadFromStream");
  EXPECT_EQ(Pic()->AsString(), Red);
  Choose("miSaveToStream");
  Data->Cancel();
  EXPECT_EQ(Grid->BlobStream()->Size(), static_cast<std::int64_t>(Red.size()));
}

TEST_F(BlobMenu, SavingToAFileAsksOnlyOverAnExistingOneAndNeverDamagesIt) {
  const std::string name = File("pic.bmp");
  DialogService().ScriptFileName(name);
  Choose("miSaveToFile");
  EXPECT_EQ(ReadFile(name), Red);
  EXPECT_EQ(DialogService().Requests().size(), 1u); // the file dialog only

  Data->Next();
  DialogService().ScriptFileName(name);
  DialogService().ScriptModalResult(mrNo);
  Choose("miSaveToFile");
  EXPECT_EQ(ReadFile(name), Red);
  ASSERT_EQ(DialogService().Requests().size(), 3u);
  EXPECT_EQ(DialogService().Requests()[2].Text, std::string(SConfirmOverwrite));

  DialogService().ScriptFileName(name);
  DialogService().ScriptModalResult(mrYes);
  Choose("miSaveToFile");
  EXPECT_EQ(ReadFile(name), Green);

  // A directory in the way: the save fails and the directory stays.
  fs::create_directory(File("dir.png"));
  WriteFile(File("dir.png") + "/inside", "x");
  DialogService().ScriptFileName(File("dir.png"));
  EXPECT_THROW(Choose("miSaveToFile"), EStreamError);
  EXPECT_EQ(ReadFile(File("dir.png") + "/inside"), "x");

  // A full disk: the old file survives a write that fails halfway, and no
  // temporary file is left behind.
  const std::string big(20000, 'b');
  Data->Edit();
  Pic()->SetAsString(big);
  Data->Post();
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old;
  limit.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  DialogService().ScriptFileName(name);
  DialogService().ScriptModalResult(mrYes);
  bool raised = false;
  try {
    Choose("miSaveToFile");
  } catch (const EStreamError&) {
    raised = true;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(raised);
  EXPECT_TRUE(ReadFile(name) == Green); // (not printed: the failure would be 20000 bytes)
  int files = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(Dir)) ++files;
  EXPECT_EQ(files, 2); // pic.bmp and dir.png

  // Through a symbolic link: the link stays, the file it names is replaced.
  fs::create_symlink(name, File("link.bmp"));
  Data->First();
  DialogService().ScriptFileName(File("link.bmp"));
  DialogService().ScriptModalResult(mrYes);
  Choose("miSaveToFile");
  EXPECT_TRUE(fs::is_symlink(File("link.bmp")));
  EXPECT_EQ(ReadFile(name), Red);
}

TEST_F(BlobMenu, LoadingAFileTakesAnyPictureAndEditsOnlyThen) {
  Data->Next();
  Data->Next();
  Choose("miLoadFromFile"); // dialog cancelled
  EXPECT_EQ(Data->State(), dsBrowse);
  WriteFile(File("junk.png"), "not a picture");
  DialogService().ScriptFileName(File("junk.png"));
  EXPECT_THROW(Choose("miLoadFromFile"), EInvalidGraphic);
  EXPECT_EQ(Data->State(), dsBrowse);
  // No default extension, no format by name: PNG bytes in a .dat file load.
  WriteFile(File("green.dat"), Green);
  DialogService().ScriptFileName(File("green.dat"));
  Choose("miLoadFromFile");
  EXPECT_EQ(Data->State(), dsEdit);
  EXPECT_EQ(Pic()->AsString(), Green);
}

TEST_F(BlobMenu, CopyAndCutLeaveAnEmptyFieldAndAForbiddenEditAlone) {
  Clipboard()->SetAsText("keep");
  Data->Next();
  Data->Next();
  Grid->CopyToClipBoardBitmap(); // empty picture
  Grid->CutToClipBoardBitmap();
  EXPECT_EQ(Clipboard()->AsText(), "keep");
  EXPECT_EQ(Data->State(), dsBrowse);

  Data->First();
  Source->SetAutoEdit(false);
  Grid->CutToClipBoardBitmap();
  EXPECT_EQ(Clipboard()->AsText(), "keep");
  EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
  EXPECT_EQ(Pic()->AsString(), Red);
  Source->SetAutoEdit(true);

  // A picture that cannot be read raises before the field is cleared.
  Data->Edit();
  Pic()->SetAsString("garbage");
  EXPECT_THROW(Grid->CutToClipBoardBitmap(), EInvalidGraphic);
  EXPECT_EQ(Pic()->AsString(), "garbage");
  Data->Cancel();

  Grid->CutToClipBoardBitmap();
  EXPECT_TRUE(Pic()->IsNull());
  EXPECT_EQ(Data->State(), dsEdit);
  TBitmap taken;
  taken.Assign(Clipboard());
  EXPECT_EQ(Bytes(taken), Red);
}

TEST_F(BlobMenu, PasteTakesBitmapsAndKeepsOtherProgramsPicturesAsTheyCame) {
  Grid->CopyToClipBoardBitmap();
  EXPECT_EQ(Data->State(), dsBrowse);
  Data->Last();
  Grid->PasteFromClipBoardBitmap();
  EXPECT_EQ(Pic()->AsString(), Red);
  Data->Post();

  // A PNG as another program puts it: its bytes reach the field unchanged.
  TPicture png;
  TMemoryStream s(std::vector<std::uint8_t>(Green.begin(), Green.end()));
  png.LoadFromStream(s);
  Clipboard()->Assign(&png);
  Grid->PasteFromClipBoardBitmap();
  EXPECT_EQ(Pic()->AsString(), Green);
  Data->Cancel();

  // Text is no picture: nothing happens.
  Clipboard()->SetAsText("text");
  Grid->PasteFromClipBoardBitmap();
  EXPECT_EQ(Data->State(), dsBrowse);
  Source->SetAutoEdit(false);
  Clipboard()->Assign(&png);
  Grid->PasteFromClipBoardBitmap();
  EXPECT_EQ(Pic()->AsString(), Red);
}

} // namespace
