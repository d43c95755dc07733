// Writing and reading whole components, the framework's
// TStream.WriteComponent / ReadComponent. TStream lives in the core, below
// the streaming machinery, so these are free functions taking the stream.
#pragma once

#include "platform/streaming/Filer.h"

// Writes Root as the root of a component stream at Stream's position. The
// stream is built in memory first and then written in one piece, so a
// failure (EWriteError) leaves Stream untouched.
void WriteComponent(TStream& Stream, TComponent* Root);
// The same, leaving out what equals Ancestor (form inheritance).
void WriteDescendent(TStream& Stream, TComponent* Root, TComponent* Ancestor);
// Reads a component stream from Stream's position into Root (its class name
// is read but not checked), or, when Root is nil, into a new component of the
// stream's class (registered with RegisterComponentClass), which the caller
// then owns. Bad data raises EReadError naming the offset and property.
TComponent* ReadComponent(TStream& Stream, TComponent* Root);

// Whether two collections write the same stream (same class, same count,
// same item properties). References are named relative to Owner1/Owner2.
bool CollectionsEqual(TCollection* C1, TCollection* C2, TComponent* Owner1 = nullptr, TComponent* Owner2 = nullptr);
