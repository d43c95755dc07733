// The test grid in a form: a string grid of 20 columns and 100 rows with
// titles, editing with the in-place editor, a pick list in column 3 and an
// ellipsis button in column 4.
#pragma once

#include <RixDBGrids.h>

#include <functional>
#include <string>

class TTestGridWindowGrid : public TStringGrid {
public:
  explicit TTestGridWindowGrid(TComponent* AOwner);

protected:
  TEditStyle GetEditStyle(int ACol, int ARow) override;
  TInplaceEdit* CreateEditor() override;
};

// A form (not owned by anyone) holding the grid, which fills it.
struct TTestGridForm {
  TForm* Form;
  TTestGridWindowGrid* Grid;
};
TTestGridForm CreateTestGridForm();
