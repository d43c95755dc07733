// Public headers of this folder: button glyphs, the text-drawing entry
// point and cell text output.
#pragma once

#include "drawing/Bits.h"
#include "drawing/CompCLR.h"
#include "drawing/BtnGlyph.h"
#include "drawing/WriteText.h"
