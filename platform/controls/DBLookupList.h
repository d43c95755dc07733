// TPopupDataList: the drop-down list of a lookup editor, fed from a second
// dataset. It shows ListField of every record of ListSource's dataset and
// answers with KeyField's value of the chosen record (KeyValue). Like the
// pick list it sits on the screen, never takes the focus, and is worked by
// the editor's keys (Up, Down, PgUp, PgDn, Home, End) and by the mouse.
//
// The list reads the dataset when it is bound or the dataset changes (its
// own data link), keeping the dataset's current record. A null KeyValue
// selects nothing; a text KeyValue also finds the key whose text it is.
#pragma once

#include "platform/controls/InplaceEdit.h"
#include "platform/data/DataLink.h"

#include <memory>
#include <string>
#include <vector>

class TPopupDataList : public TPopupListbox {
  RIX_CLASS_NAME(TPopupDataList)
public:
  explicit TPopupDataList(TComponent* AOwner);
  ~TPopupDataList() override;

  TDataSource* ListSource() const;
  void SetListSource(TDataSource* Value);
  const std::string& KeyField() const { return FKeyField; }
  void SetKeyField(const std::string& Value);
  const std::string& ListField() const { return FListField; }
  void SetListField(const std::string& Value);
  // The key of the selected line (null when none is selected).
  TFieldValue KeyValue() const;
  void SetKeyValue(const TFieldValue& Value);
  // The selected key as the key field's text ("" when none is selected).
  std::string KeyText() const;
  // Lines shown when dropped down.
  int RowCount() const { return FRowCount; }
  void SetRowCount(int Value) { FRowCount = Value > 0 ? Value : 1; }

  // Reads the keys and texts again (the data link does it on changes).
  void ListLinkDataChanged();

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  class TListSourceLink;
  void Reload();

  std::unique_ptr<TListSourceLink> FListLink;
  std::string FKeyField;
  std::string FListField;
  std::vector<TFieldValue> FKeys;
  std::vector<std::string> FKeyTexts;
  TFieldValue FPendingKey; // asked for before the lines were read
  int FRowCount = 7;
  bool FReloading = false;
};
