// The base grid driven through the headless host, as a user would.
#include "HostFixture.h"

#include "platform/controls/TextMeasure.h"
#include "platform/graphics/Colors.h"

#include <cairo.h>

#include <cstdio>
#include <set>

using Headless = HostFixture;

TEST_F(Headless, ArrowsPagesHomeEndAndTabMoveTheCurrentCellAndScroll) {
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->Row(), 1);
  Host->Key(VK_RIGHT);
  Host->Key(VK_DOWN);
  EXPECT_EQ(Grid->Col(), 2);
  EXPECT_EQ(Grid->Row(), 2);
  int page = Grid->VisibleRowCount();
  Host->Key(VK_NEXT);
  EXPECT_GE(Grid->Row(), 1 + page);
  EXPECT_GT(Grid->TopRow(), 1);
  Host->Key(VK_END);
  EXPECT_EQ(Grid->Col(), 19);
  EXPECT_GT(Grid->LeftCol(), 1);
  Host->Key(VK_HOME);
  EXPECT_EQ(Grid->Col(), 1);
  EXPECT_EQ(Grid->LeftCol(), 1);
  Host->Key(VK_END, {ssCtrl});
  EXPECT_EQ(Grid->Row(), 99);

  // Without goTabs, Tab leaves the grid (nowhere else to go here: it stays
  // focused but does not move); with it, Tab moves to the next column.
  Host->Key(VK_HOME);
  int col = Grid->Col();
  Host->Key(VK_TAB);
  EXPECT_EQ(Grid->Col(), col);
  Grid->SetOptions(Grid->Options() + goTabs);
  Host->Key(VK_TAB);
  EXPECT_EQ(Grid->Col(), col + 1);
  Host->Key(VK_TAB, {ssShift});
  EXPECT_EQ(Grid->Col(), col);
}

TEST_F(Headless, TypedAndComposedTextReachesSetEditTextAndEscapeRestoresIt) {
  Grid->SetCells(1, 1, "old");
  Host->Key('A'); // translated into the character 'a', which opens the editor
  Host->Key('B', {ssShift});
  ASSERT_NE(Ed(), nullptr);
  EXPECT_TRUE(Grid->EditorMode());
  EXPECT_EQ(Ed()->Text(), "aB");
  Host->ImeType("日本語");
  EXPECT_EQ(Ed()->Text(), "aB日本語");
  ASSERT_FALSE(Grid->EditTexts.empty());
  EXPECT_EQ(Grid->EditTexts.back().second, "aB日本語");
  EXPECT_EQ(Grid->EditTexts.back().first, std::make_pair(1, 1));
  Host->Key(VK_ESCAPE);
  EXPECT_EQ(Ed()->Text(), "old");
  EXPECT_EQ(Grid->Cells(1, 1), "old");

  Host->Type("new");
  Host->Key(VK_RETURN);
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_EQ(Grid->Cells(1, 1), "new");
}

TEST_F(Headless, DraggingAColumnBorderInTheTitleSizesTheColumn) {
  Grid->SetOptions(Grid->Options() + goColSizing);
  TRect title = Grid->CellRect(1, 0);
  TPoint border = Host->PointOf(Grid, title.Right, title.Top + 5);
  int before = Grid->ColWidthsChangedCount;
  Host->Drag(border, {border.X + 30, border.Y});
  EXPECT_EQ(Grid->ColWidths(1), Grid->DefaultColWidth() + 30);
  EXPECT_GT(Grid->ColWidthsChangedCount, before);
}

TEST_F(Headless, ClicksSelectCellsAndTheWheelScrolls) {
  Host->Click(CellCentre(3, 4));
  EXPECT_EQ(Grid->Col(), 3);
  EXPECT_EQ(Grid->Row(), 4);
  Host->Wheel(CellCentre(3, 4), -WHEEL_DELTA);
  EXPECT_EQ(Grid->Row(), 5);
  Host->Wheel(CellCentre(3, 4), WHEEL_DELTA);
  EXPECT_EQ(Grid->Row(), 4);
}

TEST_F(Headless, PaintingDrawsEveryVisibleCellOnceThenOnlyWhatWasInvalidated) {
  Host->Paint();
  std::set<std::pair<int, int>> seen;
  for (const auto& d : Grid->Drawn) EXPECT_TRUE(seen.insert({d.Col, d.Row}).second) << d.Col << "," << d.Row;
  int cols = Grid->VisibleColCount() + 1, rows = Grid->VisibleRowCount() + 1;
  // Whole and partly visible cells, the fixed ones included.
  EXPECT_GE(seen.size(), static_cast<size_t>(cols * rows));
  EXPECT_TRUE(seen.count({0, 0}));
  EXPECT_FALSE(seen.count({19, 99}));
  for (const auto& d : Grid->Drawn) {
    if (d.Col == 1 && d.Row == 1) {
      EXPECT_TRUE(d.State.Contains(gdFocused) && d.State.Contains(gdSelected));
    } else if (d.Col == 0 || d.Row == 0) {
      EXPECT_TRUE(d.State.Contains(gdFixed));
    }
  }

  Host->Painter().TakeDirty();
  Grid->Drawn.clear();
  Grid->SetCells(3, 3, "x");
  Host->Paint();
  ASSERT_EQ(Grid->Drawn.size(), 1u);
  EXPECT_EQ(Grid->Drawn[0].Col, 3);
  std::vector<TRect> dirty = Host->Painter().TakeDirty();
  TRect cell = Grid->CellRect(3, 3);
  TPoint o = Host->PointOf(Grid, 0, 0);
  // Inside the client area only the cell (the frame around it repaints too).
  TRect client = Grid->ClientRect();
  OffsetRect(client, o.X, o.Y);
  OffsetRect(cell, o.X, o.Y);
  TRect bounds;
  for (TRect r : dirty)
    if (IntersectRect(r, r, client)) UnionRect(bounds, bounds, r);
  TRect withLines = cell;
  withLines.Right += Grid->GridLineWidth();
  withLines.Bottom += Grid->GridLineWidth();
  EXPECT_EQ(bounds, withLines);

  // A host that never takes them keeps a bounded list that still covers
  // every change.
  for (int i = 0; i < 500; ++i) {
    Grid->SetCells(1 + i % 5, 1 + i % 7, std::to_string(i));
    Host->Paint();
  }
  dirty = Host->Painter().TakeDirty();
  EXPECT_LE(dirty.size(), TSurfacePainter::MaxDirty);
  TRect all;
  for (const TRect& r : dirty) UnionRect(all, all, r);
  TRect first = Grid->CellRect(1, 1), last = Grid->CellRect(5, 7);
  OffsetRect(first, o.X, o.Y);
  OffsetRect(last, o.X, o.Y);
  TRect both;
  UnionRect(both, first, last);
  TRect inside;
  IntersectRect(inside, all, both);
  EXPECT_EQ(inside, both);
}

TEST_F(Headless, DefaultDrawingPaintsFixedCellsLinesAndTheEmptyArea) {
  Grid->SetColCount(3);
  Grid->SetColor(clAqua);
  auto at = [&](int X, int Y) {
    TPoint p = Host->PointOf(Grid, X, Y);
    return Host->Pixel(p.X, p.Y);
  };
  TRect fixed = Grid->CellRect(0, 0), cell = Grid->CellRect(1, 2);
  EXPECT_EQ(at(fixed.Left + 10, fixed.Top + 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(at(cell.Left + 10, cell.Top + 10), ColorToRGB(clAqua));
  EXPECT_EQ(at(cell.Right, cell.Top + 10), ColorToRGB(clSilver)); // the line after the cell
  EXPECT_EQ(at(fixed.Right, fixed.Top + 10), ColorToRGB(clBlack)); // fixed cells: black lines
  TRect last = Grid->CellRect(2, 2);
  EXPECT_EQ(at(last.Right + 20, last.Top + 5), ColorToRGB(clAqua)); // no cells: the grid's colour
  // Switched off, the grid leaves every pixel of the cell to DrawCell.
  Grid->SetDefaultDrawing(false);
  Grid->Invalidate();
  EXPECT_NE(at(fixed.Left + 10, fixed.Top + 10), ColorToRGB(clBtnFace));
}

TEST_F(Headless, TheEditorShowsItsTextSelectionAndCaret) {
  auto inkIn = [&](const TRect& R) {
    int n = 0;
    TPoint o = Host->PointOf(Ed(), 0, 0);
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x)
        if (Host->Pixel(o.X + x, o.Y + y) != ColorToRGB(Ed()->Color())) ++n;
    return n;
  };
  Host->Key(VK_F2);
  ASSERT_NE(Ed(), nullptr);
  TRect r = Ed()->EditRect();
  int caretOnly = inkIn(r);
  EXPECT_GT(caretOnly, 0); // the caret
  Host->Type("Wide");
  EXPECT_GT(inkIn(r), caretOnly + 20);
  Host->Key(VK_HOME, {ssShift}); // selects the text back to the start
  EXPECT_EQ(Ed()->SelLength(), 4);
  TPoint o = Host->PointOf(Ed(), r.Left + 2, r.Top + 2);
  EXPECT_EQ(Host->Pixel(o.X, o.Y), ColorToRGB(clHighlight));
}

TEST_F(Headless, AClickInTheEditorPutsTheCaretNearestTheMouse) {
  Grid->SetCells(1, 1, "abcdef");
  Host->Key(VK_F2);
  ASSERT_NE(Ed(), nullptr);
  int x = Ed()->EditRect().Left + 1 + rix::FontTextWidth(Ed()->Font(), "abc") + 1;
  Host->Click(Host->PointOf(Ed(), x, 5));
  EXPECT_EQ(Ed()->CaretPos(), 3);
  EXPECT_EQ(Ed()->SelLength(), 0);
  // A drag selects.
  int x2 = Ed()->EditRect().Left + 1 + rix::FontTextWidth(Ed()->Font(), "abcde");
  Host->Drag(Host->PointOf(Ed(), x, 5), Host->PointOf(Ed(), x2, 5));
  EXPECT_EQ(Ed()->SelText(), "de");
}

// A value of megabytes: the editor measures and draws only the stretch
// around the caret, so it opens, moves and types as a short one does, and
// shows exactly what an editor holding only the value's end shows.
TEST_F(Headless, TheEditorOfAValueOfMegabytesShowsWhatItsEndShows) {
  std::string tail;
  for (int i = 0; i < 150; ++i) tail += "word" + std::to_string(i) + " ";
  const std::string huge = std::string(4 << 20, 'a') + tail;
  auto editorPixels = [&] {
    std::vector<TColor> px;
    TRect r = Ed()->EditRect();
    TPoint o = Host->PointOf(Ed(), 0, 0);
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x) px.push_back(Host->Pixel(o.X + x, o.Y + y));
    return px;
  };
  Grid->SetCells(1, 1, tail);
  Host->Key(VK_F2); // the caret at the end
  ASSERT_NE(Ed(), nullptr);
  const auto expected = editorPixels();
  Host->Key(VK_ESCAPE);
  Host->Key(VK_DOWN);
  Grid->SetCells(1, 2, huge);
  Host->Key(VK_F2);
  ASSERT_EQ(Ed()->TextLength(), static_cast<int>(huge.size()));
  EXPECT_EQ(editorPixels(), expected);

  Host->Key(VK_HOME);
  EXPECT_EQ(Ed()->CaretPos(), 0);
  Host->Key(VK_END);
  Host->Type("!");
  EXPECT_EQ(Grid->EditTexts.back().second, huge + "!");
  // A click near the left edge lands on a character of the stretch that
  // shows, not on one of the megabytes scrolled away.
  Host->Click(Host->PointOf(Ed(), Ed()->EditRect().Left + 2, 5));
  EXPECT_GT(Ed()->CaretPos(), static_cast<int>(huge.size()) - 1000);
  EXPECT_LT(Ed()->CaretPos(), static_cast<int>(huge.size()));
  const int at = Ed()->CaretPos();
  Host->Key(VK_HOME, {ssShift});
  EXPECT_EQ(Ed()->SelLength(), at);
  TPoint o = Host->PointOf(Ed(), Ed()->EditRect().Left + 2, Ed()->EditRect().Top + 2);
  EXPECT_EQ(Host->Pixel(o.X, o.Y), ColorToRGB(clHighlight));
}

TEST_F(Headless, APickListDropsDownUnderTheEditorAndAClickChooses) {
  Grid->PickItems = {"Apple", "Banana", "A much longer choice than the cell"};
  Host->Key(VK_F2);
  auto* ed = dynamic_cast<TInplaceEditList*>(Ed());
  ASSERT_NE(ed, nullptr);
  TRect b = ed->ButtonRect();
  Host->Click(Host->PointOf(ed, (b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2));
  ASSERT_TRUE(ed->ListVisible());
  TPopupListbox* list = ed->PickList();
  EXPECT_EQ(list->ItemHeight(), rix::FontLineHeight(list->Font()));
  EXPECT_GT(list->Width(), ed->Width()); // wide enough for the longest item
  Host->Paint();
  TPoint second = Host->PointOf(list, 10, list->ItemHeight() + list->ItemHeight() / 2);
  EXPECT_EQ(Host->Painter().WindowAt(second), list);
  Host->Click(second);
  EXPECT_FALSE(ed->ListVisible());
  EXPECT_EQ(ed->Text(), "Banana");
  EXPECT_EQ(Grid->EditTexts.back().second, "Banana");
}

TEST_F(Headless, FontsFollowTheParentAndSizeTheScrollStep) {
  TFont f;
  f.SetSize(20);
  Form->SetFont(&f);
  EXPECT_EQ(Grid->Font()->Size(), 20); // ParentFont
  EXPECT_TRUE(Grid->ParentFont());
  Grid->Font()->SetSize(9);
  EXPECT_FALSE(Grid->ParentFont());
  EXPECT_EQ(Form->Font()->Size(), 20);
  EXPECT_EQ(Grid->PixelScrollStep(), rix::FontTextWidth(Grid->Font(), "0"));
  Host->Key(VK_F2);
  ASSERT_NE(Ed(), nullptr);
  EXPECT_EQ(Ed()->Font()->Size(), 9);
  Grid->Font()->SetSize(14);
  EXPECT_EQ(Ed()->Font()->Size(), 14);
  Grid->SetParentFont(true);
  EXPECT_EQ(Grid->Font()->Size(), 20);
}

TEST_F(Headless, TheFormRendersToAPng) {
  Grid->SetCells(1, 1, "日本語");
  std::string file = ::testing::TempDir() + "headless_form.png";
  Host->SaveToPNG(file);
  cairo_surface_t* s = cairo_image_surface_create_from_png(file.c_str());
  ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(s), 640);
  EXPECT_EQ(cairo_image_surface_get_height(s), 480);
  cairo_surface_destroy(s);
  std::remove(file.c_str());
  EXPECT_THROW(Host->SaveToPNG("/nonexistent-dir/x.png"), EFCreateError);
}

TEST_F(Headless, ResizingTheFormResizesTheSurfaceAndRepaintsAll) {
  Host->SetSize(320, 200);
  EXPECT_EQ(Host->Painter().Width(), 320);
  Grid->Drawn.clear();
  Host->Paint();
  EXPECT_FALSE(Grid->Drawn.empty());
  EXPECT_THROW(Host->SetSize(0, 10), EInvalidOperation);
}

TEST_F(Headless, AnInputMethodCompositionShowsInTheEditorButReachesTheGridOnlyWhenCommitted) {
  Host->Key(VK_F2);
  ASSERT_NE(Ed(), nullptr);
  size_t edits = Grid->EditTexts.size();
  TRect r = Ed()->EditRect();
  TPoint o = Host->PointOf(Ed(), 0, 0);
  auto ink = [&] {
    int n = 0;
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (Host->Pixel(o.X + x, o.Y + y) != ColorToRGB(Ed()->Color())) ++n;
    return n;
  };
  int before = ink();
  Host->ImeCompose("にほん");
  EXPECT_EQ(CompositionString(Ed()->WindowHandle()), "にほん");
  EXPECT_GT(ink(), before + 20);
  EXPECT_EQ(Grid->EditTexts.size(), edits);
  EXPECT_EQ(Ed()->Text(), "");
  Host->ImeType("日本");
  EXPECT_EQ(CompositionString(Ed()->WindowHandle()), "");
  EXPECT_EQ(Ed()->Text(), "日本");
  EXPECT_EQ(Grid->EditTexts.back().second, "日本");
}

TEST_F(Headless, PressingTheScrollBarsArrowsAndTrackScrolls) {
  auto parts = Grid->ScrollBarParts(SB_VERT);
  ASSERT_FALSE(IsRectEmpty(parts.Bar));
  TPoint origin = Host->PointOf(Grid, 0, 0);
  TPoint gridTopLeft{origin.X - Grid->ClientOrigin().X, origin.Y - Grid->ClientOrigin().Y};
  auto at = [&](const TRect& R) { return TPoint{gridTopLeft.X + (R.Left + R.Right) / 2, gridTopLeft.Y + (R.Top + R.Bottom) / 2}; };
  Host->Click(at(parts.Last));
  EXPECT_EQ(Grid->TopRow(), 2);
  Host->Click(at(parts.First));
  EXPECT_EQ(Grid->TopRow(), 1);
  TRect below = Rect(parts.Bar.Left, parts.Thumb.Bottom + 2, parts.Bar.Right, parts.Last.Top - 2);
  Host->Click(at(below));
  EXPECT_GT(Grid->TopRow(), 5); // a page
  auto horz = Grid->ScrollBarParts(SB_HORZ);
  Host->Click(at(horz.Last));
  EXPECT_EQ(Grid->LeftCol(), 2);
}
