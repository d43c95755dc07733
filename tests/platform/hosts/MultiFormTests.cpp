// Two top-level forms, each on its own headless host: a control's paint
// goes to its own form's surface; aligned children and a splitter dragged
// by the mouse.
#include "platform/controls/Controls.h"
#include "platform/hosts/Hosts.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TColourBox : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Paints = 0;

protected:
  void Paint() override { ++Paints; }
};

TEST(MultiForm, EachFormPaintsOnItsOwnHost) {
  auto a = std::make_unique<TForm>(nullptr);
  auto b = std::make_unique<TForm>(nullptr);
  auto* boxA = new TColourBox(a.get());
  boxA->SetParent(a.get());
  boxA->SetBounds(0, 0, 40, 40);
  boxA->SetParentColor(false);
  boxA->SetColor(clRed);
  auto* boxB = new TColourBox(b.get());
  boxB->SetParent(b.get());
  boxB->SetBounds(0, 0, 40, 40);
  boxB->SetParentColor(false);
  boxB->SetColor(clBlue);
  THeadlessHost hostA(a.get(), 100, 80);
  THeadlessHost hostB(b.get(), 100, 80);
  hostA.Paint();
  hostB.Paint();
  EXPECT_EQ(hostA.Pixel(10, 10), clRed);
  EXPECT_EQ(hostB.Pixel(10, 10), clBlue);

  // Update on the first form's control paints that form, though the second
  // host was installed last.
  const int before = boxA->Paints;
  boxA->Invalidate();
  boxA->Update();
  EXPECT_EQ(boxA->Paints, before + 1);
  EXPECT_FALSE(boxA->IsInvalid());
}

TEST(MultiForm, AlignedChildrenAndASplitterDraggedByTheMouse) {
  auto form = std::make_unique<TForm>(nullptr);
  auto* top = new TPanel(form.get());
  top->SetHeight(60);
  top->SetAlign(alTop);
  top->SetParent(form.get());
  auto* splitter = new TSplitter(form.get());
  splitter->SetAlign(alTop);
  splitter->SetHeight(4);
  splitter->SetParent(form.get());
  auto* rest = new TPanel(form.get());
  rest->SetAlign(alClient);
  rest->SetParent(form.get());
  THeadlessHost host(form.get(), 200, 200);
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 60));
  EXPECT_EQ(splitter->BoundsRect(), Rect(0, 60, 200, 64));
  EXPECT_EQ(rest->BoundsRect(), Rect(0, 64, 200, 200));
  EXPECT_EQ(splitter->FindControl(), top);

  host.Drag(host.PointOf(splitter, 10, 1), host.PointOf(splitter, 10, 31));
  EXPECT_EQ(top->Height(), 90);
  EXPECT_EQ(rest->BoundsRect(), Rect(0, 94, 200, 200));
  // Neither side goes below MinSize.
  host.Drag(host.PointOf(splitter, 10, 1), host.PointOf(splitter, 10, 300));
  EXPECT_EQ(rest->Height(), splitter->MinSize());
  host.SetSize(300, 250);
  EXPECT_EQ(rest->Width(), 300);
}

} // namespace
