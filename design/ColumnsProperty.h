// The editor of the grid's Columns property: its ellipsis button opens the
// columns editor window on the grid that owns the collection.
//
// It opens the process's columns editor (ColumnsEditor.h); SetColumnsEditor
// puts something else in its place (a test that records the calls), and nil
// brings the editor back.
#pragma once

#include "design/PropEdits.h"

#include <functional>
#include <string>

class TDesignRegistry;
class TRixDBGrid;

// Opens (or brings up) the columns editor on Grid; Caption is the name of the
// property it was opened from.
using TColumnsEditorProc = std::function<void(IDesigner* Designer, TRixDBGrid* Grid, const std::string& Caption)>;
void SetColumnsEditor(TColumnsEditorProc Proc);

class TRixDBGridColumnsProperty : public TClassProperty {
  RIX_CLASS_NAME(TRixDBGridColumnsProperty)
public:
  using TClassProperty::TClassProperty;
  TPropertyAttributes GetAttributes() const override { return {paDialog, paReadOnly}; }
  // Raises Exception "Owner component not found." or "Owner rixdbgrid not
  // found." when the edited object belongs to no grid.
  void Edit() override;
};

void RegisterRixDBColnEd(TDesignRegistry& Registry);
