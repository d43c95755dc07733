#include "apps/rixgrid/DesignSession.h"

#include "apps/rixgrid/Commands.h"

#include <filesystem>

namespace rixgrid {

TDesignOptions ParseDesignOptions(const std::vector<std::string>& Args, bool Run) {
  TDesignOptions o;
  auto value = [&](size_t& i) -> const std::string& {
    if (i + 1 >= Args.size()) throw TUsageError{Args[i] + " needs a value"};
    return Args[++i];
  };
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--table") o.Table = value(i);
    else if (a == "--form") o.FormFile = value(i);
    else if (a == "--columns") o.ColumnsFile = value(i);
    else if (a == "-o") o.Out = value(i);
    else if (Run && a == "--do") o.Script = value(i);
    else if (Run && a == "--png") o.Png = value(i);
    else if (a.starts_with("-")) throw TUsageError{"unknown option '" + a + "'"};
    else if (o.Database.empty()) o.Database = a;
    else throw TUsageError{"unexpected argument '" + a + "'"};
  }
  if (o.Database.empty()) throw TUsageError{"expected a database file"};
  if (Run && o.Script.empty()) throw TUsageError{"expected --do \"COMMANDS\""};
  if (Run && o.Out.empty() && o.Png.empty()) throw TUsageError{"expected -o OUT or --png FILE"};
  // Opening a missing file would create an empty database.
  if (!std::filesystem::is_regular_file(o.Database)) throw EFOpenError("Cannot open database " + o.Database);
  return o;
}

TDesignSession::TDesignSession(const TDesignOptions& O) : FDesigner(nullptr) {
  RegisterAll();
  FForm = std::make_unique<TForm>(nullptr);
  FForm->SetName("Form1");
  FDesigner.SetRoot(FForm.get());
  FGrid = new TRixDBGrid(FForm.get());
  FGrid->SetName("RixDBGrid1");
  // The grid keeps its own streamed Align; the window lays it out as TControl.
  static_cast<TControl*>(FGrid)->SetAlign(alClient);
  FGrid->SetParent(FForm.get());
  if (!O.FormFile.empty()) LoadFormFile(FGrid, O.FormFile);
  if (!O.ColumnsFile.empty()) FGrid->Columns()->LoadFromFile(O.ColumnsFile);
  // Neither is named: the form file keeps no reference to them.
  auto* data = new TSQLiteDataSet(FForm.get());
  data->SetDatabaseName(O.Database);
  data->SetTableName(O.Table.empty() ? FirstTable(FForm.get(), O.Database) : O.Table);
  data->Open();
  auto* source = new TDataSource(FForm.get());
  source->SetDataSet(data);
  FGrid->SetDataSource(source);
  FGrid->SetDesigning(true);
  FGrid->SetOnMouseDown([this](TObject*, TMouseButton B, TShiftState, int X, int Y) {
    if (B == mbLeft) TitleClicked(X, Y);
  });
  FPanel = new TPropertyPanel(FForm.get());
  FPanel->SetWidth(280);
  FPanel->SetAlign(alRight);
  FPanel->SetParent(FForm.get());
  FPanel->SetDesigner(&FDesigner);
  // The columns editor, as the grid's context-menu verb opens it.
  GetComponentEditor(FGrid, &FDesigner)->ExecuteVerb(1);
}

TDesignSession::~TDesignSession() { ReleaseColumnsEditor(); }

void TDesignSession::TitleClicked(int X, int Y) {
  const TGridCoord c = FGrid->MouseCoord(X, Y);
  if (c.X < FGrid->IndicatorOffset() || c.Y < 0 || c.Y >= FGrid->TitleOffset()) return;
  TRixDBGridColumns* columns = FGrid->Columns();
  if (columns->State() != csCustomized) return;
  const int index = FGrid->RawToDataColumn(c.X, c.Y);
  if (index >= 0 && index < columns->Count()) FDesigner.SelectComponent(columns->Items(index));
}

std::string TDesignSession::FormText() {
  TMemoryStream s;
  WriteComponent(s, FGrid);
  return rix::BinaryToText(s.DataString());
}

void TDesignSession::Save(const std::string& FileName, bool ColumnSet) {
  if (ColumnSet) FGrid->Columns()->SaveToFile(FileName);
  else WriteFileBytes(FileName, FormText());
}

} // namespace rixgrid
