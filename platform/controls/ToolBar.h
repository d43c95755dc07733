// TToolBar and TToolButton: a row of picture buttons, each showing an image
// of the bar's Images and running its OnClick or its action. A button bound
// to an action follows the action's enabled state, hint and picture (when
// the action has one). Separators are gaps. With ShowHint the hint of the
// button the mouse rests on shows after a moment (THintWindow) and goes
// after a few seconds, on a press, or when the mouse moves off the button.
#pragma once

#include "platform/controls/ActnList.h"
#include "platform/controls/WinControl.h"

#include <string>
#include <vector>

class TImageList;
class TToolBar;
class THintWindow;

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

class TToolButton : public TComponent, public TActionClient {
  RIX_CLASS_NAME(TToolButton)
public:
  explicit TToolButton(TComponent* AOwner) : TComponent(AOwner) {}
  ~TToolButton() override;

  // Appends the button to Bar (nil takes it off its bar).
  void SetToolBar(TToolBar* Bar);
  TToolBar* ToolBar() const { return FToolBar; }
  TToolButtonStyle Style() const { return FStyle; }
  void SetStyle(TToolButtonStyle Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value) { FHint = Value; }
  const std::string& Caption() const { return FCaption; }
  void SetCaption(const std::string& Value) { FCaption = Value; }
  TAction* Action() const { return FAction; }
  void SetAction(TAction* Value);
  void SetOnClick(TNotifyEvent E) { FOnClick = std::move(E); }

  // Runs OnClick, else the action, when the button is enabled.
  void Click();
  void ActionChanged(TAction* Sender) override;

protected:
  void BeforeDestruction() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void Changed();

  TToolBar* FToolBar = nullptr;
  TToolButtonStyle FStyle = tbsButton;
  int FImageIndex = -1;
  bool FEnabled = true;
  std::string FHint, FCaption;
  TAction* FAction = nullptr;
  TNotifyEvent FOnClick;
};

class TToolBar : public TCustomControl {
  RIX_CLASS_NAME(TToolBar)
public:
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  TImageList* Images() const { return FImages; }
  void SetImages(TImageList* Value);
  int ButtonWidth() const { return FButtonWidth; }
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonSize(int Width, int Height);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }
  // How long the mouse rests before the hint shows, and how long it stays.
  static constexpr int HintPause = 500;
  static constexpr int HintHidePause = 2500;

  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int Index) const;
  TRect ButtonRect(int Index) const;
  // The button under a client point (separators included), or nil.
  TToolButton* ButtonAt(int X, int Y) const;
  // The hint shown now, or nil.
  THintWindow* HintWindow() const { return FHint; }

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMTimer(TMessage& M) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BeforeDestruction() override;

private:
  friend class TToolButton;
  void InsertButton(TToolButton* B);
  void RemoveButton(TToolButton* B);
  void CancelHint();
  void ShowHintOf(TToolButton* B);

  std::vector<TToolButton*> FButtons;
  TImageList* FImages = nullptr;
  int FButtonWidth = 23, FButtonHeight = 22;
  bool FShowHint = false;
  TToolButton* FPressed = nullptr;
  TToolButton* FHot = nullptr;
  THintWindow* FHint = nullptr;
  int FHintElapsed = 0;
};
