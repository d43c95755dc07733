// gridwindow: opens the test grid in a window, or renders it to a PNG.
//
//   gridwindow                     the grid in a window (SDL)
//   gridwindow --png out.png       the grid drawn headlessly into out.png
//   gridwindow --type TEXT ...     types TEXT into the current cell first
//   gridwindow --size 800x600 ...  the form's size
//   gridwindow --echo              prints "READY" once the window shows and
//                                  "EDIT col row text" for every edit
#include "TestGridForm.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>

namespace {
int Usage() {
  std::cerr << "usage: gridwindow [--png FILE] [--type TEXT] [--size WxH] [--echo]\n";
  return 2;
}

void LayOut(TTestGridForm& F) { F.Grid->SetBounds(0, 0, F.Form->ClientWidth(), F.Form->ClientHeight()); }
} // namespace

int main(int argc, char** argv) {
  std::string png, text;
  int width = 800, height = 600;
  bool echo = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--png" && i + 1 < argc) png = argv[++i];
    else if (a == "--type" && i + 1 < argc) text = argv[++i];
    else if (a == "--size" && i + 1 < argc) {
      if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0 || width > 10000 ||
          height > 10000)
        return Usage();
    } else if (a == "--echo") echo = true;
    else return Usage();
  }
  try {
    TTestGridForm f = CreateTestGridForm();
    std::unique_ptr<TForm> owner(f.Form);
    if (echo)
      f.Grid->SetOnSetEditText([](TObject*, int C, int R, const std::string& V) {
        std::cout << "EDIT " << C << ' ' << R << ' ' << V << std::endl;
      });
    if (!png.empty()) {
      THeadlessHost host(f.Form, width, height);
      LayOut(f);
      f.Grid->SetFocus();
      host.Key(VK_DOWN);
      if (!text.empty()) host.ImeType(text);
      host.SaveToPNG(png);
      return 0;
    }
    TSdlHost host(f.Form, width, height, "RixDBGrids test grid");
    host.SetOnResize([&f] { LayOut(f); });
    LayOut(f);
    f.Grid->SetFocus();
    if (!text.empty()) {
      TInputDelivery(host.Painter()).Text(text);
    }
    bool ready = false;
    host.SetOnIdle([&] {
      if (echo && !ready) {
        ready = true;
        std::cout << "READY" << std::endl;
      }
    });
    return host.Run();
  } catch (const std::exception& e) {
    std::cerr << "gridwindow: " << e.what() << "\n";
    return 1;
  }
}
