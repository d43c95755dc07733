// Binary component stream to text.
#include "platform/streaming/Filer.h"
#include "platform/streaming/TextForm.h"

namespace {

bool IsIdentStart(char C) { return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_'; }
bool IsIdentChar(char C) { return IsIdentStart(C) || (C >= '0' && C <= '9'); }

// A dotted identifier: "Title.Font.Name", "Form1.PopupMenu1".
bool IsDottedIdent(const std::string& S) {
  bool start = true;
  for (char c : S) {
    if (start) {
      if (!IsIdentStart(c)) return false;
      start = false;
    } else if (c == '.') {
      start = true;
    } else if (!IsIdentChar(c)) {
      return false;
    }
  }
  return !start;
}

// Length of the valid UTF-8 sequence (of a character from U+0080 up) at
// S[I], or 0.
size_t Utf8Length(const std::string& S, size_t I) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(S[k]); };
  unsigned char c = b(I);
  size_t n;
  std::uint32_t cp;
  if (c >= 0xC2 && c <= 0xDF) {
    n = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (I + n > S.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((b(I + k) & 0xC0) != 0x80) return 0;
    cp = cp << 6 | (b(I + k) & 0x3F);
  }
  if ((n == 3 && cp < 0x800) || (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return n;
}

std::string Quote(const std::string& S) {
  if (S.empty()) return "''";
  std::string r;
  bool open = false;
  auto openQuote = [&] {
    if (!open) r += '\'';
    open = true;
  };
  for (size_t i = 0; i < S.size();) {
    unsigned char c = static_cast<unsigned char>(S[i]);
    if (c >= 0x20 && c < 0x7F) {
      openQuote();
      if (c == '\'') r += '\'';
      r += static_cast<char>(c);
      ++i;
    } else if (size_t n = c >= 0x80 ? Utf8Length(S, i) : 0) {
      openQuote();
      r.append(S, i, n);
      i += n;
    } else {
      if (open) r += '\'';
      open = false;
      r += '#' + std::to_string(c);
      ++i;
    }
  }
  if (open) r += '\'';
  return r;
}

class TConverter {
public:
  TConverter(TReader& R, std::string& Out) : FR(R), FOut(Out) {}

  void Object(int Indent) {
    if (++FDepth > TReader::MaxDepth) FR.ReadError("Stream nested too deeply");
    int flags;
    std::int32_t pos;
    FR.ReadPrefix(flags, pos);
    std::string cls = FR.ReadStr();
    std::string name = FR.ReadStr();
    if (!IsDottedIdent(cls) || cls.find('.') != std::string::npos) FR.ReadError("Invalid class name");
    if (!name.empty() && (!IsDottedIdent(name) || name.find('.') != std::string::npos))
      FR.ReadError("Invalid component name");
    Line(Indent);
    FOut += (flags & ffInherited) ? "inherited " : (flags & ffInline) ? "inline " : "object ";
    if (!name.empty()) FOut += name + ": ";
    FOut += cls;
    if (flags & ffChildPos) FOut += " [" + std::to_string(pos) + "]";
    FOut += '\n';
    while (!FR.EndOfList()) Property(Indent + 2);
    FR.ReadListEnd();
    while (!FR.EndOfList()) Object(Indent + 2);
    FR.ReadListEnd();
    Line(Indent);
    FOut += "end\n";
    --FDepth;
  }

private:
  void Line(int Indent) { FOut.append(static_cast<size_t>(Indent), ' '); }

  void Property(int Indent) {
    std::string name = FR.ReadStr();
    if (!IsDottedIdent(name)) FR.ReadError("Invalid property name");
    Line(Indent);
    FOut += name + " = ";
    Value(Indent + 2);
    FOut += '\n';
  }

  void Ident(const std::string& S) {
    if (!IsDottedIdent(S)) FR.ReadError("Invalid identifier");
    FOut += S;
  }

  void Value(int Indent) {
    if (++FDepth > TReader::MaxDepth) FR.ReadError("Stream nested too deeply");
    switch (FR.NextValue()) {
    case vaList:
      FR.ReadValue();
      FOut += '(';
      while (!FR.EndOfList()) {
        FOut += '\n';
        Line(Indent);
        Value(Indent + 2);
      }
      FR.ReadListEnd();
      FOut += ')';
      break;
    case vaInt8:
    case vaInt16:
    case vaInt32:
      FOut += std::to_string(FR.ReadInteger());
      break;
    case vaString:
    case vaLString:
      FOut += Quote(FR.ReadString());
      break;
    case vaIdent:
    case vaFalse:
    case vaTrue:
    case vaNil:
      Ident(FR.ReadIdent());
      break;
    case vaBinary: {
      std::string data = FR.ReadBinary();
      static const char Hex[] = "0123456789ABCDEF";
      FOut += '{';
      for (size_t i = 0; i < data.size(); ++i) {
        if (i % 32 == 0) {
          FOut += '\n';
          Line(Indent);
        }
        auto b = static_cast<unsigned char>(data[i]);
        FOut += Hex[b >> 4];
        FOut += Hex[b & 15];
      }
      FOut += '}';
      break;
    }
    case vaSet: {
      FR.ReadValue();
      FOut += '[';
      bool first = true;
      for (const std::string& n : FR.ReadSetNames()) {
        if (!first) FOut += ", ";
        first = false;
        Ident(n);
      }
      FOut += ']';
      break;
    }
    case vaCollection:
      FR.ReadValue();
      FOut += '<';
      while (!FR.EndOfList()) {
        FOut += '\n';
        Line(Indent);
        FOut += "item";
        TValueType v = FR.NextValue();
        if (v == vaInt8 || v == vaInt16 || v == vaInt32) FOut += " [" + std::to_string(FR.ReadInteger()) + "]";
        FOut += '\n';
        FR.ReadListBegin();
        while (!FR.EndOfList()) Property(Indent + 2);
        FR.ReadListEnd();
        Line(Indent);
        FOut += "end";
      }
      FR.ReadListEnd();
      FOut += '>';
      break;
    default: {
      TValueType v = FR.ReadValue();
      FR.ReadError(std::string("Unsupported value ") + ValueTypeName(v));
    }
    }
    --FDepth;
  }

  TReader& FR;
  std::string& FOut;
  int FDepth = 0;
};

} // namespace

void ObjectBinaryToText(TStream& Input, TStream& Output) {
  std::string text;
  {
    TReader reader(Input);
    reader.ReadSignature();
    TConverter(reader, text).Object(0);
    if (reader.Remaining() != 0) reader.ErrorAt(reader.Position(), "Unexpected data after the root component");
  }
  Output.WriteBytes(text);
}

namespace rix {
std::string BinaryToText(const std::string& Binary) {
  TMemoryStream in(Binary), out;
  ObjectBinaryToText(in, out);
  return out.DataString();
}
std::string TextToBinary(const std::string& Text) {
  TMemoryStream in(Text), out;
  ObjectTextToBinary(in, out);
  return out.DataString();
}
} // namespace rix
