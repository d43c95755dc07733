// How colours, charsets, fonts and bitmaps appear in component streams.
// Classes that publish a colour property declare it with ColorTypeInfo(), which
// makes sure the colour names ("clWindow") are registered before the first
// value is written or read.
#pragma once

#include "platform/streaming/TypInfo.h"

// The integer type "TColor", with the framework's colour names registered.
const TTypeInfo* ColorTypeInfo();
// The integer type "TFontCharset", with the charset names registered.
const TTypeInfo* CharsetTypeInfo();
