// The published-property registry: run-time type information for the
// properties that component streams and design-time tools see.
//
// Every class that publishes properties has one TClassInfo, reached through
// the virtual TPersistent::ClassInfo(). It lists the class's properties in
// declaration order, each with its kind, type, getter, setter, declared
// default and stored predicate; the inherited properties come first. Classes
// declare their table with the RIX_PUBLISHED / RIX_IMPLEMENT_PUBLISHED
// macros and rix::TClassBuilder (ClassBuilder.h). The table is built on first
// use, so registration needs no static initialiser and survives static
// linking.
//
// Types are named and shared: IntegerTypeInfo("TColor") is the same object
// wherever it is asked for, so a unit that knows colour names registers them
// for that type with RegisterIntegerConsts, independently of the classes that
// publish colour properties.
#pragma once

#include "platform/core/Classes.h"

#include <any>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TFiler;
class TReader;
class TWriter;

// The framework's type kinds, with its ordinal values (tkClass is 7).
enum TTypeKind {
  tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
  tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};

class TTypeInfo {
public:
  TTypeKind Kind = tkUnknown;
  std::string Name;
  // Integers: the range a stream value must fall in. Enumerations: 0..Count-1.
  std::int64_t MinValue = 0;
  std::int64_t MaxValue = 0;
  // Enumerations: the identifiers in ordinal order.
  std::vector<std::string> Names;
  // Sets: the element enumeration.
  const TTypeInfo* CompType = nullptr;

  // The ordinal of an enumeration identifier (case-insensitive), or -1.
  int IndexOfName(const std::string& Ident) const;
  bool IsBoolean() const;
};

// Named types, created on first request and shared afterwards.
const TTypeInfo* IntegerTypeInfo(const std::string& Name = "Integer");
// Asking again with the same name gives the same type; different identifiers
// for an existing name raise EInvalidOperation.
const TTypeInfo* EnumTypeInfo(const std::string& Name, const std::vector<std::string>& Names);
const TTypeInfo* BooleanTypeInfo();
const TTypeInfo* StringTypeInfo();
// A set over the enumeration ElemType (at most 64 elements).
const TTypeInfo* SetTypeInfo(const std::string& Name, const TTypeInfo* ElemType);
// The type of an object property (a nested persistent, a collection or a
// component reference); which of these it is follows from the object.
const TTypeInfo* ClassTypeInfo(const std::string& ClassName);
// The type of an event property ("TNotifyEvent").
const TTypeInfo* MethodTypeInfo(const std::string& Name);
const TTypeInfo* FindTypeInfo(const std::string& Name);

// Integer-identifier mappings: an integer type whose values have names (a
// colour is written as "clWindow" when it has one, as a number otherwise).
using TIdentToInt = std::function<bool(const std::string& Ident, std::int64_t& Int)>;
using TIntToIdent = std::function<bool(std::int64_t Int, std::string& Ident)>;
// Registers the mapping for IntType; a later registration for the same type
// replaces the earlier one.
void RegisterIntegerConsts(const TTypeInfo* IntType, TIdentToInt IdentToInt, TIntToIdent IntToIdent);
// The mapping functions for IntType, or empty functions when none is registered.
TIdentToInt FindIdentToInt(const TTypeInfo* IntType);
TIntToIdent FindIntToIdent(const TTypeInfo* IntType);

// One published property. Which accessors are set depends on the kind:
// ordinal kinds (integer, enumeration, Boolean, set) use GetOrd/SetOrd,
// strings GetStr/SetStr, objects GetObj/SetObj, events GetMethodName/SetMethod.
// A missing setter makes the property read-only.
struct TPropInfo {
  std::string Name;
  const TTypeInfo* PropType = nullptr;
  // Position in the declaring class's list.
  int NameIndex = 0;
  // Declared default of an ordinal property; none means "nodefault" (always
  // written when stored).
  std::optional<std::int64_t> Default;
  // Stored predicate; none means always stored.
  std::function<bool(TPersistent*)> StoredProc;

  std::function<std::int64_t(TPersistent*)> GetOrd;
  std::function<void(TPersistent*, std::int64_t)> SetOrd;
  std::function<std::string(TPersistent*)> GetStr;
  std::function<void(TPersistent*, const std::string&)> SetStr;
  std::function<TPersistent*(TPersistent*)> GetObj;
  std::function<void(TPersistent*, TPersistent*)> SetObj;
  std::function<std::string(TPersistent*)> GetMethodName;
  // Receives the method name and the handler bound from the root's method
  // table (an empty std::any for nil).
  std::function<void(TPersistent*, const std::string&, const std::any&)> SetMethod;

  TTypeKind Kind() const { return PropType->Kind; }
  bool IsStored(TPersistent* Instance) const { return !StoredProc || StoredProc(Instance); }
  bool HasSetter() const { return SetOrd || SetStr || SetObj || SetMethod; }
};

// Creates a bound event handler (a std::function of the event's signature,
// wrapped in std::any) for one published method of Instance.
using TMethodBinder = std::function<std::any(TPersistent* Instance)>;
// Extra, non-published properties a class defines for streams, in addition
// to its virtual DefineProperties (used for classes of the core, which
// cannot see the filer).
using TDefinePropertiesHook = std::function<void(TPersistent* Instance, TFiler& Filer)>;

class TClassInfo {
public:
  TClassInfo(std::string Name, std::function<const TClassInfo*()> Parent);

  const std::string& Name() const { return FName; }
  const TClassInfo* Parent() const { return FParent ? FParent() : nullptr; }
  bool InheritsFrom(const std::string& ClassName) const;

  // Published properties: inherited ones first, each class's in declaration
  // order. A property redeclared in a subclass keeps its inherited position.
  std::vector<const TPropInfo*> Properties() const;
  // Case-insensitive; nil when the class has no such property.
  const TPropInfo* FindProperty(const std::string& Name) const;
  // A published method of this class or an ancestor, or nil.
  const TMethodBinder* FindMethod(const std::string& Name) const;
  // The define hooks of this class and its ancestors, ancestors first.
  std::vector<const TDefinePropertiesHook*> DefineHooks() const;

  // Building (used by TClassBuilder).
  TPropInfo& AddProperty(TPropInfo Prop);
  TPropInfo& LastProperty();
  void AddMethod(const std::string& Name, TMethodBinder Binder);
  void AddDefineHook(TDefinePropertiesHook Hook) { FDefineHooks.push_back(std::move(Hook)); }

private:
  std::string FName;
  std::function<const TClassInfo*()> FParent;
  std::vector<TPropInfo> FProps;
  std::vector<std::pair<std::string, TMethodBinder>> FMethods;
  std::vector<TDefinePropertiesHook> FDefineHooks;
};

// The class information of an object: its own ClassInfo(), or the built-in
// table of the nearest core class (TStrings, TCollection, TComponent ...).
const TClassInfo* GetClassInfo(const TPersistent* Instance);
// The built-in table of a core class by name (TPersistent, TComponent,
// TCollection, TCollectionItem, TStrings, TStringList ...), or nil.
const TClassInfo* BuiltinClassInfo(const std::string& ClassName);
// Keeps a class table alive for the process and returns it.
const TClassInfo* RegisterClassInfo(std::unique_ptr<TClassInfo> Info);

const TPropInfo* GetPropInfo(const TPersistent* Instance, const std::string& PropName);
std::vector<const TPropInfo*> GetPropList(const TPersistent* Instance);
bool IsPublishedProp(const TPersistent* Instance, const std::string& PropName);
// Typed access by name; an unknown property or a wrong kind raises EPropertyError.
std::int64_t GetOrdProp(TPersistent* Instance, const std::string& PropName);
void SetOrdProp(TPersistent* Instance, const std::string& PropName, std::int64_t Value);
std::string GetStrProp(TPersistent* Instance, const std::string& PropName);
void SetStrProp(TPersistent* Instance, const std::string& PropName, const std::string& Value);
std::string GetEnumProp(TPersistent* Instance, const std::string& PropName);
void SetEnumProp(TPersistent* Instance, const std::string& PropName, const std::string& Value);
TPersistent* GetObjectProp(TPersistent* Instance, const std::string& PropName);
void SetObjectProp(TPersistent* Instance, const std::string& PropName, TPersistent* Value);

// Component classes that a stream may create by name (the framework's
// RegisterClass / FindClass).
using TComponentFactory = std::function<TComponent*(TComponent* Owner)>;
void RegisterComponentClass(const std::string& ClassName, TComponentFactory Factory);
void UnRegisterComponentClass(const std::string& ClassName);
// The factory for ClassName, or an empty function.
TComponentFactory FindComponentClass(const std::string& ClassName);

RIX_DECLARE_EXCEPTION(EPropertyError, Exception);

namespace rix {
template <typename T>
void RegisterClass() {
  RegisterComponentClass(T::StaticClassName(), [](TComponent* Owner) -> TComponent* { return new T(Owner); });
}
} // namespace rix
