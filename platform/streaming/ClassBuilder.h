// Declaring a class's published properties.
//
//   // In the class:
//   class TMyItem : public TCollectionItem {
//     RIX_CLASS_NAME(TMyItem)
//     RIX_PUBLISHED(TMyItem)
//     ...
//   };
//
//   // In its .cpp, once:
//   RIX_IMPLEMENT_PUBLISHED(TMyItem, TCollectionItem)
//   void TMyItem::DeclareProperties(rix::TClassBuilder<TMyItem>& B) {
//     B.Property("Alignment", AlignmentType(), &TMyItem::Alignment, &TMyItem::SetAlignment)
//         .Stored(&TMyItem::IsAlignmentStored);
//     B.Property("Width", IntegerTypeInfo(), &TMyItem::Width, &TMyItem::SetWidth).Default(64);
//     B.Property("Color", IntegerTypeInfo("TColor"), &TMyItem::Color, &TMyItem::SetColor);
//     B.Property("Title", ClassTypeInfo("TMyTitle"), &TMyItem::Title, &TMyItem::SetTitle);
//   }
//
// Properties are listed in declaration order. The getter is a member function
// or a callable taking T*; the setter a member function, a callable taking
// (T*, value), or nullptr for a read-only property. The value type follows
// from the getter: integers, enumerations, bool and TSet map to the ordinal
// kinds, std::string to strings, a pointer to a TPersistent subclass to an
// object property. Default() and Stored() apply to the property declared last.
//
// A nested persistent (a title, a font) is an object property whose getter
// returns the owned object: the stream writes its own published properties
// under the dotted path ("Title.Font.Name"). A collection property is written
// as a collection, a component property as a reference by name.
#pragma once

#include "platform/core/Checked.h"
#include "platform/streaming/TypInfo.h"

#include <concepts>
#include <functional>
#include <type_traits>
#include <utility>

class TFiler;

namespace rix {

template <typename T>
concept SetLike = requires(T S) {
  { S.ToInt() } -> std::convertible_to<std::uint64_t>;
  T::FromInt(std::uint64_t{});
};

template <typename V>
std::int64_t ToOrd(const V& Value) {
  if constexpr (std::is_same_v<V, bool>)
    return Value ? 1 : 0;
  else if constexpr (std::is_enum_v<V>)
    return static_cast<std::int64_t>(Value);
  else if constexpr (std::is_integral_v<V>)
    return static_cast<std::int64_t>(Value);
  else if constexpr (SetLike<V>)
    return static_cast<std::int64_t>(Value.ToInt());
  else
    static_assert(sizeof(V) == 0, "not an ordinal property type");
}

template <typename V>
V FromOrd(std::int64_t Value) {
  if constexpr (std::is_same_v<V, bool>)
    return Value != 0;
  else if constexpr (std::is_enum_v<V>)
    return static_cast<V>(CheckedCast<std::underlying_type_t<V>>(Value));
  else if constexpr (std::is_integral_v<V>)
    return CheckedCast<V>(Value);
  else if constexpr (SetLike<V>)
    return V::FromInt(static_cast<std::uint64_t>(Value));
  else
    static_assert(sizeof(V) == 0, "not an ordinal property type");
}

template <typename T>
const TClassInfo* StaticClassInfoOf() {
  if constexpr (requires { T::StaticClassInfo(); })
    return T::StaticClassInfo();
  else
    return BuiltinClassInfo(T::StaticClassName());
}

template <typename T>
class TClassBuilder {
public:
  explicit TClassBuilder(TClassInfo& Info) : FInfo(Info) {}

  template <typename G, typename S>
  TClassBuilder& Property(std::string Name, const TTypeInfo* Type, G Get, S Set) {
    using V = std::decay_t<std::invoke_result_t<G, T*>>;
    TPropInfo p;
    p.Name = std::move(Name);
    p.PropType = Type;
    if (Type == nullptr) throw EInvalidOperation("Property " + p.Name + " needs a type");
    constexpr bool hasSet = !std::is_same_v<S, std::nullptr_t>;
    if constexpr (std::is_same_v<V, std::string>) {
      Require(Type->Kind == tkLString || Type->Kind == tkString, p.Name);
      p.GetStr = [Get](TPersistent* O) { return std::string(std::invoke(Get, Cast(O))); };
      if constexpr (hasSet)
        p.SetStr = [Set](TPersistent* O, const std::string& Value) { std::invoke(Set, Cast(O), Value); };
    } else if constexpr (std::is_pointer_v<V>) {
      using X = std::remove_cv_t<std::remove_pointer_t<V>>;
      static_assert(std::is_base_of_v<TPersistent, X>, "object properties hold TPersistent descendants");
      Require(Type->Kind == tkClass, p.Name);
      p.GetObj = [Get](TPersistent* O) -> TPersistent* { return const_cast<X*>(std::invoke(Get, Cast(O))); };
      if constexpr (hasSet)
        p.SetObj = [Set](TPersistent* O, TPersistent* Value) {
          X* x = nullptr;
          if (Value != nullptr) {
            x = dynamic_cast<X*>(Value);
            if (x == nullptr)
              throw EInvalidCast(std::string("A ") + Value->ClassName() + " is not a " + X::StaticClassName());
          }
          std::invoke(Set, Cast(O), x);
        };
    } else {
      Require(Type->Kind == tkInteger || Type->Kind == tkEnumeration || Type->Kind == tkSet || Type->Kind == tkChar,
              p.Name);
      p.GetOrd = [Get](TPersistent* O) { return ToOrd<V>(std::invoke(Get, Cast(O))); };
      if constexpr (hasSet)
        p.SetOrd = [Set](TPersistent* O, std::int64_t Value) { std::invoke(Set, Cast(O), FromOrd<V>(Value)); };
    }
    FInfo.AddProperty(std::move(p));
    return *this;
  }

  // The declared default of the last ordinal property: it is written only
  // when its value differs.
  TClassBuilder& Default(std::int64_t Value) {
    FInfo.LastProperty().Default = Value;
    return *this;
  }

  // The stored predicate of the last property: a member function, a callable
  // taking T*, or a constant (false: never written).
  template <typename P>
  TClassBuilder& Stored(P Pred) {
    if constexpr (std::is_same_v<P, bool>)
      FInfo.LastProperty().StoredProc = [Pred](TPersistent*) { return Pred; };
    else
      FInfo.LastProperty().StoredProc = [Pred](TPersistent* O) { return static_cast<bool>(std::invoke(Pred, Cast(O))); };
    return *this;
  }

  // An event property. GetName gives the name of the handler's method (empty
  // when none); Set receives the method name and the handler bound to the
  // stream's root (an empty function for nil).
  template <typename Sig, typename G, typename S>
  TClassBuilder& Event(std::string Name, const TTypeInfo* Type, G GetName, S Set) {
    TPropInfo p;
    p.Name = std::move(Name);
    p.PropType = Type;
    Require(Type != nullptr && Type->Kind == tkMethod, p.Name);
    p.GetMethodName = [GetName](TPersistent* O) { return std::string(std::invoke(GetName, Cast(O))); };
    p.SetMethod = [Set, PropName = p.Name](TPersistent* O, const std::string& Method, const std::any& Handler) {
      std::function<Sig> h;
      if (Handler.has_value()) {
        auto* f = std::any_cast<std::function<Sig>>(&Handler);
        if (f == nullptr) throw EInvalidCast("Method " + Method + " does not fit the event " + PropName);
        h = *f;
      }
      std::invoke(Set, Cast(O), Method, std::move(h));
    };
    FInfo.AddProperty(std::move(p));
    return *this;
  }

  // A published method that streams may name as an event handler.
  template <typename Sig, typename M>
  TClassBuilder& Method(const std::string& Name, M Member) {
    FInfo.AddMethod(Name, [Member](TPersistent* Instance) -> std::any {
      T* self = Cast(Instance);
      return std::any(std::function<Sig>(
          [self, Member](auto&&... Args) -> decltype(auto) { return std::invoke(Member, self, std::forward<decltype(Args)>(Args)...); }));
    });
    return *this;
  }

  // Extra stream properties, called with the filer like DefineProperties.
  template <typename F>
  TClassBuilder& DefineProperties(F Hook) {
    FInfo.AddDefineHook([Hook](TPersistent* O, TFiler& Filer) { std::invoke(Hook, Cast(O), Filer); });
    return *this;
  }

private:
  static T* Cast(TPersistent* O) { return static_cast<T*>(O); }
  static void Require(bool Ok, const std::string& Name) {
    if (!Ok) throw EInvalidOperation("Property " + Name + ": the type does not fit the getter");
  }
  TClassInfo& FInfo;
};

template <typename T, typename Base>
const TClassInfo* BuildClassInfo(const char* Name, void (*Declare)(TClassBuilder<T>&)) {
  auto info = std::make_unique<TClassInfo>(Name, [] { return StaticClassInfoOf<Base>(); });
  TClassBuilder<T> b(*info);
  Declare(b);
  return RegisterClassInfo(std::move(info));
}

} // namespace rix

// Declares the published-property table of Class (see the file comment).
#define RIX_PUBLISHED(Class)                                                   \
public:                                                                        \
  static const TClassInfo* StaticClassInfo();                                  \
  const TClassInfo* ClassInfo() const override { return StaticClassInfo(); }  \
  static void DeclareProperties(rix::TClassBuilder<Class>& B);                 \
                                                                               \
private:

// Defines the table, built on first use from Class::DeclareProperties.
#define RIX_IMPLEMENT_PUBLISHED(Class, Base)                                   \
  const TClassInfo* Class::StaticClassInfo() {                                 \
    static const TClassInfo* Info = rix::BuildClassInfo<Class, Base>(#Class, &Class::DeclareProperties); \
    return Info;                                                               \
  }
