// rixgrid design DB [--table T] [--form FORMFILE] [--columns FILE] [-o OUT]
//   opens the grid of FORMFILE (and/or the column set FILE) on table T of DB
//   in design mode: one window with the grid and a property panel for what
//   is selected, and the columns editor in a window of its own. A click on a
//   column's title selects it. Ctrl+S writes the grid back to FORMFILE as a
//   form file in the text form, or, with -o, the column set to OUT. Each
//   selection and each save is told on stdout ("selected column 2",
//   "saved FILE"), for scripts that drive the windows.
//
// rixgrid design run DB [--table T] [--form FORMFILE] [--columns FILE]
//                    --do "add; set 0 FieldName=price; up 1" [-o OUT] [--png P]
//   does the same without a window: the commands (see DesignScript.cpp) go
//   through the columns editor, then OUT gets the grid as a form file in the
//   text form and P a picture of the grid beside the editor. A command the
//   editor refuses stops the run, and nothing is written.
#include "apps/rixgrid/Commands.h"
#include "apps/rixgrid/DesignSession.h"

#include <cairo.h>

#include <iostream>

namespace rixgrid {
namespace {

constexpr int MainWidth = 900, MainHeight = 420;
constexpr int EditorWidth = 260, EditorHeight = 300;

// The two windows side by side in one picture, as they stand on the screen.
void SavePicture(TDesignSession& S, const std::string& FileName) {
  THeadlessHost main(S.Form(), MainWidth, MainHeight);
  THeadlessHost editor(S.Editor(), EditorWidth, EditorHeight);
  main.Paint();
  editor.Paint();
  constexpr int gap = 12;
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, MainWidth + gap + EditorWidth, MainHeight);
  cairo_t* cr = cairo_create(out);
  cairo_set_source_rgb(cr, 0.36, 0.42, 0.52);
  cairo_paint(cr);
  cairo_set_source_surface(cr, main.Painter().Surface(), 0, 0);
  cairo_paint(cr);
  cairo_set_source_surface(cr, editor.Painter().Surface(), MainWidth + gap, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  const cairo_status_t status = cairo_surface_write_to_png(out, FileName.c_str());
  cairo_surface_destroy(out);
  if (status != CAIRO_STATUS_SUCCESS) throw EFCreateError("Cannot create file \"" + FileName + "\"");
}

int RunDesignScriptCommand(const std::vector<std::string>& Args) {
  const TDesignOptions o = ParseDesignOptions(Args, true);
  TDesignSession s(o);
  RunDesignScript(s, o.Script);
  if (!o.Out.empty()) {
    s.Save(o.Out, false);
    std::cout << o.Out << "\n";
  }
  if (!o.Png.empty()) {
    SavePicture(s, o.Png);
    std::cout << o.Png << "\n";
  }
  return 0;
}

// Tells stdout what the designer selects.
class TSelectionEcho : public IDesignNotification {
public:
  explicit TSelectionEcho(IDesigner* D) : FDesigner(D) { RegisterDesignNotification(this); }
  ~TSelectionEcho() { UnregisterDesignNotification(this); }
  void SelectionChanged(IDesigner* ADesigner, const TDesignerSelections& S) override {
    if (ADesigner != FDesigner || S.size() != 1) return;
    if (auto* column = dynamic_cast<TRixColumn*>(S[0])) std::cout << "selected column " << column->Index() << std::endl;
    else std::cout << "selected " << S[0]->ClassName() << std::endl;
  }

private:
  IDesigner* FDesigner;
};

int RunDesignWindow(const std::vector<std::string>& Args) {
  const TDesignOptions o = ParseDesignOptions(Args, false);
  TDesignSession s(o);
  TSelectionEcho echo(&s.Designer());
  const bool columnSet = !o.Out.empty();
  const std::string target = columnSet ? o.Out : o.FormFile;
  auto save = [&s, &target, columnSet](TObject*, unsigned short& Key, TShiftState Shift) {
    if (Key != 'S' || !Shift.Contains(ssCtrl)) return;
    Key = 0;
    if (target.empty()) {
      std::cerr << "rixgrid: nothing to save to: give --form FORMFILE or -o OUT\n";
      return;
    }
    try {
      s.Save(target, columnSet);
      std::cout << "saved " << target << std::endl;
    } catch (const Exception& E) {
      MessageDlg(E.Message(), mtError, TMsgDlgButtons{mbOK}, 0);
    }
  };
  TRixDBGridColumnsEditor* editor = s.Editor();
  for (TCustomForm* f : {static_cast<TCustomForm*>(s.Form()), static_cast<TCustomForm*>(editor)}) {
    f->SetKeyPreview(true);
    f->SetOnKeyDown(save);
  }
  TSdlHost main(s.Form(), MainWidth, MainHeight, "rixgrid design " + o.Database);
  main.SetPosition(20, 40);
  TSdlHost editorWindow(editor, EditorWidth, EditorHeight, editor->Caption());
  editorWindow.SetPosition(20 + MainWidth + 16, 40);
  return main.Run();
}

TCommandRegistration WindowReg({"design"}, "DB [--table T] [--form FORMFILE] [--columns FILE] [-o OUT]",
                               "lay out a grid's columns in the columns editor; Ctrl+S saves the form file "
                               "(or the column set with -o)",
                               RunDesignWindow);
TCommandRegistration RunReg({"design", "run"},
                            "DB [--table T] [--form FORMFILE] [--columns FILE] --do \"COMMANDS\" [-o OUT] [--png P]",
                            "run columns-editor commands without a window and write the form file", 
                            RunDesignScriptCommand);

} // namespace
} // namespace rixgrid
