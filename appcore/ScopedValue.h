#pragma once
// A variable set to a value for a scope and put back to what it was when the
// scope ends, however it ends: for the flags that are switched off while
// something runs and on again afterwards.

#include <utility>

namespace appcore {

template <class T>
class [[nodiscard]] ScopedValue {
public:
    ScopedValue(T& variable, T value)
        : variable_(variable), saved_(std::exchange(variable, value)) {}
    ~ScopedValue() { variable_ = saved_; }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& variable_;
    T saved_;
};

}  // namespace appcore
