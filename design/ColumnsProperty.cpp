#include "design/ColumnsProperty.h"

#include "design/ColumnsEditor.h"
#include "design/DesignRegistry.h"
#include "grid/RixDBGrid.h"

namespace {

TColumnsEditorProc& ColumnsEditor() {
  static TColumnsEditorProc proc;
  return proc;
}

} // namespace

void SetColumnsEditor(TColumnsEditorProc Proc) { ColumnsEditor() = std::move(Proc); }

void TRixDBGridColumnsProperty::Edit() {
  TPersistent* owner = GetComponent(0);
  while (owner != nullptr && dynamic_cast<TComponent*>(owner) == nullptr) owner = owner->GetOwner();
  if (owner == nullptr) throw Exception("Owner component not found.");
  auto* grid = dynamic_cast<TRixDBGrid*>(owner);
  if (grid == nullptr) throw Exception("Owner rixdbgrid not found.");
  if (const TColumnsEditorProc& open = ColumnsEditor()) open(Designer(), grid, GetName());
  else OpenColumnsEditor(Designer(), grid, GetName());
}

void RegisterRixDBColnEd(TDesignRegistry& Registry) {
  Registry.RegisterPropertyEditor<TRixDBGridColumnsProperty>(ClassTypeInfo("TRixDBGridColumns"),
                                                             TClassRef::Of<TRixDBGrid>(), "");
}
