// TWinControl (a control with a window: handle, focus, keyboard, scroll bars,
// invalid region) and TCustomControl (one that paints itself on a canvas).
#pragma once

#include "platform/controls/Control.h"

#include <array>

class TWinControl : public TControl {
  RIX_CLASS_NAME(TWinControl)
public:
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;

  // Child controls, in tab order (the order they were parented).
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int Index) const;
  bool ContainsControl(const TControl* Control) const;

  // The window. Handle() creates it when needed (and the parent's first).
  HWND Handle();
  HWND WindowHandle() const { return FHandle; }
  bool HandleAllocated() const { return FHandle != 0; }
  void HandleNeeded();
  void RecreateWnd();

  bool Focused() const;
  virtual bool CanFocus() const;
  virtual void SetFocus();
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool Value) { FTabStop = Value; }
  // Moves the focus to the next (or previous) focusable child after CurControl.
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  // Every windowed descendant, depth first, in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& List);

  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value) { FImeMode = Value; }
  const TImeName& ImeName() const { return FImeName; }
  void SetImeName(const TImeName& Value) { FImeName = Value; }

  // The invalid region, kept as a list of rectangles in client coordinates.
  void Invalidate() override;
  void InvalidateRect(const TRect& R, bool Erase = false);
  void ValidateRect(const TRect& R);
  void ValidateAll() { FInvalid.clear(); }
  const std::vector<TRect>& InvalidRegion() const { return FInvalid; }
  // The smallest rectangle covering the invalid region (empty when valid).
  TRect InvalidBounds() const;
  bool IsInvalid() const { return !FInvalid.empty(); }
  // Paints the invalid region now when a paint host is installed.
  void Update() override;

  // The canvas a host hands over while the control paints; null otherwise.
  TCanvas* Canvas() const { return FCanvas; }
  void SetPaintCanvas(TCanvas* ACanvas) { FCanvas = ACanvas; }
  // The part of the client area being painted (the whole client area when no
  // host restricts it).
  TRect PaintClipRect() const;
  void SetPaintClipRect(const TRect& R) { FPaintClip = R; FHasPaintClip = true; }
  void ClearPaintClipRect() { FHasPaintClip = false; }
  // Paints with the current canvas: a host calls this from PaintControl.
  virtual void PaintWindow() {}
  // Paints what lies outside the client area (the edge, the scroll bars) with
  // C's origin at the control's top-left corner.
  virtual void PaintNonClient(TCanvas* C);

  // Moves the window's pixels in the framework; here the host repaints, so
  // the scrolled rectangle (the client area when ScrollRect is null) is
  // invalidated when Flags has SW_INVALIDATE.
  void ScrollWindowEx(int DX, int DY, const TRect* ScrollRect, const TRect* ClipRect, unsigned Flags);

  // Scroll bars (SB_HORZ, SB_VERT). A bar shows while its range is not empty
  // and it then takes its width from the client area.
  void SetScrollInfo(int Bar, const TScrollInfo& Info, bool Redraw = true);
  TScrollInfo GetScrollInfo(int Bar) const { return FScroll[Bar == SB_VERT ? 1 : 0]; }
  void SetScrollRange(int Bar, int Min, int Max, bool Redraw = true);
  void GetScrollRange(int Bar, int& Min, int& Max) const;
  int SetScrollPos(int Bar, int Pos, bool Redraw = true);
  int GetScrollPos(int Bar) const { return GetScrollInfo(Bar).Pos; }
  // Where the user is dragging the thumb (hosts set it before sending
  // SB_THUMBTRACK / SB_THUMBPOSITION).
  void SetScrollTrackPos(int Bar, int Pos) { FScroll[Bar == SB_VERT ? 1 : 0].TrackPos = Pos; }
  bool ScrollBarVisible(int Bar) const;
  // Where a visible bar and its parts lie, in window coordinates (the
  // control's top-left corner is (0, 0)); empty rectangles for a hidden bar.
  struct TScrollBarParts {
    TRect Bar, First, Last, Thumb;
  };
  TScrollBarParts ScrollBarParts(int Bar) const;
  // The scroll code a click at window point P on the bar means (SB_LINEUP,
  // SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN), or -1 off the bar and on the thumb.
  int ScrollBarHitTest(int Bar, TPoint P) const;

  TRect ClientRect() const override;
  TPoint ClientOrigin() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void SetVisible(bool Value) override;
  // Places the aligned children: top, bottom, left and right edges in child
  // order, then the client-aligned ones in what is left.
  void AlignControls();

  void SetOnKeyDown(TKeyEvent E) { FOnKeyDown = std::move(E); }
  void SetOnKeyUp(TKeyEvent E) { FOnKeyUp = std::move(E); }
  void SetOnKeyPress(TKeyPressEvent E) { FOnKeyPress = std::move(E); }
  void SetOnEnter(TNotifyEvent E) { FOnEnter = std::move(E); }
  void SetOnExit(TNotifyEvent E) { FOnExit = std::move(E); }
  const TKeyEvent& OnKeyDown() const { return FOnKeyDown; }

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

  // Key handlers are public like the framework's, because the in-place editor
  // forwards keys to its grid.
  virtual void KeyDown(unsigned short& Key, TShiftState Shift);
  virtual void KeyUp(unsigned short& Key, TShiftState Shift);
  virtual void KeyPress(char32_t& Key);

protected:
  friend class TControl;
  void BeforeDestruction() override;

  virtual void CreateWnd();
  // The window's entry point: WndProc, with escaping exceptions handed to the
  // application object.
  LRESULT MainWndProc(TMessage& M);
  virtual void DestroyWnd();
  void CreateHandle();
  void DestroyHandle();
  // Width of the sunken edge around the client area.
  virtual int BorderEdge() const { return 0; }
  virtual void DoEnter();
  virtual void DoExit();

  virtual void WMKeyDown(TMessage& M);
  virtual void WMKeyUp(TMessage& M);
  virtual void WMChar(TMessage& M);
  virtual void WMSetFocus(TMessage& M);
  virtual void WMKillFocus(TMessage& M);
  virtual void WMSize(TMessage& M);
  virtual void WMHScroll(TMessage& M);
  virtual void WMVScroll(TMessage& M);
  virtual void WMSetCursor(TMessage& M);
  virtual void WMGetDlgCode(TMessage& M);
  virtual void WMPaint(TMessage& M);
  virtual void WMTimer(TMessage& M);
  virtual void WMIMEStartComposition(TMessage& M);
  virtual void CMEnter(TMessage& M);
  virtual void CMExit(TMessage& M);
  virtual void CMDialogKey(TMessage& M);
  void CMColorChanged(TMessage& M) override;
  void CMBiDiModeChanged(TMessage& M) override;
  void CMFontChanged(TMessage& M) override;

  // Input-method handling of the framework's window: applies ImeName and
  // ImeMode on focus (Far-East locales only) and resets them on focus loss.
  void SetIme();
  void ResetIme();

  TKeyEvent FOnKeyDown, FOnKeyUp;
  TKeyPressEvent FOnKeyPress;
  TNotifyEvent FOnEnter, FOnExit;

private:
  friend class TCustomForm;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  void NotifyChildren(unsigned Msg);
  void SendSize();
  bool DoKeyDown(TMessage& M);

  std::vector<TControl*> FControls;
  HWND FHandle = 0;
  bool FTabStop = false;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  std::vector<TRect> FInvalid;
  TCanvas* FCanvas = nullptr;
  TRect FPaintClip;
  bool FHasPaintClip = false;
  std::array<TScrollInfo, 2> FScroll{};
  int FLastClientWidth = -1, FLastClientHeight = -1;
  bool FDestroyingHandle = false;
  bool FAligning = false;
};

constexpr unsigned SW_INVALIDATE = 0x0002;
constexpr unsigned SW_ERASE = 0x0004;

// The control behind a window handle of this thread, or nil: what a host
// delivers input to.
TWinControl* FindControl(HWND Wnd);

// A windowed control that paints itself: Paint runs with Canvas() set.
class TCustomControl : public TWinControl {
  RIX_CLASS_NAME(TCustomControl)
public:
  using TWinControl::TWinControl;
  void PaintWindow() override { Paint(); }

protected:
  virtual void Paint() {}
};
