#include "TestGridForm.h"

TTestGridWindowGrid::TTestGridWindowGrid(TComponent* AOwner) : TStringGrid(AOwner) {
  SetColCount(20);
  SetRowCount(100);
  SetDefaultColWidth(80);
  SetOptions(Options() + goEditing + goColSizing + goRowSizing + goColMoving + goTabs + goThumbTracking);
  for (int c = 1; c < ColCount(); ++c) SetCells(c, 0, "列" + std::to_string(c));
  for (int r = 1; r < RowCount(); ++r) SetCells(0, r, std::to_string(r));
  SetCells(1, 2, "日本語のテキスト");
  SetCells(2, 2, "Text");
  SetCells(3, 2, "りんご");
}

TEditStyle TTestGridWindowGrid::GetEditStyle(int ACol, int) {
  if (ACol == 3) return Grids::esPickList;
  if (ACol == 4) return Grids::esEllipsis;
  return Grids::esSimple;
}

TInplaceEdit* TTestGridWindowGrid::CreateEditor() {
  auto* e = new TInplaceEditList(this);
  e->SetOnGetPickListItems([](int, int, TStrings* Items) {
    for (const char* s : {"りんご", "バナナ", "さくらんぼ", "ぶどう"}) Items->Add(s);
  });
  // The ellipsis asks for a picture file and shows its name in the cell.
  e->SetOnEditButtonClick([this](TObject*) {
    TOpenPictureDialog dialog(nullptr);
    dialog.SetFileName(Cells(Col(), Row()));
    if (dialog.Execute()) SetCells(Col(), Row(), dialog.FileName());
  });
  return e;
}

TTestGridForm CreateTestGridForm() {
  TTestGridForm f{};
  f.Form = new TForm(nullptr);
  f.Form->SetColor(clBtnFace);
  f.Grid = new TTestGridWindowGrid(f.Form);
  f.Grid->SetParent(f.Form);
  return f;
}
