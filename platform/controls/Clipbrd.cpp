#include "platform/controls/Clipbrd.h"

namespace rix {
void RegisterClipboardGraphics();
// A picture file's bytes as clipboard formats: its pixels as a BMP, and the
// bytes themselves when they are no BMP. False when they are no picture.
bool PictureToClipboardFormats(const std::vector<std::uint8_t>& Bytes, std::vector<std::uint8_t>& Bitmap,
                               std::vector<std::uint8_t>& Picture);
} // namespace rix

namespace {
std::vector<TClipboard::TAssignHook>& Hooks() {
  static std::vector<TClipboard::TAssignHook> H;
  return H;
}
std::vector<TClipboard::TAssignToHook>& ToHooks() {
  static std::vector<TClipboard::TAssignToHook> H;
  return H;
}
} // namespace

TClipboard* Clipboard() {
  static TClipboard C;
  static bool graphics = (rix::RegisterClipboardGraphics(), true);
  (void)graphics;
  return &C;
}

void TClipboard::RegisterAssignHook(TAssignHook Hook) { Hooks().push_back(std::move(Hook)); }

void TClipboard::RegisterAssignToHook(TAssignToHook Hook) { ToHooks().push_back(std::move(Hook)); }

void TClipboard::AssignTo(TPersistent* Dest) {
  for (auto& h : ToHooks())
    if (h(*this, Dest)) return;
  TPersistent::AssignTo(Dest);
}

void TClipboard::Assign(TPersistent* Source) {
  for (auto& h : Hooks())
    if (h(*this, Source)) return;
  TPersistent::Assign(Source);
}

void TClipboard::PullHostText() {
  std::string text;
  if (FLink != nullptr && FLink->FetchText(text)) {
    auto it = FData.find(CF_TEXT);
    if (it == FData.end() || std::string(it->second.begin(), it->second.end()) != text) {
      FData.clear();
      FHostPicture.clear();
      FData[CF_TEXT] = std::vector<std::uint8_t>(text.begin(), text.end());
      ++FSequence;
    }
  }
}

// Another program's picture replaces the process's formats; another
// program's content without a picture removes the process's pictures.
void TClipboard::PullHostPicture() {
  if (FLink == nullptr) return;
  std::vector<std::uint8_t> bytes;
  switch (FLink->FetchPicture(bytes)) {
  case TClipboardHostLink::TPictureState::Own: return;
  case TClipboardHostLink::TPictureState::None:
    FHostPicture.clear();
    if (FData.erase(CF_BITMAP) + FData.erase(CF_PICTURE) > 0) ++FSequence;
    return;
  case TClipboardHostLink::TPictureState::Picture: break;
  }
  // The same picture as last time, and nothing else came since: as it is.
  if (!FHostPicture.empty() && bytes == FHostPicture) return;
  std::vector<std::uint8_t> bitmap, picture;
  FData.clear();
  FHostPicture = bytes;
  if (rix::PictureToClipboardFormats(bytes, bitmap, picture)) {
    FData[CF_BITMAP] = std::move(bitmap);
    if (!picture.empty()) FData[CF_PICTURE] = std::move(picture);
  }
  ++FSequence;
}

std::string TClipboard::AsText() {
  PullHostText();
  auto it = FData.find(CF_TEXT);
  if (it == FData.end()) return {};
  return std::string(it->second.begin(), it->second.end());
}

void TClipboard::SetAsText(const std::string& Value) {
  SetFormatData(CF_TEXT, std::vector<std::uint8_t>(Value.begin(), Value.end()));
  if (FLink != nullptr) FLink->PutText(Value);
}

bool TClipboard::HasFormat(unsigned Format) {
  if (Format == CF_TEXT || Format == CF_UNICODETEXT) {
    PullHostText();
    return FData.count(CF_TEXT) != 0;
  }
  if (Format == CF_BITMAP || Format == CF_PICTURE) PullHostPicture();
  return FData.count(Format) != 0;
}

void TClipboard::Clear() {
  FData.clear();
  FHostPicture.clear();
  ++FSequence;
}

void TClipboard::Open() {
  if (FOpenCount++ == 0) FEmptied = false;
}

void TClipboard::Close() {
  if (FOpenCount > 0) --FOpenCount;
}

void TClipboard::SetFormatData(unsigned Format, std::vector<std::uint8_t> Data) {
  // Outside a bracket every write replaces the whole clipboard; inside one the
  // first write empties it and later writes add formats.
  if (FOpenCount == 0 || !FEmptied) {
    FData.clear();
    FEmptied = FOpenCount > 0;
  }
  FData[Format == CF_UNICODETEXT ? CF_TEXT : Format] = std::move(Data);
  FHostPicture.clear();
  ++FSequence;
}

std::vector<std::uint8_t> TClipboard::GetFormatData(unsigned Format) {
  if (Format == CF_TEXT || Format == CF_UNICODETEXT) PullHostText();
  if (Format == CF_BITMAP || Format == CF_PICTURE) PullHostPicture();
  auto it = FData.find(Format == CF_UNICODETEXT ? CF_TEXT : Format);
  return it == FData.end() ? std::vector<std::uint8_t>{} : it->second;
}
