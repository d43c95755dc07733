#include "platform/streaming/ComponentStreams.h"

void WriteComponent(TStream& Stream, TComponent* Root) { WriteDescendent(Stream, Root, nullptr); }

void WriteDescendent(TStream& Stream, TComponent* Root, TComponent* Ancestor) {
  if (Root == nullptr) throw EWriteError("No component to write");
  TMemoryStream buffer;
  TWriter writer(buffer);
  writer.WriteDescendent(Root, Ancestor);
  Stream.WriteBuffer(buffer.Memory(), buffer.Size());
}

TComponent* ReadComponent(TStream& Stream, TComponent* Root) {
  TReader reader(Stream);
  return reader.ReadRootComponent(Root);
}

namespace {
std::string CollectionBytes(TCollection* C, TComponent* Owner) {
  TMemoryStream s;
  TWriter w(s);
  w.SetRoot(Owner);
  w.WriteCollection(C);
  return s.DataString();
}
} // namespace

bool CollectionsEqual(TCollection* C1, TCollection* C2, TComponent* Owner1, TComponent* Owner2) {
  if (C1 == C2) return true;
  if (C1 == nullptr || C2 == nullptr) return false;
  if (std::string(C1->ClassName()) != C2->ClassName() || C1->Count() != C2->Count()) return false;
  return CollectionBytes(C1, Owner1) == CollectionBytes(C2, Owner2);
}
