// A grid on a form bound to the People dataset, a list dataset for lookups,
// the package registered, the dialog script and the columns-editor hook
// reset around each test.
#pragma once

#include "design/Design.h"
#include "grid/Grid.h"
#include "platform/controls/Dialogs.h"

#include "support/People.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace designtest {

// Every opening of the columns editor, as the hook saw it.
struct TColumnsEditorCall {
  IDesigner* Designer;
  TRixDBGrid* Grid;
  std::string Caption;
};

class TDesignTest : public testing::Test {
protected:
  void SetUp() override {
    RegisterAll();
    DialogService().Reset();
    SetColumnsEditor([this](IDesigner* D, TRixDBGrid* G, const std::string& C) { Opened.push_back({D, G, C}); });
    Form.reset(new TComponent(nullptr));
    Form->SetName("Form1");
    Grid = new TRixDBGrid(Form.get());
    Grid->SetName("Grid1");
    Designer = std::make_unique<TRecordingDesigner>(Form.get());
  }
  void TearDown() override {
    SetColumnsEditor(nullptr);
    SetMaskDialog(nullptr);
    DialogService().Reset();
    Designer.reset();
    Form.reset();
  }

  // The People dataset (ID, Name, Active) behind the grid.
  TDataSource* BindPeople() {
    auto* source = new TDataSource(Form.get());
    source->SetName("PeopleSource");
    source->SetDataSet(rixtest::MakePeople(Form.get(), 3));
    Grid->SetDataSource(source);
    return source;
  }
  // A list dataset whose fields are declared out of alphabetical order.
  TDataSource* MakeListSource() {
    auto* ds = new TMemoryDataSet(Form.get());
    ds->FieldDefs()->Add("Label", ftString, 20);
    ds->FieldDefs()->Add("Code", ftInteger);
    ds->FieldDefs()->Add("Kind", ftString, 5);
    ds->CreateDataSet();
    auto* source = new TDataSource(Form.get());
    source->SetDataSet(ds);
    return source;
  }
  std::unique_ptr<TPropertyEditor> EditorFor(TPersistent* Instance, const std::string& Prop) {
    const TPropInfo* p = GetPropInfo(Instance, Prop);
    EXPECT_NE(p, nullptr) << Prop;
    return GetPropertyEditor(Designer.get(), {Instance}, p);
  }

  std::unique_ptr<TComponent> Form;
  TRixDBGrid* Grid = nullptr;
  std::unique_ptr<TRecordingDesigner> Designer;
  std::vector<TColumnsEditorCall> Opened;
};

} // namespace designtest
