// TBits: a growable array of bits, used by the glyph lists to know which
// image slots are taken.
#pragma once

#include "platform/core/Classes.h"

#include <vector>

class TBits : public TObject {
  RIX_CLASS_NAME(TBits)
public:
  int Size() const { return static_cast<int>(FBits.size()); }
  // Growing adds clear bits; ERangeError for a negative size.
  void SetSize(int Value);
  // ERangeError outside 0 .. Size - 1.
  bool Bits(int Index) const;
  // Setting a bit at or past the end grows the array to Index + 1 first;
  // ERangeError for a negative index.
  void SetBits(int Index, bool Value);
  // The first clear bit, or Size when every bit is set.
  int OpenBit() const;

private:
  std::vector<bool> FBits;
};
