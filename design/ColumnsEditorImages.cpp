#include "design/ColumnsEditorImages.h"

#include "platform/graphics/Graphics.h"

#include <memory>
#include <string>

namespace {

// '.' is the mask colour (transparent); the letters are the colours below.
const char* const Pictures[6][16] = {
    // add: a column with a green plus
    {"................", ".kkkkkkk........", ".kwwwwwk........", ".kkkkkkk........", ".kwwwwwk........",
     ".kwwwwwk........", ".kwwwwwk...gg...", ".kwwwwwk...gg...", ".kwwwwwk.gggggg.", ".kwwwwwk.gggggg.",
     ".kwwwwwk...gg...", ".kwwwwwk...gg...", ".kkkkkkk........", "................", "................",
     "................"},
    // remove: a column with a red cross
    {"................", ".kkkkkkk........", ".kwwwwwk........", ".kkkkkkk........", ".kwwwwwk........",
     ".kwwwwwk........", ".kwwwwwkrr..rr..", ".kwwwwwk.rrrr...", ".kwwwwwk..rr....", ".kwwwwwk.rrrr...",
     ".kwwwwwkrr..rr..", ".kwwwwwk........", ".kkkkkkk........", "................", "................",
     "................"},
    // up
    {"................", "................", ".......bb.......", "......bbbb......", ".....bbbbbb.....",
     "....bbbbbbbb....", "...bbbbbbbbbb...", "......bbbb......", "......bbbb......", "......bbbb......",
     "......bbbb......", "......bbbb......", "......bbbb......", "................", "................",
     "................"},
    // down
    {"................", "................", "......bbbb......", "......bbbb......", "......bbbb......",
     "......bbbb......", "......bbbb......", "......bbbb......", "...bbbbbbbbbb...", "....bbbbbbbb....",
     ".....bbbbbb.....", "......bbbb......", ".......bb.......", "................", "................",
     "................"},
    // add all fields: three columns side by side with a plus
    {"................", "kkkkkkkkkkk.....", "kwwkwwkwwk......", "kkkkkkkkkkk.....", "kwwkwwkwwk......",
     "kwwkwwkwwk......", "kwwkwwkwwk..gg..", "kwwkwwkwwk..gg..", "kwwkwwkwwkgggggg", "kwwkwwkwwkgggggg",
     "kwwkwwkwwk..gg..", "kwwkwwkwwk..gg..", "kkkkkkkkkkk.....", "................", "................",
     "................"},
    // restore defaults: a turning arrow
    {"................", "................", ".....bbbbbb.....", "...bbb....bbb...", "..bb........bb..",
     "..b..........b..", ".bb..........bb.", ".b............b.", ".b............b.", ".bb.......b..bb.",
     "..b......bbb.b..", "..bb....bbbbbb..", "...bbb...bbbb...", ".....bbbbb......", "................",
     "................"},
};

TColor ColourOf(char C) {
  switch (C) {
  case 'k': return clBlack;
  case 'w': return clWhite;
  case 'g': return clGreen;
  case 'r': return clRed;
  case 'b': return clNavy;
  default: return clFuchsia;
  }
}

} // namespace

void AddColumnsEditorImages(TImageList* List) {
  for (const auto& picture : Pictures) {
    auto bmp = std::make_unique<TBitmap>(16, 16);
    TCanvas* c = bmp->Canvas();
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) c->SetPixels(x, y, ColourOf(picture[y][x]));
    List->AddMasked(bmp.get(), clFuchsia);
  }
}
