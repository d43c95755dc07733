// Overflow-checked integer arithmetic for indexes, counts, sizes and offsets.
// An overflow raises EIntOverflow; nothing ever wraps silently.
#pragma once

#include "platform/core/Exceptions.h"

#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

namespace rix {

[[noreturn]] void RaiseOverflow(const char* What);

template <std::integral T>
constexpr T CheckedAdd(T A, T B) {
  T R;
  if (__builtin_add_overflow(A, B, &R)) RaiseOverflow("addition");
  return R;
}

template <std::integral T>
constexpr T CheckedSub(T A, T B) {
  T R;
  if (__builtin_sub_overflow(A, B, &R)) RaiseOverflow("subtraction");
  return R;
}

template <std::integral T>
constexpr T CheckedMul(T A, T B) {
  T R;
  if (__builtin_mul_overflow(A, B, &R)) RaiseOverflow("multiplication");
  return R;
}

// Division truncates toward zero like Delphi's div; dividing by zero and
// INT_MIN / -1 both raise.
template <std::integral T>
constexpr T CheckedDiv(T A, T B) {
  if (B == 0) RaiseOverflow("division by zero");
  if constexpr (std::is_signed_v<T>) {
    if (A == std::numeric_limits<T>::min() && B == T(-1)) RaiseOverflow("division");
  }
  return A / B;
}

template <std::integral T>
constexpr T CheckedNeg(T A) {
  return CheckedSub(T(0), A);
}

// Narrowing that raises ERangeError instead of truncating.
template <std::integral To, std::integral From>
constexpr To CheckedCast(From V) {
  if (!std::in_range<To>(V)) throw ERangeError("Range check error: value " + std::to_string(V) + " out of range");
  return static_cast<To>(V);
}

// A nesting counter held in one byte, like the grid's update and layout locks.
// Nesting past 255 raises instead of wrapping to zero (which would unlock).
class TByteCounter {
public:
  std::uint8_t Value() const noexcept { return FValue; }
  void Inc() {
    if (FValue == 255) RaiseOverflow("lock nested past 255");
    ++FValue;
  }
  void Dec() {
    if (FValue == 0) RaiseOverflow("lock released more often than taken");
    --FValue;
  }
  void Reset() noexcept { FValue = 0; }
  explicit operator bool() const noexcept { return FValue != 0; }

private:
  std::uint8_t FValue = 0;
};

} // namespace rix
