#include "platform/graphics/GdiCalls.h"

#include "platform/graphics/Colors.h"

#include <map>

int SaveDC(HDC DC) { return DC ? DC->SaveDC() : 0; }

bool RestoreDC(HDC DC, int SavedDC) { return DC ? DC->RestoreDC(SavedDC) : false; }

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  return DC ? DC->IntersectClipRect({Left, Top, Right, Bottom}) : REGION_ERROR;
}

int SetBkMode(HDC DC, int Mode) { return DC ? DC->SetBkMode(Mode) : 0; }
int GetBkMode(HDC DC) { return DC ? DC->BkMode() : 0; }
TColor SetTextColor(HDC DC, TColor Color) { return DC ? DC->SetTextColor(Color) : CLR_INVALID; }
TColor SetBkColor(HDC DC, TColor Color) { return DC ? DC->SetBkColor(Color) : CLR_INVALID; }

bool GetTextMetrics(HDC DC, TTextMetric& TM) {
  if (DC == nullptr) return false;
  TM = rix::FontMetrics(*DC->Font());
  return true;
}

TColor GetNearestColor(HDC DC, TColor Color) {
  if (DC == nullptr) return CLR_INVALID;
  return NearestDisplayColor(Color);
}

namespace {

std::map<int, int>& Metrics() {
  static std::map<int, int> m = {
      {SM_CXSCREEN, 1024}, {SM_CYSCREEN, 768}, {SM_CXVSCROLL, 17}, {SM_CYHSCROLL, 17}, {SM_CYCAPTION, 19},
      {SM_CXBORDER, 1}, {SM_CYBORDER, 1}, {SM_CXDLGFRAME, 3}, {SM_CYDLGFRAME, 3}, {SM_CYVTHUMB, 16},
      {SM_CXHTHUMB, 16}, {SM_CXICON, 32}, {SM_CYICON, 32}, {SM_CXCURSOR, 32}, {SM_CYCURSOR, 32},
      {SM_CYMENU, 19}, {SM_CYVSCROLL, 17}, {SM_CXHSCROLL, 17}, {SM_CXFRAME, 4}, {SM_CYFRAME, 4},
      {SM_CXDOUBLECLK, 4}, {SM_CYDOUBLECLK, 4}, {SM_CXEDGE, 2}, {SM_CYEDGE, 2}, {SM_CXDRAG, 4}, {SM_CYDRAG, 4},
  };
  return m;
}

} // namespace

int GetSystemMetrics(int Index) {
  auto it = Metrics().find(Index);
  return it == Metrics().end() ? 0 : it->second;
}

void SetSystemMetrics(int Index, int Value) { Metrics()[Index] = Value; }
