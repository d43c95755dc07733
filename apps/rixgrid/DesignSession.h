// What `rixgrid design` and `rixgrid design run` share: the grid of a form
// file (or a column set) bound to a table, in design mode, with a designer,
// the columns editor opened on it through the grid's "カラム設定" verb, and
// the ways the result is written.
#pragma once

#include <RixDBGrids.h>

#include <memory>
#include <string>
#include <vector>

namespace rixgrid {

struct TDesignOptions {
  std::string Database, Table, FormFile, ColumnsFile, Out, Script, Png;
};

// Options of both commands; Run says whether --do and --png are allowed
// (and --do required).
TDesignOptions ParseDesignOptions(const std::vector<std::string>& Args, bool Run);

class TDesignSession {
public:
  explicit TDesignSession(const TDesignOptions& O);
  ~TDesignSession();

  TForm* Form() const { return FForm.get(); }
  TRixDBGrid* Grid() const { return FGrid; }
  TDesigner& Designer() { return FDesigner; }
  TRixDBGridColumnsEditor* Editor() const { return RixDBGridColumnsEditor(); }
  TPropertyPanel* Panel() const { return FPanel; }

  // A title click selects its column in the designer.
  void TitleClicked(int X, int Y);
  // The grid as a form file in the text form.
  std::string FormText();
  // Writes the form file (or, for the window with -o, the column set).
  void Save(const std::string& FileName, bool ColumnSet);

private:
  std::unique_ptr<TForm> FForm;
  TRixDBGrid* FGrid = nullptr;
  TPropertyPanel* FPanel = nullptr;
  TDesigner FDesigner;
};

// Runs a script of editor commands ("add; set 0 FieldName=price; up 1")
// against the session's editor; raises TScriptError naming the command and
// what the editor offers instead.
void RunDesignScript(TDesignSession& S, const std::string& Script);

} // namespace rixgrid
