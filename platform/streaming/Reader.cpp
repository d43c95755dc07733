#include "platform/streaming/Filer.h"

#include <algorithm>

namespace {
bool IsIntTag(TValueType V) { return V == vaInt8 || V == vaInt16 || V == vaInt32; }

std::vector<std::string> SplitPath(const std::string& Name) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t dot = Name.find('.', start);
    parts.push_back(Name.substr(start, dot == std::string::npos ? std::string::npos : dot - start));
    if (dot == std::string::npos) break;
    start = dot + 1;
  }
  return parts;
}
} // namespace

struct TReader::TDepthScope {
  TReader& R;
  explicit TDepthScope(TReader& Reader) : R(Reader) {
    if (R.FDepth >= MaxDepth) R.ReadError("Stream nested more than " + std::to_string(MaxDepth) + " levels deep");
    ++R.FDepth;
  }
  ~TDepthScope() { --R.FDepth; }
  TDepthScope(const TDepthScope&) = delete;
  TDepthScope& operator=(const TDepthScope&) = delete;
};

TReader::TReader(TStream& Stream) : TFiler(Stream) {
  FPos = Stream.Position();
  FEnd = std::max(FPos, Stream.Size());
  FValueStart = FPos;
}

TReader::~TReader() = default;

void TReader::ErrorAt(std::int64_t Offset, const std::string& Msg) const {
  std::string path = PropPath();
  std::string m = Msg + " at offset " + std::to_string(Offset);
  if (!path.empty()) m += " (property " + path + ")";
  throw EReadError(m);
}

void TReader::ReadBytes(void* Buffer, std::int64_t Count) {
  if (Count < 0 || Count > FEnd - FPos) ErrorAt(FPos, "Unexpected end of stream");
  if (Count == 0) return;
  if (FStream.Read(Buffer, Count) != Count) ErrorAt(FPos, "Unexpected end of stream");
  FPos += Count;
}

std::uint8_t TReader::ReadByte() {
  std::uint8_t b;
  ReadBytes(&b, 1);
  return b;
}

std::int64_t TReader::ReadLength() {
  std::uint8_t b[4];
  ReadBytes(b, 4);
  std::int64_t n = std::int64_t(b[0]) | std::int64_t(b[1]) << 8 | std::int64_t(b[2]) << 16 | std::int64_t(b[3]) << 24;
  // Lengths are signed in the format; checked against what is left before
  // anything is allocated.
  if (n > INT32_MAX) ErrorAt(FPos - 4, "Negative length");
  if (n > FEnd - FPos)
    ErrorAt(FPos - 4, "Length " + std::to_string(n) + " exceeds the " + std::to_string(FEnd - FPos) + " bytes left");
  return n;
}

TValueType TReader::ReadValue() {
  FValueStart = FPos;
  std::uint8_t b = ReadByte();
  if (b > vaUTF8String) ReadError("Invalid value tag " + std::to_string(b));
  return static_cast<TValueType>(b);
}

TValueType TReader::NextValue() {
  // A peek, not checked: a component's prefix byte ($F0 and up) is peeked
  // where a list may end.
  std::int64_t start = FPos;
  FValueStart = FPos;
  std::uint8_t b = ReadByte();
  FStream.Seek(start, soBeginning);
  FPos = start;
  return static_cast<TValueType>(b);
}

bool TReader::EndOfList() { return NextValue() == vaNull; }

void TReader::CheckValue(TValueType Value) {
  TValueType v = ReadValue();
  if (v != Value) ReadError(std::string("Expected ") + ValueTypeName(Value) + ", found " + ValueTypeName(v));
}

void TReader::ReadSignature() {
  FValueStart = FPos;
  char sig[4] = {};
  if (Remaining() < 4) ReadError("Invalid stream format: no TPF0 signature");
  ReadBytes(sig, 4);
  if (std::string(sig, 4) != "TPF0") ReadError("Invalid stream format: no TPF0 signature");
}

std::int32_t TReader::ReadInteger() {
  TValueType v = ReadValue();
  std::uint8_t b[4] = {};
  switch (v) {
  case vaInt8:
    ReadBytes(b, 1);
    return static_cast<std::int8_t>(b[0]);
  case vaInt16:
    ReadBytes(b, 2);
    return static_cast<std::int16_t>(std::uint16_t(b[0] | b[1] << 8));
  case vaInt32:
    ReadBytes(b, 4);
    return static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 |
                                     std::uint32_t(b[3]) << 24);
  default:
    ReadError(std::string("Expected an integer, found ") + ValueTypeName(v));
  }
}

std::string TReader::ReadStr() {
  std::uint8_t len = ReadByte();
  if (len > Remaining()) ErrorAt(FPos - 1, "Length " + std::to_string(len) + " exceeds the " +
                                               std::to_string(Remaining()) + " bytes left");
  std::string s(len, '\0');
  ReadBytes(s.data(), len);
  return s;
}

std::string TReader::ReadString() {
  TValueType v = ReadValue();
  if (v == vaString) return ReadStr();
  if (v == vaLString) {
    std::int64_t n = ReadLength();
    std::string s(static_cast<size_t>(n), '\0');
    ReadBytes(s.data(), n);
    return s;
  }
  ReadError(std::string("Expected a string, found ") + ValueTypeName(v));
}

std::string TReader::ReadIdent() {
  TValueType v = ReadValue();
  switch (v) {
  case vaIdent:
    return ReadStr();
  case vaFalse:
    return "False";
  case vaTrue:
    return "True";
  case vaNil:
    return "nil";
  default:
    ReadError(std::string("Expected an identifier, found ") + ValueTypeName(v));
  }
}

bool TReader::ReadBoolean() {
  TValueType v = ReadValue();
  if (v == vaTrue) return true;
  if (v == vaFalse) return false;
  ReadError(std::string("Expected a Boolean, found ") + ValueTypeName(v));
}

std::vector<std::string> TReader::ReadSetNames() {
  std::vector<std::string> names;
  for (;;) {
    std::string s = ReadStr();
    if (s.empty()) return names;
    names.push_back(std::move(s));
  }
}

std::string TReader::ReadBinary() {
  CheckValue(vaBinary);
  std::int64_t n = ReadLength();
  std::string s(static_cast<size_t>(n), '\0');
  ReadBytes(s.data(), n);
  return s;
}

void TReader::ReadPrefix(int& Flags, std::int32_t& ChildPos) {
  Flags = 0;
  ChildPos = 0;
  if (Remaining() < 1) return;
  std::int64_t start = FPos;
  std::uint8_t b = ReadByte();
  if ((b & 0xF0) != 0xF0) {
    FStream.Seek(start, soBeginning);
    FPos = start;
    return;
  }
  Flags = b & 0x0F;
  if (Flags & ffChildPos) ChildPos = ReadInteger();
}

void TReader::Guard(std::int64_t Offset, const std::function<void()>& Apply) const {
  try {
    Apply();
  } catch (const EReadError&) {
    throw;
  } catch (const EAbort&) {
    throw;
  } catch (const Exception& E) {
    ErrorAt(Offset, E.Message());
  }
}

// ---- components ------------------------------------------------------------

TComponent* TReader::ReadRootComponent(TComponent* Root) {
  ReadSignature();
  int flags;
  std::int32_t childPos;
  ReadPrefix(flags, childPos);
  std::int64_t headerStart = FPos;
  std::string className = ReadStr();
  std::string name = ReadStr();
  bool created = false;
  if (Root == nullptr) {
    TComponentFactory make = FindComponentClass(className);
    if (!make) ErrorAt(headerStart, "Class " + className + " not found");
    Guard(headerStart, [&] { Root = make(nullptr); });
    created = true;
  }
  FRoot = Root;
  FLookupRoot = Root;
  size_t loadedIndex = 0;
  try {
    if (Root->Name() != name) Guard(headerStart, [&] { Root->SetName(name); });
    Root->SetLoading(true);
    Root->SetReading(true);
    FLoaded.push_back(Root);
    ReadComponentBody(Root);
    FixupReferences();
    for (TComponent* c : FLoaded) c->SetReading(false);
    for (; loadedIndex < FLoaded.size(); ++loadedIndex) FLoaded[loadedIndex]->Loaded();
  } catch (...) {
    for (size_t i = loadedIndex; i < FLoaded.size(); ++i) {
      FLoaded[i]->SetLoading(false);
      FLoaded[i]->SetReading(false);
    }
    FLoaded.clear();
    FFixups.clear();
    if (created) {
      delete Root;
    } else {
      for (auto it = FCreated.rbegin(); it != FCreated.rend(); ++it) delete *it;
    }
    FCreated.clear();
    throw;
  }
  FLoaded.clear();
  FCreated.clear();
  return Root;
}

void TReader::ReadComponentBody(TComponent* Component) {
  TDepthScope depth(*this);
  FHolders.push_back(Component);
  struct TPop {
    std::vector<TPersistent*>& V;
    ~TPop() { V.pop_back(); }
  } pop{FHolders};
  while (!EndOfList()) ReadProperty(Component);
  ReadListEnd();
  while (!EndOfList()) ReadChild(Component);
  ReadListEnd();
}

TComponent* TReader::ReadChild(TComponent* Parent) {
  int flags;
  std::int32_t childPos;
  std::int64_t start = FPos;
  ReadPrefix(flags, childPos);
  std::string className = ReadStr();
  std::string name = ReadStr();
  TPathScope scope(*this, name.empty() ? className : name);
  TComponent* c = nullptr;
  if (flags & (ffInherited | ffInline)) {
    c = FRoot->FindComponent(name);
    if (c == nullptr) ErrorAt(start, "Ancestor component " + name + " not found");
  } else {
    TComponentFactory make = FindComponentClass(className);
    if (!make) ErrorAt(start, "Class " + className + " not found");
    Guard(start, [&] { c = make(FRoot); });
    FCreated.push_back(c);
    Guard(start, [&] { c->SetName(name); });
  }
  c->SetLoading(true);
  c->SetReading(true);
  FLoaded.push_back(c);
  ReadComponentBody(c);
  return c;
}

// ---- properties ------------------------------------------------------------

void TReader::ReadProperty(TPersistent* Instance) {
  std::int64_t start = FPos;
  FValueStart = start;
  std::string name = ReadStr();
  TPathScope scope(*this, name);
  if (name.empty()) ErrorAt(start, "Empty property name");
  std::vector<std::string> parts = SplitPath(name);
  TPersistent* obj = Instance;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    const TPropInfo* p = GetPropInfo(obj, parts[i]);
    TPersistent* sub = p != nullptr && p->GetObj ? p->GetObj(obj) : nullptr;
    if (sub == nullptr || dynamic_cast<TComponent*>(sub) != nullptr || dynamic_cast<TCollection*>(sub) != nullptr)
      ErrorAt(start, "Property " + name + " does not exist");
    obj = sub;
  }
  const std::string& last = parts.back();
  if (const TPropInfo* p = GetPropInfo(obj, last)) {
    ReadPropValue(obj, *p);
    return;
  }
  // Not published: perhaps a property the object defines for streams.
  std::string savedName = FPropName;
  bool savedFound = FPropFound;
  FPropName = last;
  FPropFound = false;
  struct TRestoreDefine {
    TReader& R;
    std::string Name;
    bool Found;
    ~TRestoreDefine() {
      R.FPropName = Name;
      R.FPropFound = Found;
    }
  } restore{*this, savedName, savedFound};
  if (const TClassInfo* ci = GetClassInfo(obj))
    for (const TDefinePropertiesHook* h : ci->DefineHooks()) {
      (*h)(obj, *this);
      if (FPropFound) return;
    }
  obj->DefineProperties(this);
  if (!FPropFound) ErrorAt(start, "Property " + name + " does not exist");
}

void TReader::DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc, bool) {
  if (FPropFound || !ReadData || FPropName.empty() || !SameText(Name, FPropName)) return;
  FPropFound = true;
  std::int64_t start = FPos;
  Guard(start, [&] { ReadData(*this); });
}

void TReader::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc, bool) {
  if (FPropFound || !ReadData || FPropName.empty() || !SameText(Name, FPropName)) return;
  FPropFound = true;
  std::int64_t start = FPos;
  std::string bytes = ReadBinary();
  TMemoryStream data(bytes);
  Guard(start, [&] { ReadData(data); });
}

void TReader::ReadPropValue(TPersistent* Instance, const TPropInfo& Prop) {
  std::int64_t start = FPos;
  switch (Prop.Kind()) {
  case tkInteger:
  case tkChar:
  case tkEnumeration:
  case tkSet: {
    if (!Prop.SetOrd) ErrorAt(start, "Property " + Prop.Name + " is read-only");
    std::int64_t v = ReadOrdValue(Prop);
    Guard(start, [&] { Prop.SetOrd(Instance, v); });
    break;
  }
  case tkLString:
  case tkString: {
    if (!Prop.SetStr) ErrorAt(start, "Property " + Prop.Name + " is read-only");
    std::string s = ReadString();
    Guard(start, [&] { Prop.SetStr(Instance, s); });
    break;
  }
  case tkClass:
    ReadObjectValue(Instance, Prop);
    break;
  case tkMethod:
    ReadMethodValue(Instance, Prop);
    break;
  default:
    ErrorAt(start, "Property " + Prop.Name + " cannot be read from a stream");
  }
}

std::int64_t TReader::ReadOrdValue(const TPropInfo& Prop) {
  const TTypeInfo& t = *Prop.PropType;
  switch (t.Kind) {
  case tkInteger: {
    std::int64_t v;
    if (NextValue() == vaIdent) {
      std::string ident = ReadIdent();
      TIdentToInt toInt = FindIdentToInt(&t);
      if (!toInt || !toInt(ident, v)) ReadError("Invalid property value " + ident);
    } else {
      v = ReadInteger();
    }
    if (v < t.MinValue || v > t.MaxValue) ReadError("Property value " + std::to_string(v) + " out of range");
    return v;
  }
  case tkEnumeration: {
    if (t.IsBoolean()) return ReadBoolean() ? 1 : 0;
    std::string ident = ReadIdent();
    int i = t.IndexOfName(ident);
    if (i < 0) ReadError("Invalid property value " + ident);
    return i;
  }
  case tkSet: {
    CheckValue(vaSet);
    std::uint64_t bits = 0;
    for (const std::string& n : ReadSetNames()) {
      int i = t.CompType->IndexOfName(n);
      if (i < 0) ReadError("Invalid set element " + n);
      bits |= std::uint64_t(1) << i;
    }
    return static_cast<std::int64_t>(bits);
  }
  default:
    ReadError("Property " + Prop.Name + " cannot be read from a stream");
  }
}

void TReader::ReadObjectValue(TPersistent* Instance, const TPropInfo& Prop) {
  std::int64_t start = FPos;
  TValueType v = NextValue();
  if (v == vaCollection) {
    ReadValue();
    auto* coll = dynamic_cast<TCollection*>(Prop.GetObj(Instance));
    if (coll == nullptr) ErrorAt(start, "Property " + Prop.Name + " is not a collection");
    ReadCollection(coll);
    return;
  }
  if (!Prop.SetObj) {
    ReadValue();
    ErrorAt(start, "Invalid property value");
  }
  if (v == vaNil) {
    ReadValue();
    Guard(start, [&] { Prop.SetObj(Instance, nullptr); });
    return;
  }
  if (v != vaIdent) {
    ReadValue();
    ErrorAt(start, std::string("Invalid property value: expected a component name, found ") + ValueTypeName(v));
  }
  std::string name = ReadIdent();
  // Resolved once the whole stream is read: the component may come later.
  FFixups.push_back({Instance, &Prop, name, PropPath(), start, FHolders});
}

void TReader::ReadMethodValue(TPersistent* Instance, const TPropInfo& Prop) {
  std::int64_t start = FPos;
  if (!Prop.SetMethod) ErrorAt(start, "Property " + Prop.Name + " is read-only");
  TValueType v = ReadValue();
  if (v == vaNil) {
    Guard(start, [&] { Prop.SetMethod(Instance, std::string(), std::any()); });
    return;
  }
  if (v != vaIdent) ErrorAt(start, std::string("Expected a method name, found ") + ValueTypeName(v));
  std::string name = ReadStr();
  const TClassInfo* rootInfo = FLookupRoot != nullptr ? GetClassInfo(FLookupRoot) : nullptr;
  const TMethodBinder* m = rootInfo != nullptr ? rootInfo->FindMethod(name) : nullptr;
  if (m == nullptr) ErrorAt(start, "Method " + name + " not found");
  Guard(start, [&] { Prop.SetMethod(Instance, name, (*m)(FLookupRoot)); });
}

void TReader::ReadCollection(TCollection* Collection) {
  TDepthScope depth(*this);
  rix::TUpdateBracket<TCollection> bracket(*Collection);
  if (!EndOfList()) {
    std::vector<TPersistent*> old;
    for (int i = 0; i < Collection->Count(); ++i) old.push_back(Collection->Items(i));
    DropFixups(old);
    Collection->Clear();
  }
  for (int i = 0; !EndOfList(); ++i) {
    if (IsIntTag(NextValue())) ReadInteger();
    std::int64_t start = FPos;
    TPathScope scope(*this, "[" + std::to_string(i) + "]");
    TCollectionItem* item = nullptr;
    Guard(start, [&] { item = Collection->Add(); });
    FHolders.push_back(item);
    struct TPop {
      std::vector<TPersistent*>& V;
      ~TPop() { V.pop_back(); }
    } pop{FHolders};
    ReadListBegin();
    while (!EndOfList()) ReadProperty(item);
    ReadListEnd();
  }
  ReadListEnd();
}

void TReader::DropFixups(const std::vector<TPersistent*>& Freed) {
  if (Freed.empty()) return;
  std::erase_if(FFixups, [&](const TFixup& F) {
    return std::any_of(F.Holders.begin(), F.Holders.end(), [&](TPersistent* H) {
      return std::find(Freed.begin(), Freed.end(), H) != Freed.end();
    });
  });
}

TComponent* TReader::FindReference(const std::string& Name) const {
  if (SameText(Name, "Owner")) return FLookupRoot;
  size_t dot = Name.find('.');
  if (dot == std::string::npos) {
    if (!FRoot->Name().empty() && SameText(FRoot->Name(), Name)) return FRoot;
    return FRoot->FindComponent(Name);
  }
  std::string ownerName = Name.substr(0, dot);
  TComponent* owner = !FRoot->Name().empty() && SameText(FRoot->Name(), ownerName) ? FRoot
                                                                                  : FRoot->FindComponent(ownerName);
  if (owner == nullptr) owner = FindGlobalComponent(ownerName);
  return owner != nullptr ? owner->FindComponent(Name.substr(dot + 1)) : nullptr;
}

void TReader::FixupReferences() {
  std::vector<TFixup> fixups = std::move(FFixups);
  FFixups.clear();
  std::vector<std::string> savedPath = FPath;
  for (const TFixup& f : fixups) {
    // A reference to a component that is not there stays nil, like the
    // framework's unresolved fixups.
    TComponent* c = FindReference(f.Name);
    if (c == nullptr) continue;
    FPath = {f.Path};
    Guard(f.Offset, [&] { f.Prop->SetObj(f.Instance, c); });
  }
  FPath = savedPath;
}
