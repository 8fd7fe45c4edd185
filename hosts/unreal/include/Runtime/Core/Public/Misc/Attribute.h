#pragma once
// TAttribute: a value, or a getter that yields it when asked.
#include "Delegates/Delegate.h"

template <typename ObjectType>
class TAttribute {
public:
    typedef TBaseDelegate<ObjectType> FGetter;

    TAttribute() : Value(), bIsSet(false) {}
    template <typename OtherType>
    TAttribute(const OtherType& InInitialValue) : Value(InInitialValue), bIsSet(true) {}
    static TAttribute Create(const FGetter& InGetter) {
        TAttribute Attribute;
        Attribute.bIsSet = true;
        Attribute.Getter = InGetter;
        return Attribute;
    }
    // A bound getter is asked each time; its answer is kept as the value.
    const ObjectType& Get() const {
        if (Getter.IsBound()) Value = Getter.Execute();
        return Value;
    }
    bool IsSet() const { return bIsSet; }
    bool IsBound() const { return Getter.IsBound(); }

private:
    mutable ObjectType Value;
    bool bIsSet;
    FGetter Getter;
};
