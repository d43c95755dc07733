#include "drawing/Bits.h"

#include "platform/core/Checked.h"

#include <string>

namespace {

[[noreturn]] void BitsError(int Index) {
  throw ERangeError("Bits index out of range: " + std::to_string(Index));
}

} // namespace

void TBits::SetSize(int Value) {
  if (Value < 0) BitsError(Value);
  FBits.resize(static_cast<std::size_t>(Value), false);
}

bool TBits::Bits(int Index) const {
  if (Index < 0 || Index >= Size()) BitsError(Index);
  return FBits[static_cast<std::size_t>(Index)];
}

void TBits::SetBits(int Index, bool Value) {
  if (Index < 0) BitsError(Index);
  if (Index >= Size()) SetSize(rix::CheckedAdd(Index, 1));
  FBits[static_cast<std::size_t>(Index)] = Value;
}

int TBits::OpenBit() const {
  for (int i = 0; i < Size(); ++i)
    if (!FBits[static_cast<std::size_t>(i)]) return i;
  return Size();
}
