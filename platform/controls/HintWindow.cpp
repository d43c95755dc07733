#include "platform/controls/HintWindow.h"

#include "platform/controls/TextMeasure.h"
#include "platform/graphics/Canvas.h"

#include <algorithm>

namespace {
constexpr int HintMargin = 3;
}

std::string GetShortHint(const std::string& Hint) { return Hint.substr(0, Hint.find('|')); }

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(false);
  SetColor(clInfoBk);
  SetVisible(false);
}

void THintWindow::ActivateHint(TWinControl* Form, TPoint P, const std::string& Text) {
  FText = Text;
  // The last child paints last, on top of the others.
  if (Parent() != Form || Form->Controls(Form->ControlCount() - 1) != this) {
    SetParent(nullptr);
    SetParent(Form);
  }
  const int w = rix::FontTextWidth(Font(), Text) + 2 * HintMargin + 2;
  const int h = rix::FontLineHeight(Font()) + 2 * HintMargin;
  const int x = std::max(0, std::min(P.X, Form->ClientWidth() - w));
  const int y = std::max(0, std::min(P.Y, Form->ClientHeight() - h));
  SetBounds(x, y, w, h);
  SetVisible(true);
  if (Form->HandleAllocated()) HandleNeeded();
  Invalidate();
}

void THintWindow::Paint() {
  TCanvas* c = Canvas();
  if (c == nullptr) return;
  c->SetFont(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(ClientRect());
  c->Brush()->SetColor(clWindowFrame);
  c->FrameRect(ClientRect());
  SetBkMode(c->Handle(), TRANSPARENT);
  c->Font()->SetColor(clInfoText);
  c->TextOut(HintMargin + 1, HintMargin, FText);
}
