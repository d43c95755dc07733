// The Windows drawing calls the grid is written against, with their
// documented meaning, on a canvas's device context (HDC = the TCanvas).
#pragma once

#include "platform/graphics/Canvas.h"

#include <string>
#include <string_view>

// ---- DrawText ----------------------------------------------------------------------
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_TABSTOP = 0x0080;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_EXTERNALLEADING = 0x0200;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_INTERNAL = 0x1000;
constexpr unsigned DT_EDITCONTROL = 0x2000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_RTLREADING = 0x20000;

// Draws Text (its first Count bytes; -1 for all of it) formatted into Rect
// and returns the height of the text; with DT_VCENTER or DT_BOTTOM on a
// single line, the offset from Rect.Top to the bottom of the text.
//
// Lines are tmHeight of the font apart. DT_WORDBREAK wraps at word
// boundaries, and between any two characters where a word does not fit or
// where the script has no spaces (Japanese). Without DT_SINGLELINE, CR LF,
// CR and LF break lines; with it they show as spaces. Tabs expand to every
// 8 average character widths with DT_EXPANDTABS, and show as a space
// without. Without DT_NOPREFIX an '&' underlines the next character and
// "&&" shows one '&'. DT_CALCRECT sets Rect.Right to Rect.Left plus the
// widest line and Rect.Bottom to Rect.Top plus the height, and draws
// nothing. DT_RTLREADING sets the paragraph direction right to left.
// DT_END_ELLIPSIS shortens a single line that does not fit with "…".
// Drawing is clipped to Rect unless DT_NOCLIP. The text is painted in the
// device context's text colour over, when the background mode is OPAQUE,
// its background colour. A null HDC answers 0.
int DrawText(HDC DC, const std::string& Text, int Count, TRect& Rect, unsigned Format);

// The part of Text (its first Count bytes, -1 for all, up to a NUL) that
// DrawText can show formatted into Rect: whole characters, no more per line
// than the font's narrowest character allows across Rect's width, over the
// lines Rect's height holds (one with DT_SINGLELINE) and one more. A single
// line keeps its start, its end when right-aligned, its middle when
// centred; wrapped lines keep the start. Drawing and measuring a cell thus
// cost what the cell shows, however long the value. An empty rectangle
// shows nothing.
std::string_view VisibleText(HDC DC, const std::string& Text, int Count, const TRect& Rect, unsigned Format);

// ---- DrawEdge ----------------------------------------------------------------------------
constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned BDR_OUTER = 0x0003;
constexpr unsigned BDR_INNER = 0x000C;
constexpr unsigned BDR_RAISED = 0x0005;
constexpr unsigned BDR_SUNKEN = 0x000A;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr unsigned BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// One-pixel lines per edge ring: the outer ring on the outermost pixels of
// Rect, the inner ring one pixel in. Left and top lines are drawn first,
// right and bottom after them, each along the whole side, so the top-right
// and bottom-left corners take the right and bottom colour. Raised: outer
// cl3DLight / cl3DDkShadow, inner clBtnHighlight / clBtnShadow (top-left /
// bottom-right); sunken the reverse. BF_FLAT paints the outer ring
// clBtnShadow and the inner clBtnFace; BF_MONO the outer clWindowFrame and
// the inner clWindow. BF_SOFT is accepted and draws like the plain edge.
// BF_MIDDLE fills the inside with clBtnFace; BF_ADJUST shrinks Rect to the
// inside of the edges drawn.
bool DrawEdge(HDC DC, TRect& Rect, unsigned Edge, unsigned Flags);

// ---- DrawFrameControl ------------------------------------------------------------------------
constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;

constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_TRANSPARENT = 0x0800;
constexpr unsigned DFCS_HOT = 0x1000;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

// DFC_BUTTON: push buttons (raised edge on clBtnFace; sunken when pushed or
// checked; DFCS_ADJUSTRECT shrinks Rect by the 2-pixel edge), check boxes
// and three-state boxes (a square of the smaller side, centred; sunken edge,
// clWindow inside, clBtnFace when inactive or pushed, a clBtnFace /
// clBtnHighlight checker when checked three-state; the tick in
// clWindowText, clBtnShadow when inactive or three-state) and radio
// buttons. DFC_SCROLL: a button face with a solid arrow (clBtnText,
// clGrayText embossed when inactive). DFCS_FLAT draws flat edges. Returns
// false for types it does not know.
bool DrawFrameControl(HDC DC, TRect& Rect, unsigned Type, unsigned State);

// The dotted focus frame: every other pixel of the one-pixel frame along the
// inside of Rect is inverted (the pixels whose x + y is even), so drawing it
// twice restores the picture.
bool DrawFocusRect(HDC DC, const TRect& Rect);

// ---- device context ------------------------------------------------------------------------
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int REGION_ERROR = 0;

int SaveDC(HDC DC);
bool RestoreDC(HDC DC, int SavedDC);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
TColor SetTextColor(HDC DC, TColor Color);
TColor SetBkColor(HDC DC, TColor Color);
// Metrics of the canvas's current font, from Pango.
bool GetTextMetrics(HDC DC, TTextMetric& TM);
// The colour the display shows for Color: Color itself at 16 bits and up,
// the nearest static palette colour at 8 bits (DisplayColorDepth).
TColor GetNearestColor(HDC DC, TColor Color);

// Saves the device context and restores it when the scope ends.
class TSaveDC {
public:
  explicit TSaveDC(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) {}
  ~TSaveDC() {
    if (FSaved != 0) RestoreDC(FDC, FSaved);
  }
  TSaveDC(const TSaveDC&) = delete;
  TSaveDC& operator=(const TSaveDC&) = delete;

private:
  HDC FDC;
  int FSaved;
};

// ---- system metrics ----------------------------------------------------------------------------
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;

// The classic 96-dpi values: scroll bars 16, borders 1, edges 2, frames 4,
// a 1024 x 768 screen; 0 for indexes it does not know. A host may change a
// value with SetSystemMetrics (the screen size, for one).
int GetSystemMetrics(int Index);
void SetSystemMetrics(int Index, int Value);
