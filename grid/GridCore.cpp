// TRixCustomDBGrid: construction, destruction, the update and layout locks
// with the deferred layout, removal notifications and window messages.
#include "grid/RixDBGrid.h"
#include "drawing/Drawing.h"

#include "platform/controls/InplaceEdit.h"
#include "platform/core/Checked.h"
#include "resources/PackageBitmaps.h"

#include <utility>

[[noreturn]] void InvalidOp(const std::string& Message) { throw EInvalidGridOperation(Message); }
[[noreturn]] void RaiseGridError(const std::string& Message) { throw EInvalidGridOperation(Message); }

void KillMessage(HWND Wnd, unsigned Msg) {
  TMsg m;
  if (PeekMessage(m, Wnd, Msg, Msg, PM_REMOVE) && m.Message == WM_QUIT)
    PostQuitMessage(static_cast<int>(m.WParam));
}

// ---- Construction ----------------------------------------------------------

TRixCustomDBGrid::TRixCustomDBGrid(TComponent* AOwner) : TRixCustomDBGrid(AOwner, TRixGridFactories{}) {}

TRixCustomDBGrid::TRixCustomDBGrid(TComponent* AOwner, const TRixGridFactories& Factories)
    : TCustomGrid(AOwner) {
  try {
    Construct(Factories);
  } catch (...) {
    // The destructor will not run: give back what was built so far. Owned
    // components (menu, actions) go with the base destructor.
    delete FStream;
    delete FColumns;
    delete FVisibleColumns;
    delete FDataLink;
    delete FOrderArrow;
    delete FIndicators;
    delete FTitleFont;
    delete FBookmarks;
    if (std::exchange(FUsesBitmap, false)) ReleaseBitmap();
    throw;
  }
}

void TRixCustomDBGrid::Construct(const TRixGridFactories& Factories) {
  // 1. This grid paints every cell itself, every pixel of it while its own
  // default drawing is on.
  TCustomGrid::SetDefaultDrawing(false);
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque});
  FAcquireFocus = true;
  // 2.
  LoadImageLists();
  // 3.
  FTitleOffset = 1;
  FIndicatorOffset = 1;
  FUpdateFields = true;
  FOptions = DefaultRixDBGridOptions;
  if (SysLocale().PriLangID == LANG_KOREAN) FOptions = FOptions + rixdgAlwaysShowEditor;
  // 4. FUsesBitmap records that this grid took its share of the drawing
  // bitmap, so that only a grid that registered releases it.
  SetDesignOptionsBoost(TGridOptions{goColSizing});
  SetVirtualView(true);
  UsesBitmap();
  FUsesBitmap = true;
  SetScrollBars(ssHorizontal);
  TCustomGrid::SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing,
                                       goColMoving, goEditing, goTabs});
  // 5.
  FColumns = Factories.Columns ? Factories.Columns(this) : CreateColumns();
  FVisibleColumns = new TList();
  SetRowCount(2);
  SetColCount(2);
  FDataLink = Factories.DataLink ? Factories.DataLink(this) : CreateDataLink();
  // 6.
  SetColor(clWindow);
  SetParentColor(false);
  FTitleFont = new TFont();
  FTitleFont->SetOnChange([this](TObject* Sender) { TitleFontChanged(Sender); });
  SetSaveCellExtents(false);
  FUserChange = true;
  FDefaultDrawing = true;
  // 7.
  FBookmarks = new TRixBookmarkList(this);
  HideEditor();
  // 8.
  FFixedCols = 0;
  FFixedRows = 0;
  FAlternatingRecordColor = clWindow;
  FAlternatingRecordColorChange = false;
  FFocusedRecordColor = clWindow;
  FFocusedRecordColorChange = false;
  FMouseDownPos = TPoint{-1, -1};
  FOldPos = 0;
  FRecordIndex = 0;
  FRecordIndexDue = false;
  FRowsPerRecord = 1;
  FColsPerRow = 1;
  FSelectedRect = TRect{0, 0, 0, 0};
  FDefaultMenuShow = true;
  // 9.
  FStream = new TMemoryStream();
  CreateBlobPopupMenu();
  SetPopupMenu(FBlobPopupMenu);
}

void TRixCustomDBGrid::LoadImageLists() {
  auto load = [](TBitmap& Bmp, const char* Name) {
    const rix::TPackageBitmap* pb = rix::FindPackageBitmap(Name);
    if (pb == nullptr) throw EInvalidGraphic(std::string("Bitmap resource ") + Name + " not found");
    Bmp.SetSize(pb->Width(), pb->Height());
    for (int y = 0; y < pb->Height(); ++y)
      for (int x = 0; x < pb->Width(); ++x) Bmp.Canvas()->SetPixels(x, y, pb->Black(x, y) ? clBlack : clWhite);
  };
  TBitmap bmp;
  const TColor white = static_cast<TColor>(0xFFFFFF);
  load(bmp, bmArrow);
  FIndicators = new TImageList(bmp.Width(), bmp.Height());
  FIndicators->AddMasked(&bmp, white);
  for (const char* name : {bmEdit, bmInsert, bmMultiDot, bmMultiArrow}) {
    load(bmp, name);
    FIndicators->AddMasked(&bmp, white);
  }
  load(bmp, bmAscArrow);
  FOrderArrow = new TImageList(bmp.Width(), bmp.Height());
  FOrderArrow->AddMasked(&bmp, white);
  load(bmp, bmDscArrow);
  FOrderArrow->AddMasked(&bmp, white);
}

TRixDBGridColumns* TRixCustomDBGrid::CreateColumns() {
  return new TRixDBGridColumns(this, rix::ItemClass<TRixColumn>());
}

TRixGridDataLink* TRixCustomDBGrid::CreateDataLink() { return new TRixGridDataLink(this); }

TRixCustomDBGrid::~TRixCustomDBGrid() {
  // Each pointer is cleared before the next object goes, so that
  // notifications raised while freeing see only what still exists.
  delete std::exchange(FStream, nullptr);
  delete std::exchange(FColumns, nullptr);
  delete std::exchange(FVisibleColumns, nullptr);
  delete std::exchange(FDataLink, nullptr);
  delete std::exchange(FOrderArrow, nullptr);
  delete std::exchange(FIndicators, nullptr);
  delete std::exchange(FTitleFont, nullptr);
  delete std::exchange(FBookmarks, nullptr);
  // The base destructor frees the popup menu, its items and the actions;
  // none of them draws through the shared bitmap, so it can go first.
  if (std::exchange(FUsesBitmap, false)) ReleaseBitmap();
}

// ---- Locks -----------------------------------------------------------------

void TRixCustomDBGrid::BeginUpdate() { FUpdateLock = rix::CheckedAdd<std::uint8_t>(FUpdateLock, 1); }

void TRixCustomDBGrid::EndUpdate() {
  if (FUpdateLock > 0) --FUpdateLock;
}

void TRixCustomDBGrid::BeginLayout() {
  // Both counters are checked before either changes.
  rix::CheckedAdd<std::uint8_t>(FLayoutLock, 1);
  rix::CheckedAdd<std::uint8_t>(FUpdateLock, 1);
  BeginUpdate();
  if (FLayoutLock == 0 && FColumns != nullptr) FColumns->BeginUpdate();
  ++FLayoutLock;
}

void TRixCustomDBGrid::CancelLayout() {
  if (FLayoutLock == 0) return;
  if (FLayoutLock == 1 && FColumns != nullptr) FColumns->EndUpdate();
  --FLayoutLock;
  EndUpdate();
}

void TRixCustomDBGrid::EndLayout() {
  if (FLayoutLock == 0) return;
  if (FLayoutLock == 1) {
    try {
      InternalLayout();
    } catch (...) {
      CancelLayout();
      throw;
    }
  }
  CancelLayout();
}

bool TRixCustomDBGrid::AcquireLayoutLock() {
  if (FUpdateLock != 0 || FLayoutLock != 0) return false;
  BeginLayout();
  return true;
}

void TRixCustomDBGrid::LayoutChanged() {
  if (AcquireLayoutLock()) EndLayout();
}

void TRixCustomDBGrid::DeferLayout() {
  if (HandleAllocated()) {
    TMsg m;
    bool waiting = PeekMessage(m, WindowHandle(), CM_DEFERLAYOUT, CM_DEFERLAYOUT, PM_NOREMOVE) &&
                   m.Message == CM_DEFERLAYOUT;
    if (!waiting) PostMessage(WindowHandle(), CM_DEFERLAYOUT, 0, 0);
  } else {
    // No window, no queue: CreateWnd runs it.
    FLayoutPending = true;
  }
  CancelLayout();
}

void TRixCustomDBGrid::CMDeferLayout(TMessage&) {
  if (AcquireLayoutLock())
    EndLayout();
  else {
    // DeferLayout gives back a layout level; this caller holds none.
    BeginLayout();
    DeferLayout();
  }
}

// ---- Window ----------------------------------------------------------------

void TRixCustomDBGrid::CreateWnd() {
  {
    TUpdateLockGuard lock(this);
    TCustomGrid::CreateWnd();
    UpdateRowCount();
    UpdateActive();
    UpdateScrollBar();
  }
  FOriginalImeName = ImeName();
  FOriginalImeMode = ImeMode();
  if (FLayoutPending) {
    FLayoutPending = false;
    if (AcquireLayoutLock())
      EndLayout();
    else
      PostMessage(WindowHandle(), CM_DEFERLAYOUT, 0, 0);
  }
}

// Without default drawing the data cells show the erased background wherever
// the drawing handlers leave them alone, so the grid is no longer opaque.
void TRixCustomDBGrid::SetDefaultDrawing(bool Value) {
  FDefaultDrawing = Value;
  SetControlStyle(Value ? ControlStyle() + TControlStyle{csOpaque} : ControlStyle() - TControlStyle{csOpaque});
}

void TRixCustomDBGrid::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DEFERLAYOUT)
    CMDeferLayout(Message);
  else if (Message.Msg == WM_TIMER && Message.WParam == CountTimer)
    UpdateScrollBar();
  else
    TCustomGrid::Dispatch(Message);
}

void TRixCustomDBGrid::WndProc(TMessage& Message) {
  TCustomGrid::WndProc(Message);
  if (Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL || Message.Msg == WM_KEYDOWN) {
    int pos = GetScrollPos(SB_VERT);
    if (pos != FOldPos) {
      FOldPos = pos;
      // The alternating colours belong to records, not rows: redraw all.
      if (Color() != FAlternatingRecordColor) Invalidate();
    }
  }
}

void TRixCustomDBGrid::DefaultHandler(TMessage& Message) {
  TCustomGrid::DefaultHandler(Message);
  if (Message.Msg != WM_RBUTTONUP) return;
  TPoint p{SignedLoWord(static_cast<std::uintptr_t>(Message.LParam)),
           SignedHiWord(static_cast<std::uintptr_t>(Message.LParam))};
  TGridCoord cell = MouseCoord(p.X, p.Y);
  if (cell.X < FIndicatorOffset || cell.Y < 0) return;
  TRixColumn* column = GetColumns(RawToDataColumn(cell.X));
  if (column == nullptr || column->PopupMenu() == nullptr || !column->PopupMenu()->AutoPopup()) return;
  SendCancelMode(nullptr);
  column->PopupMenu()->SetPopupComponent(this);
  TPoint s = ClientToScreen(p);
  column->PopupMenu()->Popup(s.X, s.Y);
  Message.Result = 1;
}

void TRixCustomDBGrid::WMSize(TMessage& M) {
  TCustomGrid::WMSize(M);
  if (FUpdateLock == 0) UpdateRowCount();
  InvalidateTitles();
}

void TRixCustomDBGrid::CMEnabledChanged(TMessage& M) {
  TCustomGrid::CMEnabledChanged(M);
  Invalidate();
}

void TRixCustomDBGrid::CMBiDiModeChanged(TMessage& M) {
  TCustomGrid::CMBiDiModeChanged(M);
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* sub = dynamic_cast<TRixCustomDBGrid*>(Components(i)); sub != nullptr && sub->Parent() != nullptr)
      sub->Parent()->SetBiDiMode(BiDiMode());
}

bool TRixCustomDBGrid::AcquireFocus() {
  if (!FAcquireFocus || !CanFocus() || ComponentState().Contains(csDesigning)) return true;
  SetFocus();
  return Focused() || (InplaceEditor() != nullptr && InplaceEditor()->Focused());
}

// ---- Loading and notifications ---------------------------------------------

void TRixCustomDBGrid::Loaded() {
  TCustomGrid::Loaded();
  if (FColumns->Count() > 0) SetColCount(FColumns->Count());
  for (int i = 0; i < FColumns->Count(); ++i)
    FColumns->Items(i)->SetOnInvalidate([this](TObject* Sender) { Invalidated(Sender); });
  LayoutChanged();
}

void TRixCustomDBGrid::Invalidated(TObject*) { Invalidate(); }

void TRixCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomGrid::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FColumns != nullptr && dynamic_cast<TPopupMenu*>(AComponent) != nullptr) {
    for (int i = 0; i < FColumns->Count(); ++i)
      if (FColumns->Items(i)->PopupMenu() == AComponent) FColumns->Items(i)->SetPopupMenu(nullptr);
    return;
  }
  if (FDataLink == nullptr) return;
  if (auto* source = dynamic_cast<TDataSource*>(AComponent); source != nullptr) {
    // A lookup column's list source is a plain reference too.
    if (FColumns != nullptr)
      for (int i = 0; i < FColumns->Count(); ++i)
        if (FColumns->Items(i)->ListSource() == source) FColumns->Items(i)->SetListSource(nullptr);
    if (source == DataSource()) SetDataSource(nullptr);
    return;
  }
  auto* field = dynamic_cast<TField*>(AComponent);
  if (field == nullptr || FColumns == nullptr) return;
  BeginLayout();
  bool needLayout = false;
  auto finish = [&] {
    TDataSet* ds = FDataLink->DataSet();
    if (needLayout && ds != nullptr && !ds->ComponentState().Contains(csDestroying) && !ds->ControlsDisabled())
      EndLayout();
    else
      DeferLayout();
  };
  try {
    for (int i = 0; i < FColumns->Count(); ++i) {
      TRixColumn* c = FColumns->Items(i);
      if (c->FieldRef() != field) continue;
      c->SetField(nullptr);
      if (c->ButtonStyle() == cbsButton || c->ButtonStyle() == cbsCheck) c->SetButtonStyle(cbsAuto);
      needLayout = true;
    }
  } catch (...) {
    finish();
    throw;
  }
  finish();
}
