// Text form to binary component stream.
#include "platform/streaming/Filer.h"
#include "platform/streaming/TextForm.h"

#include <cstdint>

namespace {

enum TTokenKind { tkEof, tkSymbol, tkName, tkInt, tkStr };

struct TToken {
  TTokenKind Kind = tkEof;
  std::string Text;     // name, string bytes, or the symbol
  std::int64_t Int = 0;
  int Line = 1;
};

bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool IsDigit(char C) { return C >= '0' && C <= '9'; }
bool IsIdentChar(char C) { return IsIdentStart(C) || IsDigit(C); }
int HexValue(char C) {
  if (IsDigit(C)) return C - '0';
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  return -1;
}

class TParser {
public:
  TParser(const std::string& Text, TWriter& W) : FS(Text), FW(W) { Next(); }

  void Run() {
    Object();
    if (FTok.Kind != tkEof) Error("Expected the end of the text after the root object's end");
  }

private:
  [[noreturn]] void Error(const std::string& Msg) const {
    throw EParserError("Line " + std::to_string(FTok.Line) + ": " + Msg);
  }

  void SkipBlanks() {
    while (FI < FS.size()) {
      char c = FS[FI];
      if (c == '\n') {
        ++FLine;
        ++FI;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        ++FI;
      } else {
        break;
      }
    }
  }

  std::int64_t Number(bool Negative) {
    std::int64_t v = 0;
    bool hex = FI < FS.size() && FS[FI] == '$';
    if (hex) ++FI;
    size_t start = FI;
    while (FI < FS.size() && (hex ? HexValue(FS[FI]) >= 0 : IsDigit(FS[FI]))) {
      v = v * (hex ? 16 : 10) + (hex ? HexValue(FS[FI]) : FS[FI] - '0');
      if (v > (std::int64_t(1) << 32)) Error("Integer out of range");
      ++FI;
    }
    if (FI == start) Error("Expected digits");
    if (FI < FS.size() && (IsIdentChar(FS[FI]) || FS[FI] == '.')) Error("Invalid number");
    if (hex && v > UINT32_MAX) Error("Integer out of range");
    if (hex && !Negative) v = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    v = Negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX) Error("Integer out of range");
    return v;
  }

  // One string literal: quoted parts and #n bytes, joined by '+' across lines.
  std::string StringLiteral() {
    std::string r;
    for (;;) {
      if (FI < FS.size() && FS[FI] == '\'') {
        ++FI;
        for (;;) {
          if (FI >= FS.size() || FS[FI] == '\n') Error("Unterminated string");
          if (FS[FI] == '\'') {
            if (FI + 1 < FS.size() && FS[FI + 1] == '\'') {
              r += '\'';
              FI += 2;
              continue;
            }
            ++FI;
            break;
          }
          r += FS[FI++];
        }
      } else if (FI < FS.size() && FS[FI] == '#') {
        ++FI;
        std::int64_t b = Number(false);
        if (b < 0 || b > 255) Error("#" + std::to_string(b) + " is not a byte");
        r += static_cast<char>(b);
      } else {
        break;
      }
      size_t save = FI;
      int saveLine = FLine;
      SkipBlanks();
      if (FI < FS.size() && FS[FI] == '+') {
        ++FI;
        SkipBlanks();
        if (FI >= FS.size() || (FS[FI] != '\'' && FS[FI] != '#')) Error("Expected a string after +");
      } else if (!(FI == save && FI < FS.size() && (FS[FI] == '\'' || FS[FI] == '#'))) {
        FI = save;
        FLine = saveLine;
        break;
      }
    }
    return r;
  }

  void Next() {
    SkipBlanks();
    FTok = TToken();
    FTok.Line = FLine;
    if (FI >= FS.size()) return;
    char c = FS[FI];
    if (IsIdentStart(c)) {
      size_t start = FI;
      while (FI < FS.size() && (IsIdentChar(FS[FI]) || (FS[FI] == '.' && FI + 1 < FS.size() && IsIdentStart(FS[FI + 1]))))
        ++FI;
      FTok.Kind = tkName;
      FTok.Text = FS.substr(start, FI - start);
    } else if (IsDigit(c) || c == '$' || (c == '-' && FI + 1 < FS.size() && (IsDigit(FS[FI + 1]) || FS[FI + 1] == '$'))) {
      bool neg = c == '-';
      if (neg) ++FI;
      FTok.Kind = tkInt;
      FTok.Int = Number(neg);
    } else if (c == '\'' || c == '#') {
      FTok.Kind = tkStr;
      FTok.Text = StringLiteral();
    } else {
      FTok.Kind = tkSymbol;
      FTok.Text = std::string(1, c);
      ++FI;
    }
  }

  bool IsSymbol(char C) const { return FTok.Kind == tkSymbol && FTok.Text[0] == C; }
  bool IsKeyword(const char* K) const { return FTok.Kind == tkName && SameText(FTok.Text, K); }
  void Expect(char C) {
    if (!IsSymbol(C)) Error(std::string("Expected '") + C + "'");
    Next();
  }
  std::string Name(const char* What) {
    if (FTok.Kind != tkName) Error(std::string("Expected ") + What);
    std::string s = FTok.Text;
    if (s.size() > 255) Error(std::string(What) + " longer than 255 bytes");
    Next();
    return s;
  }

  // A name followed by '=' starts a property, whatever the name (a property
  // may be called End or Item).
  bool AtProperty() const {
    if (FTok.Kind != tkName) return false;
    size_t i = FI;
    while (i < FS.size() && (FS[i] == ' ' || FS[i] == '\t' || FS[i] == '\r' || FS[i] == '\n')) ++i;
    return i < FS.size() && FS[i] == '=';
  }

  // Class and component names have no dots.
  std::string PlainName(const char* What) {
    if (FTok.Kind == tkName && FTok.Text.find('.') != std::string::npos) Error(std::string("Expected ") + What);
    return Name(What);
  }

  void Deeper() {
    if (++FDepth > TReader::MaxDepth) Error("Text nested too deeply");
  }

  void Object() {
    Deeper();
    int flags = 0;
    if (IsKeyword("inherited"))
      flags = ffInherited;
    else if (IsKeyword("inline"))
      flags = ffInline;
    else if (!IsKeyword("object"))
      Error("Expected object, inherited or inline");
    Next();
    std::string first = PlainName("a class name");
    std::string name, cls = first;
    if (IsSymbol(':')) {
      Next();
      name = first;
      cls = PlainName("a class name");
    }
    // The class name's length byte comes first in an object without
    // flags; from 240 on it reads as a flags byte and the stream is lost.
    if (cls.size() >= 0xF0) Error("a class name longer than 239 bytes");
    std::int32_t pos = 0;
    if (IsSymbol('[')) {
      Next();
      if (FTok.Kind != tkInt) Error("Expected a child position");
      pos = static_cast<std::int32_t>(FTok.Int);
      flags |= ffChildPos;
      Next();
      Expect(']');
    }
    FW.WritePrefix(flags, pos);
    FW.WriteStr(cls);
    FW.WriteStr(name);
    while (AtProperty()) Property();
    FW.WriteListEnd();
    while (IsKeyword("object") || IsKeyword("inherited") || IsKeyword("inline")) Object();
    FW.WriteListEnd();
    if (!IsKeyword("end")) Error("Expected end");
    Next();
    --FDepth;
  }

  void Property() {
    std::string name = Name("a property name");
    FW.WriteStr(name);
    Expect('=');
    Value();
  }

  void Value() {
    Deeper();
    switch (FTok.Kind) {
    case tkInt:
      FW.WriteInteger(FTok.Int);
      Next();
      break;
    case tkStr:
      FW.WriteString(FTok.Text);
      Next();
      break;
    case tkName:
      FW.WriteIdent(Name("an identifier"));
      break;
    case tkSymbol:
      switch (FTok.Text[0]) {
      case '[': {
        Next();
        std::vector<std::string> names;
        while (!IsSymbol(']')) {
          names.push_back(Name("a set element"));
          if (IsSymbol(',')) {
            Next();
            if (IsSymbol(']')) Error("Expected a set element");
          } else if (!IsSymbol(']')) {
            Error("Expected ',' or ']'");
          }
        }
        Next();
        FW.WriteSet(names);
        break;
      }
      case '(':
        Next();
        FW.WriteListBegin();
        while (!IsSymbol(')')) {
          if (FTok.Kind == tkEof) Error("Expected ')'");
          Value();
        }
        Next();
        FW.WriteListEnd();
        break;
      case '<':
        Next();
        FW.WriteValue(vaCollection);
        while (!IsSymbol('>')) {
          if (!IsKeyword("item")) Error("Expected item or '>'");
          Next();
          if (IsSymbol('[')) {
            Next();
            if (FTok.Kind != tkInt) Error("Expected an item order");
            FW.WriteInteger(FTok.Int);
            Next();
            Expect(']');
          }
          FW.WriteListBegin();
          while (AtProperty()) Property();
          if (!IsKeyword("end")) Error("Expected end");
          Next();
          FW.WriteListEnd();
        }
        Next();
        FW.WriteListEnd();
        break;
      case '{':
        FW.WriteBinary(HexData());
        Next();
        break;
      default:
        Error("Invalid property value '" + FTok.Text + "'");
      }
      break;
    case tkEof:
      Error("Unexpected end of text");
    }
    --FDepth;
  }

  // The hex digits after '{', up to '}'; FI is just past the '{'.
  std::string HexData() {
    std::string r;
    int high = -1;
    for (;;) {
      SkipBlanks();
      if (FI >= FS.size()) Error("Expected '}'");
      char c = FS[FI++];
      if (c == '}') break;
      int v = HexValue(c);
      if (v < 0) Error("Invalid binary data");
      if (high < 0) {
        high = v;
      } else {
        r += static_cast<char>(high << 4 | v);
        high = -1;
      }
    }
    if (high >= 0) Error("Binary data has an odd number of hex digits");
    FTok.Line = FLine;
    return r;
  }

  const std::string& FS;
  TWriter& FW;
  size_t FI = 0;
  int FLine = 1;
  int FDepth = 0;
  TToken FTok;
};

} // namespace

void ObjectTextToBinary(TStream& Input, TStream& Output) {
  std::int64_t n = Input.Size() - Input.Position();
  std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
  Input.ReadBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  TMemoryStream buffer;
  TWriter writer(buffer);
  writer.WriteSignature();
  try {
    TParser(text, writer).Run();
  } catch (const EWriteError& E) {
    throw EParserError(E.Message());
  }
  Output.WriteBuffer(buffer.Memory(), buffer.Size());
}
