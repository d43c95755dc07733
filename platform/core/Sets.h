// The framework's set types: a small bit set over an enumeration. ToInt()
// gives the bit pattern with the enumeration's first value in bit 0, which is
// how the framework stores sets in memory. N is the number of enumeration
// values: TSet<TFontStyle, 4>.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

template <typename E, int N>
class TSet {
  static_assert(N > 0 && N <= 64, "TSet holds at most 64 elements");

public:
  using Element = E;
  static constexpr int Size = N;

  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Elems) {
    for (E e : Elems) FBits |= Bit(e);
  }
  static constexpr TSet FromInt(std::uint64_t V) {
    TSet s;
    s.FBits = V & Mask();
    return s;
  }

  constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr std::uint64_t ToInt() const { return FBits; }

  constexpr TSet& Include(E e) { FBits |= Bit(e); return *this; }
  constexpr TSet& Exclude(E e) { FBits &= ~Bit(e); return *this; }

  constexpr TSet operator+(TSet o) const { return FromInt(FBits | o.FBits); }
  constexpr TSet operator-(TSet o) const { return FromInt(FBits & ~o.FBits); }
  constexpr TSet operator*(TSet o) const { return FromInt(FBits & o.FBits); }
  constexpr TSet operator+(E e) const { return *this + TSet{e}; }
  constexpr TSet operator-(E e) const { return *this - TSet{e}; }
  constexpr TSet& operator+=(TSet o) { FBits |= o.FBits; return *this; }
  constexpr TSet& operator-=(TSet o) { FBits &= ~o.FBits; return *this; }
  constexpr TSet& operator*=(TSet o) { FBits &= o.FBits; return *this; }
  constexpr TSet& operator+=(E e) { return Include(e); }
  constexpr TSet& operator-=(E e) { return Exclude(e); }
  constexpr bool operator==(const TSet&) const = default;
  // a <= b: every element of a is in b.
  constexpr bool operator<=(TSet o) const { return (FBits & ~o.FBits) == 0; }

  template <typename F>
  void ForEach(F f) const {
    for (int i = 0; i < N; ++i)
      if (FBits & (std::uint64_t(1) << i)) f(static_cast<E>(i));
  }

private:
  static constexpr std::uint64_t Mask() { return N == 64 ? ~std::uint64_t(0) : ((std::uint64_t(1) << N) - 1); }
  static constexpr std::uint64_t Bit(E e) { return std::uint64_t(1) << static_cast<int>(e); }
  std::uint64_t FBits = 0;
};
