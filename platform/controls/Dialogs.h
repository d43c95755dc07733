// Message boxes and file dialogs, all through one replaceable dialog service.
//
// The default service shows nothing: it records every request and answers
// from a script that tests (or a batch run) fill in. Unscripted answers are
// the ones that change nothing:
// - MessageDlg: mrCancel when Cancel is offered, else mrNo when No is, else
//   the result of the first offered button (mrOk for an OK-only box);
// - MessageBox: IDCANCEL when Cancel is offered, else IDNO when No is, else IDOK;
// - file dialogs: cancelled (Execute returns false);
// - the overwrite question of a save dialog: No (the dialog is cancelled).
// Hosts with a screen install a service that asks the user.
#pragma once

#include "platform/core/Classes.h"
#include "platform/core/Sets.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn, 11>;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

// MessageBox flags and answers.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

enum TOpenOption { ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofShowHelp, ofNoValidate,
                   ofAllowMultiSelect, ofExtensionDifferent, ofPathMustExist, ofFileMustExist, ofCreatePrompt,
                   ofShareAware, ofNoReadOnlyReturn, ofNoTestFileCreate, ofNoNetworkButton, ofNoLongNames,
                   ofOldStyleDialog, ofNoDereferenceLinks, ofEnableIncludeNotify, ofEnableSizing,
                   ofDontAddToRecent, ofForceShowHidden };
using TOpenOptions = TSet<TOpenOption, 22>;

enum class TDialogKind { MessageDlg, MessageBox, OpenFile, SaveFile, ConfirmOverwrite };

// One question put to the user, as the service saw it.
struct TDialogRequest {
  TDialogKind Kind = TDialogKind::MessageDlg;
  std::string Text;    // message text, or the dialog title
  std::string Caption; // message box caption
  TMsgDlgType DlgType = mtCustom;
  TMsgDlgButtons Buttons;
  unsigned Flags = 0;
  int HelpCtx = 0;
  std::string FileName;
  std::string Filter;
  std::string DefaultExt;
  std::string InitialDir;
  TOpenOptions Options;
};

class TDialogService {
public:
  virtual ~TDialogService() = default;
  // The answer to a MessageDlg (a modal result).
  virtual TModalResult MessageDlg(const TDialogRequest& Request);
  // The answer to a MessageBox (IDOK ...).
  virtual int MessageBox(const TDialogRequest& Request);
  // A file dialog: true with FileName set, or false when cancelled.
  virtual bool FileDialog(const TDialogRequest& Request, std::string& FileName);
  // Whether to overwrite an existing file.
  virtual bool ConfirmOverwrite(const TDialogRequest& Request);

  // Script: answers are used in the order queued, per kind of question.
  void ScriptModalResult(TModalResult Result) { FResults.push_back(Result); }
  void ScriptFileName(const std::string& FileName) { FFiles.push_back(FileName); }
  void ScriptFileCancel() { FFiles.push_back(std::string(1, '\0')); }
  void ScriptOverwrite(bool Yes) { FOverwrite.push_back(Yes); }
  const std::vector<TDialogRequest>& Requests() const { return FRequests; }
  void Reset();

protected:
  std::vector<TDialogRequest> FRequests;

private:
  std::deque<TModalResult> FResults;
  std::deque<std::string> FFiles;
  std::deque<bool> FOverwrite;
};

TDialogService& DialogService();
// Installs another service (nil restores the default).
void SetDialogService(TDialogService* Service);

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags);

class TOpenDialog : public TComponent {
  RIX_CLASS_NAME(TOpenDialog)
public:
  using TComponent::TComponent;

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }
  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions Value) { FOptions = Value; }

  // Asks for a file; true with FileName set when the user chose one. A name
  // without an extension gets DefaultExt.
  virtual bool Execute();

protected:
  virtual TDialogKind Kind() const { return TDialogKind::OpenFile; }
  TDialogRequest MakeRequest() const;

  std::string FFileName, FFilter, FDefaultExt, FInitialDir, FTitle;
  int FFilterIndex = 1;
  TOpenOptions FOptions{ofHideReadOnly, ofEnableSizing};
};

class TSaveDialog : public TOpenDialog {
  RIX_CLASS_NAME(TSaveDialog)
public:
  using TOpenDialog::TOpenDialog;
  // With ofOverwritePrompt, choosing an existing file asks first; No cancels.
  bool Execute() override;

protected:
  TDialogKind Kind() const override { return TDialogKind::SaveFile; }
};

// The filter of every registered picture format (TPicture::GraphicFilter),
// unless a provider was installed (SetGraphicFilterProvider; nil restores).
std::string GraphicFilter();
void SetGraphicFilterProvider(std::function<std::string()> Provider);

// The picture dialogs start with the filter of all registered picture formats.
class TOpenPictureDialog : public TOpenDialog {
  RIX_CLASS_NAME(TOpenPictureDialog)
public:
  explicit TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner) { SetFilter(GraphicFilter()); }
};

class TSavePictureDialog : public TSaveDialog {
  RIX_CLASS_NAME(TSavePictureDialog)
public:
  explicit TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner) { SetFilter(GraphicFilter()); }
};
