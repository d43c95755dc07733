// TRixDBGrid's published properties: the table that form streams and the
// designer read. Declaration order is write order.
#include "grid/RixDBGrid.h"

#include "platform/graphics/GraphicsStreaming.h"

namespace {

using TBuilder = rix::TClassBuilder<TRixDBGrid>;

// An event whose method name the grid keeps for the stream.
template <typename Sig, typename S>
void Event(TBuilder& B, const char* Name, const char* Type, S Set) {
  B.Event<Sig>(
      Name, MethodTypeInfo(Type), [N = std::string(Name)](TRixDBGrid* G) { return G->EventName(N); },
      [N = std::string(Name), Set](TRixDBGrid* G, const std::string& Method, std::function<Sig> H) {
        G->SetEventName(N, Method);
        Set(G, std::move(H));
      });
}

const TTypeInfo* OptionsType() {
  return SetTypeInfo(
      "TRixDBGridOptions",
      EnumTypeInfo("TRixDBGridOption",
                   {"rixdgEditing", "rixdgAlwaysShowEditor", "rixdgTitles", "rixdgIndicator", "rixdgColumnResize",
                    "rixdgColLines", "rixdgRowResize", "rixdgRowLines", "rixdgTabs", "rixdgRowSelect",
                    "rixdgAlwaysShowSelection", "rixdgConfirmDelete", "rixdgCancelOnExit", "rixdgMultiSelect",
                    "rixdgAllowUserToAddRows", "rixdgAllowUserToDeleteRows"}));
}

const bool Registered = [] {
  rix::RegisterClass<TRixDBGrid>();
  return true;
}();

} // namespace

RIX_IMPLEMENT_PUBLISHED(TSizeConstraints, TPersistent)
void TSizeConstraints::DeclareProperties(rix::TClassBuilder<TSizeConstraints>& B) {
  B.Property("MaxHeight", IntegerTypeInfo(), &TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight).Default(0);
  B.Property("MaxWidth", IntegerTypeInfo(), &TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth).Default(0);
  B.Property("MinHeight", IntegerTypeInfo(), &TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight).Default(0);
  B.Property("MinWidth", IntegerTypeInfo(), &TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth).Default(0);
}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* s = dynamic_cast<TSizeConstraints*>(Source)) {
    FMaxHeight = s->FMaxHeight;
    FMaxWidth = s->FMaxWidth;
    FMinHeight = s->FMinHeight;
    FMinWidth = s->FMinWidth;
    return;
  }
  TPersistent::Assign(Source);
}

RIX_IMPLEMENT_PUBLISHED(TRixDBGrid, TComponent)
void TRixDBGrid::DeclareProperties(TBuilder& B) {
  (void)Registered;
  using G = TRixDBGrid;
  // The grid's own properties.
  B.Property("AlternatingRecordColor", ColorTypeInfo(), &G::AlternatingRecordColor, &G::SetAlternatingRecordColor)
      .Default(clWindow);
  B.Property("AlternatingRecordColorChange", BooleanTypeInfo(), &G::AlternatingRecordColorChange,
             &G::SetAlternatingRecordColorChange)
      .Default(0);
  // Older names of the same settings: read, never written.
  B.Property("BiLineColor", ColorTypeInfo(), &G::AlternatingRecordColor, &G::SetAlternatingRecordColor).Stored(false);
  B.Property("BlobPopupMenu", ClassTypeInfo("TPopupMenu"), &G::BlobPopupMenu, nullptr);
  B.Property("Columns", ClassTypeInfo("TRixDBGridColumns"), &G::Columns, &G::SetColumns).Stored(false);
  B.Property("CRtoNextCol", BooleanTypeInfo(), &G::CRtoNextCol, &G::SetCRtoNextCol).Default(0);
  B.Property("DataRowHeight", IntegerTypeInfo(), &G::DataRowHeight, &G::SetDataRowHeight).Default(0);
  B.Property("DataSource", ClassTypeInfo("TDataSource"), &G::GetDataSource, &G::SetDataSource);
  B.Property("DefaultDrawing", BooleanTypeInfo(), &G::DefaultDrawing, &G::SetDefaultDrawing).Default(1);
  B.Property("DefaultMenuShow", BooleanTypeInfo(), &G::DefaultMenuShow, &G::SetDefaultMenuShow).Default(1);
  B.Property("FixedCols", IntegerTypeInfo(), &G::FixedCols, &G::SetFixedCols).Default(0);
  B.Property("FocusedRecordColor", ColorTypeInfo(), &G::FocusedRecordColor, &G::SetFocusedRecordColor)
      .Default(clWindow);
  B.Property("FocusedRecordColorChange", BooleanTypeInfo(), &G::FocusedRecordColorChange,
             &G::SetFocusedRecordColorChange)
      .Default(0);
  B.Property("FocusRecordColor", ColorTypeInfo(), &G::FocusedRecordColor, &G::SetFocusedRecordColor).Stored(false);
  B.Property("FocusRecordColorChange", BooleanTypeInfo(), &G::FocusedRecordColorChange,
             &G::SetFocusedRecordColorChange)
      .Stored(false);
  B.Property("Options", OptionsType(), &G::Options, &G::SetOptions).Default(0xD9BD);
  B.Property("ReadOnly", BooleanTypeInfo(), &G::ReadOnly, &G::SetReadOnly).Default(0);
  B.Property("RowsPerRecord", IntegerTypeInfo(), &G::RowsPerRecord, &G::SetRowsPerRecord).Default(1);
  B.Property("TitleFont", ClassTypeInfo("TFont"), &G::TitleFont, &G::SetTitleFont);

  // Framework properties, re-published.
  B.Property("Align", EnumTypeInfo("TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}),
             &G::Align, &G::SetAlign)
      .Default(alNone);
  B.Property("Anchors", SetTypeInfo("TAnchors", EnumTypeInfo("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"})),
             &G::Anchors, &G::SetAnchors)
      .Default(TAnchors{akLeft, akTop}.ToInt());
  B.Property("BiDiMode",
             EnumTypeInfo("TBiDiMode",
                          {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}),
             &G::BiDiMode, &G::SetBiDiMode)
      .Stored([](G* g) { return !g->ParentBiDiMode(); });
  B.Property("BorderStyle", EnumTypeInfo("TBorderStyle", {"bsNone", "bsSingle"}), &G::BorderStyle, &G::SetBorderStyle)
      .Default(bsSingle);
  B.Property("Color", ColorTypeInfo(), &G::Color, &G::SetColor)
      .Default(clWindow)
      .Stored([](G* g) { return !g->ParentColor(); });
  B.Property("Constraints", ClassTypeInfo("TSizeConstraints"), &G::Constraints, &G::SetConstraints);
  B.Property("Ctl3D", BooleanTypeInfo(), &G::Ctl3D, &G::SetCtl3D).Stored([](G* g) { return !g->ParentCtl3D(); });
  B.Property("DragCursor", IntegerTypeInfo("TCursor"), &G::DragCursor, &G::SetDragCursor).Default(crDrag);
  B.Property("DragKind", EnumTypeInfo("TDragKind", {"dkDrag", "dkDock"}), &G::DragKind, &G::SetDragKind)
      .Default(dkDrag);
  B.Property("DragMode", EnumTypeInfo("TDragMode", {"dmManual", "dmAutomatic"}), &G::DragMode, &G::SetDragMode)
      .Default(dmManual);
  B.Property("Enabled", BooleanTypeInfo(), &G::Enabled, &G::SetEnabled).Default(1);
  B.Property("FixedColor", ColorTypeInfo(), [](G* g) { return g->TCustomGrid::FixedColor(); },
             [](G* g, TColor v) { g->TCustomGrid::SetFixedColor(v); })
      .Default(clBtnFace);
  B.Property("Font", ClassTypeInfo("TFont"), &G::Font, &G::SetFont).Stored([](G* g) { return !g->ParentFont(); });
  B.Property("ImeMode",
             EnumTypeInfo("TImeMode", {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                                       "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"}),
             &G::ImeMode, &G::SetImeMode)
      .Default(imDontCare);
  B.Property("ImeName", StringTypeInfo(), [](G* g) { return std::string(g->ImeName()); }, &G::SetImeName);
  B.Property("ParentBiDiMode", BooleanTypeInfo(), &G::ParentBiDiMode, &G::SetParentBiDiMode).Default(1);
  B.Property("ParentColor", BooleanTypeInfo(), &G::ParentColor, &G::SetParentColor).Default(0);
  B.Property("ParentCtl3D", BooleanTypeInfo(), &G::ParentCtl3D, &G::SetParentCtl3D).Default(1);
  B.Property("ParentFont", BooleanTypeInfo(), &G::ParentFont, &G::SetParentFont).Default(1);
  B.Property("ParentShowHint", BooleanTypeInfo(), &G::ParentShowHint, &G::SetParentShowHint).Default(1);
  // The default blob menu is the grid's own: it comes with the grid.
  B.Property("PopupMenu", ClassTypeInfo("TPopupMenu"), [](G* g) { return g->PopupMenu(); },
             [](G* g, TPopupMenu* v) { g->SetPopupMenu(v); })
      .Stored([](G* g) { return g->PopupMenu() != g->BlobPopupMenu(); });
  B.Property("ShowHint", BooleanTypeInfo(), &G::ShowHint, &G::SetShowHint)
      .Stored([](G* g) { return !g->ParentShowHint(); });
  B.Property("TabOrder", IntegerTypeInfo("TTabOrder"), &G::TabOrder, &G::SetTabOrder).Default(-1);
  B.Property("TabStop", BooleanTypeInfo(), &G::TabStop, &G::SetTabStop).Default(1);
  B.Property("Visible", BooleanTypeInfo(), &G::Visible, &G::SetVisible).Default(1);

  // The grid's events.
  Event<void(TRixColumn*)>(B, "OnCellClick", "TRixDBGridClickEvent", [](G* g, auto h) { g->SetOnCellClick(h); });
  Event<void(TObject*)>(B, "OnColEnter", "TNotifyEvent", [](G* g, auto h) { g->SetOnColEnter(h); });
  Event<void(TObject*)>(B, "OnColExit", "TNotifyEvent", [](G* g, auto h) { g->SetOnColExit(h); });
  Event<void(TObject*, int, int)>(B, "OnColumnMoved", "TMovedEvent", [](G* g, auto h) { g->SetOnColumnMoved(h); });
  Event<void(TObject*, const TRect&, TField*, TGridDrawState)>(
      B, "OnDrawDataCell", "TDrawDataCellEvent", [](G* g, auto h) { g->SetOnDrawDataCell(h); });
  Event<void(TObject*, const TRect&, int, TRixColumn*, TGridDrawState)>(
      B, "OnDrawColumnCell", "TRixDrawColumnCellEvent", [](G* g, auto h) { g->SetOnDrawColumnCell(h); });
  Event<void(TObject*)>(B, "OnEditButtonClick", "TNotifyEvent", [](G* g, auto h) { g->SetOnEditButtonClick(h); });
  Event<void(TRixColumn*)>(B, "OnTitleClick", "TRixDBGridClickEvent", [](G* g, auto h) { g->SetOnTitleClick(h); });

  // Framework events, re-published.
  Event<void(TObject*)>(B, "OnDblClick", "TNotifyEvent", [](G* g, auto h) { g->SetOnDblClick(h); });
  Event<void(TObject*, TObject*, int, int)>(B, "OnDragDrop", "TDragDropEvent",
                                            [](G* g, auto h) { g->SetOnDragDrop(h); });
  Event<void(TObject*, TObject*, int, int, TDragState, bool&)>(B, "OnDragOver", "TDragOverEvent",
                                                               [](G* g, auto h) { g->SetOnDragOver(h); });
  Event<void(TObject*, TObject*, int, int)>(B, "OnEndDock", "TEndDockEvent", [](G* g, auto h) { g->SetOnEndDock(h); });
  Event<void(TObject*, TObject*, int, int)>(B, "OnEndDrag", "TEndDragEvent", [](G* g, auto h) { g->SetOnEndDrag(h); });
  Event<void(TObject*)>(B, "OnEnter", "TNotifyEvent", [](G* g, auto h) { g->SetOnEnter(h); });
  Event<void(TObject*)>(B, "OnExit", "TNotifyEvent", [](G* g, auto h) { g->SetOnExit(h); });
  Event<void(TObject*, unsigned short&, TShiftState)>(B, "OnKeyDown", "TKeyEvent",
                                                       [](G* g, auto h) { g->SetOnKeyDown(h); });
  Event<void(TObject*, char32_t&)>(B, "OnKeyPress", "TKeyPressEvent", [](G* g, auto h) { g->SetOnKeyPress(h); });
  Event<void(TObject*, unsigned short&, TShiftState)>(B, "OnKeyUp", "TKeyEvent", [](G* g, auto h) { g->SetOnKeyUp(h); });
  Event<void(TObject*, TMouseButton, TShiftState, int, int)>(B, "OnMouseDown", "TMouseEvent",
                                                             [](G* g, auto h) { g->SetOnMouseDown(h); });
  Event<void(TObject*, TShiftState, int, int)>(B, "OnMouseMove", "TMouseMoveEvent",
                                               [](G* g, auto h) { g->SetOnMouseMove(h); });
  Event<void(TObject*, TMouseButton, TShiftState, int, int)>(B, "OnMouseUp", "TMouseEvent",
                                                             [](G* g, auto h) { g->SetOnMouseUp(h); });
  Event<void(TObject*, TObject*&)>(B, "OnStartDock", "TStartDockEvent", [](G* g, auto h) { g->SetOnStartDock(h); });
  Event<void(TObject*, TObject*&)>(B, "OnStartDrag", "TStartDragEvent", [](G* g, auto h) { g->SetOnStartDrag(h); });
}
