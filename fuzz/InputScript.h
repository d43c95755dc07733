// Bytes turned into what a user does to a grid on a headless host: keys
// with Shift and Ctrl, characters, input-method text, clicks, double-clicks,
// drags, wheel notches, resizes and popup-menu choices. Shared by the
// `input` fuzz target and the soak benchmark.
#pragma once

#include <RixDBGrids.h>

#include <cstdint>
#include <iterator>
#include <string>

namespace rixinput {

class TInputScript {
public:
  TInputScript(THeadlessHost& Host, TControl* Grid, int Width, int Height)
      : FHost(Host), FGrid(Grid), FWidth(Width), FHeight(Height) {}

  // Runs the step the bytes at P describe and moves P past them; false
  // when no bytes are left.
  bool Step(const std::uint8_t*& P, const std::uint8_t* End) {
    if (P >= End) return false;
    const unsigned op = *P++;
    auto next = [&]() -> unsigned { return P < End ? *P++ : 0u; };
    // Dialogs answer by default (no file is chosen); the record of what
    // they asked would only grow.
    DialogService().Reset();
    switch (op % 12) {
    case 0:
    case 1: {
      static const unsigned short keys[] = {VK_UP,     VK_DOWN,   VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT,
                                            VK_HOME,   VK_END,    VK_TAB,  VK_RETURN, VK_ESCAPE, VK_F2,
                                            VK_DELETE, VK_INSERT, VK_SPACE, 'C',     'V',       'A',
                                            VK_BACK,   VK_F4};
      const unsigned k = next();
      FHost.Key(keys[k % std::size(keys)], ShiftOf(op));
      break;
    }
    case 2: {
      static const char* const chars[] = {"1", "2", "0", "-", ".", "a", "Z", " ", "/", ":", "あ", "漢", "\t", "9"};
      FHost.Type(chars[next() % std::size(chars)]);
      break;
    }
    case 3: {
      static const char* const texts[] = {"かな", "漢字", "12", "ｶﾅ", "", "テスト値"};
      const unsigned t = next();
      if (t & 0x80)
        FHost.ImeCompose(texts[t % std::size(texts)]);
      else
        FHost.ImeType(texts[t % std::size(texts)]);
      break;
    }
    case 4: FHost.Click(PointOf(next(), next()), mbLeft, ShiftOf(op)); break;
    case 5: FHost.DblClick(PointOf(next(), next())); break;
    case 6: {
      const TPoint from = PointOf(next(), next());
      const TPoint to = PointOf(next(), next());
      FHost.Drag(from, to, 1 + static_cast<int>(op >> 6));
      break;
    }
    case 7: FHost.Wheel(PointOf(next(), next()), (op & 0x10) ? 120 : -120, ShiftOf(op)); break;
    case 8: {
      FWidth = 120 + static_cast<int>(next() % 8) * 60;
      FHeight = 80 + static_cast<int>(next() % 8) * 40;
      FHost.SetSize(FWidth, FHeight);
      FGrid->SetBounds(0, 0, FWidth, FHeight);
      break;
    }
    case 9: {
      static const char* const items[] = {"", "miSaveToStream", "miLoadFromStream", "miSaveToFile", "miLoadFromFile"};
      MenuService().Reset();
      MenuService().ScriptPopupChoice(items[next() % std::size(items)]);
      const TPoint p = PointOf(next(), next());
      FHost.MouseDown(p, mbRight);
      FHost.MouseUp(p, mbRight);
      MenuService().Reset();
      break;
    }
    case 10: FHost.AdvanceTime(static_cast<int>(next()) * 4); break;
    case 11: {
      const TPoint p = PointOf(next(), next());
      FHost.MouseDown(p, mbLeft, ShiftOf(op));
      FHost.MouseMove(PointOf(next(), next()), ShiftOf(op));
      FHost.MouseUp(p, mbLeft, ShiftOf(op));
      break;
    }
    }
    FHost.ProcessMessages();
    return true;
  }

private:
  static TShiftState ShiftOf(unsigned Op) {
    TShiftState s;
    if (Op & 0x20) s = s + TShiftState{ssShift};
    if (Op & 0x40) s = s + TShiftState{ssCtrl};
    return s;
  }
  // A point of the grid, denser near its top-left where titles, the
  // indicator and the first records are.
  TPoint PointOf(unsigned X, unsigned Y) const {
    return FHost.PointOf(FGrid, static_cast<int>(X * static_cast<unsigned>(FWidth) / 256),
                         static_cast<int>(Y * static_cast<unsigned>(FHeight) / 256));
  }

  THeadlessHost& FHost;
  TControl* FGrid;
  int FWidth, FHeight;
};

} // namespace rixinput
