#include "platform/streaming/TypInfo.h"

#include <map>
#include <mutex>

namespace {

// Type and class tables live for the whole process; lookups after start-up
// are reads, but first requests may come from any thread.
std::recursive_mutex& RegistryMutex() {
  static std::recursive_mutex m;
  return m;
}

struct TTypeRegistry {
  std::map<std::string, std::unique_ptr<TTypeInfo>> Types;
  std::map<const TTypeInfo*, std::pair<TIdentToInt, TIntToIdent>> IntConsts;
  std::vector<std::unique_ptr<TClassInfo>> Classes;
  std::map<std::string, TComponentFactory> ComponentClasses;
};

TTypeRegistry& Registry() {
  static TTypeRegistry r;
  return r;
}

std::string Upper(const std::string& S) {
  std::string r = S;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return r;
}

// Returns the type registered under Name, creating it with Make when absent.
template <typename F>
const TTypeInfo* GetOrMake(const std::string& Name, F Make) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  auto& types = Registry().Types;
  auto it = types.find(Name);
  if (it != types.end()) return it->second.get();
  auto t = std::make_unique<TTypeInfo>(Make());
  t->Name = Name;
  const TTypeInfo* p = t.get();
  types.emplace(Name, std::move(t));
  return p;
}

} // namespace

// ---- TTypeInfo -------------------------------------------------------------

int TTypeInfo::IndexOfName(const std::string& Ident) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], Ident)) return static_cast<int>(i);
  return -1;
}

bool TTypeInfo::IsBoolean() const { return this == BooleanTypeInfo(); }

const TTypeInfo* IntegerTypeInfo(const std::string& Name) {
  const TTypeInfo* t = GetOrMake(Name, [] {
    TTypeInfo i;
    i.Kind = tkInteger;
    i.MinValue = INT32_MIN;
    i.MaxValue = INT32_MAX;
    return i;
  });
  if (t->Kind != tkInteger) throw EInvalidOperation("Type " + Name + " is not an integer type");
  return t;
}

const TTypeInfo* EnumTypeInfo(const std::string& Name, const std::vector<std::string>& Names) {
  if (Names.empty() || Names.size() > 256) throw EInvalidOperation("Enumeration " + Name + " needs 1 to 256 identifiers");
  const TTypeInfo* t = GetOrMake(Name, [&] {
    TTypeInfo i;
    i.Kind = tkEnumeration;
    i.Names = Names;
    i.MinValue = 0;
    i.MaxValue = static_cast<std::int64_t>(Names.size()) - 1;
    return i;
  });
  if (t->Kind != tkEnumeration || t->Names != Names)
    throw EInvalidOperation("Enumeration " + Name + " is already registered with other identifiers");
  return t;
}

const TTypeInfo* BooleanTypeInfo() {
  static const TTypeInfo* t = EnumTypeInfo("Boolean", {"False", "True"});
  return t;
}

const TTypeInfo* StringTypeInfo() {
  static const TTypeInfo* t = GetOrMake("string", [] {
    TTypeInfo i;
    i.Kind = tkLString;
    return i;
  });
  return t;
}

const TTypeInfo* SetTypeInfo(const std::string& Name, const TTypeInfo* ElemType) {
  if (ElemType == nullptr || ElemType->Kind != tkEnumeration || ElemType->Names.size() > 64)
    throw EInvalidOperation("Set " + Name + " needs an enumeration of at most 64 values");
  const TTypeInfo* t = GetOrMake(Name, [&] {
    TTypeInfo i;
    i.Kind = tkSet;
    i.CompType = ElemType;
    return i;
  });
  if (t->Kind != tkSet || t->CompType != ElemType)
    throw EInvalidOperation("Set " + Name + " is already registered over another enumeration");
  return t;
}

const TTypeInfo* ClassTypeInfo(const std::string& ClassName) {
  const TTypeInfo* t = GetOrMake(ClassName, [] {
    TTypeInfo i;
    i.Kind = tkClass;
    return i;
  });
  if (t->Kind != tkClass) throw EInvalidOperation("Type " + ClassName + " is not a class type");
  return t;
}

const TTypeInfo* MethodTypeInfo(const std::string& Name) {
  const TTypeInfo* t = GetOrMake(Name, [] {
    TTypeInfo i;
    i.Kind = tkMethod;
    return i;
  });
  if (t->Kind != tkMethod) throw EInvalidOperation("Type " + Name + " is not an event type");
  return t;
}

const TTypeInfo* FindTypeInfo(const std::string& Name) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  auto it = Registry().Types.find(Name);
  return it == Registry().Types.end() ? nullptr : it->second.get();
}

void RegisterIntegerConsts(const TTypeInfo* IntType, TIdentToInt IdentToInt, TIntToIdent IntToIdent) {
  if (IntType == nullptr || IntType->Kind != tkInteger)
    throw EInvalidOperation("Integer constants need an integer type");
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  Registry().IntConsts[IntType] = {std::move(IdentToInt), std::move(IntToIdent)};
}

TIdentToInt FindIdentToInt(const TTypeInfo* IntType) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  auto it = Registry().IntConsts.find(IntType);
  return it == Registry().IntConsts.end() ? TIdentToInt() : it->second.first;
}

TIntToIdent FindIntToIdent(const TTypeInfo* IntType) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  auto it = Registry().IntConsts.find(IntType);
  return it == Registry().IntConsts.end() ? TIntToIdent() : it->second.second;
}

// ---- TClassInfo ------------------------------------------------------------

TClassInfo::TClassInfo(std::string Name, std::function<const TClassInfo*()> Parent)
    : FName(std::move(Name)), FParent(std::move(Parent)) {}

bool TClassInfo::InheritsFrom(const std::string& ClassName) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    if (SameText(c->FName, ClassName)) return true;
  return false;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> r;
  if (const TClassInfo* p = Parent()) r = p->Properties();
  for (const TPropInfo& prop : FProps) {
    bool replaced = false;
    for (auto& q : r)
      if (SameText(q->Name, prop.Name)) {
        q = &prop;
        replaced = true;
        break;
      }
    if (!replaced) r.push_back(&prop);
  }
  return r;
}

const TPropInfo* TClassInfo::FindProperty(const std::string& Name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    for (const TPropInfo& p : c->FProps)
      if (SameText(p.Name, Name)) return &p;
  return nullptr;
}

const TMethodBinder* TClassInfo::FindMethod(const std::string& Name) const {
  for (const TClassInfo* c = this; c != nullptr; c = c->Parent())
    for (const auto& m : c->FMethods)
      if (SameText(m.first, Name)) return &m.second;
  return nullptr;
}

std::vector<const TDefinePropertiesHook*> TClassInfo::DefineHooks() const {
  std::vector<const TDefinePropertiesHook*> r;
  if (const TClassInfo* p = Parent()) r = p->DefineHooks();
  for (const auto& h : FDefineHooks) r.push_back(&h);
  return r;
}

TPropInfo& TClassInfo::AddProperty(TPropInfo Prop) {
  if (Prop.PropType == nullptr) throw EInvalidOperation("Property " + FName + "." + Prop.Name + " has no type");
  for (const TPropInfo& p : FProps)
    if (SameText(p.Name, Prop.Name)) throw EInvalidOperation("Property " + FName + "." + Prop.Name + " is declared twice");
  Prop.NameIndex = static_cast<int>(FProps.size());
  FProps.push_back(std::move(Prop));
  return FProps.back();
}

TPropInfo& TClassInfo::LastProperty() {
  if (FProps.empty()) throw EInvalidOperation("Class " + FName + " has no property yet");
  return FProps.back();
}

void TClassInfo::AddMethod(const std::string& Name, TMethodBinder Binder) {
  FMethods.emplace_back(Name, std::move(Binder));
}

const TClassInfo* RegisterClassInfo(std::unique_ptr<TClassInfo> Info) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  Registry().Classes.push_back(std::move(Info));
  return Registry().Classes.back().get();
}

// ---- property access by name -----------------------------------------------

const TPropInfo* GetPropInfo(const TPersistent* Instance, const std::string& PropName) {
  const TClassInfo* ci = Instance != nullptr ? GetClassInfo(Instance) : nullptr;
  return ci != nullptr ? ci->FindProperty(PropName) : nullptr;
}

std::vector<const TPropInfo*> GetPropList(const TPersistent* Instance) {
  const TClassInfo* ci = Instance != nullptr ? GetClassInfo(Instance) : nullptr;
  return ci != nullptr ? ci->Properties() : std::vector<const TPropInfo*>{};
}

bool IsPublishedProp(const TPersistent* Instance, const std::string& PropName) {
  return GetPropInfo(Instance, PropName) != nullptr;
}

namespace {
const TPropInfo& NeedProp(const TPersistent* Instance, const std::string& PropName, bool Ok(const TPropInfo&)) {
  const TPropInfo* p = GetPropInfo(Instance, PropName);
  if (p == nullptr) throw EPropertyError("Property " + PropName + " does not exist");
  if (!Ok(*p)) throw EPropertyError("Property " + PropName + " is of another kind");
  return *p;
}
bool IsOrd(const TPropInfo& P) { return static_cast<bool>(P.GetOrd); }
bool IsStr(const TPropInfo& P) { return static_cast<bool>(P.GetStr); }
bool IsObj(const TPropInfo& P) { return static_cast<bool>(P.GetObj); }
bool IsEnum(const TPropInfo& P) { return P.Kind() == tkEnumeration; }
void NeedSetter(bool Has, const std::string& PropName) {
  if (!Has) throw EPropertyError("Property " + PropName + " is read-only");
}
} // namespace

std::int64_t GetOrdProp(TPersistent* Instance, const std::string& PropName) {
  return NeedProp(Instance, PropName, IsOrd).GetOrd(Instance);
}

void SetOrdProp(TPersistent* Instance, const std::string& PropName, std::int64_t Value) {
  const TPropInfo& p = NeedProp(Instance, PropName, IsOrd);
  NeedSetter(static_cast<bool>(p.SetOrd), PropName);
  p.SetOrd(Instance, Value);
}

std::string GetStrProp(TPersistent* Instance, const std::string& PropName) {
  return NeedProp(Instance, PropName, IsStr).GetStr(Instance);
}

void SetStrProp(TPersistent* Instance, const std::string& PropName, const std::string& Value) {
  const TPropInfo& p = NeedProp(Instance, PropName, IsStr);
  NeedSetter(static_cast<bool>(p.SetStr), PropName);
  p.SetStr(Instance, Value);
}

std::string GetEnumProp(TPersistent* Instance, const std::string& PropName) {
  const TPropInfo& p = NeedProp(Instance, PropName, IsEnum);
  std::int64_t v = p.GetOrd(Instance);
  if (v < 0 || v >= static_cast<std::int64_t>(p.PropType->Names.size()))
    throw EPropertyError("Property " + PropName + " holds no valid " + p.PropType->Name);
  return p.PropType->Names[static_cast<size_t>(v)];
}

void SetEnumProp(TPersistent* Instance, const std::string& PropName, const std::string& Value) {
  const TPropInfo& p = NeedProp(Instance, PropName, IsEnum);
  NeedSetter(static_cast<bool>(p.SetOrd), PropName);
  int i = p.PropType->IndexOfName(Value);
  if (i < 0) throw EPropertyError("Invalid property value " + Value + " for " + PropName);
  p.SetOrd(Instance, i);
}

TPersistent* GetObjectProp(TPersistent* Instance, const std::string& PropName) {
  return NeedProp(Instance, PropName, IsObj).GetObj(Instance);
}

void SetObjectProp(TPersistent* Instance, const std::string& PropName, TPersistent* Value) {
  const TPropInfo& p = NeedProp(Instance, PropName, IsObj);
  NeedSetter(static_cast<bool>(p.SetObj), PropName);
  p.SetObj(Instance, Value);
}

// ---- component classes -----------------------------------------------------

void RegisterComponentClass(const std::string& ClassName, TComponentFactory Factory) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  Registry().ComponentClasses[Upper(ClassName)] = std::move(Factory);
}

void UnRegisterComponentClass(const std::string& ClassName) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  Registry().ComponentClasses.erase(Upper(ClassName));
}

TComponentFactory FindComponentClass(const std::string& ClassName) {
  std::lock_guard<std::recursive_mutex> lock(RegistryMutex());
  auto it = Registry().ComponentClasses.find(Upper(ClassName));
  return it == Registry().ComponentClasses.end() ? TComponentFactory() : it->second;
}
