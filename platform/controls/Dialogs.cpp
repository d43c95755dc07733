#include "platform/controls/Dialogs.h"
#include "platform/graphics/Picture.h"

#include <filesystem>

namespace {
thread_local TDialogService* GService = nullptr;
TDialogService& DefaultService() {
  thread_local TDialogService S;
  return S;
}
std::function<std::string()>& FilterProvider() {
  static std::function<std::string()> P;
  return P;
}
} // namespace

TDialogService& DialogService() { return GService != nullptr ? *GService : DefaultService(); }
void SetDialogService(TDialogService* Service) { GService = Service; }

TModalResult TDialogService::MessageDlg(const TDialogRequest& Request) {
  FRequests.push_back(Request);
  if (!FResults.empty()) {
    TModalResult r = FResults.front();
    FResults.pop_front();
    return r;
  }
  const TMsgDlgButtons& b = Request.Buttons;
  if (b.Contains(mbCancel)) return mrCancel;
  if (b.Contains(mbNo)) return mrNo;
  static const TModalResult results[] = {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry,
                                         mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
  for (int i = 0; i < TMsgDlgButtons::Size; ++i)
    if (b.Contains(static_cast<TMsgDlgBtn>(i))) return results[i];
  return mrOk;
}

int TDialogService::MessageBox(const TDialogRequest& Request) {
  FRequests.push_back(Request);
  if (!FResults.empty()) {
    int r = FResults.front();
    FResults.pop_front();
    return r;
  }
  switch (Request.Flags & 0xF) {
  case MB_OKCANCEL:
  case MB_YESNOCANCEL:
  case MB_RETRYCANCEL: return IDCANCEL;
  case MB_YESNO: return IDNO;
  case MB_ABORTRETRYIGNORE: return IDABORT;
  default: return IDOK;
  }
}

bool TDialogService::FileDialog(const TDialogRequest& Request, std::string& FileName) {
  FRequests.push_back(Request);
  if (FFiles.empty()) return false;
  std::string f = FFiles.front();
  FFiles.pop_front();
  if (f == std::string(1, '\0')) return false;
  FileName = f;
  return true;
}

bool TDialogService::ConfirmOverwrite(const TDialogRequest& Request) {
  FRequests.push_back(Request);
  if (FOverwrite.empty()) return false;
  bool yes = FOverwrite.front();
  FOverwrite.pop_front();
  return yes;
}

void TDialogService::Reset() {
  FRequests.clear();
  FResults.clear();
  FFiles.clear();
  FOverwrite.clear();
}

TModalResult MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  TDialogRequest r;
  r.Kind = TDialogKind::MessageDlg;
  r.Text = Msg;
  r.DlgType = DlgType;
  r.Buttons = Buttons;
  r.HelpCtx = HelpCtx;
  return DialogService().MessageDlg(r);
}

int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags) {
  TDialogRequest r;
  r.Kind = TDialogKind::MessageBox;
  r.Text = Text;
  r.Caption = Caption;
  r.Flags = Flags;
  return DialogService().MessageBox(r);
}

TDialogRequest TOpenDialog::MakeRequest() const {
  TDialogRequest r;
  r.Kind = Kind();
  r.Text = FTitle;
  r.FileName = FFileName;
  r.Filter = FFilter;
  r.DefaultExt = FDefaultExt;
  r.InitialDir = FInitialDir;
  r.Options = FOptions;
  return r;
}

namespace {
std::string WithDefaultExt(const std::string& Name, const std::string& Ext) {
  if (Ext.empty() || std::filesystem::path(Name).has_extension()) return Name;
  return Name + "." + (Ext[0] == '.' ? Ext.substr(1) : Ext);
}
} // namespace

bool TOpenDialog::Execute() {
  std::string name;
  if (!DialogService().FileDialog(MakeRequest(), name)) return false;
  FFileName = WithDefaultExt(name, FDefaultExt);
  return true;
}

bool TSaveDialog::Execute() {
  std::string name;
  TDialogRequest r = MakeRequest();
  if (!DialogService().FileDialog(r, name)) return false;
  name = WithDefaultExt(name, FDefaultExt);
  std::error_code ec;
  if (FOptions.Contains(ofOverwritePrompt) && std::filesystem::exists(name, ec)) {
    r.Kind = TDialogKind::ConfirmOverwrite;
    r.FileName = name;
    if (!DialogService().ConfirmOverwrite(r)) return false;
  }
  FFileName = name;
  return true;
}

std::string GraphicFilter() {
  if (FilterProvider()) return FilterProvider()();
  return TPicture::GraphicFilter();
}

void SetGraphicFilterProvider(std::function<std::string()> Provider) { FilterProvider() = std::move(Provider); }
