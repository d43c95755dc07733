// Picture decoding from untrusted bytes: the format sniffing of TPicture,
// the BMP decoder (all depths, RLE), stb_image's PNG and JPEG decoders and
// the length-prefixed "Glyph.Data" form. Anything but EInvalidGraphic-like
// exceptions, a crash or a leak is a finding.
#include <RixDBGrids.h>

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  std::vector<std::uint8_t> bytes(Data, Data + Size);
  try {
    TMemoryStream s(bytes);
    TPicture p;
    p.LoadFromStream(s);
    if (p.Graphic() != nullptr && static_cast<long long>(p.Width()) * p.Height() <= 1 << 20) {
      TBitmap target(8, 8);
      target.Canvas()->StretchDraw({0, 0, 8, 8}, p.Graphic());
      TMemoryStream out;
      p.SaveToStream(out);
    }
  } catch (const Exception&) {
  }
  try {
    TMemoryStream s(bytes);
    TBitmap b;
    b.ReadData(s);
  } catch (const Exception&) {
  }
  return 0;
}
