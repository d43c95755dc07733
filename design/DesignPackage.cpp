#include "design/DesignPackage.h"

#include "design/ColumnsProperty.h"
#include "design/RixDBGridReg.h"

#include <mutex>
#include <string>
#include <vector>

void RegisterAll(TDesignRegistry& Registry) {
  static std::mutex m;
  std::lock_guard<std::mutex> lock(m);
  if (Registry.PackageRegistered()) return;
  // The order the framework loads the package's units in.
  RegisterRixDBGrid(Registry);
  RegisterRixDBGridReg(Registry);
  RegisterRixDBColnEd(Registry);
  Registry.SetPackageRegistered();
}

namespace {

// A small grid: a white frame, then a title row three pixels high over
// record rows three pixels high, an indicator column four pixels wide and
// one cell line down the middle.
std::vector<std::string> PaletteRows() {
  const std::string full = "." + std::string(22, 'X') + ".";
  const std::string cells = ".XXXX" + std::string(7, '.') + "X" + std::string(9, '.') + "X.";
  std::vector<std::string> rows{std::string(24, '.'), full, full, full};
  for (int y = 4; y < 23; ++y) rows.push_back((y - 3) % 4 == 0 || y == 22 ? full : cells);
  rows.push_back(std::string(24, '.'));
  return rows;
}

} // namespace

const rix::TPackageBitmap& RixDBGridPaletteBitmap() {
  static const rix::TPackageBitmap bitmap{"TRIXDBGRID", 4, PaletteRows()};
  return bitmap;
}
