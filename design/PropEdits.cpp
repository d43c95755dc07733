#include "design/PropEdits.h"

#include <charconv>

TTypeKinds tkAny() { return TTypeKinds::FromInt(~std::uint64_t(0)); }

namespace {

std::string Trimmed(const std::string& S) {
  const size_t b = S.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return S.substr(b, S.find_last_not_of(" \t") - b + 1);
}

[[noreturn]] void InvalidValue(const std::string& Value, const TPropInfo* Prop) {
  throw EPropertyError("Invalid property value '" + Value + "' for " + Prop->Name);
}

// What a property held before SetEach touched it, to put back when a later
// object refuses the value.
struct TSavedValue {
  TPersistent* Instance = nullptr;
  std::int64_t Ord = 0;
  std::string Str;
  TPersistent* Obj = nullptr;
};

TSavedValue Save(const TPropInfo* P, TPersistent* Instance) {
  TSavedValue s;
  s.Instance = Instance;
  if (P->GetOrd) s.Ord = P->GetOrd(Instance);
  else if (P->GetStr) s.Str = P->GetStr(Instance);
  else if (P->GetObj) s.Obj = P->GetObj(Instance);
  return s;
}

void Restore(const TPropInfo* P, const TSavedValue& S) {
  if (P->SetOrd) P->SetOrd(S.Instance, S.Ord);
  else if (P->SetStr) P->SetStr(S.Instance, S.Str);
  else if (P->SetObj) P->SetObj(S.Instance, S.Obj);
}

} // namespace

// ---- TPropertyEditor ---------------------------------------------------------

TPropertyEditor::TPropertyEditor(IDesigner* ADesigner, TDesignerSelections Components, const TPropInfo* Prop)
    : FDesigner(ADesigner), FComponents(std::move(Components)), FProp(Prop) {
  if (FComponents.empty() || FProp == nullptr)
    throw EInvalidOperation("A property editor needs a property and at least one object");
}

TPersistent* TPropertyEditor::GetComponent(int Index) const {
  if (Index < 0 || Index >= PropCount())
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
  return FComponents[static_cast<size_t>(Index)];
}

void TPropertyEditor::SetValue(const std::string&) {
  throw EPropertyError("Property " + FProp->Name + " cannot be set from a text");
}

std::vector<std::string> TPropertyEditor::ValueList() const {
  TStringList list;
  GetValues([&list](const std::string& S) { list.Add(S); });
  if (GetAttributes().Contains(paSortList)) list.Sort();
  std::vector<std::string> r;
  for (int i = 0; i < list.Count(); ++i) r.push_back(list.Get(i));
  return r;
}

void TPropertyEditor::Modified() {
  if (FDesigner != nullptr) FDesigner->Modified();
}

void TPropertyEditor::SetEach(const std::function<void(TPersistent*)>& Set) {
  if (!FProp->HasSetter()) throw EPropertyError("Property " + FProp->Name + " is read-only");
  std::vector<TSavedValue> saved;
  try {
    for (TPersistent* c : FComponents) {
      saved.push_back(Save(FProp, c));
      Set(c);
    }
  } catch (...) {
    // The objects already changed go back, so a refused value leaves the
    // selection as it was.
    for (auto it = saved.rbegin(); it != saved.rend(); ++it) {
      try {
        Restore(FProp, *it);
      } catch (...) {
      }
    }
    throw;
  }
  Modified();
}

// ---- ordinal kinds -----------------------------------------------------------

std::string TIntegerProperty::GetValue() const {
  const std::int64_t v = GetPropInfo()->GetOrd(GetComponent(0));
  std::string ident;
  if (TIntToIdent toIdent = FindIntToIdent(GetPropInfo()->PropType); toIdent && toIdent(v, ident)) return ident;
  return std::to_string(v);
}

void TIntegerProperty::SetValue(const std::string& Value) {
  const TPropInfo* p = GetPropInfo();
  const std::string s = Trimmed(Value);
  std::int64_t v = 0;
  TIdentToInt toInt = FindIdentToInt(p->PropType);
  if (!(toInt && toInt(s, v))) {
    const char* end = s.data() + s.size();
    auto [ptr, ec] = std::from_chars(s.data() + (s.starts_with('+') ? 1 : 0), end, v);
    if (s.empty() || ec != std::errc() || ptr != end) InvalidValue(Value, p);
  }
  if (v < p->PropType->MinValue || v > p->PropType->MaxValue)
    throw EPropertyError(p->Name + " must be from " + std::to_string(p->PropType->MinValue) + " to " +
                         std::to_string(p->PropType->MaxValue) + ", not " + s);
  SetEach([&](TPersistent* c) { p->SetOrd(c, v); });
}

std::string TEnumProperty::GetValue() const {
  const std::int64_t v = GetPropInfo()->GetOrd(GetComponent(0));
  const auto& names = GetPropInfo()->PropType->Names;
  return v >= 0 && v < static_cast<std::int64_t>(names.size()) ? names[static_cast<size_t>(v)] : std::to_string(v);
}

void TEnumProperty::SetValue(const std::string& Value) {
  const TPropInfo* p = GetPropInfo();
  const int i = p->PropType->IndexOfName(Trimmed(Value));
  if (i < 0) InvalidValue(Value, p);
  SetEach([&](TPersistent* c) { p->SetOrd(c, i); });
}

void TEnumProperty::GetValues(const TGetStrProc& Proc) const {
  for (const std::string& n : GetPropInfo()->PropType->Names) Proc(n);
}

std::string TSetProperty::GetValue() const {
  const std::uint64_t v = static_cast<std::uint64_t>(GetPropInfo()->GetOrd(GetComponent(0)));
  const auto& names = GetPropInfo()->PropType->CompType->Names;
  std::string r;
  for (size_t i = 0; i < names.size(); ++i)
    if (v & (std::uint64_t(1) << i)) r += (r.empty() ? "" : ",") + names[i];
  return "[" + r + "]";
}

void TSetProperty::SetValue(const std::string& Value) {
  const TPropInfo* p = GetPropInfo();
  std::string s = Trimmed(Value);
  if (s.size() < 2 || s.front() != '[' || s.back() != ']') InvalidValue(Value, p);
  s = s.substr(1, s.size() - 2);
  std::uint64_t bits = 0;
  size_t start = 0;
  while (!Trimmed(s).empty()) {
    const size_t comma = s.find(',', start);
    const std::string ident = Trimmed(s.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    const int i = p->PropType->CompType->IndexOfName(ident);
    if (i < 0) InvalidValue(Value, p);
    bits |= std::uint64_t(1) << i;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  SetEach([&](TPersistent* c) { p->SetOrd(c, static_cast<std::int64_t>(bits)); });
}

// ---- strings, objects, events ------------------------------------------------

std::string TStringProperty::GetValue() const { return GetPropInfo()->GetStr(GetComponent(0)); }

void TStringProperty::SetValue(const std::string& Value) {
  const TPropInfo* p = GetPropInfo();
  SetEach([&](TPersistent* c) { p->SetStr(c, Value); });
}

std::string TClassProperty::GetValue() const { return "(" + GetPropInfo()->PropType->Name + ")"; }

std::string TComponentProperty::GetValue() const {
  auto* c = dynamic_cast<TComponent*>(GetPropInfo()->GetObj(GetComponent(0)));
  return c != nullptr ? c->Name() : "";
}

void TComponentProperty::SetValue(const std::string& Value) {
  const TPropInfo* p = GetPropInfo();
  const std::string name = Trimmed(Value);
  TComponent* target = nullptr;
  if (!name.empty()) {
    TComponent* root = Designer() != nullptr ? Designer()->Root() : nullptr;
    if (root != nullptr) target = SameText(root->Name(), name) ? root : root->FindComponent(name);
    if (target == nullptr) InvalidValue(Value, p);
  }
  SetEach([&](TPersistent* c) { p->SetObj(c, target); });
}

std::string TMethodProperty::GetValue() const { return GetPropInfo()->GetMethodName(GetComponent(0)); }

void TDBStringProperty::GetValues(const TGetStrProc& Proc) const {
  TStringList list;
  GetValueList(&list);
  for (int i = 0; i < list.Count(); ++i) Proc(list.Get(i));
}
