// Cell text output for every grid: the cell filled with the canvas brush
// and the text drawn with margins, alignment, vertical alignment, word wrap
// and right-to-left reading. Brush colours the display can only dither are
// drawn through one off-screen bitmap shared by all grids.
#pragma once

#include "platform/data/DB.h"
#include "platform/graphics/Graphic.h"

#include <string>

// Vertical placement of text in a cell.
enum TAlignmentV { tavTop, tavCenter, tavBottom };

// DrawText formats of the bitmap path, by TAlignment: always word-wrapped,
// tabs expanded, no '&' prefix.
inline constexpr int AlignFlags[3] = {0x0850, 0x0852, 0x0851};
// DrawText's right-to-left reading flag, by ARightToLeft.
inline constexpr int RTL[2] = {0, 0x20000};

// Left and right swap; centred stays.
void ChangeBiDiModeAlignment(TAlignment& Alignment);

// Registers one more user (a grid) of the shared bitmap, making the bitmap
// for the first.
void UsesBitmap();
// Releases one use; the last one frees the bitmap. A release without a
// matching UsesBitmap does nothing, so the count never goes below zero.
void ReleaseBitmap();
// The shared bitmap (nil while no grid uses it) and its number of users.
// It only grows, to the largest cell drawn through it.
TBitmap* DrawBitmap();
int UserCount();

// Holds one use of the shared bitmap for its lifetime.
class TDrawBitmapUse {
public:
  TDrawBitmapUse() { UsesBitmap(); }
  ~TDrawBitmapUse() { ReleaseBitmap(); }
  TDrawBitmapUse(const TDrawBitmapUse&) = delete;
  TDrawBitmapUse& operator=(const TDrawBitmapUse&) = delete;
};

// Fills ARect with the canvas brush and draws Text in it, DX pixels in from
// the left and right and DY from the top and bottom.
//
// A brush the display shows solid draws straight onto the canvas: single
// line or word-wrapped (AWordrap), aligned by Alignment and AlignmentV;
// wrapped text taller than the cell keeps the side AlignmentV names in
// view (its bottom lines for tavBottom) and never paints outside ARect. A
// right-to-left canvas mirrors the alignment unless ARightToLeft.
//
// A dithered brush draws through the shared bitmap, which removes flicker
// and brush-origin artefacts: there the text is always wrapped and top
// aligned, read right to left when ARightToLeft, and a right-to-left canvas
// mirrors the alignment. Without a registered grid the bitmap lives for the
// call.
void WriteText(TCanvas* ACanvas, TRect ARect, int DX, int DY, const std::string& Text, TAlignment Alignment,
               TAlignmentV AlignmentV, bool AWordrap, bool ARightToLeft);
