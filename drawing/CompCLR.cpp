#include "drawing/CompCLR.h"

namespace CompCLR {

int DrawText(HDC hDC, const std::string& lpString, int nCount, TRect& lpRect, unsigned uFormat) {
  return ::DrawText(hDC, lpString, nCount, lpRect, uFormat);
}

} // namespace CompCLR
