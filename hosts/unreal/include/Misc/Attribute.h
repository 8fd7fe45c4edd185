#pragma once
// TAttribute: a value, or a getter that yields it when asked.
#include "Delegates/Delegate.h"

template <typename ObjectType>
class TAttribute {
public:
    TAttribute() = default;
    TAttribute(const ObjectType& InValue) : Value(InValue) {}
    static TAttribute Create(const TBaseDelegate<ObjectType>& InGetter) { TAttribute A; A.Getter = InGetter; return A; }
    ObjectType Get() const { return Getter.IsBound() ? Getter.Execute() : Value; }
    bool IsSet() const { return true; }

private:
    ObjectType Value{};
    TBaseDelegate<ObjectType> Getter;
};
