#pragma once
#include "HAL/Platform.h"

template <class TEnum>
class TEnumAsByte {
public:
    TEnumAsByte() = default;
    TEnumAsByte(TEnum InValue) : Value(static_cast<uint8>(InValue)) {}
    explicit TEnumAsByte(int32 InValue) : Value(static_cast<uint8>(InValue)) {}
    operator TEnum() const { return static_cast<TEnum>(Value); }
    TEnum GetValue() const { return static_cast<TEnum>(Value); }
    bool operator==(TEnum Other) const { return static_cast<TEnum>(Value) == Other; }

private:
    uint8 Value = 0;
};
