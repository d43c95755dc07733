#include "platform/hosts/MenuModel.h"

#include "platform/controls/TextMeasure.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr int TextIndent = 22; // room for a check mark
constexpr int RightMargin = 18;
constexpr int SeparatorHeight = 8;
constexpr int Border = 3;

// The key of an "&X" accelerator in a caption, 0 when none.
unsigned short Accelerator(const std::string& Caption) {
  for (size_t i = 0; i + 1 < Caption.size(); ++i)
    if (Caption[i] == '&') {
      if (Caption[i + 1] == '&') {
        ++i;
        continue;
      }
      unsigned char c = static_cast<unsigned char>(Caption[i + 1]);
      return c < 0x80 ? static_cast<unsigned short>(std::toupper(c)) : 0;
    }
  return 0;
}
} // namespace

TMenuModel::TMenuModel(std::vector<TMenuModelItem> Items) : FItems(std::move(Items)) {}

bool TMenuModel::Selectable(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FItems.size())) return false;
  const TMenuModelItem& i = FItems[static_cast<size_t>(Index)];
  return i.Enabled && i.Caption != "-";
}

void TMenuModel::Layout() {
  if (FLaidOut) return;
  FLaidOut = true;
  TFont font;
  FLineHeight = rix::FontLineHeight(&font);
  FItemHeight = FLineHeight + 8;
  int width = 80;
  int y = Border;
  FTops.clear();
  for (const TMenuModelItem& i : FItems) {
    FTops.push_back(y);
    if (i.Caption == "-") {
      y += SeparatorHeight;
    } else {
      y += FItemHeight;
      width = std::max(width, rix::FontTextWidth(&font, i.Caption));
    }
  }
  FTops.push_back(y);
  FSize = {TextIndent + width + RightMargin + 2 * Border, y + Border};
}

TSize TMenuModel::Size() {
  Layout();
  return FSize;
}

TPoint TMenuModel::PlaceAt(TPoint P, TSize AreaSize) {
  Layout();
  TPoint at = P;
  if (at.X + FSize.cx > AreaSize.cx) at.X = std::max(0, std::min(P.X - FSize.cx, AreaSize.cx - FSize.cx));
  if (at.Y + FSize.cy > AreaSize.cy) at.Y = std::max(0, std::min(P.Y - FSize.cy, AreaSize.cy - FSize.cy));
  return at;
}

TRect TMenuModel::ItemRect(int Index) {
  Layout();
  if (Index < 0 || Index >= static_cast<int>(FItems.size())) return Rect(0, 0, 0, 0);
  auto i = static_cast<size_t>(Index);
  return Rect(Border, FTops[i], FSize.cx - Border, FTops[i + 1]);
}

int TMenuModel::ItemAt(TPoint P) {
  for (int i = 0; i < static_cast<int>(FItems.size()); ++i)
    if (PtInRect(ItemRect(i), P)) return i;
  return -1;
}

void TMenuModel::Paint(TCanvas& C) {
  Layout();
  TFont font;
  C.SetFont(&font);
  C.Brush()->SetStyle(bsSolid);
  C.Brush()->SetColor(clMenu);
  TRect all = Rect(0, 0, FSize.cx, FSize.cy);
  C.FillRect(all);
  TRect edge = all;
  DrawEdge(C.Handle(), edge, EDGE_RAISED, BF_RECT);
  SetBkMode(C.Handle(), TRANSPARENT);
  for (int i = 0; i < static_cast<int>(FItems.size()); ++i) {
    const TMenuModelItem& item = FItems[static_cast<size_t>(i)];
    TRect r = ItemRect(i);
    if (item.Caption == "-") {
      TRect line = Rect(r.Left + 2, r.Top + SeparatorHeight / 2 - 1, r.Right - 2, r.Top + SeparatorHeight / 2 + 1);
      DrawEdge(C.Handle(), line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    bool hot = i == FHighlight && item.Enabled;
    // The text is drawn over the brush's colour.
    C.Brush()->SetColor(hot ? clHighlight : clMenu);
    if (hot) C.FillRect(r);
    C.Font()->SetColor(!item.Enabled ? clGrayText : hot ? clHighlightText : clMenuText);
    if (item.Checked) {
      TRect mark = Rect(r.Left + 4, r.Top, r.Left + TextIndent - 4, r.Bottom);
      DrawText(C.Handle(), "✓", -1, mark, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    TRect text = Rect(r.Left + TextIndent, r.Top, r.Right - RightMargin, r.Bottom);
    DrawText(C.Handle(), item.Caption, -1, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
  }
}

bool TMenuModel::Close(int Chosen) {
  FClosed = true;
  FChosen = Chosen;
  return true;
}

void TMenuModel::Step(int Delta) {
  int n = static_cast<int>(FItems.size());
  int at = FHighlight;
  for (int tries = 0; tries < n; ++tries) {
    at = at < 0 ? (Delta > 0 ? 0 : n - 1) : (at + Delta + n) % n;
    if (Selectable(at)) {
      FHighlight = at;
      return;
    }
  }
}

bool TMenuModel::Key(unsigned short Vk) {
  int n = static_cast<int>(FItems.size());
  switch (Vk) {
  case VK_ESCAPE: return Close(-1);
  case VK_RETURN: return Selectable(FHighlight) ? Close(FHighlight) : false;
  case VK_DOWN: Step(1); return false;
  case VK_UP: Step(-1); return false;
  case VK_HOME: FHighlight = -1; Step(1); return false;
  case VK_END: FHighlight = -1; Step(-1); return false;
  default: break;
  }
  for (int i = 0; i < n; ++i)
    if (Selectable(i) && Vk != 0 && Accelerator(FItems[static_cast<size_t>(i)].Caption) == Vk) return Close(i);
  return false;
}

bool TMenuModel::MouseMove(TPoint P) {
  int at = ItemAt(P);
  if (at >= 0 || !PtInRect(Rect(0, 0, Size().cx, Size().cy), P)) FHighlight = Selectable(at) ? at : -1;
  return false;
}

bool TMenuModel::MouseDown(TPoint P) {
  if (!PtInRect(Rect(0, 0, Size().cx, Size().cy), P)) return Close(-1);
  MouseMove(P);
  return false;
}

bool TMenuModel::MouseUp(TPoint P) {
  int at = ItemAt(P);
  return Selectable(at) ? Close(at) : false;
}
