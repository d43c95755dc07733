// rixgrid design info [--verbs | --categories | --editors]
//   prints what the design package registers: the palette, the property and
//   component editors, the grid's context-menu verbs and the property
//   categories; one option prints that part alone, one row a line, fields
//   separated by tabs.
//
// rixgrid design values FORMFILE DB PROPERTY [--table T] [--column N] [--list-table T]
//   prints the values the editor of a column property offers, one a line, as
//   the designer's drop-down shows them: the grid of FORMFILE is bound to
//   table T of DB (the first table without --table) and column N (0 without
//   --column) is edited. --list-table gives the column a list source on
//   another table, for KeyField and ListField.
#include "apps/rixgrid/Commands.h"

#include <RixDBGrids.h>

#include <filesystem>
#include <iostream>
#include <memory>

namespace rixgrid {
namespace {

void PrintPalette(const TDesignRegistry& R, const std::string& Indent) {
  for (const TPaletteEntry& e : R.Palette()) std::cout << Indent << e.Page << "\t" << e.ClassName << "\n";
}

void PrintEditors(const TDesignRegistry& R, const std::string& Indent) {
  for (const TPropertyEditorEntry& e : R.PropertyEditors())
    std::cout << Indent << "property\t" << e.PropertyType->Name << "\t" << (e.ComponentClass.Any() ? "*" : e.ComponentClass.Name)
              << "\t" << (e.PropertyName.empty() ? "*" : e.PropertyName) << "\t" << e.EditorClass << "\n";
  for (const TComponentEditorEntry& e : R.ComponentEditors())
    std::cout << Indent << "component\t" << e.ComponentClass.Name << "\t" << e.EditorClass << "\n";
}

void PrintVerbs(const std::string& Indent) {
  std::unique_ptr<TRixDBGrid> grid(new TRixDBGrid(nullptr));
  TDesigner designer(grid.get());
  std::unique_ptr<TComponentEditor> editor = GetComponentEditor(grid.get(), &designer);
  for (int i = 0; i < editor->GetVerbCount(); ++i) std::cout << Indent << i << "\t" << editor->GetVerb(i) << "\n";
}

void PrintCategories(const TDesignRegistry& R, const std::string& Indent) {
  for (const TPropertyCategoryEntry& e : R.Categories())
    std::cout << Indent << e.Category << "\t" << e.ComponentClass.Name << "\t" << e.PropertyName << "\n";
}

int RunInfo(const std::vector<std::string>& Args) {
  if (Args.size() > 1) throw TUsageError{"expected at most one option"};
  const std::string part = Args.empty() ? "" : Args[0];
  RegisterAll();
  const TDesignRegistry& r = DesignRegistry();
  if (part == "--verbs") PrintVerbs("");
  else if (part == "--categories") PrintCategories(r, "");
  else if (part == "--editors") PrintEditors(r, "");
  else if (!part.empty()) throw TUsageError{"unknown option '" + part + "'"};
  else {
    std::cout << "package: " << RixDBGridsPackageDescription << "\npalette:\n";
    PrintPalette(r, "  ");
    std::cout << "editors:\n";
    PrintEditors(r, "  ");
    std::cout << "verbs:\n";
    PrintVerbs("  ");
    std::cout << "categories:\n";
    PrintCategories(r, "  ");
  }
  return 0;
}

struct TValuesOptions {
  std::string FormFile, Database, Property, Table, ListTable;
  int Column = 0;
};

TValuesOptions ParseValues(const std::vector<std::string>& Args) {
  TValuesOptions o;
  std::vector<std::string> positional;
  for (size_t i = 0; i < Args.size(); ++i) {
    const std::string& a = Args[i];
    if (a == "--table" || a == "--list-table" || a == "--column") {
      if (i + 1 >= Args.size()) throw TUsageError{a + " needs a value"};
      const std::string& v = Args[++i];
      if (a == "--table") o.Table = v;
      else if (a == "--list-table") o.ListTable = v;
      else {
        size_t used = 0;
        try {
          o.Column = std::stoi(v, &used);
        } catch (const std::exception&) {
          used = 0;
        }
        if (used == 0 || used != v.size() || o.Column < 0) throw TUsageError{"--column expects a column index, not '" + v + "'"};
      }
    } else if (a.starts_with("-")) {
      throw TUsageError{"unknown option '" + a + "'"};
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 3) throw TUsageError{"expected FORMFILE, DB and PROPERTY"};
  o.FormFile = positional[0];
  o.Database = positional[1];
  o.Property = positional[2];
  return o;
}

TDataSource* OpenTable(TComponent* Owner, const std::string& Database, const std::string& Table) {
  auto* ds = new TSQLiteDataSet(Owner);
  ds->SetDatabaseName(Database);
  ds->SetTableName(Table);
  ds->Open();
  auto* source = new TDataSource(Owner);
  source->SetDataSet(ds);
  return source;
}

int RunValues(const std::vector<std::string>& Args) {
  const TValuesOptions o = ParseValues(Args);
  // Opening a missing file would create an empty database.
  if (!std::filesystem::is_regular_file(o.Database)) throw EFOpenError("Cannot open database " + o.Database);
  RegisterAll();

  std::unique_ptr<TComponent> owner(new TComponent(nullptr));
  auto* grid = new TRixDBGrid(owner.get());
  LoadFormFile(grid, o.FormFile);
  grid->SetDataSource(OpenTable(owner.get(), o.Database, o.Table.empty() ? FirstTable(owner.get(), o.Database) : o.Table));
  TRixDBGridColumns* columns = grid->Columns();
  if (o.Column >= columns->Count())
    throw EListError("The grid has " + std::to_string(columns->Count()) + " columns; there is no column " +
                     std::to_string(o.Column));
  TRixColumn* column = columns->Items(o.Column);
  if (!o.ListTable.empty()) column->SetListSource(OpenTable(owner.get(), o.Database, o.ListTable));

  const TPropInfo* prop = GetPropInfo(column, o.Property);
  if (prop == nullptr) throw EPropertyError("A column has no property " + o.Property);
  TDesigner designer(owner.get());
  std::unique_ptr<TPropertyEditor> editor = GetPropertyEditor(&designer, {column}, prop);
  if (!editor->GetAttributes().Contains(paValueList))
    throw EPropertyError("The editor of " + prop->Name + " (" + editor->ClassName() + ") offers no list of values");
  for (const std::string& v : editor->ValueList()) std::cout << v << "\n";
  return 0;
}

TCommandRegistration InfoReg({"design", "info"}, "[--verbs | --categories | --editors]",
                             "print the design-time registrations: palette, editors, verbs, categories", RunInfo);
TCommandRegistration ValuesReg({"design", "values"}, "FORMFILE DB PROPERTY [--table T] [--column N] [--list-table T]",
                               "print the values a column property's editor offers for a grid bound to a table",
                               RunValues);

} // namespace
} // namespace rixgrid
