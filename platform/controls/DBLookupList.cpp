#include "platform/controls/DBLookupList.h"

#include "platform/data/Fields.h"

class TPopupDataList::TListSourceLink : public TDataLink {
public:
  explicit TListSourceLink(TPopupDataList* List) : FList(List) {}

protected:
  void ActiveChanged() override { FList->ListLinkDataChanged(); }
  void DataSetChanged() override { FList->ListLinkDataChanged(); }
  void LayoutChanged() override { FList->ListLinkDataChanged(); }

private:
  TPopupDataList* FList;
};

TPopupDataList::TPopupDataList(TComponent* AOwner)
    : TPopupListbox(AOwner), FListLink(std::make_unique<TListSourceLink>(this)) {}

TPopupDataList::~TPopupDataList() { FListLink->SetDataSource(nullptr); }

void TPopupDataList::Notification(TComponent* AComponent, TOperation Operation) {
  TPopupListbox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FListLink->DataSource()) SetListSource(nullptr);
}

TDataSource* TPopupDataList::ListSource() const { return FListLink->DataSource(); }

void TPopupDataList::SetListSource(TDataSource* Value) {
  if (Value == FListLink->DataSource()) return;
  if (Value != nullptr) Value->FreeNotification(this);
  FListLink->SetDataSource(Value);
  Reload();
}

void TPopupDataList::SetKeyField(const std::string& Value) {
  if (Value == FKeyField) return;
  FKeyField = Value;
  Reload();
}

void TPopupDataList::SetListField(const std::string& Value) {
  if (Value == FListField) return;
  FListField = Value;
  Reload();
}

void TPopupDataList::ListLinkDataChanged() { Reload(); }

TFieldValue TPopupDataList::KeyValue() const {
  const int i = ItemIndex();
  return i >= 0 && i < static_cast<int>(FKeys.size()) ? FKeys[static_cast<std::size_t>(i)] : TFieldValue{};
}

std::string TPopupDataList::KeyText() const {
  const int i = ItemIndex();
  return i >= 0 && i < static_cast<int>(FKeyTexts.size()) ? FKeyTexts[static_cast<std::size_t>(i)] : std::string();
}

void TPopupDataList::SetKeyValue(const TFieldValue& Value) {
  FPendingKey = Value;
  int found = -1;
  // A key kept as text (a column's own field holding the key) finds its
  // record by the key field's text.
  const auto* text = std::get_if<std::string>(&Value);
  if (!IsNullValue(Value))
    for (std::size_t i = 0; i < FKeys.size(); ++i)
      if (FKeys[i] == Value || (text != nullptr && FKeyTexts[i] == *text)) {
        found = static_cast<int>(i);
        break;
      }
  SetItemIndex(found);
}

// The list dataset is read whole: lookup tables are short, and the list must
// not move the record a form shows from the same dataset.
void TPopupDataList::Reload() {
  // Reading moves the dataset, whose notifications come back here.
  if (FReloading) return;
  FReloading = true;
  struct Done {
    bool& Flag;
    ~Done() { Flag = false; }
  } done{FReloading};
  Items()->Clear();
  FKeys.clear();
  FKeyTexts.clear();
  TDataSet* ds = FListLink->Active() ? FListLink->DataSet() : nullptr;
  TField* key = ds != nullptr ? ds->FindField(FKeyField) : nullptr;
  TField* list = ds != nullptr ? ds->FindField(FListField) : nullptr;
  if (key != nullptr && list != nullptr) {
    TControlsDisabler disabler(ds);
    const TBookmark here = ds->Bookmark();
    struct Back {
      TDataSet* D;
      const TBookmark& B;
      ~Back() {
        if (!B.empty() && D->BookmarkValid(B)) D->GotoBookmark(B);
      }
    } back{ds, here};
    for (ds->First(); !ds->Eof(); ds->Next()) {
      FKeys.push_back(key->Value());
      FKeyTexts.push_back(key->Text());
      Items()->Add(list->DisplayText());
    }
  }
  SetKeyValue(FPendingKey);
}
