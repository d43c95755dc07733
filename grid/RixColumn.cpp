#include "grid/RixColumn.h"

#include "grid/RixDBGrid.h"

void TRixColumnTitle::SetCaption(const std::string& Value) {
  if (FCaption == Value) return;
  FCaption = Value;
  if (FColumn != nullptr) FColumn->Changed(false);
}

TRixColumn::TRixColumn(TCollection* Collection)
    : TCollectionItem(Collection), FTitle(std::make_unique<TRixColumnTitle>(this)) {}

TRixColumn::~TRixColumn() {
  // Other columns' draw links may point here; the next layout pass resets
  // them, and until then no one may follow a link to a freed column.
  if (TRixDBGridColumns* cols = Columns())
    for (int i = 0; i < cols->Count(); ++i) {
      TRixColumn* c = cols->Items(i);
      if (c->FDrawColumn == this) c->FDrawColumn = c;
      if (c->FDrawEndColumn == this) c->FDrawEndColumn = c;
    }
}

TRixDBGridColumns* TRixColumn::Columns() const { return dynamic_cast<TRixDBGridColumns*>(Collection()); }

TRixCustomDBGrid* TRixColumn::Grid() const {
  TRixDBGridColumns* c = Columns();
  return c != nullptr ? c->Grid() : nullptr;
}

TField* TRixColumn::Field() const {
  if (FField == nullptr && !FFieldName.empty()) {
    TRixCustomDBGrid* g = Grid();
    if (g != nullptr && g->DataLink() != nullptr && g->DataLink()->Active()) {
      TField* f = g->DataLink()->DataSet()->FindField(FFieldName);
      if (f != nullptr) {
        FField = f;
        f->FreeNotification(g);
      }
    }
  }
  return FField;
}

void TRixColumn::SetField(TField* Value) {
  if (FField == Value) return;
  FField = Value;
  if (Value != nullptr) {
    FFieldName = Value->FullName();
    if (TRixCustomDBGrid* g = Grid()) Value->FreeNotification(g);
  }
  Changed(false);
}

void TRixColumn::SetFieldName(const std::string& Value) {
  if (FFieldName == Value) return;
  FFieldName = Value;
  FField = nullptr;
  Changed(false);
}

void TRixColumn::WatchComponent(TComponent* Old, TComponent* New) {
  TRixCustomDBGrid* g = Grid();
  if (g == nullptr) return;
  (void)Old;  // other columns may still share it: the grid keeps the notice
  if (New != nullptr) New->FreeNotification(g);
}

void TRixColumn::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  WatchComponent(FPopupMenu, Value);
  FPopupMenu = Value;
}

void TRixColumn::SetListSource(TDataSource* Value) {
  if (FListSource == Value) return;
  WatchComponent(FListSource, Value);
  FListSource = Value;
  Changed(false);
}

void TRixColumn::SetButtonStyle(TRixColumnButtonStyle Value) {
  if (FButtonStyle == Value) return;
  FButtonStyle = Value;
  Changed(false);
}

void TRixColumn::SetWidth(int Value) {
  if (FWidth == Value) return;
  FWidth = Value;
  Changed(false);
}
