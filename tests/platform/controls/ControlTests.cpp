#include "TestGrid.h"

namespace {
class Recorder : public TTestBox {
public:
  using TTestBox::TTestBox;
  std::vector<unsigned> Notes;
  void WndProc(TMessage& M) override {
    if (M.Msg >= CM_BASE || M.Msg == WM_SETFOCUS || M.Msg == WM_KILLFOCUS) Notes.push_back(M.Msg);
    TTestBox::WndProc(M);
  }
};
} // namespace

TEST(Controls, HandlesComeAndGoWithTheParentsWindow) {
  auto* form = new TForm(nullptr);
  auto* box = new TTestBox(form);
  box->SetParent(form);
  EXPECT_FALSE(box->HandleAllocated());
  HWND h = box->Handle(); // creates the form's window first
  EXPECT_TRUE(form->HandleAllocated());
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(FindControl(h), box);
  EXPECT_EQ(FindControl(form->Handle()), form);
  box->RecreateWnd();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_TRUE(IsWindow(box->WindowHandle()));
  HWND fh = form->Handle(), bh = box->Handle();
  delete form; // takes its child along
  EXPECT_FALSE(IsWindow(fh));
  EXPECT_FALSE(IsWindow(bh));
  EXPECT_EQ(FindControl(bh), nullptr);
}

TEST(Controls, PostedMessagesReachTheControl) {
  ClearMessageQueue();
  auto* form = new TForm(nullptr);
  auto* box = new Recorder(form);
  box->SetParent(form);
  PostMessage(box->Handle(), CM_BASE + 500, 1, 2);
  EXPECT_TRUE(box->Notes.empty());
  ProcessMessages();
  ASSERT_FALSE(box->Notes.empty());
  EXPECT_EQ(box->Notes.back(), CM_BASE + 500);
  HWND h = box->Handle();
  PostMessage(h, CM_BASE + 501);
  delete form; // a message for a gone window is dropped
  EXPECT_EQ(QueuedMessageCount(), 0);
}

TEST(Controls, FocusMovesWithKillAndSetFocusAndTheFormKeepsItsActiveControl) {
  auto* form = new TForm(nullptr);
  auto* a = new Recorder(form);
  auto* b = new Recorder(form);
  a->SetParent(form);
  b->SetParent(form);
  form->HandleNeeded();
  a->SetFocus();
  EXPECT_TRUE(a->Focused());
  EXPECT_EQ(form->ActiveControl(), a);
  a->Notes.clear();
  b->SetFocus();
  EXPECT_TRUE(b->Focused());
  EXPECT_FALSE(a->Focused());
  EXPECT_EQ(form->ActiveControl(), b);
  EXPECT_EQ(a->Notes, (std::vector<unsigned>{WM_KILLFOCUS, CM_EXIT}));
  a->SetEnabled(false);
  EXPECT_FALSE(a->CanFocus());
  EXPECT_THROW(form->SetActiveControl(a), EInvalidOperation);
  EXPECT_EQ(form->ActiveControl(), b);
  delete form;
}

TEST(Controls, ValidParentFormRaisesForAControlOffAForm) {
  TTestBox loose(nullptr);
  loose.SetName("Loose");
  EXPECT_EQ(GetParentForm(&loose), nullptr);
  EXPECT_THROW(ValidParentForm(&loose), EInvalidOperation);
  EXPECT_FALSE(loose.CanFocus());
  EXPECT_THROW(loose.SetFocus(), EInvalidOperation);
  TForm form(nullptr);
  loose.SetParent(&form);
  EXPECT_EQ(ValidParentForm(&loose), &form);
  loose.SetParent(nullptr);
}

TEST(Controls, ColourAndBiDiChangesNotifyAndReachParentedChildren) {
  auto* form = new TForm(nullptr);
  auto* child = new Recorder(form);
  child->SetParent(form);
  child->SetParentColor(true);
  child->Notes.clear();
  form->SetColor(clRed);
  EXPECT_EQ(child->Color(), clRed);
  EXPECT_EQ(child->Notes, (std::vector<unsigned>{CM_PARENTCOLORCHANGED, CM_COLORCHANGED}));
  child->SetColor(clBlue);
  EXPECT_FALSE(child->ParentColor());
  form->SetColor(clGreen);
  EXPECT_EQ(child->Color(), clBlue);
  child->Notes.clear();
  form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(child->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(child->UseRightToLeftAlignment());
  EXPECT_EQ(child->Notes, (std::vector<unsigned>{CM_PARENTBIDIMODECHANGED, CM_BIDIMODECHANGED}));
  child->Notes.clear();
  child->SetEnabled(false);
  child->FontChanged();
  EXPECT_EQ(child->Notes, (std::vector<unsigned>{CM_ENABLEDCHANGED, CM_FONTCHANGED}));
  delete form;
}

TEST(Controls, InvalidRegionGrowsAndShrinks) {
  TTestBox box(nullptr);
  box.SetBounds(0, 0, 100, 100);
  box.ValidateAll();
  box.InvalidateRect(Rect(10, 10, 20, 20));
  box.InvalidateRect(Rect(12, 12, 18, 18)); // already covered
  EXPECT_EQ(box.InvalidRegion().size(), 1u);
  box.InvalidateRect(Rect(0, 0, 50, 50)); // covers the first
  EXPECT_EQ(box.InvalidRegion().size(), 1u);
  box.ValidateRect(Rect(0, 0, 50, 25));
  EXPECT_EQ(box.InvalidBounds(), Rect(0, 25, 50, 50));
  box.InvalidateRect(Rect(200, 200, 300, 300)); // outside the client area
  EXPECT_EQ(box.InvalidBounds(), Rect(0, 25, 50, 50));
  box.ValidateAll();
  EXPECT_FALSE(box.IsInvalid());
}

TEST(Controls, ImeModeIsAppliedOnFocusAndResetOnLeaving) {
  auto* form = new TForm(nullptr);
  auto* a = new TTestBox(form);
  auto* b = new TTestBox(form);
  a->SetParent(form);
  b->SetParent(form);
  a->SetImeMode(imHira);
  a->SetImeName("Japanese IME");
  form->HandleNeeded();
  a->SetFocus();
  EXPECT_EQ(GetImeModeOf(a->Handle()), imHira);
  EXPECT_EQ(ActiveImeName(), "Japanese IME");
  b->SetFocus();
  EXPECT_EQ(GetImeModeOf(a->Handle()), imDontCare);
  delete form;
}

TEST(Controls, MouseCaptureFollowsTheLeftButton) {
  auto* form = new TForm(nullptr);
  auto* box = new TTestBox(form);
  box->SetParent(form);
  box->SetBounds(10, 10, 50, 50);
  int clicks = 0;
  box->SetOnClick([&](TObject*) { ++clicks; });
  SendMessage(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(5, 5));
  EXPECT_TRUE(box->MouseCapture());
  SendMessage(box->Handle(), WM_LBUTTONUP, 0, MakeLParam(5, 5));
  EXPECT_FALSE(box->MouseCapture());
  EXPECT_EQ(clicks, 1);
  box->SetCursor(crHandPoint);
  SendMessage(box->Handle(), WM_SETCURSOR, box->Handle(), MakeLParam(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(ScreenCursor(), crHandPoint);
  delete form;
}
