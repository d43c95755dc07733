#include "platform/data/DB.h"

void DatabaseError(const std::string& Message, TComponent* Component) {
  if (Component != nullptr && !Component->Name().empty()) throw EDatabaseError(Component->Name() + ": " + Message);
  throw EDatabaseError(Message);
}

void DatabaseErrorFmt(const char* Fmt, const std::string& Arg, TComponent* Component) {
  std::string s(Fmt);
  size_t p = s.find("%s");
  if (p != std::string::npos) s.replace(p, 2, Arg);
  DatabaseError(s, Component);
}

const char* FieldTypeName(TFieldType T) {
  static const char* const Names[] = {
      "Unknown", "String", "Smallint", "Integer", "Word", "Boolean", "Float", "Currency", "BCD", "Date",
      "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic", "FmtMemo", "ParadoxOle",
      "DBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString", "Largeint", "ADT", "Array", "Reference",
      "DataSet"};
  int i = static_cast<int>(T);
  return i >= 0 && i < static_cast<int>(sizeof(Names) / sizeof(Names[0])) ? Names[i] : "Unknown";
}
