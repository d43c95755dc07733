// The clipboard: text, and bitmaps and pictures as format data: CF_BITMAP
// holds a BMP file image; a picture of another format (PNG, JPEG) is kept
// as its file bytes under CF_PICTURE, with its pixels under CF_BITMAP too.
// Clipboard()->Assign(Graphic or Picture) puts one on the clipboard;
// Bitmap->Assign(Clipboard()) and Picture->Assign(Clipboard()) take it.
// With a host link (a desktop's system clipboard), text and pictures go out
// to other programs too, and what they copy comes in: a picture as CF_BITMAP
// (its pixels) plus, unless it is a BMP, CF_PICTURE (its bytes as copied).
#pragma once

#include "platform/core/Classes.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_BITMAP = 2;
constexpr unsigned CF_UNICODETEXT = 13;
// Not a Windows format: a picture in one of the registered file formats.
constexpr unsigned CF_PICTURE = 0xC000;

// A system clipboard a host links in (the SDL host's); the clipboard pushes
// text and pictures to it and asks it for what the user copied elsewhere.
// A link that carries no pictures keeps them inside the process.
class TClipboardHostLink {
public:
  virtual ~TClipboardHostLink() = default;
  virtual void PutText(const std::string& Text) = 0;
  // True with Text filled when the system clipboard holds text.
  virtual bool FetchText(std::string& Text) = 0;
  // A picture's file bytes (BMP, PNG or JPEG) for other programs.
  virtual void PutPicture(const std::vector<std::uint8_t>& Bytes) { (void)Bytes; }
  enum class TPictureState {
    Own,     // the system clipboard holds what this process put there
    None,    // another program's content, no picture
    Picture, // another program's picture, in Bytes
  };
  virtual TPictureState FetchPicture(std::vector<std::uint8_t>& Bytes) {
    (void)Bytes;
    return TPictureState::Own;
  }
};

class TClipboard : public TPersistent {
  RIX_CLASS_NAME(TClipboard)
public:
  std::string AsText();
  void SetAsText(const std::string& Value);
  bool HasFormat(unsigned Format);
  void Clear();

  // Raw data of a format; setting data of one format keeps the others only
  // inside an Open/Close bracket, like the system clipboard.
  void SetFormatData(unsigned Format, std::vector<std::uint8_t> Data);
  std::vector<std::uint8_t> GetFormatData(unsigned Format);
  void Open();
  void Close();

  // Graphics register how a graphic is put on the clipboard (Assign(Graphic))
  // and taken from it (Graphic.Assign(Clipboard)); both answer false for a
  // class they do not know.
  using TAssignHook = std::function<bool(TClipboard& Clipboard, TPersistent* Source)>;
  static void RegisterAssignHook(TAssignHook Hook);
  // The other direction: a hook fills Dest from the clipboard.
  using TAssignToHook = std::function<bool(TClipboard& Clipboard, TPersistent* Dest)>;
  static void RegisterAssignToHook(TAssignToHook Hook);
  void Assign(TPersistent* Source) override;

  void SetHostLink(TClipboardHostLink* Link) { FLink = Link; }
  TClipboardHostLink* HostLink() const { return FLink; }
  // Counts every change, so hosts can tell when to sync.
  unsigned Sequence() const { return FSequence; }

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void PullHostText();
  void PullHostPicture();

  std::map<unsigned, std::vector<std::uint8_t>> FData;
  int FOpenCount = 0;
  bool FEmptied = false;
  TClipboardHostLink* FLink = nullptr;
  unsigned FSequence = 0;
  std::vector<std::uint8_t> FHostPicture; // the last picture taken from the link
};

// The process's clipboard.
TClipboard* Clipboard();
