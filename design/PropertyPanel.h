// TPropertyPanel: a small object inspector. It lists the published
// properties of what the designer selects, one row each (name, value as the
// property's editor shows it), and lets the value be typed or, for editors
// with a value list, picked from a drop-down of the editor's values. A typed
// value goes in with Enter or when another row is chosen; a picked one at
// once. A value the editor refuses is reported and the row shows the old
// value again.
#pragma once

#include "design/DesignIntf.h"
#include "design/PropEdits.h"

#include "platform/controls/StringGrid.h"

#include <memory>
#include <string>
#include <vector>

class TPropertyPanel : public TStringGrid, public IDesignNotification {
  RIX_CLASS_NAME(TPropertyPanel)
public:
  explicit TPropertyPanel(TComponent* AOwner);
  ~TPropertyPanel() override;

  void SetDesigner(IDesigner* Value);
  // Lists the designer's selection again.
  void RefreshProperties();
  // The row of a property (-1 when not listed).
  int RowOf(const std::string& PropName) const;
  // Gives a property a value as the user would: through its editor; raises
  // the editor's error.
  void SetPropertyValue(const std::string& PropName, const std::string& Value);

  void SelectionChanged(IDesigner* ADesigner, const TDesignerSelections& ASelection) override;
  void KeyDown(unsigned short& Key, TShiftState Shift) override;

protected:
  TInplaceEdit* CreateEditor() override;
  TEditStyle GetEditStyle(int ACol, int ARow) override;
  bool CanEditShow() override;
  bool SelectCell(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const std::string& Value) override;
  void BeforeDestruction() override;
  void Resize() override;

private:
  TPropertyEditor* EditorAt(int ARow) const;
  void Commit();

  IDesigner* FDesigner = nullptr;
  std::vector<std::unique_ptr<TPropertyEditor>> FEditors;
  int FPendingRow = -1;
  std::string FPendingText;
  bool FCommitting = false;
};
