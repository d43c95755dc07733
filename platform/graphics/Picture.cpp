#include "platform/graphics/Picture.h"

#include <algorithm>
#include <cctype>
#include <cstring>

// ---- TCompressedImage ------------------------------------------------------------

TCompressedImage::TCompressedImage() : FBitmap(std::make_unique<TBitmap>()) {}
TCompressedImage::~TCompressedImage() = default;

void TCompressedImage::SetWidth(int) {
  throw EInvalidGraphicOperation(std::string("Cannot resize a ") + ClassName());
}
void TCompressedImage::SetHeight(int) {
  throw EInvalidGraphicOperation(std::string("Cannot resize a ") + ClassName());
}

void TCompressedImage::LoadFromStream(TStream& Stream) {
  std::int64_t left = Stream.Size() - Stream.Position();
  if (left < 0) left = 0;
  if (left > (1LL << 30)) throw EInvalidGraphic("The image data is too large");
  std::vector<std::uint8_t> data(static_cast<std::size_t>(left));
  if (left > 0) Stream.ReadBuffer(data.data(), left);
  auto decoded = std::make_unique<TBitmap>();
  Decode(data, *decoded);
  FBitmap = std::move(decoded);
  FData = std::move(data);
  Changed();
}

void TCompressedImage::SaveToStream(TStream& Stream) {
  if (FData.empty() && !FBitmap->Empty()) FData = Encode(*FBitmap);
  if (!FData.empty()) Stream.WriteBuffer(FData.data(), static_cast<std::int64_t>(FData.size()));
}

void TCompressedImage::Draw(TCanvas* ACanvas, const TRect& Rect) { FBitmap->Draw(ACanvas, Rect); }

void TCompressedImage::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    FBitmap = std::make_unique<TBitmap>();
    FData.clear();
    Changed();
    return;
  }
  if (auto* c = dynamic_cast<TCompressedImage*>(Source); c && std::strcmp(c->ClassName(), ClassName()) == 0) {
    if (c == this) return;
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(c->FBitmap.get());
    FBitmap = std::move(copy);
    FData = c->FData;
    Changed();
    return;
  }
  if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    auto copy = std::make_unique<TBitmap>();
    copy->Assign(g);  // any graphic that can become a bitmap
    FData = Encode(*copy);
    FBitmap = std::move(copy);
    Changed();
    return;
  }
  TGraphic::Assign(Source);
}

void TCompressedImage::AssignTo(TPersistent* Dest) {
  if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
    b->Assign(FBitmap.get());
    return;
  }
  TGraphic::AssignTo(Dest);
}

// ---- formats ------------------------------------------------------------------------

namespace {

bool StartsWith(const std::uint8_t* Data, std::size_t Size, const char* Sig, std::size_t N) {
  return Size >= N && std::memcmp(Data, Sig, N) == 0;
}

std::vector<TGraphicFormat>& Formats() {
  static std::vector<TGraphicFormat> formats = [] {
    std::vector<TGraphicFormat> f;
    auto bmp = [] { return std::unique_ptr<TGraphic>(new TBitmap); };
    auto png = [] { return std::unique_ptr<TGraphic>(new TPngImage); };
    auto jpg = [] { return std::unique_ptr<TGraphic>(new TJPEGImage); };
    auto isBmp = [](const std::uint8_t* d, std::size_t n) { return StartsWith(d, n, "BM", 2); };
    auto isPng = [](const std::uint8_t* d, std::size_t n) { return StartsWith(d, n, "\x89PNG\r\n\x1a\n", 8); };
    auto isJpg = [](const std::uint8_t* d, std::size_t n) { return StartsWith(d, n, "\xFF\xD8\xFF", 3); };
    f.push_back({"bmp", "Bitmaps", "TBitmap", bmp, isBmp});
    f.push_back({"png", "Portable Network Graphics", "TPngImage", png, isPng});
    f.push_back({"jpg", "JPEG Image File", "TJPEGImage", jpg, isJpg});
    f.push_back({"jpeg", "JPEG Image File", "TJPEGImage", jpg, isJpg});
    return f;
  }();
  return formats;
}

std::string Lower(std::string S) {
  std::transform(S.begin(), S.end(), S.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return S;
}

const TGraphicFormat* FormatByContent(const std::uint8_t* Data, std::size_t Size) {
  for (const auto& f : Formats())
    if (f.Matches && f.Matches(Data, Size)) return &f;
  return nullptr;
}

} // namespace

std::unique_ptr<TGraphic> CreateGraphicByClassName(const std::string& ClassName) {
  for (const auto& f : Formats())
    if (f.ClassName == ClassName) return f.Create();
  return nullptr;
}

// ---- TPicture -------------------------------------------------------------------------

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (FOnChange) FOnChange(this);
}

void TPicture::Adopt(std::unique_ptr<TGraphic> Graphic) {
  FGraphic = std::move(Graphic);
  if (FGraphic) FGraphic->SetOnChange([this](TObject*) { Changed(); });
  Changed();
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get() && Value != nullptr) return;
  if (Value == nullptr) {
    Adopt(nullptr);
    return;
  }
  auto copy = CreateGraphicByClassName(Value->ClassName());
  if (!copy) copy = std::make_unique<TBitmap>();
  copy->Assign(Value);
  Adopt(std::move(copy));
}

TBitmap* TPicture::Bitmap() {
  if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get())) return b;
  Adopt(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::Assign(TPersistent* Source) {
  if (Source == nullptr) {
    SetGraphic(nullptr);
  } else if (auto* p = dynamic_cast<TPicture*>(Source)) {
    if (p != this) SetGraphic(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(g);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::LoadFromStream(TStream& Stream) {
  std::int64_t left = Stream.Size() - Stream.Position();
  if (left <= 0) {
    SetGraphic(nullptr);
    return;
  }
  if (left > (1LL << 30)) throw EInvalidGraphic("The picture data is too large");
  TMemoryStream m;
  m.SetSize(left);
  Stream.ReadBuffer(m.Memory(), left);
  const TGraphicFormat* f = FormatByContent(m.Memory(), static_cast<std::size_t>(left));
  if (f == nullptr) throw EInvalidGraphic("Unknown picture format");
  auto g = f->Create();
  m.SetPosition(0);
  g->LoadFromStream(m);
  Adopt(std::move(g));
}

void TPicture::SaveToStream(TStream& Stream) {
  if (FGraphic) FGraphic->SaveToStream(Stream);
}

void TPicture::LoadFromFile(const std::string& FileName) {
  TMemoryStream m;
  m.LoadFromFile(FileName);
  auto dot = FileName.find_last_of('.');
  std::string ext = dot == std::string::npos ? "" : Lower(FileName.substr(dot + 1));
  const TGraphicFormat* f = nullptr;
  for (const auto& x : Formats())
    if (x.Extension == ext) f = &x;
  const TGraphicFormat* byContent = FormatByContent(m.Memory(), static_cast<std::size_t>(m.Size()));
  // A picture saved under another format's extension still loads.
  if (byContent != nullptr) f = byContent;
  if (f == nullptr) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
  auto g = f->Create();
  g->LoadFromStream(m);
  Adopt(std::move(g));
}

void TPicture::SaveToFile(const std::string& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::RegisterFileFormat(TGraphicFormat Format) {
  Format.Extension = Lower(Format.Extension);
  UnregisterFileFormat(Format.Extension);
  Formats().push_back(std::move(Format));
}

void TPicture::UnregisterFileFormat(const std::string& Extension) {
  auto& f = Formats();
  std::string e = Lower(Extension);
  f.erase(std::remove_if(f.begin(), f.end(), [&](const TGraphicFormat& x) { return x.Extension == e; }), f.end());
}

const std::vector<TGraphicFormat>& TPicture::FileFormats() { return Formats(); }

std::string TPicture::GraphicFilter() {
  std::string all, each;
  for (const auto& f : Formats()) {
    std::string mask = "*." + f.Extension;
    all += (all.empty() ? "" : ";") + mask;
    each += "|" + f.Description + " (" + mask + ")|" + mask;
  }
  return "All (" + all + ")|" + all + each;
}
