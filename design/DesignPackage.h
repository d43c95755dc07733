// The design package as a whole: RegisterAll makes every registration of
// the grid's design-time support, once; calling it again changes nothing.
#pragma once

#include "design/DesignRegistry.h"

#include "resources/PackageBitmaps.h"

// The line the designer's package list shows.
inline constexpr const char* RixDBGridsPackageDescription = "RixDBGrids 拡張データベースグリッド コンポーネントパッケージ";

void RegisterAll(TDesignRegistry& Registry = DesignRegistry());

// The grid's palette image, "TRIXDBGRID": 24 by 24 pixels, 4 bits per pixel.
const rix::TPackageBitmap& RixDBGridPaletteBitmap();
