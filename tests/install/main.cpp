// Uses the installed library through its umbrella header.
#include <RixDBGrids.h>

#include <iostream>

int main() {
  TStringList list;
  list.Add("顧客番号");
  TComponent root(nullptr);
  root.SetName("Root");
  TMemoryStream stream;
  WriteComponent(stream, &root);
  std::string text = rix::BinaryToText(stream.DataString());
  if (text != "object Root: TComponent\nend\n" || rix::TextToBinary(text) != stream.DataString()) {
    std::cerr << "unexpected stream text: " << text;
    return 1;
  }
  std::cout << "consumer ok: " << list.Strings(0) << "\n";
  return 0;
}
