#pragma once
// Single-cast delegates with the engine's factory functions. A delegate bound to a shared
// object (CreateSP) holds it weakly: it is unbound once the object is gone. Payload values
// are stored by value and passed after the call arguments.
#include "Templates/SharedPointer.h"
#include <cstddef>
#include <algorithm>
#include <functional>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

// The member function pointer type of Class for a function type, const or not.
template <bool bConst, typename Class, typename FuncType> struct TMemFunPtrType;
template <typename Class, typename RetType, typename... ArgTypes>
struct TMemFunPtrType<false, Class, RetType(ArgTypes...)> {
    typedef RetType (Class::*Type)(ArgTypes...);
};
template <typename Class, typename RetType, typename... ArgTypes>
struct TMemFunPtrType<true, Class, RetType(ArgTypes...)> {
    typedef RetType (Class::*Type)(ArgTypes...) const;
};

template <typename RetValType, typename... ParamTypes>
class TBaseDelegate {
public:
    TBaseDelegate() {}
    TBaseDelegate(decltype(nullptr)) {}

    template <typename FunctorType, typename... VarTypes>
    static TBaseDelegate CreateLambda(FunctorType&& InFunctor, VarTypes... Vars) {
        TBaseDelegate Result;
        Result.Function = TPayloadCall<typename std::decay<FunctorType>::type, VarTypes...>(std::forward<FunctorType>(InFunctor), Vars...);
        return Result;
    }

    template <typename UserClass, typename... VarTypes>
    static TBaseDelegate CreateRaw(UserClass* InUserObject, typename TMemFunPtrType<false, UserClass, RetValType(ParamTypes..., VarTypes...)>::Type InFunc,
                                   VarTypes... Vars) {
        return CreateLambda(TRawMethodCall<UserClass, decltype(InFunc)>{InUserObject, InFunc}, Vars...);
    }
    template <typename UserClass, typename... VarTypes>
    static TBaseDelegate CreateRaw(UserClass* InUserObject, typename TMemFunPtrType<true, UserClass, RetValType(ParamTypes..., VarTypes...)>::Type InFunc,
                                   VarTypes... Vars) {
        return CreateLambda(TRawMethodCall<UserClass, decltype(InFunc)>{InUserObject, InFunc}, Vars...);
    }

    template <typename UserClass, typename... VarTypes>
    static TBaseDelegate CreateSP(const TSharedRef<UserClass, ESPMode::Fast>& InUserObjectRef,
                                  typename TMemFunPtrType<false, UserClass, RetValType(ParamTypes..., VarTypes...)>::Type InFunc, VarTypes... Vars) {
        return BindWeakly(TWeakPtr<UserClass, ESPMode::Fast>(InUserObjectRef), InFunc, Vars...);
    }
    template <typename UserClass, typename... VarTypes>
    static TBaseDelegate CreateSP(const TSharedRef<UserClass, ESPMode::Fast>& InUserObjectRef,
                                  typename TMemFunPtrType<true, UserClass, RetValType(ParamTypes..., VarTypes...)>::Type InFunc, VarTypes... Vars) {
        return BindWeakly(TWeakPtr<UserClass, ESPMode::Fast>(InUserObjectRef), InFunc, Vars...);
    }
    // A raw `this` is bound through the object's own TSharedFromThis.
    template <typename UserClass, typename... VarTypes>
    static TBaseDelegate CreateSP(UserClass* InUserObject, typename TMemFunPtrType<false, UserClass, RetValType(ParamTypes..., VarTypes...)>::Type InFunc,
                                  VarTypes... Vars) {
        return CreateSP(StaticCastSharedRef<UserClass>(InUserObject->AsShared()), InFunc, Vars...);
    }
    template <typename UserClass, typename... VarTypes>
    static TBaseDelegate CreateSP(UserClass* InUserObject, typename TMemFunPtrType<true, UserClass, RetValType(ParamTypes..., VarTypes...)>::Type InFunc,
                                  VarTypes... Vars) {
        return CreateSP(StaticCastSharedRef<UserClass>(InUserObject->AsShared()), InFunc, Vars...);
    }

    bool IsBound() const { return Function && (!Alive || Alive()); }
    void Unbind() {
        Function = nullptr;
        Alive = nullptr;
    }
    RetValType Execute(ParamTypes... Params) const {
        check(IsBound());
        return Function(Params...);
    }
    // Delegates without a return value only.
    template <typename R = RetValType>
    typename std::enable_if<std::is_void<R>::value, bool>::type ExecuteIfBound(ParamTypes... Params) const {
        if (!IsBound()) return false;
        Function(Params...);
        return true;
    }

private:
    // A functor with its payload values, called with the call's arguments first.
    template <typename FunctorType, typename... VarTypes>
    struct TPayloadCall {
        TPayloadCall(FunctorType InFunctor, VarTypes... Vars) : Functor(std::move(InFunctor)), Payload(Vars...) {}
        RetValType operator()(ParamTypes... Params) { return Call(std::index_sequence_for<VarTypes...>(), Params...); }
        template <std::size_t... Indices>
        RetValType Call(std::index_sequence<Indices...>, ParamTypes... Params) {
            return Functor(Params..., std::get<Indices>(Payload)...);
        }
        FunctorType Functor;
        std::tuple<VarTypes...> Payload;
    };
    template <typename UserClass, typename MethodPtr>
    struct TRawMethodCall {
        template <typename... ArgTypes> RetValType operator()(ArgTypes&&... Args) const { return (Object->*Method)(std::forward<ArgTypes>(Args)...); }
        UserClass* Object;
        MethodPtr Method;
    };
    template <typename UserClass, typename MethodPtr>
    struct TSPMethodCall {
        template <typename... ArgTypes> RetValType operator()(ArgTypes&&... Args) const {
            TSharedPtr<UserClass, ESPMode::Fast> Pinned = Object.Pin();
            check(Pinned.IsValid());
            return ((*Pinned).*Method)(std::forward<ArgTypes>(Args)...);
        }
        TWeakPtr<UserClass, ESPMode::Fast> Object;
        MethodPtr Method;
    };
    template <typename UserClass, typename MethodPtr, typename... VarTypes>
    static TBaseDelegate BindWeakly(const TWeakPtr<UserClass, ESPMode::Fast>& Object, MethodPtr Method, VarTypes... Vars) {
        TBaseDelegate Result = CreateLambda(TSPMethodCall<UserClass, MethodPtr>{Object, Method}, Vars...);
        Result.Alive = [Object]() { return Object.IsValid(); };
        return Result;
    }

    mutable std::function<RetValType(ParamTypes...)> Function;
    std::function<bool()> Alive; // empty: bound to nothing that can go away
};

#define DECLARE_DELEGATE(DelegateName) typedef TBaseDelegate<void> DelegateName;
#define DECLARE_DELEGATE_OneParam(DelegateName, Param1Type) typedef TBaseDelegate<void, Param1Type> DelegateName;
#define DECLARE_DELEGATE_TwoParams(DelegateName, Param1Type, Param2Type) typedef TBaseDelegate<void, Param1Type, Param2Type> DelegateName;
#define DECLARE_DELEGATE_RetVal(RetValType, DelegateName) typedef TBaseDelegate<RetValType> DelegateName;
#define DECLARE_DELEGATE_RetVal_OneParam(RetValType, DelegateName, Param1Type) typedef TBaseDelegate<RetValType, Param1Type> DelegateName;

// Names one function added to a multicast delegate, for its removal.
class FDelegateHandle {
public:
    FDelegateHandle() : ID(0) {}
    bool IsValid() const { return ID != 0; }
    void Reset() { ID = 0; }
    bool operator==(const FDelegateHandle& Other) const { return ID == Other.ID; }
    bool operator!=(const FDelegateHandle& Other) const { return ID != Other.ID; }

private:
    template <typename RetValType, typename... ParamTypes> friend class TMulticastDelegate;
    explicit FDelegateHandle(unsigned long long InID) : ID(InID) {}
    // Out of line, in the engine: a counter in a template would be a GNU unique symbol that
    // keeps a module library from ever being unloaded.
    static CORE_API unsigned long long GenerateNewID();
    unsigned long long ID;
};

// Multicast delegates: every added function is called by Broadcast, the last added first. A
// function may remove itself (or another) while the delegate broadcasts; a removed one is
// not called any more.
template <typename RetValType, typename... ParamTypes> class TMulticastDelegate;
template <typename... ParamTypes>
class TMulticastDelegate<void, ParamTypes...> {
public:
    typedef TBaseDelegate<void, ParamTypes...> FDelegate;

    FDelegateHandle Add(const FDelegate& InNewDelegate) {
        if (!Broadcasting)
            Entries.erase(std::remove_if(Entries.begin(), Entries.end(), [](const FEntry& E) { return !E.Delegate.IsBound(); }),
                          Entries.end());
        const FDelegateHandle Handle(FDelegateHandle::GenerateNewID());
        Entries.push_back(FEntry{Handle, InNewDelegate});
        return Handle;
    }
    template <typename FunctorType> FDelegateHandle AddLambda(FunctorType&& InFunctor) {
        return Add(FDelegate::CreateLambda(std::forward<FunctorType>(InFunctor)));
    }
    template <typename UserClass>
    FDelegateHandle AddRaw(UserClass* InUserObject, typename TMemFunPtrType<false, UserClass, void(ParamTypes...)>::Type InFunc) {
        return Add(FDelegate::CreateRaw(InUserObject, InFunc));
    }
    void Remove(FDelegateHandle Handle) {
        for (FEntry& Entry : Entries)
            if (Entry.Handle == Handle) Entry.Delegate.Unbind();
    }
    bool IsBound() const {
        for (const FEntry& Entry : Entries)
            if (Entry.Delegate.IsBound()) return true;
        return false;
    }
    void Broadcast(ParamTypes... Params) const {
        // The last added first, as the engine calls them; functions added meanwhile run from
        // the next broadcast on.
        ++Broadcasting;
        for (size_t I = Entries.size(); I-- > 0;) {
            const FDelegate Delegate = Entries[I].Delegate; // the entry may be unbound while it runs
            Delegate.ExecuteIfBound(Params...);
        }
        --Broadcasting;
    }

private:
    struct FEntry {
        FDelegateHandle Handle;
        FDelegate Delegate;
    };
    std::vector<FEntry> Entries;
    mutable int Broadcasting = 0;
};

#define DECLARE_MULTICAST_DELEGATE(DelegateName) typedef TMulticastDelegate<void> DelegateName;
#define DECLARE_MULTICAST_DELEGATE_OneParam(DelegateName, Param1Type) typedef TMulticastDelegate<void, Param1Type> DelegateName;
#define DECLARE_MULTICAST_DELEGATE_ThreeParams(DelegateName, Param1Type, Param2Type, Param3Type) \
    typedef TMulticastDelegate<void, Param1Type, Param2Type, Param3Type> DelegateName;

DECLARE_MULTICAST_DELEGATE(FSimpleMulticastDelegate)
