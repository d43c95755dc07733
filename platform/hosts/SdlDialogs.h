// TSdlDialogService: the dialog service of the SDL host. Message boxes,
// file-name questions and the overwrite question open a modal window of
// their own, drawn with our canvas (TDialogModel); the other windows get no
// input until it is answered. Closing the dialog's window answers like
// Escape. Requests are recorded as with the default service.
#pragma once

#include "platform/hosts/DialogModel.h"

class TSdlDialogService : public TDialogService {
public:
  TModalResult MessageDlg(const TDialogRequest& Request) override;
  int MessageBox(const TDialogRequest& Request) override;
  bool FileDialog(const TDialogRequest& Request, std::string& FileName) override;
  bool ConfirmOverwrite(const TDialogRequest& Request) override;

  // Runs Model in its own window until it is answered; returns its result.
  static int RunModal(TDialogModel& Model);
};
