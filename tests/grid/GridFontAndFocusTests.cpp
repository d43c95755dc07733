// The grid follows its form's font (cells, titles, editor), and a focus
// request for a field moves the current cell to that field's column.
#include "GridTestSupport.h"

#include <memory>

namespace {

using gridtest::GridFixture;
using FormFont = GridFixture;

TEST_F(FormFont, CellsTitlesAndTheEditorFollowTheFormsFont) {
  Customize({"ID", "Name"});
  auto host = std::make_unique<THeadlessHost>(Form, 640, 480);
  Grid->SetDataSource(Source);
  host->ProcessMessages();
  ASSERT_TRUE(Grid->ParentFont());
  Form->Font()->SetHeight(-21);
  EXPECT_EQ(Grid->Font()->Height(), -21);
  EXPECT_TRUE(Grid->ParentFont());
  EXPECT_EQ(Grid->TitleFont()->Height(), -21) << "the title font follows while the grid's font is the form's";
  TRixColumn* name = Grid->Columns()->Items(1);
  EXPECT_EQ(name->Font()->Height(), -21) << "a column's default font is the grid's";
  EXPECT_EQ(name->Title()->Font()->Height(), -21);
  // The editor is a child of the grid and writes with the grid's font.
  Grid->SetFocus();
  Grid->SetSelectedIndex(1);
  Grid->ShowEditor();
  ASSERT_NE(Grid->InplaceEditor(), nullptr);
  EXPECT_EQ(Grid->InplaceEditor()->Font()->Height(), -21);
  Form->Font()->SetName("IPAGothic");
  EXPECT_EQ(Grid->InplaceEditor()->Font()->Name(), "IPAGothic");
  EXPECT_EQ(name->Font()->Name(), "IPAGothic");
  // A column whose font was set keeps it.
  name->Font()->SetHeight(-30);
  Form->Font()->SetHeight(-12);
  EXPECT_EQ(name->Font()->Height(), -30);
  EXPECT_EQ(Grid->Columns()->Items(0)->Font()->Height(), -12);
}

TEST_F(FormFont, ATitleFontOfItsOwnStopsFollowing) {
  Grid->SetDataSource(Source);
  Grid->TitleFont()->SetHeight(-25);
  EXPECT_FALSE(Grid->ParentFont());
  Form->Font()->SetHeight(-18);
  EXPECT_EQ(Grid->TitleFont()->Height(), -25);
}

// The cells are painted with the font that follows the form: a bigger form
// font makes the text in a cell taller.
TEST_F(FormFont, PaintedTextGrowsWithTheFormsFont) {
  Customize({"Name"});
  auto host = std::make_unique<THeadlessHost>(Form, 640, 480);
  Grid->SetDataSource(Source);
  Grid->SetDataRowHeight(60);
  host->ProcessMessages();
  auto inkRows = [&] {
    host->Paint();
    const TRect r = Grid->CellRect(1, 2);
    int rows = 0;
    for (int y = r.Top; y < r.Bottom; ++y) {
      bool ink = false;
      for (int x = r.Left; x < r.Right && !ink; ++x) {
        TPoint p = host->PointOf(Grid, x, y);
        ink = host->Pixel(p.X, p.Y) == ColorToRGB(clBlack);
      }
      rows += ink ? 1 : 0;
    }
    return rows;
  };
  const int small = inkRows();
  Form->Font()->SetHeight(-30);
  Grid->Invalidate();
  const int big = inkRows();
  EXPECT_GT(small, 0);
  EXPECT_GT(big, small + 5);
}

using FocusRequest = GridFixture;

TEST_F(FocusRequest, AFieldInAnotherColumnBecomesTheCurrentCell) {
  auto host = std::make_unique<THeadlessHost>(Form, 640, 480);
  Grid->SetDataSource(Source);
  host->ProcessMessages();
  ASSERT_EQ(Grid->SelectedField()->FieldName(), "ID");
  TField* active = Data->FieldByName("Active");
  active->FocusControl();
  EXPECT_EQ(Grid->SelectedField(), active);
  EXPECT_EQ(Grid->Col(), Grid->DataToRawColumn(2));
  EXPECT_TRUE(Grid->Focused() || (Grid->InplaceEditor() != nullptr && Grid->InplaceEditor()->Focused()));
}

TEST_F(FocusRequest, AFieldNoColumnShowsLeavesTheRequestOpen) {
  Customize({"ID", "Name"});
  auto host = std::make_unique<THeadlessHost>(Form, 640, 480);
  Grid->SetDataSource(Source);
  host->ProcessMessages();
  Grid->SetSelectedIndex(1);
  TField* request = Data->FieldByName("Active");
  Data->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&request));
  EXPECT_EQ(request, Data->FieldByName("Active")) << "not served: another control may take it";
  EXPECT_EQ(Grid->SelectedIndex(), 1) << "the current cell stays";
  request = Data->FieldByName("ID");
  Data->DataEvent(deFocusControl, reinterpret_cast<std::intptr_t>(&request));
  EXPECT_EQ(request, nullptr) << "served";
  EXPECT_EQ(Grid->SelectedIndex(), 0);
}

} // namespace
