#include "platform/core/Messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Window {
  std::vector<TMessage> Got;
  HWND Handle = AllocateWindowHandle([this](TMessage& M) {
    Got.push_back(M);
    return static_cast<LRESULT>(M.Msg + 1);
  });
  ~Window() { DeallocateWindowHandle(Handle); }
};

class MessageQueue : public ::testing::Test {
protected:
  void SetUp() override { ClearMessageQueue(); }
  void TearDown() override { ClearMessageQueue(); }
};
} // namespace

TEST_F(MessageQueue, PeekFindsPostsInOrderAndRemovesOnlyWhenAsked) {
  Window w;
  ASSERT_TRUE(PostMessage(w.Handle, WM_USER + 1, 10, 20));
  ASSERT_TRUE(PostMessage(w.Handle, WM_USER + 2, 30, 40));
  TMsg m;
  ASSERT_TRUE(PeekMessage(m, w.Handle, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.Message, WM_USER + 1u);
  EXPECT_EQ(m.WParam, 10u);
  EXPECT_EQ(m.LParam, 20);
  EXPECT_EQ(QueuedMessageCount(), 2);
  // A filter skips the first one.
  ASSERT_TRUE(PeekMessage(m, w.Handle, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  EXPECT_EQ(m.Message, WM_USER + 2u);
  EXPECT_EQ(QueuedMessageCount(), 1);
  EXPECT_FALSE(PeekMessage(m, w.Handle, WM_USER + 2, WM_USER + 2, PM_REMOVE));
  ASSERT_TRUE(PeekMessage(m, 0, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.Message, WM_USER + 1u);
  EXPECT_FALSE(PeekMessage(m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_TRUE(w.Got.empty()); // peeking dispatches nothing
}

TEST_F(MessageQueue, PeekByWindowLeavesOtherWindowsMessages) {
  Window a, b;
  PostMessage(a.Handle, WM_USER + 100);
  PostMessage(b.Handle, WM_USER + 100);
  TMsg m;
  ASSERT_TRUE(PeekMessage(m, b.Handle, WM_USER + 100, WM_USER + 100, PM_REMOVE));
  EXPECT_EQ(m.Hwnd, b.Handle);
  EXPECT_FALSE(PeekMessage(m, b.Handle, WM_USER + 100, WM_USER + 100, PM_NOREMOVE));
  EXPECT_TRUE(PeekMessage(m, a.Handle, WM_USER + 100, WM_USER + 100, PM_NOREMOVE));
}

TEST_F(MessageQueue, QuitCarriesItsExitCodeAndComesAfterOtherMessages) {
  Window w;
  PostQuitMessage(3);
  PostMessage(w.Handle, WM_USER + 7);
  TMsg m;
  // Even a filter for another message gets WM_QUIT, but only once the queue has nothing else.
  ASSERT_TRUE(PeekMessage(m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.Message, WM_USER + 7u);
  int code = -1;
  EXPECT_FALSE(ProcessMessages(&code));
  EXPECT_EQ(code, 3);
  ASSERT_EQ(w.Got.size(), 1u);
  EXPECT_EQ(w.Got[0].Msg, WM_USER + 7u);
  ASSERT_TRUE(PeekMessage(m, w.Handle, WM_USER + 100, WM_USER + 100, PM_REMOVE));
  EXPECT_EQ(m.Message, WM_QUIT);
  EXPECT_EQ(m.WParam, 3u);
  // Removing one the way the grid's KillMessage does puts the request back.
  PostQuitMessage(static_cast<int>(m.WParam));
  EXPECT_TRUE(PeekMessage(m, 0, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.Message, WM_QUIT);
}

TEST_F(MessageQueue, DispatchReachesTheWindowAndStaleHandlesAreRefused) {
  HWND stale;
  {
    Window w;
    EXPECT_EQ(SendMessage(w.Handle, WM_USER, 1, 2), static_cast<LRESULT>(WM_USER + 1));
    PostMessage(w.Handle, WM_USER + 1);
    ProcessMessages();
    EXPECT_EQ(w.Got.size(), 2u);
    stale = w.Handle;
    PostMessage(w.Handle, WM_USER + 2);
  }
  EXPECT_EQ(QueuedMessageCount(), 0);
  EXPECT_FALSE(IsWindow(stale));
  EXPECT_FALSE(PostMessage(stale, WM_USER));
  EXPECT_EQ(SendMessage(stale, WM_USER), 0);
  Window fresh;
  EXPECT_NE(fresh.Handle, stale);
}

TEST_F(MessageQueue, FocusChangeSendsKillThenSet) {
  std::vector<std::pair<HWND, unsigned>> log;
  HWND a = 0, b = 0;
  a = AllocateWindowHandle([&](TMessage& M) { log.push_back({a, M.Msg}); return LRESULT(0); });
  b = AllocateWindowHandle([&](TMessage& M) { log.push_back({b, M.Msg}); return LRESULT(0); });
  SetFocusWindow(a);
  log.clear();
  EXPECT_EQ(SetFocusWindow(b), a);
  EXPECT_EQ(GetFocus(), b);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], std::make_pair(a, WM_KILLFOCUS));
  EXPECT_EQ(log[1], std::make_pair(b, WM_SETFOCUS));
  DeallocateWindowHandle(b);
  EXPECT_EQ(GetFocus(), 0u);
  DeallocateWindowHandle(a);
}

TEST_F(MessageQueue, TimersTickOnlyWhileSet) {
  Window w;
  SetTimer(w.Handle, 1, 60);
  TickTimers();
  KillTimer(w.Handle, 1);
  TickTimers();
  ASSERT_EQ(w.Got.size(), 1u);
  EXPECT_EQ(w.Got[0].Msg, WM_TIMER);
  EXPECT_EQ(w.Got[0].WParam, 1u);
}

TEST(MessageHelpers, PointsAndShiftStates) {
  LPARAM p = MakeLParam(-5, 300);
  EXPECT_EQ(SignedLoWord(static_cast<std::uintptr_t>(p)), -5);
  EXPECT_EQ(SignedHiWord(static_cast<std::uintptr_t>(p)), 300);
  EXPECT_EQ(KeysToShiftState(MK_SHIFT | MK_LBUTTON), (TShiftState{ssShift, ssLeft}));
  EXPECT_EQ(KeyDataToShiftState(KF_ALTDOWN_LPARAM), TShiftState{ssAlt});
  SetKeyState(VK_CONTROL, true);
  EXPECT_EQ(KeyDataToShiftState(0), TShiftState{ssCtrl});
  EXPECT_LT(GetKeyState(VK_CONTROL), 0);
  SetKeyState(VK_CONTROL, false);
}
