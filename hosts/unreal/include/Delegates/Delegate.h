#pragma once
// Single-cast delegates with the engine's factory functions. A delegate bound to a shared
// pointer (CreateSP) or an object (CreateUObject) holds it weakly: it is unbound once the
// object is gone. Payload values are stored by value and passed after the call arguments.
#include "Templates/SharedPointer.h"
#include <functional>
#include <tuple>

template <typename RetType, typename... ParamTypes>
class TBaseDelegate {
public:
    TBaseDelegate() = default;

    template <typename FunctorType, typename... VarTypes>
    static TBaseDelegate CreateLambda(FunctorType&& Functor, VarTypes... Vars) {
        TBaseDelegate D;
        D.Function = [F = std::forward<FunctorType>(Functor), Payload = std::make_tuple(Vars...)](ParamTypes... Params) mutable -> RetType {
            return std::apply([&](auto&... P) -> RetType { return F(Params..., P...); }, Payload);
        };
        return D;
    }
    template <typename... VarTypes>
    static TBaseDelegate CreateStatic(RetType (*Func)(ParamTypes..., VarTypes...), VarTypes... Vars) {
        return CreateLambda(Func, Vars...);
    }
    template <typename UserClass, typename MethodType, typename... VarTypes>
    static TBaseDelegate CreateRaw(UserClass* Object, MethodType Method, VarTypes... Vars) {
        return CreateLambda([Object, Method](ParamTypes... Params, VarTypes&... P) -> RetType { return (Object->*Method)(Params..., P...); }, Vars...);
    }
    template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
    static TBaseDelegate CreateSP(const TSharedRef<UserClass, Mode>& Object, MethodType Method, VarTypes... Vars) {
        std::weak_ptr<UserClass> Weak = Object.StdPtr();
        TBaseDelegate D = CreateLambda([Weak, Method](ParamTypes... Params, VarTypes&... P) -> RetType {
            std::shared_ptr<UserClass> Pinned = Weak.lock();
            check(Pinned);
            return ((*Pinned).*Method)(Params..., P...);
        }, Vars...);
        D.Owner = std::weak_ptr<const void>(std::shared_ptr<const void>(Object.StdPtr()));
        D.bHasOwner = true;
        return D;
    }
    template <typename UserClass, ESPMode Mode, typename MethodType, typename... VarTypes>
    static TBaseDelegate CreateSP(const TSharedPtr<UserClass, Mode>& Object, MethodType Method, VarTypes... Vars) {
        return CreateSP(Object.ToSharedRef(), Method, Vars...);
    }
    // Bound through the object's own TSharedFromThis, as the engine does for a raw `this`.
    template <typename UserClass, typename MethodType, typename... VarTypes>
    static TBaseDelegate CreateSP(UserClass* Object, MethodType Method, VarTypes... Vars) {
        return CreateSP(StaticCastSharedRef<UserClass>(Object->AsShared()), Method, Vars...);
    }

    template <typename FunctorType, typename... VarTypes> void BindLambda(FunctorType&& F, VarTypes... Vars) { *this = CreateLambda(std::forward<FunctorType>(F), Vars...); }
    template <typename UserClass, typename MethodType, typename... VarTypes> void BindSP(UserClass Object, MethodType Method, VarTypes... Vars) { *this = CreateSP(Object, Method, Vars...); }
    template <typename UserClass, typename MethodType, typename... VarTypes> void BindRaw(UserClass* Object, MethodType Method, VarTypes... Vars) { *this = CreateRaw(Object, Method, Vars...); }

    bool IsBound() const { return Function && (!bHasOwner || !Owner.expired()); }
    void Unbind() { Function = nullptr; bHasOwner = false; Owner.reset(); }
    RetType Execute(ParamTypes... Params) const { check(IsBound()); return Function(Params...); }
    template <typename R = RetType, typename = std::enable_if_t<std::is_void_v<R>>>
    bool ExecuteIfBound(ParamTypes... Params) const {
        if (!IsBound()) return false;
        Function(Params...);
        return true;
    }

private:
    mutable std::function<RetType(ParamTypes...)> Function;
    std::weak_ptr<const void> Owner;
    bool bHasOwner = false;
};

#define DECLARE_DELEGATE(DelegateName) typedef TBaseDelegate<void> DelegateName;
#define DECLARE_DELEGATE_OneParam(DelegateName, Param1Type) typedef TBaseDelegate<void, Param1Type> DelegateName;
#define DECLARE_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) typedef TBaseDelegate<void, Param1Type, Param2Type> DelegateName;
#define DECLARE_DELEGATE_RetVal(RetValType, DelegateName) typedef TBaseDelegate<RetValType> DelegateName;
#define DECLARE_DELEGATE_RetVal_OneParam(RetValType, DelegateName, Param1Type) typedef TBaseDelegate<RetValType, Param1Type> DelegateName;
