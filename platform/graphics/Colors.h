// Colour resolution: system colours against the default palette, colour
// names for form files, and what the display can show solid.
#pragma once

#include "platform/graphics/Types.h"

#include <optional>
#include <string>

// The RGB value of a system colour index (0..30). The palette is the classic
// grey desktop scheme (button face $C0C0C0, highlight navy, window white),
// the one every colour of the grid was designed against; indexes outside the
// table answer black.
TColor GetSysColor(int Index);

// Resolves system colours ($800000nn) to their palette RGB. Plain colours,
// clNone and clDefault come back unchanged (the callers test those first).
TColor ColorToRGB(TColor Color);

// The framework's colour names ("clWindow", "clRed" ...). IdentToColor
// ignores case, as the form-file reader does.
std::optional<std::string> ColorToIdent(TColor Color);
std::optional<TColor> IdentToColor(const std::string& Ident);
// A name when the colour has one, else "$00BBGGRR".
std::string ColorToString(TColor Color);
// A name, a decimal integer or "$hex"; EConvertError otherwise.
TColor StringToColor(const std::string& S);

// Bits per pixel of the display, process-wide. 32 (the default), 24 and 16
// show every colour solid; at 8 bits only the 20 static palette colours
// are solid and GetNearestColor answers the nearest of them, which is how a
// caller finds out that a brush would come out dithered. Other values raise
// EInvalidOperation.
int DisplayColorDepth();
void SetDisplayColorDepth(int Bits);

// The colour the display actually shows for an RGB request at the current
// depth (system colours are resolved first).
TColor NearestDisplayColor(TColor Color);

// Restores the display depth on scope exit; for tests and previews.
class TDisplayColorDepthGuard {
public:
  explicit TDisplayColorDepthGuard(int Bits) : FSaved(DisplayColorDepth()) { SetDisplayColorDepth(Bits); }
  ~TDisplayColorDepthGuard() { SetDisplayColorDepth(FSaved); }
  TDisplayColorDepthGuard(const TDisplayColorDepthGuard&) = delete;
  TDisplayColorDepthGuard& operator=(const TDisplayColorDepthGuard&) = delete;

private:
  int FSaved;
};
