// Bounded process-wide caches of Pango's and cairo's work: text widths,
// laid-out text and the coverage of laid-out lines, keyed by everything the
// result depends on (font handle, text, layout flags, width, line). A grid
// repaints the same cells frame after frame; shaping and compositing them
// glyph by glyph each time would dominate its frame time.
//
// Bounds: at most MaxEntries entries and MaxBytes bytes of memory per
// cache, counted by an estimate of what an entry holds (a laid-out text
// costs about a kilobyte plus two dozen bytes per byte of text, a width a
// few hundred bytes); texts longer than MaxTextBytes are never cached. The
// least recently used entry goes first. A full-HD grid frame of short cells
// fits the layout cache; a long session of random scrolling keeps it at its
// bound, a few megabytes. Everything is for the thread that draws (Pango's
// context is not shared between threads).
#pragma once

#include "platform/graphics/GraphicsObjects.h"

#include <cstddef>
#include <functional>
#include <string>

typedef struct _PangoLayout PangoLayout;
typedef union pixman_image pixman_image_t;

namespace rix {

struct TTextCacheLimits {
  std::size_t MaxEntries = 4096;
  std::size_t MaxBytes = 2 << 20;
  // Line masks: a full-HD frame of 20 short columns needs about 1 MB.
  std::size_t MaxMaskBytes = 3 << 19;
  std::size_t MaxTextBytes = 4096;
};

// What identifies a layout: the font, the (prepared) text, the flags that
// change how it is laid out, and the width it is wrapped or cut to.
struct TLayoutKey {
  HFONT Font = 0;
  unsigned Flags = 0;
  int Width = 0;
  int Mark = -1;  // byte offset of an underlined character, -1 none
  std::string Text;
  int Line = 0;   // the line of the layout, for masks
  bool operator==(const TLayoutKey&) const = default;
};

// Turns the caches on or off (on by default) and empties them; off, every
// call measures and lays out afresh, which is how tests compare.
void SetTextCachesEnabled(bool Value);
bool TextCachesEnabled();
void ClearTextCaches();
// Entries and the estimated bytes of memory they hold now, over all caches.
std::size_t TextCacheEntries();
std::size_t TextCacheBytes();
const TTextCacheLimits& TextCacheLimits();

// The layout for Key: cached, or made by Make (a new reference, which the
// cache takes over). The caller gets a reference of its own to unref.
PangoLayout* CachedLayout(const TLayoutKey& Key, const std::function<PangoLayout*()>& Make);

// The width of one line of Text in Font: cached, or measured by Measure.
int CachedTextWidth(HFONT Font, const std::string& Text, const std::function<int()>& Measure);

// A laid-out line as coverage, drawn again in any colour by compositing the
// colour through it: what compositing its glyphs gives, pixel for pixel.
struct TLineMask {
  bool Usable = false;              // false: the line must be drawn glyph by glyph
  pixman_image_t* Image = nullptr;  // a8, its own reference; null when nothing shows
  int Left = 0, Top = 0;            // its corner, from the pen position
  int Width = 0, Height = 0;
};

// The mask of line Key.Line of the layout under Key: cached, or made by Make.
// Masks count against their own bound of MaxBytes; the answer "not usable"
// is kept too, so a line is tried once.
const TLineMask& CachedLineMask(const TLayoutKey& Key, const std::function<TLineMask()>& Make);

} // namespace rix
