#include "grid/RixColumnsWrapper.h"

#include "platform/streaming/Streaming.h"

// A stream fills the collection the wrapper carries; a value that would put
// another object (or nil) in its place is refused, so bad input cannot
// detach the wrapper from its columns.
RIX_IMPLEMENT_PUBLISHED(TRixColumnsWrapper, TComponent)
void TRixColumnsWrapper::DeclareProperties(rix::TClassBuilder<TRixColumnsWrapper>& B) {
  using W = TRixColumnsWrapper;
  B.Property("Columns", ClassTypeInfo("TRixDBGridColumns"), &W::Columns, [](W* Self, TRixDBGridColumns* Value) {
    if (Value != Self->Columns()) throw EInvalidOperation("Columns can only be read in place");
  });
}
