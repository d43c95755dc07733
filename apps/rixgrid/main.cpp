// rixgrid: command-line tool for column sets and grids. See Commands.h.
#include "apps/rixgrid/Commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return rixgrid::RunTool(args);
}
