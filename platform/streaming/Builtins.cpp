// Property tables of the core classes, which cannot include the streaming
// headers themselves.
#include "platform/core/Collections.h"
#include "platform/core/Strings.h"
#include "platform/streaming/ClassBuilder.h"
#include "platform/streaming/Filer.h"

#include <map>

namespace {

void DeclareComponent(rix::TClassBuilder<TComponent>& B) {
  // The name travels in the component header; as a property it is only read.
  B.Property("Name", StringTypeInfo(), &TComponent::Name, &TComponent::SetName).Stored(false);
  B.Property("Tag", IntegerTypeInfo(), &TComponent::Tag, &TComponent::SetTag).Default(0);
}

void DeclareStrings(rix::TClassBuilder<TStrings>& B) {
  B.DefineProperties([](TStrings* S, TFiler& Filer) {
    auto* ancestor = dynamic_cast<TStrings*>(Filer.Ancestor());
    bool hasData = ancestor != nullptr ? !S->Equals(*ancestor) : S->Count() > 0;
    Filer.DefineProperty(
        "Strings",
        [S](TReader& R) {
          R.ReadListBegin();
          rix::TUpdateBracket<TStrings> bracket(*S);
          S->Clear();
          while (!R.EndOfList()) S->Add(R.ReadString());
          R.ReadListEnd();
        },
        [S](TWriter& W) {
          W.WriteListBegin();
          for (int i = 0; i < S->Count(); ++i) W.WriteString(S->Get(i));
          W.WriteListEnd();
        },
        hasData);
  });
}

template <typename T>
void DeclareNothing(rix::TClassBuilder<T>&) {}

struct TBuiltins {
  std::map<std::string, const TClassInfo*> ByName;
  const TClassInfo* Persistent;
  const TClassInfo* Component;
  const TClassInfo* CollectionItem;
  const TClassInfo* Collection;
  const TClassInfo* OwnedCollection;
  const TClassInfo* Strings;
  const TClassInfo* StringList;

  TBuiltins() {
    auto none = [] { return static_cast<const TClassInfo*>(nullptr); };
    Persistent = Make<TPersistent>("TPersistent", none, DeclareNothing<TPersistent>);
    auto persistent = [this] { return Persistent; };
    Component = Make<TComponent>("TComponent", persistent, DeclareComponent);
    CollectionItem = Make<TCollectionItem>("TCollectionItem", persistent, DeclareNothing<TCollectionItem>);
    Collection = Make<TCollection>("TCollection", persistent, DeclareNothing<TCollection>);
    OwnedCollection =
        Make<TOwnedCollection>("TOwnedCollection", [this] { return Collection; }, DeclareNothing<TOwnedCollection>);
    Strings = Make<TStrings>("TStrings", persistent, DeclareStrings);
    StringList = Make<TStringList>("TStringList", [this] { return Strings; }, DeclareNothing<TStringList>);
  }

  template <typename T, typename P>
  const TClassInfo* Make(const char* Name, P Parent, void (*Declare)(rix::TClassBuilder<T>&)) {
    auto info = std::make_unique<TClassInfo>(Name, Parent);
    rix::TClassBuilder<T> b(*info);
    Declare(b);
    const TClassInfo* p = RegisterClassInfo(std::move(info));
    ByName[Name] = p;
    return p;
  }
};

const TBuiltins& Builtins() {
  static const TBuiltins b;
  return b;
}

} // namespace

const TClassInfo* BuiltinClassInfo(const std::string& ClassName) {
  const auto& m = Builtins().ByName;
  auto it = m.find(ClassName);
  return it == m.end() ? nullptr : it->second;
}

const TClassInfo* GetClassInfo(const TPersistent* Instance) {
  if (Instance == nullptr) return nullptr;
  if (const TClassInfo* ci = Instance->ClassInfo()) return ci;
  if (const TClassInfo* ci = BuiltinClassInfo(Instance->ClassName())) return ci;
  const TBuiltins& b = Builtins();
  if (dynamic_cast<const TStrings*>(Instance) != nullptr) return b.Strings;
  if (dynamic_cast<const TCollection*>(Instance) != nullptr) return b.Collection;
  if (dynamic_cast<const TCollectionItem*>(Instance) != nullptr) return b.CollectionItem;
  if (dynamic_cast<const TComponent*>(Instance) != nullptr) return b.Component;
  return b.Persistent;
}
