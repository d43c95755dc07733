// The modal dialogs the SDL host draws: answers by keys and clicks, the text
// field, and the look.
#include "platform/graphics/Colors.h"
#include "platform/hosts/Hosts.h"

#include <cairo.h>
#include <gtest/gtest.h>

TEST(DialogModel, EnterAnswersWithTheFocusedButtonAndTabMovesTheFocus) {
  auto buttons = TDialogModel::ButtonsFor({mbYes, mbNo, mbCancel});
  ASSERT_EQ(buttons.size(), 3u);
  EXPECT_EQ(buttons[0].Caption, "はい(&Y)");
  TDialogModel m("確認", "削除しますか?", buttons, TDialogModel::CancelResultOf(buttons));
  EXPECT_EQ(m.FocusedButton(), 0);
  EXPECT_FALSE(m.Key(VK_TAB, {}));
  EXPECT_FALSE(m.Key(VK_RIGHT, {}));
  EXPECT_EQ(m.FocusedButton(), 2);
  EXPECT_FALSE(m.Key(VK_TAB, {ssShift}));
  EXPECT_TRUE(m.Key(VK_RETURN, {}));
  EXPECT_EQ(m.Result(), mrNo);
}

TEST(DialogModel, EscapeAnswersWithCancelElseNo) {
  auto yesNo = TDialogModel::ButtonsForFlags(MB_YESNO);
  TDialogModel m("", "?", yesNo, TDialogModel::CancelResultOf(yesNo));
  EXPECT_TRUE(m.Key(VK_ESCAPE, {}));
  EXPECT_EQ(m.Result(), IDNO);
  auto okCancel = TDialogModel::ButtonsForFlags(MB_OKCANCEL);
  EXPECT_EQ(TDialogModel::CancelResultOf(okCancel), IDCANCEL);
}

TEST(DialogModel, AClickOnAButtonAnswersAndElsewhereDoesNot) {
  auto buttons = TDialogModel::ButtonsFor({mbOK, mbCancel});
  TDialogModel m("", "メッセージ", buttons, mrCancel);
  EXPECT_FALSE(m.Click({1, 1}));
  TRect cancel = m.ButtonRect(1);
  EXPECT_TRUE(m.Click({cancel.Left + 3, cancel.Top + 3}));
  EXPECT_EQ(m.Result(), mrCancel);
}

TEST(DialogModel, TheTextFieldTakesCharactersAndBackspace) {
  TDialogModel m("開く", "ファイル名:", {{"OK", mrOk}, {"キャンセル", mrCancel}}, mrCancel, true, "a.png");
  m.Char(8);
  m.Char(8);
  m.Char(8);
  for (char32_t c : std::u32string(U"bmp画像")) m.Char(c);
  EXPECT_EQ(m.Text(), "a.bmp画像");
  EXPECT_TRUE(m.Key(VK_RETURN, {}));
  EXPECT_EQ(m.Result(), mrOk);
}

TEST(DialogModel, PaintsButtonsOnAButtonFaceBackground) {
  auto buttons = TDialogModel::ButtonsFor({mbYes, mbNo});
  TDialogModel m("", "上書きしますか?", buttons, mrNo);
  TSize s = m.Size();
  ASSERT_GT(s.cx, 2 * 75);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.cx, s.cy);
  {
    TCanvas c(surface);
    m.Paint(c);
    EXPECT_EQ(c.Pixels(1, 1), ColorToRGB(clBtnFace));
    TRect b = m.ButtonRect(0);
    EXPECT_NE(c.Pixels(b.Left, b.Top), ColorToRGB(clBtnFace)); // the raised edge
  }
  cairo_surface_destroy(surface);
}

TEST(DialogModel, AFileNameDialogsButtonCaptionsSitOnTheButtonFace) {
  TDialogModel m("名前を付けて保存", "ファイル名:", {{"OK", mrOk}, {"キャンセル", mrCancel}}, mrCancel, true, "a.png");
  TSize s = m.Size();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, s.cx, s.cy);
  {
    TCanvas c(surface);
    m.Paint(c);
    // Inside each button (edges and focus frame aside) the face colour
    // outweighs the caption's strokes.
    for (int i = 0; i < 2; ++i) {
      TRect b = m.ButtonRect(i);
      int face = 0, all = 0;
      for (int y = b.Top + 5; y < b.Bottom - 5; ++y)
        for (int x = b.Left + 5; x < b.Right - 5; ++x, ++all) face += c.Pixels(x, y) == ColorToRGB(clBtnFace);
      EXPECT_GT(face * 2, all) << i;
    }
  }
  cairo_surface_destroy(surface);
}
