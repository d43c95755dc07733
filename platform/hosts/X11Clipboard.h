// TX11Clipboard: the X11 desktop's clipboard (the CLIPBOARD selection) for
// text and pictures, spoken through Xlib on a connection and a hidden window
// of its own, so it works beside whatever the window toolkit does.
//
// Putting text or a picture takes the selection; other programs then get
// text as UTF8_STRING, STRING, TEXT or text/plain, and a picture as
// image/png and image/bmp (and image/jpeg when it was a JPEG), large ones
// in pieces (INCR). Their requests are answered in Pump, which the host
// calls every round. Fetching asks the owner of the selection: text as
// UTF8_STRING (else STRING), a picture as image/png, else image/bmp
// (image/x-bmp, image/x-ms-bmp), else image/jpeg; an owner that does not
// answer within a second counts as holding nothing. Within 300 ms the same
// owner's answer is reused, so one paste asks once.
#pragma once

#include "platform/controls/Clipbrd.h"

#include <memory>

class TX11Clipboard : public TClipboardHostLink {
public:
  // Nil when no X display can be opened.
  static std::unique_ptr<TX11Clipboard> Open(const char* DisplayName = nullptr);
  ~TX11Clipboard() override;
  TX11Clipboard(const TX11Clipboard&) = delete;
  TX11Clipboard& operator=(const TX11Clipboard&) = delete;

  void PutText(const std::string& Text) override;
  bool FetchText(std::string& Text) override;
  void PutPicture(const std::vector<std::uint8_t>& Bytes) override;
  TPictureState FetchPicture(std::vector<std::uint8_t>& Bytes) override;

  // Answers other programs' requests waiting on the connection.
  void Pump();
  // This process owns the system clipboard.
  bool Owned() const;

private:
  struct TImpl;
  explicit TX11Clipboard(std::unique_ptr<TImpl> Impl);
  std::unique_ptr<TImpl> F;
};
