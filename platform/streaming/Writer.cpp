#include "platform/streaming/Filer.h"
#include "platform/streaming/ComponentStreams.h"

#include <cstring>

namespace {
// Restores a value on scope exit (prefix and ancestor while writing nested
// objects).
template <typename T>
struct TRestore {
  T& Ref;
  T Saved;
  explicit TRestore(T& R) : Ref(R), Saved(R) {}
  ~TRestore() { Ref = std::move(Saved); }
  TRestore(const TRestore&) = delete;
  TRestore& operator=(const TRestore&) = delete;
};

struct TWritingState {
  TComponent* C;
  explicit TWritingState(TComponent* Component) : C(Component) { C->SetWriting(true); }
  ~TWritingState() { C->SetWriting(false); }
  TWritingState(const TWritingState&) = delete;
  TWritingState& operator=(const TWritingState&) = delete;
};
} // namespace

void TWriter::WriteError(const std::string& Msg) const {
  std::string path = PropPath();
  throw EWriteError(path.empty() ? Msg : Msg + " (property " + path + ")");
}

void TWriter::WriteValue(TValueType Value) {
  std::uint8_t b = Value;
  Bytes(&b, 1);
}

void TWriter::WriteSignature() { Bytes("TPF0", 4); }

void TWriter::WriteInteger(std::int64_t Value) {
  std::uint8_t buf[5];
  int n;
  if (Value >= -128 && Value <= 127) {
    buf[0] = vaInt8;
    n = 1;
  } else if (Value >= -32768 && Value <= 32767) {
    buf[0] = vaInt16;
    n = 2;
  } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
    buf[0] = vaInt32;
    n = 4;
  } else {
    WriteError("Integer " + std::to_string(Value) + " does not fit in 32 bits");
  }
  auto u = static_cast<std::uint32_t>(static_cast<std::int32_t>(Value));
  for (int i = 0; i < n; ++i) buf[1 + i] = static_cast<std::uint8_t>(u >> (8 * i));
  Bytes(buf, n + 1);
}

void TWriter::WriteStr(const std::string& Value) {
  if (Value.size() > 255) WriteError("Short string of " + std::to_string(Value.size()) + " bytes exceeds 255");
  std::uint8_t len = static_cast<std::uint8_t>(Value.size());
  Bytes(&len, 1);
  Bytes(Value.data(), static_cast<std::int64_t>(Value.size()));
}

void TWriter::WriteString(const std::string& Value) {
  if (Value.size() <= 255) {
    WriteValue(vaString);
    WriteStr(Value);
    return;
  }
  if (Value.size() > static_cast<size_t>(INT32_MAX)) WriteError("String too long for a stream");
  WriteValue(vaLString);
  auto u = static_cast<std::uint32_t>(Value.size());
  std::uint8_t len[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24)};
  Bytes(len, 4);
  Bytes(Value.data(), static_cast<std::int64_t>(Value.size()));
}

void TWriter::WriteIdent(const std::string& Ident) {
  if (Ident == "False") return WriteValue(vaFalse);
  if (Ident == "True") return WriteValue(vaTrue);
  if (Ident == "nil") return WriteValue(vaNil);
  WriteValue(vaIdent);
  WriteStr(Ident);
}

void TWriter::WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }

void TWriter::WriteSet(const std::vector<std::string>& Names) {
  WriteValue(vaSet);
  for (const std::string& n : Names) {
    if (n.empty()) WriteError("Empty set element name");
    WriteStr(n);
  }
  WriteStr("");
}

void TWriter::WriteBinary(const std::string& Data) {
  if (Data.size() > static_cast<size_t>(INT32_MAX)) WriteError("Binary value too long for a stream");
  WriteValue(vaBinary);
  auto u = static_cast<std::uint32_t>(Data.size());
  std::uint8_t len[4] = {std::uint8_t(u), std::uint8_t(u >> 8), std::uint8_t(u >> 16), std::uint8_t(u >> 24)};
  Bytes(len, 4);
  Bytes(Data.data(), static_cast<std::int64_t>(Data.size()));
}

void TWriter::WritePrefix(int Flags, std::int32_t ChildPos) {
  if (Flags == 0) return;
  std::uint8_t b = static_cast<std::uint8_t>(0xF0 | (Flags & 0x0F));
  Bytes(&b, 1);
  if (Flags & ffChildPos) WriteInteger(ChildPos);
}

void TWriter::WriteDescendent(TComponent* Root, TComponent* AAncestor) {
  FRoot = Root;
  FLookupRoot = Root;
  FAncestor = AAncestor;
  WriteSignature();
  WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
  TWritingState writing(Component);
  TRestore<std::string> prefix(FPropPrefix);
  FPropPrefix.clear();
  WriteStr(Component->ClassName());
  WriteStr(Component->Name());
  {
    TPathScope scope(*this, Component == FRoot ? std::string() : Component->Name());
    WriteProperties(Component);
    WriteListEnd();
    TRestore<TPersistent*> ancestor(FAncestor);
    FAncestor = nullptr;
    Component->GetChildren([this](TComponent* Child) { WriteComponent(Child); }, FRoot);
  }
  WriteListEnd();
}

void TWriter::WriteProperties(TPersistent* Instance) {
  const TClassInfo* ci = GetClassInfo(Instance);
  TRestore<TPersistent*> ancestor(FAncestor);
  if (FAncestor != nullptr && GetClassInfo(FAncestor) != ci) FAncestor = nullptr;
  if (ci != nullptr) {
    for (const TPropInfo* p : ci->Properties()) {
      if (!p->IsStored(Instance)) continue;
      TPathScope scope(*this, p->Name);
      WriteProperty(Instance, *p);
    }
    for (const TDefinePropertiesHook* h : ci->DefineHooks()) (*h)(Instance, *this);
  }
  Instance->DefineProperties(this);
}

void TWriter::WritePropName(const std::string& Name) { WriteStr(FPropPrefix + Name); }

void TWriter::WriteProperty(TPersistent* Instance, const TPropInfo& Prop) {
  TPersistent* anc = FAncestor;
  switch (Prop.Kind()) {
  case tkInteger:
  case tkChar:
  case tkEnumeration:
  case tkSet:
    if (Prop.SetOrd) WriteOrdProp(Instance, Prop);
    break;
  case tkLString:
  case tkString: {
    if (!Prop.SetStr) break;
    std::string v = Prop.GetStr(Instance);
    if (anc != nullptr ? v == Prop.GetStr(anc) : v.empty()) break;
    WritePropName(Prop.Name);
    WriteString(v);
    break;
  }
  case tkClass:
    WriteObjectProp(Instance, Prop);
    break;
  case tkMethod: {
    if (!Prop.SetMethod) break;
    std::string v = Prop.GetMethodName(Instance);
    if (anc != nullptr ? v == Prop.GetMethodName(anc) : v.empty()) break;
    WritePropName(Prop.Name);
    if (v.empty())
      WriteValue(vaNil);
    else
      WriteIdent(v);
    break;
  }
  default:
    WriteError("Property type of " + Prop.Name + " cannot be streamed");
  }
}

void TWriter::WriteOrdProp(TPersistent* Instance, const TPropInfo& Prop) {
  std::int64_t v = Prop.GetOrd(Instance);
  if (FAncestor != nullptr) {
    if (v == Prop.GetOrd(FAncestor)) return;
  } else if (Prop.Default && v == *Prop.Default) {
    return;
  }
  const TTypeInfo& t = *Prop.PropType;
  WritePropName(Prop.Name);
  switch (t.Kind) {
  case tkInteger: {
    std::string ident;
    if (auto toIdent = FindIntToIdent(&t); toIdent && toIdent(v, ident))
      WriteIdent(ident);
    else
      WriteInteger(v);
    break;
  }
  case tkEnumeration:
    if (t.IsBoolean()) {
      WriteBoolean(v != 0);
    } else {
      if (v < 0 || v >= static_cast<std::int64_t>(t.Names.size()))
        WriteError("Value " + std::to_string(v) + " is not a " + t.Name);
      WriteIdent(t.Names[static_cast<size_t>(v)]);
    }
    break;
  case tkSet: {
    std::vector<std::string> names;
    auto bits = static_cast<std::uint64_t>(v);
    for (size_t i = 0; i < t.CompType->Names.size(); ++i)
      if (bits & (std::uint64_t(1) << i)) names.push_back(t.CompType->Names[i]);
    WriteSet(names);
    break;
  }
  default:
    WriteInteger(v);
  }
}

std::string TWriter::ReferenceName(TComponent* Component) const {
  if (Component == FLookupRoot) return "Owner";
  if (Component->Owner() == FLookupRoot) return Component->Name();
  if (Component->Owner() != nullptr && !Component->Owner()->Name().empty() && !Component->Name().empty())
    return Component->Owner()->Name() + "." + Component->Name();
  return Component->Name();
}

void TWriter::WriteObjectProp(TPersistent* Instance, const TPropInfo& Prop) {
  TPersistent* obj = Prop.GetObj(Instance);
  TPersistent* ancObj = FAncestor != nullptr ? Prop.GetObj(FAncestor) : nullptr;
  if (obj == nullptr) {
    if (ancObj != nullptr && Prop.SetObj) {
      WritePropName(Prop.Name);
      WriteValue(vaNil);
    }
    return;
  }
  if (auto* coll = dynamic_cast<TCollection*>(obj)) {
    auto* ancColl = dynamic_cast<TCollection*>(ancObj);
    if (ancColl != nullptr && CollectionsEqual(coll, ancColl, FLookupRoot, nullptr)) return;
    WritePropName(Prop.Name);
    TRestore<TPersistent*> ancestor(FAncestor);
    FAncestor = nullptr;
    WriteCollection(coll);
    return;
  }
  if (auto* comp = dynamic_cast<TComponent*>(obj)) {
    if (!Prop.SetObj) return;
    std::string name = ReferenceName(comp);
    if (name.empty()) return;
    if (auto* ancComp = dynamic_cast<TComponent*>(ancObj); ancComp != nullptr && ReferenceName(ancComp) == name)
      return;
    WritePropName(Prop.Name);
    WriteIdent(name);
    return;
  }
  // A nested persistent: its own properties under "Name.".
  TRestore<std::string> prefix(FPropPrefix);
  TRestore<TPersistent*> ancestor(FAncestor);
  FPropPrefix += Prop.Name + ".";
  FAncestor = ancObj;
  WriteProperties(obj);
}

void TWriter::WriteCollection(TCollection* Value) {
  WriteValue(vaCollection);
  if (Value != nullptr) {
    TRestore<std::string> prefix(FPropPrefix);
    TRestore<TPersistent*> ancestor(FAncestor);
    FPropPrefix.clear();
    FAncestor = nullptr;
    for (int i = 0; i < Value->Count(); ++i) {
      TPathScope scope(*this, "[" + std::to_string(i) + "]");
      WriteListBegin();
      WriteProperties(Value->Items(i));
      WriteListEnd();
    }
  }
  WriteListEnd();
}

void TWriter::DefineProperty(const std::string& Name, TReaderProc, TWriterProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TPathScope scope(*this, Name);
  WritePropName(Name);
  WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, TStreamProc, TStreamProc WriteData, bool HasData) {
  if (!HasData || !WriteData) return;
  TPathScope scope(*this, Name);
  TMemoryStream data;
  WriteData(data);
  WritePropName(Name);
  WriteBinary(data.DataString());
}
