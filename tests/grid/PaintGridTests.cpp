// The grid painted on the headless host: indicators, record colours,
// highlight, titles, and the data link's record around every cell.
#include "PaintTestSupport.h"

#include <algorithm>

namespace {

using painttest::PaintFixture;
using painttest::TPaintGrid;

TColor RGBOf(TColor C) { return ColorToRGB(C); }
constexpr TColor Alternate = 0x00C0FFC0; // light green
constexpr TColor Focus = 0x00FFC0C0;     // light blue

TEST_F(PaintFixture, TwoRowsPerRecordMarkBothRowsOfTheCurrentRecordAndAlternateFromTheSecondRecord) {
  Grid->SetAlternatingRecordColor(Alternate);
  Show();
  Grid->SetRowsPerRecord(2);
  Host->Paint();
  ASSERT_EQ(Grid->TitleOffset(), 2);
  // Record 0 in rows 2 and 3: the arrow in both; record 1 (rows 4, 5) none.
  EXPECT_GT(CountInCell(0, 2, clBlack), 10);
  EXPECT_GT(CountInCell(0, 3, clBlack), 10);
  EXPECT_EQ(CountInCell(0, 4, clBlack), 0);
  EXPECT_EQ(CountInCell(0, 5, clBlack), 0);
  EXPECT_EQ(Grid->SelRow(), 3);
  // Right edge of the (left-aligned) Name cells in the record's second row.
  EXPECT_EQ(CellPixel(1, 3, -3, 3), RGBOf(clWindow));
  EXPECT_EQ(CellPixel(1, 5, -3, 3), RGBOf(Alternate));
  EXPECT_EQ(CellPixel(1, 4, 3, 3), RGBOf(Alternate));
  EXPECT_EQ(CellPixel(1, 7, -3, 3), RGBOf(clWindow));
  EXPECT_EQ(CellPixel(1, 9, -3, 3), RGBOf(Alternate));
}

TEST_F(PaintFixture, FocusedRecordColourWinsOverTheAlternatingColour) {
  Grid->SetAlternatingRecordColor(Alternate);
  Grid->SetFocusedRecordColor(Focus);
  Show();
  Data->MoveBy(1); // the second record, an alternating one
  Repaint();
  EXPECT_EQ(CellPixel(2, 2, -3, 3), RGBOf(Focus));
  EXPECT_EQ(CellPixel(2, 1, -3, 3), RGBOf(clWindow));
  EXPECT_EQ(CellPixel(2, 4, -3, 3), RGBOf(Alternate));
}

TEST_F(PaintFixture, CurrentCellOfAFocusedGridTakesTheHighlightColoursAndAFocusFrame) {
  // Pixels of the cell's top edge that are not the highlight colour: the
  // dotted focus frame inverts every other one.
  auto frameDots = [&](int ACol, int ARow) {
    const TRect r = Grid->CellRect(ACol, ARow);
    int n = 0;
    for (int x = r.Left + 2; x < r.Right - 2; ++x) n += CellPixel(ACol, ARow, x - r.Left, 0) != RGBOf(clHighlight);
    return n;
  };
  Grid->SetFocusedRecordColor(Focus);
  Grid->SetOptions(Grid->Options() + rixdgAlwaysShowSelection);
  Show();
  Grid->SetCol(2);
  Repaint();
  // Highlighted but not focused: no frame.
  ASSERT_EQ(CellPixel(2, 1, -4, 4), RGBOf(clHighlight));
  EXPECT_EQ(frameDots(2, 1), 0);
  Grid->SetFocus();
  Repaint();
  EXPECT_EQ(CellPixel(2, 1, -4, 4), RGBOf(clHighlight));
  EXPECT_GT(CountInCell(2, 1, clHighlightText), 0) << "the name in highlight text";
  const int width = Grid->CellRect(2, 1).Right - Grid->CellRect(2, 1).Left - 4;
  EXPECT_GE(frameDots(2, 1), width / 3) << "a dotted frame along the top edge";
  // The record's other cells keep the focused-record colour.
  EXPECT_EQ(CellPixel(1, 1, 4, 4), RGBOf(Focus));
}

TEST_F(PaintFixture, CurrentCellOfAnUnfocusedGridIsNotHighlightedUnlessAlwaysShowSelection) {
  Show();
  Grid->SetCol(2);
  Repaint();
  EXPECT_EQ(CellPixel(2, 1, -4, 4), RGBOf(clWindow));
  Grid->SetOptions(Grid->Options() + rixdgAlwaysShowSelection);
  Repaint();
  EXPECT_EQ(CellPixel(2, 1, -4, 4), RGBOf(clHighlight));
}

TEST_F(PaintFixture, DisabledGridDrawsGrayTextEvenOnTheHighlight) {
  Grid->SetOptions(Grid->Options() + rixdgAlwaysShowSelection);
  Show();
  Grid->SetCol(2);
  Grid->SetEnabled(false);
  Repaint();
  EXPECT_GT(CountInCell(2, 2, clGrayText), 0);
  EXPECT_GT(CountInCell(2, 1, clGrayText), 0);
  EXPECT_EQ(CountInCell(2, 1, clHighlightText), 0);
  EXPECT_EQ(CellPixel(2, 1, -4, 4), RGBOf(clHighlight));
}

TEST_F(PaintFixture, MultiSelectionMarksFollowTheDatasetState) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Data->MoveBy(2);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Data->First();
  Repaint();
  // Browsing: the current selected record shows the multi-arrow (4), the
  // other selected one the dot (3), an unselected one nothing.
  TBitmap marks(6, 11);
  auto countOf = [&](int Index) {
    marks.Canvas()->Brush()->SetColor(clWhite);
    marks.Canvas()->FillRect(Rect(0, 0, 6, 11));
    Grid->Indicators()->Draw(marks.Canvas(), 0, 0, Index, true);
    int n = 0;
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < 6; ++x) n += marks.Canvas()->Pixels(x, y) == clBlack ? 1 : 0;
    return n;
  };
  EXPECT_EQ(CountInCell(0, 1, clBlack), countOf(4));
  EXPECT_EQ(CountInCell(0, 3, clBlack), countOf(3));
  EXPECT_EQ(CountInCell(0, 2, clBlack), 0);
  // Editing: every marked row shows the I-beam.
  Data->Edit();
  Repaint();
  EXPECT_EQ(CountInCell(0, 1, clBlack), countOf(1));
  EXPECT_EQ(CountInCell(0, 3, clBlack), countOf(1));
  EXPECT_EQ(CountInCell(0, 2, clBlack), 0);
  Data->Cancel();
}

TEST_F(PaintFixture, SelectedRecordsAreHighlightedInEveryCellFocusedOrNot) {
  Grid->SetOptions(Grid->Options() + rixdgMultiSelect);
  Show();
  Data->MoveBy(3);
  Grid->SelectedRows()->SetCurrentRowSelected(true);
  Data->First();
  Repaint();
  EXPECT_EQ(CellPixel(1, 4, -3, 3), RGBOf(clHighlight));
  EXPECT_EQ(CellPixel(3, 4, -3, 3), RGBOf(clHighlight));
  EXPECT_EQ(CellPixel(1, 3, -3, 3), RGBOf(clWindow));
}

TEST_F(PaintFixture, OrderArrowSitsElevenPixelsLeftOfTheRightEdgeOrAtTheLeftOfANarrowTitle) {
  Grid->Columns()->Add()->SetFieldName("ID");
  Grid->Columns()->Add()->SetFieldName("Name");
  Grid->Columns()->Items(0)->SetOrderState(osAsc);
  Grid->Columns()->Items(1)->SetOrderState(osDesc);
  Show();
  // Column widths 17 and 18: the title rectangles inside the frame are 15 and 16.
  Grid->Columns()->Items(0)->SetWidth(17);
  Grid->Columns()->Items(1)->SetWidth(18);
  Grid->Columns()->Items(0)->Title()->SetCaption("");
  Grid->Columns()->Items(1)->Title()->SetCaption("");
  Repaint();
  auto leftmostBlack = [&](int ACol) {
    TRect r = Grid->CellRect(ACol, 0);
    for (int x = r.Left; x < r.Right; ++x)
      for (int y = r.Top; y < r.Bottom; ++y) {
        TPoint p = Host->PointOf(Grid, x, y);
        if (Host->Painter().Pixel(p.X, p.Y) == RGBOf(clBlack)) return x - r.Left;
      }
    return -1;
  };
  Host->Paint();
  // The frame takes one pixel: the title rectangle starts at 1.
  EXPECT_EQ(leftmostBlack(1), 1);
  const TRect r2 = Grid->CellRect(2, 0);
  EXPECT_EQ(leftmostBlack(2), (r2.Right - r2.Left - 1) - 11);
}

TEST_F(PaintFixture, DefaultDrawingOffLeavesDataCellsToTheHandler) {
  Show();
  Grid->SetDefaultDrawing(false);
  TCanvas* saved = Grid->Canvas();
  TBitmap bmp(Grid->ClientWidth(), Grid->ClientHeight());
  const TRect cell = Grid->CellRect(2, 2);
  auto paintOverRed = [&] {
    bmp.Canvas()->Brush()->SetColor(clRed);
    bmp.Canvas()->FillRect(Rect(0, 0, bmp.Width(), bmp.Height()));
    Grid->SetPaintCanvas(bmp.Canvas());
    Grid->DrawCell(2, 2, cell, {});
    Grid->SetPaintCanvas(saved);
  };
  // No handler: nothing is filled, and no focus frame either.
  paintOverRed();
  EXPECT_EQ(bmp.Canvas()->Pixels(cell.Right - 3, cell.Top + 3), RGBOf(clRed));
  EXPECT_EQ(bmp.Canvas()->Pixels(cell.Left, cell.Top), RGBOf(clRed));
  // A handler that asks for the default drawing gets the cell filled and written.
  Grid->SetOnDrawColumnCell([this](TObject*, const TRect& R, int DataCol, TRixColumn* C, TGridDrawState S) {
    Grid->DefaultDrawColumnCell(R, DataCol, C, S);
  });
  paintOverRed();
  EXPECT_EQ(bmp.Canvas()->Pixels(cell.Right - 3, cell.Top + 3), RGBOf(clWindow));
  EXPECT_EQ(bmp.Canvas()->Pixels(cell.Right - 3, cell.Bottom + 3), RGBOf(clRed)) << "only the cell's rectangle";
}

// On screen, a cell no handler paints shows the grid's colour: the host
// erases a grid that does not paint every pixel itself, and only such a grid.
TEST_F(PaintFixture, WithoutDefaultDrawingTheScreenShowsTheGridColourInUnpaintedCells) {
  Show();
  Grid->SetColor(clAqua);
  Repaint();
  const TRect cell = Grid->CellRect(2, 2);
  int inkX = -1, inkY = -1;  // a pixel of the cell's text
  for (int y = 0; y < cell.Height() && inkX < 0; ++y)
    for (int x = 0; x < cell.Width() && inkX < 0; ++x)
      if (CellPixel(2, 2, x, y) != RGBOf(clAqua)) inkX = x, inkY = y;
  ASSERT_GE(inkX, 0);
  Grid->SetDefaultDrawing(false);
  Repaint();
  EXPECT_EQ(CellPixel(2, 2, inkX, inkY), RGBOf(clAqua)) << "not the last frame's text";
  Grid->SetDefaultDrawing(true);
  Repaint();
  EXPECT_NE(CellPixel(2, 2, inkX, inkY), RGBOf(clAqua));
}

class PaintEvents : public PaintFixture {
protected:
  void Record() {
    Grid->SetOnDrawDataCell([&](TObject*, const TRect&, TField* F, TGridDrawState) {
      if (F != nullptr && F->FieldName() == "Name") DataCells.push_back(F->AsString());
    });
    Grid->SetOnDrawColumnCell([&](TObject*, const TRect&, int, TRixColumn* C, TGridDrawState) {
      if (C->FieldName() == "Name") ColumnCells.push_back(C->Field()->AsString());
    });
  }
  bool Has(const std::vector<std::string>& V, const std::string& S) {
    return std::find(V.begin(), V.end(), S) != V.end();
  }
  std::vector<std::string> DataCells, ColumnCells;
};

TEST_F(PaintEvents, DefaultColumnsFireBothEventsWithThePaintedRecordCurrent) {
  Record();
  Show();
  Repaint();
  EXPECT_TRUE(Has(DataCells, "P3"));
  EXPECT_TRUE(Has(ColumnCells, "P5"));
  EXPECT_EQ(Data->FieldByName("Name")->AsString(), "P1");
}

TEST_F(PaintEvents, CustomizedColumnsNeverFireOnDrawDataCell) {
  Grid->Columns()->Add()->SetFieldName("Name");
  Grid->Columns()->Add()->SetFieldName("ID");
  Record();
  Show();
  ASSERT_EQ(Grid->Columns()->State(), csCustomized);
  Repaint();
  EXPECT_TRUE(DataCells.empty());
  EXPECT_TRUE(Has(ColumnCells, "P4"));
}

TEST_F(PaintFixture, ActiveRecordIsRestoredWhenADrawingHandlerRaises) {
  Show();
  Data->MoveBy(2);
  const int active = Grid->DataLink()->ActiveRecord();
  Grid->SetOnDrawColumnCell([](TObject*, const TRect&, int, TRixColumn*, TGridDrawState) {
    throw EInvalidOperation("handler failed");
  });
  TBitmap bmp(100, 40);
  TCanvas* saved = Grid->Canvas();
  Grid->SetPaintCanvas(bmp.Canvas());
  EXPECT_THROW(Grid->DrawCell(2, 5, Rect(0, 0, 100, 20), {}), EInvalidOperation);
  EXPECT_THROW(Grid->DrawCell(1, 1, Rect(0, 0, 100, 20), {}), EInvalidOperation);
  Grid->SetPaintCanvas(saved);
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), active);
  EXPECT_EQ(Data->FieldByName("ID")->AsInteger(), 3);
  Grid->SetOnDrawColumnCell(nullptr);
}

TEST_F(PaintFixture, FocusFrameForAGridOnNoFormFollowsItsFocus) {
  auto* loose = new TPaintGrid(nullptr);
  std::unique_ptr<TPaintGrid> owner(loose);
  loose->SetBounds(0, 0, 300, 120);
  loose->SetDataSource(Source);
  loose->HandleNeeded();
  loose->SetOptions(loose->Options() + rixdgAlwaysShowSelection);
  auto render = [&](TBitmap& Bmp) {
    loose->SetPaintCanvas(Bmp.Canvas());
    loose->DrawCell(loose->Col(), loose->Row(), loose->CellRect(loose->Col(), loose->Row()), {gdSelected});
    loose->SetPaintCanvas(nullptr);
  };
  auto differing = [](TBitmap& A, TBitmap& B) {
    int n = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 300; ++x) n += A.Canvas()->Pixels(x, y) != B.Canvas()->Pixels(x, y);
    return n;
  };
  TBitmap unfocused(300, 120), again(300, 120), focused(300, 120);
  SetFocusWindow(0);
  ASSERT_FALSE(loose->Focused());
  render(unfocused);
  render(again);
  EXPECT_EQ(differing(unfocused, again), 0);
  SetFocusWindow(loose->WindowHandle());
  ASSERT_TRUE(loose->Focused());
  render(focused);
  EXPECT_GE(differing(unfocused, focused), 60) << "a dotted frame round the cell once the grid has the focus";
  SetFocusWindow(0);
}

} // namespace

namespace {

// Titles of object columns: an expand button only where there is room.
TEST(PaintTitles, ExpandButtonNeedsATitleWiderThanTheScrollBarArrow) {
  ClearMessageQueue();
  auto* form = new TForm(nullptr);
  std::unique_ptr<TForm> owner(form);
  auto* grid = new painttest::TPaintGrid(form);
  grid->SetParent(form);
  grid->SetBounds(8, 8, 404, 304);
  auto* ds = new TMemoryDataSet(form);
  ds->SetObjectView(true);
  TFieldDef* addr = ds->FieldDefs()->Add("Address", ftADT);
  addr->ChildDefs()->Add("Street", ftString, 30);
  ds->FieldDefs()->Add("Name", ftString, 20);
  ds->CreateDataSet();
  ds->Append();
  ds->FieldByName("Name")->SetAsString("x");
  ds->Post();
  auto* source = new TDataSource(form);
  source->SetDataSet(ds);
  for (const char* name : {"Address", "Address"}) {
    TRixColumn* c = grid->Columns()->Add();
    c->SetFieldName(name);
    c->SetExpanded(false);  // a collapsed object column shows itself, with its button
    c->Title()->SetCaption(" ");
  }
  THeadlessHost host(form, 640, 480);
  grid->SetDataSource(source);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  grid->Columns()->Items(0)->SetWidth(arrow + 2);  // title rectangle exactly as wide as the button
  grid->Columns()->Items(1)->SetWidth(arrow + 40);
  ASSERT_TRUE(grid->Columns()->Items(0)->Expandable());
  grid->Invalidate();
  host.Paint();
  auto dark = [&](int ACol) {
    TRect r = grid->CellRect(ACol, 0);
    int n = 0;
    for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
      for (int x = r.Left + 2; x < r.Right - 2; ++x) {
        TPoint p = host.PointOf(grid, x, y);
        n += host.Painter().Pixel(p.X, p.Y) == ColorToRGB(clBtnText) ? 1 : 0;
      }
    return n;
  };
  EXPECT_EQ(dark(1), 0);
  EXPECT_GT(dark(2), 3) << "the arrow of the expand button";
}

// Caching laid-out text and its coverage, writing fills straight into the
// surface and leaving out clips that clip nothing must not change a pixel:
// the same frames, cold and warm, with all of it on as with it off,
// including after scrolling, a partial repaint, and for text that is cut,
// wrapped over two rows, underlined or right-to-left.
TEST_F(PaintFixture, TextCachesChangeNoPixelOfAFrame) {
  Data->First();
  for (int i = 0; i < 20; ++i) {
    Data->Edit();
    const std::string n = std::to_string(i);
    Data->FieldByName("Name")->SetAsString(i % 3 == 0   ? "商品 " + n + " 号の長い名前です"
                                           : i % 3 == 1 ? "two\nlines " + n
                                                        : "&Name " + n);
    Data->Post();
  }
  Data->First();
  Show();
  Grid->SetRowsPerRecord(2);
  Grid->Columns()->Items(1)->SetAlignment(taRightJustify);
  auto shown = [&] {
    std::vector<TColor> pixels;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) pixels.push_back(Host->Pixel(x, y));
    return pixels;
  };
  auto frame = [&] {
    Grid->Invalidate();
    Host->Paint();
    return shown();
  };
  auto frames = [&] {
    std::vector<std::vector<TColor>> out;
    Data->First();
    out.push_back(frame());
    out.push_back(frame());
    Data->MoveBy(7);
    out.push_back(frame());
    // Only what the move changed is painted again.
    Data->MoveBy(1);
    Host->Paint();
    out.push_back(shown());
    Grid->Columns()->Items(0)->Font()->SetStyle(TFontStyles{fsUnderline});
    out.push_back(frame());
    Grid->Columns()->Items(0)->Font()->SetStyle(TFontStyles{});
    Grid->SetBiDiMode(bdRightToLeft);
    out.push_back(frame());
    Grid->SetBiDiMode(bdLeftToRight);
    return out;
  };
  rix::SetTextCachesEnabled(false);
  rix::SetPaintShortcutsEnabled(false);
  const auto plain = frames();
  rix::SetTextCachesEnabled(true);
  rix::SetPaintShortcutsEnabled(true);
  const auto cached = frames();
  EXPECT_GT(rix::TextCacheEntries(), 0u);
  ASSERT_EQ(plain.size(), cached.size());
  for (size_t i = 0; i < plain.size(); ++i) EXPECT_TRUE(plain[i] == cached[i]) << "frame " << i;
  EXPECT_FALSE(plain[0] == plain[2]) << "scrolling shows other records";
}

} // namespace
