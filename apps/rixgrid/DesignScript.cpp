// The commands of `rixgrid design run --do`, each done through the columns
// editor as a click would do it:
//
//   add                 the add button
//   remove N            select item N, the remove button
//   up N, down N        select item N, move it up or down
//   drag N M            drag item N onto item M
//   set N PROP=VALUE    select item N, give the column's property PROP (a
//                       path such as Title.Caption) VALUE through its editor
//   add-all-fields      replace the columns by one per field
//   restore-defaults    every column forgets its settings
//
// Commands are separated by ';'. A command the editor would not offer (an
// unknown word, an item the list does not have, a value outside the
// editor's list, a button that is disabled) is refused with what it offers.
#include "apps/rixgrid/DesignSession.h"

#include <sstream>

namespace rixgrid {
namespace {

const char* const CommandList =
    "add, remove N, up N, down N, drag N M, set N PROP=VALUE, add-all-fields, restore-defaults";

std::string Trim(const std::string& S) {
  const size_t b = S.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  return S.substr(b, S.find_last_not_of(" \t\r\n") - b + 1);
}

std::string Joined(const std::vector<std::string>& V) {
  std::string r;
  for (const std::string& s : V) r += (r.empty() ? "" : ", ") + s;
  return r.empty() ? "(none)" : r;
}

class TScriptRunner {
public:
  TScriptRunner(TDesignSession& S) : FSession(S), FEditor(S.Editor()) {}

  void Run(const std::string& Command) {
    FCommand = Command;
    std::istringstream in(Command);
    std::string word;
    in >> word;
    if (word == "add") {
      NoMore(in);
      FEditor->tbAddColClick(FEditor->tbAddCol);
    } else if (word == "remove" || word == "up" || word == "down") {
      Select(Item(in));
      NoMore(in);
      if (word == "remove") Press(FEditor->tbRemoveCol->Enabled(), [&] { FEditor->tbRemoveColClick(FEditor->tbRemoveCol); });
      else if (word == "up") Press(FEditor->MoveUpCmd->Enabled(), [&] { FEditor->MoveUpCmd->Execute(); });
      else Press(FEditor->MoveDownCmd->Enabled(), [&] { FEditor->MoveDownCmd->Execute(); });
    } else if (word == "drag") {
      const int from = Item(in), to = Item(in);
      NoMore(in);
      Select(from);
      TListView* list = FEditor->lstCols;
      const TRect r = list->ItemRect(to);
      bool accept = false;
      list->DragOver(list, r.Left + 1, r.Top + 1, dsDragMove, accept);
      if (accept) list->DragDrop(list, r.Left + 1, r.Top + 1);
    } else if (word == "set") {
      Select(Item(in));
      std::string rest;
      std::getline(in, rest);
      Set(Trim(rest));
    } else if (word == "add-all-fields") {
      NoMore(in);
      // Replaces the columns there are, as answering Yes does.
      if (FSession.Grid()->Columns()->Count() > 0) DialogService().ScriptModalResult(mrYes);
      Press(FEditor->AddAllFieldsCmd->Enabled(), [&] { FEditor->AddAllFieldsCmd->Execute(); });
    } else if (word == "restore-defaults") {
      NoMore(in);
      Press(FEditor->RestoreDefaultsCmd->Enabled(), [&] { FEditor->RestoreDefaultsCmd->Execute(); });
    } else {
      Refuse("unknown command; the editor offers: " + std::string(CommandList));
    }
  }

private:
  [[noreturn]] void Refuse(const std::string& Why) { throw EInvalidOperation("'" + FCommand + "': " + Why); }

  std::vector<std::string> Items() const {
    std::vector<std::string> r;
    for (int i = 0; i < FEditor->lstCols->ItemCount(); ++i) r.push_back(FEditor->lstCols->Items(i)->Caption());
    return r;
  }

  int Item(std::istringstream& In) {
    std::string s;
    In >> s;
    size_t used = 0;
    int n = -1;
    try {
      n = std::stoi(s, &used);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used == 0 || used != s.size() || n < 0 || n >= FEditor->lstCols->ItemCount())
      Refuse("no item '" + s + "' in the list; it has: " + Joined(Items()));
    return n;
  }

  void NoMore(std::istringstream& In) {
    std::string extra;
    if (In >> extra) Refuse("unexpected '" + extra + "'");
  }

  void Select(int Index) {
    FEditor->lstCols->SetItemIndex(Index);
    FEditor->lstColsClick(FEditor->lstCols);
  }

  template <typename F>
  void Press(bool Enabled, F Action) {
    if (!Enabled) Refuse("the editor does not offer this now");
    Action();
  }

  // PROP=VALUE on the selected column; PROP may lead through object
  // properties (Title.Caption).
  void Set(const std::string& Assignment) {
    const size_t eq = Assignment.find('=');
    if (eq == std::string::npos) Refuse("expected PROP=VALUE");
    const std::string path = Trim(Assignment.substr(0, eq)), value = Assignment.substr(eq + 1);
    TPersistent* target = FSession.Grid()->Columns()->Items(FEditor->lstCols->ItemIndex());
    std::string name = path;
    for (size_t dot; (dot = name.find('.')) != std::string::npos; name = name.substr(dot + 1)) {
      target = GetPropertyValue(target, name.substr(0, dot));
      if (target == nullptr) Refuse("a column has no object property " + path.substr(0, path.find('.')));
    }
    const TPropInfo* prop = GetPropInfo(target, name);
    if (prop == nullptr) {
      std::vector<std::string> names;
      for (const TPropInfo* p : GetPropList(target)) names.push_back(p->Name);
      Refuse("no property " + name + "; there are: " + Joined(names));
    }
    std::unique_ptr<TPropertyEditor> editor = GetPropertyEditor(&FSession.Designer(), {target}, prop);
    const TPropertyAttributes attrs = editor->GetAttributes();
    if (attrs.Contains(paReadOnly)) Refuse(name + " cannot be typed");
    if (attrs.Contains(paValueList)) {
      const std::vector<std::string> values = editor->ValueList();
      bool found = false;
      for (const std::string& v : values) found = found || v == value;
      // Field names must be one of the list; other lists (enumerations) are
      // checked by the editor itself, which also takes numbers.
      if (!found && dynamic_cast<TDBStringProperty*>(editor.get()) != nullptr)
        Refuse("'" + value + "' is not a value of " + name + "; the editor offers: " + Joined(values));
      try {
        editor->SetValue(value);
      } catch (const EPropertyError& E) {
        Refuse(E.Message() + "; the editor offers: " + Joined(values));
      }
      return;
    }
    try {
      editor->SetValue(value);
    } catch (const EPropertyError& E) {
      Refuse(E.Message());
    }
  }

  TDesignSession& FSession;
  TRixDBGridColumnsEditor* FEditor;
  std::string FCommand;
};

} // namespace

void RunDesignScript(TDesignSession& S, const std::string& Script) {
  TScriptRunner runner(S);
  std::istringstream in(Script);
  for (std::string command; std::getline(in, command, ';');) {
    command = Trim(command);
    if (!command.empty()) runner.Run(command);
  }
}

} // namespace rixgrid
