// Our grid over the benchmark table on a headless 1920x1080 form, the way
// `rixgrid show` puts it on screen.
#pragma once

#include "BenchTable.h"

#include <RixDBGrids.h>

#include <memory>

namespace benchtable {

struct TRixGridFrame {
  std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
  TRixDBGrid* Grid = new TRixDBGrid(Form.get());
  TSQLiteDataSet* Data = new TSQLiteDataSet(Form.get());
  TDataSource* Source = new TDataSource(Form.get());
  std::unique_ptr<THeadlessHost> Host;

  // Opens the table, binds the grid and paints the first frame.
  TRixGridFrame(const std::string& Path, int RowsPerRecord = 1) {
    Grid->SetParent(Form.get());
    Grid->Font()->SetName(FontName);
    Grid->Font()->SetHeight(-FontPixels);
    Grid->TitleFont()->SetName(FontName);
    Grid->TitleFont()->SetHeight(-FontPixels);
    Data->SetDatabaseName(Path);
    Data->SetTableName(TableName);
    Data->Open();
    Source->SetDataSet(Data);
    Host = std::make_unique<THeadlessHost>(Form.get(), FrameWidth, FrameHeight);
    Grid->SetBounds(0, 0, FrameWidth, FrameHeight);
    Grid->SetDataSource(Source);
    if (RowsPerRecord > 1) Grid->SetRowsPerRecord(RowsPerRecord);
    Grid->SetFocus();
    Host->Paint();
  }
  ~TRixGridFrame() { Host.reset(); }
  // Repaints the whole grid.
  void Frame() {
    Grid->Invalidate();
    Host->Paint();
  }
};

} // namespace benchtable
