// TControl and TWinControl: the visual object model.
//
// Messages reach a control through WndProc, which hands them to Dispatch.
// Dispatch calls the virtual handler of the message (WMKeyDown, CMColorChanged
// ...); a handler that a class does not override goes to DefaultHandler, and
// an override calls the base handler for the inherited behaviour. A class
// that handles messages of its own overrides Dispatch and passes every other
// message to the base Dispatch.
//
// Windows: a TWinControl gets a handle (an integer from the platform's handle
// table) when its window is created; posted messages for the handle reach
// WndProc when a host pumps the queue. The window of a child exists only while
// its parent's does.
//
// Painting: Invalidate/InvalidateRect record an invalid region that a host
// reads (InvalidRegion) and clears (ValidateRect). A host installed with
// SetPaintHost paints on WM_PAINT and on Update; without one, nothing is
// drawn and the region stays for whoever comes next.
#pragma once

#include "platform/core/Locale.h"
#include "platform/graphics/GdiCalls.h"
#include "platform/graphics/GraphicsObjects.h"

#include "platform/core/Classes.h"
#include "platform/core/Messages.h"
#include "platform/graphics/Types.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TCanvas;
class TAction;
class TControl;
class TWinControl;
class TCustomForm;
class TPopupMenu;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };
using TImeName = std::string;
enum TDragKind { dkDrag, dkDock };
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
enum TBorderStyle { bsNone, bsSingle };
// Where a control sits in its parent's client area: along an edge (taking the
// width or height it has) or filling what the edges leave.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crHandPoint = -21;

enum TControlStyleItem { csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed,
                         csSetCaption, csOpaque, csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible,
                         csReplicatable, csNoStdEvents, csDisplayDragImage, csReflector, csActionClient,
                         csMenuEvents };
using TControlStyle = TSet<TControlStyleItem, 17>;

// Characters travel as Unicode code points (WM_CHAR's WParam).
using TKeyEvent = std::function<void(TObject* Sender, unsigned short& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;



// The scroll bar model of a window: what SetScrollInfo stored.
struct TScrollInfo {
  int Min = 0;
  int Max = 0;
  unsigned Page = 0;
  int Pos = 0;
  int TrackPos = 0;
};

// Who paints. A host installs itself; WM_PAINT then asks it to paint the
// control's invalid region (it hands the control a canvas, calls its paint
// routine and validates the region).
class TPaintHost {
public:
  virtual ~TPaintHost() = default;
  virtual void PaintControl(TWinControl* Control) = 0;
};
void SetPaintHost(TPaintHost* Host);
TPaintHost* PaintHost();



// Input method requests, recorded per window so that hosts apply them and
// tests can read what was asked.
void SetImeMode(HWND Wnd, TImeMode Mode);
TImeMode GetImeModeOf(HWND Wnd);
void SetImeName(const TImeName& Name);
const TImeName& ActiveImeName();

// The text caret of a window: hidden or shown, recorded for hosts and tests.
void HideCaret(HWND Wnd);
void ShowCaret(HWND Wnd);
bool CaretHidden(HWND Wnd);

// The text an input method is composing for a window (empty when none):
// hosts set it while the user composes, editors show it at the caret.
void SetCompositionString(HWND Wnd, const std::string& Text);
std::string CompositionString(HWND Wnd);

// The screen's cursor: what the control under the mouse asked for last.
void SetScreenCursor(TCursor Cursor);
TCursor ScreenCursor();

// The framework's Screen object, as far as controls need it. Hosts set the
// size and the default input method.
struct TScreen {
  int Width = 1920;
  int Height = 1080;
  TImeName DefaultIme;
  std::uintptr_t DefaultKbLayout = 0;
};
TScreen& Screen();

constexpr unsigned KLF_ACTIVATE = 0x0001;
// Records the keyboard layout asked for (hosts apply it, tests read it).
void ActivateKeyboardLayout(std::uintptr_t Layout, unsigned Flags);
std::uintptr_t ActiveKeyboardLayout();

class TControl : public TComponent {
  RIX_CLASS_NAME(TControl)
public:
  explicit TControl(TComponent* AOwner);
  ~TControl() override;

  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign Value);
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
  int ClientWidth() const { return ClientRect().Width(); }
  int ClientHeight() const { return ClientRect().Height(); }
  virtual TPoint ClientToScreen(TPoint P) const;
  TPoint ScreenToClient(TPoint P) const;
  // Offset of the client area's origin inside the control's bounds.
  virtual TPoint ClientOrigin() const { return {0, 0}; }

  bool Visible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to the top window visible too.
  bool Showing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  // The control's font. Changing it (through Font() or SetFont) clears
  // ParentFont and sends CM_FONTCHANGED; with ParentFont the control takes
  // its parent's font whenever that changes.
  TFont* Font() const { return FFont.get(); }
  void SetFont(const TFont* Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  // Called when the control's font changed: sends CM_FONTCHANGED.
  void FontChanged();

  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value);
  bool IsRightToLeft() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  virtual TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  // Drag and dock start: recorded (Dragging) until EndDrag; a threshold of -1
  // means the framework's default.
  void BeginDrag(bool Immediate, int Threshold = -1);
  void EndDrag(bool Drop);
  bool Dragging() const { return FDragging; }

  bool MouseCapture() const;
  void SetMouseCapture(bool Value);

  // Sends a message straight to WndProc and returns its result.
  LRESULT Perform(unsigned Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  virtual void WndProc(TMessage& Message);
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  virtual void Invalidate();
  virtual void Update() {}
  void Repaint() { Invalidate(); Update(); }

  // Actions the control can run or update itself; false: not handled here.
  virtual bool ExecuteAction(TAction* Action) { return false; }
  virtual bool UpdateAction(TAction* Action) { return false; }

  // Cancels mouse modes of the active control of the form (CM_CANCELMODE),
  // e.g. before a popup menu opens.
  void SendCancelMode(TControl* Sender);

  void SetOnClick(TNotifyEvent E) { FOnClick = std::move(E); }
  void SetOnDblClick(TNotifyEvent E) { FOnDblClick = std::move(E); }
  void SetOnMouseDown(TMouseEvent E) { FOnMouseDown = std::move(E); }
  void SetOnMouseUp(TMouseEvent E) { FOnMouseUp = std::move(E); }
  void SetOnMouseMove(TMouseMoveEvent E) { FOnMouseMove = std::move(E); }
  void SetOnMouseWheel(TMouseWheelEvent E) { FOnMouseWheel = std::move(E); }
  void SetOnMouseWheelDown(TMouseWheelUpDownEvent E) { FOnMouseWheelDown = std::move(E); }
  void SetOnMouseWheelUp(TMouseWheelUpDownEvent E) { FOnMouseWheelUp = std::move(E); }

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  // Called after the bounds changed.
  virtual void Resize() {}

  // Message handlers. Each one's default goes to DefaultHandler.
  virtual void WMLButtonDown(TMessage& M);
  virtual void WMLButtonUp(TMessage& M);
  virtual void WMLButtonDblClk(TMessage& M);
  virtual void WMRButtonDown(TMessage& M);
  virtual void WMRButtonUp(TMessage& M);
  virtual void WMRButtonDblClk(TMessage& M);
  virtual void WMMButtonDown(TMessage& M);
  virtual void WMMButtonUp(TMessage& M);
  virtual void WMMouseMove(TMessage& M);
  virtual void WMMouseWheel(TMessage& M);
  virtual void WMContextMenu(TMessage& M);
  virtual void WMCancelMode(TMessage& M);
  virtual void CMCancelMode(TMessage& M);
  virtual void CMEnabledChanged(TMessage& M);
  virtual void CMColorChanged(TMessage& M);
  virtual void CMParentColorChanged(TMessage& M);
  virtual void CMFontChanged(TMessage& M);
  virtual void CMParentFontChanged(TMessage& M);
  virtual void CMBiDiModeChanged(TMessage& M);
  virtual void CMParentBiDiModeChanged(TMessage& M);
  virtual void CMVisibleChanged(TMessage& M);
  virtual void CMDesignHitTest(TMessage& M);
  virtual void CMCursorChanged(TMessage& M);

  void DoMouseDown(TMessage& M, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& M, TMouseButton Button);
  // The parent's colour / bidi mode without a parent's notification loop.
  void AdoptParentColor();
  // The parent's font, without clearing ParentFont; true when it differed.
  bool AdoptParentFont();

  TControlStyle FControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TNotifyEvent FOnClick, FOnDblClick;
  TMouseEvent FOnMouseDown, FOnMouseUp;
  TMouseMoveEvent FOnMouseMove;
  TMouseWheelEvent FOnMouseWheel;
  TMouseWheelUpDownEvent FOnMouseWheelDown, FOnMouseWheelUp;

private:
  friend class TWinControl;
  TWinControl* FParent = nullptr;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  bool FParentFont = true;
  std::unique_ptr<TFont> FFont;
  bool FAdoptingFont = false;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TCursor FCursor = crDefault;
  TAlign FAlign = alNone;
  TPopupMenu* FPopupMenu = nullptr;
  TDragKind FDragKind = dkDrag;
  TDragMode FDragMode = dmManual;
  bool FDragging = false;
  int FWheelAccumulator = 0;
  bool FClicked = false;
};
