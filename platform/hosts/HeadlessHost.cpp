#include "platform/hosts/HeadlessHost.h"

#include <algorithm>

namespace {
std::unique_ptr<TSurfacePainter> MakePainter(TCustomForm* Form, int Width, int Height) {
  if (Form == nullptr) throw EInvalidOperation("A host needs a form");
  if (Width <= 0 || Height <= 0)
    throw EInvalidOperation("Invalid form size " + std::to_string(Width) + "x" + std::to_string(Height));
  Form->SetBounds(0, 0, Width, Height);
  Form->HandleNeeded();
  return std::make_unique<TSurfacePainter>(Form);
}

unsigned ButtonMessage(TMouseButton Button, bool Down) {
  switch (Button) {
  case mbRight: return Down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  case mbMiddle: return Down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  default: return Down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

TShiftState ButtonState(TMouseButton Button) {
  switch (Button) {
  case mbRight: return {ssRight};
  case mbMiddle: return {ssMiddle};
  default: return {ssLeft};
  }
}
} // namespace

THeadlessHost::THeadlessHost(TCustomForm* Form, int Width, int Height)
    : FForm(Form), FPainter(MakePainter(Form, Width, Height)), FInput(*FPainter) {
  ProcessMessages();
}

THeadlessHost::~THeadlessHost() = default;

void THeadlessHost::SetSize(int Width, int Height) {
  if (Width <= 0 || Height <= 0)
    throw EInvalidOperation("Invalid form size " + std::to_string(Width) + "x" + std::to_string(Height));
  FForm->SetBounds(FForm->Left(), FForm->Top(), Width, Height);
  FPainter->SurfaceResized();
  ProcessMessages();
}

void THeadlessHost::Key(unsigned short Vk, TShiftState Shift) {
  FInput.KeyDown(Vk, Shift);
  FInput.KeyUp(Vk, Shift);
}

void THeadlessHost::ImeType(const std::string& Utf8) {
  if (!FComposing) FInput.ImeStartComposition();
  FComposing = false;
  FInput.ImeCommit(Utf8);
}

void THeadlessHost::ImeCompose(const std::string& Utf8) {
  if (!FComposing) FInput.ImeStartComposition();
  FComposing = true;
  FInput.ImeCompose(Utf8);
}

TPoint THeadlessHost::PointOf(TControl* Control, int X, int Y) const {
  TPoint s = Control->ClientToScreen({X, Y});
  TPoint f = FForm->ClientToScreen({0, 0});
  return {s.X - f.X, s.Y - f.Y};
}

void THeadlessHost::MouseDown(TPoint P, TMouseButton Button, TShiftState Shift) {
  FInput.Mouse(ButtonMessage(Button, true), P, Shift + ButtonState(Button));
}

void THeadlessHost::MouseMove(TPoint P, TShiftState Shift) { FInput.Mouse(WM_MOUSEMOVE, P, Shift); }

void THeadlessHost::MouseUp(TPoint P, TMouseButton Button, TShiftState Shift) {
  FInput.Mouse(ButtonMessage(Button, false), P, Shift);
}

void THeadlessHost::Click(TPoint P, TMouseButton Button, TShiftState Shift) {
  MouseDown(P, Button, Shift);
  MouseUp(P, Button, Shift);
}

void THeadlessHost::DblClick(TPoint P) {
  Click(P);
  FInput.Mouse(WM_LBUTTONDBLCLK, P, {ssLeft});
  MouseUp(P);
}

void THeadlessHost::Drag(TPoint From, TPoint To, int Steps) {
  if (Steps < 1) Steps = 1;
  MouseDown(From);
  for (int i = 1; i <= Steps; ++i) {
    TPoint p{From.X + (To.X - From.X) * i / Steps, From.Y + (To.Y - From.Y) * i / Steps};
    MouseMove(p, {ssLeft});
    AdvanceTime(TimerInterval);
  }
  MouseUp(To);
}

void THeadlessHost::AdvanceTime(int Ms) {
  FTimeCarry += Ms;
  while (FTimeCarry >= TimerInterval) {
    FTimeCarry -= TimerInterval;
    TickTimers();
    ProcessMessages();
  }
}

void THeadlessHost::SaveToPNG(const std::string& FileName) {
  Paint();
  FPainter->SaveToPNG(FileName);
}

TColor THeadlessHost::Pixel(int X, int Y) {
  Paint();
  return FPainter->Pixel(X, Y);
}

void THeadlessHost::Paint() {
  FPainter->PaintInvalid();
  const auto& live = Forms();
  std::erase_if(FOthers, [&](const auto& Entry) {
    return std::find(live.begin(), live.end(), Entry.first) == live.end() || !Entry.first->Visible();
  });
  for (TCustomForm* form : live) {
    if (form == FForm || form->Parent() != nullptr || !form->Visible() || !form->HandleAllocated()) continue;
    // A form with a host of its own is that host's to paint.
    if (FOthers.find(form) == FOthers.end() && TSurfacePainter::PainterOf(form) != nullptr) continue;
    auto& painter = FOthers[form];
    if (painter == nullptr) painter = std::make_unique<TSurfacePainter>(form);
    painter->PaintInvalid();
  }
}

TSurfacePainter* THeadlessHost::PainterOf(TCustomForm* Form) {
  if (Form == FForm) return FPainter.get();
  auto it = FOthers.find(Form);
  return it != FOthers.end() ? it->second.get() : nullptr;
}
