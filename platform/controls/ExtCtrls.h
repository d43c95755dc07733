// TPanel, a container with a bevel, and TSplitter, the bar that resizes the
// aligned control beside it when dragged.
#pragma once

#include "platform/controls/WinControl.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
  RIX_CLASS_NAME(TPanel)
public:
  explicit TPanel(TComponent* AOwner);

  TPanelBevel BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TPanelBevel Value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);
  // The room for the aligned children: inside the bevel and the border.
  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;

protected:
  void PaintNonClient(TCanvas* C) override;

private:
  int Inset() const;

  TPanelBevel FBevelOuter = bvRaised;
  int FBorderWidth = 0;
};

// Sits between two aligned controls (same Align as the one it resizes: the
// control before it in its edge's order). Dragging moves the edge; neither
// side gets smaller than MinSize.
class TSplitter : public TCustomControl {
  RIX_CLASS_NAME(TSplitter)
public:
  explicit TSplitter(TComponent* AOwner);

  int MinSize() const { return FMinSize; }
  void SetMinSize(int Value) { FMinSize = Value; }
  // The control the splitter resizes, or nil.
  TControl* FindControl() const;

protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Paint() override;

private:
  bool Vertical() const { return Align() == alLeft || Align() == alRight; }

  int FMinSize = 30;
  bool FSizing = false;
  TPoint FDownPos;
};
