// Pango behind the canvas: one process-wide text context at 96 dpi with fixed
// font options, so that what is measured on one surface is exactly what is
// drawn on any other. Used by the canvas and the Windows-style text calls.
#pragma once

#include "platform/graphics/GraphicsObjects.h"

#include <string>
#include <vector>

typedef struct _PangoContext PangoContext;
typedef struct _PangoLayout PangoLayout;
typedef struct _cairo cairo_t;

struct TTextMetric {
  int tmHeight = 0;           // ascent + descent: the height of one line
  int tmAscent = 0;
  int tmDescent = 0;
  int tmInternalLeading = 0;  // tmHeight minus the character (em) height
  int tmExternalLeading = 0;  // always 0: lines are set tmHeight apart
  int tmAveCharWidth = 0;
  int tmMaxCharWidth = 0;
  int tmOverhang = 0;         // always 0: styles do not widen the glyphs
};

namespace rix {

PangoContext* TextContext();

// The metrics of the font's primary face, cached per font handle.
const TTextMetric& FontMetrics(const TFont& Font);

// A new layout (the caller unrefs it) holding Text in Font, without wrapping.
PangoLayout* CreateTextLayout(const TFont& Font, const std::string& Text);

// Logical width in whole pixels of one unwrapped line of text.
int TextLineWidth(const TFont& Font, const std::string& Text);

// The x-offset, in whole pixels, of every character boundary of one
// unwrapped line of Text laid out whole (so kerning and shaping count as
// they do when the line is drawn): one entry per character, then the
// line's width. Characters Pango was not handed (after a NUL) sit at the end.
std::vector<int> TextLineOffsets(const TFont& Font, const std::string& Text);

// Text cut to at most Count bytes without splitting a UTF-8 sequence, with
// invalid sequences replaced, so Pango is always handed valid UTF-8.
std::string SanitizeUtf8(const std::string& Text, long long Count = -1);

} // namespace rix

typedef struct _PangoLayoutLine PangoLayoutLine;

namespace rix {
// Draws one laid-out line with its origin at X and its baseline at Baseline.
void ShowTextLine(cairo_t* Cr, PangoLayoutLine* Line, int X, int Baseline, TColor Color);
// Sets Cairo's source to an RGB colour (system colours resolved).
void SetSourceColor(cairo_t* Cr, TColor Color);
struct TLineMask;
// The line's coverage exactly as cairo composites it (its glyphs drawn in
// opaque black over nothing), cut to the pixels it touches. Not usable for
// a line cairo draws in colours of its own (colour glyphs) or one too large
// to keep.
TLineMask MakeLineMask(PangoLayoutLine* Line);
} // namespace rix

namespace rix {
// How many characters of Text no installed font can show in Font.
int UnknownGlyphCount(const TFont& Font, const std::string& Text);
} // namespace rix
