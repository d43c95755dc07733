// A variable set for a scope: the guard flags that stop re-entry or mark
// where a call comes from get their old value back on every way out,
// exceptions included.
#pragma once

#include <utility>

namespace rix {

template <typename T>
class TScopedValue {
public:
  TScopedValue(T& Variable, T Value) : FVariable(Variable), FOld(std::exchange(Variable, std::move(Value))) {}
  ~TScopedValue() { FVariable = std::move(FOld); }
  TScopedValue(const TScopedValue&) = delete;
  TScopedValue& operator=(const TScopedValue&) = delete;

private:
  T& FVariable;
  T FOld;
};

} // namespace rix
