#include "design/RixDBGridReg.h"

#include "design/MaskProperty.h"
#include "grid/RixDBGrid.h"
#include "platform/controls/Dialogs.h"
#include "platform/data/Data.h"

namespace {

// The designer only calls these editors for TRixColumn's own properties; any
// other object is a programming error the designer reports.
TRixColumn* EditedColumn(const TPropertyEditor& Editor) {
  auto* column = dynamic_cast<TRixColumn*>(Editor.GetComponent(0));
  if (column == nullptr)
    throw EInvalidCast(std::string("A ") + Editor.GetComponent(0)->ClassName() + " is not a TRixColumn");
  return column;
}

TDataSource* AsDataSource(TPersistent* Value) {
  if (Value == nullptr) return nullptr;
  auto* source = dynamic_cast<TDataSource*>(Value);
  if (source == nullptr) throw EInvalidCast(std::string("A ") + Value->ClassName() + " is not a TDataSource");
  return source;
}

void FieldNamesOf(TDataSource* Source, TStrings* List) {
  if (Source != nullptr && Source->DataSet() != nullptr) Source->DataSet()->GetFieldNames(List);
}

const char* const AboutText = "RixDBGrid Ver.3.2.11\r"
                              "拡張データベースグリッド コンポーネント\r"
                              "1 レコード複数行表示・セル結合・ソート矢印・画像/メモ表示に対応";

} // namespace

// ---- component editor ----------------------------------------------------------

int TRixDBGridCompEditor::GetVerbCount() { return 2; }

std::string TRixDBGridCompEditor::GetVerb(int Index) {
  switch (Index) {
  case 0:
    return "バージョン情報(&A)";
  case 1:
    return "カラム設定(&C)...";
  default:
    return "";
  }
}

void TRixDBGridCompEditor::ExecuteVerb(int Index) {
  switch (Index) {
  case 0:
    MessageBox(AboutText, "ｺﾝﾎﾟｰﾈﾝﾄ ﾊﾞｰｼﾞｮﾝ情報", MB_OK | MB_ICONINFORMATION);
    break;
  case 1:
    EditProperty(GetDesigner(), Component(), "Columns");
    break;
  default:
    break;
  }
}

// ---- field-name editors --------------------------------------------------------

void TColumnDataFieldProperty::GetValueList(TStrings* List) const {
  TRixCustomDBGrid* grid = EditedColumn(*this)->GetGrid();
  if (grid == nullptr) return;
  FieldNamesOf(AsDataSource(GetPropertyValue(grid, "DataSource")), List);
}

void TColumnListFieldProperty::GetValueList(TStrings* List) const {
  FieldNamesOf(AsDataSource(GetPropertyValue(EditedColumn(*this), "ListSource")), List);
}

// ---- opening one property's editor ---------------------------------------------

void TCallBack::EditProp(TPropertyEditor& Prop) const {
  // Published names are identifiers, so comparing without letter case is
  // the locale's upper-case comparison.
  if (SameText(Prop.GetName(), FPropName)) Prop.Edit();
}

void EditProperty(IDesigner* Designer, TComponent* Component, const std::string& PropName) {
  const TDesignerSelections selection{Component};
  const TCallBack callback(PropName);
  GetComponentProperties(selection, tkAny(), Designer, [&callback](TPropertyEditor& Prop) { callback.EditProp(Prop); });
}

TPersistent* GetPropertyValue(TPersistent* Instance, const std::string& PropName) {
  const TPropInfo* prop = ::GetPropInfo(Instance, PropName);
  if (prop == nullptr || prop->Kind() != tkClass || !prop->GetObj) return nullptr;
  return prop->GetObj(Instance);
}

// ---- registration --------------------------------------------------------------

void RegisterRixDBGrid(TDesignRegistry& Registry) { Registry.RegisterComponent<TRixDBGrid>("Data Controls"); }

void RegisterRixDBGridReg(TDesignRegistry& R) {
  const TClassRef column = TClassRef::Of<TRixColumn>();
  R.RegisterPropertyEditor<TColumnDataFieldProperty>(StringTypeInfo(), column, "FieldName");
  // The key field is looked up in the list source's dataset (it becomes the
  // drop-down list's key), so it offers that dataset's fields.
  R.RegisterPropertyEditor<TColumnListFieldProperty>(StringTypeInfo(), column, "KeyField");
  R.RegisterPropertyEditor<TColumnListFieldProperty>(StringTypeInfo(), column, "ListField");
  R.RegisterPropertyEditor<TMaskProperty>(StringTypeInfo(), column, "EditMask");
  R.RegisterComponentEditor<TRixDBGridCompEditor>(TClassRef::Of<TRixDBGrid>());

  const TClassRef grid = TClassRef::Of<TRixCustomDBGrid>();
  const struct {
    const char* Category;
    const TClassRef& Class;
    const char* Property;
  } rows[] = {
      {"表示", grid, "AlternatingRecordColor"},
      {"表示", grid, "AlternatingRecordColorChange"},
      {"データベース", grid, "Columns"},
      {"レイアウト", grid, "FixedCols"},
      {"レイアウト", grid, "RowsPerRecord"},
      {"表示", grid, "FixedCols"},
      {"表示", grid, "FocusedRecordColor"},
      {"表示", grid, "FocusedRecordColorChange"},
      {"表示", grid, "FocusRecordColorChange"},
      {"表示", grid, "RowsPerRecord"},
      {"旧式", grid, "BiLineColor"},
      {"旧式", grid, "FocusRecordColor"},
      {"旧式", grid, "FocusRecordColorChange"},
      {"データベース", column, "FieldName"},
      {"データベース", column, "KeyField"},
      {"データベース", column, "ListField"},
      {"データベース", column, "OrderState"},
      {"レイアウト", column, "BindColumn"},
      {"ローカライズ対象", column, "PickList"},
      {"ローカライズ対象", column, "Title"},
      {"表示", column, "AlignmentV"},
      {"表示", column, "Margin"},
      {"表示", column, "Layout"},
      {"表示", column, "NumGlyphs"},
      {"表示", column, "ShowImages"},
      {"旧式", column, "ShowMemoText"},
  };
  for (const auto& r : rows) R.RegisterPropertyInCategory(r.Category, r.Class, r.Property);
}
