// TMenuModel: a popup menu drawn with our own canvas, for hosts with a
// screen. It lays the items out in a column (separators as thin lines,
// disabled items greyed), paints itself, follows the mouse and the keyboard
// and tells when it is closed: with an item chosen, or dismissed.
//
// Keys: Up and Down move the highlight over the enabled items (wrapping),
// Home and End go to the first and last; Enter chooses the highlighted item;
// Escape dismisses; a key of an item's "&" accelerator chooses it. Mouse: a
// move highlights the item under the pointer; a button released on an
// enabled item chooses it; a press outside the menu dismisses it.
#pragma once

#include "platform/controls/Controls.h"
#include "platform/graphics/Canvas.h"

#include <string>
#include <vector>

struct TMenuModelItem {
  std::string Caption; // "-" for a separator
  bool Enabled = true;
  bool Checked = false;
};

class TMenuModel {
public:
  explicit TMenuModel(std::vector<TMenuModelItem> Items);

  TSize Size();
  // Where the menu goes for a popup at P inside an area of AreaSize: below
  // and right of P, moved left or up so that it stays inside when it can.
  TPoint PlaceAt(TPoint P, TSize AreaSize);
  void Paint(TCanvas& C);
  TRect ItemRect(int Index);
  // The item at a point in menu coordinates, -1 when none.
  int ItemAt(TPoint P);

  // Points are in menu coordinates. Each returns true once the menu closed.
  bool Key(unsigned short Vk);
  bool MouseMove(TPoint P);
  bool MouseDown(TPoint P);
  bool MouseUp(TPoint P);
  void Dismiss() { Close(-1); }

  bool Closed() const { return FClosed; }
  // The chosen item, -1 when dismissed.
  int Chosen() const { return FChosen; }
  int Highlighted() const { return FHighlight; }

private:
  void Layout();
  bool Selectable(int Index) const;
  bool Close(int Chosen);
  void Step(int Delta);

  std::vector<TMenuModelItem> FItems;
  int FHighlight = -1;
  bool FClosed = false;
  int FChosen = -1;
  bool FLaidOut = false;
  TSize FSize{};
  std::vector<int> FTops;
  int FItemHeight = 0, FLineHeight = 0;
};
