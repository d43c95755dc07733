// rixgrid stream dump FILE | stream build TEXTFILE -o FILE: the text form of
// component streams, both ways, without knowing the classes inside.
#include "apps/rixgrid/Commands.h"

#include <RixDBGrids.h>

#include <iostream>

namespace rixgrid {
namespace {

int RunDump(const std::vector<std::string>& Args) {
  if (Args.size() != 1) throw TUsageError{"expected one stream file"};
  std::string text;
  try {
    text = rix::BinaryToText(ReadFileBytes(Args[0]));
  } catch (const EReadError& E) {
    throw EReadError(Args[0] + ": " + E.Message());
  }
  std::cout << text;
  return 0;
}

int RunBuild(const std::vector<std::string>& Args) {
  std::string input, output;
  for (size_t i = 0; i < Args.size(); ++i) {
    if (Args[i] == "-o") {
      if (i + 1 >= Args.size()) throw TUsageError{"-o needs a file name"};
      output = Args[++i];
    } else if (input.empty()) {
      input = Args[i];
    } else {
      throw TUsageError{"unexpected argument '" + Args[i] + "'"};
    }
  }
  if (input.empty() || output.empty()) throw TUsageError{"expected a text file and -o FILE"};
  std::string binary;
  try {
    binary = rix::TextToBinary(ReadFileBytes(input));
  } catch (const EParserError& E) {
    throw EParserError(input + ": " + E.Message());
  }
  WriteFileBytes(output, binary);
  return 0;
}

TCommandRegistration DumpReg({"stream", "dump"}, "FILE", "print a component stream (TPF0) in its text form", RunDump);
TCommandRegistration BuildReg({"stream", "build"}, "TEXTFILE -o FILE",
                              "turn the text form back into the identical binary stream", RunBuild);

} // namespace
} // namespace rixgrid
